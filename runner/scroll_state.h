#pragma once
// The question area's scrolling. Every user action on the scroll bar arrives as two messages (the
// action, then its end), and only every second message acts, so each action counts once.

#include <cstdint>

namespace quiz {

class ScrollState {
 public:
  enum class Code { kLineUp, kLineDown, kPageUp, kPageDown, kThumbTrack, kOther };

  // A test of `count` questions: range 0..count, position 0.
  void Reset(int count) {
    count_ = count;
    position_ = 0;
  }
  // One scroll message. Returns true when it acted (the position may still be the same).
  bool OnMessage(Code code, int thumb = 0);

  int position() const { return position_; }  // the first visible question, 0-based
  void set_position(int p) { position_ = p; }
  int count() const { return count_; }

 private:
  int count_ = 0;
  int position_ = 0;
  int messages_ = 0;
};

}  // namespace quiz
