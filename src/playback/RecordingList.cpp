#include "playback/RecordingList.h"

#include <tuple>
#include <utility>

#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "recording/ScanFolder.h"

namespace {

// A local calendar date. A time the system cannot convert gets the all-zero date, which
// lies before every real one, instead of being read through a failed conversion.
struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;

  bool operator==(const CalendarDate& o) const {
    return year == o.year && month == o.month && day == o.day;
  }
  bool operator!=(const CalendarDate& o) const { return !(*this == o); }
  // Whole-date order. Comparing the fields one by one ("any field greater") would take
  // 31 October for a later date than 1 November; in recording order that can happen
  // where the clock is set back across midnight.
  bool operator<(const CalendarDate& o) const {
    return std::tie(year, month, day) < std::tie(o.year, o.month, o.day);
  }
};

CalendarDate DateOf(int64_t time) {
  LocalDateTime local;
  if (!ToLocalDateTime(time, local)) return {};
  return {local.year, local.month, local.day};
}

// A recording that cannot be read is the navigator's false; a reader exception counts the
// same, whichever way the player reports it.
bool TryOpen(IRecordingNavigator& player, int index) {
  try {
    return player.openRecordingAt(index);
  } catch (const VideoArchiveException&) {
    return false;
  }
}

}  // namespace

int RecordingList::setListFromFolder(const std::wstring& path, int& count) {
  // Scanned into a separate list so that a failed scan leaves the current one usable.
  std::vector<RecordingEntry> scanned;
  const FolderScanResult result = ScanFolder(path, scanned);
  entries_ = std::move(scanned);
  listCount_ = result.count;
  count = result.count;
  return result.position;
}

int RecordingList::setSingleFile(const std::wstring& path) {
  entries_.clear();
  entries_.push_back(RecordingEntry{path, 0});
  listCount_ = 0;
  return 0;
}

void RecordingList::setEntries(std::vector<RecordingEntry> entries) {
  entries_ = std::move(entries);
  listCount_ = static_cast<int>(entries_.size());
}

std::optional<std::wstring> RecordingList::pathOf(int index) const {
  if (index < 0 || index >= kMaxListIndex || static_cast<size_t>(index) >= entries_.size())
    return std::nullopt;
  const std::wstring& path = entries_[static_cast<size_t>(index)].path;
  if (path.empty()) return std::nullopt;
  return path;
}

int64_t RecordingList::timeOf(int index) const {
  if (index < 0 || index >= kMaxListIndex || static_cast<size_t>(index) >= entries_.size()) return 0;
  return entries_[static_cast<size_t>(index)].startTime;
}

bool RecordingList::datesDiffer(int i, int j) const { return DateOf(timeOf(i)) != DateOf(timeOf(j)); }

bool RecordingList::hasNextDate() const {
  // Answers the question the next-date button asks: would a jump find a target?
  const int64_t now = timeOf(currentIndex_);
  if (now == 0) return false;
  const CalendarDate current = DateOf(now);
  for (int i = currentIndex_ + 1; i < listCount_; ++i)
    if (current < DateOf(timeOf(i))) return true;
  return false;
}

bool RecordingList::hasPreviousDate() const {
  const int64_t now = timeOf(currentIndex_);
  if (now == 0) return false;
  const CalendarDate current = DateOf(now);
  const int end = currentIndex_ < listCount_ ? currentIndex_ : listCount_;
  for (int i = 0; i < end; ++i)
    if (DateOf(timeOf(i)) < current) return true;
  return false;
}

void RecordingList::jumpToDate(bool backward, IRecordingNavigator& player) {
  if (player.isPlaying()) player.stop();
  const int cur = currentIndex_;
  const int64_t now = timeOf(cur);
  if (now == 0) return;  // a recording without a date has no neighbouring date
  const CalendarDate current = DateOf(now);

  if (!backward) {
    // The list is in time order, so the first later-dated recording that loads is the
    // first of the next date; unreadable ones are skipped.
    for (int i = cur + 1; i < listCount_; ++i) {
      if (!(current < DateOf(timeOf(i)))) continue;
      currentIndex_ = i;
      if (TryOpen(player, i)) {
        player.continueAfterLoad();
        return;
      }
    }
    player.showDateWarning(kTextNoNextDate);
    throw Exception();
  }

  // Walk back to the previous date and on to its first recording, which is the one just
  // after the first recording of an earlier date still (or index 0).
  CalendarDate target = current;
  bool found = false;
  int first = -1;
  for (int i = cur - 1; i >= 0; --i) {
    const CalendarDate date = DateOf(timeOf(i));
    if (date < target) {
      if (found) break;  // i lies before the target date: `first` is its first recording
      target = date;
      found = true;
    }
    if (found) first = i;
  }
  if (first == -1) {
    player.showDateWarning(kTextNoPreviousDate);
    throw Exception();
  }
  // Only the first recording of that date will do; a failed load is reported rather
  // than repeated.
  currentIndex_ = first;
  if (!TryOpen(player, first)) throw VideoArchiveException(LoadText(kTextDataUnreadable));
  player.continueAfterLoad();
}
