#include "runner/sheet_geometry.h"

namespace quiz::sheet {

std::optional<Hit> HitBubble(int x, int y, int count) {
  if (x < kBubbleLeft || y < 120) return std::nullopt;
  int r = (y - 120) / kRowHeight;
  if (x > 893) r += kRowsPerColumn;  // the right column
  if (r < 1 || r > count) return std::nullopt;
  const int offset = ColumnOffset(r);
  const int c = (x - kBubbleLeft - offset) / kBubbleStep;
  const int dx = x - (kBubbleLeft + kBubbleStep * c + offset);
  const int dy = y - RowTop(r);
  if (x - kBubbleLeft - offset < 0 || c > 3) return std::nullopt;
  if (dy < 1 || dy > kBubbleHeight || dx < 1 || dx > kBubbleWidth) return std::nullopt;
  return Hit{r, c + 1};
}

}  // namespace quiz::sheet
