#pragma once
// A stand-in for message boxes: records every box the code under test shows and answers it
// with the next queued button (OK when none is queued).

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "toolkit/messages.h"

namespace quiz::testing {

struct ShownMessage {
  std::string caption, text;  // Windows-1252, as the core hands them over
  uint32_t flags = 0;
  bool operator==(const ShownMessage&) const = default;
  // For readable test failures.
  friend void PrintTo(const ShownMessage& m, std::ostream* out) {
    *out << "{\"" << m.caption << "\", \"" << m.text << "\", " << m.flags << "}";
  }
};

class MessageLog {
 public:
  int Show(const std::string& caption, const std::string& text, uint32_t flags) {
    shown.push_back({caption, text, flags});
    if (answers.empty()) return kIdOk;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<ShownMessage> shown;
  std::deque<int> answers;
};

class RecordingMessages : public Messages {
 public:
  int Message(const std::string& caption, const std::string& text, uint32_t flags) override {
    return log.Show(caption, text, flags);
  }
  MessageLog log;
};

}  // namespace quiz::testing
