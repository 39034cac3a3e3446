#pragma once
// Pages painted into a PDF by Qt's own PDF writer, one unit a point; the texts in the desktop's
// sans serif (Liberation Sans, as wide as Arial).

#include <string>
#include <vector>

#include "toolkit/paper_pages.h"
#include "toolkit/status.h"

namespace quiz {

// The widths of texts as WritePaperPdf paints them.
MeasureText PdfTextMeasure();

// Paints `pages`, each `width` x `height` points, into a PDF titled `title` and writes it whole to
// `file` through the safe replace: a PDF that cannot be written leaves the file as it was and
// says which file and why.
Status WritePaperPdf(const std::vector<PaperPage>& pages, double width, double height, const std::string& title,
                     const std::string& file);

}  // namespace quiz
