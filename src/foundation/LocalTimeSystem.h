#pragma once
// The system's own local-time conversions, without any checking of their own.
#include <cstdint>

#include "foundation/LocalTime.h"

bool SystemMakeTime(const LocalDateTime& local, int64_t& time);
bool SystemLocalTime(int64_t time, LocalDateTime& local);
