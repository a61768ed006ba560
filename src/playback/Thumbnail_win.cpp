#include "playback/Thumbnail_win.h"

#include <commctrl.h>

#include <algorithm>

#include "foundation/CommandIds.h"
#include "foundation/Exception.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "playback/FrameTimeText.h"
#include "recording/FrameEntry.h"
#include "toolkit/ChildWidget_win.h"
#include "toolkit/WindowMessages_win.h"

namespace {

constexpr int kButtonSize = 30;
constexpr int kButtonY = 31;
constexpr int kFirstX = 6;
constexpr int kPreviousX = 39;
constexpr int kLastFromRight = 36;
constexpr int kNextFromRight = 69;
constexpr int kStripY = 2;
constexpr UINT_PTR kStepTimer = 0;

}  // namespace

Thumbnail::Thumbnail(IPlaybackOwner& owner)
    : owner_(owner), left_(426), middle_(427), right_(428) {
  WindowCreateParams p = VisibleChildParams(owner.ownerWindow(), 0, 0, 0, 0);
  p.exStyle = WS_EX_CONTROLPARENT;
  create(p);
  whiteBrush_.reset(CreateSolidBrush(RGB(255, 255, 255)));
  tooltip_ = new TrackToolTip;
  tooltip_->Create(handle());
  // The last and next buttons move to the right edge on the first WM_SIZE.
  first_ = makeButton(kFirstX, 442, 443, 444, kTextTipFirst);
  last_ = makeButton(kFirstX, 439, 440, 441, kTextTipLast);
  previous_ = makeButton(kPreviousX, 436, 437, 438, kTextTipPrevious);
  next_ = makeButton(kPreviousX, 433, 434, 435, kTextTipNext);
  strip_ = new ImageListView(handle());
  loader_ = std::make_unique<ImageLoader>(handle());
  UpdateButtons();
}

// The window is not destroyed here: the object goes while its window is being destroyed,
// or after it has gone.
Thumbnail::~Thumbnail() { Reset(); }

ImageButton* Thumbnail::makeButton(int x, int normal, int pressed, int disabled, int tip) {
  auto* button = new ImageButton;  // deleted with its window
  button->Create(handle(), x, kButtonY, kButtonSize, kButtonSize);
  button->SetImages(normal, pressed, disabled);
  button->listener = this;
  tooltip_->AddButtonTool(LoadText(tip), button->handle());
  return button;
}

void Thumbnail::Reset() {
  if (loader_) loader_->Cancel();
  selected_ = 0;
  added_ = 0;
  total_ = 0;
  complete_ = false;
  if (strip_ != nullptr && IsWindow(strip_->handle())) strip_->Clear();
  metadata_.reset();
  latest_.reset();
  if (loader_) loader_->CloseArchive();
}

bool Thumbnail::Begin(std::unique_ptr<IVideoInfo> metadata, int32_t count) {
  if (loader_) loader_->Cancel();
  strip_->Clear();
  metadata_ = std::move(metadata);
  latest_.reset();
  selected_ = 0;
  added_ = 0;
  complete_ = false;
  total_ = std::clamp(count, 0, kMaxThumbnails);
  UpdateButtons();
  loadingStep(added_);
  return count <= kMaxThumbnails;
}

void Thumbnail::UpdateButtons() {
  const bool before = complete_ && selected_ > 0;
  const bool after = complete_ && selected_ < total_ - 1;
  first_->setEnabled(before);
  previous_->setEnabled(before);
  last_->setEnabled(after);
  next_->setEnabled(after);
}

void Thumbnail::Repaint() {
  InvalidateRect(handle(), nullptr, FALSE);
  UpdateWindow(handle());
}

void Thumbnail::OnClick(ImageButton* button) {
  if (button == first_) {
    moveSelection(0);
  } else if (button == last_) {
    const int n = strip_->itemCount();
    if (n > 1) moveSelection(n - 1);
  } else if (button == previous_) {
    if (selected_ - 1 >= 0) moveSelection(selected_ - 1);
  } else if (button == next_) {
    if (selected_ + 1 < total_) moveSelection(selected_ + 1);
  }
}

void Thumbnail::OnPress(ImageButton*) {}

// Through the control, which tells the panel of the new focus as if the user had chosen.
void Thumbnail::moveSelection(int item) {
  strip_->EnsureSelected(item);
  selected_ = item;
}

LRESULT Thumbnail::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      layOut(LOWORD(lParam));
      return 0;
    case WM_ERASEBKGND:
      eraseBackground(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NOTIFY:
      return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      KillTimer(handle(), kStepTimer);
      loadingStep(added_);
      return 0;
    case WM_PLAYER_TICK:
      loadingStep(added_);
      return 0;
    case WM_FRAME_READY:
      onPictureArrived(static_cast<int32_t>(wParam), reinterpret_cast<Image*>(lParam));
      return 0;
    case WM_DESTROY:
      onDestroy();
      return defaultHandling(message, wParam, lParam);
    default:
      return defaultHandling(message, wParam, lParam);
  }
}

