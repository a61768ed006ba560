// Pictures nobody here made: PngSuite, libpng's and libjpeg-turbo's own test pictures,
// checked pixel for pixel against independent decoders. scripts/fetch-testdata fetches
// them and writes the reference decodings into a cache folder outside the tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "toolkit/ImageDecoding.h"

namespace fs = std::filesystem;

namespace {

const char kStamp[] = ".done-v2";

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The folder with the pictures, fetched first when this flavour can run the script.
// Empty with a reason in `why` when there is none.
fs::path TestData(std::string& why) {
  fs::path dir = PATHSCOPE_TESTDATA_DIR;
  if (const char* env = std::getenv("PATHSCOPE_TESTDATA")) dir = env;
  if (fs::exists(dir / kStamp)) return dir;
#ifdef _WIN32
  why = "no test pictures in " + dir.string() + " (the host flavour's tests fetch them)";
  return {};
#else
  const std::string command = std::string("'") + PATHSCOPE_SOURCE_DIR + "/scripts/fetch-testdata' '" +
                              dir.string() + "' >&2";
  const int status = std::system(command.c_str());
  if (status != 0 || !fs::exists(dir / kStamp)) {
    why = "scripts/fetch-testdata could not fetch the test pictures (status " + std::to_string(status) + ")";
    return {};
  }
  return dir;
#endif
}

// The reference decoding next to a picture: null when the reference decoder refused it.
struct Reference {
  bool decoded = false;
  int32_t width = 0, height = 0;
  std::vector<uint8_t> pixels;
};

Reference LoadReference(const fs::path& picture) {
  fs::path refPath = picture;
  refPath.replace_extension(".ref");
  const std::vector<uint8_t> bytes = ReadAll(refPath);
  Reference ref;
  if (bytes.size() >= 12 && std::memcmp(bytes.data(), "REF1", 4) == 0) {
    std::memcpy(&ref.width, &bytes[4], 4);
    std::memcpy(&ref.height, &bytes[8], 4);
    ref.pixels.assign(bytes.begin() + 12, bytes.end());
    ref.decoded = true;
  }
  return ref;
}

std::vector<fs::path> Pictures(const fs::path& dir, const std::string& extension) {
  std::vector<fs::path> found;
  if (!fs::is_directory(dir)) return found;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.path().extension() == extension) found.push_back(entry.path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Where the two buffers first differ, for the failure message.
std::string FirstDifference(const Image& image, const Reference& ref) {
  for (size_t i = 0; i < ref.pixels.size(); ++i) {
    if (image.Pixels()[i] != ref.pixels[i]) {
      const size_t pixel = i / 4;
      return "pixel (" + std::to_string(pixel % ref.width) + ", row " + std::to_string(pixel / ref.width) +
             " from the bottom) byte " + std::to_string(i % 4) + ": " + std::to_string(image.Pixels()[i]) +
             " instead of " + std::to_string(ref.pixels[i]);
    }
  }
  return "none";
}

bool SamePixels(const Image& image, const Reference& ref) {
  return image.Width() == ref.width && image.Height() == ref.height &&
         size_t(image.ByteSize()) == ref.pixels.size() &&
         std::memcmp(image.Pixels(), ref.pixels.data(), ref.pixels.size()) == 0;
}

using Decoder = std::unique_ptr<Image> (*)(const uint8_t*, size_t);

struct Tally {
  int equal = 0, rejected = 0;
};

// Strict check: the picture decodes to the reference's pixels, or both refuse it.
// Deliberately broken files (names starting with 'x') must be refused. `opaque`: every
// decoded pixel's fourth byte is 0xFF whatever the reference holds there (the JPEG
// references leave it 0).
Tally CheckStrict(const std::vector<fs::path>& pictures, Decoder decode, bool opaque = false) {
  Tally tally;
  for (const fs::path& path : pictures) {
    const std::string name = path.filename().string();
    const std::vector<uint8_t> bytes = ReadAll(path);
    auto image = decode(bytes.data(), bytes.size());
    if (name[0] == 'x') {
      EXPECT_FALSE(image) << name << " is broken but was decoded";
      ++tally.rejected;
      continue;
    }
    Reference ref = LoadReference(path);
    if (opaque) {
      for (size_t i = 3; i < ref.pixels.size(); i += 4) ref.pixels[i] = 0xFF;
    }
    if (!ref.decoded) {
      EXPECT_FALSE(image) << name << ": the reference decoder refuses it, ours does not";
      ++tally.rejected;
      continue;
    }
    if (!image) {
      ADD_FAILURE() << name << ": no image";
      continue;
    }
    if (SamePixels(*image, ref)) {
      ++tally.equal;
    } else {
      ADD_FAILURE() << name << ": " << image->Width() << "x" << image->Height() << " against "
                    << ref.width << "x" << ref.height << "; first difference at "
                    << FirstDifference(*image, ref);
    }
  }
  return tally;
}

class RealDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string why;
    dir = TestData(why);
    if (dir.empty()) GTEST_SKIP() << why;
  }
  fs::path dir;
};

}  // namespace

TEST_F(RealDataTest, PngSuiteMatchesTheReference) {
  auto pictures = Pictures(dir / "png" / "pngsuite", ".png");
  ASSERT_GE(pictures.size(), 50u) << "PngSuite incomplete in " << dir;
  Tally t = CheckStrict(pictures, DecodePngImage);
  std::cout << "PngSuite: " << pictures.size() << " files, " << t.equal << " equal to the reference, "
            << t.rejected << " rejected\n";
}

TEST_F(RealDataTest, LibpngTestPicturesMatchTheReference) {
  auto pictures = Pictures(dir / "png" / "testpngs", ".png");
  ASSERT_GE(pictures.size(), 50u);
  Tally t = CheckStrict(pictures, DecodePngImage);
  std::cout << "libpng test pictures: " << pictures.size() << " files, " << t.equal << " equal, "
            << t.rejected << " rejected\n";
}

TEST_F(RealDataTest, FilesThatOnceBrokeLibpngAreHandled) {
  // Damaged in ancillary chunks or in the data: refusing is fine, and whatever is
  // decoded must agree with the reference where it decodes too. The sanitizers watch
  // for anything worse.
  auto pictures = Pictures(dir / "png" / "crashers", ".png");
  ASSERT_GE(pictures.size(), 10u);
  int decoded = 0;
  for (const fs::path& path : pictures) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    auto image = DecodePngImage(bytes.data(), bytes.size());
    if (!image) continue;
    ++decoded;
    const Reference ref = LoadReference(path);
    if (ref.decoded) {
      EXPECT_TRUE(SamePixels(*image, ref)) << path.filename() << ": " << FirstDifference(*image, ref);
    }
  }
  std::cout << "libpng crashers: " << pictures.size() << " files, " << decoded << " decoded, "
            << pictures.size() - decoded << " rejected\n";
  for (const char* mustFail : {"badcrc.png", "badadler.png", "huge_IDAT.png"}) {
    const std::vector<uint8_t> bytes = ReadAll(dir / "png" / "crashers" / mustFail);
    EXPECT_FALSE(DecodePngImage(bytes.data(), bytes.size())) << mustFail;
  }
}

TEST_F(RealDataTest, JpegTestImagesMatchDjpeg) {
  auto pictures = Pictures(dir / "jpeg", ".jpg");
  ASSERT_GE(pictures.size(), 4u);
  Tally t = CheckStrict(pictures, DecodeJpegImage, true);
  EXPECT_GE(t.equal, 3);
  std::cout << "JPEG: " << pictures.size() << " files, " << t.equal << " equal to djpeg, " << t.rejected
            << " rejected by both\n";
}
