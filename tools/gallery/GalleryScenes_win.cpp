// The gallery's scenes: each widget in its normal, held, disabled and dragging states.
#include <windows.h>

#include "GalleryScene.h"
#include "GalleryStage_win.h"

std::vector<GalleryScene> GalleryScenes() {
  std::vector<GalleryScene> scenes;
  scenes.push_back({L"stage", 200, 80, [](GalleryStage& stage) {
                      CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE, 10, 10, 80, 24,
                                      stage.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
                    }});
  return scenes;
}
