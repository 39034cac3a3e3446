#include "toolkit/gui/drawing.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QRawFont>

#include <cmath>
#include <map>
#include <tuple>

#include "toolkit/gui/qt_text.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

QString FamilyFor(const std::string& face) {
  const std::string upper = UpperCat(face);
  if (upper == "ARIAL") return "Liberation Sans";
  if (upper == "TAHOMA") return "Tahoma";
  if (upper == "COMIC SANS MS") return "Comic Neue";
  return ToQString(face);
}

// Qt's measures of one face (family, weight, slant) at any pixel size, taken from a single loaded
// size of it: the font system is asked once per face, and the other sizes are scaled from the
// same face file with the same hinting, which gives the very figures QFontMetrics gives.
class FaceMeasure {
 public:
  explicit FaceMeasure(const QFont& font) : font_(font) {
    using Key = std::tuple<QString, int, bool>;
    static std::map<Key, QRawFont>* loaded = [] {
      static std::map<Key, QRawFont> faces;
      // A face belongs to the application that loaded it.
      qAddPostRoutine([] { faces.clear(); });
      return &faces;
    }();
    const Key key{font.family(), font.weight(), font.italic()};
    auto it = loaded->find(key);
    if (it == loaded->end()) it = loaded->emplace(key, QRawFont::fromFont(font)).first;
    face_ = it->second;
  }

  // QFontMetrics::height() of the font at that pixel size.
  int CellHeight(int pixel_size) const {
    const QRawFont raw = At(pixel_size);
    if (!raw.isValid()) return Metrics(pixel_size).height();
    return Round(raw.ascent()) + Round(raw.descent());
  }

  // QFontMetrics::averageCharWidth() of the font at that pixel size.
  int AverageWidth(int pixel_size) const {
    const QRawFont raw = At(pixel_size);
    if (!raw.isValid()) return Metrics(pixel_size).averageCharWidth();
    return Round(raw.averageCharWidth());
  }

 private:
  // Qt rounds its measures half up, each on its own.
  static int Round(qreal value) { return static_cast<int>(std::floor(value + 0.5)); }
  QRawFont At(int pixel_size) const {
    QRawFont raw = face_;
    if (raw.isValid()) raw.setPixelSize(pixel_size);
    return raw;
  }
  QFontMetrics Metrics(int pixel_size) const {
    QFont font = font_;
    font.setPixelSize(pixel_size);
    return QFontMetrics(font);
  }

  QFont font_;
  QRawFont face_;
};

}  // namespace

QFont MakeFont(const FontDescription& d) {
  const QFont application = QGuiApplication::font();
  QFont font = d.face.empty() ? application : QFont(FamilyFor(d.face));
  if (!d.face.empty()) {
    font.setStyleHint(QFont::SansSerif, application.styleStrategy());
    font.setKerning(application.kerning());
  }
  font.setWeight(d.weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(d.italic);
  if (d.height <= 0) {
    // The application font's size, as Qt measures it.
    if (!d.face.empty()) {
      if (application.pixelSize() > 0) font.setPixelSize(application.pixelSize());
      else font.setPointSizeF(application.pointSizeF());
    }
    if (d.width <= 0) return font;
  } else {
    font.setPixelSize(d.height);
  }
  // The face is measured at other sizes through one loaded size of it: asking the font system for
  // each probed size would cost a whole font match apiece.
  FaceMeasure measure(font);
  if (d.height > 0) {
    // The description's height is the whole cell, ascent and descent; Qt's pixel size is the em.
    const int cell = measure.CellHeight(d.height);
    if (cell > d.height) font.setPixelSize(std::max(1, static_cast<int>(std::lround(1.0 * d.height * d.height / cell))));
  }
  if (d.width > 0) {
    const int natural = font.pixelSize() > 0 ? measure.AverageWidth(font.pixelSize()) : QFontMetrics(font).averageCharWidth();
    if (natural > 0) font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * d.width / natural)), 1, 4000));
  }
  return font;
}

void TextPainter::RebuildFont() {
  built_from_ = description_;
  font_made_ = false;
}

const QFont& TextPainter::font() const {
  if (!font_made_) {
    font_ = MakeFont(built_from_);
    font_made_ = true;
  }
  return font_;
}

