#pragma once
// The folder chooser's own handling of help and context-menu requests: its window and
// its folder tree get a procedure of ours in front of the system's.
#include <windows.h>

enum class ChooserPart {
  Dialog,  // help and context-menu requests do nothing
  Tree,    // help requests do nothing; the tree keeps its context menu
};

// Puts our procedure in front of `window`'s. The replaced procedure is kept in a
// property of the window (full pointer width) and put back when the window receives
// WM_DESTROY. False if the window already has one of ours or cannot be changed.
bool SubclassChooserPart(HWND window, ChooserPart part);

// True while `window` carries our procedure.
bool IsChooserPartSubclassed(HWND window);
