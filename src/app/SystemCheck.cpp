#include "app/SystemCheck.h"

#include "foundation/TextIds.h"

unsigned SystemCheckNotice(bool identified, unsigned major, unsigned minor) {
  if (!identified) return kTextUnknownSystem;
  const bool supported = major > 5 || (major == 5 && minor >= 1);
  return supported ? 0u : static_cast<unsigned>(kTextUnsupportedSystem);
}
