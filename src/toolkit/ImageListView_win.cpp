#include "toolkit/ImageListView_win.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "toolkit/AlphaImage.h"
#include "toolkit/StretchImage_win.h"

namespace {

[[noreturn]] void Fail() { throw ImageListViewException(LoadText(kTextDataUnreadable)); }

void Require(bool ok) {
  if (!ok) Fail();
}

// The whole picture stretched to (0, 0, width, height).
void StretchWhole(HDC dc, const Image& image, int width, int height) {
  SetStretchBltMode(dc, COLORONCOLOR);
  Require(StretchImage(dc, image, 0, 0, width, height, 0, image.Width(), image.Height()));
}

// A bitmap compatible with `screen` holding the same picture as `source`. The image
// list keeps its bitmap selected into a context of its own, so it is read through a
// device-independent buffer instead of being selected anywhere.
ScopedGdiObject CopyThroughDib(HDC screen, HBITMAP source) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];  // room for a colour table or the bit-field masks
  } format = {};
  auto* info = reinterpret_cast<BITMAPINFO*>(&format);
  format.header.biSize = sizeof(BITMAPINFOHEADER);
  Require(GetDIBits(screen, source, 0, 0, nullptr, info, DIB_RGB_COLORS) != 0);
  const int width = format.header.biWidth;
  const int height = std::abs(format.header.biHeight);
  const size_t stride = ((static_cast<size_t>(width) * format.header.biBitCount + 31) / 32) * 4;
  std::vector<uint8_t> bits(std::max<size_t>(format.header.biSizeImage, stride * height));
  const auto lines = static_cast<UINT>(height);
  Require(GetDIBits(screen, source, 0, lines, bits.data(), info, DIB_RGB_COLORS) == height);
  ScopedGdiObject copy(CreateCompatibleBitmap(screen, width, height));
  Require(static_cast<bool>(copy));
  Require(SetDIBits(screen, static_cast<HBITMAP>(copy.get()), 0, lines, bits.data(), info,
                    DIB_RGB_COLORS) == height);
  return copy;
}

// Copies (x, y, width, height) of the bitmap selected into `from` to (toX, toY) of `to`.
void CopyRect(HDC to, int toX, int toY, int width, int height, HDC from, int x, int y) {
  Require(BitBlt(to, toX, toY, width, height, from, x, y, SRCCOPY) != FALSE);
}

}  // namespace

ImageListView::ImageListView(HWND owner) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LISTVIEW_CLASSES;
  InitCommonControlsEx(&controls);
  WindowCreateParams p;
  p.className = WC_LISTVIEWW;
  p.style = WS_CHILD | WS_VISIBLE;  // icon view
  p.width = kWidth;
  p.height = kHeight;
  p.parent = owner;
  p.instance = classInstance();
  create(p);
  font_.reset(CreateFontW(10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, 0, OUT_TT_PRECIS, 0, 0,
                          FF_MODERN | DEFAULT_PITCH, L"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF"));
  SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  imageList_.reset(ImageList_Create(kThumbWidth, kThumbHeight, ILC_COLORDDB, 0, 1));
  SendMessageW(handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(imageList_.get()));
}

ImageListView::~ImageListView() {
  if (!IsWindow(handle())) return;
  removeAll();
  // The control would destroy an image list it still holds when it goes.
  SendMessageW(handle(), LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
  SendMessageW(handle(), WM_SETFONT, 0, FALSE);
}

int ImageListView::itemCount() const {
  return static_cast<int>(SendMessageW(handle(), LVM_GETITEMCOUNT, 0, 0));
}

void ImageListView::AddItem(const Image* image, const std::wstring& caption) {
  if (image == nullptr || !imageList_) return;
  ScopedWindowDc screen(handle());
  ScopedGdiObject thumbnail(CreateCompatibleBitmap(screen.get(), kThumbWidth, kThumbHeight));
  Require(static_cast<bool>(thumbnail));
  {
    ScopedMemoryDc dc(CreateCompatibleDC(screen.get()));
    Require(static_cast<bool>(dc));
    ScopedSelection select(dc.get(), thumbnail.get());
    StretchWhole(dc.get(), *image, kThumbWidth, kThumbHeight);
  }
  const int n = ImageList_Add(imageList_.get(), static_cast<HBITMAP>(thumbnail.get()), nullptr);
  Require(n >= 0);

  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = n;
  item.pszText = const_cast<wchar_t*>(caption.c_str());
  item.iImage = n;
  if (SendMessageW(handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != n) {
    ImageList_Remove(imageList_.get(), n);  // item i shows picture i, always
    Fail();
  }
  if (n == 0) settleLayout(screen.get());
  // One row: each item one bounds width and the gap right of the one before.
  RECT bounds = {};
  bounds.left = LVIR_BOUNDS;
  SendMessageW(handle(), LVM_GETITEMRECT, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&bounds));
  POINT position = {n * (bounds.right - bounds.left + kGap), 0};
  SendMessageW(handle(), LVM_SETITEMPOSITION32, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&position));
}

