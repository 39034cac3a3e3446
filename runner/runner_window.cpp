#include "runner/runner_window.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

#include "runner/sheet_access.h"
#include "runner/sheet_geometry.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

const QColor kBackground(128, 128, 255);
const QColor kWhite(255, 255, 255);
const QColor kGray(100, 100, 100);
const QColor kGreen(0, 120, 0);
const QColor kDarkRed(100, 0, 0);
const QColor kSheet(255, 232, 155);
const QColor kRightMark(0, 250, 0);
const QColor kWrongMark(250, 0, 0);

constexpr size_t kTitleShown = 56;

// Each group of texts sets its whole font first.
void Font(int height, int width, bool bold, bool italic = false) {
  TextPainter& p = SharedDrawing();
  p.description().face = "arial";
  p.description().italic = italic;
  p.description().weight = bold ? 700 : 400;
  p.SetSize(height, width);
}

}  // namespace

RunnerWindow::RunnerWindow(const RunnerOptions& options)
    : Window("quizrun", {0, 2, 1102, 780, false, true}, kBackground),
      day_(options.day),
      review_random_(options.seed ^ 0x5EEDu),
      engine_(this, options.day, options.seed, options.now) {
  if (!ReadInfoFile(&info_)) {
    MsgBox("No trobat Zive.cf", "Mancaran elements informatius");
  }
  setWindowTitle("test");
  setWindowIcon(ResourceIcon("Ic0"));
  BuildMenu();
  BuildControls();
  Attach(this);
  SharedDrawing().SetBackgroundColour(kBackground);
  SharedDrawing().SetTextColour(Qt::black);

  // The initialisation message.
  connect(&timer_, &QTimer::timeout, this, [this] { engine_.Tick(); });
  timer_.start(500);
  engine_.ResetClock();
  DrawClockLabels();
  SetCorrectionButton(false, "Corregir");
  const std::string path = options.argument.empty() ? "" : "Generats\\" + Utf8ToCp1252(options.argument);
  // A load that shows its test, or the empty sheet, draws the header, the sheet and the questions
  // itself; the window is not on screen yet, so they are drawn once, after it.
  const int header_draws = header_draws_;
  engine_.LoadTest(path);
  if (header_draws_ == header_draws) {
    DrawQuestions();
    DrawSheet();
    DrawHeader();
  }
  ComboFill(this, kPenalty, "1/4;1/2;1;0");
  ComboFill(this, kTime, "30;15;60");
  ComboSelect(this, kPenalty, 1);
  ComboSelect(this, kTime, 1);
  UpdateMenu();
}

RunnerWindow::~RunnerWindow() = default;

void RunnerWindow::BuildMenu() {
  auto* bar = new QMenuBar;
  auto add = [this](QMenu* menu, int id, const char* text) {
    QAction* a = menu->addAction(ToQString(W(text)));
    actions_[id] = a;
    connect(a, &QAction::triggered, this, [this, id] { Command(id); });
  };
  QMenu* tests = bar->addMenu("&Tests");
  add(tests, kOpenTest, "&Obrir/executar");
  add(tests, kExport, "Passar a text");
  add(tests, kPrint, "&Imprimir...");
  add(tests, kMistakes, "Repetir errades i en blanc");
  add(tests, kReview, "Repàs de les més fallades");
  tests->addSeparator();
  add(tests, kExit, "&Sortir");
  connect(tests, &QMenu::aboutToShow, this, [this] { UpdateMenu(); });
  QMenu* info = bar->addMenu("&Info");
  add(info, kHistory, "Veure &puntuacions");
  add(info, kChart, "&Gràfic de puntuacions");
  add(info, kTopicChart, "Progrés per te&mes");
  add(info, kTopicResults, "&Resultats per tema");
  add(info, kInfo, "&Info");
  add(info, kAbout, "&Quant a...");
  QAction* exit = bar->addAction("&Sortir");
  connect(exit, &QAction::triggered, this, [this] { Command(kExit); });
  SetMenuBar(bar);
}

