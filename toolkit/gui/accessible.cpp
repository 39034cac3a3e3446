#include "toolkit/gui/accessible.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QWindow>

#include "toolkit/gui/window.h"

namespace quiz {
namespace {

std::function<void(QAccessibleEvent*)>& Listener() {
  static std::function<void(QAccessibleEvent*)> listener;
  return listener;
}

// One text drawn on a canvas. It is found again by the place it was drawn at: a text drawn at
// the same place later is the same item with a new name.
class PaintedTextItem : public QAccessibleInterface {
 public:
  PaintedTextItem(Canvas* canvas, QPoint origin) : canvas_(canvas), origin_(origin) {}

  bool isValid() const override { return Find() != nullptr; }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return canvas_ ? canvas_->window()->windowHandle() : nullptr; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(canvas_.data()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text which) const override {
    const PaintedText* text = Find();
    return which == QAccessible::Name && text != nullptr ? text->text : QString();
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const PaintedText* text = Find();
    return text != nullptr ? OnScreen(canvas_, text->cell) : QRect();
  }
  QAccessible::Role role() const override { return QAccessible::StaticText; }
  QAccessible::State state() const override {
    QAccessible::State state;
    state.readOnly = true;
    if (canvas_ == nullptr || !canvas_->isVisible()) state.invisible = true;
    return state;
  }

 private:
  const PaintedText* Find() const {
    if (canvas_ == nullptr) return nullptr;
    for (const PaintedText& text : canvas_->painted_texts()) {
      if (text.cell.topLeft() == origin_) return &text;
    }
    return nullptr;
  }

  QPointer<Canvas> canvas_;
  QPoint origin_;
};

// A canvas: its controls as Qt sees them, then its painted parts, then its texts.
class CanvasItem : public QAccessibleWidget {
 public:
  explicit CanvasItem(Canvas* canvas) : QAccessibleWidget(canvas, QAccessible::Client) {}

  int childCount() const override {
    return QAccessibleWidget::childCount() + static_cast<int>(Parts().size() + canvas()->painted_texts().size());
  }

  QAccessibleInterface* child(int index) const override {
    const int controls = QAccessibleWidget::childCount();
    if (index < 0) return nullptr;
    if (index < controls) return QAccessibleWidget::child(index);
    index -= controls;
    const std::vector<QObject*> parts = Parts();
    if (index < static_cast<int>(parts.size())) return QAccessible::queryAccessibleInterface(parts[static_cast<size_t>(index)]);
    index -= static_cast<int>(parts.size());
    std::vector<PaintedText>& texts = canvas()->painted_texts();
    if (index >= static_cast<int>(texts.size())) return nullptr;
    PaintedText& text = texts[static_cast<size_t>(index)];
    if (text.id == 0) {
      text.id = static_cast<int>(QAccessible::registerAccessibleInterface(new PaintedTextItem(canvas(), text.cell.topLeft())));
    }
    return QAccessible::accessibleInterface(static_cast<QAccessible::Id>(text.id));
  }

  int indexOfChild(const QAccessibleInterface* item) const override {
    if (item == nullptr) return -1;
    const int controls = QAccessibleWidget::childCount();
    if (item->object() != nullptr && item->object()->isWidgetType()) return QAccessibleWidget::indexOfChild(item);
    const std::vector<QObject*> parts = Parts();
    for (size_t i = 0; i < parts.size(); ++i) {
      if (parts[i] == item->object()) return controls + static_cast<int>(i);
    }
    const auto id = static_cast<int>(QAccessible::uniqueId(const_cast<QAccessibleInterface*>(item)));
    const std::vector<PaintedText>& texts = canvas()->painted_texts();
    for (size_t i = 0; i < texts.size(); ++i) {
      if (texts[i].id != 0 && texts[i].id == id) return controls + static_cast<int>(parts.size() + i);
    }
    return -1;
  }

 private:
  Canvas* canvas() const { return static_cast<Canvas*>(widget()); }
  std::vector<QObject*> Parts() const {
    std::vector<QObject*> parts;
    for (const QPointer<QObject>& part : canvas()->accessible_parts()) {
      if (part != nullptr) parts.push_back(part.data());
    }
    return parts;
  }
};

class PartItem : public QAccessibleObject, public QAccessibleActionInterface {
 public:
  explicit PartItem(AccessiblePart* part) : QAccessibleObject(part) {}

  QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(part()->canvas()); }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QWindow* window() const override { return part()->canvas()->window()->windowHandle(); }
  QString text(QAccessible::Text which) const override {
    if (which == QAccessible::Name) return part()->name();
    if (which == QAccessible::Accelerator) return part()->keys();
    return QString();
  }
  QRect rect() const override { return OnScreen(part()->canvas(), part()->area()); }
  QAccessible::Role role() const override { return part()->role(); }
  QAccessible::State state() const override {
    QAccessible::State state;
    if (!part()->canvas()->isVisible()) state.invisible = true;
    if (!part()->press()) state.readOnly = true;
    return state;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::ActionInterface && part()->press()) return static_cast<QAccessibleActionInterface*>(this);
    return QAccessibleObject::interface_cast(type);
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && part()->press()) part()->press()();
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name != pressAction() || part()->keys().isEmpty()) return {};
    return {part()->keys()};
  }

 private:
  AccessiblePart* part() const { return static_cast<AccessiblePart*>(object()); }
};

QAccessibleInterface* MakeInterface(const QString& class_name, QObject* object) {
  if (class_name == QLatin1String("quiz::Canvas")) return new CanvasItem(static_cast<Canvas*>(object));
  if (class_name == QLatin1String("quiz::AccessiblePart")) return new PartItem(static_cast<AccessiblePart*>(object));
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(MakeInterface);
}

bool AccessibilityListening() { return Listener() || QAccessible::isActive(); }

void NotifyAccessibility(QAccessibleEvent* event) {
  if (Listener()) {
    Listener()(event);
  } else if (QAccessible::isActive()) {
    QAccessible::updateAccessibility(event);
  }
}

void SetAccessibilityListener(std::function<void(QAccessibleEvent*)> listener) { Listener() = std::move(listener); }

AccessiblePart::AccessiblePart(Canvas* canvas, QAccessible::Role role, QRect area, std::function<QString()> name)
    : QObject(canvas), role_(role), area_(area), name_(std::move(name)) {
  canvas->AddAccessiblePart(this);
}

Canvas* AccessiblePart::canvas() const { return static_cast<Canvas*>(parent()); }

void AccessiblePart::SetPress(std::function<void()> press, const QString& keys) {
  press_ = std::move(press);
  keys_ = keys;
}

void AccessiblePart::NameChanged() {
  if (!AccessibilityListening()) return;
  QAccessibleEvent event(this, QAccessible::NameChanged);
  NotifyAccessibility(&event);
}

QRect OnScreen(const QWidget* widget, const QRect& area) {
  return QRect(widget->mapToGlobal(area.topLeft()), area.size());
}

void LabelControl(QWidget* control, const QString& label) {
  control->setAccessibleName(label);
  if (qobject_cast<QComboBox*>(control) != nullptr) control->setAccessibleDescription(label);
}

}  // namespace quiz
