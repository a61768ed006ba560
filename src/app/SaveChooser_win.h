#pragma once
// The save chooser for what the user takes away (clips, stored frames, pictures as
// shown). It starts in the user's pictures folder, then, for the rest of the run, in the
// folder chosen last; nothing is kept between runs.
#include <windows.h>

#include <string>

class SaveChooser {
 public:
  enum class Kind { Clip, Jpeg, Png };

  // The system's save dialog owned by `owner`, proposing `name`; asks before an
  // existing file is replaced. True with the chosen path in `chosen`.
  bool choose(HWND owner, Kind kind, const std::wstring& name, std::wstring& chosen);
  // Where the next dialog starts.
  std::wstring startFolder() const;

 private:
  std::wstring lastFolder_;
};

// The user's pictures folder; empty when the system names none.
std::wstring PicturesFolder();
