#include "RecorderSimulator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "DriveProfile.h"
#include "PictureSource.h"
#include "Random.h"
#include "SceneRenderer.h"
#include "SoundSynth.h"
#include "foundation/Utf8.h"

namespace recsim {
namespace {

using archive::kBlockHeaderSize;
using archive::kBlockSize;
using archive::kTagSize;

// ---- calendar arithmetic on the recorder's clock (no time zone: the recorder counts
// local time and knows nothing of daylight saving) ----

int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

LocalDateTime AddSeconds(const LocalDateTime& t, int64_t seconds) {
  int64_t total = DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second +
                  seconds;
  int64_t days = total / 86400;
  int64_t rest = total % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  LocalDateTime r;
  CivilFromDays(days, r.year, r.month, r.day);
  r.hour = static_cast<int>(rest / 3600);
  r.minute = static_cast<int>(rest / 60 % 60);
  r.second = static_cast<int>(rest % 60);
  return r;
}

uint8_t Bcd(int v) {
  v = ((v % 100) + 100) % 100;
  return static_cast<uint8_t>((v / 10) << 4 | (v % 10));
}

void PutBcdTime(uint8_t* p, const LocalDateTime& t) {
  p[0] = Bcd(t.year - 2000);
  p[1] = Bcd(t.month);
  p[2] = Bcd(t.day);
  p[3] = Bcd(t.hour);
  p[4] = Bcd(t.minute);
  p[5] = Bcd(t.second);
}

void PutBcdNumber(uint8_t* p, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) {
    p[i] = Bcd(static_cast<int>(value % 100));
    value /= 100;
  }
}

void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}

void PutU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

void PutTag(uint8_t* p, archive::FormatVersion version) {
  p[0] = version.high;
  p[1] = version.low;
  std::copy(archive::kSignaturePattern, archive::kSignaturePattern + archive::kSignaturePatternSize,
            p + archive::kSignatureOffset);
}

// ---- where the bytes go ----

class Sink {
 public:
  virtual ~Sink() = default;
  virtual void Write(const uint8_t* data, size_t size) = 0;
  uint64_t position() const { return position_; }

 protected:
  uint64_t position_ = 0;
};

class VectorSink : public Sink {
 public:
  explicit VectorSink(std::vector<uint8_t>& out) : out_(out) {}
  void Write(const uint8_t* data, size_t size) override {
    out_.insert(out_.end(), data, data + size);
    position_ += size;
  }

 private:
  std::vector<uint8_t>& out_;
};

class FileSink : public Sink {
 public:
  explicit FileSink(const std::wstring& path) {
#ifdef _WIN32
    file_ = _wfopen(path.c_str(), L"wb");
#else
    file_ = std::fopen(ToUtf8(path).c_str(), "wb");
#endif
    if (!file_) throw std::runtime_error("cannot create " + ToUtf8(path));
  }
  ~FileSink() override {
    if (file_) std::fclose(file_);
  }
  void Write(const uint8_t* data, size_t size) override {
    if (std::fwrite(data, 1, size, file_) != size) throw std::runtime_error("write failed");
    position_ += size;
  }
  void Close() {
    FILE* f = file_;
    file_ = nullptr;
    if (f && std::fclose(f) != 0) throw std::runtime_error("write failed");
  }
  void Discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  FILE* file_ = nullptr;
};

std::string ClockText(const LocalDateTime& t, int ms) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour,
                t.minute, t.second, ms);
  return text;
}

// ---- the writer ----

struct PlannedSound {
  uint32_t tick = 0;
  int64_t firstSample = 0;
  int writeAtMs = 0;  // when the recorder writes it: after its samples were taken
};

class Writer {
 public:
  Writer(const RecordingDescription& d, Sink& sink, RecordingManifest& m) : d_(d), sink_(sink), m_(m) {}

