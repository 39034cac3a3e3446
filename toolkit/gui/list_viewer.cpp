#include "toolkit/gui/accessible.h"
#include "toolkit/gui/list_viewer.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>

#include <cmath>

#include "toolkit/cp1252.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

enum class Mode { kSingle, kMultiple, kReorder };

constexpr int kLines = 101;
constexpr int kView = 1;
constexpr int kExit = 2;
constexpr int kAll = 3;
constexpr int kNone = 4;
constexpr int kReorderCheck = 9;
constexpr int kUp = 10;
constexpr int kDown = 11;
constexpr int kMinWidth = 320;
constexpr int kHeight = 340;

std::string& CaptionSuffix() {
  static std::string suffix;
  return suffix;
}

class ListWindow : public Window {
 public:
  ListWindow(const std::string& title, const TextList& lines, Mode mode)
      : Window("Llista", {300, 20, kMinWidth, kHeight, true, false}, QColor(236, 233, 216)),
        mode_(mode) {
    std::string caption = title.substr(0, 81);
    if (!CaptionSuffix().empty()) caption += " " + CaptionSuffix();
    SetWinText(this, caption);

    list_ = Add(kLines, new QListWidget, 10, 26, 295, 230);
    list_->setSelectionMode(mode == Mode::kMultiple ? QAbstractItemView::MultiSelection
                                                    : QAbstractItemView::SingleSelection);
    auto* view = Add(kView, new QPushButton("Veure"), 240, 270, 70, 30);
    auto* exit = Add(kExit, new QPushButton("Surt"), 10, 270, 70, 30);
    auto* all = Add(kAll, new QPushButton("Tot"), 170, 265, 50, 20);
    auto* none = Add(kNone, new QPushButton("Res"), 110, 265, 50, 20);
    check_ = Add(kReorderCheck, new QCheckBox(ToQString(W("Reordenar línies"))), 110, 2, 140, 20);
    up_ = Add(kUp, new QPushButton("/\\"), 272, 2, 20, 20);
    down_ = Add(kDown, new QPushButton("\\/"), 250, 2, 20, 20);
    LabelControl(list_, ToQString(W("Línies")));
    LabelControl(up_, "Pujar la línia");
    LabelControl(down_, "Baixar la línia");
    for (int id : {kAll, kNone}) Control(id)->setVisible(mode == Mode::kMultiple);
    for (int id : {kReorderCheck, kUp, kDown}) Control(id)->setVisible(mode == Mode::kReorder);
    up_->setEnabled(false);
    down_->setEnabled(false);

    SetArrangement([this](int w, int h) { Arrange(w, h); });
    size_t longest = 0;
    const size_t shown = std::min(lines.count(), kMaxListLines);
    for (size_t i = 0; i < shown; ++i) {
      ListAdd(this, kLines, lines.items[i]);
      longest = std::max(longest, lines.items[i].size());
      if (i < kMaxReorderLines) order_.push_back(static_cast<uint8_t>(i + 1));
    }
    const int width = ListWidthFor(longest);
    if (width > kMinWidth) {
      move(300, 20);
      SetOuterSize(width, kHeight);
      list_->setGeometry(10, 26, width - 25, 240);
    }
    if (mode != Mode::kMultiple) ListSelect(this, kLines, 1);

    connect(view, &QAbstractButton::clicked, this, [this] { FinishWithSelection(); });
    connect(exit, &QAbstractButton::clicked, this, [this] { Finish(0); });
    connect(all, &QAbstractButton::clicked, list_, &QListWidget::selectAll);
    connect(none, &QAbstractButton::clicked, list_, &QListWidget::clearSelection);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] {
      if (mode_ != Mode::kMultiple) FinishWithSelection();
    });
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
              KeepOneLine(selected, deselected);
            });
    connect(check_, &QCheckBox::toggled, this, [this](bool on) { AllowMoves(on); });
    connect(up_, &QAbstractButton::clicked, this, [this] { Move(-1); });
    connect(down_, &QAbstractButton::clicked, this, [this] { Move(+1); });
    list_->installEventFilter(this);
  }

 protected:
  // Without a mouse: Enter is "Veure" (or the button that has the focus), Escape is "Surt",
  // and Ctrl with an arrow moves the selected line once reordering is ticked.
  void keyPressEvent(QKeyEvent* event) override {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
          button->click();
        } else {
          FinishWithSelection();
        }
        return;
      case Qt::Key_Escape: Finish(0); return;
      default: Window::keyPressEvent(event);
    }
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool up = key->key() == Qt::Key_Up, down = key->key() == Qt::Key_Down;
      if ((up || down) && (key->modifiers() & Qt::ControlModifier) && up_->isEnabled()) {
        Move(up ? -1 : +1);
        return true;
      }
    }
    return Window::eventFilter(watched, event);
  }

 public:

  const std::vector<uint16_t>& selection() const { return selection_; }
  const std::vector<uint8_t>& order() const { return order_; }

 private:
  void Arrange(int w, int h) {
    Control(kView)->setGeometry(w - 80, h - 38, 70, 30);
    Control(kExit)->setGeometry(10, h - 38, 70, 30);
    list_->setGeometry(10, 30, w - 25, h - 78);
    Control(kAll)->setGeometry(w - 150, h - 40, 50, 20);
    Control(kNone)->setGeometry(110, h - 40, 50, 20);
  }

  // Outside multiple pick, one line is always selected: a newly selected line is the only one,
  // and a click that would leave none (on the selected line, or Ctrl with it) keeps it.
  void KeepOneLine(const QItemSelection& selected, const QItemSelection& deselected) {
    if (mode_ == Mode::kMultiple || adjusting_) return;
    int keep = 0;
    if (!selected.indexes().isEmpty()) {
      keep = selected.indexes().first().row() + 1;
    } else if (ListSelected(this, kLines) == 0 && !deselected.indexes().isEmpty()) {
      keep = deselected.indexes().first().row() + 1;
    }
    if (keep == 0) return;
    adjusting_ = true;
    ListSelect(this, kLines, keep);
    adjusting_ = false;
  }

  void AllowMoves(bool on) {
    if (on && ListCount(this, kLines) > static_cast<int>(kMaxReorderLines)) {
      MsgBoxFlags(W("Massa línies"),
                  W("Només es poden reordenar llistes de 255 línies com a màxim; aquesta en té ") +
                      std::to_string(ListCount(this, kLines)) + ".",
                  kMbIconExclamation);
      check_->setChecked(false);
      return;
    }
    up_->setEnabled(on);
    down_->setEnabled(on);
  }

  void Move(int step) {
    const int p = ListSelected(this, kLines);
    const int t = p + step;
    if (p == 0 || t < 1 || t > ListCount(this, kLines)) return;
    const std::string at_p = ListItem(this, kLines, p);
    ListReplace(this, kLines, p, ListItem(this, kLines, t));
    ListReplace(this, kLines, t, at_p);
    std::swap(order_[static_cast<size_t>(p - 1)], order_[static_cast<size_t>(t - 1)]);
    ListSelect(this, kLines, t);
  }

  void FinishWithSelection() {
    if (mode_ != Mode::kMultiple) {
      Finish(ListSelected(this, kLines));
      return;
    }
    selection_.clear();
    for (int i = 0; i < list_->count(); ++i) {
      if (list_->item(i)->isSelected()) selection_.push_back(static_cast<uint16_t>(i + 1));
    }
    Finish(static_cast<int>(selection_.size()));
  }

  Mode mode_;
  QListWidget* list_;
  QCheckBox* check_;
  QPushButton* up_;
  QPushButton* down_;
  std::vector<uint16_t> selection_;
  std::vector<uint8_t> order_;
  bool adjusting_ = false;
};

