#pragma once
// The bytes of a resource of the executable itself.
#include <windows.h>

#include <cstddef>

// Finds the resource (type, name) in the executable's own module, loads and locks it and
// returns its bytes, storing their count in *size when size is given. Resources live as
// long as the module and are never freed. Raises WindowException with the system's text
// for the last error when the resource is missing, empty or cannot be loaded.
const void* FindResourceData(const wchar_t* type, const wchar_t* name, size_t* size = nullptr);
