#pragma once
// What an image button tells its owner. One listener may serve several buttons: it tells
// them apart by comparing the argument with the buttons it owns.
class ImageButton;

class ImageButtonListener {
 public:
  virtual ~ImageButtonListener() = default;
  // The button was activated: the mouse released inside it, or Enter released.
  virtual void OnClick(ImageButton* button) = 0;
  // The button went down (mouse or Enter), and again every 100 ms while it stays down
  // over an enabled button.
  virtual void OnPress(ImageButton* button) = 0;
};
