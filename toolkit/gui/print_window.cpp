#include "toolkit/gui/accessible.h"
#include "toolkit/gui/print_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/file_dialog.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/paper_pdf.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr int kPrint = 1;
constexpr int kExit = 2;
constexpr int kTest = 101, kSheet = 102, kKey = 103;
constexpr int kVersions = 110;
constexpr int kHeader = 120;
constexpr int kPenalty = 130;
constexpr int kToPdf = 140, kToPrinter = 141;
const QColor kBackground(236, 233, 216);
// The penalties of the runner's box, then the others it takes.
const char* const kPenalties[] = {"1/4", "1/2", "1", "0", "1/3", "1/5", "1/6", "1/7", "1/8", "1/9"};

PrintDialogResponder& Responder() {
  static PrintDialogResponder responder;
  return responder;
}

class PrintWindow : public Window {
 public:
  PrintWindow(const std::string& name, const std::string& header, const LayOutPages& lay_out)
      : Window("imprimir", {380, 60, 340, 270, false, false}, kBackground), name_(name), lay_out_(lay_out) {
    SetWinText(this, W("Imprimir ") + name);
    int y = 30;
    for (const auto& [id, text] : {std::pair{kTest, "El test"}, std::pair{kSheet, "El full de respostes"},
                                   std::pair{kKey, "La clau de respostes"}}) {
      auto* box = Add(id, new QCheckBox(ToQString(W(text))), 30, y, 200, 20);
      box->setChecked(true);
      y += 22;
    }
    auto* versions = Add(kVersions, new QComboBox, 190, 100, 50, 22);
    for (int v = 1; v <= 4; ++v) versions->addItem(QString::number(v));
    Add(kHeader, new QLineEdit, 90, 130, 230, 20);
    SetItemText(this, kHeader, header);
    auto* penalty = Add(kPenalty, new QComboBox, 190, 160, 60, 22);
    LabelControl(versions, "Versions (A, B, C, D)");
    LabelControl(Control(kHeader), QString::fromUtf8("Capçalera"));
    LabelControl(penalty, QString::fromUtf8("Penalització de la clau"));
    for (const char* p : kPenalties) penalty->addItem(p);
    auto* pdf = Add(kToPdf, new QRadioButton("Fitxer PDF"), 30, 195, 110, 20);
    Add(kToPrinter, new QRadioButton("Impressora"), 160, 195, 110, 20);
    pdf->setChecked(true);
    auto* print = Add(kPrint, new QPushButton("Imprimir"), 240, 232, 80, 22);
    auto* exit = Add(kExit, new QPushButton("Surt"), 20, 232, 70, 22);
    connect(print, &QAbstractButton::clicked, this, [this] { Print(); });
    connect(exit, &QAbstractButton::clicked, this, [this] { Finish(0); });
    DrawLabels();
  }

 private:
  void DrawLabels() {
    TextPainter& p = SharedDrawing();
    Use(canvas());
    p.SetBackgroundColour(kBackground);
    p.SetTextColour(Qt::black);
    p.DrawText(10, 10, W("Què cal imprimir:"));
    p.DrawText(10, 103, W("Versions (A, B, C, D):"));
    p.DrawText(10, 132, W("Capçalera:"));
    p.DrawText(10, 163, W("Penalització de la clau:"));
  }

  bool Ticked(int id) const { return qobject_cast<QCheckBox*>(Control(id))->isChecked(); }

  PrintChoice Choice() const {
    PrintChoice choice;
    choice.test = Ticked(kTest);
    choice.sheet = Ticked(kSheet);
    choice.key = Ticked(kKey);
    choice.versions = qobject_cast<QComboBox*>(Control(kVersions))->currentIndex() + 1;
    choice.header = GetItemText(this, kHeader);
    const std::string penalty = kPenalties[qobject_cast<QComboBox*>(Control(kPenalty))->currentIndex()];
    choice.penalty = penalty == "0" ? 0 : penalty == "1" ? 1 : penalty[2] - '0';
    return choice;
  }

  void Print() {
    const PrintChoice choice = Choice();
    if (!choice.test && !choice.sheet && !choice.key) {
      MsgBox("Res a imprimir", W("Marqueu què cal imprimir: el test, el full de respostes o la clau."));
      return;
    }
    if (qobject_cast<QRadioButton*>(Control(kToPdf))->isChecked()) {
      ToPdf(choice);
    } else {
      ToPrinter(choice);
    }
  }

  void ToPdf(const PrintChoice& choice) {
    const std::string documents = FromQString(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    std::string file = (documents.empty() ? "" : documents + "/") + name_ + ".pdf";
    if (!ChooseFileSave(&file)) return;
    const std::vector<PaperPage> pages = lay_out_(choice, kA4Width, kA4Height, PdfTextMeasure());
    if (const Status written = WritePaperPdf(pages, kA4Width, kA4Height, choice.header, file); !written.ok()) {
      ShowStatus(written);
      return;
    }
    MsgBox("Imprimir", W("S'ha escrit ") + file + " (" + IntToText(static_cast<int32_t>(pages.size())) +
                           W(" pàgines)."));
    Finish(1);
  }

  void ToPrinter(const PrintChoice& choice) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(ToQString(choice.header));
    double width = 0, height = 0;
    if (Responder()) {
      std::string output;
      QPageLayout layout = printer.pageLayout();
      width = layout.fullRect(QPageLayout::Point).width();
      height = layout.fullRect(QPageLayout::Point).height();
      if (!Responder()(&width, &height, &output)) return;
      printer.setOutputFileName(ToQString(output));
      printer.setPageSize(QPageSize(QSizeF(width, height), QPageSize::Point));
    } else {
      QPrintDialog dialog(&printer, this);
      if (dialog.exec() != QDialog::Accepted) return;
    }
    // A4, or the size the printer has: Letter in America.
    const QRectF page = printer.pageLayout().fullRect(QPageLayout::Point);
    width = page.width();
    height = page.height();
    const std::vector<PaperPage> pages = lay_out_(choice, width, height, PdfTextMeasure());
    if (!PaintPaperPages(&printer, pages)) {
      MsgBox("Error d'impressió", W("La impressora no ha acceptat el test: comproveu-la i torneu-ho a provar."));
      return;
    }
    Finish(1);
  }

  std::string name_;
  LayOutPages lay_out_;
};

}  // namespace

void SetPrintDialogResponder(PrintDialogResponder responder) { Responder() = std::move(responder); }

bool ShowPrintWindow(const std::string& name, const std::string& header, const LayOutPages& lay_out) {
  PrintWindow window(name, header, lay_out);
  return window.RunLoop() == 1;
}

}  // namespace quiz