  // Writes the header area (unless `withHeader` is false) and the blocks; at most
  // `pictureLimit` pictures when it is not negative.
  void Run(bool withHeader, int pictureLimit) {
    const Faults& f = d_.faults;
    uint32_t startTick = d_.startTick;
    if (f.tickWrapAfterMs >= 0) startTick = static_cast<uint32_t>(0) - static_cast<uint32_t>(f.tickWrapAfterMs);
    m_.start = d_.start;
    m_.startTick = startTick;
    m_.archiveId = d_.archiveId;
    if (withHeader) WriteHeader(startTick);

    // Picture times: the first at 0, then intervals of min..max ms.
    Random timing(d_.seed * 31 + 7);
    std::vector<int> elapsed;
    const int wanted = pictureLimit >= 0 ? pictureLimit : d_.pictureCount;
    const int minStep = std::max(1, d_.minIntervalMs);
    const int maxStep = std::max(minStep, d_.maxIntervalMs);
    for (int ms = 0; wanted > 0 || ms <= d_.durationMs; ms += timing.Between(minStep, maxStep)) {
      if (wanted > 0 && static_cast<int>(elapsed.size()) >= wanted) break;
      elapsed.push_back(ms);
    }

    // Sound blocks cover the pictures' span, starting at the offset.
    std::vector<PlannedSound> sounds;
    const int blockBytes = std::max(1, std::min(d_.soundBlockBytes, archive::kMaxSoundBytes));
    if (d_.sound) {
      const int64_t first = static_cast<int64_t>(std::llround(d_.soundOffsetMs * archive::kSoundSampleRate / 1000.0));
      const int endMs = elapsed.empty() ? 0 : elapsed.back();
      for (int k = 0;; ++k) {
        PlannedSound s;
        s.firstSample = first + static_cast<int64_t>(k) * blockBytes;
        const double startMs = static_cast<double>(s.firstSample) * 1000.0 / archive::kSoundSampleRate;
        if (k > 0 && startMs > endMs) break;
        const int startRounded = static_cast<int>(std::lround(startMs));
        s.tick = startTick + static_cast<uint32_t>(startRounded);
        s.writeAtMs = static_cast<int>(std::lround(startMs + blockBytes * 1000.0 / archive::kSoundSampleRate));
        sounds.push_back(s);
      }
    }

    DriveProfile profile(d_);
    std::vector<int> beeps = d_.switchPressesMs;
    SoundSynth synth(profile, beeps, d_.seed, d_.soundVolume, archive::kSoundSampleRate);
    PictureSource pictures(d_);

    size_t nextSound = 0;
    double distance = 0;
    int previousMs = 0;
    uint32_t previousTick = startTick;
    for (size_t i = 0; i < elapsed.size(); ++i) {
      const int ms = elapsed[i];
      while (nextSound < sounds.size() && sounds[nextSound].writeAtMs <= ms) {
        WriteSound(sounds[nextSound++], synth, blockBytes);
      }
      const DriveSample motion = profile.At(ms);
      distance += motion.speedKmh / 3.6 * (ms - previousMs) / 1000.0;
      previousMs = ms;
      WritePicture(static_cast<int>(i), ms, motion, distance, startTick, previousTick, pictures);
      previousTick = m_.pictures.back().tick;
    }
    while (nextSound < sounds.size()) WriteSound(sounds[nextSound++], synth, blockBytes);
  }

 private:
  void WriteHeader(uint32_t startTick) {
    std::vector<uint8_t> area(archive::kHeaderAreaSize, 0);
    PutBcdTime(&area[2], d_.start);
    if (d_.faults.invalidHeaderDate) {
      area[3] = 0x02;
      area[4] = 0x30;
    }
    std::copy(&area[2], &area[8], m_.headerBcd);
    PutU32(&area[16], startTick);
    PutU32(&area[28], d_.archiveId);
    sink_.Write(area.data(), area.size());
  }

  void WriteSound(const PlannedSound& s, SoundSynth& synth, int blockBytes) {
    SoundRecord record;
    record.tick = s.tick;
    record.blockOffset = sink_.position();
    record.samples = synth.Generate(s.firstSample, blockBytes);
    std::vector<uint8_t> block(kBlockSize, 0);
    PutU32(&block[0], static_cast<uint32_t>(kBlockSize));
    PutU32(&block[4], s.tick);
    PutU32(&block[8], static_cast<uint32_t>(blockBytes));
    block[12] = archive::kSoundBlock;
    block[13] = 1;
    PutU32(&block[28], d_.archiveId);
    std::copy(record.samples.begin(), record.samples.end(), block.begin() + kBlockHeaderSize);
    sink_.Write(block.data(), block.size());
    m_.sounds.push_back(std::move(record));
  }

