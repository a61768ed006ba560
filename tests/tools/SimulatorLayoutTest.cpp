// The simulator's archives decode back, through the archive format's own decoders, to
// what the description asked for and the manifest reports.
#include <gtest/gtest.h>

#include <csetjmp>
#include <set>

#include "RecorderSimulator.h"
#include "recording/ArchiveFormat.h"

extern "C" {
#include <jpeglib.h>
}

namespace {

using namespace archive;
using recsim::RecordingDescription;
using recsim::RecordingManifest;

RecordingDescription Short(int ms = 1500) {
  RecordingDescription d;
  d.durationMs = ms;
  d.mode = recsim::PictureMode::Fast;
  d.fastVariants = 3;
  return d;
}

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void Quiet(j_common_ptr) {}

// Decodes a JPEG stream fully; false on any decoder error.
bool DecodeJpeg(const std::vector<uint8_t>& data, int& width, int& height) {
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.output_message = Quiet;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  // The 6b interface has no memory source: a one-shot source over the buffer.
  struct Source {
    jpeg_source_mgr base;
  };
  static const JOCTET kEoi[2] = {0xFF, 0xD9};
  Source src{};
  src.base.next_input_byte = data.data();
  src.base.bytes_in_buffer = data.size();
  src.base.init_source = [](j_decompress_ptr) {};
  src.base.fill_input_buffer = [](j_decompress_ptr c) -> boolean {
    c->src->next_input_byte = kEoi;
    c->src->bytes_in_buffer = 2;
    return TRUE;
  };
  src.base.skip_input_data = [](j_decompress_ptr c, long n) {
    if (n <= 0) return;
    const size_t skip = static_cast<size_t>(n) < c->src->bytes_in_buffer ? static_cast<size_t>(n)
                                                                          : c->src->bytes_in_buffer;
    c->src->next_input_byte += skip;
    c->src->bytes_in_buffer -= skip;
  };
  src.base.resync_to_restart = jpeg_resync_to_restart;
  src.base.term_source = [](j_decompress_ptr) {};
  cinfo.src = &src.base;
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  std::vector<JSAMPLE> row(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&cinfo, &r, 1);
  }
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

// Reassembles a picture's content from the fragments the manifest lists.
std::vector<uint8_t> Reassemble(const std::vector<uint8_t>& file, const recsim::PictureRecord& p) {
  std::vector<uint8_t> content(static_cast<size_t>(p.payloadSize));
  for (int k = 1; k <= p.fragmentCount; ++k) {
    const FragmentSpan span = FragmentContent(p.payloadSize, k);
    const uint8_t* block = &file[p.blockOffsets[static_cast<size_t>(k - 1)]];
    std::copy(block + span.blockOffset, block + span.blockOffset + span.length, content.begin() + span.contentOffset);
  }
  return content;
}

TEST(SimulatorLayout, HeaderCarriesStartTickAndId) {
  RecordingDescription d = Short();
  d.start = {2010, 12, 31, 23, 59, 58};
  d.startTick = 123456789;
  d.archiveId = 0xCAFE0042;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GE(file.size(), kHeaderAreaSize);
  EXPECT_EQ((file.size() - kHeaderAreaSize) % kBlockSize, 0u);
  const ArchiveHeader h = DecodeArchiveHeader(file.data());
  EXPECT_EQ(h.start, d.start);
  EXPECT_NE(h.startTime, 0);
  EXPECT_EQ(h.startTick, 123456789u);
  EXPECT_EQ(h.archiveId, 0xCAFE0042u);
  EXPECT_EQ(m.fileSize, file.size());
}

TEST(SimulatorLayout, PicturesRebuildIntoDecodableJpegs) {
  RecordingDescription d = Short(300);
  d.mode = recsim::PictureMode::Full;
  d.jpegQuality = 85;
  RecordingManifest m;
  const auto file = recsim::BuildRecording(d, &m);
  ASSERT_GE(m.pictures.size(), 8u);
  std::set<uint64_t> hashes;
  for (const auto& p : m.pictures) {
    ASSERT_EQ(static_cast<int>(p.blockOffsets.size()), p.fragmentCount);
    std::vector<uint8_t> content = Reassemble(file, p);
    ASSERT_TRUE(RebuildJpegStream(content, FormatVersion{}));
    // The fixed prefix stands in for the first 16 bytes; everything after is the encoder's.
    ASSERT_EQ(content.size(), p.jpeg->size());
    EXPECT_TRUE(std::equal(content.begin() + 16, content.end(), p.jpeg->begin() + 16));
    int w = 0, h = 0;
    ASSERT_TRUE(DecodeJpeg(content, w, h)) << "picture " << p.index;
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    hashes.insert(p.jpegHash);
  }
  // Every picture is its own drawing (clock and number burned in).
  EXPECT_EQ(hashes.size(), m.pictures.size());
}

}  // namespace
