#pragma once
// How the device dialogs put their records into the card's settings file.
#include <functional>
#include <string>

#include "device/FirmInfo.h"

enum class CardWriteResult {
  Written,     // written with the card's other records kept, and read back
  NotWritten,  // failed before anything was written: the card's file is untouched
  Failed,      // writing or reading back failed: the card's file was deleted if it could be
};

// Builds a fresh record list with `fill`, writes it merged into the settings file of
// `card` and reads it back. A failure of `fill` (an Exception) or a card path too long
// for the settings file leaves the card alone; a half-written or mismatching file is
// deleted, as the recorder must not boot from it.
CardWriteResult WriteCardSettings(const std::wstring& card, const std::function<void(FirmInfo&)>& fill);
