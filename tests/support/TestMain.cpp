// The entry point of every test program. Windows programs are built with -municode and
// so start at wmain.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>


int wmain(int argc, wchar_t** argv) {
  // A failing test must never wait on an error dialog.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#else
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
#endif
