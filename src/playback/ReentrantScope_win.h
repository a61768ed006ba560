#pragma once
// A call that dispatches its window's messages while it runs: a load that keeps the
// interface alive, a modal dialog. One of those messages may destroy the window (a
// WM_CLOSE posted by the system, a logoff) or reach the object again. For the call's
// length the scope keeps the window's object alive past such a destruction and marks
// the owner busy; it parks every failure of the call, of whatever type, so that the
// hold ends on every path.
#include <exception>
#include <functional>
#include <optional>
#include <string>

class Window;

class ReentrantScope {
 public:
  // Holds `window`'s object and calls `markBusy` (when given) with true; leave() or the
  // destructor calls it with false.
  explicit ReentrantScope(Window& window, std::function<void(bool)> markBusy = {});
  // Ends what leave() has not. The object may be deleted here, so a function that lets
  // an exception through a scope touches no member after it.
  ~ReentrantScope();
  ReentrantScope(const ReentrantScope&) = delete;
  ReentrantScope& operator=(const ReentrantScope&) = delete;

  // Runs `call`, keeping its failure for failure() instead of letting it through.
  void run(const std::function<void()>& call);
  // Unmarks the owner and ends the hold. True when the window was destroyed meanwhile
  // and its object has just been deleted: the caller returns at once, touching no
  // member (the scope itself, a local, may still be asked).
  bool leave();

  // What the call works for was closed meanwhile: its result is of no use.
  void abandon() { abandoned_ = true; }
  // Closed or destroyed meanwhile (ask before leave(), or after it returned false).
  bool abandoned() const;

  const std::exception_ptr& failure() const { return failure_; }
  // The text of a failure of the Exception family, nothing when the call succeeded; any
  // other failure is thrown on.
  std::optional<std::wstring> failureText() const;

 private:
  Window& window_;
  std::function<void(bool)> markBusy_;
  std::exception_ptr failure_;
  bool left_ = false;
  bool abandoned_ = false;
};
