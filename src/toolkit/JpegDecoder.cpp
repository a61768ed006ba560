// JPEG frames from memory through the libjpeg decompression interface.
//
// libjpeg is C, so nothing may unwind through its frames. Its fatal errors, the scan
// limit and the stop question all leave through longjmp, back to the setjmp of
// StartDecompressing or ReadLines. The frames a jump skips (the library's and the
// callbacks') and those two functions hold only C data; the C++ objects (the picture
// buffer, the scan line, the decompressor's owner) live in DecodeJpegImage, above
// every jump.
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "toolkit/ImageDecoding.h"

namespace {

struct JumpingErrors {
  jpeg_error_mgr manager;  // first, so the library's pointer is ours
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<JumpingErrors*>(cinfo->err)->jump, 1);
}

// Warnings (corrupt data the library recovered from) are not printed anywhere.
void IgnoreMessage(j_common_ptr) {}

// Memory source: every byte is available from the start. When the library asks for
// more, the data is exhausted: it gets an end-of-image marker, so truncated data ends
// the picture early instead of failing.
const JOCTET kEndOfImage[2] = {0xFF, 0xD9};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  cinfo->src->next_input_byte = kEndOfImage;
  cinfo->src->bytes_in_buffer = sizeof kEndOfImage;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* src = cinfo->src;
  if (static_cast<unsigned long>(count) > src->bytes_in_buffer) {
    // A skip past the end reaches the end; the next read supplies the end marker.
    src->next_input_byte += src->bytes_in_buffer;
    src->bytes_in_buffer = 0;
    return;
  }
  src->next_input_byte += count;
  src->bytes_in_buffer -= static_cast<size_t>(count);
}

struct ProgressWatch {
  jpeg_progress_mgr manager;  // first, so the library's pointer is ours
  int maxScans;
  const std::function<bool()>* stop;
};

// Whether the caller wants the decode to end. A question that throws counts as yes:
// its exception must not travel on into the library's frames.
bool StopAsked(const std::function<bool()>& stop) noexcept {
  if (!stop) return false;
  try {
    return stop();
  } catch (...) {
    return true;
  }
}

// The library calls this before every row group it decodes, so a crafted file with
// thousands of scans, or a cancel, ends the decode within one row group of work.
void WatchProgress(j_common_ptr cinfo) {
  const auto* watch = reinterpret_cast<const ProgressWatch*>(cinfo->progress);
  const int scan = cinfo->is_decompressor ? reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number : 0;
  if ((watch->maxScans > 0 && scan > watch->maxScans) || StopAsked(*watch->stop)) JumpOut(cinfo);
}

// Everything the library and the jumping code touch: plain C data.
struct Session {
  jpeg_decompress_struct cinfo;
  JumpingErrors errors;
  jpeg_source_mgr source;
  ProgressWatch watch;
};

// Destroys the decompressor on every way out of DecodeJpegImage, an allocation failure
// included. Destroying one that was never created (or whose creation failed) is a no-op.
struct SessionOwner {
  Session session{};
  SessionOwner() = default;
  SessionOwner(const SessionOwner&) = delete;
  SessionOwner& operator=(const SessionOwner&) = delete;
  ~SessionOwner() { jpeg_destroy_decompress(&session.cinfo); }
};

void AttachSource(Session& s, const uint8_t* data, size_t size) {
  s.source.next_input_byte = data;
  s.source.bytes_in_buffer = size;
  s.source.init_source = InitSource;
  s.source.fill_input_buffer = FillInputBuffer;
  s.source.skip_input_data = SkipInputData;
  s.source.resync_to_restart = jpeg_resync_to_restart;
  s.source.term_source = TermSource;
  s.cinfo.src = &s.source;
}

// Creates the decompressor, reads the header and starts decompressing (which reads
// every scan of a progressive file). False for a picture that is refused or broken.
bool StartDecompressing(Session& s, const uint8_t* data, size_t size, const ImageDecodingLimits& limits) {
  s.cinfo.err = jpeg_std_error(&s.errors.manager);
  s.errors.manager.error_exit = JumpOut;
  s.errors.manager.output_message = IgnoreMessage;
  if (setjmp(s.errors.jump)) return false;

  jpeg_create_decompress(&s.cinfo);
  AttachSource(s, data, size);
  s.watch.manager.progress_monitor = WatchProgress;
  s.watch.maxScans = limits.maxJpegScans;
  s.watch.stop = &limits.stop;
  s.cinfo.progress = &s.watch.manager;

  jpeg_read_header(&s.cinfo, TRUE);
  // Refuse what the picture buffer cannot or should not hold before the library sets
  // up anything proportional to the picture.
  const int64_t width = s.cinfo.image_width;
  const int64_t height = s.cinfo.image_height;
  if (!Image::FitsSize(width, height) || width * height > limits.maxPixels) return false;
  // Only colour (converted to RGB) and greyscale output are drawn; a four-component
  // file gives no image.
  if (s.cinfo.out_color_space != JCS_RGB && s.cinfo.out_color_space != JCS_GRAYSCALE) return false;

  jpeg_start_decompress(&s.cinfo);
  const int components = s.cinfo.output_components;
  return (components == 3 || components == 1) && s.cinfo.output_width == s.cinfo.image_width &&
         s.cinfo.output_height == s.cinfo.image_height;
}

void ConvertRow(const JSAMPLE* in, uint8_t* out, JDIMENSION width, int components) {
  if (components == 3) {
    for (JDIMENSION x = 0; x < width; ++x, in += 3, out += 4) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
      out[3] = 0;
    }
  } else {
    for (JDIMENSION x = 0; x < width; ++x, ++in, out += 4) {
      out[0] = out[1] = out[2] = *in;
      out[3] = 0;
    }
  }
}

// Reads every scan line into the bottom-up buffer (the first line lands in the last
// row) and finishes decompressing. False when the library fails or the decode is
// stopped.
bool ReadLines(Session& s, uint8_t* pixels, JSAMPLE* line) {
  if (setjmp(s.errors.jump)) return false;
  jpeg_decompress_struct& cinfo = s.cinfo;
  const size_t rowBytes = size_t(cinfo.output_width) * 4;
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* out = pixels + rowBytes * (cinfo.output_height - 1 - cinfo.output_scanline);
    JSAMPROW row = line;
    // Our source never suspends, so every call delivers a line and the loop moves on.
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
    ConvertRow(line, out, cinfo.output_width, cinfo.output_components);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size,
                                       const ImageDecodingLimits& limits) {
  if (data == nullptr || size == 0 || StopAsked(limits.stop)) return nullptr;
  SessionOwner owner;
  Session& s = owner.session;
  if (!StartDecompressing(s, data, size, limits)) return nullptr;

  const size_t width = s.cinfo.output_width;
  const size_t height = s.cinfo.output_height;
  std::unique_ptr<uint8_t[]> pixels = Image::AllocatePixels(width * 4 * height);
  std::vector<JSAMPLE> line((width * size_t(s.cinfo.output_components) + 3) / 4 * 4 + 4);
  if (!ReadLines(s, pixels.get(), line.data())) return nullptr;
  return std::make_unique<Image>(int32_t(width), int32_t(height), std::move(pixels));
}

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size) {
  return DecodeJpegImage(data, size, ImageDecodingLimits());
}