int Show(const std::string& title, const TextList& lines, Mode mode,
         std::vector<uint16_t>* selection, std::vector<uint8_t>* order) {
  ListWindow window(title, lines, mode);
  CaptionSuffix().clear();
  const int result = window.RunLoop();
  if (selection) *selection = window.selection();
  if (order) *order = window.order();
  return result;
}

}  // namespace

int ListWidthFor(size_t longest_line) {
  const int width = static_cast<int>(std::nearbyint(6.5 * static_cast<double>(longest_line))) + 25;
  return std::max(width, kMinWidth);
}

int ShowList(const std::string& title, const TextList& lines) {
  return Show(title, lines, Mode::kSingle, nullptr, nullptr);
}

int ChooseLines(const std::string& title, const TextList& lines, std::vector<uint16_t>* selection) {
  return Show(title, lines, Mode::kMultiple, selection, nullptr);
}

int ReorderLines(const std::string& title, const TextList& lines, std::vector<uint8_t>* order) {
  return Show(title, lines, Mode::kReorder, nullptr, order);
}

void SetCaptionSuffix(const std::string& suffix) { CaptionSuffix() = suffix; }

void ShowListWithMore(const std::string& title, const TextList& lines, const std::string& more_title,
                      const std::string& none_text, const std::function<Status(int picked, TextList* more)>& more) {
  const int picked = ShowList(title, lines);
  if (picked <= 0) return;
  TextList shown;
  if (const Status status = more(picked, &shown); !status.ok()) {
    ShowStatus(status);
  } else if (shown.count() == 0) {
    MsgBox(more_title, none_text);
  } else {
    ShowList(more_title, shown);
  }
}

}  // namespace quiz
