// The gallery: every widget of the interface in each of its states, one screenshot per
// state, for people to look at (scripts/gallery turns them into a contact sheet).
//   gallery OUTPUT_FOLDER [NAME_SUBSTRING]
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "GalleryScene.h"
#include "GalleryStage_win.h"
#include "foundation/Exception.h"
#include "foundation/ModuleInstance_win.h"
#include "toolkit/Window_win.h"

namespace {

int Run(const std::wstring& folder, const wchar_t* filter) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  GalleryStage stage;
  int shots = 0;
  std::vector<GalleryScene> scenes = GalleryScenes();
  for (GalleryScene& scene : PanelScenes()) scenes.push_back(std::move(scene));
  for (GalleryScene& scene : DriveScenes()) scenes.push_back(std::move(scene));
  for (const GalleryScene& scene : scenes) {
    if (filter != nullptr && scene.name.find(filter) == std::wstring::npos) continue;
    stage.reset(scene.width, scene.height);
    scene.build(stage);
    stage.settle(scene.settleMs);
    Window::rethrowPendingFailure();
    stage.capture(folder + L"\\" + scene.name + L".bmp");
    std::printf("%ls\n", scene.name.c_str());
    ++shots;
  }
  stage.reset(1, 1);
  return shots > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gallery OUTPUT_FOLDER [NAME_SUBSTRING]\n");
    return 2;
  }
  SetModuleInstance(GetModuleHandleW(nullptr));
  try {
    return Run(argv[1], argc > 2 ? argv[2] : nullptr);
  } catch (const Exception& e) {
    std::fprintf(stderr, "gallery: %ls\n", e.message.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gallery: %s\n", e.what());
  }
  return 1;
}
