#include "playback/ReentrantScope_win.h"

#include <utility>

#include "foundation/Exception.h"
#include "toolkit/Window_win.h"

ReentrantScope::ReentrantScope(Window& window, std::function<void(bool)> markBusy)
    : window_(window), markBusy_(std::move(markBusy)) {
  window_.holdDeletion();
  if (!markBusy_) return;
  try {
    markBusy_(true);
  } catch (...) {
    window_.releaseDeletion();
    throw;
  }
}

ReentrantScope::~ReentrantScope() {
  if (left_) return;
  try {
    leave();
  } catch (...) {
    // Unmarking failed during an unwinding already under way; the hold has ended.
  }
}

void ReentrantScope::run(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    failure_ = std::current_exception();
  }
}

bool ReentrantScope::leave() {
  left_ = true;
  // The hold ends even when unmarking throws.
  try {
    if (markBusy_) markBusy_(false);
  } catch (...) {
    window_.releaseDeletion();
    throw;
  }
  return window_.releaseDeletion();
}

bool ReentrantScope::abandoned() const { return abandoned_ || window_.windowDestroyed(); }

std::optional<std::wstring> ReentrantScope::failureText() const {
  if (!failure_) return std::nullopt;
  try {
    std::rethrow_exception(failure_);
  } catch (const Exception& e) {
    return e.message;
  }
}
