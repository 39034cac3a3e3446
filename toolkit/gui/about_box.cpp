#include "toolkit/gui/about_box.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>

#include <random>

#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/programs.h"
#include "toolkit/gui/window.h"
#include "toolkit/paths.h"

namespace quiz {
namespace {

const QColor kYellow(255, 255, 178);
const QColor kBlue(0, 100, 250);
const QColor kOrange(220, 100, 0);

// The year of the program's file: "<name>.exe" in the current folder where an installation
// copied from the other desktop has one, otherwise the running executable.
std::string ProgramYear() {
  QFileInfo file(QString::fromStdString(NativePath(ProgramName() + ".exe")));
  if (!file.exists()) file = QFileInfo(QCoreApplication::applicationFilePath());
  return std::to_string(file.lastModified().date().year());
}

class AboutWindow : public Window {
 public:
  AboutWindow(const std::string& description, const std::string& contact)
      : Window("FerSobre", {400, 200, 312, 240, false, false}, kYellow),
        description_(description.substr(0, 255)),
        contact_(contact.substr(0, 255)) {
    setWindowIcon(ResourceIcon("Ic0"));
    auto* button = Add(1, new QPushButton("Vist"), 122, 180, 70, 24);
    connect(button, &QAbstractButton::clicked, this, [this] { Finish(1); });
    font_.Create(this);
    font_.SetBackgroundColour(kYellow);
    font_.SetTextColour(kBlue);

    const std::string name = ProgramName();
    year_ = ProgramYear();
    SetWinText(this, "Quant a " + name + "...");
    program_name_ = name;
    DrawContents();
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<size_t> pick(0, std::size(kInterjections) - 1);
    SetItemText(this, 1, W(kInterjections[pick(random)]));
    canvas()->on_resize = [this](int, int) { DrawContents(); };
  }

 private:
  void DrawContents() {
    {
      QPainter painter(&canvas()->image());
      painter.drawPixmap(134, 80, IconPixmap("Ic0", 32));
    }
    DrawTexts();
  }

  void DrawTexts() {
    font_.SetFace("arial");
    font_.SetSize(16, 6);
    font_.SetBold(false);
    font_.SetTextColour(kOrange);
    font_.DrawText(20, 50, description_);
    font_.SetTextColour(kBlue);
    font_.DrawText(66, 130, std::string(kCreditAuthor) + " - " + year_);
    if (!contact_.empty()) font_.DrawText(66, 150, contact_);
    font_.SetFace("Comic sans ms");
    font_.SetBold(false);
    font_.SetSize(36, 16);
    font_.DrawText(60, 10, program_name_);
  }

  std::string description_, contact_, year_, program_name_;
  FontObject font_;
};

}  // namespace

void ShowAbout(const std::string& description, const std::string& contact) {
  AboutWindow window(description, contact);
  window.RunLoop();
}

}  // namespace quiz
