#include "tests/support/gui.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
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

QAccessibleInterface* FindAccessible(QAccessibleInterface* root, QAccessible::Role role, const QString& name) {
  if (root == nullptr) return nullptr;
  if (root->role() == role && root->text(QAccessible::Name) == name) return root;
  for (int i = 0; i < root->childCount(); ++i) {
    if (QAccessibleInterface* found = FindAccessible(root->child(i), role, name)) return found;
  }
  return nullptr;
}

QAccessibleInterface* FindAccessible(QWidget* window, QAccessible::Role role, const QString& name) {
  return FindAccessible(QAccessible::queryAccessibleInterface(window), role, name);
}

namespace {
void CollectTexts(QAccessibleInterface* item, std::vector<std::string>* texts) {
  if (item == nullptr) return;
  if (item->role() == QAccessible::StaticText) texts->push_back(item->text(QAccessible::Name).toStdString());
  for (int i = 0; i < item->childCount(); ++i) CollectTexts(item->child(i), texts);
}
}  // namespace

std::vector<std::string> ReadTexts(QWidget* window) {
  std::vector<std::string> texts;
  CollectTexts(QAccessible::queryAccessibleInterface(window), &texts);
  return texts;
}

namespace {
// The controls that Tab stops at: not the parts of a compound control (an editable box's line,
// a list's viewport), which are not reached on their own.
std::vector<QWidget*> TabStops(QWidget* window, bool enabled_only) {
  std::vector<QWidget*> stops;
  for (QWidget* control : window->findChildren<QWidget*>()) {
    if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisibleTo(window) || control->window() != window) continue;
    if (enabled_only && !control->isEnabled()) continue;
    bool part = false;
    for (QWidget* up = control->parentWidget(); up != nullptr && up != window; up = up->parentWidget()) {
      if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up) || qobject_cast<QAbstractItemView*>(up)) part = true;
    }
    if (!part) stops.push_back(control);
  }
  return stops;
}

std::string Where(QWidget* control) {
  return std::string(control->metaObject()->className()) + " at " + std::to_string(control->x()) + "," + std::to_string(control->y());
}
}  // namespace

std::vector<std::string> ControlsNotReachedByTab(QWidget* window) {
  if (!WaitActive(window)) return {"the window does not take the keyboard"};
  std::vector<QWidget*> stops = TabStops(window, true);
  const size_t presses = 2 * stops.size() + 2;
  QWidget* start = QApplication::focusWidget();
  // Round the window forwards, then backwards from the same place (a window may give Tab a
  // meaning of its own in some fields: Shift+Tab still goes round).
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
    if (start != nullptr) start->setFocus(Qt::OtherFocusReason);
    for (size_t i = 0; i < presses && QApplication::focusWidget() != nullptr; ++i) {
      QWidget* focus = QApplication::focusWidget();
      std::erase_if(stops, [&](QWidget* stop) {
        // Of a group of exclusive radio buttons, Tab stops at the one checked; the arrows choose.
        const bool grouped = qobject_cast<QRadioButton*>(stop) && qobject_cast<QRadioButton*>(focus) &&
                             stop->parentWidget() == focus->parentWidget() && qobject_cast<QRadioButton*>(stop)->autoExclusive();
        return stop == focus || stop->isAncestorOf(focus) || grouped;
      });
      QTest::keyClick(focus, key);
    }
  }
  std::vector<std::string> missed;
  for (QWidget* stop : stops) missed.push_back(Where(stop));
  return missed;
}

std::vector<std::string> UnnamedControls(QWidget* window) {
  std::vector<std::string> unnamed;
  for (QWidget* control : TabStops(window, false)) {
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(control);
    const bool labelled = item != nullptr && !item->relations(QAccessible::Label).isEmpty();
    const bool named = qobject_cast<QComboBox*>(control) != nullptr
                           ? !control->accessibleDescription().isEmpty()
                           : item != nullptr && !item->text(QAccessible::Name).trimmed().isEmpty();
    if (!named && !labelled) unnamed.push_back(Where(control));
  }
  return unnamed;
}

std::vector<std::string> MenusNotReachedByKeys(QWidget* window) {
  std::vector<std::string> missed;
  QMenuBar* bar = window->findChild<QMenuBar*>();
  if (bar == nullptr || !WaitActive(window)) return {"no menu bar, or the window does not take the keyboard"};
  std::vector<int> keys;
  for (QAction* entry : bar->actions()) {
    if (entry->isSeparator()) continue;
    const QKeySequence mnemonic = QKeySequence::mnemonic(entry->text());
    const int key = mnemonic.isEmpty() ? 0 : mnemonic[0].key();
    keys.push_back(key);
  }
  size_t n = 0;
  for (QAction* entry : bar->actions()) {
    if (entry->isSeparator()) continue;
    const int key = keys[n++];
    const std::string title = entry->text().toStdString();
    if (key == 0 || std::count(keys.begin(), keys.end(), key) > 1) {
      missed.push_back(title);
      continue;
    }
    if (entry->menu() == nullptr) continue;  // a command on the bar itself: its key runs it
    QTest::keyClick(window, static_cast<Qt::Key>(key), Qt::AltModifier);
    QWidget* opened = QApplication::activePopupWidget();
    if (opened != entry->menu()) missed.push_back(title);
    if (opened != nullptr) opened->close();
    if (entry->menu()->isVisible()) entry->menu()->close();
  }
  return missed;
}

}  // namespace quiz::testing
