#include "export/Snapshot.h"

#include <cstdio>
#include <exception>
#include <vector>

#include "export/ClipFile.h"
#include "export/ClipOverlay.h"
#include "export/ClipTimes.h"
#include "export/ExportFailure.h"
#include "export/PendingFiles.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"
#include "recording/VideoArchive.h"
#include "toolkit/PngEncoder.h"

namespace snapshot {

namespace {

std::string TimeOf(const VideoArchive& archive, int slot) {
  const FrameEntry* entry = archive.Entry(slot);
  return entry ? cliptimes::CompactText(entry->time) : std::string();
}

}  // namespace

std::wstring ClipName(const VideoArchive& archive, int firstSlot) {
  const std::string time = TimeOf(archive, firstSlot);
  return FromUtf8((time.empty() ? std::string("clip") : time) + ".avi");
}

std::wstring PictureName(const VideoArchive& archive, int slot) {
  const std::string time = TimeOf(archive, slot);
  if (time.empty()) return L"snapshot.jpg";
  char frame[8];
  std::snprintf(frame, sizeof frame, "_%02d", cliptimes::FrameWithinSecond(archive, slot));
  return FromUtf8(time + frame + ".jpg");
}

std::wstring ShownPictureName(const VideoArchive& archive, int slot) {
  std::wstring name = PictureName(archive, slot);
  return name.replace(name.size() - 3, 3, L"png");
}

std::vector<uint8_t> BandedPng(Image& shown, const VideoArchive& archive, int slot) {
  const FrameEntry* entry = archive.Entry(slot);
  clipoverlay::Burn(shown, clipoverlay::BandText(entry ? *entry : FrameEntry(), slot,
                                                 cliptimes::FrameWithinSecond(archive, slot)));
  try {
    return EncodePngImage(shown);
  } catch (const std::exception&) {
    ThrowExportFailure(kTextSnapshotEncodeFailed);
  }
}

void WritePicture(const std::vector<uint8_t>& bytes, const std::wstring& path) {
  PendingFiles files({path});
  ClipFile file(files.Partial(0));
  file.Write(bytes.data(), bytes.size());
  file.Close();
  files.Keep();
}

void WriteStoredPicture(VideoArchive& archive, int slot, const std::wstring& path) {
  std::vector<uint8_t> jpeg;
  if (!archive.ReadFrameJpeg(slot, jpeg)) ThrowExportFailure(kTextExportNoPicture);
  WritePicture(jpeg, path);
}

}  // namespace snapshot
