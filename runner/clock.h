#pragma once
// Clock values of the runner: times of day and durations in hours, minutes and seconds, and the
// source of the current time, which tests replace.

#include <cstdint>
#include <functional>
#include <string>

namespace quiz {

struct ClockValue {
  uint32_t hours = 0;  // not wrapped at 24
  uint16_t minutes = 0;
  uint16_t seconds = 0;
  bool operator==(const ClockValue&) const = default;

  static ClockValue FromSeconds(uint32_t s);
  uint32_t ToSeconds() const;
  // HH:MM:SS, every part with at least two digits.
  std::string Text() const;
};

// The local time of day as the system gives it.
struct TimeOfDay {
  uint16_t hours = 0, minutes = 0, seconds = 0, hundredths = 0;
};

using TimeSource = std::function<TimeOfDay()>;

// The system's local time.
TimeOfDay SystemTimeOfDay();

// The current time as the clock counts it: hundredths above 49 add one second, so the seconds
// can read 60.
ClockValue ClockFromTimeOfDay(const TimeOfDay& t);

// The time from `start` to `now`, both times of day; a count that passes midnight goes on
// from 24:00:00 instead of coming out negative.
ClockValue Elapsed(const ClockValue& start, const ClockValue& now);

}  // namespace quiz
