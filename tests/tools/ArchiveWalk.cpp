#include "ArchiveWalk.h"

#include <algorithm>
#include <csetjmp>

extern "C" {
#include <jpeglib.h>
}

namespace simtest {
namespace {

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void ErrorExit(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }
void Quiet(j_common_ptr) {}

const JOCTET kEoi[2] = {0xFF, 0xD9};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr c) {
  // Past the end: an end marker, so truncated data fails as corrupt rather than hanging.
  c->src->next_input_byte = kEoi;
  c->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInput(j_decompress_ptr c, long n) {
  if (n <= 0) return;
  const size_t skip = std::min(static_cast<size_t>(n), c->src->bytes_in_buffer);
  c->src->next_input_byte += skip;
  c->src->bytes_in_buffer -= skip;
}

}  // namespace

std::vector<WalkedBlock> WalkBlocks(const std::vector<uint8_t>& file) {
  std::vector<WalkedBlock> blocks;
  if (file.size() < archive::kHeaderAreaSize) return blocks;
  const uint32_t id = archive::DecodeArchiveHeader(file.data()).archiveId;
  uint64_t pos = archive::kHeaderAreaSize;
  while (pos + archive::kBlockHeaderSize + archive::kTagSize <= file.size()) {
    WalkedBlock b;
    b.offset = pos;
    b.header = archive::DecodeBlockHeader(&file[pos]);
    b.kind = archive::ClassifyBlock(b.header, &file[pos + archive::kBlockHeaderSize], id);
    blocks.push_back(b);
    if (b.kind != archive::BlockKind::Accepted || b.header.blockSize <= 0) break;
    pos += static_cast<uint64_t>(b.header.blockSize);
  }
  return blocks;
}

std::vector<uint8_t> Reassemble(const std::vector<uint8_t>& file, const recsim::PictureRecord& p) {
  std::vector<uint8_t> content(static_cast<size_t>(p.payloadSize));
  for (int k = 1; k <= p.fragmentCount && k <= static_cast<int>(p.blockOffsets.size()); ++k) {
    const archive::FragmentSpan span = archive::FragmentContent(p.payloadSize, k);
    const uint8_t* block = &file[p.blockOffsets[static_cast<size_t>(k - 1)]];
    std::copy(block + span.blockOffset, block + span.blockOffset + span.length,
              content.begin() + span.contentOffset);
  }
  return content;
}

bool DecodeJpeg(const std::vector<uint8_t>& data, int& width, int& height) {
  jpeg_decompress_struct cinfo{};
  JpegError err{};
  jpeg_source_mgr src{};
  std::vector<JSAMPLE> row;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.output_message = Quiet;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  src.next_input_byte = data.data();
  src.bytes_in_buffer = data.size();
  src.init_source = InitSource;
  src.fill_input_buffer = FillInput;
  src.skip_input_data = SkipInput;
  src.resync_to_restart = jpeg_resync_to_restart;
  src.term_source = TermSource;
  cinfo.src = &src;
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  row.resize(static_cast<size_t>(cinfo.output_width) * static_cast<size_t>(cinfo.output_components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&cinfo, &r, 1);
  }
  width = static_cast<int>(cinfo.output_width);
  height = static_cast<int>(cinfo.output_height);
  jpeg_finish_decompress(&cinfo);
  // A clean stream: libjpeg had nothing to skip or complain about on the way.
  const bool clean = err.base.num_warnings == 0;
  jpeg_destroy_decompress(&cinfo);
  return clean;
}

recsim::RecordingDescription Short(int ms) {
  recsim::RecordingDescription d;
  d.durationMs = ms;
  d.mode = recsim::PictureMode::Fast;
  d.fastVariants = 3;
  return d;
}

}  // namespace simtest
