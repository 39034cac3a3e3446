#include "runner/scroll_state.h"

#include <algorithm>

#include "runner/sheet_geometry.h"

namespace quiz {

bool ScrollState::OnMessage(Code code, int thumb) {
  if (++messages_ == 2) {
    messages_ = 0;
    return false;
  }
  int p = position_;
  switch (code) {
    case Code::kLineUp: p -= 1; break;
    case Code::kLineDown: p += 1; break;
    case Code::kPageUp: p -= sheet::kPageQuestions; break;
    case Code::kPageDown: p += sheet::kPageQuestions; break;
    case Code::kThumbTrack: p = thumb; break;
    case Code::kOther: break;
  }
  position_ = std::clamp(p, 0, count_);
  return true;
}

}  // namespace quiz
