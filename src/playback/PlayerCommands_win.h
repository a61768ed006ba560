#pragma once
// The commands that act on the player alone (play/pause, stop, the steps and jumps, the
// speeds, the marked range), carried out for the owner's command road: the main window
// runs them after its busy check. A command that cannot apply (no recording, the first
// frame, no switch press ahead) does nothing.
#include <windows.h>

class ConsolePanel;
class VideoPlayer;

// Carries out `id` when it is a player command; false for any other command. The play
// button's look decides between playing and pausing: the pause look pauses, whatever the
// player did meanwhile.
bool RunPlayerCommand(WORD id, VideoPlayer& player, const ConsolePanel& console);
