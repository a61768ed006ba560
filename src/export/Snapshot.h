#pragma once
// What the viewer proposes and writes for the moment on screen: the names it suggests
// in its save chooser, and the snapshot of a slot as its stored JPEG bytes (never
// encoded again), written under a temporary name and renamed, so that a failure leaves
// nothing behind.
#include <cstdint>
#include <string>
#include <vector>

class Image;
class VideoArchive;

namespace snapshot {

// "YYYYMMDD_HHMMSS.avi" from the time of the range's first slot; "clip.avi" without one.
std::wstring ClipName(const VideoArchive& archive, int firstSlot);
// "YYYYMMDD_HHMMSS_FF.jpg", FF the frame within its second (00..27); "snapshot.jpg"
// without a time.
std::wstring PictureName(const VideoArchive& archive, int slot);

// The same name ending in ".png", for the picture as shown.
std::wstring ShownPictureName(const VideoArchive& archive, int slot);

// The picture as shown (`shown`, changed in place) with the clips' time band of `slot`
// burned in, as a PNG stream. Throws IOException with the text to show when it cannot
// be encoded.
std::vector<uint8_t> BandedPng(Image& shown, const VideoArchive& archive, int slot);

// Writes `bytes` (a picture's whole file) to `path` under the temporary name first.
// Throws IOException with the text to show when the file cannot be written.
void WritePicture(const std::vector<uint8_t>& bytes, const std::wstring& path);

// Writes the stored JPEG stream of `slot` to `path`. Throws IOException with the text
// to show when the slot has no readable picture or the file cannot be written.
void WriteStoredPicture(VideoArchive& archive, int slot, const std::wstring& path);

}  // namespace snapshot
