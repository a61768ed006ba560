#pragma once
// What the viewer proposes and writes for the moment on screen: the names it suggests
// in its save chooser, and the snapshot of a slot as its stored JPEG bytes (never
// encoded again), written under a temporary name and renamed, so that a failure leaves
// nothing behind.
#include <string>

class VideoArchive;

namespace snapshot {

// "YYYYMMDD_HHMMSS.avi" from the time of the range's first slot; "clip.avi" without one.
std::wstring ClipName(const VideoArchive& archive, int firstSlot);
// "YYYYMMDD_HHMMSS_FF.jpg", FF the frame within its second (00..27); "snapshot.jpg"
// without a time.
std::wstring PictureName(const VideoArchive& archive, int slot);

// Writes the stored JPEG stream of `slot` to `path`. Throws IOException with the text
// to show when the slot has no readable picture or the file cannot be written.
void WriteStoredPicture(VideoArchive& archive, int slot, const std::wstring& path);

}  // namespace snapshot
