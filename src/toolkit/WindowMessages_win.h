#pragma once
// The program's own window messages, all in one place so that no two can share a
// number: a receiver that handles two of them would otherwise take one for the other.
// They lie in the WM_APP range, which no system control uses.
#include <windows.h>

#include <cstddef>

// Loader thread -> owner: the owner's one-shot tick is due (wParam and lParam 0).
constexpr UINT WM_PLAYER_TICK = WM_APP + 1;
// Loader thread -> owner: wParam the slot read, lParam the decoded Image* or null. The
// receiver owns the picture.
constexpr UINT WM_FRAME_READY = WM_APP + 2;
// Sound player -> its notify window: the sound ended (the sound player's isAtEnd() is
// true) or the chunks flushed by pause, stop, play or close have all come back.
constexpr UINT WM_SOUND_END = WM_APP + 3;
// Audio callback -> the sound player's own window: a queued chunk came back.
constexpr UINT WM_SOUND_CHUNK_DONE = WM_APP + 4;
// Export worker -> its progress window: wParam frames written, lParam frames in all.
constexpr UINT WM_EXPORT_PROGRESS = WM_APP + 5;
// Export worker -> its progress window: the export has ended, wParam its outcome.
constexpr UINT WM_EXPORT_END = WM_APP + 6;
// Export progress window -> the main window: the export has ended, wParam its outcome,
// lParam a new std::wstring with the text to show, which the receiver deletes.
constexpr UINT WM_EXPORT_DONE = WM_APP + 7;

namespace window_messages {

constexpr UINT kAll[] = {WM_PLAYER_TICK,      WM_FRAME_READY, WM_SOUND_END, WM_SOUND_CHUNK_DONE,
                         WM_EXPORT_PROGRESS, WM_EXPORT_END,  WM_EXPORT_DONE};

constexpr bool AllDistinctAndPrivate() {
  constexpr std::size_t n = sizeof kAll / sizeof kAll[0];
  for (std::size_t i = 0; i < n; ++i) {
    if (kAll[i] < WM_APP || kAll[i] > 0xBFFF) return false;
    for (std::size_t j = i + 1; j < n; ++j) {
      if (kAll[i] == kAll[j]) return false;
    }
  }
  return true;
}

static_assert(AllDistinctAndPrivate(), "two window messages share a number, or one left WM_APP's range");

}  // namespace window_messages
