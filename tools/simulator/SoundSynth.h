#pragma once
// The recorder's microphone in a moving car: engine hum that follows the speed, road
// noise, and a short beep whenever the switch is pressed. Unsigned 8-bit mono samples.
#include <cstdint>
#include <vector>

#include "DriveProfile.h"

namespace recsim {

class SoundSynth {
 public:
  SoundSynth(const DriveProfile& profile, std::vector<int> beepsMs, uint32_t seed, double volume,
             int sampleRate);

  // The next `count` samples, starting at `firstSample` (counted from the first picture,
  // negative before it). Calls must follow each other without gaps for the noise filter
  // to stay continuous; any other call restarts it.
  std::vector<uint8_t> Generate(int64_t firstSample, int count);

 private:
  const DriveProfile& profile_;
  std::vector<int> beepsMs_;
  uint64_t noiseState_;
  double volume_;
  int rate_;
  int64_t nextSample_ = INT64_MIN;
  double low_ = 0, band_ = 0;
  double enginePhase_ = 0;
};

}  // namespace recsim
