#pragma once
// What a cabinet may ask the extractor to do, judged without touching the disk. A
// cabinet is untrusted input: its member names come from whoever made it.
#include <string>

// True when `name` is one plain file name that can only ever denote a new file directly
// inside the destination folder: no folder part, drive, device name, parent reference
// or character that Windows does not allow in a file name, and no trailing dot or space
// (which Windows would strip, silently naming another file).
bool IsSafeMemberName(const std::wstring& name);

// The message id for a failure code of the cabinet decompressor (5027..5039).
unsigned CabinetErrorTextId(int code);
