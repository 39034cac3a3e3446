#include "runner/clock.h"

#include <sys/time.h>

#include <ctime>

#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr uint32_t kDay = 24 * 3600;

}  // namespace

ClockValue ClockValue::FromSeconds(uint32_t s) {
  return ClockValue{s / 3600, static_cast<uint16_t>((s % 3600) / 60), static_cast<uint16_t>(s % 60)};
}

uint32_t ClockValue::ToSeconds() const { return hours * 3600 + minutes * 60u + seconds; }

std::string ClockValue::Text() const {
  return TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(seconds);
}

TimeOfDay SystemTimeOfDay() {
  timeval tv{};
  gettimeofday(&tv, nullptr);
  const time_t now = tv.tv_sec;
  tm local{};
  localtime_r(&now, &local);
  return TimeOfDay{static_cast<uint16_t>(local.tm_hour), static_cast<uint16_t>(local.tm_min),
                   static_cast<uint16_t>(local.tm_sec), static_cast<uint16_t>(tv.tv_usec / 10000)};
}

ClockValue ClockFromTimeOfDay(const TimeOfDay& t) {
  ClockValue c{t.hours, t.minutes, t.seconds};
  if (t.hundredths > 49) ++c.seconds;
  return c;
}

ClockValue Elapsed(const ClockValue& start, const ClockValue& now) {
  const uint32_t from = start.ToSeconds();
  uint32_t to = now.ToSeconds();
  // Times of day only: a smaller "now" means midnight has passed (once per day counted).
  while (to < from) to += kDay;
  return ClockValue::FromSeconds(to - from);
}

}  // namespace quiz
