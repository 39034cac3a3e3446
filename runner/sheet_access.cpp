#include "runner/sheet_access.h"

#include <QAccessibleObject>
#include <QPointer>
#include <QWindow>

#include "runner/runner_window.h"
#include "runner/sheet_geometry.h"
#include "toolkit/gui/accessible.h"

namespace quiz {
namespace {

int Count(RunnerWindow* window) { return window->engine().count(); }

// A row or a bubble: an item without an object of its own, valid while its question is on the
// sheet.
class SheetPiece : public QAccessibleInterface {
 public:
  SheetPiece(SheetAccess* sheet, int question) : sheet_(sheet), question_(question) {}

  bool isValid() const override { return sheet_ != nullptr && question_ <= Count(sheet_->window()); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return sheet_ ? sheet_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  void setText(QAccessible::Text, const QString&) override {}

 protected:
  QPointer<SheetAccess> sheet_;
  int question_;
};

class BubbleItem : public SheetPiece, public QAccessibleActionInterface {
 public:
  BubbleItem(SheetAccess* sheet, int question, int position) : SheetPiece(sheet, question), position_(position) {}

  QAccessibleInterface* parent() const override { return sheet_ ? sheet_->Row(question_) : nullptr; }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text which) const override {
    if (which != QAccessible::Name) return QString();
    return QStringLiteral("resposta ") + QChar('a' + position_ - 1);
  }
  QRect rect() const override {
    if (!isValid()) return QRect();
    return OnScreen(sheet_->window()->canvas(), QRect(sheet::BubbleLeft(question_, position_ - 1), sheet::RowTop(question_),
                                            sheet::kBubbleWidth, sheet::kBubbleHeight));
  }
  QAccessible::Role role() const override { return QAccessible::RadioButton; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.checkable = true;
    if (isValid()) state.checked = sheet_->window()->engine().mark(static_cast<uint16_t>(question_)) == position_;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && isValid()) sheet_->window()->Answer(question_, position_);
  }
  QStringList keyBindingsForAction(const QString&) const override { return {QString(QChar('a' + position_ - 1))}; }

 private:
  int position_;
};

class RowItem : public SheetPiece {
 public:
  using SheetPiece::SheetPiece;

  QAccessibleInterface* parent() const override { return sheet_ ? QAccessible::queryAccessibleInterface(sheet_.data()) : nullptr; }
  QAccessibleInterface* child(int index) const override {
    return sheet_ && index >= 0 && index < 4 ? sheet_->Bubble(question_, index + 1) : nullptr;
  }
  int childCount() const override { return 4; }
  int indexOfChild(const QAccessibleInterface* item) const override {
    for (int i = 0; i < 4 && sheet_; ++i) {
      if (sheet_->Bubble(question_, i + 1) == item) return i;
    }
    return -1;
  }
  QString text(QAccessible::Text which) const override {
    if (!isValid()) return QString();
    if (which == QAccessible::Name) return QStringLiteral("Pregunta %1").arg(question_);
    if (which == QAccessible::Description) return sheet_->RowResult(question_);
    return QString();
  }
  QRect rect() const override {
    if (!isValid()) return QRect();
    const int offset = sheet::ColumnOffset(question_);
    const int left = sheet::kNumberRight - 22 + offset;
    const int right = std::min(sheet::kSolutionLeft + 11 + offset, sheet::kSheetRight - 1);
    return OnScreen(sheet_->window()->canvas(), QRect(left, sheet::RowTop(question_) - 15, right - left, sheet::kRowHeight + 1));
  }
  QAccessible::Role role() const override { return QAccessible::Row; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    if (isValid() && sheet_->window()->current() == question_) {
      state.active = true;
      state.focused = sheet_->window()->canvas()->hasFocus();
    }
    return state;
  }
};

class SheetItem : public QAccessibleObject {
 public:
  explicit SheetItem(SheetAccess* sheet) : QAccessibleObject(sheet) {}

  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(Window()->canvas()); }
  QAccessibleInterface* child(int index) const override {
    return index >= 0 && index < Count(Window()) ? Sheet()->Row(index + 1) : nullptr;
  }
  int childCount() const override { return Count(Window()); }
  int indexOfChild(const QAccessibleInterface* item) const override {
    for (int k = 1; k <= Count(Window()); ++k) {
      if (Sheet()->Row(k) == item) return k - 1;
    }
    return -1;
  }
  QWindow* window() const override { return Window()->windowHandle(); }
  QString text(QAccessible::Text which) const override {
    return which == QAccessible::Name ? QStringLiteral("Full de respostes") : QString();
  }
  QRect rect() const override {
    using namespace sheet;
    return OnScreen(Window()->canvas(), QRect(kSheetLeft, kSheetTop, kSheetRight - kSheetLeft, kSheetBottom - kSheetTop));
  }
  QAccessible::Role role() const override { return QAccessible::Table; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.focusable = true;
    state.focused = Window()->canvas()->hasFocus();
    return state;
  }

