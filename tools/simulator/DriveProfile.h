#pragma once
// The vehicle's motion over a simulated drive: speed, the G-sensor's three axes and the
// bend of the road, as smooth functions of the time since the first picture.
#include <cstdint>
#include <vector>

#include "RecorderSimulator.h"

namespace recsim {

struct DriveSample {
  double speedKmh = 0;
  double gx = 0;       // longitudinal, G (negative while braking)
  double gy = 0;       // lateral, G
  double gz = 1.0;     // vertical, G (gravity)
  double curve = 0;    // -1 .. 1, the bend the camera sees
  double leadGapM = 30;
};

class DriveProfile {
 public:
  DriveProfile(const RecordingDescription& description);

  // The smooth motion at `ms` after the first picture (no sensor noise).
  DriveSample At(double ms) const;

  // The manoeuvres in effect: the description's, or a default set spread over the drive.
  const std::vector<Manoeuvre>& manoeuvres() const { return manoeuvres_; }

  // Raw sensor value of `g` (4096 per G), limited to the 16-bit range.
  static int16_t ToRaw(double g);

 private:
  double cruise_;
  uint32_t seed_;
  std::vector<Manoeuvre> manoeuvres_;
};

}  // namespace recsim
