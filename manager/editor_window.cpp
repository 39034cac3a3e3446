#include "manager/editor_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

#include <map>

#include "manager/question_editor.h"
#include "manager/search_window.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/qt_text.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

namespace ed = editor;
const QColor kBackground(236, 233, 216);
const QColor kText(0, 0, 150);

int WindowHeight(const Layout& layout) { return 320 - 30 * (4 - layout.alternatives); }

class EditorWindow : public Window {
 public:
  EditorWindow(QuestionFile* bank, const TopicEntry& entry, Question* record, SearchHits* hits)
      : Window("edqeleccio", {10, 10, 860, WindowHeight(entry.layout), false, false}, kBackground),
        bank_(bank),
        hits_(hits),
        layout_(entry.layout),
        editor_(bank, entry.layout, record, &messages_) {
    setWindowIcon(ResourceIcon("Ic0"));
    BuildControls();
    // Opening.
    SetWinText(this, W("Edició qüestions ") + entry.title);
    for (int k = layout_.alternatives + 1; k <= kMaxAlternatives; ++k) HideItem(this, ed::kQuestionField + k);
    if (layout_.comment_length == 0) HideItem(this, ed::kCommentField);
    DrawLabels();
  }

  void Open(uint32_t start) {
    Question fields;
    if (editor_.Open(start, &fields)) Put(fields);
    DrawStatus();
    GetItem(this, ed::kQuestionField)->setFocus();
  }

