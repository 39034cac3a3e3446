#include "toolkit/gui/controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QValidator>

#include <algorithm>

#include "toolkit/gui/qt_text.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

QListWidget* List(const Window* dialog, int id) { return qobject_cast<QListWidget*>(dialog->Control(id)); }
QComboBox* Combo(const Window* dialog, int id) { return qobject_cast<QComboBox*>(dialog->Control(id)); }

// Refuses a text holding a character that Windows-1252 has not, and keeps what it refused for
// the tip.
class StorableValidator : public QValidator {
 public:
  explicit StorableValidator(QObject* parent) : QValidator(parent) {}
  State validate(QString& input, int&) const override {
    refused_ = NotStorable(input);
    return refused_.isEmpty() ? Acceptable : Invalid;
  }
  const QString& refused() const { return refused_; }

 private:
  mutable QString refused_;
};

}  // namespace

QString RefusedCharactersTip(const QString& refused) {
  QString quoted;
  for (const uint cp : refused.toUcs4()) {
    if (!quoted.isEmpty()) quoted += ", ";
    quoted += QString::fromUtf8("«") + QString::fromUcs4(reinterpret_cast<const char32_t*>(&cp), 1) +
              QString::fromUtf8("»");
  }
  return QString::fromUtf8("Els fitxers de dades no poden guardar ") + quoted +
         QString::fromUtf8(": només hi caben els caràcters de Windows-1252.");
}

// The tip under a field that refused characters: a label inside the field's window (a tool tip
// of the desktop would go at the release of the very key that brought it), gone after a while,
// at the field's next edit or when the field loses the focus.
class RefusedTip : public QLabel {
 public:
  using QLabel::QLabel;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) hide();
    return false;
  }
};

void ShowRefusedTip(QLineEdit* line, const QString& refused) {
  QWidget* window = line->window();
  auto* tip = window->findChild<RefusedTip*>(kRefusedTipName, Qt::FindDirectChildrenOnly);
  if (tip == nullptr) {
    tip = new RefusedTip(window);
    tip->setObjectName(kRefusedTipName);
    tip->setForegroundRole(QPalette::ToolTipText);
    tip->setBackgroundRole(QPalette::ToolTipBase);
    tip->setAutoFillBackground(true);
    tip->setFrameShape(QFrame::Box);
    tip->setMargin(3);
    auto* timer = new QTimer(tip);
    timer->setObjectName("hide");
    timer->setSingleShot(true);
    timer->setInterval(6000);
    QObject::connect(timer, &QTimer::timeout, tip, &QWidget::hide);
  }
  tip->setText(RefusedCharactersTip(refused));
  // One line when the window is wide enough, else as many as its width needs.
  tip->setWordWrap(false);
  const int width = std::min(tip->sizeHint().width(), window->width());
  tip->setWordWrap(true);
  tip->resize(width, tip->heightForWidth(width));
  QPoint at = line->mapTo(window, QPoint(0, line->height() + 2));
  if (at.y() + tip->height() > window->height()) at.setY(line->mapTo(window, QPoint(0, 0)).y() - tip->height() - 2);
  at.setX(std::max(0, std::min(at.x(), window->width() - tip->width())));
  tip->move(at);
  tip->raise();
  tip->show();
  tip->findChild<QTimer*>("hide")->start();
  QObject::connect(line, &QLineEdit::textEdited, tip, &QWidget::hide, Qt::UniqueConnection);
  line->installEventFilter(tip);
}

void AcceptOnlyStorable(QLineEdit* line) {
  if (line == nullptr || dynamic_cast<const StorableValidator*>(line->validator()) != nullptr) return;
  auto* validator = new StorableValidator(line);
  line->setValidator(validator);
  QObject::connect(line, &QLineEdit::inputRejected, line, [line, validator] {
    if (!validator->refused().isEmpty()) ShowRefusedTip(line, validator->refused());
  });
}

void SetWinText(QWidget* w, const std::string& text) {
  if (w == nullptr) return;
  const QString q = ToQString(Shown(text));
  if (w->isWindow()) {
    w->setWindowTitle(q);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    edit->setText(q);
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
    plain->setPlainText(q);
  } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
    rich->setPlainText(q);
  } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
    button->setText(q);
  } else if (auto* label = qobject_cast<QLabel*>(w)) {
    label->setText(q);
  } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
    group->setTitle(q);
  } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) {
    combo->setEditText(q);
  }
}

