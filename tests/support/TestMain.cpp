// The entry point of every test program. Windows programs are built with -municode and
// so start at wmain.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <cstdio>


int wmain(int argc, wchar_t** argv) {
  // A failing test must never wait on an error dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  // The verdict is printed; end here. Under Wine the normal exit (library detach, threads
  // the tests left waiting) now and then hangs after a passing run, and CTest would then
  // wait out the test's whole timeout and count it failed.
  std::fflush(stdout);
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(result));
  return result;
}
#else
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
