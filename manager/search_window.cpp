#include "manager/search_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

#include "toolkit/cp1252.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/window.h"
#include "toolkit/text.h"

namespace quiz {
namespace {

constexpr int kGo = 1;
constexpr int kExit = 2;
constexpr int kStart = 3;
constexpr int kText = 100;
constexpr int kHitList = 150;
const QColor kBackground(236, 233, 216);
// The occurrences line and the one under it, wiped before each drawing.
const QRect kLinesArea(20, 30, 150, 28);

class SearchWindow : public Window {
 public:
  SearchWindow(const QuestionFile& bank, SearchHits* hits)
      : Window("cercar", {500, 40, 250, 150, false, false}, kBackground), bank_(bank), hits_(hits) {
    SetWinText(this, "Cercar cadena...");
    setWindowIcon(ResourceIcon("Ic0"));
    auto* text = Add(kText, new QLineEdit, 10, 4, 205, 20);
    auto* start = Add(kStart, new QPushButton(">"), 216, 4, 24, 20);
    auto* list = Add(kHitList, new QListWidget, 170, 40, 50, 80);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* go = Add(kGo, new QPushButton("ves-hi"), 100, 60, 60, 22);
    LabelControl(text, "Text a cercar");
    LabelControl(start, "Cercar");
    LabelControl(list, "Preguntes trobades");
    auto* exit = Add(kExit, new QPushButton("Surt"), 10, 80, 50, 30);
    connect(start, &QAbstractButton::clicked, this, [this] { Search(); });
    connect(text, &QLineEdit::returnPressed, this, [this] { Search(); });
    connect(text, &QLineEdit::textChanged, this, [this] { DrawLines(); });
    connect(go, &QAbstractButton::clicked, this, [this] { GoToHit(); });
    connect(list, &QListWidget::itemDoubleClicked, this, [this] { GoToHit(); });
    connect(exit, &QAbstractButton::clicked, this, [this] { Finish(0); });

    // Opening: the last search as it was left.
    SetItemText(this, kText, hits_->text);
    FillList();
    text->setFocus();
    if (hits_->text.empty()) HideItem(this, kGo);
    DrawLines();
  }

  uint32_t result() const { return result_; }

 private:
  void FillList() {
    ListClear(this, kHitList);
    for (uint16_t n : hits_->numbers) ListAdd(this, kHitList, IntToText(n));
    ListSelect(this, kHitList, 1);
  }

  void DrawLines() {
    {
      QPainter painter(&canvas()->image());
      FillInBands(painter, kLinesArea, kBackground);
    }
    canvas()->ForgetTexts(kLinesArea);
    canvas()->update();
    if (GetItemText(this, kText).empty()) return;
    TextPainter& p = SharedDrawing();
    Use(canvas());
    p.SetBackgroundColour(kBackground);
    p.SetTextColour(Qt::black);
    p.DrawText(20, 30, OccurrencesLine(*hits_));
    if (const std::string listed = ListedLine(*hits_); !listed.empty()) p.DrawText(20, 44, listed);
  }

  void Search() {
    ListClear(this, kHitList);
    QElapsedTimer shown;
    shown.start();
    // The count grows on the screen while the bank is read; the window is repainted a few times
    // a second, not at every hit.
    const Status status = SearchQuestions(bank_, GetItemText(this, kText), hits_, [&](const SearchHits& hits) {
      if (hits.numbers.size() == hits.count) ListAdd(this, kHitList, IntToText(hits.numbers.back()));
      if (shown.elapsed() >= 100) {
        ListSelect(this, kHitList, 1);
        DrawLines();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        shown.restart();
      }
    });
    ListSelect(this, kHitList, 1);
    DrawLines();
    if (hits_->count == 0) {
      HideItem(this, kGo);
    } else {
      ShowItem(this, kGo);
    }
    ShowStatus(status);
  }

  void GoToHit() {
    const int line = ListSelected(this, kHitList);
    if (hits_->count > 0 && line >= 1 && static_cast<size_t>(line) <= hits_->numbers.size()) {
      result_ = hits_->numbers[static_cast<size_t>(line - 1)];
    }
    close();
  }

  const QuestionFile& bank_;
  SearchHits* hits_;
  uint32_t result_ = 0;
};

}  // namespace

uint32_t SearchQuestionsWindow(const QuestionFile& bank, SearchHits* hits) {
  SearchWindow window(bank, hits);
  if (window.RunLoop() == Window::kLoopRefused) return 0;
  return window.result();
}

}  // namespace quiz