void RunnerWindow::BuildControls() {
  MakeEditable(Add(kPenalty, new QComboBox, 720, 5, 50, 22));
  Add(0, new QGroupBox, 787, 0, 230, 80);
  MakeEditable(Add(kTime, new QComboBox, 842, 18, 46, 22));
  for (int id : {kElapsed, kEnd}) {
    auto* box = Add(id, new QLineEdit, id == kElapsed ? 837 : 952, 50, 60, 20);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
  }
  auto* start = Add(kStart, new QPushButton(">>"), 962, 14, 40, 30);
  auto* correction = Add(kCorrection, new QPushButton("Corregir"), 934, 88, 76, 20);
  correction->hide();
  // Beside "Repetir" once corrected: the results of each topic of the test.
  auto* by_topic = Add(kTopicResults, new QPushButton("Per temes"), 874, 88, 58, 20);
  by_topic->hide();
  connect(by_topic, &QAbstractButton::clicked, this, [this] { Command(kTopicResults); });
  // A click on a button leaves the keyboard to the answer sheet: a space there clears a mark, it
  // must not press "Repetir". The buttons are still reached with the tab key, and the tab key
  // comes back to the sheet.
  for (QPushButton* button : {start, correction, by_topic}) button->setFocusPolicy(Qt::TabFocus);
  canvas()->setFocusPolicy(Qt::StrongFocus);
  canvas()->setFocus();
  scroll_bar_ = Add(kScroll, new QScrollBar(Qt::Vertical), 768, 35, 16, 635);
  scroll_bar_->setFocusPolicy(Qt::NoFocus);
  scroll_bar_->setRange(0, 0);
  scroll_bar_->setPageStep(sheet::kPageQuestions);

  connect(start, &QAbstractButton::clicked, this, [this] { Command(kStart); });
  connect(correction, &QAbstractButton::clicked, this, [this] { Command(kCorrection); });
  // Every action of the bar arrives as the desktop sent it: the action, then its end.
  connect(scroll_bar_, &QAbstractSlider::actionTriggered, this, [this](int action) {
    using Code = ScrollState::Code;
    Code code = Code::kOther;
    switch (action) {
      case QAbstractSlider::SliderSingleStepSub: code = Code::kLineUp; break;
      case QAbstractSlider::SliderSingleStepAdd: code = Code::kLineDown; break;
      case QAbstractSlider::SliderPageStepSub: code = Code::kPageUp; break;
      case QAbstractSlider::SliderPageStepAdd: code = Code::kPageDown; break;
      case QAbstractSlider::SliderMove: code = Code::kThumbTrack; break;
      default: break;
    }
    const int thumb = scroll_bar_->sliderPosition();
    Scroll(code, thumb);
    // A drag sends its end when the thumb is let go; a wheel notch moves the thumb in one go.
    if (code != Code::kThumbTrack || !scroll_bar_->isSliderDown()) Scroll(Code::kOther);
    scroll_bar_->setSliderPosition(scroll_.position());
  });
  connect(scroll_bar_, &QAbstractSlider::sliderReleased, this, [this] { Scroll(ScrollState::Code::kOther); });
  canvas()->on_click = [this](int x, int y) { Click(x, y); };

  // For a screen reader: the painted sheet and question area are items of their own, the
  // clock's time left is read when asked, and the boxes whose labels are painted are named.
  using namespace sheet;
  const QRect area(kAreaLeft, kAreaTop, kAreaRight - kAreaLeft, kAreaBottom - kAreaTop);
  const QRect sheet_area(kSheetLeft, kSheetTop, kSheetRight - kSheetLeft, kSheetBottom - kSheetTop);
  canvas()->DescribeElsewhere(area);
  canvas()->DescribeElsewhere(sheet_area);
  question_area_ = new AccessiblePart(canvas(), QAccessible::StaticText, area, [this] { return QuestionReading(); });
  sheet_access_ = new SheetAccess(this);
  new AccessiblePart(canvas(), QAccessible::StaticText, QRect(787, 0, 230, 80), [this] { return ClockReading(); });
  canvas()->setAccessibleName("Respostes");
  canvas()->setAccessibleDescription(ToQString(W("a, b, c, d o 1 a 4 marquen la pregunta actual; les fletxes, "
                                                  "Re Pàg, Av Pàg, Inici i Fi hi mouen; Ctrl+Retorn corregeix")));
  // The reader follows the keyboard back to the sheet: to the current question's row.
  canvas()->installEventFilter(this);
  LabelControl(Control(kPenalty), ToQString(W("Penalització")));
  LabelControl(Control(kTime), "Temps (minuts)");
  LabelControl(Control(kElapsed), "Temps passat");
  LabelControl(Control(kEnd), "Hora final");
  LabelControl(start, ToQString(W("Començar el temps")));
  LabelControl(scroll_bar_, "Preguntes");
}

