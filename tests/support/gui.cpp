#include "tests/support/gui.h"

#include <QApplication>
#include <QPixmap>

#include <cstdlib>

namespace quiz::testing {

Seams::Seams() {
  SetMessageResponder([this](const std::string& caption, const std::string& text, uint32_t flags) {
    return messages.Show(caption, text, flags);
  });
  SetLaunchRecorder([this](const LaunchRequest& request) {
    launches.push_back(request);
    return launch_result;
  });
  SetFileDialogResponder([this](std::string* name, bool) {
    dialog_starts.push_back(*name);
    if (dialog_answers.empty()) return false;
    const auto [confirmed, chosen] = dialog_answers.front();
    dialog_answers.erase(dialog_answers.begin());
    if (confirmed) *name = chosen;
    return confirmed;
  });
}

Seams::~Seams() {
  SetMessageResponder(nullptr);
  SetLaunchRecorder(nullptr);
  SetFileDialogResponder(nullptr);
}

QWidget* VisibleWindow(const QString& class_name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == class_name && w->isVisible()) return w;
  }
  return nullptr;
}

void WhenShown(const QString& class_name, std::function<void(QWidget*)> step) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, class_name, step = std::move(step)] {
    QWidget* w = VisibleWindow(class_name);
    if (w == nullptr) return;
    // Focus and keys go to the active window only: the step waits until this one is, however
    // long a busy machine takes to get there.
    if (!w->isActiveWindow()) {
      w->activateWindow();
      return;
    }
    timer->stop();
    timer->deleteLater();
    step(w);
  });
  timer->start();
}

bool WaitActive(QWidget* window) {
  window->activateWindow();
  while (!window->isActiveWindow()) {
    if (!window->isVisible()) return false;
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    window->activateWindow();
  }
  return true;
}

void SaveShot(QWidget* window, const std::string& name) {
  const char* folder = std::getenv("QUIZ_SHOTS");
  if (folder == nullptr || *folder == '\0') return;
  window->grab().save(QString::fromStdString(std::string(folder) + "/" + name + ".png"));
}

}  // namespace quiz::testing
