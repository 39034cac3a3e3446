#pragma once
// What a screen reader sees of the programs' painted windows. Qt names the controls itself; the
// texts drawn on a canvas and the painted parts (the runner's sheet, the manager's exit icon)
// are added here, as children of the canvas. The interfaces are made only when a reader asks
// for them: a program that nobody reads pays for none.

#include <QAccessible>
#include <QObject>
#include <QRect>
#include <QString>

#include <functional>

namespace quiz {

class Canvas;

// Makes Qt ask this layer for the canvases' interfaces and the parts' (once per program).
void InstallAccessibility();

// True when a reader (or a test's listener) is listening: only then are events worth making.
bool AccessibilityListening();
// Sends the event to the reader, or to the test's listener when one is set.
void NotifyAccessibility(QAccessibleEvent* event);
// Tests hear the events here instead of a reader (an empty function stops it).
void SetAccessibilityListener(std::function<void(QAccessibleEvent*)> listener);

// A painted part of a canvas that a reader sees as one item: a text read on demand, a painted
// button. The owner says what it is; the canvas lists it among its children.
class AccessiblePart : public QObject {
  Q_OBJECT
 public:
  AccessiblePart(Canvas* canvas, QAccessible::Role role, QRect area, std::function<QString()> name);
  Canvas* canvas() const;
  QAccessible::Role role() const { return role_; }
  QRect area() const { return area_; }
  QString name() const { return name_(); }
  // A part that does something when pressed (a painted button), with the keys that do the same.
  void SetPress(std::function<void()> press, const QString& keys);
  const std::function<void()>& press() const { return press_; }
  const QString& keys() const { return keys_; }
  // Tells a listening reader that the name changed.
  void NameChanged();

 private:
  QAccessible::Role role_;
  QRect area_;
  std::function<QString()> name_;
  std::function<void()> press_;
  QString keys_;
};

// Where `area` of the widget is on the screen, as a reader is told places.
QRect OnScreen(const QWidget* widget, const QRect& area);

// Names a control whose label is painted beside it. Qt names a combo box by its value on this
// desktop, so the label is its description too.
void LabelControl(QWidget* control, const QString& label);

}  // namespace quiz