  void WritePicture(int index, int ms, const DriveSample& motion, double distance, uint32_t startTick,
                    uint32_t previousTick, PictureSource& pictures) {
    const Faults& f = d_.faults;
    PictureRecord p;
    p.index = index;
    p.elapsedMs = ms;
    const bool collides = f.collidePicture > 0 && index >= f.collidePicture &&
                          index < f.collidePicture + std::max(1, f.collisionCount);
    p.tick = collides ? previousTick : startTick + static_cast<uint32_t>(ms);
    p.local = AddSeconds(d_.start, ms / 1000);
    PutBcdTime(p.bcdTime, p.local);
    if (f.invalidDateFirst >= 0 && index >= f.invalidDateFirst &&
        index < f.invalidDateFirst + std::max(1, f.invalidDateCount)) {
      if ((index - f.invalidDateFirst) % 2 == 0) {
        p.bcdTime[1] = 0x02;  // 30 February
        p.bcdTime[2] = 0x30;
        p.local.month = 2;
        p.local.day = 30;
      } else {
        p.bcdTime[3] = 0x25;  // 25 o'clock
        p.local.hour = 25;
      }
    }
    Random noise(static_cast<uint64_t>(d_.seed) * 1000003u + static_cast<uint64_t>(index));
    p.gx = DriveProfile::ToRaw(motion.gx + noise.Signed() * 0.02);
    p.gy = DriveProfile::ToRaw(motion.gy + noise.Signed() * 0.02);
    p.gz = DriveProfile::ToRaw(motion.gz + noise.Signed() * 0.03);
    p.speedKmh = std::min(9999, static_cast<int>(std::lround(motion.speedKmh)));
    p.speedBcd = static_cast<uint16_t>(Bcd(p.speedKmh / 100) << 8 | Bcd(p.speedKmh % 100));
    for (int press : d_.switchPressesMs) {
      if (ms >= press && ms < press + d_.eventSpanMs) p.event = archive::kEventFlag;
    }
    p.status = d_.status;
    p.value1 = d_.value1;
    p.value2 = d_.value2;
    p.version = index == f.otherVersionPicture ? f.otherVersion : d_.version;

    SceneState scene;
    scene.distanceM = distance;
    scene.curve = motion.curve;
    scene.leadGapM = motion.leadGapM;
    scene.speedKmh = p.speedKmh;
    scene.event = p.event != 0;
    scene.clockText = ClockText(AddSeconds(d_.start, ms / 1000), ms % 1000);
    char frame[32];
    std::snprintf(frame, sizeof frame, "#%05d", index);
    scene.frameText = frame;
    p.jpeg = pictures.Get(index, scene);
    p.jpegHash = HashBytes(p.jpeg->data(), p.jpeg->size());

    // Content: tag, then the JPEG stream from its 17th byte on.
    const std::vector<uint8_t>& jpeg = *p.jpeg;
    size_t jpegEnd = jpeg.size();
    if (index == f.noEndMarkerPicture && jpegEnd >= 2 && jpeg[jpegEnd - 2] == 0xFF && jpeg[jpegEnd - 1] == 0xD9) {
      jpegEnd -= 2;
      p.endMarker = false;
    }
    std::vector<uint8_t> content(kTagSize, 0);
    PutTag(content.data(), p.version);
    content.insert(content.end(), jpeg.begin() + kTagSize, jpeg.begin() + static_cast<std::ptrdiff_t>(jpegEnd));
    p.payloadSize = static_cast<int32_t>(content.size());
    p.fragmentCount = archive::FragmentCount(p.payloadSize);

    for (int k = 1; k <= p.fragmentCount; ++k) {
      if (index == f.missingFragmentPicture && k == f.missingFragmentNumber && k >= 2) continue;
      const archive::FragmentSpan span = archive::FragmentContent(p.payloadSize, k);
      std::vector<uint8_t> block(kBlockSize, 0);
      PutU32(&block[0], static_cast<uint32_t>(kBlockSize));
      PutU32(&block[4], p.tick);
      PutU32(&block[8], static_cast<uint32_t>(p.payloadSize));
      block[12] = archive::kPictureBlock;
      block[13] = static_cast<uint8_t>(k);
      PutU32(&block[28], d_.archiveId);
      block[32] = p.event;
      block[33] = p.status;
      std::copy(p.bcdTime, p.bcdTime + 6, &block[34]);
      PutU16(&block[40], static_cast<uint16_t>(p.gx));
      PutU16(&block[42], static_cast<uint16_t>(p.gy));
      PutU16(&block[44], static_cast<uint16_t>(p.gz));
      PutU16(&block[46], p.speedBcd);
      PutBcdNumber(&block[48], p.value1, 4);
      PutBcdNumber(&block[52], p.value2, 4);
      if (k >= 2) PutTag(&block[kBlockHeaderSize], p.version);
      std::copy(content.begin() + span.contentOffset, content.begin() + span.contentOffset + span.length,
                block.begin() + static_cast<std::ptrdiff_t>(span.blockOffset));
      p.blockOffsets.push_back(sink_.position());
      sink_.Write(block.data(), block.size());
    }
    m_.pictures.push_back(std::move(p));

    if (index == f.garbageAfterPicture && f.garbageBytes > 0) {
      // Random bytes that can never hold the signature (no 'O') nor pass as a sound
      // block (no 0xAA), so the reader must search past them.
      Random junk(d_.seed * 77 + 5);
      std::vector<uint8_t> bytes(static_cast<size_t>(f.garbageBytes));
      for (auto& b : bytes) {
        b = static_cast<uint8_t>(junk.Next());
        if (b == 'O' || b == archive::kSoundBlock) b ^= 0x01;
      }
      m_.garbage.push_back({sink_.position(), bytes.size()});
      sink_.Write(bytes.data(), bytes.size());
    }
  }

