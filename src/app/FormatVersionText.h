#pragma once
// Start-up reads the recording format version with the archive's own parser, so that
// the version it records and the one the archive reader compares with always agree.
#include "recording/FormatVersionText.h"

using archive::FormatVersionFromText;
