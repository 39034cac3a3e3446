#pragma once
// The options of the text export (class "FDlg", "Passar a fitxer de text").

#include "manager/listings.h"

namespace quiz {

// Shows the four options as `options` holds them. "Passar" stores the ticks in `options` and
// answers true; "Abandonar" or closing leaves them and answers false.
bool AskExportOptions(ExportOptions* options);

}  // namespace quiz
