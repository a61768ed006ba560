// pscope settings: the recorder's device files on a card, read and written with the
// viewer's own code and the same steps as its dialogs.
#include <cstdio>
#include <string>

#include "Command.h"
#include "device/DeviceFile.h"
#include "device/FirmInfo.h"
#include "device/SettingsFile.h"
#include "foundation/Exception.h"
#include "foundation/LocalTime.h"
#include "foundation/Text.h"
#include "foundation/TextIds.h"
#include "foundation/Utf8.h"
#include "restore/CardRestore.h"

namespace pscope {
namespace {

// One line a record: FILE KEY VALUE CHECK, in lower-case hexadecimal.
std::string RecordLine(const char* file, const FirmRecord& r) {
  char line[64];
  std::snprintf(line, sizeof line, "%s %04x %02x%02x%02x%02x%02x %02x\n", file, r.Key(), r.value[0], r.value[1],
                r.value[2], r.value[3], r.value[4], r.check);
  return line;
}

enum class Shown { Listed, Absent, Unreadable };

// A device file that is not on the card is named on stderr and is no failure: a card the
// recorder has not run on yet has no firmware information, one the viewer has not
// written to yet has no settings. A file that is there but cannot be read is a failure.
Shown ShowFile(const char* name, const std::wstring& path, void (*read)(FirmInfo&, const std::wstring&)) {
  bool hidden = false, readOnly = false;
  if (!QueryHiddenReadOnly(path, hidden, readOnly)) {
    Err(FromUtf8(name) + L": not on the card");
    return Shown::Absent;
  }
  FirmInfo info;
  try {
    read(info, path);
  } catch (const Exception& e) {
    Err(FromUtf8(name) + L": " + e.message);
    return Shown::Unreadable;
  }
  for (int i = 0; i < info.Count(); ++i) Out(RecordLine(name, info.Record(i)));
  return Shown::Listed;
}

// Fails when a file could not be read, or when neither is there (not a card).
int Show(const Args& args) {
  if (args.size() != 2) throw UsageError();
  const std::wstring& card = args[1];
  const Shown settings = ShowFile("KORA.INI", SettingsFilePath(card), ReadSettingsFile);
  const Shown firm = ShowFile("FIRMINFO.DAT", FirmInfoFilePath(card), ReadFirmInfoFile);
  if (settings == Shown::Unreadable || firm == Shown::Unreadable) return 1;
  return settings == Shown::Absent && firm == Shown::Absent ? 1 : 0;
}

// "YYYY-MM-DD HH:MM" exactly.
bool ParseClock(const std::wstring& text, LocalDateTime& local) {
  if (text.size() != 16 || text[4] != L'-' || text[7] != L'-' || text[10] != L' ' || text[13] != L':') return false;
  auto number = [&](size_t at, size_t digits, int& out) {
    out = 0;
    for (size_t i = at; i < at + digits; ++i) {
      if (text[i] < L'0' || text[i] > L'9') return false;
      out = out * 10 + (text[i] - L'0');
    }
    return true;
  };
  local.second = 0;
  return number(0, 4, local.year) && number(5, 2, local.month) && number(8, 2, local.day) &&
         number(11, 2, local.hour) && number(14, 2, local.minute);
}

int Set(const Args& args) {
  if (args.size() < 3) throw UsageError();
  const std::wstring& card = args[1];
  int buzzer = -1, mode = -1;
  bool clock = false, defaults = false;
  LocalDateTime local;
  for (size_t i = 2; i < args.size(); ++i) {
    const std::wstring& option = args[i];
    const bool hasValue = i + 1 < args.size();
    if (option == L"--defaults") {
      defaults = true;
    } else if (option == L"--buzzer" && hasValue) {
      const std::wstring& v = args[++i];
      if (v != L"on" && v != L"off") throw UsageError();
      buzzer = v == L"on" ? 1 : 0;
    } else if (option == L"--mode" && hasValue) {
      const std::wstring& v = args[++i];
      if (v != L"standard" && v != L"long") throw UsageError();
      mode = v == L"standard" ? 1 : 0;
    } else if (option == L"--clock" && hasValue) {
      if (!ParseClock(args[++i], local)) throw UsageError();
      clock = true;
    } else {
      throw UsageError();
    }
  }
  if (defaults) {
    if (clock || buzzer >= 0 || mode >= 0) throw UsageError();
    WriteDefaultSettings(card);
    return 0;
  }

  // A date that does not exist is refused before the card is touched.
  int64_t time = 0;
  if (clock && !ToCalendarTime(local, time)) throw Exception(LoadText(kTextDateOutOfRange));

  const std::wstring path = SettingsFilePath(card);
  try {
    FirmInfo records;
    if (clock) records.SetDateTime(time);
    if (buzzer >= 0) records.SetBuzzer(buzzer);
    if (mode >= 0) records.SetRecordMode(mode);
    WriteSettingsFile(records, path, true);
    VerifySettingsFile(records, path);
  } catch (const Exception&) {
    // As the dialogs do: a settings file that may be wrong is not left for the recorder.
    if (!path.empty()) RemoveDeviceFile(path);
    throw Exception(LoadText(kTextSettingsUnwritable));
  }
  return 0;
}

int Settings(const Args& args) {
  if (args.empty()) throw UsageError();
  if (args[0] == L"show") return Show(args);
  if (args[0] == L"set") return Set(args);
  throw UsageError();
}

}  // namespace
}  // namespace pscope

PSCOPE_COMMAND("settings", "settings show CARD | settings set CARD [--buzzer on|off] [--mode standard|long] "
                           "[--clock \"YYYY-MM-DD HH:MM\"] [--defaults]",
               pscope::Settings);
