#include "SoundSynth.h"

#include <cmath>

namespace recsim {
namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr int kBeepMs = 150;
constexpr double kBeepHz = 2000;
}  // namespace

SoundSynth::SoundSynth(const DriveProfile& profile, std::vector<int> beepsMs, uint32_t seed, double volume,
                       int sampleRate)
    : profile_(profile),
      beepsMs_(std::move(beepsMs)),
      noiseState_(seed * 2654435761ull + 1),
      volume_(volume),
      rate_(sampleRate) {}

std::vector<uint8_t> SoundSynth::Generate(int64_t firstSample, int count) {
  if (firstSample != nextSample_) {
    low_ = band_ = enginePhase_ = 0;
    noiseState_ = noiseState_ * 6364136223846793005ull + 1442695040888963407ull;
  }
  std::vector<uint8_t> out(count > 0 ? count : 0);
  DriveSample motion = profile_.At(static_cast<double>(firstSample) * 1000.0 / rate_);
  for (int i = 0; i < count; ++i) {
    const int64_t n = firstSample + i;
    const double ms = static_cast<double>(n) * 1000.0 / rate_;
    if (i % 256 == 0) motion = profile_.At(ms);
    // Engine: a fundamental that rises with speed, and two harmonics.
    const double engineHz = 28 + motion.speedKmh * 0.9;
    enginePhase_ += 2 * kPi * engineHz / rate_;
    if (enginePhase_ > 2 * kPi) enginePhase_ -= 2 * kPi;
    double v = 0.22 * std::sin(enginePhase_) + 0.10 * std::sin(2 * enginePhase_ + 0.5) +
               0.05 * std::sin(3 * enginePhase_ + 1.3);
    // Road noise: white noise through a state-variable filter, louder when faster.
    noiseState_ = noiseState_ * 6364136223846793005ull + 1442695040888963407ull;
    const double white = static_cast<double>(noiseState_ >> 40) / static_cast<double>(1ull << 24) * 2 - 1;
    const double f = 2 * std::sin(kPi * 600.0 / rate_);
    low_ += f * band_;
    const double high = white - low_ - 0.5 * band_;
    band_ += f * high;
    v += (0.05 + 0.004 * motion.speedKmh) * band_;
    // The switch beep.
    for (int beep : beepsMs_) {
      if (ms >= beep && ms < beep + kBeepMs) {
        v += 0.35 * (std::sin(2 * kPi * kBeepHz * (ms - beep) / 1000.0) >= 0 ? 1 : -1);
      }
    }
    v *= volume_;
    if (v > 1) v = 1;
    if (v < -1) v = -1;
    out[i] = static_cast<uint8_t>(std::lround(128 + 127 * v));
  }
  nextSample_ = firstSample + count;
  return out;
}

}  // namespace recsim