  const RecordingDescription& d_;
  Sink& sink_;
  RecordingManifest& m_;
};

// The older recording whose blocks remain behind a shorter new one on the card.
RecordingDescription OlderTail(const RecordingDescription& d) {
  RecordingDescription older;
  older.start = AddSeconds(d.start, -86400 - 3600);
  older.startTick = d.startTick / 2 + 12345;
  older.archiveId = d.faults.olderTailId != 0 ? d.faults.olderTailId : d.archiveId + 1;
  older.durationMs = d.faults.olderTailPictures * 36 + 36;
  older.seed = d.seed + 1000;
  older.mode = PictureMode::Fast;
  older.fastVariants = 2;
  older.width = d.width;
  older.height = d.height;
  older.jpegQuality = d.jpegQuality;
  older.targetJpegBytes = d.targetJpegBytes;
  older.detail = d.detail;
  older.version = d.version;
  return older;
}

void Generate(const RecordingDescription& d, Sink& sink, RecordingManifest& m) {
  if (d.width < 16 || d.width > 4096 || d.height < 16 || d.height > 4096) {
    throw std::invalid_argument("picture size out of range (16..4096)");
  }
  // Bounds that keep every millisecond sum far from overflowing.
  if (d.durationMs > 4 * 3600 * 1000 || d.pictureCount > 200000 || d.minIntervalMs > 60000 ||
      d.maxIntervalMs > 60000 || d.eventSpanMs < 0 || d.eventSpanMs > 3600 * 1000 ||
      std::abs(d.soundOffsetMs) > 3600 * 1000) {
    throw std::invalid_argument("recording too long or intervals out of range");
  }
  if (d.faults.garbageBytes > 16 * 1024 * 1024 || d.faults.olderTailPictures > 100000) {
    throw std::invalid_argument("fault size out of range");
  }
  for (int press : d.switchPressesMs) {
    if (press < -3600 * 1000 || press > 4 * 3600 * 1000) throw std::invalid_argument("switch press out of range");
  }
  // Impossible dates are a fault to ask for, not a start: the pictures' clock runs from it.
  const LocalDateTime& t = d.start;
  if (t.year < 2000 || t.year > 2099 || AddSeconds(t, 0) != t) {
    throw std::invalid_argument("start is not a date and time the recorder can hold");
  }
  m = RecordingManifest();
  Writer(d, sink, m).Run(true, -1);
  if (d.faults.olderTailPictures > 0) {
    const RecordingDescription older = OlderTail(d);
    RecordingManifest discard;
    m.olderTailOffset = sink.position();
    m.olderTailId = older.archiveId;
    Writer(older, sink, discard).Run(false, d.faults.olderTailPictures);
  }
  m.fileSize = sink.position();
  if (d.faults.truncateLastBlockBytes > 0 && m.fileSize > archive::kHeaderAreaSize) {
    m.truncatedBytes = std::min<uint64_t>(static_cast<uint64_t>(d.faults.truncateLastBlockBytes), kBlockSize - 1);
    m.fileSize -= m.truncatedBytes;
  }
}

}  // namespace

uint64_t HashBytes(const uint8_t* data, size_t size) {
  uint64_t h = 0xCBF29CE484222325ull;
  for (size_t i = 0; i < size; ++i) {
    h ^= data[i];
    h *= 0x100000001B3ull;
  }
  return h;
}

std::vector<uint8_t> BuildRecording(const RecordingDescription& description, RecordingManifest* manifest) {
  std::vector<uint8_t> bytes;
  RecordingManifest local;
  RecordingManifest& m = manifest ? *manifest : local;
  VectorSink sink(bytes);
  Generate(description, sink, m);
  bytes.resize(static_cast<size_t>(m.fileSize));
  return bytes;
}

RecordingManifest WriteRecording(const RecordingDescription& description, const std::wstring& path) {
  RecordingManifest m;
  {
    FileSink sink(path);
    try {
      Generate(description, sink, m);
      sink.Close();
    } catch (...) {
      // No half-written archive is left behind.
      sink.Discard();
      std::error_code ignored;
      std::filesystem::remove(std::filesystem::path(path), ignored);
      throw;
    }
  }
  if (m.truncatedBytes > 0) {
    std::error_code error;
    std::filesystem::resize_file(std::filesystem::path(path), m.fileSize, error);
    if (error) throw std::runtime_error("cannot shorten " + ToUtf8(path));
  }
  return m;
}

}  // namespace recsim
