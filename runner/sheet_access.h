#pragma once
// What a screen reader sees of the runner's painted answer sheet: a table of the test's
// questions, each row "Pregunta 7" with its result once corrected, each bubble a radio button
// "resposta b" that is checked when marked. The rows and bubbles are made when a reader first
// asks for them; the window tells this object what changed, and it tells a listening reader.

#include <QAccessible>
#include <QObject>
#include <QString>

#include <map>
#include <vector>

namespace quiz {

class RunnerWindow;

class SheetAccess : public QObject {
  Q_OBJECT
 public:
  explicit SheetAccess(RunnerWindow* window);
  ~SheetAccess() override;
  RunnerWindow* window() const { return window_; }

  // The reader's item for a row (1..count) or a bubble (position 1..4), made when first asked.
  QAccessibleInterface* Row(int question);
  QAccessibleInterface* Bubble(int question, int position);

  // The window marked or cleared a bubble of `question`: a changed check is told.
  void MarkDrawn(int question);
  // The results were drawn: each row whose result changed is told.
  void ResultsDrawn();
  // The keyboard moved to `question`: its row takes the reader's focus.
  void CurrentMoved(int question);

  // The words a row adds to its name: "correcta", "incorrecta" or "en blanc" once corrected.
  QString RowResult(int question) const;

 private:
  RunnerWindow* window_;
  std::map<int, QAccessible::Id> rows_;
  std::map<int, QAccessible::Id> bubbles_;  // question * 8 + position
  std::vector<int> told_marks_;             // the marks the reader was last told, by question
  std::vector<QString> told_results_;
};

// Makes Qt ask for the sheet's interface (once per program).
void InstallSheetAccessibility();

}  // namespace quiz
