#include "manager/export_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

constexpr int kPass = 1;
constexpr int kGiveUp = 2;

class ExportOptionsWindow : public Window {
 public:
  explicit ExportOptionsWindow(ExportOptions* options)
      : Window("FDlg", {400, 200, 260, 240, true, false}, QColor(235, 234, 214)) {
    SetWinText(this, "Passar a fitxer de text");
    setWindowIcon(ResourceIcon("Ic0"));
    Add(0, new QLabel("Opcions:"), 10, 10, 260, 20);
    struct Box {
      int id;
      std::string text;
      int y, width;
      bool* flag;
    } boxes[] = {{10, W("Posar el títol"), 40, 200, &options->title},
                 {30, W("Numerar les qüestions"), 70, 200, &options->numbering},
                 {20, W("Separació entre qüestions"), 100, 220, &options->separation},
                 {40, "Incloure els comentaris", 130, 200, &options->comments}};
    for (const Box& b : boxes) {
      auto* box = Add(b.id, new QCheckBox(ToQString(b.text)), 20, b.y, b.width, 20);
      box->setChecked(*b.flag);
      flags_.push_back({box, b.flag});
    }
    auto* give_up = Add(kGiveUp, new QPushButton("Abandonar"), 26, 178, 100, 24);
    auto* pass = Add(kPass, new QPushButton("Passar"), 128, 178, 100, 24);
    connect(give_up, &QAbstractButton::clicked, this, [this] { Finish(0); });
    connect(pass, &QAbstractButton::clicked, this, [this] {
      for (const auto& [box, flag] : flags_) *flag = box->isChecked();
      Finish(1);
    });
  }

 private:
  std::vector<std::pair<QCheckBox*, bool*>> flags_;
};

}  // namespace

bool AskExportOptions(ExportOptions* options) {
  ExportOptionsWindow window(options);
  return window.RunLoop() == 1;
}

}  // namespace quiz
