#pragma once
// Cabinets compressed by Windows' own cabinet maker, in-process.
#include <string>
#include <vector>

#include "CabinetImage.h"

enum class FciCompression { None, MsZip, Lzx };

// Writes `members` (names stored as given, dates and times as given) into the cabinet
// `path`. False when the cabinet maker refused.
bool MakeFciCabinet(const std::wstring& path, const std::vector<CabinetMember>& members, FciCompression compression);
