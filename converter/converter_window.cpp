#include "converter/converter_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "toolkit/cp1252.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/file_dialog.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/programs.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {

ConverterWindow::ConverterWindow()
    : Window("WindowsApp", {400, 100, 400, 220, true, false}, QColor(237, 236, 217)) {
  SetWinText(this, W("Pas qüestions en format text a .qst"));
  setWindowIcon(ResourceIcon("Ic0"));
  auto label = [](const char* text) { return new QLabel(ToQString(W(text))); };
  // Each field's label is its buddy: a screen reader names the field by it.
  Add(0, label("Fitxer de text (amb extensió)"), 10, 15, 320, 20)->setBuddy(Add(kSourceEdit, new QLineEdit, 10, 35, 350, 20));
  auto* browse_source = Add(kSourceBrowse, new QPushButton(ToQString(W("···"))), 362, 35, 28, 20);
  Add(0, label("Resp. correcta:"), 10, 64, 100, 20);
  auto* first = Add(kFirstMode, new QRadioButton(ToQString(W("La 1ª sempre"))), 120, 64, 120, 20);
  auto* marked = Add(kMarkedMode, new QRadioButton("Variable (->*)"), 250, 64, 120, 20);
  Add(0, label("Fitxer de qüestions"), 10, 100, 320, 20)->setBuddy(Add(kDestinationEdit, new QLineEdit, 10, 120, 350, 20));
  auto* browse_destination = Add(kDestinationBrowse, new QPushButton(ToQString(W("···"))), 362, 120, 28, 20);
  auto* convert = Add(kConvert, new QPushButton("Convertir"), 140, 150, 120, 28);
  auto* help = Add(kHelp, new QPushButton("?"), 320, 4, 18, 16);
  LabelControl(browse_source, "Triar el fitxer de text");
  LabelControl(browse_destination, ToQString(W("Triar el fitxer de qüestions")));
  LabelControl(help, "Ajuda");

  connect(convert, &QAbstractButton::clicked, this, [this] { Convert(); });
  connect(browse_source, &QAbstractButton::clicked, this, [this] { BrowseSource(); });
  connect(browse_destination, &QAbstractButton::clicked, this, [this] { BrowseDestination(); });
  connect(help, &QAbstractButton::clicked, this, [] { OpenDocumentOrSay("VuzeRA.txt"); });
  connect(first, &QAbstractButton::clicked, this, [this] { SetMode(CorrectAnswerMode::kFirst); });
  connect(marked, &QAbstractButton::clicked, this, [this] { SetMode(CorrectAnswerMode::kMarked); });
  ShowMode();
}

void ConverterWindow::ShowMode() {
  qobject_cast<QRadioButton*>(Control(kFirstMode))->setChecked(mode_ == CorrectAnswerMode::kFirst);
  qobject_cast<QRadioButton*>(Control(kMarkedMode))->setChecked(mode_ == CorrectAnswerMode::kMarked);
}

void ConverterWindow::SetMode(CorrectAnswerMode mode) {
  mode_ = mode;
  ShowMode();
}

void ConverterWindow::BrowseSource() {
  if (ChooseFileOpen(&source_)) SetItemText(this, kSourceEdit, source_);
}

void ConverterWindow::BrowseDestination() {
  if (ChooseFileOpen(&destination_)) SetItemText(this, kDestinationEdit, destination_);
}

void ConverterWindow::Convert() {
  source_ = GetItemText(this, kSourceEdit);
  destination_ = DestinationWithExtension(GetItemText(this, kDestinationEdit));
  if (AskYesNo(W("Confirma paràmetres conversió:"),
               ConversionConfirmText(source_, destination_, mode_)) != kIdYes) {
    return;
  }
  // The conversion shows one message itself (a block without a marked answer); every other
  // failure is told here, with its file and reason.
  struct Counted : BoxMessages {
    int Message(const std::string& caption, const std::string& text, uint32_t flags) override {
      ++shown;
      return BoxMessages::Message(caption, text, flags);
    }
    int shown = 0;
  } messages;
  ImportReport report;
  const Status status = ConvertTextFile(source_, destination_, mode_, &messages, nullptr, &report);
  // What an exchange format left out or changed follows the verdict.
  std::string told;
  for (const std::string& line : ReportLines(report)) told += "\r\n" + line;
  if (status.ok()) {
    MsgBox("Fet!", W("Conversió finalitzada") + (told.empty() ? "" : "\r\n" + told));
  } else if (messages.shown > 0) {
    MsgBox("Error", W("No Conversió"));
  } else {
    MsgBox("Error", W("No Conversió") + "\r\n\r\n" + status.caption() + ":\r\n" + status.text() + told);
  }
}

}  // namespace quiz
