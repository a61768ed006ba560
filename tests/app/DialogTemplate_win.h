#pragma once
// Reads a dialog template (the classic DLGTEMPLATE form the resource compiler writes)
// back into plain values, so tests can compare it with what the dialogs expect.
#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
  DWORD style = 0;
  int id = 0;  // signed: unnamed controls are -1
  std::wstring className;  // predefined classes by name: "Button", "Edit", "Static", ...
  std::wstring text;
  int x = 0, y = 0, cx = 0, cy = 0;
};

struct DialogTemplate {
  DWORD style = 0;
  std::wstring caption;
  int cx = 0, cy = 0;
  int fontSize = 0;
  std::wstring fontFace;
  std::vector<DialogItem> items;
};

// Parses `size` bytes at `data`; false when they do not hold a whole template.
bool ParseDialogTemplate(const void* data, size_t size, DialogTemplate& out);
