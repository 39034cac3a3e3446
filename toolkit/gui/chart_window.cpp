#include "toolkit/gui/chart_window.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QShortcut>

#include <string_view>

#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

using Text = QString (*)(std::string_view);
using MakeView = QWidget* (*)(const DatedChart*, Text);

QString Cp1252Text(std::string_view text) { return ToQString(text); }

// The module's entry, looked for where it is installed (beside the programs' folder) and where
// it was built; null, with the reason, when it is in neither.
MakeView LoadModule(QString* reason) {
  static MakeView make = nullptr;
  if (make) return make;
  const QStringList places = {QCoreApplication::applicationDirPath() + "/" QUIZ_CHART_MODULE_INSTALLED,
                              QUIZ_CHART_MODULE_BUILT};
  for (const QString& place : places) {
    QLibrary module(place);
    if (module.load()) {
      make = reinterpret_cast<MakeView>(module.resolve("quiz_make_chart_view"));
      if (make) return make;
    }
    *reason = module.errorString();
  }
  return nullptr;
}

}  // namespace

void ShowDatedChart(const DatedChart& chart) {
  QString reason;
  const MakeView make = LoadModule(&reason);
  if (!make) {
    MsgBoxFlags(W("Gràfic no disponible"), W("No s'ha pogut carregar el mòdul dels gràfics: ") + FromQString(reason),
                kMbOk | kMbIconExclamation);
    return;
  }
  Window window("Grafic", {120, 60, 780, 560, true, false}, QColor(236, 233, 216));
  // A second chart is never shown: the one open comes to the front.
  if (!Window::LoopRunning("Grafic")) {
    SetWinText(&window, chart.title);
    QWidget* view = make(&chart, &Cp1252Text);
    view->setParent(window.canvas());
    window.SetArrangement([view](int width, int height) { view->setGeometry(0, 0, width, height); });
    // The window has no button: Escape closes it without a mouse.
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    QObject::connect(close, &QShortcut::activated, &window, &QWidget::close);
  }
  window.RunLoop();
}

}  // namespace quiz
