// make run without a display: starts Pathscope.exe in a card folder, opens a recording
// through the File menu and the chooser as a user would, turns on the View menu's
// frame values, G circle and axis curves, lets it play, saves a screenshot of the window
// and closes the viewer, answering its question.
//   viewer_demo <Pathscope.exe> <recording> <seconds> <screenshot.bmp>
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "ViewerDriver_win.h"
#include "app/PathFolder.h"
#include "app/ResourceIds.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: viewer_demo <Pathscope.exe> <recording> <seconds> <screenshot.bmp>\n");
    return 2;
  }
  std::wstring recording = argv[2];
  for (wchar_t& c : recording) {
    if (c == L'/') c = L'\\';  // the chooser hands back the Windows spelling
  }
  ViewerProcess viewer(argv[1], FolderPart(argv[1]));
  if (!viewer.started() || viewer.mainWindow() == nullptr) {
    fprintf(stderr, "viewer_demo: the viewer did not start\n");
    return 1;
  }
  if (!viewer.open(recording) ||
      !WaitFor([&] { return viewer.title().rfind(recording, 0) == 0; }, kPatienceMs)) {
    fprintf(stderr, "viewer_demo: the recording did not open\n");
    SaveScreenshot(argv[4]);
    return 1;
  }
  for (WORD view : {IDM_VIEW_FRAME_VALUES, IDM_VIEW_G_CIRCLE, IDM_VIEW_AXIS_X, IDM_VIEW_AXIS_Y, IDM_VIEW_AXIS_Z}) {
    viewer.menu(view);
  }
  Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000);
  const bool saved = SaveScreenshot(argv[4], viewer.mainWindow());
  PostMessageW(viewer.mainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
  viewer.press(IDOK);
  const int code = viewer.exitCode();
  printf("viewer_demo: screenshot %s, viewer exit code %d\n", saved ? "saved" : "NOT saved", code);
  return saved && code == 0 ? 0 : 1;
}
