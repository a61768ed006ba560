// Writes the seed archives of corpus/fuzz_archive with the recorder simulator: short
// recordings of small pictures (so that one input holds many blocks and decodes fast),
// each with another kind of damage the reader must survive. Built and run by
// fuzz/make-archive-seeds; the seeds are committed, so run it only to change them.
#include <cstdio>
#include <string>

#include "RecorderSimulator.h"
#include "foundation/Utf8.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_archive_seeds DIR\n", stderr);
    return 2;
  }
  const std::string dir = argv[1];
  // Blocks are 8 KiB whatever they carry: 300 ms of drive fit the fuzzer's input limit.
  auto write = [&dir](const char* name, recsim::RecordingDescription d) {
    d.durationMs = d.targetJpegBytes > 0 ? 150 : 300;
    d.mode = recsim::PictureMode::Fast;
    d.fastVariants = 3;
    d.width = d.targetJpegBytes > 0 ? 320 : 48;
    d.height = d.targetJpegBytes > 0 ? 240 : 32;
    d.soundBlockBytes = 1024;
    recsim::WriteRecording(d, FromUtf8(dir + "/" + name));
  };
  recsim::RecordingDescription d;
  d.switchPressesMs = {100};
  d.eventSpanMs = 200;
  d.soundOffsetMs = -150;
  write("sound-early-events", d);
  d = recsim::RecordingDescription();
  d.soundOffsetMs = 120;
  d.targetJpegBytes = 9000;  // two fragments a picture
  write("sound-late-fragments", d);
  d = recsim::RecordingDescription();
  d.faults.garbageAfterPicture = 3;
  d.faults.garbageBytes = 500;
  d.faults.olderTailPictures = 3;
  write("garbage-older-tail", d);
  d = recsim::RecordingDescription();
  d.faults.tickWrapAfterMs = 200;
  d.faults.collidePicture = 5;
  d.faults.collisionCount = 2;
  d.faults.invalidDateFirst = 2;
  d.faults.truncateLastBlockBytes = 3000;
  write("wrap-collision-dates-cut", d);
  return 0;
}
