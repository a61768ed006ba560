#include "app/ProcessValues.h"

#include <utility>

namespace {

struct Values {
  std::wstring name;
  archive::FormatVersion version;
};

Values& TheValues() {
  static Values values;
  return values;
}

}  // namespace

void RecordApplicationValues(std::wstring name, archive::FormatVersion version) {
  TheValues().name = std::move(name);
  TheValues().version = version;
}

const std::wstring& ApplicationName() { return TheValues().name; }

archive::FormatVersion ApplicationFormatVersion() { return TheValues().version; }