void Thumbnail::layOut(int width) {
  SetWindowPos(strip_->handle(), nullptr, width / 2 - ImageListView::kWidth / 2, kStripY, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(last_->handle(), nullptr, width - kLastFromRight, kButtonY, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(next_->handle(), nullptr, width - kNextFromRight, kButtonY, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Thumbnail::eraseBackground(HDC dc) const {
  RECT client;
  GetClientRect(handle(), &client);
  if (!left_.Picture() || !middle_.Picture() || !right_.Picture()) {
    FillRect(dc, &client, static_cast<HBRUSH>(whiteBrush_.get()));
    return;
  }
  const int r = client.right - right_.Width();
  if (left_.Width() < r) middle_.DrawSized(dc, left_.Width(), 0, r - left_.Width(), middle_.Height());
  right_.DrawAt(dc, r, 0);
  left_.DrawAt(dc, 0, 0);
}

LRESULT Thumbnail::onNotify(const NMHDR& header) {
  if (header.hwndFrom != strip_->handle()) return 0;
  if (header.code == NM_CUSTOMDRAW) {
    auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      // The frame drawn into the picture marks the selection; the control's own
      // highlight would cover it.
      draw.nmcd.uItemState = CDIS_DEFAULT;
      return CDRF_NOTIFYITEMDRAW;
    }
    return 0;
  }
  if (header.code == LVN_ITEMCHANGED) {
    // Only an item that gains the focus is a choice: the control also reports the
    // focused item losing its selection on the way to another item.
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const bool gained = (change.uNewState & LVIS_FOCUSED) != 0 && (change.uOldState & LVIS_FOCUSED) == 0;
    if (gained && !selecting_) onFocusChanged(change.iItem);
  }
  return 0;
}

void Thumbnail::onFocusChanged(int item) {
  selected_ = item;
  selectSilently(item);
  UpdateButtons();
  owner_.runCommand(IDM_OPEN_THUMBNAIL);
}

// The strip tells the panel of the focus it sets; that echo is not a new choice. The
// item keeps the focus but not the control's selection: some versions of the control
// blend a selected item's picture with the highlight colour whatever the custom draw
// says, and the frame already marks it.
void Thumbnail::selectSilently(int item) {
  selecting_ = true;
  try {
    strip_->SelectItem(item);
    LVITEMW state = {};
    state.stateMask = LVIS_SELECTED;
    SendMessageW(strip_->handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&state));
  } catch (...) {
    selecting_ = false;
    throw;
  }
  selecting_ = false;
}

void Thumbnail::onPictureArrived(int32_t index, Image* picture) {
  latest_.reset(picture);
  addThumbnail(index);
}

std::wstring Thumbnail::Caption(int64_t time) {
  const frametime::Texts texts = frametime::ForTime(time);
  return texts.date + L" " + texts.time;
}

void Thumbnail::addThumbnail(int32_t index) {
  // A picture of an earlier load, or one asked for twice, arrives after its turn.
  if ((index == 0 && !metadata_) || index != added_) return;
  const FrameEntry* entry = metadata_ ? metadata_->GetEntry(index) : nullptr;
  const std::wstring caption = Caption(entry != nullptr ? entry->time : 0);
  try {
    if (latest_) {
      strip_->AddItem(latest_->Clone().get(), caption);
    } else {
      const AlphaImage placeholder(kPlaceholderPicture);
      strip_->AddItem(placeholder.Picture(), caption);
    }
  } catch (const Exception&) {
    // A thumbnail that cannot be made is left out; the next one comes all the same.
  }
  ++added_;
  loadingStep(index);
}

void Thumbnail::loadingStep(int32_t handled) {
  if (total_ == 0) return;
  if (added_ < total_ && !complete_) {
    requestNext(handled);
  } else if (added_ == total_ && !complete_) {
    finishLoading();
  }
}

void Thumbnail::requestNext(int32_t handled) {
  if (!loader_) {
    SetTimer(handle(), kStepTimer, kStepMs, nullptr);
    return;
  }
  loader_->ArmTimer(kStepMs);
  try {
    // The picture just added came from the previous entry's file: open the next one's.
    if (handled != added_) loader_->OpenEntrySource(added_);
    // A refused request is asked again at the next tick.
    loader_->RequestImage(added_);
  } catch (const Exception&) {
    // The entry's file cannot be read now; the next tick asks for its picture again,
    // and a picture that cannot be had is shown as the placeholder.
  }
}

void Thumbnail::finishLoading() {
  complete_ = true;
  selectSilently(selected_);
  UpdateButtons();
  owner_.runCommand(IDM_OPEN_THUMBNAIL);
}

// The loader's worker ends before the pictures it posted are freed: the system drops a
// dead window's messages, and the pictures with them.
void Thumbnail::onDestroy() {
  if (loader_) loader_->Cancel();
  loader_.reset();
  ImageLoader::DiscardPostedFrames(handle());
}
