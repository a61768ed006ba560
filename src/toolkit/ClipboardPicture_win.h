#pragma once
// A picture onto the clipboard as a device-independent bitmap (CF_DIB), the form every
// program that pastes pictures reads: 24 bits a pixel, rows bottom-up, each padded to
// four bytes, no colour table.
#include <windows.h>

#include <cstdint>
#include <vector>

class Image;

// The packed DIB of `image`: a BITMAPINFOHEADER followed by the rows.
std::vector<uint8_t> PackedDib(const Image& image);

// Replaces what the clipboard holds with `image`; false when the clipboard could not be
// had (another program holds it) or the system refused the data. Nothing is left open.
bool CopyPictureToClipboard(HWND owner, const Image& image);
