#pragma once
// The drive summary as lines of text: a name, a value and, where the line names a moment,
// the moment's time as a link and the slot a click on it shows.
#include <cstdint>
#include <string>
#include <vector>

struct DriveSummary;

namespace summarytext {

struct Line {
  std::wstring label;
  std::wstring value;
  std::wstring link;  // empty: no link on the line
  int32_t slot = -1;  // the slot the link shows
};

// Empty for a recording without slots.
std::vector<Line> Lines(const DriveSummary& summary);

}  // namespace summarytext
