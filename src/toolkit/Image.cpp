#include "toolkit/Image.h"

#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

bool Image::FitsSize(int64_t width, int64_t height) {
  if (width < 0 || height < 0) return false;
  if (width == 0 || height == 0) return true;
  // Both sides are below 2^31 here, so the product cannot overflow 64 bits.
  if (width > INT32_MAX || height > INT32_MAX) return false;
  return width * height <= kMaxByteSize / 4;
}

namespace {
int32_t CheckedByteSize(int32_t width, int32_t height) {
  if (!Image::FitsSize(width, height)) throw std::length_error("picture too large");
  return width * height * 4;
}
}  // namespace

namespace {

// Buffers of deleted pictures kept for reuse: only large ones (small blocks are cheap
// for the heap), only a few (a player has at most three pictures of one size alive:
// the one shown, its brightened copy and the one being decoded), exact sizes only, and
// none above a recorder frame of up to 1280 x 960. That keeps the reuse for every
// frame a player shows while the pool never holds more than about 19 MB: the buffer
// of a one-off large picture goes back to the system instead of staying for good.
class PixelBufferPool {
 public:
  static constexpr size_t kMinBytes = size_t(256) << 10;
  static constexpr size_t kMaxBytes = size_t(1280) * 960 * 4;
  static constexpr size_t kMaxKept = 4;

  static PixelBufferPool& Instance() {
    static PixelBufferPool* pool = new PixelBufferPool();  // outlives every static Image
    return *pool;
  }
  std::unique_ptr<uint8_t[]> take(size_t bytes) {
    if (bytes >= kMinBytes) {
      std::lock_guard<std::mutex> hold(mutex_);
      for (size_t i = 0; i < kept_.size(); ++i) {
        if (kept_[i].first != bytes) continue;
        std::unique_ptr<uint8_t[]> buffer = std::move(kept_[i].second);
        kept_.erase(kept_.begin() + static_cast<std::ptrdiff_t>(i));
        return buffer;
      }
    }
    return std::unique_ptr<uint8_t[]>(new uint8_t[bytes > 0 ? bytes : 1]);
  }
  void give(std::unique_ptr<uint8_t[]> buffer, size_t bytes) {
    if (!buffer || bytes < kMinBytes || bytes > kMaxBytes) return;
    std::lock_guard<std::mutex> hold(mutex_);
    if (kept_.size() >= kMaxKept) kept_.erase(kept_.begin());  // the oldest goes
    kept_.emplace_back(bytes, std::move(buffer));
  }
  Image::PoolUsage usage() {
    std::lock_guard<std::mutex> hold(mutex_);
    Image::PoolUsage held{kept_.size(), 0};
    for (const auto& k : kept_) held.bytes += k.first;
    return held;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<size_t, std::unique_ptr<uint8_t[]>>> kept_;
};

}  // namespace

std::unique_ptr<uint8_t[]> Image::AllocatePixels(size_t bytes) {
  return PixelBufferPool::Instance().take(bytes);
}

Image::PoolUsage Image::PooledPixels() { return PixelBufferPool::Instance().usage(); }

Image::Image(int32_t width, int32_t height)
    : width(width), height(height), byteSize(CheckedByteSize(width, height)) {
  pixels = AllocatePixels(size_t(byteSize));
  std::memset(pixels.get(), 0, size_t(byteSize > 0 ? byteSize : 1));
}

Image::Image(int32_t width, int32_t height, std::unique_ptr<uint8_t[]> pixels)
    : width(width), height(height), pixels(std::move(pixels)),
      byteSize(CheckedByteSize(width, height)) {
  if (!this->pixels) this->pixels.reset(new uint8_t[byteSize > 0 ? byteSize : 1]());
}

Image::~Image() { PixelBufferPool::Instance().give(std::move(pixels), size_t(byteSize)); }

std::unique_ptr<Image> Image::Clone() const {
  std::unique_ptr<uint8_t[]> copy = AllocatePixels(size_t(byteSize));
  if (byteSize > 0) std::memcpy(copy.get(), pixels.get(), size_t(byteSize));
  return std::make_unique<Image>(width, height, std::move(copy));
}
