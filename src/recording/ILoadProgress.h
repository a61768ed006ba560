#pragma once
// What a loading archive reports to the window that waits for it: the percentage done,
// a sound track that could not be kept, and the moments when the interface may handle
// its waiting messages so that it stays alive during a long load. The reader itself
// shows nothing and dispatches nothing; the video player implements this.

class ILoadProgress {
 public:
  virtual ~ILoadProgress() = default;
  virtual void showProgress(int percent) = 0;
  // Called between blocks every few milliseconds: dispatch what the interface has waiting.
  virtual void pumpMessages() {}
  // The temporary sound file could not be made: the recording loads without sound.
  virtual void soundLost() {}
};
