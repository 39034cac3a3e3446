#include "toolkit/gui/application.h"
#include "toolkit/gui/accessible.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QIconEngine>
#include <QLibraryInfo>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/gui/window.h"
#include "toolkit/large_pages.h"

namespace quiz {

namespace {

const char* Env(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

bool ConnectUnix(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;  // an abstract name starts with a zero byte
  if (path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size());
  const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0;
  ::close(fd);
  return ok;
}

// A TCP connection within two seconds.
bool ConnectTcp(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool ok = false;
  for (addrinfo* a = found; a && !ok; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
    if (fd < 0) continue;
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      ok = true;
    } else if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      ok = ::poll(&p, 1, 2000) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 &&
           error == 0;
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  return ok;
}

// An X server answers at DISPLAY: "[host]:number[.screen]".
bool XServerAnswers(const std::string& display) {
  if (!display.empty() && display[0] == '/') return ConnectUnix(display.substr(0, display.rfind(':')), false);
  const size_t colon = display.rfind(':');
  if (colon == std::string::npos) return false;
  const std::string host = display.substr(0, colon);
  const int number = std::atoi(display.c_str() + colon + 1);
  if (host.empty() || host == "unix") {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
    return ConnectUnix(socket, false) || ConnectUnix(socket, true);
  }
  return ConnectTcp(host, 6000 + number);
}

bool WaylandAnswers(const std::string& display) {
  if (!display.empty() && display[0] == '/') return ConnectUnix(display, false);
  const char* runtime = Env("XDG_RUNTIME_DIR");
  return runtime && ConnectUnix(std::string(runtime) + "/" + display, false);
}

// Why no display can be shown on, or "" when one can.
std::string NoDisplayReason() {
  const std::string platform = Env("QT_QPA_PLATFORM") ? Env("QT_QPA_PLATFORM") : "";
  const bool wants_x = platform.starts_with("xcb");
  const bool wants_wayland = platform.starts_with("wayland");
  // Other platforms (offscreen, vnc, ...) need no display server.
  if (!platform.empty() && !wants_x && !wants_wayland) return "";
  const char* x = Env("DISPLAY");
  const char* wayland = Env("WAYLAND_DISPLAY");
  if (!wants_x && wayland && WaylandAnswers(wayland)) return "";
  if (!wants_wayland && x && XServerAnswers(x)) return "";
  if (!x && !wayland) return "no hi ha cap pantalla gràfica definida (DISPLAY és buit)";
  return std::string("la pantalla gràfica ") + (x ? x : wayland) + " no respon";
}

void SayNoDisplay(const char* program, const std::string& reason) {
  std::fprintf(stderr, "%s: %s; no es pot obrir la finestra.\n", program, reason.c_str());
}

// While the application starts, Qt's own complaints are held back: if it cannot start, one line
// of ours says so instead of its several, and the program exits with 1 rather than aborting.
const char* starting_program = nullptr;
std::vector<std::pair<QtMsgType, QString>>* held_messages = nullptr;
QtMessageHandler previous_handler = nullptr;
std::string platform_complaint;

void HoldStartUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtFatalMsg) {
    // Qt's reason is its platform plugin's first complaint ("could not connect to display :1").
    std::string reason = "la pantalla gràfica no s'ha pogut fer servir";
    if (!platform_complaint.empty()) reason += " (" + platform_complaint + ")";
    SayNoDisplay(starting_program, reason);
    std::_Exit(1);
  }
  if (platform_complaint.empty() && context.category && std::string_view(context.category).starts_with("qt.qpa")) {
    platform_complaint = text.simplified().toStdString();
  }
  if (held_messages) {
    held_messages->emplace_back(type, text);
  } else if (previous_handler) {
    previous_handler(type, context, text);
  }
}

// For timing a start from outside: the program ends as soon as its first window has been
// exposed and painted.
class ExitAfterFirstFrame : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) {
      const auto* window = qobject_cast<QWindow*>(watched);
      if (window && window->isExposed()) {
        // The expose paints the window at once; the next turn of the loop finds it painted.
        QTimer::singleShot(0, [] { std::_Exit(0); });
        QCoreApplication::instance()->removeEventFilter(this);
      }
    }
    return false;
  }
};

// An icon of the style's own, loaded when it is first drawn.
class DeferredIconEngine : public QIconEngine {
 public:
  DeferredIconEngine(const QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new DeferredIconEngine(style_, which_); }
  QString key() const override { return QStringLiteral("deferred"); }

 private:
  const QIcon& Icon() {
    if (!icon_) icon_ = style_->standardIcon(which_);
    return *icon_;
  }

  const QStyle* style_;
  QStyle::StandardPixmap which_;
  std::optional<QIcon> icon_;
};