std::string GetWinText(const QWidget* w) {
  QString q;
  if (w == nullptr) return std::string();
  if (w->isWindow()) {
    q = w->windowTitle();
  } else if (auto* edit = qobject_cast<const QLineEdit*>(w)) {
    q = edit->text();
  } else if (auto* plain = qobject_cast<const QPlainTextEdit*>(w)) {
    q = plain->toPlainText();
  } else if (auto* rich = qobject_cast<const QTextEdit*>(w)) {
    q = rich->toPlainText();
  } else if (auto* button = qobject_cast<const QAbstractButton*>(w)) {
    q = button->text();
  } else if (auto* label = qobject_cast<const QLabel*>(w)) {
    q = label->text();
  } else if (auto* group = qobject_cast<const QGroupBox*>(w)) {
    q = group->title();
  } else if (auto* combo = qobject_cast<const QComboBox*>(w)) {
    q = combo->currentText();
  }
  return std::string(Shown(FromQString(q)));
}

void AppendWinText(QWidget* w, const std::string& text) { SetWinText(w, GetWinText(w) + text); }

void SetItemText(const Window* dialog, int id, const std::string& text) { SetWinText(dialog->Control(id), text); }
std::string GetItemText(const Window* dialog, int id) { return GetWinText(dialog->Control(id)); }

int32_t GetItemInt(const Window* dialog, int id, bool* error) {
  int32_t value = 0;
  *error = !ItemTextToInt(GetItemText(dialog, id), &value);
  return value;
}

QWidget* GetItem(const Window* dialog, int id) { return dialog->Control(id); }
void ShowItem(const Window* dialog, int id) {
  if (QWidget* w = dialog->Control(id)) w->show();
}
void HideItem(const Window* dialog, int id) {
  if (QWidget* w = dialog->Control(id)) w->hide();
}

void ListClear(const Window* dialog, int id) {
  if (auto* l = List(dialog, id)) l->clear();
}
int ListCount(const Window* dialog, int id) {
  auto* l = List(dialog, id);
  return l ? l->count() : 0;
}
void ListSelect(const Window* dialog, int id, int i) {
  auto* l = List(dialog, id);
  if (!l) return;
  l->clearSelection();
  if (i >= 1 && i <= l->count()) {
    l->item(i - 1)->setSelected(true);
    l->setCurrentRow(i - 1, QItemSelectionModel::NoUpdate);
  }
}
int ListSelected(const Window* dialog, int id) {
  auto* l = List(dialog, id);
  if (!l) return 0;
  for (int i = 0; i < l->count(); ++i) {
    if (l->item(i)->isSelected()) return i + 1;
  }
  return 0;
}
void ListAdd(const Window* dialog, int id, const std::string& text) {
  if (auto* l = List(dialog, id)) l->addItem(ToQString(Shown(text)));
}
void ListReplace(const Window* dialog, int id, int i, const std::string& text) {
  auto* l = List(dialog, id);
  if (!l) return;
  if (i >= 1 && i <= l->count()) {
    delete l->takeItem(i - 1);
    l->insertItem(i - 1, ToQString(Shown(text)));
  } else {
    l->addItem(ToQString(Shown(text)));
  }
}
std::string ListItem(const Window* dialog, int id, int i) {
  auto* l = List(dialog, id);
  if (!l || i < 1 || i > l->count()) return std::string();
  return std::string(Shown(FromQString(l->item(i - 1)->text())));
}
std::string ListSelectedItem(const Window* dialog, int id) {
  return ListItem(dialog, id, ListSelected(dialog, id));
}

void ComboFill(const Window* dialog, int id, const std::string& text) {
  auto* c = Combo(dialog, id);
  if (!c) return;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(';', start), text.size());
    const std::string piece = text.substr(start, end - start);
    if (!piece.empty()) c->addItem(ToQString(Shown(piece)));
    start = end + 1;
  }
}
void MakeEditable(QComboBox* box) {
  // The box's own way there builds its list window at once and gives the line a completer from
  // the list. A line that has a completer of its own gets none from the box; this one is then
  // taken away.
  auto* line = new QLineEdit(box);
  line->setCompleter(new QCompleter(line));
  box->setLineEdit(line);
  line->setCompleter(nullptr);
  AcceptOnlyStorable(line);
  box->setInsertPolicy(QComboBox::NoInsert);
}

void ComboSelect(const Window* dialog, int id, int i) {
  if (auto* c = Combo(dialog, id)) c->setCurrentIndex(i - 1);
}

}  // namespace quiz
