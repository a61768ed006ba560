// PNG pictures into memory through the libpng writing interface.
#include "toolkit/PngEncoder.h"

#include <csetjmp>
#include <memory>
#include <stdexcept>

#include <png.h>

#include "toolkit/Image.h"

namespace {

// No exception may unwind through the library's C frames: a failed append becomes the
// library's own error, raised once the handler is left.
void AppendToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bool appended = true;
  try {
    out->insert(out->end(), data, data + count);
  } catch (...) {
    appended = false;
  }
  if (!appended) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

// Library errors jump back to WritePicture's setjmp; nothing is printed.
void JumpOnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void IgnoreWarning(png_structp, png_const_charp) {}

// Owns the write and info structures so that every way out destroys them.
struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriter() {
    if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
  }
};

// The picture's rows top-down as the library wants them, each pointing into the
// bottom-up buffer. On writing, png_set_filler drops the fourth byte of every pixel and
// png_set_bgr reads the colours in the buffer's order.
std::unique_ptr<png_bytep[]> TopDownRows(const Image& image) {
  const size_t rowBytes = size_t(image.Width()) * 4;
  auto rows = std::make_unique<png_bytep[]>(size_t(image.Height()));
  // libpng takes row pointers as non-const; with these settings it only reads them.
  auto* pixels = const_cast<uint8_t*>(image.Pixels());
  for (int32_t r = 0; r < image.Height(); ++r) rows[size_t(r)] = pixels + rowBytes * size_t(image.Height() - 1 - r);
  return rows;
}

// Everything between setjmp and a possible longjmp lives in the caller's frame or is a
// plain value, so the jump skips no destructor.
bool WritePicture(PngWriter& writer, const Image& image, png_bytep* rows) {
  png_structp png = writer.png;
  png_infop info = writer.info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, png_uint_32(image.Width()), png_uint_32(image.Height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::vector<uint8_t> EncodePngImage(const Image& image) {
  if (image.Width() <= 0 || image.Height() <= 0) throw std::runtime_error("png: a picture without pixels");
  PngWriter writer;
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpOnError, IgnoreWarning);
  if (!writer.png) throw std::runtime_error("png: no writer");
  writer.info = png_create_info_struct(writer.png);
  if (!writer.info) throw std::runtime_error("png: no writer");
  std::vector<uint8_t> out;
  png_set_write_fn(writer.png, &out, AppendToVector, FlushNothing);
  const std::unique_ptr<png_bytep[]> rows = TopDownRows(image);
  if (!WritePicture(writer, image, rows.get())) throw std::runtime_error("png: the encoder failed");
  return out;
}
