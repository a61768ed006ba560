// Without a device program among the resources (the restore tests that carry one are
// built apart).
#include "restore/CardRestore.h"

#include <gtest/gtest.h>

#include "CabinetTestSupport_win.h"

namespace {

TEST(ExtractDeviceFiles, WithoutTheDeviceProgramNothingIsTouched) {
  if (FindResourceW(nullptr, MAKEINTRESOURCEW(309), L"BINARY"))
    GTEST_SKIP() << "this build carries a device program (PATHSCOPE_DEVICE_CABINET)";
  CardDir card;
  const auto before = TemporaryCabinets();
  EXPECT_EQ(Failure([&] { ExtractDeviceFiles(card.wpath()); }), LoadText(kTextNoDeviceProgram));
  EXPECT_FALSE(LoadText(kTextNoDeviceProgram).empty());
  EXPECT_EQ(TemporaryCabinets(), before);
  EXPECT_TRUE(Listing(card.path()).empty());
}

}  // namespace
