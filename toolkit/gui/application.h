#pragma once
// Start-up shared by the three programs' windows.

#include <QApplication>

#include <memory>

class QPainter;
class QRect;

namespace quiz {

// The application of a windowed program, ready to show windows: Qt's Catalan texts, the fonts and
// the control font loaded. When no display can be reached (none set, or one that does not
// answer), one clear Catalan line goes to standard error and the result is null: the program
// then exits with 1, where Qt alone would abort with several lines of its own. With the variable
// QUIZ_EXIT_AFTER_FIRST_FRAME set, the program ends as soon as its first window is painted (to
// time a start from outside).
std::unique_ptr<QApplication> StartApplication(const char* program, int& argc, char** argv);

// The application of a program run from a script, without windows: no display is needed, and Qt's
// own notes are kept out of standard error, where the program's one line goes.
std::unique_ptr<QGuiApplication> StartWindowlessApplication(int& argc, char** argv);

// Loads Qt's own Catalan texts for its standard buttons and dialogs, the Tahoma that Wine ships,
// and the small control font the fixed layouts are made for.
void PrepareApplication(QApplication& app);

// A group box's frame as the Fusion style draws it, in `rect` (the box less its title).
void DrawGroupFrame(QPainter* painter, const QRect& rect);
// The ring round a button that has the keyboard: two pixels of a dark blue inside its edge.
inline const QColor kFocusRing(0, 40, 140);
void DrawFocusRing(QPainter* painter, const QRect& rect);

}  // namespace quiz
