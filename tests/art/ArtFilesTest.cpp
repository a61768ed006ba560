// The rendered pictures in the build tree against the manifest and the layout that
// shows them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ArtManifest.h"
#include "toolkit/ImageDecoding.h"

namespace {

const std::string kArtDir = PATHSCOPE_ART_DIR;

std::vector<ArtEntry> Manifest() { return ReadArtManifest(PATHSCOPE_ART_MANIFEST); }

std::unique_ptr<Image> Decode(const std::string& path) {
  std::vector<uint8_t> bytes = ReadBinaryFile(path);
  return DecodePngImage(bytes.data(), bytes.size());
}

std::unique_ptr<Image> Rendered(int id) { return Decode(kArtDir + "/" + std::to_string(id) + ".png"); }

// Pictures whose size the program's layout fixes: runs of ids (first, count, step)
// that share one size.
struct SizedRun {
  int first, count, step, width, height;
};
const SizedRun kLayoutSizes[] = {
    {10015, 3, 1, 40, 40}, {10033, 3, 1, 40, 40}, {10018, 3, 1, 26, 26},
    {10003, 6, 1, 22, 22}, {10009, 6, 1, 30, 30}, {10030, 1, 1, 18, 20},
    {10031, 1, 1, 24, 16}, {10027, 1, 1, 526, 30}, {295, 1, 1, 526, 30},
    {223, 1, 1, 250, 65},  {221, 1, 1, 20, 65},   {222, 1, 1, 400, 65},
    {424, 1, 1, 20, 65},   {425, 1, 1, 74, 65},   {10026, 1, 1, 209, 180},
    {224, 12, 1, 9, 12},   {250, 12, 1, 21, 31},  {359, 1, 1, 40, 90},
    {360, 1, 1, 20, 90},   {361, 1, 1, 40, 90},   {426, 1, 1, 74, 90},
    {427, 1, 1, 20, 90},   {428, 1, 1, 74, 90},   {433, 12, 1, 30, 30},
    {447, 2, 1, 71, 53},   {10024, 1, 1, 209, 220}, {291, 1, 1, 10, 16},
    {403, 1, 1, 151, 16},  {10001, 1, 1, 151, 16}, {290, 1, 1, 17, 15},
    {289, 1, 1, 16, 16},   {10021, 3, 1, 102, 28}, {285, 1, 1, 280, 73},
    {22101, 8, 1, 0, 0},   {22110, 4, 1, 0, 0},   {218, 3, 1, 209, 0},
    {284, 1, 1, 21, 0},    {294, 1, 1, 0, 0},
};

TEST(ArtManifest, NamesEveryPictureOfTheLayoutAtItsSize) {
  std::map<int, ArtEntry> byId;
  for (const ArtEntry& e : Manifest()) byId[e.id] = e;
  for (const SizedRun& run : kLayoutSizes) {
    for (int i = 0; i < run.count; ++i) {
      int id = run.first + i * run.step;
      SCOPED_TRACE("picture " + std::to_string(id));
      auto it = byId.find(id);
      ASSERT_NE(it, byId.end()) << "missing from the manifest";
      if (run.width) {
        EXPECT_EQ(it->second.width, run.width);
      }
      if (run.height) {
        EXPECT_EQ(it->second.height, run.height);
      }
    }
  }
}

// The right column's pieces and the strip fill the default window: its client area is
// 870 x 635, the picture 640 x 480 beside a 21-pixel strip, and the column between the
// information panel (180 high) and the volume panel (375 above the bottom) is 80 high.
TEST(ArtManifest, WindowPiecesFillTheDefaultClientArea) {
  std::map<int, ArtEntry> byId;
  for (const ArtEntry& e : Manifest()) byId[e.id] = e;
  EXPECT_EQ(byId[218].height + byId[220].height, 635 - 375 - 180);
  EXPECT_EQ(byId[284].height, 635 - 155);
}

TEST(ArtFiles, EveryPictureIsRenderedAtItsManifestSize) {
  for (const ArtEntry& entry : Manifest()) {
    if (entry.type == "ICON") continue;
    SCOPED_TRACE("picture " + std::to_string(entry.id));
    std::vector<uint8_t> png = ReadBinaryFile(kArtDir + "/" + std::to_string(entry.id) + ".png");
    ExpectRenderedPicture(entry, png.data(), png.size());
  }
}

// Pieces the program stretches (or tiles) along one axis: every column (or row) in the
// stretched span must equal the first, or the stretch shows a seam or a smear.
struct Stretch {
  int id;
  bool acrossColumns;
  int from, to;  // span along that axis; to 0 = the picture's end
};
const Stretch kStretched[] = {
    {221, true, 0, 0},  {424, true, 0, 0},  {360, true, 0, 0},      {427, true, 0, 0},
    {219, false, 0, 0}, {284, false, 0, 0}, {10027, true, 12, 514}, {295, true, 12, 514},
};

TEST(ArtFiles, StretchedPiecesAreUniformAlongTheStretch) {
  for (const Stretch& s : kStretched) {
    SCOPED_TRACE("picture " + std::to_string(s.id));
    std::unique_ptr<Image> image = Rendered(s.id);
    ASSERT_TRUE(image);
    int along = s.acrossColumns ? image->Width() : image->Height();
    int across = s.acrossColumns ? image->Height() : image->Width();
    int to = s.to ? s.to : along;
    int seams = 0;
    for (int a = s.from + 1; a < to; ++a) {
      for (int b = 0; b < across; ++b) {
        int x0 = s.acrossColumns ? s.from : b, y0 = s.acrossColumns ? b : s.from;
        int x = s.acrossColumns ? a : b, y = s.acrossColumns ? b : a;
        if (PixelAt(*image, x, y) != PixelAt(*image, x0, y0)) ++seams;
      }
    }
    EXPECT_EQ(seams, 0);
  }
}

// Each digit set is one size and no two glyphs of a set look alike, so no id shows the
// wrong character.
TEST(ArtFiles, DigitGlyphsAreDistinct) {
  for (int first : {224, 250}) {
    std::vector<std::vector<uint8_t>> glyphs;
    for (int id = first; id < first + 12; ++id) {
      std::unique_ptr<Image> image = Rendered(id);
      ASSERT_TRUE(image) << id;
      glyphs.emplace_back(image->Pixels(), image->Pixels() + image->ByteSize());
    }
    for (size_t i = 0; i < glyphs.size(); ++i) {
      for (size_t j = i + 1; j < glyphs.size(); ++j) {
        EXPECT_NE(glyphs[i], glyphs[j]) << first + int(i) << " and " << first + int(j);
      }
    }
  }
}

// Unlit segments are a faint ghost, a few percent of the lit amber: brighter ones make
// every digit read as "8" at a glance.
TEST(ArtFiles, UnlitSegmentsAreBarelyVisible) {
  struct Probe {
    int id;
    const char* what;
    int litX, litY, unlitX, unlitY;
  };
  const Probe probes[] = {
      {226, "small 1: b lit, a unlit", 7, 2, 3, 0},
      {235, "small dash: g lit, a unlit", 3, 5, 3, 0},
      {252, "large 1: b lit, a unlit", 16, 9, 10, 2},
      {250, "large dash: g lit, a unlit", 10, 15, 10, 2},
  };
  const uint32_t amber = 0xFFB43C;
  for (const Probe& p : probes) {
    std::unique_ptr<Image> image = Rendered(p.id);
    ASSERT_TRUE(image) << p.what;
    EXPECT_EQ(PixelAt(*image, p.litX, p.litY) & 0xFFFFFF, amber) << p.what;
    const uint32_t ghost = PixelAt(*image, p.unlitX, p.unlitY);
    for (int shift : {16, 8, 0}) {
      const uint32_t lit = amber >> shift & 0xFF, unlit = ghost >> shift & 0xFF;
      EXPECT_LE(unlit * 100, lit * 8) << p.what << ", channel at bit " << shift;
    }
    EXPECT_NE(ghost & 0xFFFFFF, 0u) << p.what << ": no ghost at all";
  }
}

uint16_t U16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | b[at + 1] << 8); }
uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return U16(b, at) | uint32_t(U16(b, at + 2)) << 16; }

