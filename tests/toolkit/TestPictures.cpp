#include "TestPictures.h"

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

namespace testpictures {

namespace {

struct VectorDestination {
  jpeg_destination_mgr manager;  // first: the library sees only this
  std::vector<uint8_t>* out;
  JOCTET buffer[4096];
};

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->manager.next_output_byte = d->buffer;
  d->manager.free_in_buffer = sizeof d->buffer;
}

boolean EmptyBuffer(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->out->insert(d->out->end(), d->buffer, d->buffer + sizeof d->buffer);
  d->manager.next_output_byte = d->buffer;
  d->manager.free_in_buffer = sizeof d->buffer;
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<VectorDestination*>(cinfo->dest);
  d->out->insert(d->out->end(), d->buffer, d->buffer + (sizeof d->buffer - d->manager.free_in_buffer));
}

void ThrowJpegError(j_common_ptr) { throw std::runtime_error("jpeg encoder failed"); }

}  // namespace

std::vector<uint8_t> EncodeJpeg(int width, int height, const std::function<Rgb(int, int)>& rgbAt,
                                const JpegOptions& options) {
  std::vector<uint8_t> out;
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  cinfo.err = jpeg_std_error(&errors);
  errors.error_exit = ThrowJpegError;
  jpeg_create_compress(&cinfo);
  VectorDestination dest{};
  dest.out = &out;
  dest.manager.init_destination = InitDestination;
  dest.manager.empty_output_buffer = EmptyBuffer;
  dest.manager.term_destination = TermDestination;
  cinfo.dest = &dest.manager;
  cinfo.image_width = JDIMENSION(width);
  cinfo.image_height = JDIMENSION(height);
  cinfo.input_components = options.components;
  cinfo.in_color_space = options.components == 3   ? JCS_RGB
                         : options.components == 1 ? JCS_GRAYSCALE
                                                    : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, options.quality, TRUE);
  if (options.progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> line(size_t(width) * options.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = int(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      Rgb c = rgbAt(x, y);
      JSAMPLE* p = &line[size_t(x) * options.components];
      if (options.components == 3) {
        p[0] = c.r, p[1] = c.g, p[2] = c.b;
      } else {
        for (int k = 0; k < options.components; ++k) p[k] = c.r;
      }
    }
    JSAMPROW row = line.data();
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return out;
}

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}
void FlushNothing(png_structp) {}

int Channels(int colorType) {
  switch (colorType) {
    case 0: case 3: return 1;
    case 2: return 3;
    case 4: return 2;
    default: return 4;
  }
}

// Packs one row of samples into the file's row layout (big-endian, bits from the top).
std::vector<uint8_t> PackRow(const uint16_t* samples, size_t count, int bitDepth) {
  std::vector<uint8_t> row((count * bitDepth + 7) / 8);
  for (size_t i = 0; i < count; ++i) {
    const uint16_t v = samples[i];
    if (bitDepth == 16) {
      row[2 * i] = uint8_t(v >> 8);
      row[2 * i + 1] = uint8_t(v);
    } else if (bitDepth == 8) {
      row[i] = uint8_t(v);
    } else {
      const size_t bit = i * bitDepth;
      row[bit / 8] |= uint8_t(v << (8 - bitDepth - bit % 8));
    }
  }
  return row;
}

bool WritePng(png_structp png, png_infop info, int width, int height,
              const std::vector<uint16_t>& samples, const PngOptions& o) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), o.bitDepth, o.colorType,
               o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!o.palette.empty()) {
    std::vector<png_color> colors;
    for (const Rgb& c : o.palette) colors.push_back(png_color{c.r, c.g, c.b});
    png_set_PLTE(png, info, colors.data(), int(colors.size()));
  }
  if (!o.paletteAlpha.empty()) {
    png_set_tRNS(png, info, o.paletteAlpha.data(), int(o.paletteAlpha.size()), nullptr);
  } else if (!o.transparent.empty()) {
    png_color_16 t{};
    if (o.transparent.size() == 1) {
      t.gray = o.transparent[0];
    } else {
      t.red = o.transparent[0], t.green = o.transparent[1], t.blue = o.transparent[2];
    }
    png_set_tRNS(png, info, nullptr, 0, &t);
  }
  png_write_info(png, info);
  const size_t perRow = size_t(width) * Channels(o.colorType);
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_bytep> pointers;
  for (int y = 0; y < height; ++y) rows.push_back(PackRow(&samples[perRow * y], perRow, o.bitDepth));
  for (auto& r : rows) pointers.push_back(r.data());
  png_write_image(png, pointers.data());
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint16_t>& samples,
                               const PngOptions& options) {
  if (samples.size() != size_t(width) * height * Channels(options.colorType)) {
    throw std::invalid_argument("sample count does not match the picture");
  }
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendToVector, FlushNothing);
  const bool ok = WritePng(png, info, width, height, samples, options);
  png_destroy_write_struct(&png, &info);
  if (!ok) throw std::runtime_error("png encoder failed");
  return out;
}

void FixPngChunkCrc(std::vector<uint8_t>& png, size_t chunkStart) {
  const uint32_t length = uint32_t(png[chunkStart]) << 24 | uint32_t(png[chunkStart + 1]) << 16 |
                          uint32_t(png[chunkStart + 2]) << 8 | png[chunkStart + 3];
  const size_t crcAt = chunkStart + 8 + length;
  const uLong crc = crc32(0, &png[chunkStart + 4], uInt(length + 4));
  png[crcAt] = uint8_t(crc >> 24);
  png[crcAt + 1] = uint8_t(crc >> 16);
  png[crcAt + 2] = uint8_t(crc >> 8);
  png[crcAt + 3] = uint8_t(crc);
}

size_t FindJpegFrameHeader(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC1 || jpeg[i + 1] == 0xC2)) {
      return i;
    }
  }
  return 0;
}

std::vector<size_t> FindJpegScans(const std::vector<uint8_t>& jpeg) {
  std::vector<size_t> scans;
  size_t i = 2;
  while (i + 4 <= jpeg.size()) {
    const uint8_t marker = jpeg[i + 1];
    // Entropy-coded data, a stuffed 0xFF, fill bytes and restart markers: step on.
    if (jpeg[i] != 0xFF || marker == 0x00 || marker == 0xFF || (marker >= 0xD0 && marker <= 0xD7)) {
      ++i;
      continue;
    }
    if (marker == 0xD9) break;
    if (marker == 0xDA) scans.push_back(i);
    i += 2 + (size_t(jpeg[i + 2]) << 8 | jpeg[i + 3]);  // the length counts itself
  }
  return scans;
}

std::vector<uint8_t> WithScanCount(const std::vector<uint8_t>& jpeg, size_t scans) {
  const std::vector<size_t> found = FindJpegScans(jpeg);
  if (found.empty() || found.size() > scans || jpeg.size() < 2 || jpeg[jpeg.size() - 2] != 0xFF ||
      jpeg.back() != 0xD9) {
    throw std::invalid_argument("not a picture whose scans can be repeated to that count");
  }
  const std::vector<uint8_t> lastScan(jpeg.begin() + std::ptrdiff_t(found.back()), jpeg.end() - 2);
  std::vector<uint8_t> out(jpeg.begin(), jpeg.end() - 2);
  for (size_t n = found.size(); n < scans; ++n) out.insert(out.end(), lastScan.begin(), lastScan.end());
  out.push_back(0xFF);
  out.push_back(0xD9);
  return out;
}

}  // namespace testpictures
