// JPEG frames from memory through the libjpeg decompression interface.
//
// libjpeg is C, so nothing may unwind through its frames. Its fatal errors, the scan
// limit and the stop question all leave through longjmp, back to the setjmp of
// CreateSession, StartDecompressing or ReadLines. The frames a jump skips (the
// library's and the callbacks') and those functions hold only C data; the C++ objects
// (the picture buffer, the guard that returns the decompressor to idle) live in
// JpegDecoder::Decode, above every jump.
#include "toolkit/JpegDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <functional>
#include <memory>

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

// Rows handed to the library at once: a row group of the usual 2x2 subsampling. The
// library never returns more than one row group from a call.
constexpr JDIMENSION kRowBatch = 16;

}  // namespace

// Everything the library and the jumping code touch: plain C data.
struct JpegSession {
  jpeg_decompress_struct cinfo;
  JumpingErrors errors;
  jpeg_source_mgr source;
  ProgressWatch watch;
  JSAMPROW rows[kRowBatch];
  bool created;
};

namespace {

// Creates the decompressor (its permanent memory is the only allocation it makes). False
// when the library could not; the session is then as if never created.
bool CreateSession(JpegSession& s) {
  s.cinfo.err = jpeg_std_error(&s.errors.manager);
  s.errors.manager.error_exit = JumpOut;
  s.errors.manager.output_message = IgnoreMessage;
  if (setjmp(s.errors.jump)) return false;
  jpeg_create_decompress(&s.cinfo);
  s.source.init_source = InitSource;
  s.source.fill_input_buffer = FillInputBuffer;
  s.source.skip_input_data = SkipInputData;
  s.source.resync_to_restart = jpeg_resync_to_restart;
  s.source.term_source = TermSource;
  s.cinfo.src = &s.source;
  s.watch.manager.progress_monitor = WatchProgress;
  s.cinfo.progress = &s.watch.manager;
  return true;
}

// Reads the header and starts decompressing (which reads every scan of a progressive
// file) into 32-bit BGRX rows. False for a picture that is refused or broken.
bool StartDecompressing(JpegSession& s, const uint8_t* data, size_t size, const ImageDecodingLimits& limits) {
  if (setjmp(s.errors.jump)) return false;
  s.source.next_input_byte = data;
  s.source.bytes_in_buffer = size;
  s.watch.maxScans = limits.maxJpegScans;
  s.watch.stop = &limits.stop;

  jpeg_read_header(&s.cinfo, TRUE);
  // Refuse what the picture buffer cannot or should not hold before the library sets
  // up anything proportional to the picture.
  const int64_t width = s.cinfo.image_width;
  const int64_t height = s.cinfo.image_height;
  if (!Image::FitsSize(width, height) || width * height > limits.maxPixels) return false;
  // Only colour and greyscale pictures are drawn; a four-component file gives no image.
  if (s.cinfo.out_color_space != JCS_RGB && s.cinfo.out_color_space != JCS_GRAYSCALE) return false;
  // The library writes the Image layout itself: blue, green, red and a fourth byte of
  // 0xFF (opaque), grey spread over the three colour bytes.
  s.cinfo.out_color_space = JCS_EXT_BGRX;

  jpeg_start_decompress(&s.cinfo);
  return s.cinfo.output_components == 4 && s.cinfo.output_width == s.cinfo.image_width &&
         s.cinfo.output_height == s.cinfo.image_height;
}

// Decodes every scan line into its row of the bottom-up buffer (the first line lands in
// the last row) and finishes decompressing. False when the library fails or the decode
// is stopped.
bool ReadLines(JpegSession& s, uint8_t* pixels) {
  if (setjmp(s.errors.jump)) return false;
  jpeg_decompress_struct& cinfo = s.cinfo;
  const size_t rowBytes = size_t(cinfo.output_width) * 4;
  uint8_t* const topRow = pixels + rowBytes * (cinfo.output_height - 1);
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION first = cinfo.output_scanline;
    const JDIMENSION count = std::min(kRowBatch, cinfo.output_height - first);
    for (JDIMENSION i = 0; i < count; ++i) s.rows[i] = topRow - rowBytes * (first + i);
    // Our source never suspends, so every call delivers at least one line and the loop
    // moves on.
    if (jpeg_read_scanlines(&cinfo, s.rows, count) == 0) return false;
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

// Returns the decompressor to its idle state on every way out of a decode, an
// allocation failure included; after a finished picture this costs nothing.
class AbortOnExit {
 public:
  explicit AbortOnExit(jpeg_decompress_struct& cinfo) : cinfo_(cinfo) {}
  ~AbortOnExit() { jpeg_abort_decompress(&cinfo_); }
  AbortOnExit(const AbortOnExit&) = delete;
  AbortOnExit& operator=(const AbortOnExit&) = delete;

 private:
  jpeg_decompress_struct& cinfo_;
};

}  // namespace

JpegDecoder::JpegDecoder() : session_(std::make_unique<JpegSession>()) {}

// Destroying a decompressor that was never created is a no-op for the library.
JpegDecoder::~JpegDecoder() { jpeg_destroy_decompress(&session_->cinfo); }

std::unique_ptr<Image> JpegDecoder::Decode(const uint8_t* data, size_t size,
                                           const ImageDecodingLimits& limits) {
  if (data == nullptr || size == 0 || StopAsked(limits.stop)) return nullptr;
  JpegSession& s = *session_;
  if (!s.created) {
    s.created = CreateSession(s);
    if (!s.created) {
      jpeg_destroy_decompress(&s.cinfo);
      *session_ = JpegSession{};
      return nullptr;
    }
    ++created_;
  }
  const AbortOnExit idle(s.cinfo);
  if (!StartDecompressing(s, data, size, limits)) return nullptr;
  const size_t width = s.cinfo.output_width;
  const size_t height = s.cinfo.output_height;
  std::unique_ptr<uint8_t[]> pixels = Image::AllocatePixels(width * 4 * height);
  if (!ReadLines(s, pixels.get())) return nullptr;
  return std::make_unique<Image>(int32_t(width), int32_t(height), std::move(pixels));
}

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size,
                                       const ImageDecodingLimits& limits) {
  return JpegDecoder().Decode(data, size, limits);
}

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size) {
  return DecodeJpegImage(data, size, ImageDecodingLimits());
}