// The platform's style, with two changes. Every menu bar makes a button for the items that do
// not fit, and its arrow icon is read from image files, which loads every image format's plug-in:
// the programs' menus always fit, so that arrow is only read if it is ever drawn. And a button
// that has the keyboard shows it plainly: the style's own sign, a shade of its outline, is lost
// on the programs' coloured windows.
class QuizStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton && (option->state & State_HasFocus)) DrawFocusRing(painter, option->rect);
  }

  QIcon standardIcon(StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override {
    if (which == SP_ToolBarHorizontalExtensionButton || which == SP_ToolBarVerticalExtensionButton) {
      return QIcon(new DeferredIconEngine(baseStyle(), which));
    }
    return QProxyStyle::standardIcon(which, option, widget);
  }

  // A tall scroll bar is painted in bands: whole, its groove's fills and lines would each be
  // handed to the painter's thread pool in pieces (see InBands).
  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                          const QWidget* widget) const override {
    if (control != CC_ScrollBar || option->rect.height() <= kPaintBand) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    InBands(option->rect, [&](const QRect& band) {
      painter->save();
      painter->setClipRect(band, Qt::IntersectClip);
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      painter->restore();
    });
  }

  // The style draws the group box frame from an image, which costs a start a PNG decoded (and,
  // read without naming its format, every image format's plug-in loaded to ask it). The frame is
  // a faint outline round a fainter inside: drawn here in those shades, where the image has them.
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameGroupBox || baseStyle()->name() != QLatin1String("fusion")) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    int top = kGroupBoxTopMargin;
    const auto* box = qobject_cast<const QGroupBox*>(widget);
    if (!box || box->isCheckable() || !box->title().isEmpty()) {
      top += std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height());
    }
    DrawGroupFrame(painter, option->rect.adjusted(0, top, 0, 0));
  }

 private:
  static constexpr int kGroupBoxTopMargin = 3;
};

}  // namespace

void DrawFocusRing(QPainter* painter, const QRect& rect) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  QPen pen(kFocusRing, 2);
  pen.setJoinStyle(Qt::MiterJoin);
  painter->setPen(pen);
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(QRectF(rect).adjusted(2, 2, -2, -2));
  painter->restore();
}

void DrawGroupFrame(QPainter* painter, const QRect& rect) {
  // The image leaves its first row and column clear.
  const QRect outline = rect.adjusted(1, 1, 0, 0);
  if (outline.width() < 3 || outline.height() < 3) return;
  const QRect inner = outline.adjusted(1, 1, -1, -1);
  // The corners are rounded: the outer one fades, the inner one takes the outline's shade.
  const QColor kOutline(0x75, 0x75, 0x75, 0x32), kCorner(0x27, 0x27, 0x27, 0x0d), kInnerCorner(0x5a, 0x5a, 0x5a, 0x1f),
      kEdge(0, 0, 0, 7), kInside(0, 0, 0, 3);
  auto ring = [&](const QRect& r, const QColor& colour) {
    painter->fillRect(QRect(r.left() + 1, r.top(), r.width() - 2, 1), colour);
    painter->fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 2, 1), colour);
    painter->fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), colour);
    painter->fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), colour);
  };
  auto corners = [&](const QRect& r, const QColor& colour) {
    for (const QPoint& corner : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight()}) {
      painter->fillRect(QRect(corner, QSize(1, 1)), colour);
    }
  };
  ring(outline, kOutline);
  corners(outline, kCorner);
  if (inner.width() < 3 || inner.height() < 3) return;
  ring(inner, kEdge);
  corners(inner, kInnerCorner);
  FillInBands(*painter, inner.adjusted(1, 1, -1, -1), kInside);
}

std::unique_ptr<QGuiApplication> StartWindowlessApplication(int& argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::fprintf(stderr, "%s\n", qPrintable(text));
  });
  return std::make_unique<QGuiApplication>(argc, argv);
}

std::unique_ptr<QApplication> StartApplication(const char* program, int& argc, char** argv) {
  // A display that closes its connection under the program (or a reader of a pipe that goes)
  // makes a write fail with its error, which is then told; it never ends the program unheard.
  std::signal(SIGPIPE, SIG_IGN);
  // A window's backing store and its canvas are some 3 MB each; with room for both twice over.
  constexpr size_t kHeapInLargePages = size_t{16} << 20;
  ReserveLargePageHeap(kHeapInLargePages);
  if (const std::string reason = NoDisplayReason(); !reason.empty()) {
    SayNoDisplay(program, reason);
    return nullptr;
  }
  std::vector<std::pair<QtMsgType, QString>> held;
  starting_program = program;
  held_messages = &held;
  previous_handler = qInstallMessageHandler(HoldStartUpMessage);
  auto app = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous_handler);
  held_messages = nullptr;
  for (const auto& [type, text] : held) {
    if (previous_handler) previous_handler(type, QMessageLogContext(), text);
    else std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
  }
  PrepareApplication(*app);
  if (Env("QUIZ_EXIT_AFTER_FIRST_FRAME")) app->installEventFilter(new ExitAfterFirstFrame(app.get()));
  return app;
}

void PrepareApplication(QApplication& app) {
  InstallAccessibility();
  if (!qobject_cast<QProxyStyle*>(QApplication::style())) QApplication::setStyle(new QuizStyle);
  auto* translator = new QTranslator(&app);
  if (translator->load(QLocale(QLocale::Catalan), "qtbase", "_",
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(translator);
  }
  const QDir wine("/usr/share/wine/fonts");
  for (const QString& file : wine.entryList({"tahoma*.ttf"}, QDir::Files)) {
    QFontDatabase::addApplicationFont(wine.filePath(file));
  }
  QFont font("Liberation Sans");
  font.setPixelSize(12);
  // Windows-1252 holds Latin letters only: they need no shaping, and the desktop the layouts were
  // made for did not kern.
  font.setStyleStrategy(QFont::PreferNoShaping);
  font.setKerning(false);
  QApplication::setFont(font);
}

}  // namespace quiz
