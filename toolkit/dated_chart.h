#pragma once
// A chart of values over dates, as the programs draw it: series of points, each with the text
// shown when the pointer rests on it. Texts are Windows-1252.

#include <string>
#include <vector>

#include "toolkit/dates.h"

namespace quiz {

struct DatedPoint {
  Date date;
  double value = 0;
  std::string tip;
  bool operator==(const DatedPoint&) const = default;
};

struct DatedSeries {
  std::string name;
  std::vector<DatedPoint> points;  // in date order
  bool dashed = false;             // a line drawn without its points, over the others
  bool operator==(const DatedSeries&) const = default;
};

struct DatedChart {
  std::string title;
  std::string value_title;
  std::vector<DatedSeries> series;
  std::string empty_text;  // shown instead of the chart when no series has a point
  std::string note;        // shown under the chart, when not empty
};

}  // namespace quiz
