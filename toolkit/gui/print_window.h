#pragma once
// The window that prints a test, "Imprimir": what to print (the test, its answer sheet, its key),
// how many versions, the header, the penalty the key states, and where: a PDF file or a printer.

#include <functional>
#include <string>
#include <vector>

#include "toolkit/paper_pages.h"

namespace quiz {

// The pages of a choice, on pages of `width` x `height` points, with texts as wide as `measure`
// says.
using LayOutPages = std::function<std::vector<PaperPage>(const PrintChoice& choice, double width, double height,
                                                         const MeasureText& measure)>;

// Shows the window for the test named `name` (the file a PDF is proposed under), its header
// starting as `header`, and prints what it is told. True when something was printed or written.
bool ShowPrintWindow(const std::string& name, const std::string& header, const LayOutPages& lay_out);

// Tests stand in for the desktop's print dialog: the responder gets the printer's page size in
// points and says whether to print, and to where (a PDF file that the printer writes).
using PrintDialogResponder = std::function<bool(double* width, double* height, std::string* output_file)>;
void SetPrintDialogResponder(PrintDialogResponder responder);

}  // namespace quiz