 private:
  SheetAccess* Sheet() const { return static_cast<SheetAccess*>(object()); }
  RunnerWindow* Window() const { return Sheet()->window(); }
};

QAccessibleInterface* MakeSheetItem(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("quiz::SheetAccess")) return new SheetItem(static_cast<SheetAccess*>(object));
  return nullptr;
}

}  // namespace

SheetAccess::SheetAccess(RunnerWindow* window) : QObject(window->canvas()), window_(window) {
  InstallSheetAccessibility();
  window->canvas()->AddAccessiblePart(this);
}

SheetAccess::~SheetAccess() {
  for (const auto& [key, id] : bubbles_) QAccessible::deleteAccessibleInterface(id);
  for (const auto& [key, id] : rows_) QAccessible::deleteAccessibleInterface(id);
}

QAccessibleInterface* SheetAccess::Row(int question) {
  QAccessible::Id& id = rows_[question];
  if (id == 0) id = QAccessible::registerAccessibleInterface(new RowItem(this, question));
  return QAccessible::accessibleInterface(id);
}

QAccessibleInterface* SheetAccess::Bubble(int question, int position) {
  QAccessible::Id& id = bubbles_[question * 8 + position];
  if (id == 0) id = QAccessible::registerAccessibleInterface(new BubbleItem(this, question, position));
  return QAccessible::accessibleInterface(id);
}

QString SheetAccess::RowResult(int question) const {
  const TestEngine& engine = window_->engine();
  if (!engine.corrected() || question < 1 || question > engine.count()) return QString();
  switch (engine.result(static_cast<uint16_t>(question))) {
    case QuestionResult::kRight: return QStringLiteral("correcta");
    case QuestionResult::kWrong: return QStringLiteral("incorrecta");
    case QuestionResult::kUnanswered: break;
  }
  return QStringLiteral("en blanc");
}

void SheetAccess::MarkDrawn(int question) {
  if (!AccessibilityListening() || question < 1) return;
  if (told_marks_.size() <= static_cast<size_t>(question)) told_marks_.resize(static_cast<size_t>(question) + 1, 0);
  const int mark = window_->engine().mark(static_cast<uint16_t>(question));
  int& told = told_marks_[static_cast<size_t>(question)];
  if (mark == told) return;
  QAccessible::State checked;
  checked.checked = true;
  for (int position : {told, mark}) {
    if (position == 0) continue;
    QAccessibleStateChangeEvent event(Bubble(question, position), checked);
    NotifyAccessibility(&event);
  }
  told = mark;
}

void SheetAccess::ResultsDrawn() {
  if (!AccessibilityListening()) return;
  const int count = window_->engine().count();
  told_results_.resize(static_cast<size_t>(count) + 1);
  for (int k = 1; k <= count; ++k) {
    const QString result = RowResult(k);
    if (result == told_results_[static_cast<size_t>(k)]) continue;
    told_results_[static_cast<size_t>(k)] = result;
    QAccessibleEvent event(Row(k), QAccessible::DescriptionChanged);
    NotifyAccessibility(&event);
  }
}

void SheetAccess::CurrentMoved(int question) {
  if (!AccessibilityListening() || question < 1 || question > window_->engine().count()) return;
  QAccessibleEvent event(Row(question), QAccessible::Focus);
  NotifyAccessibility(&event);
}

void InstallSheetAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(MakeSheetItem);
}

}  // namespace quiz
