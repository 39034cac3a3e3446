#pragma once
// What the test engine asks of the runner's window. The window draws from the engine's state
// (items, marks, results) whenever it is asked to; the engine never draws itself.

#include <cstdint>
#include <string>

#include "toolkit/messages.h"

namespace quiz {

class RunnerScreen : public Messages {
 public:
  // The window's title.
  virtual void SetWindowTitle(const std::string& title) = 0;
  // The title line over the answer sheet.
  virtual void DrawHeader() = 0;
  // The answer sheet, every bubble from the marks.
  virtual void DrawSheet() = 0;
  // One bubble of the sheet, filled or empty. `position` is the letter position, 1..4.
  virtual void DrawBubble(uint16_t question, uint16_t position, bool filled) = 0;
  // The right and wrong signs beside the sheet's rows.
  virtual void DrawSolutions() = 0;
  // The question area from the first visible question.
  virtual void DrawQuestions() = 0;
  // The scroll range becomes 0..count, its position 0, and the first visible question 0.
  virtual void ResetScroll(uint16_t count) = 0;
  // The first visible question becomes 0; the scroll bar keeps its position.
  virtual void ShowFromFirstQuestion() = 0;
  // The correction button: shown or hidden, and its text.
  virtual void SetCorrectionButton(bool visible, const std::string& text) = 0;
  // The clock's boxes and its start button.
  virtual void SetElapsedText(const std::string& text) = 0;
  virtual void SetEndText(const std::string& text) = 0;
  virtual void SetTimeText(const std::string& text) = 0;
  virtual void ShowStartButton() = 0;
};

// A screen that draws nothing and answers every box with OK: for measurements, and a base for
// test screens that record only what they need.
class QuietRunnerScreen : public RunnerScreen {
 public:
  int Message(const std::string&, const std::string&, uint32_t) override { return kIdOk; }
  void SetWindowTitle(const std::string&) override {}
  void DrawHeader() override {}
  void DrawSheet() override {}
  void DrawBubble(uint16_t, uint16_t, bool) override {}
  void DrawSolutions() override {}
  void DrawQuestions() override {}
  void ResetScroll(uint16_t) override {}
  void ShowFromFirstQuestion() override {}
  void SetCorrectionButton(bool, const std::string&) override {}
  void SetElapsedText(const std::string&) override {}
  void SetEndText(const std::string&) override {}
  void SetTimeText(const std::string&) override {}
  void ShowStartButton() override {}
};

}  // namespace quiz
