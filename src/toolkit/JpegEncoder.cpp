#include "toolkit/JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

extern "C" {
#include <jpeglib.h>
}

#include "toolkit/Image.h"

namespace {

// libjpeg is C: errors leave it by longjmp back into Encode, never by a C++ exception
// thrown through its frames.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void OutputMessage(j_common_ptr) {}

// The 6b interface has no memory destination: grow a vector in steps.
struct VectorDestination {
  jpeg_destination_mgr base;
  std::vector<uint8_t>* out;
};

constexpr size_t kChunk = 16384;

void InitDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(kChunk);
  dest->base.next_output_byte = dest->out->data();
  dest->base.free_in_buffer = kChunk;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  const size_t used = dest->out->size();
  dest->out->resize(used + kChunk);
  dest->base.next_output_byte = dest->out->data() + used;
  dest->base.free_in_buffer = kChunk;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - dest->base.free_in_buffer);
}

}  // namespace

// The library's compressor with its error exit and destination, made once.
struct JpegCompressor {
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  VectorDestination dest{};

  JpegCompressor() {
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = ErrorExit;
    err.base.output_message = OutputMessage;
    jpeg_create_compress(&cinfo);
    dest.base.init_destination = InitDestination;
    dest.base.empty_output_buffer = EmptyOutputBuffer;
    dest.base.term_destination = TermDestination;
    cinfo.dest = &dest.base;
  }
  ~JpegCompressor() { jpeg_destroy_compress(&cinfo); }
  JpegCompressor(const JpegCompressor&) = delete;
  JpegCompressor& operator=(const JpegCompressor&) = delete;
};

namespace {

int ClampQuality(int quality) { return quality < 1 ? 1 : (quality > 100 ? 100 : quality); }

// Compresses the rows that row(i) gives for i = 0 .. height - 1 (top first). No C++
// object with a destructor lives between setjmp and the library's calls.
template <typename Row>
void Compress(JpegCompressor& c, int width, int height, int components, J_COLOR_SPACE space, int quality,
              std::vector<uint8_t>& out, Row row) {
  c.dest.out = &out;
  if (setjmp(c.err.jump)) {
    jpeg_abort_compress(&c.cinfo);
    throw std::runtime_error(std::string("JPEG encoding failed: ") + c.err.message);
  }
  c.cinfo.image_width = static_cast<JDIMENSION>(width);
  c.cinfo.image_height = static_cast<JDIMENSION>(height);
  c.cinfo.input_components = components;
  c.cinfo.in_color_space = space;
  jpeg_set_defaults(&c.cinfo);
  jpeg_set_quality(&c.cinfo, ClampQuality(quality), TRUE);
  jpeg_start_compress(&c.cinfo, TRUE);
  while (c.cinfo.next_scanline < c.cinfo.image_height) {
    JSAMPROW r = row(static_cast<int>(c.cinfo.next_scanline));
    jpeg_write_scanlines(&c.cinfo, &r, 1);
  }
  jpeg_finish_compress(&c.cinfo);
}

}  // namespace

JpegEncoder::JpegEncoder() : compressor_(std::make_unique<JpegCompressor>()) {}
JpegEncoder::~JpegEncoder() = default;

std::vector<uint8_t> JpegEncoder::Encode(const uint8_t* rgb, int width, int height, int quality) {
  JpegCompressor c;
  std::vector<uint8_t> out;
  Compress(c, width, height, 3, JCS_RGB, quality, out, [&](int y) {
    return const_cast<JSAMPROW>(rgb + static_cast<size_t>(y) * static_cast<size_t>(width) * 3);
  });
  return out;
}

void JpegEncoder::Encode(const Image& image, int quality, std::vector<uint8_t>& out) {
  const int width = image.Width();
  const int height = image.Height();
  const uint8_t* pixels = image.Pixels();
  Compress(*compressor_, width, height, 4, JCS_EXT_BGRX, quality, out, [&](int y) {
    return const_cast<JSAMPROW>(pixels + static_cast<size_t>(height - 1 - y) * static_cast<size_t>(width) * 4);
  });
}
