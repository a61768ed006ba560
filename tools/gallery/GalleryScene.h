#pragma once
// One screenshot of the gallery: widgets put into one state on the stage.
#include <functional>
#include <string>
#include <vector>

class GalleryStage;

struct GalleryScene {
  std::wstring name;  // the screenshot's file name, without extension
  int width;          // the stage's client size for this scene
  int height;
  std::function<void(GalleryStage&)> build;  // creates the widgets and puts them in state
  unsigned settleMs = 250;                   // time for paints, timers and tooltips
};

// Every scene, in the order of the contact sheet: the widgets', then the panels'.
std::vector<GalleryScene> GalleryScenes();
std::vector<GalleryScene> PanelScenes();
// The drive's numbers: the frame's values, the chart's series.
std::vector<GalleryScene> DriveScenes();
// The thumbnail panel's scenes, appended to `scenes`.
void AddThumbnailScenes(std::vector<GalleryScene>& scenes);
// The picture whole, zoomed and panned, appended to `scenes`.
void AddPlayerScenes(std::vector<GalleryScene>& scenes);
