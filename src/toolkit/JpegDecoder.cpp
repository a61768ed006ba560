// JPEG frames from memory through the libjpeg decompression interface.
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <memory>
#include <vector>

#include <jpeglib.h>

#include "foundation/Exception.h"
#include "toolkit/ImageDecoding.h"

namespace {

// The library's fatal errors unwind to DecodeJpegImage as ImageException; its warnings
// (corrupt data it recovered from) are not printed anywhere.
void ThrowOnError(j_common_ptr) { throw ImageException(); }
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

struct ScanLimitMonitor {
  jpeg_progress_mgr progress;  // first, so the library's pointer is ours
  int maxScans;
};

void CheckScanCount(j_common_ptr cinfo) {
  if (!cinfo->is_decompressor) return;
  auto* monitor = reinterpret_cast<ScanLimitMonitor*>(cinfo->progress);
  auto* dinfo = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (monitor->maxScans > 0 && dinfo->input_scan_number > monitor->maxScans) {
    throw ImageException();
  }
}

// Owns the decompressor so that every way out of DecodeJpegImage destroys it.
struct Decompressor {
  jpeg_decompress_struct cinfo;
  jpeg_error_mgr errors;
  jpeg_source_mgr source;
  ScanLimitMonitor monitor;
  bool created = false;

  ~Decompressor() {
    if (created) jpeg_destroy_decompress(&cinfo);
  }
};

std::unique_ptr<Image> Decode(Decompressor& d, const uint8_t* data, size_t size,
                              const ImageDecodingLimits& limits) {
  jpeg_decompress_struct& cinfo = d.cinfo;
  cinfo.err = jpeg_std_error(&d.errors);
  d.errors.error_exit = ThrowOnError;
  d.errors.output_message = IgnoreMessage;
  jpeg_create_decompress(&cinfo);
  d.created = true;

  d.source.next_input_byte = data;
  d.source.bytes_in_buffer = size;
  d.source.init_source = InitSource;
  d.source.fill_input_buffer = FillInputBuffer;
  d.source.skip_input_data = SkipInputData;
  d.source.resync_to_restart = jpeg_resync_to_restart;
  d.source.term_source = TermSource;
  cinfo.src = &d.source;

  if (limits.maxJpegScans > 0) {
    d.monitor.progress.progress_monitor = CheckScanCount;
    d.monitor.maxScans = limits.maxJpegScans;
    cinfo.progress = &d.monitor.progress;
  }

  jpeg_read_header(&cinfo, TRUE);

  // Refuse what the picture buffer cannot or should not hold before the library sets
  // up anything proportional to the picture.
  const int64_t width = cinfo.image_width;
  const int64_t height = cinfo.image_height;
  if (!Image::FitsSize(width, height) || width * height > limits.maxPixels) return nullptr;
  // Only colour (converted to RGB) and greyscale output are drawn; a four-component
  // file would never finish and gives no image.
  if (cinfo.out_color_space != JCS_RGB && cinfo.out_color_space != JCS_GRAYSCALE) {
    return nullptr;
  }

  jpeg_start_decompress(&cinfo);
  const int components = cinfo.output_components;
  if ((components != 3 && components != 1) || int64_t(cinfo.output_width) != width ||
      int64_t(cinfo.output_height) != height) {
    return nullptr;
  }

  const size_t rowBytes = size_t(width) * 4;
  std::unique_ptr<uint8_t[]> pixels = Image::AllocatePixels(rowBytes * size_t(height));
  std::vector<JSAMPLE> line((size_t(width) * components + 3) / 4 * 4 + 4);

  // The first scan line lands in the last buffer row: the buffer is bottom-up.
  while (cinfo.output_scanline < cinfo.output_height) {
    uint8_t* out = pixels.get() + rowBytes * (size_t(height) - 1 - cinfo.output_scanline);
    JSAMPROW row = line.data();
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return nullptr;
    const JSAMPLE* in = line.data();
    if (components == 3) {
      for (int64_t x = 0; x < width; ++x, in += 3, out += 4) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
        out[3] = 0;
      }
    } else {
      for (int64_t x = 0; x < width; ++x, ++in, out += 4) {
        out[0] = out[1] = out[2] = *in;
        out[3] = 0;
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  return std::make_unique<Image>(int32_t(width), int32_t(height), std::move(pixels));
}

}  // namespace

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size,
                                       const ImageDecodingLimits& limits) {
  if (data == nullptr || size == 0) return nullptr;
  Decompressor decompressor{};
  try {
    return Decode(decompressor, data, size, limits);
  } catch (const ImageException&) {
    return nullptr;
  }
}

std::unique_ptr<Image> DecodeJpegImage(const uint8_t* data, size_t size) {
  return DecodeJpegImage(data, size, ImageDecodingLimits());
}
