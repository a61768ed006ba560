#pragma once
// The horizontal strip of picture thumbnails with a caption under each: the system list
// view in icon mode, scrolled by whole items and snapped to item edges, deaf to most
// keys and to the wheel. The selected item is marked by a frame drawn into its picture,
// not by the control's highlight. Failures of the picture work raise
// ImageListViewException.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "toolkit/Image.h"
#include "toolkit/ScopedWin_win.h"
#include "toolkit/Window_win.h"

class ImageListView : public Window {
 public:
  static constexpr int kWidth = 506;
  static constexpr int kHeight = 90;
  static constexpr int kThumbWidth = 71;
  static constexpr int kThumbHeight = 53;
  static constexpr int kGap = 2;
  static constexpr int kFrameWidth = 2;
  static constexpr int kFramePictureId = 448;

  // Creates the control as a visible child of `owner` at (0, 0) with its caption font and
  // its image list. Delete it by destroying the window.
  explicit ImageListView(HWND owner);
  ~ImageListView() override;

  // Appends an item showing `image` stretched to a thumbnail, captioned. Nothing happens
  // without an image.
  void AddItem(const Image* image, const std::wstring& caption);
  // Frames item `index`'s picture (and unframes the one framed before) and marks it
  // selected. Indexes outside the items are ignored.
  void SelectItem(int index);
  // Scrolls `index` fully into view and selects it through the control, which tells the
  // owner.
  void EnsureSelected(int index);
  // Removes every item and picture and forgets the selection.
  void Clear();

  int itemCount() const;
  int selected() const { return selected_; }
  HIMAGELIST imageList() const { return imageList_.get(); }

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void settleLayout(HDC screen);
  void removeAll();
  void restoreSaved();
  ScopedGdiObject framedPicture(int index);
  void setSelectedState(int index);
  void paint();
  LRESULT scrollMessage(WPARAM wParam, LPARAM lParam);
  int scrollStep() const;
  bool snap();

  ScopedGdiObject font_;
  ScopedImageList imageList_;
  ScopedGdiObject saved_;  // the selected item's picture without its frame
  int32_t selected_ = 0;
};
