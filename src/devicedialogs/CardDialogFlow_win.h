#pragma once
// The steps the two device dialogs share: choosing the card, confirming the write and
// telling the user how it went.
#include <windows.h>

#include <string>

#include "devicedialogs/CardSettingsWriter.h"

// The folder chooser titled with text `promptId`, owned by `dialog`, starting on and
// updating `card`. False when the user chose nothing.
bool AskForCard(HWND dialog, unsigned promptId, std::wstring& card);

// The question `questionId` with OK and Cancel; true for OK.
bool ConfirmWrite(HWND dialog, unsigned questionId);

// Text `writtenId` as information after a good write, else the warning that the
// settings file cannot be written, whatever went wrong.
void ReportCardWrite(HWND dialog, CardWriteResult result, unsigned writtenId);
