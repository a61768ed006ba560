#pragma once
// Helpers shared by the playback tests: folders of small simulator recordings started at
// chosen local times, and the answer a call made while a load runs came to.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "RecorderSimulator.h"
#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"

struct DatedRecording {
  const char* name;
  LocalDateTime start;
};

// Writes each recording into `folder`: silent, `pictures` small pictures of one kind.
inline void WriteDatedRecordings(const std::filesystem::path& folder,
                                 const std::vector<DatedRecording>& recordings, int pictures) {
  for (const DatedRecording& r : recordings) {
    recsim::RecordingDescription d;
    d.start = r.start;
    d.pictureCount = pictures;
    d.mode = recsim::PictureMode::Fast;
    d.fastVariants = 1;
    d.width = 160;
    d.height = 120;
    d.sound = false;
    recsim::WriteRecording(d, (folder / r.name).wstring());
  }
}

// What `call` came to, as a command of the main window would see it: "done", "refused"
// (the image archive cannot be read, the answer to a call that must wait for a running
// load), or "other failure".
inline std::string AnswerOf(const std::function<void()>& call) {
  try {
    call();
    return "done";
  } catch (const Exception& e) {
    return e.message == LoadText(kTextImageArchiveUnreadable) ? "refused" : "other failure";
  }
}
