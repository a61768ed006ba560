#include "app/FailureGuard.h"

#include "foundation/Exception.h"

int RunReportingFailures(const std::function<int()>& body, const FatalReport& report) {
  try {
    return body();
  } catch (const Exception& failure) {
    report(&failure);
  } catch (...) {
    report(nullptr);
  }
  return kExitAfterFailure;
}
