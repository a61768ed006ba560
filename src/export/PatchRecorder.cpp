#include "export/PatchRecorder.h"

void PatchRecorder::WriteAt(int64_t position, const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  patches_.push_back(ClipPatch{position, std::vector<uint8_t>(bytes, bytes + size)});
}
