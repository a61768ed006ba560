#include "ArtManifest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#include "toolkit/ImageDecoding.h"

namespace {

std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(field);
  return fields;
}

bool ParseRow(const std::string& line, ArtEntry& entry) {
  std::vector<std::string> f = SplitCsv(line);
  if (f.size() != 7) return false;
  try {
    entry.id = std::stoi(f[0]);
    entry.width = std::stoi(f[1]);
    entry.height = std::stoi(f[2]);
  } catch (const std::exception&) {
    return false;
  }
  entry.type = f[3];
  entry.source = f[4];
  entry.look = f[5];
  return entry.width > 0 && entry.height > 0;
}

}  // namespace

std::vector<ArtEntry> ReadArtManifest(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in.good()) << "cannot open " << path;
  std::vector<ArtEntry> entries;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (header) {
      header = false;
      continue;
    }
    ArtEntry entry;
    if (ParseRow(line, entry)) {
      entries.push_back(entry);
    } else {
      ADD_FAILURE() << "malformed manifest row: " << line;
    }
  }
  return entries;
}

std::vector<uint8_t> ReadBinaryFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t PixelAt(const Image& image, int x, int y) {
  const uint8_t* p = image.Pixels() + ((image.Height() - 1 - y) * image.Width() + x) * 4;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void ExpectRenderedPicture(const ArtEntry& entry, const uint8_t* png, size_t size) {
  std::unique_ptr<Image> image = DecodePngImage(png, size);
  ASSERT_TRUE(image) << "not a PNG";
  ASSERT_EQ(image->Width(), entry.width);
  ASSERT_EQ(image->Height(), entry.height);
  // The colour type byte of the header: with an alpha channel the fourth byte of every
  // pixel is its alpha, without one it is filler.
  const bool hasAlpha = size > 25 && (png[25] & 4) != 0;
  std::set<uint32_t> colours;
  int translucent = 0;
  for (int y = 0; y < image->Height(); ++y) {
    for (int x = 0; x < image->Width(); ++x) {
      uint32_t pixel = PixelAt(*image, x, y);
      uint32_t alpha = hasAlpha ? pixel >> 24 : 0xFF;
      if (alpha != 0xFF) ++translucent;
      if (alpha != 0) colours.insert(pixel);
    }
  }
  EXPECT_GE(colours.size(), 2u) << "the picture shows nothing";
  if (entry.type == "IMAGE") {
    EXPECT_EQ(translucent, 0) << "pixels the widgets would copy unblended";
  }
}
