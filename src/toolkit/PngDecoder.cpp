// PNG pictures from memory through the libpng reading interface.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>

#include <png.h>

#include "toolkit/ImageDecoding.h"

namespace {

constexpr png_alloc_size_t kMaxChunkBytes = 1 << 20;

// The bytes still to be read. A read past the end is a decoding failure: the callback
// has no way to return short, so it raises the library's error.
struct Cursor {
  const uint8_t* next;
  const uint8_t* end;
};

void ReadFromCursor(png_structp png, png_bytep out, png_size_t count) {
  auto* cursor = static_cast<Cursor*>(png_get_io_ptr(png));
  if (count > size_t(cursor->end - cursor->next)) png_error(png, "read past the end");
  std::memcpy(out, cursor->next, count);
  cursor->next += count;
}

// Library errors jump back to ReadPicture's setjmp; nothing is printed.
void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Owns the read and info structures so that every way out destroys them.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReader() {
    if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
  }
};

struct Picture {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  std::unique_ptr<uint8_t[]> pixels;
  std::unique_ptr<png_bytep[]> rows;
};

// Everything between setjmp and a possible longjmp lives in the caller's frame (the
// reader and the picture) or is a plain value, so the jump skips no destructor.
bool ReadPicture(PngReader& reader, Picture& picture, const ImageDecodingLimits& limits) {
  png_structp png = reader.png;
  png_infop info = reader.info;
  if (setjmp(png_jmpbuf(png))) return false;

  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  if (!Image::FitsSize(width, height) || int64_t(width) * height > limits.maxPixels) {
    return false;
  }

  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_expand(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand(png);
  if (bitDepth > 8) png_set_strip_16(png);
  // Grey with alpha needs the conversion as much as plain grey does, or its rows would
  // come out two bytes a pixel.
  if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
  if ((colorType & PNG_COLOR_MASK_ALPHA) == 0) png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // Every supported combination gives 4 bytes a pixel; anything else would not fit the
  // rows handed to the library.
  if (png_get_rowbytes(png, info) != size_t(width) * 4) return false;

  const size_t rowBytes = size_t(width) * 4;
  picture.pixels.reset(new uint8_t[rowBytes * height + (rowBytes == 0)]);
  picture.rows.reset(new png_bytep[height + (height == 0)]);
  // The file's top row lands in the last buffer row: the buffer is bottom-up.
  for (png_uint_32 r = 0; r < height; ++r) {
    picture.rows[r] = picture.pixels.get() + rowBytes * (height - 1 - r);
  }
  png_read_image(png, picture.rows.get());
  picture.width = width;
  picture.height = height;
  return true;
}

}  // namespace

std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size,
                                      const ImageDecodingLimits& limits) {
  if (data == nullptr || size == 0) return nullptr;
  if (png_sig_cmp(const_cast<png_bytep>(data), 0, std::min<size_t>(size, 8)) != 0) {
    return nullptr;
  }
  PngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (!reader.png) return nullptr;
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) return nullptr;
  // Only the header, the palette, the transparency chunk and the image data matter
  // here. Every other chunk is skipped unread instead of being buffered and parsed, and
  // no chunk may demand more than a modest buffer: a 57-byte file declaring a
  // gigabyte-long text chunk must not cost seconds and a gigabyte.
  png_set_keep_unknown_chunks(reader.png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(reader.png, kMaxChunkBytes);
  Cursor cursor{data, data + size};
  png_set_read_fn(reader.png, &cursor, ReadFromCursor);

  Picture picture;
  if (!ReadPicture(reader, picture, limits)) return nullptr;
  picture.rows.reset();
  return std::make_unique<Image>(int32_t(picture.width), int32_t(picture.height),
                                 std::move(picture.pixels));
}

std::unique_ptr<Image> DecodePngImage(const uint8_t* data, size_t size) {
  return DecodePngImage(data, size, ImageDecodingLimits());
}
