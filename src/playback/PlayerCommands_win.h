#pragma once
// The commands that act on the player alone (play/pause, stop), carried out for the
// owner's command road: the main window runs them after its busy check.
#include <windows.h>

class ConsolePanel;
class VideoPlayer;

// Carries out `id` when it is a player command; false for any other command. The play
// button's look decides between playing and pausing: the pause look pauses, whatever the
// player did meanwhile.
bool RunPlayerCommand(WORD id, VideoPlayer& player, const ConsolePanel& console);
