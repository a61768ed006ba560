#pragma once
// Small file helpers shared by the device and restore tests.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "device/DeviceFile.h"

using Bytes = std::vector<uint8_t>;

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  DeviceFile f;
  if (!f.OpenForWriting(path.wstring())) throw std::runtime_error("cannot create " + path.string());
  if (f.Write(bytes.data(), bytes.size()) != bytes.size()) throw std::runtime_error("short write");
}

inline Bytes ReadBytes(const std::filesystem::path& path) {
  DeviceFile f;
  if (!f.OpenForReading(path.wstring())) return {};
  Bytes out(static_cast<size_t>(f.Size()));
  out.resize(f.Read(out.data(), out.size()));
  return out;
}

// A record with the given key and value and its check byte right (or `check` as given).
inline Bytes Record(uint16_t key, Bytes value, int check = -1) {
  Bytes r{static_cast<uint8_t>(key >> 8), static_cast<uint8_t>(key & 0xFF)};
  value.resize(5, 0xFF);
  r.insert(r.end(), value.begin(), value.end());
  uint8_t x = 0;
  for (uint8_t b : r) x ^= b;
  r.push_back(check < 0 ? x : static_cast<uint8_t>(check));
  return r;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Bytes kHeader0401{0x00, 0x01, 0x04, 0x01, 0xFF, 0xFF, 0xFF, 0xFB};

// A temporary folder whose files may be left read-only and hidden by the code under
// test: their attributes are cleared first so that the folder can be removed.
class CardDir {
 public:
  CardDir() : dir_(ChooserTempBase()) {}
  ~CardDir() {
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir_.path(), ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
      SetNormalAttributes(it->path().wstring());
  }
  const std::filesystem::path& path() const { return dir_.path(); }
  std::wstring wpath() const { return dir_.path().wstring(); }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return dir_.path() / name; }

 private:
  TempDir dir_;
};