QString RunnerWindow::QuestionReading() {
  const int count = engine_.count();
  if (current_ < 1 || current_ > count) return ToQString(W("Cap test obert"));
  const auto k = static_cast<uint16_t>(current_);
  const Question q = engine_.ShownQuestion(k);
  QString text = QStringLiteral("Pregunta %1 de %2. ").arg(current_).arg(count) + ToQString(Shown(q.question));
  std::array<std::string, 5> shown;  // by letter position
  for (uint16_t j = 1; j <= 4; ++j) shown[engine_.item(k).order[j - 1u]] = q.answers[j - 1u];
  for (int position = 1; position <= 4; ++position) {
    text += "\n" + ToQString(AnswerLetter(position)) + ") " + ToQString(Shown(shown[static_cast<size_t>(position)]));
  }
  if (engine_.corrected()) {
    const int mark = engine_.mark(k);
    text += "\nResposta correcta: " + ToQString(AnswerLetter(engine_.CorrectPosition(k))) + ". " +
            (mark == 0 ? QStringLiteral("En blanc.") : "Marcada: " + ToQString(AnswerLetter(mark)) + ".");
  }
  return text;
}

QString RunnerWindow::ClockReading() const {
  if (!engine_.running()) return ToQString(W("Rellotge aturat"));
  const uint32_t left = engine_.remaining_seconds();
  return QStringLiteral("Temps restant: %1 min %2 s").arg(left / 60).arg(left % 60);
}