// A small entry is a 32-bit DIB of twice the height (colour, then the AND mask).
void ExpectBitmapEntry(const std::vector<uint8_t>& ico, size_t offset, size_t bytes, int side) {
  ASSERT_GE(bytes, 40u);
  EXPECT_EQ(U32(ico, offset), 40u);
  EXPECT_EQ(int(U32(ico, offset + 4)), side);
  EXPECT_EQ(int(U32(ico, offset + 8)), 2 * side);
  EXPECT_EQ(U16(ico, offset + 14), 32);
  size_t maskStride = size_t((side + 31) / 32 * 4);
  EXPECT_EQ(bytes, 40 + size_t(side * side * 4) + maskStride * side);
}

TEST(ArtFiles, IconHoldsItsFourSizes) {
  std::vector<uint8_t> ico = ReadBinaryFile(kArtDir + "/294.ico");
  ASSERT_GE(ico.size(), 6u + 4 * 16);
  EXPECT_EQ(U16(ico, 0), 0);
  EXPECT_EQ(U16(ico, 2), 1);
  ASSERT_EQ(U16(ico, 4), 4);
  const int sides[] = {16, 32, 48, 256};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE("size " + std::to_string(sides[i]));
    size_t dir = 6 + 16 * size_t(i);
    EXPECT_EQ(ico[dir] ? ico[dir] : 256, sides[i]);
    size_t bytes = U32(ico, dir + 8), offset = U32(ico, dir + 12);
    ASSERT_LE(offset + bytes, ico.size());
    if (sides[i] < 256) {
      ExpectBitmapEntry(ico, offset, bytes, sides[i]);
    } else {
      std::unique_ptr<Image> png = DecodePngImage(ico.data() + offset, bytes);
      ASSERT_TRUE(png);
      EXPECT_EQ(png->Width(), 256);
    }
  }
}

}  // namespace
