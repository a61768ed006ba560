#pragma once
// The recordings the viewer can move through: every archive of the opened folder in
// recording order, or the one file the user opened. The video player owns the list and
// lends itself, through IRecordingNavigator, to the date jumps.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/TextIds.h"
#include "recording/RecordingEntry.h"

// What a date jump needs from the player that owns the list. Implemented by the video
// player; tests supply their own.
class IRecordingNavigator {
 public:
  virtual ~IRecordingNavigator() = default;

  // True while the player is in the Playing state.
  virtual bool isPlaying() const = 0;
  // Stops playback (the player's stop()).
  virtual void stop() = 0;
  // Loads the recording at a list index; sets the list's current index itself. Returns
  // false when the recording cannot be read (a VideoArchiveException thrown instead is
  // treated the same way); any other Exception passes to the jump's caller.
  virtual bool openRecordingAt(int index) = 0;
  // Called once after a jump has loaded a recording: the player keeps its tick chain
  // going (scheduleNextTick() while no frame has arrived yet, otherwise onTick()).
  virtual void continueAfterLoad() = 0;
  // Shows `text` (kTextNoNextDate or kTextNoPreviousDate) as a warning box on the
  // player's window, caption kTextWarningCaption. The jump then throws an Exception
  // with an empty message, because the user has been told.
  virtual void showDateWarning(TextId text) = 0;
};

class RecordingList {
 public:
  // Any index at or above this is treated as absent, for paths and for times alike.
  static constexpr int kMaxListIndex = 65536;

  // Replaces the list with the archives of the folder that holds `path` (the folder
  // scan). Returns the position of `path` in the list and gives the count through
  // `count`; the count becomes the list count. A VideoArchiveException of the scan
  // passes to the caller and leaves the list as it was.
  int setListFromFolder(const std::wstring& path, int& count);

  // Replaces the list with the one file, without a time. The list count becomes 0, so
  // nothing before or after the file can be reached. Returns index 0.
  int setSingleFile(const std::wstring& path);

  // The path at `index`; none when the index is negative, at or above kMaxListIndex,
  // outside the list, or the entry's path is empty.
  std::optional<std::wstring> pathOf(int index) const;

  // The recording time at `index` (seconds since 1970 UTC); 0 when the index is absent.
  int64_t timeOf(int index) const;

  // True when the recordings at i and j lie on different local calendar dates.
  bool datesDiffer(int i, int j) const;

  // Loads the first recording of the next (backward = false) or previous (backward =
  // true) calendar date through `player`, stopping playback first. Throws Exception
  // with an empty message after showing kTextNoNextDate / kTextNoPreviousDate, and
  // VideoArchiveException (kTextDataUnreadable) when the previous date's first
  // recording cannot be loaded. Does nothing more than stop when the current
  // recording has no time.
  void jumpToDate(bool backward, IRecordingNavigator& player);

  // Button enabling: whether a recording on another date lies after / before the
  // current one within the list count.
  bool hasNextDate() const;
  bool hasPreviousDate() const;

  int count() const { return listCount_; }
  int currentIndex() const { return currentIndex_; }
  void setCurrentIndex(int index) { currentIndex_ = index; }
  const std::vector<RecordingEntry>& entries() const { return entries_; }

  // Replaces the entries directly, in the given (ascending time) order, with the list
  // count equal to their number. For tests, and for callers that already hold a list.
  void setEntries(std::vector<RecordingEntry> entries);

 private:
  std::vector<RecordingEntry> entries_;
  int listCount_ = 0;
  int currentIndex_ = 0;
};
