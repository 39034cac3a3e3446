#include "toolkit/gui/window.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>

#include <vector>

#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"

namespace quiz {
namespace {

// What the other desktop's frame takes from a window's outer size.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 40;
constexpr int kMenuHeight = 20;

// The windows whose own loop is running, in the order their loops started (at most one of
// each class).
std::vector<Window*>& RunningLoops() {
  static std::vector<Window*> running;
  return running;
}

Window* RunningLoop(const QString& class_name) {
  for (Window* window : RunningLoops()) {
    if (window->objectName() == class_name) return window;
  }
  return nullptr;
}

}  // namespace

Canvas::Canvas(QWidget* parent, const QColor& background) : QWidget(parent), background_(background) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

Canvas::~Canvas() {
  for (PaintedText& text : texts_) TextChanged(text, true);
}

void Canvas::Clear() {
  image_.fill(background_);
  ForgetTexts(image_.rect());
  update();
}

void Canvas::TextChanged(PaintedText& text, bool gone) {
  if (text.id == 0) return;
  QAccessibleInterface* item = QAccessible::accessibleInterface(static_cast<QAccessible::Id>(text.id));
  if (item != nullptr && AccessibilityListening()) {
    QAccessibleEvent event(item, gone ? QAccessible::ObjectDestroyed : QAccessible::NameChanged);
    NotifyAccessibility(&event);
  }
  if (gone) {
    QAccessible::deleteAccessibleInterface(static_cast<QAccessible::Id>(text.id));
    text.id = 0;
  }
}

void Canvas::RememberText(const QRect& cell, const QString& shown) {
  for (const QRect& area : elsewhere_) {
    if (area.contains(cell)) return;
  }
  const QString text = shown.trimmed();
  int kept_id = 0;
  std::erase_if(texts_, [&](PaintedText& old) {
    if (!old.cell.intersects(cell)) return false;
    if (old.cell.topLeft() == cell.topLeft() && !text.isEmpty() && kept_id == 0) {
      kept_id = old.id;  // the same place: the reader's item stays and its name changes
      old.id = 0;
    } else {
      TextChanged(old, true);
    }
    return true;
  });
  if (text.isEmpty()) return;
  const auto place = std::find_if(texts_.begin(), texts_.end(), [&](const PaintedText& t) {
    return std::pair(t.cell.top(), t.cell.left()) > std::pair(cell.top(), cell.left());
  });
  PaintedText& added = *texts_.insert(place, PaintedText{cell, text, kept_id});
  TextChanged(added, false);
}

void Canvas::ForgetTexts(const QRect& area) {
  std::erase_if(texts_, [&](PaintedText& old) {
    if (!old.cell.intersects(area)) return false;
    TextChanged(old, true);
    return true;
  });
}

void Canvas::paintEvent(QPaintEvent* event) {
  if (on_paint) on_paint();
  QPainter painter(this);
  for (const QRect& part : event->region()) {
    InBands(part & image_.rect(), [&](const QRect& band) { painter.drawImage(band.topLeft(), image_, band); });
  }
}

void Canvas::Grow() {
  const QSize wanted = size().expandedTo(image_.size()).expandedTo(QSize(1, 1));
  if (wanted == image_.size()) return;
  // The image keeps what was drawn; new parts get the background.
  QImage bigger(wanted, QImage::Format_RGB32);
  bigger.fill(background_);
  if (!image_.isNull()) {
    QPainter painter(&bigger);
    InBands(image_.rect(), [&](const QRect& band) { painter.drawImage(band.topLeft(), image_, band); });
  }
  image_ = bigger;
}

void Canvas::resizeEvent(QResizeEvent*) {
  Grow();
  if (on_resize) on_resize(width(), height());
}

void Canvas::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && on_click) {
    on_click(event->position().toPoint().x(), event->position().toPoint().y());
  }
}

