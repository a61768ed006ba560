#pragma once
// The view menu's toggles. What they switch is kept where it is drawn (the chart's series,
// the information panel's values); the menu's check marks follow it.
#include <windows.h>

class GCircle;
class InfoPanel;
class LineChart;

// Flips what `id` toggles and its check mark in `menu`; false for any other command.
bool RunViewCommand(WORD id, HMENU menu, LineChart& chart, InfoPanel& info, GCircle& circle);
