#include "restore/CardRestore.h"

#include <gtest/gtest.h>

#include "CabinetTestSupport_win.h"

namespace {

std::filesystem::path RunningExecutable() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

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

TEST(CopyViewer, CopiesTheRunningProgramUnderItsProductName) {
  CardDir card;
  const auto self = RunningExecutable();
  CopyViewer(card.wpath());
  const auto target = card / ToNarrow(LoadText(kTextExecutableName));
  EXPECT_EQ(target.filename().wstring(), L"Pathscope.exe");
  EXPECT_EQ(ReadBytes(target), ReadBytes(self));
  // An older copy is replaced.
  SetNormalAttributes(target.wstring());
  WriteBytes(target, Bytes(10, 0));
  CopyViewer(card.wpath());
  EXPECT_EQ(std::filesystem::file_size(target), std::filesystem::file_size(self));
}

TEST(CopyViewer, RunningFromTheCardSkipsTheCopy) {
  // Run a copy of this test program from a "card" as Pathscope.exe: it must not try to
  // copy itself over itself.
  CardDir card;
  CopyViewer(card.wpath());
  const auto copy = card / "Pathscope.exe";
  const auto before = std::filesystem::last_write_time(copy);
  std::wstring command = L"\"" + copy.wstring() + L"\" --gtest_filter=CopyViewer.SelfCopyProbe";
  std::wstring folderUpper = card.wpath();
  for (auto& c : folderUpper) c = static_cast<wchar_t>(towupper(c));
  SetEnvironmentVariableW(L"PATHSCOPE_PROBE_CARD", folderUpper.c_str());
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 99;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  SetEnvironmentVariableW(L"PATHSCOPE_PROBE_CARD", nullptr);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(std::filesystem::last_write_time(copy), before);
}

// Runs only inside the copy started above: the card folder arrives in upper case, so
// the comparison has to ignore letter case.
TEST(CopyViewer, SelfCopyProbe) {
  wchar_t card[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"PATHSCOPE_PROBE_CARD", card, MAX_PATH)) GTEST_SKIP() << "helper of RunningFromTheCardSkipsTheCopy";
  EXPECT_NO_THROW(CopyViewer(card));
}

TEST(CopyViewer, UnwritableTargetFailsAndLeavesNothing) {
  CardDir card;
  EXPECT_EQ(Failure([&] { CopyViewer((card / "missing").wstring()); }), LoadText(kTextSomeFilesFailed));
  std::filesystem::create_directory(card / "Pathscope.exe");
  EXPECT_EQ(Failure([&] { CopyViewer(card.wpath()); }), LoadText(kTextSomeFilesFailed));
  EXPECT_TRUE(std::filesystem::is_directory(card / "Pathscope.exe"));
}

}  // namespace