Window::Window(const QString& class_name, const Geometry& geometry, const QColor& background,
               QWidget* parent)
    : QWidget(parent, Qt::Window), geometry_(geometry), canvas_(new Canvas(this, background)) {
  setObjectName(class_name);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, background);
  setPalette(palette);
  setAutoFillBackground(true);
  move(geometry.x, geometry.y);
  SetOuterSize(geometry.width, geometry.height);
}

Window::~Window() { std::erase(RunningLoops(), this); }

QSize Window::ClientSizeFor(const Geometry& g) {
  return QSize(g.width - kFrameWidth, g.height - kFrameHeight - (g.has_menu ? kMenuHeight : 0));
}

void Window::SetOuterSize(int width, int height) {
  geometry_.width = width;
  geometry_.height = height;
  const QSize client = ClientSizeFor(geometry_).expandedTo(content_);
  const int menu = MenuHeight();
  const QSize total(client.width(), client.height() + menu);
  if (geometry_.resizable) {
    resize(total);
  } else {
    setFixedSize(total);
  }
  // The client area is sized now, not at the first showing, so that drawing can start at once.
  LayOut();
}

void Window::Adopt(QWidget* control) {
  if (auto* line = qobject_cast<QLineEdit*>(control)) AcceptOnlyStorable(line);
}

void Window::Cover(int right, int bottom) {
  const QSize needed = content_.expandedTo(QSize(right, bottom));
  if (needed == content_) return;
  content_ = needed;
  if (geometry_.resizable) {
    setMinimumSize(content_.width(), content_.height() + MenuHeight());
  }
  SetOuterSize(geometry_.width, geometry_.height);
}

void Window::SetArrangement(std::function<void(int, int)> arrange) {
  content_ = QSize();
  setMinimumSize(0, 0);
  canvas_->on_resize = std::move(arrange);
  SetOuterSize(geometry_.width, geometry_.height);
}

void Window::SetMenuBar(QMenuBar* menu_bar) {
  menu_bar_ = menu_bar;
  menu_bar_->setParent(this);
  menu_bar_->show();  // also when the window is on screen already
  SetOuterSize(geometry_.width, geometry_.height);
}

void Window::resizeEvent(QResizeEvent*) { LayOut(); }

void Window::LayOut() {
  const int menu = MenuHeight();
  if (menu_bar_) menu_bar_->setGeometry(0, 0, width(), menu);
  canvas_->setGeometry(0, menu, width(), height() - menu);
}

int Window::MenuHeight() const { return menu_bar_ ? menu_bar_->sizeHint().height() : 0; }

int Window::outer_width() const { return width() + kFrameWidth; }

QWidget* Window::Control(int id) const {
  const auto it = controls_.find(id);
  return it == controls_.end() ? nullptr : it->second;
}

bool Window::LoopRunning(const QString& class_name) { return RunningLoop(class_name) != nullptr; }

Window* Window::InnermostLoop() {
  const auto& running = RunningLoops();
  for (auto it = running.rbegin(); it != running.rend(); ++it) {
    if ((*it)->isVisible()) return *it;
  }
  return nullptr;
}

bool Window::CloseLoopWindows() {
  const std::vector<Window*> windows(RunningLoops().rbegin(), RunningLoops().rend());
  for (Window* window : windows) {
    if (!window->close()) return false;
  }
  return true;
}

int Window::RunLoop() {
  if (Window* running = RunningLoop(objectName())) {
    running->raise();
    running->activateWindow();
    return kLoopRefused;
  }
  result_ = 0;
  QEventLoop loop;
  connect(this, &Window::Closed, &loop, &QEventLoop::quit);
  show();
  // The window with its own loop is the one the person works in: it takes the keyboard.
  activateWindow();
  RunningLoops().push_back(this);
  loop_running_ = true;
  loop.exec();
  loop_running_ = false;
  std::erase(RunningLoops(), this);
  return result_;
}

void Window::Finish(int result) {
  result_ = result;
  close();
}

void Window::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit Closed();
}

}  // namespace quiz
