#include "DriveProfile.h"

#include <algorithm>
#include <cmath>

namespace recsim {
namespace {

constexpr double kPi = 3.14159265358979323846;

// 0 .. 1 .. 0 over the manoeuvre, smooth at both ends.
double Bell(double ms, const Manoeuvre& m) {
  if (m.durationMs <= 0 || ms < m.atMs || ms > m.atMs + m.durationMs) return 0;
  const double s = std::sin(kPi * (ms - m.atMs) / m.durationMs);
  return s * s;
}

// Fraction 0 .. 1 of the manoeuvre's integral reached at `ms`.
double Progress(double ms, const Manoeuvre& m) {
  if (ms <= m.atMs || m.durationMs <= 0) return 0;
  if (ms >= m.atMs + m.durationMs) return 1;
  const double t = (ms - m.atMs) / m.durationMs;
  return t - std::sin(2 * kPi * t) / (2 * kPi);
}

}  // namespace

DriveProfile::DriveProfile(const RecordingDescription& d) : cruise_(d.cruiseSpeedKmh), seed_(d.seed) {
  if (!d.manoeuvres.empty()) {
    manoeuvres_ = d.manoeuvres;
  } else if (d.defaultManoeuvres && d.durationMs > 0) {
    const int span = d.durationMs;
    const int unit = std::max(200, std::min(span / 6, 2500));
    const double side = (d.seed & 1) ? 1.0 : -1.0;
    manoeuvres_.push_back({Manoeuvre::Kind::Bump, span * 12 / 100, unit / 3, 0.35});
    manoeuvres_.push_back({Manoeuvre::Kind::Braking, span * 30 / 100, unit, 0.55});
    manoeuvres_.push_back({Manoeuvre::Kind::Cornering, span * 55 / 100, unit * 3 / 2, 0.4 * side});
    manoeuvres_.push_back({Manoeuvre::Kind::Cornering, span * 78 / 100, unit, -0.3 * side});
  }
}

DriveSample DriveProfile::At(double ms) const {
  DriveSample s;
  const double t = ms / 1000.0;
  const double phase = (seed_ % 97) * 0.37;
  double speed = cruise_ + 0.18 * cruise_ * std::sin(2 * kPi * t / 23.0 + phase) +
                 0.08 * cruise_ * std::sin(2 * kPi * t / 7.0 + 2 * phase);
  // Gentle acceleration and deceleration that follow the speed's slope.
  const double slope = (0.18 * cruise_ * 2 * kPi / 23.0 * std::cos(2 * kPi * t / 23.0 + phase) +
                        0.08 * cruise_ * 2 * kPi / 7.0 * std::cos(2 * kPi * t / 7.0 + 2 * phase)) /
                       3.6 / 9.81;
  s.gx = slope;
  s.curve = 0.15 * std::sin(2 * kPi * t / 31.0 + phase);
  s.leadGapM = 28 + 8 * std::sin(2 * kPi * t / 13.0 + phase);
  for (const Manoeuvre& m : manoeuvres_) {
    const double bell = Bell(ms, m);
    switch (m.kind) {
      case Manoeuvre::Kind::Braking: {
        // The integral of a sin² bell over D ms is D/2; the speed lost is peak × g × D/2.
        const double lost = std::fabs(m.peakG) * 9.81 * (m.durationMs / 1000.0) / 2 * 3.6;
        const double after = ms - (m.atMs + m.durationMs);
        const double recover = after > 0 ? std::max(0.0, 1.0 - after / 6000.0) : 1.0;
        speed -= lost * Progress(ms, m) * recover;
        s.gx -= std::fabs(m.peakG) * bell;
        s.leadGapM -= 14 * Progress(ms, m) * recover;
        break;
      }
      case Manoeuvre::Kind::Cornering:
        s.gy += m.peakG * bell;
        s.curve += (m.peakG >= 0 ? 1 : -1) * std::min(1.0, std::fabs(m.peakG) * 2) * bell;
        break;
      case Manoeuvre::Kind::Bump:
        s.gz += m.peakG * std::sin(2 * kPi * (ms - m.atMs) / std::max(1, m.durationMs) * 2) * (bell > 0 ? 1 : 0);
        break;
    }
  }
  s.speedKmh = std::max(0.0, speed);
  s.curve = std::max(-1.0, std::min(1.0, s.curve));
  return s;
}

int16_t DriveProfile::ToRaw(double g) {
  const double raw = std::round(g * 4096.0);
  return static_cast<int16_t>(std::max(-32768.0, std::min(32767.0, raw)));
}

}  // namespace recsim
