#pragma once
// A top-level window for the toolkit's drawing tests to place their children in.
#include <windows.h>

// A top-level window of its own class shown without activation, with `background` as
// its class brush; destroy it when done.
HWND ShowTestParent(int width, int height, HBRUSH background = nullptr);