void TextPainter::SetSize(int height, int width) {
  description_.height = height;
  description_.width = width;
  RebuildFont();
}

void TextPainter::SetBold(bool bold) {
  description_.weight = bold ? 700 : 400;
  RebuildFont();
}

void TextPainter::SetItalic(bool italic) {
  description_.italic = italic;
  RebuildFont();
}

void TextPainter::SetFace(const std::string& face) {
  description_.face = face;
  RebuildFont();
}

void TextPainter::DrawAtCurrent(std::string_view text, bool right_aligned, int y) {
  // An empty text has an empty cell: nothing to draw, and no font to make for it.
  if (canvas_ == nullptr || text.empty()) return;
  const QString q = ToQString(Shown(text));
  const QFontMetrics metrics(font());
  const int advance = metrics.horizontalAdvance(q);
  const int left = right_aligned ? current_x_ - advance : current_x_;
  QPainter painter(&canvas_->image());
  // Nothing leaves the cell: a glyph that overhangs it would darken its neighbours a little more
  // at every redraw.
  const QRect cell(left, y, advance, description_.height > 0 ? description_.height : metrics.height());
  painter.setClipRect(clip_.isEmpty() ? cell : cell.intersected(clip_));
  painter.fillRect(cell, background_);
  painter.setFont(font());
  painter.setPen(text_colour_);
  painter.drawText(left, y + metrics.ascent(), q);
  current_x_ = right_aligned ? left : left + advance;
  canvas_->update();
}

int TextPainter::CellHeight() const {
  return description_.height > 0 ? description_.height : QFontMetrics(font()).height();
}

void TextPainter::Remember(int left, int right, int y, std::string_view text) {
  if (canvas_ == nullptr || right <= left) return;
  canvas_->RememberText(QRect(left, y, right - left, CellHeight()), ToQString(Shown(text)));
}

int TextPainter::DrawText(int x, int y, std::string_view text) {
  current_x_ = x;
  DrawAtCurrent(text, false, y);
  Remember(x, current_x_, y, text);
  return current_x_;
}

void TextPainter::DrawColouredText(int x, int y, std::string_view text, const QColor& text_colour,
                                   const QColor& background) {
  SetTextColour(text_colour);
  SetBackgroundColour(background);
  DrawText(x, y, text);
}

void TextPainter::DrawMarkedUpText(int x, int y, int alignment, std::string_view text) {
  const bool right = alignment == kAlignRight;
  // Drawn from right to left, the characters come in reverse order.
  std::string s = right ? ReverseText(text) : std::string(text);
  current_x_ = x;
  enum class Mode { kNormal, kRaised, kLowered } mode = Mode::kNormal;
  for (size_t i = 0; i < s.size(); ++i) {
    // A mark after its character is handled first, the character at the next position.
    if (i + 1 < s.size() && (s[i + 1] == '^' || s[i + 1] == '_')) std::swap(s[i], s[i + 1]);
    const char c = s[i];
    if (c == '^') {
      mode = Mode::kRaised;
      continue;
    }
    if (c == '_') {
      mode = Mode::kLowered;
      continue;
    }
    if (mode == Mode::kNormal) {
      DrawAtCurrent(std::string_view(&s[i], 1), right, y);
      continue;
    }
    const FontDescription saved = description_;
    description_.height = 3 * description_.height / 4;
    description_.width = 3 * description_.width / 4;
    RebuildFont();
    DrawAtCurrent(std::string_view(&s[i], 1), right, mode == Mode::kLowered ? y + 8 : y);
    description_ = saved;
    RebuildFont();
    mode = Mode::kNormal;
  }
  std::string shown(text);
  std::erase_if(shown, [](char c) { return c == '^' || c == '_'; });
  Remember(std::min(x, current_x_), std::max(x, current_x_), y, shown);
}

TextPainter& SharedDrawing() {
  static TextPainter shared;
  return shared;
}

void Attach(Window* window) {
  SharedDrawing().set_canvas(window->canvas());
  SharedDrawing().RebuildFont();
}

void Use(Canvas* canvas) { SharedDrawing().set_canvas(canvas); }

}  // namespace quiz
