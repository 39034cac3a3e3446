#pragma once
// A top-level window as the programs expect one: a named window class (the objectName), a fixed
// place and size given as the outer size on the desktop the programs were designed for, controls
// addressed by number, a backing image that keeps what is drawn on it, and, for secondary
// windows, an own event loop that returns the window's result once it closes.

#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

class QMenuBar;

namespace quiz {

// Qt's raster painter splits a fill or an image copy of 96 rows or more among its thread pool
// and waits for the pieces: on a desktop of two cores the hand-overs cost more than the copying
// (a window's first frame waited 3 ms for them). Painted in bands of fewer rows, each piece stays
// on this thread.
inline constexpr int kPaintBand = 95;
template <typename Paint>
void InBands(const QRect& area, Paint paint) {
  for (int top = area.top(); top <= area.bottom(); top += kPaintBand) {
    paint(QRect(area.left(), top, area.width(), std::min(kPaintBand, area.bottom() - top + 1)));
  }
}
inline void FillInBands(QPainter& painter, const QRect& area, const QColor& colour) {
  InBands(area, [&](const QRect& band) { painter.fillRect(band, colour); });
}

// A text drawn on a canvas, kept so that a screen reader can read what the eye reads there.
struct PaintedText {
  QRect cell;    // where it was drawn
  QString text;  // as shown, without surrounding spaces
  int id = 0;    // the accessibility layer's number for it, 0 until a reader asked
};

// The client area: children (the controls) sit above a backing image. What is drawn on the
// image stays until something else is drawn over it.
class Canvas : public QWidget {
  Q_OBJECT
 public:
  explicit Canvas(QWidget* parent, const QColor& background);
  ~Canvas() override;
  // The image, grown to the widget's size first (new parts get the background).
  QImage& image() {
    Grow();
    return image_;
  }
  const QImage& image() const { return image_; }
  const QColor& background() const { return background_; }
  // Fills the whole image with the background colour.
  void Clear();

  // The texts on the image in reading order (top to bottom, then left to right). A text drawn
  // where another was wipes it (its cell is opaque); one at the same place takes its place.
  const std::vector<PaintedText>& painted_texts() const { return texts_; }
  std::vector<PaintedText>& painted_texts() { return texts_; }
  void RememberText(const QRect& cell, const QString& text);
  // Whatever was drawn over `area` (a fill) is gone for the reader too.
  void ForgetTexts(const QRect& area);
  // Texts drawn inside `area` are not kept: a part of its own tells the reader about it.
  void DescribeElsewhere(const QRect& area) { elsewhere_.push_back(area); }
  // Items a screen reader sees among the canvas's children besides the controls and the texts:
  // painted parts with an interface of their own (the runner's answer sheet).
  void AddAccessiblePart(QObject* part) { parts_.push_back(part); }
  const std::vector<QPointer<QObject>>& accessible_parts() const { return parts_; }

  // Called before and after the image is resized with the widget, and on every left click.
  std::function<void(int width, int height)> on_resize;
  std::function<void(int x, int y)> on_click;
  // Called before the image is shown, so that the owner can draw into it.
  std::function<void()> on_paint;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void Grow();

  // Tells a listening reader that a text it knows changed or went, and forgets its number.
  void TextChanged(PaintedText& text, bool gone);

  QColor background_;
  QImage image_;
  std::vector<PaintedText> texts_;
  std::vector<QRect> elsewhere_;
  std::vector<QPointer<QObject>> parts_;
};

class Window : public QWidget {
  Q_OBJECT
 public:
  // The outer size is the desktop's (caption, borders and menu included); the client area gets
  // what that desktop leaves inside it.
  struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool resizable = false;
    bool has_menu = false;
  };
  Window(const QString& class_name, const Geometry& geometry, const QColor& background,
         QWidget* parent = nullptr);
  ~Window() override;

  // The client area the other desktop leaves inside the outer size.
  static QSize ClientSizeFor(const Geometry& geometry);

  Canvas* canvas() { return canvas_; }
  void SetMenuBar(QMenuBar* menu_bar);
  QMenuBar* menu_bar() const { return menu_bar_; }

  // Adds `control` to the client area at (x, y) with the given size, under number `id`.
  template <typename T>
  T* Add(int id, T* control, int x, int y, int width, int height) {
    control->setParent(canvas_);
    control->setGeometry(x, y, width, height);
    if (id != 0) controls_[id] = control;
    Adopt(control);
    Cover(x + width, y + height);
    return control;
  }
  QWidget* Control(int id) const;
  // For windows that place their controls themselves whenever the client area changes size:
  // `arrange` gets the new width and height, and the first placement no longer bounds the size.
  void SetArrangement(std::function<void(int width, int height)> arrange);

  // Shows the window and runs its own loop until it closes; returns the result set by Finish
  // (0 when it was closed otherwise). The program's other windows stay live meanwhile, so a
  // command can ask for a second copy of a window whose loop is still running: that copy is
  // never shown, the running one comes to the front, and the result is kLoopRefused.
  int RunLoop();
  static constexpr int kLoopRefused = -1;
  // True while a window of this class runs its own loop.
  static bool LoopRunning(const QString& class_name);
  // The visible window whose loop started last, or null.
  static Window* InnermostLoop();
  // Closes every window that runs its own loop, the latest first, each through its own close (a
  // window with typed work asks first); false when one of them stays open.
  static bool CloseLoopWindows();
  // Sets the result and closes the window.
  void Finish(int result);
  bool running_loop() const { return loop_running_; }

  // Sets the outer size the desktop way (width and height of the frame).
  void SetOuterSize(int width, int height);
  // The outer width the desktop would report for the current size.
  int outer_width() const;

 signals:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOut();
  int MenuHeight() const;
  // Gives a new control what every control of its kind gets (a line: only storable characters).
  static void Adopt(QWidget* control);
  // The client area never gets smaller than what the controls placed in it need.
  void Cover(int right, int bottom);

  Geometry geometry_;
  Canvas* canvas_;
  QMenuBar* menu_bar_ = nullptr;
  std::map<int, QWidget*> controls_;
  QSize content_;
  int result_ = 0;
  bool loop_running_ = false;
};

}  // namespace quiz
