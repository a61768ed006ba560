#pragma once
// What an export tells the one who waits for it, and how it is stopped: after every
// frame (and every few megabytes of hashing) it reports and asks whether to go on. Called
// on the exporting thread.
class IClipProgress {
 public:
  virtual ~IClipProgress() = default;
  // `done` of `total` frames are written; false stops the export (nothing is kept).
  virtual bool Continue(int done, int total) = 0;
};
