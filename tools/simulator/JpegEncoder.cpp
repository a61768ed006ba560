#include "JpegEncoder.h"

#include <csetjmp>
#include <cstdio>
#include <stdexcept>
#include <string>

extern "C" {
#include <jpeglib.h>
}

namespace recsim {
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

std::vector<uint8_t> JpegEncoder::Encode(const uint8_t* rgb, int width, int height, int quality) {
  std::vector<uint8_t> out;
  jpeg_compress_struct cinfo{};
  ErrorManager err{};
  VectorDestination dest{};
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = ErrorExit;
  err.base.output_message = OutputMessage;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    throw std::runtime_error(std::string("JPEG encoding failed: ") + err.message);
  }
  jpeg_create_compress(&cinfo);
  dest.base.init_destination = InitDestination;
  dest.base.empty_output_buffer = EmptyOutputBuffer;
  dest.base.term_destination = TermDestination;
  dest.out = &out;
  cinfo.dest = &dest.base;
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality < 1 ? 1 : (quality > 100 ? 100 : quality), TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<size_t>(cinfo.next_scanline) * width * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return out;
}

}  // namespace recsim
