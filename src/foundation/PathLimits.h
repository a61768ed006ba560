#pragma once
// The length of the path buffers Windows calls fill: every path the program builds
// must fit one, terminator included.
#include <cstddef>

constexpr size_t kPathUnits = 260;