 protected:
  // The Tab rule, for the question, the answers and the number box.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
      for (int id : FieldsWithTabRule()) {
        if (Control(id) == watched) {
          TabFrom(id);
          return true;
        }
      }
    }
    return Window::eventFilter(watched, event);
  }

  // From the title bar too, typed work is never dropped without the leave check; a save that
  // fails keeps the window open.
  void closeEvent(QCloseEvent* event) override {
    if (!left_ && !editor_.LeaveCheck(Typed())) {
      event->ignore();
      return;
    }
    left_ = true;
    Window::closeEvent(event);
  }

 private:
  std::vector<int> FieldsWithTabRule() const {
    std::vector<int> ids;
    for (int id = ed::kQuestionField; id <= ed::kQuestionField + layout_.alternatives; ++id) ids.push_back(id);
    ids.push_back(ed::kNumberBox);
    return ids;
  }

  void BuildControls() {
    const int n = layout_.alternatives;
    const int h = WindowHeight(layout_);
    const int comment_top = 30 * n + 102;
    auto field = [this](int id, int y) {
      auto* edit = Add(id, new QLineEdit, 36, y, 800, 22);
      remembered_[id] = "";
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) { Edited(id, text); });
      edit->installEventFilter(this);
    };
    auto icon = [this](const char* name, int y) {
      auto* label = Add(0, new QLabel, 0, y, 26, 26);
      label->setPixmap(IconPixmap(name, 26));
    };
    field(ed::kQuestionField, 24);
    icon("IcPreg", 26);
    field(ed::kCorrectField, 78);
    icon("IcBe", 82);
    for (int k = 1; k <= kMaxAlternatives - 1; ++k) {
      field(ed::kCorrectField + k, 122 + 30 * (k - 1));
      if (k <= n - 1) icon("IcMal", 126 + 30 * (k - 1));
    }
    Add(ed::kCommentField, new QLineEdit, 36, comment_top, 800, 22);
    Add(ed::kCopyBox, new QCheckBox("Copiar a nova"), 15, h - 66, 120, 26);
    struct Button {
      int id;
      std::string text;
      int x, y, width, height;
    } buttons[] = {{ed::kSearch, "Cercar...", 140, h - 64, 70, 22}, {ed::kGoToNumber, W(">Nº"), 230, h - 64, 40, 22},
                   {ed::kFirst, "|<", 332, h - 68, 35, 22},         {ed::kPrevious, "<", 366, h - 68, 35, 22},
                   {ed::kNext, ">", 400, h - 68, 35, 22},            {ed::kLast, ">|", 434, h - 68, 35, 22},
                   {ed::kNew, "+", 480, h - 71, 26, 26},             {ed::kDelete, "x", 510, h - 71, 26, 26},
                   {ed::kExit, "Surt", 620, h - 64, 90, 30},         {ed::kAccept, "Accepta", 720, h - 64, 90, 30}};
    for (const Button& b : buttons) {
      auto* button = Add(b.id, new QPushButton(ToQString(b.text)), b.x, b.y, b.width, b.height);
      const int id = b.id;
      connect(button, &QAbstractButton::clicked, this, [this, id] { Press(id); });
    }
    // What the icons and the painted labels say, and what the symbols on the buttons mean.
    LabelControl(Control(ed::kQuestionField), "Pregunta");
    LabelControl(Control(ed::kCorrectField), "Resposta correcta");
    for (int k = 1; k <= kMaxAlternatives - 1; ++k) {
      LabelControl(Control(ed::kCorrectField + k), QStringLiteral("Resposta falsa %1").arg(k));
    }
    LabelControl(Control(ed::kCommentField), "Comentari");
    for (const auto& [id, label] : {std::pair{ed::kGoToNumber, "Anar a la pregunta número"}, {ed::kFirst, "Primera pregunta"},
                                    {ed::kPrevious, "Pregunta anterior"}, {ed::kNext, "Pregunta següent"},
                                    {ed::kLast, "Última pregunta"}, {ed::kNew, "Pregunta nova"},
                                    {ed::kDelete, "Esborrar la pregunta"}}) {
      LabelControl(Control(id), QString::fromUtf8(label));
    }
    auto* number = Add(ed::kNumberBox, new QLineEdit, 270, h - 64, 30, 22);
    LabelControl(number, QString::fromUtf8("Número de pregunta"));
    remembered_[ed::kNumberBox] = "";
    connect(number, &QLineEdit::textEdited, this, [this](const QString& text) { Edited(ed::kNumberBox, text); });
    number->installEventFilter(this);
  }

  void DrawLabels() {
    TextPainter& p = SharedDrawing();
    Use(canvas());
    p.SetBackgroundColour(kBackground);
    p.SetTextColour(kText);
    p.DrawText(36, 8, "pregunta:");
    p.DrawText(36, 62, "resposta correcta:");
    p.DrawText(36, 106, "respostes falses:");
    // Over a comment field that a topic without comments does not show, the label would name
    // nothing.
    if (layout_.comment_length > 0) p.DrawText(36, 30 * layout_.alternatives + 102 - 16, "comentari");
  }

  void DrawStatus() {
    TextPainter& p = SharedDrawing();
    Use(canvas());
    p.SetBackgroundColour(kBackground);
    p.SetTextColour(kText);
    p.DrawText(700, 4, QuestionEditor::StatusWipe());
    p.DrawText(700, 4, editor_.StatusText());
  }

  Question Typed() const {
    Question typed;
    typed.question = GetItemText(this, ed::kQuestionField);
    for (int k = 1; k <= layout_.alternatives; ++k) {
      typed.answers[static_cast<size_t>(k - 1)] = GetItemText(this, ed::kQuestionField + k);
    }
    if (layout_.comment_length > 0) typed.comment = GetItemText(this, ed::kCommentField);
    return typed;
  }

  void Put(const Question& q) {
    SetItemText(this, ed::kQuestionField, q.question);
    for (int k = 1; k <= kMaxAlternatives; ++k) {
      SetItemText(this, ed::kQuestionField + k, k <= layout_.alternatives ? q.answers[static_cast<size_t>(k - 1)] : "");
    }
    SetItemText(this, ed::kCommentField, q.comment);
    for (auto& [id, text] : remembered_) text = GetItemText(this, id);
    GetItem(this, ed::kQuestionField)->setFocus();
  }

  bool copy_ticked() const { return qobject_cast<QCheckBox*>(Control(ed::kCopyBox))->isChecked(); }

  void Press(int id) {
    Question fields;
    bool show = false;
    switch (id) {
      case ed::kAccept: editor_.Save(Typed()); break;
      case ed::kExit:
        if (editor_.LeaveCheck(Typed())) {
          left_ = true;
          close();
        }
        return;
      case ed::kDelete: show = editor_.Delete(&fields); break;
      case ed::kSearch: {
        // The hit is shown only after the question typed here was saved or dropped, as every
        // other way of leaving it asks; a save that fails stays.
        const uint32_t hit = SearchQuestionsWindow(*bank_, hits_);
        show = hit > 0 && editor_.LeaveCheck(Typed()) && editor_.Jump(hit, copy_ticked(), &fields);
        break;
      }
      default:
        show = editor_.Navigate(id, Typed(), GetItemText(this, ed::kNumberBox), copy_ticked(), &fields);
        break;
    }
    if (show) Put(fields);
    DrawStatus();
  }

  // A change of a field's text: a Tab in it (pasted, say) is not kept, and acts as the Tab key.
  void Edited(int id, const QString& text) {
    if (!text.contains('\t')) {
      remembered_[id] = GetItemText(this, id);
      return;
    }
    SetItemText(this, id, remembered_[id]);
    if (id == ed::kCommentField) return;
    TabFrom(id);
  }

  void TabFrom(int id) {
    const int target = TabTarget(id, layout_);
    if (target == ed::kGoToNumber) {
      Press(ed::kGoToNumber);
    } else if (target != 0) {
      GetItem(this, target)->setFocus();
    }
  }

  QuestionFile* bank_;
  SearchHits* hits_;
  Layout layout_;
  BoxMessages messages_;
  QuestionEditor editor_;
  std::map<int, std::string> remembered_;  // each field's text before the last change
  bool left_ = false;                      // the leave check has run for closing
};

}  // namespace

bool EditQuestions(QuestionFile* bank, const TopicEntry& entry, Question* record, SearchHits* hits, uint32_t start) {
  EditorWindow window(bank, entry, record, hits);
  // A second editor reads nothing: its loop is refused and the open one comes to the front.
  if (!Window::LoopRunning("edqeleccio")) window.Open(start);
  return window.RunLoop() != Window::kLoopRefused;
}

}  // namespace quiz
