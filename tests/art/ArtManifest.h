#pragma once
// The interface's picture list (resources/art/manifest.csv) as the tests read it, and the
// checks that every rendered picture must pass wherever it is found.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Image.h"

struct ArtEntry {
  int id = 0;
  int width = 0;
  int height = 0;
  std::string type;  // IMAGE, HTML or ICON
  std::string source;
  std::string look;
};

// Rows of the manifest; a malformed row fails the calling test and is left out.
std::vector<ArtEntry> ReadArtManifest(const std::string& path);

std::vector<uint8_t> ReadBinaryFile(const std::string& path);

// Blue, green, red and alpha of the pixel at (x, y) counted from the top.
uint32_t PixelAt(const Image& image, int x, int y);

// Fails the calling test when the PNG does not decode to an entry-sized picture that
// shows something (two colours at least), or when an IMAGE entry, which the widgets copy
// without blending, has a pixel that is not fully opaque.
void ExpectRenderedPicture(const ArtEntry& entry, const uint8_t* png, size_t size);
