#pragma once
// Helpers of the window tests: the seams answered, and windows driven from inside their loops.

#include <QAccessible>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/messages.h"
#include "toolkit/gui/file_dialog.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/programs.h"

namespace quiz::testing {

// Installs the message, file-dialog and launch seams for one test and removes them afterwards.
class Seams {
 public:
  Seams();
  ~Seams();

  MessageLog messages;
  std::vector<LaunchRequest> launches;
  int launch_result = 33;
  // Each file dialog takes the next answer: the chosen name, or nullopt for Cancel.
  std::vector<std::pair<bool, std::string>> dialog_answers;
  std::vector<std::string> dialog_starts;  // the names the dialogs started from
};

// Runs `step` once the window of class `class_name` is shown and active (from inside its own
// loop), so that the step's focus and keys reach it.
void WhenShown(const QString& class_name, std::function<void(QWidget*)> step);

// Makes the shown `window` the active one and returns once it is (false when it is hidden).
bool WaitActive(QWidget* window);

// The top-level window of class `class_name` that is visible now, if any.
QWidget* VisibleWindow(const QString& class_name);

// Saves the window as a PNG under $QUIZ_SHOTS when that is set (to look at it).
void SaveShot(QWidget* window, const std::string& name);


// What a screen reader finds.
// The first item under `root` (depth first) with that role and name, or null.
QAccessibleInterface* FindAccessible(QAccessibleInterface* root, QAccessible::Role role, const QString& name);
QAccessibleInterface* FindAccessible(QWidget* window, QAccessible::Role role, const QString& name);
// The names of the static texts under `window`, in the reader's order.
std::vector<std::string> ReadTexts(QWidget* window);
// The controls of `window` that take the focus with Tab and that a reader would find without a
// name (a combo box: without a description or label), as "class at x,y".
std::vector<std::string> UnnamedControls(QWidget* window);
// The controls of `window` that take the focus with Tab and that Tab, pressed round the window
// from where the focus is, never reaches, as "class at x,y".
std::vector<std::string> ControlsNotReachedByTab(QWidget* window);
// The entries of `window`'s menu bar that Alt with their access key does not reach, by title:
// no access key, one that another entry has too, or a menu that does not open with it.
std::vector<std::string> MenusNotReachedByKeys(QWidget* window);

}  // namespace quiz::testing
