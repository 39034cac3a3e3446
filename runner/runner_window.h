#pragma once
// quizrun's window (class "quizrun"): the question area, the answer sheet, the clock and the
// menu, over the test engine.

#include <QTimer>

#include <random>
#include <string>

#include "data/generated_tests.h"
#include "data/info_file.h"
#include "runner/clock.h"
#include "runner/runner_screen.h"
#include "runner/scroll_state.h"
#include "runner/test_engine.h"
#include "toolkit/gui/window.h"

class QAction;
class QScrollBar;

namespace quiz {

class AccessiblePart;
class SheetAccess;

struct RunnerOptions {
  std::string argument;  // a generated test's file name within Generats, or empty (UTF-8)
  Date day;              // the day the runner started
  uint32_t seed = 0;     // for the answer orders
  TimeSource now = SystemTimeOfDay;
};

class RunnerWindow : public Window, public RunnerScreen {
 public:
  // Control and command numbers.
  static constexpr int kCorrection = 20;
  static constexpr int kTopicResults = 21;
  static constexpr int kStart = 25;
  static constexpr int kScroll = 30;
  static constexpr int kTime = 50;
  static constexpr int kElapsed = 55;
  static constexpr int kEnd = 56;
  static constexpr int kPenalty = 58;
  static constexpr int kOpenTest = 60;
  static constexpr int kExport = 62;
  static constexpr int kMistakes = 63;
  static constexpr int kReview = 64;
  static constexpr int kExit = 2;
  static constexpr int kHistory = 65;
  static constexpr int kChart = 66;
  static constexpr int kTopicChart = 67;
  static constexpr int kPrint = 68;
  static constexpr int kInfo = 80;
  static constexpr int kAbout = 81;

  // Reads Zive.cf (telling the user when it is missing), builds the window and loads the test
  // named by the argument.
  explicit RunnerWindow(const RunnerOptions& options);
  ~RunnerWindow() override;

  TestEngine& engine() { return engine_; }
  const ScrollState& scroll() const { return scroll_; }
  // A menu command or button by its number.
  void Command(int id);
  // A left click on the client area.
  void Click(int x, int y);
  // Marks (or clears) answer `position` of question k, as a click on its bubble does.
  void Answer(int k, int position);
  // What a screen reader reads of the question area: the current question and its answers as
  // shown (and, once corrected, which one was right), and of the clock: the time left.
  QString QuestionReading();
  QString ClockReading() const;
  // A scroll-bar message.
  void Scroll(ScrollState::Code code, int thumb = 0);
  // A key pressed where no control takes it (Qt's key code and modifiers); true when it acted.
  bool Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // The question that the keyboard answers (1..count), 0 without a test.
  int current() const { return current_; }
  QAction* action(int id) const;

  // RunnerScreen.
  int Message(const std::string& caption, const std::string& text, uint32_t flags) override;
  void SetWindowTitle(const std::string& title) override;
  void DrawHeader() override;
  void DrawSheet() override;
  void DrawBubble(uint16_t question, uint16_t position, bool filled) override;
  void DrawSolutions() override;
  void DrawQuestions() override;
  void ResetScroll(uint16_t count) override;
  void ShowFromFirstQuestion() override;
  void SetCorrectionButton(bool visible, const std::string& text) override;
  void SetElapsedText(const std::string& text) override;
  void SetEndText(const std::string& text) override;
  void SetTimeText(const std::string& text) override;
  void ShowStartButton() override;

  void DrawAll();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Makes question k the current one (within the test), scrolls it into view and redraws.
  void SetCurrent(int k);
  void BuildMenu();
  void BuildControls();
  void UpdateMenu();
  void ChooseTest();
  void Export();
  void RepeatMistakes();
  void DrawReview();
  void PrintTest();
  // Loads a test just written, with the clock reset.
  void TakeAtOnce(const GeneratedTestEntry& entry);
  void ShowTopicResults();
  void ShowHistory();
  void ShowChart();
  void ShowTopicChart();
  void OpenInfo();
  void DrawClockLabels();

  InfoFile info_;
  Date day_;
  std::mt19937 review_random_;
  TestEngine engine_;
  ScrollState scroll_;
  GeneratedTestEntry chosen_;  // the list's entry of the test on screen
  bool has_chosen_ = false;
  QTimer timer_;
  QScrollBar* scroll_bar_ = nullptr;
  std::map<int, QAction*> actions_;
  int header_draws_ = 0;  // how many times the header was drawn
  int current_ = 0;
  SheetAccess* sheet_access_ = nullptr;
  AccessiblePart* question_area_ = nullptr;
};

}  // namespace quiz
