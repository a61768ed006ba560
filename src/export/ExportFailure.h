#pragma once
// How the export's parts give up: an IOException with the string table's text.
#include "foundation/Exception.h"
#include "foundation/Text.h"

[[noreturn]] inline void ThrowExportFailure(unsigned text) { throw IOException(LoadText(text)); }