// Some list views lay icons out afresh at their first paint with items, which would
// put the strip into a grid. A print of the client area while the first item is the
// only one lets that happen before any item is placed.
void ImageListView::settleLayout(HDC screen) {
  ScopedMemoryDc dc(CreateCompatibleDC(screen));
  ScopedGdiObject canvas(CreateCompatibleBitmap(screen, kWidth, kHeight));
  if (!dc || !canvas) return;
  ScopedSelection select(dc.get(), canvas.get());
  SendMessageW(handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
}

void ImageListView::SelectItem(int index) {
  if (index < 0 || index >= ImageList_GetImageCount(imageList_.get())) return;
  restoreSaved();
  ScopedGdiObject framed = framedPicture(index);
  Require(ImageList_Replace(imageList_.get(), index, static_cast<HBITMAP>(framed.get()), nullptr) != FALSE);
  setSelectedState(index);
  selected_ = index;
}

// Puts the unframed picture back into the item framed before. After building or
// clearing nothing is framed and nothing saved.
void ImageListView::restoreSaved() {
  if (!saved_) return;
  Require(ImageList_Replace(imageList_.get(), selected_, static_cast<HBITMAP>(saved_.get()), nullptr) !=
          FALSE);
}

// Picture `index` with a border of kFrameWidth pixels taken from the frame picture;
// keeps the unframed picture as the saved one.
ScopedGdiObject ImageListView::framedPicture(int index) {
  IMAGEINFO info = {};
  Require(ImageList_GetImageInfo(imageList_.get(), index, &info) != FALSE);
  const RECT& r = info.rcImage;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const AlphaImage framePicture(kFramePictureId);
  Require(framePicture.Picture() != nullptr);

  ScopedWindowDc screen(handle());
  ScopedGdiObject frame(CreateCompatibleBitmap(screen.get(), w, h));
  ScopedGdiObject unframed(CreateCompatibleBitmap(screen.get(), w, h));
  ScopedMemoryDc frameDc(CreateCompatibleDC(screen.get()));
  ScopedMemoryDc listDc(CreateCompatibleDC(screen.get()));
  ScopedMemoryDc savedDc(CreateCompatibleDC(screen.get()));
  Require(frame && unframed && frameDc && listDc && savedDc);
  ScopedGdiObject list = CopyThroughDib(screen.get(), info.hbmImage);
  {
    ScopedSelection selectFrame(frameDc.get(), frame.get());
    ScopedSelection selectList(listDc.get(), list.get());
    ScopedSelection selectSaved(savedDc.get(), unframed.get());
    StretchWhole(frameDc.get(), *framePicture.Picture(), w, h);
    CopyRect(savedDc.get(), 0, 0, w, h, listDc.get(), r.left, r.top);
    const int inset = kFrameWidth;
    CopyRect(frameDc.get(), inset, inset, w - 2 * inset, h - 2 * inset, listDc.get(), r.left + inset,
             r.top + inset);
  }
  saved_ = std::move(unframed);
  return frame;
}

void ImageListView::setSelectedState(int index) {
  LVITEMW item = {};
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void ImageListView::EnsureSelected(int index) {
  SendMessageW(handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
  setSelectedState(index);
}

void ImageListView::Clear() { removeAll(); }

void ImageListView::removeAll() {
  selected_ = 0;
  saved_.reset();
  if (imageList_) ImageList_Remove(imageList_.get(), -1);
  SendMessageW(handle(), LVM_DELETEALLITEMS, 0, 0);
}

LRESULT ImageListView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      paint();
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      // Only the arrows move along the strip; Home, End, page keys and the rest would
      // jump past the snapping.
      if (wParam != VK_LEFT && wParam != VK_RIGHT) return 0;
      break;
    case WM_CHAR:
      return 0;
    case WM_MOUSEWHEEL:
      // Not the list's own scrolling, which would jump past the snapping; but the strip
      // takes the focus whenever it paints, so a wheel turned over the picture arrives
      // here and goes up to the windows that handle it.
      return DefWindowProcW(handle(), message, wParam, lParam);
    case WM_HSCROLL:
      return scrollMessage(wParam, lParam);
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (snap()) return 0;
      break;
    default:
      break;
  }
  return defaultHandling(message, wParam, lParam);
}

void ImageListView::paint() {
  ScopedPaint paint(handle());
  if (paint.get() == nullptr) return;
  // Every item, 0 to count - 1: a last index past the end makes the control refuse.
  const int count = itemCount();
  if (count > 0) SendMessageW(handle(), LVM_REDRAWITEMS, 0, count - 1);
  SetFocus(handle());
}

LRESULT ImageListView::scrollMessage(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case SB_LINELEFT:
    case SB_LINERIGHT: {
      const int step = scrollStep();
      const int dx = LOWORD(wParam) == SB_LINELEFT ? -step : step;
      if (dx != 0) SendMessageW(handle(), LVM_SCROLL, static_cast<WPARAM>(dx), 0);
      return 0;
    }
    case SB_ENDSCROLL:
      return snap() ? 0 : defaultHandling(WM_HSCROLL, wParam, lParam);
    default:
      return defaultHandling(WM_HSCROLL, wParam, lParam);
  }
}

// The width of one item's share of the view; 0 without items.
int ImageListView::scrollStep() const {
  const int count = itemCount();
  if (count <= 0) return 0;
  RECT view = {};
  SendMessageW(handle(), LVM_GETVIEWRECT, 0, reinterpret_cast<LPARAM>(&view));
  return (view.right - view.left) / count;
}

// Scrolls so that the first item starting at or after the scroll position rests 3
// pixels from the start of the visible area; false when no item starts there.
bool ImageListView::snap() {
  const int count = itemCount();
  const int step = scrollStep();
  SCROLLINFO scroll = {};
  scroll.cbSize = sizeof(scroll);
  scroll.fMask = SIF_POS | SIF_RANGE;
  if (!GetScrollInfo(handle(), SB_HORZ, &scroll)) scroll.nPos = 0;
  const int p = scroll.nPos;
  for (int i = 0; i < count; ++i) {
    if (i * step >= p) {
      SendMessageW(handle(), LVM_SCROLL, static_cast<WPARAM>(i * step - p - 3), 0);
      return true;
    }
  }
  return false;
}
