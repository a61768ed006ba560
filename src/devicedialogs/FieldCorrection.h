#pragma once
// What an hour or minute field of the date/time dialog holds once the user leaves it.
#include <string>

// The number typed in `text`, clamped into [low, high]. White space may lead and
// trail; an empty field, or one with anything else after the number (or no number at
// all), keeps `last`, the field's last valid value.
int CorrectedFieldValue(const std::wstring& text, int low, int high, int last);
