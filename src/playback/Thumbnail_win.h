#pragma once
// The strip of picture thumbnails under the player: one thumbnail per entry of its own
// loader's archive, each captioned with the entry's date and time, four buttons that move
// the selection, and a background of three pictures. The pictures are decoded on the
// loader's thread one at a time, a step at least 50 ms after the previous one; choosing a
// thumbnail gives the owner the command to open the one selected.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "playback/IPlaybackOwner_win.h"
#include "recording/IVideoInfo.h"
#include "recording/ImageLoader_win.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/Image.h"
#include "toolkit/ImageButton_win.h"
#include "toolkit/ImageButtonListener.h"
#include "toolkit/ImageListView_win.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/TrackToolTip_win.h"
#include "toolkit/Window_win.h"

class Thumbnail : public Window, public ImageButtonListener {
 public:
  static constexpr int kHeight = 90;
  static constexpr int kStepMs = 50;
  // The most thumbnails one strip is given (the text kTextThumbnailLimit says so).
  static constexpr int32_t kMaxThumbnails = 600;
  static constexpr int kPlaceholderPicture = 447;
  static constexpr const wchar_t* kNoTimeCaption = L"----/--/-- --:--:--";

  // A child of the owner's window at (0, 0, 0, 0), placed by the owner, with its strip,
  // buttons, tips, pictures and loader. Delete it by destroying its window.
  explicit Thumbnail(IPlaybackOwner& owner);
  ~Thumbnail() override;

  // Back to empty: loading stopped, strip cleared, metadata and archive let go.
  void Reset();
  // Starts showing the first `count` entries of what the owner has opened in loader(),
  // captioned with the times `metadata` gives them. False when there are more than
  // kMaxThumbnails: only those are shown, and the owner may say so (kTextThumbnailLimit).
  bool Begin(std::unique_ptr<IVideoInfo> metadata, int32_t count);
  // First and previous enabled when a thumbnail lies before the selected one, next and
  // last when one lies after it; all disabled until every thumbnail has been added.
  void UpdateButtons();
  void Repaint();

  void OnClick(ImageButton* button) override;
  void OnPress(ImageButton* button) override;
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Null once the window is being destroyed.
  ImageLoader* loader() { return loader_.get(); }
  ImageListView& strip() { return *strip_; }
  ImageButton& firstButton() { return *first_; }
  ImageButton& previousButton() { return *previous_; }
  ImageButton& nextButton() { return *next_; }
  ImageButton& lastButton() { return *last_; }
  int32_t added() const { return added_; }
  int32_t total() const { return total_; }
  int32_t selected() const { return selected_; }
  bool complete() const { return complete_; }

  // The caption of a thumbnail taken at calendar time `time`: its local date and time,
  // or dashes for 0 or a time the system cannot convert.
  static std::wstring Caption(int64_t time);

 private:
  ImageButton* makeButton(int x, int normal, int pressed, int disabled, int tip);
  void layOut(int width);
  void eraseBackground(HDC dc) const;
  LRESULT onNotify(const NMHDR& header);
  void onFocusChanged(int item);
  void onPictureArrived(int32_t index, Image* picture);
  void addThumbnail(int32_t index);
  void loadingStep(int32_t handled);
  void requestNext(int32_t handled);
  void finishLoading();
  void selectSilently(int item);
  void moveSelection(int item);
  void onDestroy();

  IPlaybackOwner& owner_;
  ScopedGdiObject whiteBrush_;
  ImageListView* strip_ = nullptr;  // child windows: they delete themselves
  ImageButton* first_ = nullptr;
  ImageButton* last_ = nullptr;
  ImageButton* previous_ = nullptr;
  ImageButton* next_ = nullptr;
  TrackToolTip* tooltip_ = nullptr;
  AlphaImage left_;
  AlphaImage middle_;
  AlphaImage right_;
  std::unique_ptr<IVideoInfo> metadata_;
  bool complete_ = false;
  // Set while the panel itself moves the strip's selection: the control's notification
  // of that change is not the user's choice.
  bool selecting_ = false;
  int32_t selected_ = 0;
  int32_t added_ = 0;
  int32_t total_ = 0;
  std::unique_ptr<Image> latest_;
  std::unique_ptr<ImageLoader> loader_;
};
