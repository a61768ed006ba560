#pragma once
// The main window's tests still include the capture by this name; it lives in the test
// support now.
#include "ScreenCapture_win.h"
