#pragma once
// Pages painted on a printer, or into a PDF by Qt's own PDF writer; the texts in the desktop's
// sans serif (Liberation Sans, as wide as Arial).

#include <string>
#include <vector>

#include "toolkit/paper_pages.h"
#include "toolkit/status.h"

class QPagedPaintDevice;

namespace quiz {

// The widths of texts, in points, as the pages are painted.
MeasureText PdfTextMeasure();

// Paints `pages` on `device`, a page each, its points scaled to the device's resolution. False
// when the device cannot be painted on.
bool PaintPaperPages(QPagedPaintDevice* device, const std::vector<PaperPage>& pages);

// Paints `pages`, each `width` x `height` points, into a PDF titled `title` and writes it whole to
// `file` through the safe replace: a PDF that cannot be written leaves the file as it was and
// says which file and why.
Status WritePaperPdf(const std::vector<PaperPage>& pages, double width, double height, const std::string& title,
                     const std::string& file);

}  // namespace quiz
