#pragma once
// What the start-up check of the operating system's version tells the user.

// The text id of the notice to show, or 0 for none: the version could not be
// identified (5049), or it is older than 5.1 (5051).
unsigned SystemCheckNotice(bool identified, unsigned major, unsigned minor);
