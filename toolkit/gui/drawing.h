#pragma once
// Text drawn straight onto a window's backing image, the way the programs paint their labels,
// questions and clock: a font described by height and width in pixels, weight, italic flag and
// face; an opaque cell (the background colour fills the text's cell first, which wipes what was
// there); and marked-up text whose "^" and "_" raise or lower the character next to them.

#include <QColor>
#include <QFont>
#include <QRect>

#include <string>
#include <string_view>

#include "toolkit/gui/window.h"

namespace quiz {

struct FontDescription {
  int height = 16;   // cell height in pixels; 0 = the application font's size
  int width = 6;     // average character width in pixels; 0 = the face's own
  int weight = 400;  // 400 normal, 700 bold
  bool italic = false;
  std::string face = "arial";  // "" = the application font's face
};

// The Qt font for a description. "arial", "tahoma" and "Comic sans ms" resolve to the installed
// fonts with the same metrics (Liberation Sans, the Tahoma of Wine, Comic Neue). No face and no
// height give the application font itself (with the description's weight and italic flag): the
// controls already use it, so drawing with it costs no font of its own.
QFont MakeFont(const FontDescription& description);

inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;

// Draws texts on a canvas with a font and two colours. The shared drawing context is one of
// these; a FontObject is another, with its own font.
class TextPainter {
 public:
  void set_canvas(Canvas* canvas) { canvas_ = canvas; }
  Canvas* canvas() const { return canvas_; }
  FontDescription& description() { return description_; }
  // The font last built from the description. It is made when first drawn with: a font that is
  // set and replaced before anything is drawn costs nothing.
  const QFont& font() const;

  // Builds the font from the description again (as it stands now).
  void RebuildFont();
  void SetSize(int height, int width);
  void SetBold(bool bold);
  void SetItalic(bool italic);
  void SetFace(const std::string& face);
  // Texts are cut at the edges of `clip` (an empty rectangle: no cut).
  void set_clip(const QRect& clip) { clip_ = clip; }
  void SetTextColour(const QColor& colour) { text_colour_ = colour; }
  void SetBackgroundColour(const QColor& colour) { background_ = colour; }

  // The text (Windows-1252, cut to 255) with its cell's top-left corner at (x, y). Returns the
  // x where it ended.
  int DrawText(int x, int y, std::string_view text);
  void DrawColouredText(int x, int y, std::string_view text, const QColor& text_colour,
                        const QColor& background);
  // "^" raises and "_" lowers the character before or after it, in a font three quarters the
  // size; a lowered one sits 8 pixels lower. Right alignment (kAlignRight) makes the text end
  // at x.
  void DrawMarkedUpText(int x, int y, int alignment, std::string_view text);

 private:
  // Draws one piece at the current position and moves it past the piece.
  void DrawAtCurrent(std::string_view text, bool right_aligned, int y);
  // Keeps a whole text drawn from `left` to `right` for the screen readers.
  void Remember(int left, int right, int y, std::string_view text);
  int CellHeight() const;

  Canvas* canvas_ = nullptr;
  FontDescription description_;
  FontDescription built_from_;  // the description as RebuildFont found it
  mutable QFont font_;
  mutable bool font_made_ = false;
  QColor text_colour_ = Qt::black;
  QColor background_ = Qt::white;
  int current_x_ = 0;
  QRect clip_;
};

// The program's shared drawing context.
TextPainter& SharedDrawing();
// Makes the window's image the shared context's and builds its font.
void Attach(Window* window);
// Makes the canvas the shared context's, leaving the font as it is.
void Use(Canvas* canvas);

// A font of its own for one window (the About box, the manager's main window).
class FontObject : public TextPainter {
 public:
  void Create(Window* window) {
    description() = FontDescription{};
    set_canvas(window->canvas());
    RebuildFont();
  }
};

}  // namespace quiz
