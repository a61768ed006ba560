#pragma once
// The outermost failure handler of the program.
#include <functional>

class Exception;

// The exit code after a failure was reported: the process did not end well.
constexpr int kExitAfterFailure = 1;

// Shows a failure that ended the program: the exception, or null for a failure from
// outside the family.
using FatalReport = std::function<void(const Exception*)>;

// Runs `body` and returns its exit code. A failure escaping it is handed to `report`,
// and kExitAfterFailure is returned.
int RunReportingFailures(const std::function<int()>& body, const FatalReport& report);
