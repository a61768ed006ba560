#pragma once
// The help page: an HTML resource with pictures of its own, shown in the system's
// browser. It is written out as files, so that any browser can show it.
#include <string>

// Writes the page as "index.html" and each of its pictures (the other HTML-type
// resources) as "<id>.png" into `folder` (a path ending in a backslash; created if
// missing), replacing what is there. Returns the page's path. Throws WindowException
// with the system's text when a resource cannot be read or a file not written.
std::wstring WriteHelpPage(const std::wstring& folder);

// The folder under the user's temporary folder that holds the written page.
std::wstring HelpPageFolder();

// Writes the page into HelpPageFolder() and asks the shell to open it. Throws
// WindowException with the system's text on failure.
void OpenHelpPage();
