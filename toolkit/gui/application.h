#pragma once
// Start-up shared by the three programs' windows.

#include <QApplication>

#include <memory>

namespace quiz {

// False, after one clear line on standard error, when no display can be reached: Qt would
// otherwise abort.
bool DisplayAvailable(const char* program);

// Loads Qt's own Catalan texts for its standard buttons and dialogs, the Tahoma that Wine ships,
// and the small control font the fixed layouts are made for.
void PrepareApplication(QApplication& app);

}  // namespace quiz
