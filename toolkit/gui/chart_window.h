#pragma once
// The chart window: a DatedChart drawn with Qt Charts. The charts library and what it needs are
// loaded the first time a chart is shown, so that no program waits for them at its start.

#include "toolkit/dated_chart.h"

namespace quiz {

// Shows the chart in its own window and returns when that is closed. When the charting module
// cannot be loaded, says so in a message box.
void ShowDatedChart(const DatedChart& chart);

}  // namespace quiz