QAction* RunnerWindow::action(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void RunnerWindow::UpdateMenu() {
  actions_[kExport]->setEnabled(engine_.opened());
  actions_[kPrint]->setEnabled(engine_.count() > 0);  // a test is printed without being taken
  actions_[kMistakes]->setEnabled(engine_.corrected());
  actions_[kReview]->setEnabled(engine_.count() > 0);
  const bool by_topic = engine_.corrected() && !engine_.answers().empty();
  actions_[kTopicResults]->setEnabled(by_topic);
  Control(kTopicResults)->setVisible(by_topic);
}

int RunnerWindow::Message(const std::string& caption, const std::string& text, uint32_t flags) {
  return ShowMessageBox(caption, text, flags);
}

void RunnerWindow::SetWindowTitle(const std::string& title) { SetWinText(this, title); }

void RunnerWindow::DrawAll() {
  DrawClockLabels();
  DrawQuestions();
  DrawSheet();
  DrawHeader();
}

void RunnerWindow::DrawClockLabels() {
  TextPainter& p = SharedDrawing();
  Font(16, 8, true);
  p.DrawColouredText(792, 24, "Temps", kDarkRed, kBackground);
  p.DrawText(892, 24, "min.");
  p.DrawText(792, 54, " Hora");
  p.DrawText(902, 54, " FINAL:");
}

void RunnerWindow::DrawHeader() {
  ++header_draws_;
  TextPainter& p = SharedDrawing();
  Font(20, 10, true);
  std::string title = engine_.title();
  if (title.size() > kTitleShown) title = title.substr(0, kTitleShown) + "...";
  p.SetBackgroundColour(kBackground);
  // The earlier title goes, up to the penalty label (48 spaces in the title's font would not
  // reach the end of a long one).
  {
    QPainter painter(&canvas()->image());
    painter.fillRect(5, 8, 622 - 5, 20, kBackground);
  }
  canvas()->ForgetTexts(QRect(5, 8, 622 - 5, 20));
  p.DrawColouredText(5, 8, title, kGreen, kBackground);
  Font(16, 8, true);
  p.DrawColouredText(622, 14, W("penalització:"), kDarkRed, kBackground);
  p.DrawText(792, 92, "RESPOSTES");
  if (engine_.corrected()) DrawSolutions();
}

void RunnerWindow::DrawQuestions() {
  using namespace sheet;
  {
    // A white area in a black line.
    QPainter painter(&canvas()->image());
    const QRect area(kAreaLeft, kAreaTop, kAreaRight - kAreaLeft, kAreaBottom - kAreaTop);
    FillInBands(painter, area.adjusted(1, 1, -1, -1), kWhite);
    for (const QRect& edge : {QRect(area.left(), area.top(), area.width(), 1), QRect(area.left(), area.bottom(), area.width(), 1),
                              QRect(area.left(), area.top(), 1, area.height()), QRect(area.right(), area.top(), 1, area.height())}) {
      FillInBands(painter, edge, Qt::black);
    }
  }
  canvas()->update();
  const int count = engine_.count();
  if (count == 0) return;
  const int first = scroll_.position();
  const int shown = std::min(kPageQuestions, count - first);
  TextPainter& p = SharedDrawing();
  p.set_clip(QRect(kAreaLeft + 1, kAreaTop + 1, kAreaRight - kAreaLeft - 2, kAreaBottom - kAreaTop - 2));
  int y = kFirstBlockTop;
  for (int i = 1; i <= shown; ++i) {
    const auto k = static_cast<uint16_t>(first + i);
    const Question q = engine_.ShownQuestion(k);
    Font(16, 6, true);
    p.DrawColouredText(kTextLeft, y, IntToText(k) + ". " + q.question, Qt::black, kWhite);
    for (uint16_t j = 1; j <= 4; ++j) {
      const int position = engine_.item(k).order[j - 1u];
      const bool correct = j == 1;
      if (engine_.corrected()) {
        Font(16, 6, correct);
        p.SetTextColour(correct ? kGreen : kGray);
      } else {
        Font(16, 6, false);
        p.SetTextColour(Qt::black);
      }
      p.DrawText(kTextLeft, y + kAnswerStep * position, AnswerLetter(position) + ") " + q.answers[j - 1u]);
    }
    if (k == current_) {
      QPainter painter(&canvas()->image());
      painter.setPen(kDarkRed);
      painter.drawRect(kAreaLeft + 2, y - 3, kAreaRight - kAreaLeft - 6, kBlockHeight - 6);
    }
    y += kBlockHeight;
  }
  p.set_clip(QRect());
}

void RunnerWindow::DrawSheet() {
  using namespace sheet;
  {
    QPainter painter(&canvas()->image());
    FillInBands(painter, QRect(kSheetLeft, kSheetTop, kSheetRight - kSheetLeft, kSheetBottom - kSheetTop), kSheet);
  }
  TextPainter& p = SharedDrawing();
  Font(14, 5, true);
  for (int k = 1; k <= engine_.count(); ++k) {
    const int top = RowTop(k);
    p.SetBackgroundColour(kSheet);
    p.SetTextColour(Qt::black);
    p.DrawMarkedUpText(kNumberRight + ColumnOffset(k), top - 8, kAlignRight, IntToText(k) + ")");
    for (int c = 0; c < 4; ++c) {
      DrawBubble(static_cast<uint16_t>(k), static_cast<uint16_t>(c + 1), engine_.mark(static_cast<uint16_t>(k)) == c + 1);
      p.SetTextColour(kDarkRed);
      p.DrawText(BubbleLeft(k, c), top - 14, AnswerLetter(c + 1));
    }
  }
  if (current_ >= 1 && current_ <= engine_.count()) {
    // The current question's row: its number, its bubbles and the place of its solution.
    const int offset = ColumnOffset(current_);
    const int left = kNumberRight - 22 + offset, top = RowTop(current_) - 15;
    const int right = std::min(kSolutionLeft + 11 + offset, kSheetRight - 1);
    QPainter painter(&canvas()->image());
    painter.setPen(kDarkRed);
    painter.drawRect(left, top, right - left, kRowHeight + 1);
  }
  canvas()->update();
  sheet_access_->ResultsDrawn();
}

void RunnerWindow::DrawBubble(uint16_t question, uint16_t position, bool filled) {
  using namespace sheet;
  QPainter painter(&canvas()->image());
  painter.setPen(Qt::black);
  painter.setBrush(filled ? kGray : kWhite);
  painter.drawEllipse(BubbleLeft(question, position - 1), RowTop(question), kBubbleWidth - 1, kBubbleHeight - 1);
  canvas()->update();
  sheet_access_->MarkDrawn(question);
}

void RunnerWindow::DrawSolutions() {
  using namespace sheet;
  TextPainter& p = SharedDrawing();
  // The size stays the last one set, as it always did.
  p.description().weight = 700;
  p.SetItalic(true);
  for (int k = 1; k <= engine_.count(); ++k) {
    const QuestionResult r = engine_.result(static_cast<uint16_t>(k));
    if (r == QuestionResult::kUnanswered) continue;
    const bool right = r == QuestionResult::kRight;
    p.DrawColouredText(kSolutionLeft + ColumnOffset(k), RowTop(k) - 8, right ? "V" : "X",
                       right ? kRightMark : kWrongMark, kSheet);
  }
  p.SetItalic(false);
  sheet_access_->ResultsDrawn();
}

void RunnerWindow::ResetScroll(uint16_t count) {
  scroll_.Reset(count);
  scroll_bar_->setRange(0, count);
  scroll_bar_->setValue(0);
  // A test starts at its first question; the sheet was drawn just before, for the one before.
  const int first = count > 0 ? 1 : 0;
  if (current_ != first) {
    current_ = first;
    DrawSheet();
    sheet_access_->CurrentMoved(current_);
    question_area_->NameChanged();
  }
}

void RunnerWindow::ShowFromFirstQuestion() { scroll_.set_position(0); }

void RunnerWindow::SetCorrectionButton(bool visible, const std::string& text) {
  SetItemText(this, kCorrection, text);
  Control(kCorrection)->setVisible(visible);
}

void RunnerWindow::SetElapsedText(const std::string& text) { SetItemText(this, kElapsed, text); }
void RunnerWindow::SetEndText(const std::string& text) { SetItemText(this, kEnd, text); }
void RunnerWindow::SetTimeText(const std::string& text) { SetItemText(this, kTime, text); }
void RunnerWindow::ShowStartButton() { ShowItem(this, kStart); }

void RunnerWindow::Click(int x, int y) {
  if (const auto hit = sheet::HitBubble(x, y, engine_.count())) Answer(hit->question, hit->position);
}

void RunnerWindow::Answer(int k, int position) {
  if (k < 1 || k > engine_.count() || position < 1 || position > 4) return;
  engine_.Mark(static_cast<uint16_t>(k), static_cast<uint16_t>(position));
  SetCurrent(k);
}

void RunnerWindow::SetCurrent(int k) {
  const int count = engine_.count();
  if (count == 0) return;
  k = std::clamp(k, 1, count);
  const bool moved = k != current_;
  current_ = k;
  int first = scroll_.position();
  if (k <= first) first = k - 1;
  if (k > first + sheet::kPageQuestions) first = k - sheet::kPageQuestions;
  if (!moved && first == scroll_.position()) return;
  if (first != scroll_.position()) {
    scroll_.set_position(first);
    scroll_bar_->setValue(first);
  }
  if (moved) {
    DrawSheet();
    if (engine_.corrected()) {
      Font(16, 8, true);  // the size the solutions are drawn in after the header
      DrawSolutions();
    }
  }
  DrawQuestions();
  if (moved) {
    sheet_access_->CurrentMoved(current_);
    question_area_->NameChanged();
  }
}

bool RunnerWindow::Key(int key, Qt::KeyboardModifiers modifiers) {
  const int count = engine_.count();
  if (count == 0) return false;
  const bool control = modifiers & Qt::ControlModifier;
  if (control) {
    // Ctrl+Enter asks for the correction; after it the button repeats the test, which a key
    // must not do.
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || engine_.corrected() || !Control(kCorrection)->isVisible()) {
      return false;
    }
    Command(kCorrection);
    return true;
  }
  const auto k = static_cast<uint16_t>(current_);
  int position = 0;
  if (key >= Qt::Key_A && key <= Qt::Key_D) position = key - Qt::Key_A + 1;
  if (key >= Qt::Key_1 && key <= Qt::Key_4) position = key - Qt::Key_1 + 1;
  if (position != 0) {
    // The same rule as a click; a new mark moves on to the next question.
    engine_.Mark(k, static_cast<uint16_t>(position));
    if (engine_.mark(k) == position) SetCurrent(current_ + 1);
    return true;
  }
  switch (key) {
    case Qt::Key_Up: SetCurrent(current_ - 1); return true;
    case Qt::Key_Down: SetCurrent(current_ + 1); return true;
    case Qt::Key_Left: SetCurrent(current_ - sheet::kRowsPerColumn); return true;
    case Qt::Key_Right: SetCurrent(current_ + sheet::kRowsPerColumn); return true;
    case Qt::Key_PageUp: SetCurrent(current_ - sheet::kPageQuestions); return true;
    case Qt::Key_PageDown: SetCurrent(current_ + sheet::kPageQuestions); return true;
    case Qt::Key_Home: SetCurrent(1); return true;
    case Qt::Key_End: SetCurrent(count); return true;
    case Qt::Key_Space:
    case Qt::Key_Delete:
      if (engine_.mark(k) != 0) engine_.Mark(k, engine_.mark(k));
      return true;
    default: return false;
  }
}

bool RunnerWindow::eventFilter(QObject* watched, QEvent* event) {
  // After the desktop has told the reader about the canvas itself.
  if (watched == canvas() && event->type() == QEvent::FocusIn && AccessibilityListening()) {
    QMetaObject::invokeMethod(this, [this] { sheet_access_->CurrentMoved(current_); }, Qt::QueuedConnection);
  }
  return Window::eventFilter(watched, event);
}

void RunnerWindow::keyPressEvent(QKeyEvent* event) {
  if (!Key(event->key(), event->modifiers() & ~Qt::KeypadModifier)) Window::keyPressEvent(event);
}

void RunnerWindow::Scroll(ScrollState::Code code, int thumb) {
  if (!scroll_.OnMessage(code, thumb)) return;
  // setValue, not setSliderPosition: that would send the bar's own message back here.
  scroll_bar_->setValue(scroll_.position());
  if (scroll_.position() < scroll_.count()) DrawQuestions();
}

}  // namespace quiz
