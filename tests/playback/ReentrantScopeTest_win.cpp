// The scope around a call that dispatches its window's messages, on a real window whose
// object counts its deletion.
#include "playback/ReentrantScope_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "toolkit/Window_win.h"

namespace {

class Counted : public Window {
 public:
  explicit Counted(int& deletions) : deletions_(deletions) {
    WindowCreateParams p;
    p.className = MAKEINTATOM(defaultClass());
    p.style = WS_POPUP;
    p.parent = HWND_MESSAGE;
    p.instance = classInstance();
    create(p);
  }
  ~Counted() override { ++deletions_; }

 private:
  int& deletions_;
};

using Marks = std::vector<bool>;

TEST(ReentrantScope, MarksTheOwnerForTheCallAndEndsTheHoldOnEveryPath) {
  enum class Failure { None, OfTheFamily, Foreign };
  const struct {
    const char* name;
    bool destroys;  // the call destroys the window, as a WM_CLOSE handled in it would
    Failure failure;
  } cases[] = {
      {"returns", false, Failure::None},
      {"fails with an Exception", false, Failure::OfTheFamily},
      {"runs out of memory", false, Failure::Foreign},
      {"destroys the window", true, Failure::None},
      {"destroys the window, then fails", true, Failure::Foreign},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int deletions = 0;
    Counted* window = new Counted(deletions);
    const HWND handle = window->handle();
    Marks marks;
    ReentrantScope scope(*window, [&](bool busy) { marks.push_back(busy); });
    scope.run([&] {
      if (c.destroys) DestroyWindow(handle);
      if (c.failure == Failure::OfTheFamily) throw IOException(L"read failed");
      if (c.failure == Failure::Foreign) throw std::bad_alloc();
    });
    EXPECT_EQ(marks, Marks{true});
    EXPECT_EQ(deletions, 0) << "deleted under the running call";
    EXPECT_EQ(scope.abandoned(), c.destroys);
    EXPECT_EQ(scope.leave(), c.destroys);
    EXPECT_EQ(marks, (Marks{true, false}));
    EXPECT_EQ(deletions, c.destroys ? 1 : 0);
    switch (c.failure) {
      case Failure::None:
        EXPECT_FALSE(scope.failureText().has_value());
        break;
      case Failure::OfTheFamily:
        EXPECT_EQ(scope.failureText(), std::optional<std::wstring>(L"read failed"));
        break;
      case Failure::Foreign:
        EXPECT_THROW(scope.failureText(), std::bad_alloc);
        break;
    }
    if (!c.destroys) {
      DestroyWindow(handle);
      EXPECT_EQ(deletions, 1) << "a hold was left behind";
    }
  }
}

TEST(ReentrantScope, AScopeLeftByAnExceptionStillEndsTheHold) {
  int deletions = 0;
  Counted* window = new Counted(deletions);
  Marks marks;
  try {
    ReentrantScope scope(*window, [&](bool busy) { marks.push_back(busy); });
    DestroyWindow(window->handle());
    throw std::bad_alloc();
  } catch (const std::bad_alloc&) {
  }
  EXPECT_EQ(marks, (Marks{true, false}));
  EXPECT_EQ(deletions, 1);
}

TEST(ReentrantScope, NestedScopesDeleteTheObjectWhenTheOutermostEnds) {
  int deletions = 0;
  Counted* window = new Counted(deletions);
  ReentrantScope outer(*window);
  {
    ReentrantScope inner(*window);
    inner.run([&] { DestroyWindow(window->handle()); });
    EXPECT_FALSE(inner.leave());
    EXPECT_EQ(deletions, 0);
  }
  EXPECT_TRUE(outer.leave());
  EXPECT_EQ(deletions, 1);
}

TEST(ReentrantScope, AClosingMeanwhileAbandonsTheCall) {
  int deletions = 0;
  Counted* window = new Counted(deletions);
  const HWND handle = window->handle();
  {
    ReentrantScope scope(*window);
    EXPECT_FALSE(scope.abandoned());
    scope.run([&] { scope.abandon(); });
    EXPECT_TRUE(scope.abandoned());
    EXPECT_FALSE(scope.leave());
  }
  EXPECT_EQ(deletions, 0) << "the window still stands";
  DestroyWindow(handle);
}

}  // namespace
