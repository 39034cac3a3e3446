#include "manager/params_window.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "manager/topic_params.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/window.h"

namespace quiz {
namespace {

constexpr int kAccept = 1;
constexpr int kExit = 2;
constexpr int kTitle = 101;
constexpr int kFileName = 102;
constexpr int kQuestionLength = 103;
constexpr int kAnswerLength = 104;
constexpr int kCommentLength = 105;
constexpr int kAlternatives = 118;

class ParamsWindow : public Window {
 public:
  ParamsWindow(TopicIndex* index, CurrentTopic* current, QuestionFile* bank, bool copy_structure)
      : Window("edtest", {400, 20, 460, 240, false, false}, QColor(250, 180, 60)),
        index_(index), current_(current), bank_(bank), is_new_(current->number > index->count()) {
    SetWinText(this, W("Paràmetres tema"));
    setWindowIcon(ResourceIcon("Ic0"));
    struct Field {
      int id, x, y, width;
    } fields[] = {{kTitle, 16, 22, 420},         {kFileName, 60, 48, 190},     {kQuestionLength, 220, 80, 30},
                  {kAnswerLength, 220, 110, 30}, {kCommentLength, 220, 140, 30}};
    for (const Field& f : fields) {
      auto* edit = Add(f.id, new QLineEdit, f.x, f.y, f.width, 22);
      if (f.id == kFileName) edit->setAlignment(Qt::AlignRight);
      edit->installEventFilter(this);
    }
    MakeEditable(Add(kAlternatives, new QComboBox, 380, 94, 40, 22));
    // The labels are painted: the reader gets them as the fields' names.
    for (const auto& [id, label] : {std::pair{kTitle, "Títol"}, {kFileName, "Arxiu"},
                                    {kQuestionLength, "Longitud pregunta (caràcters)"},
                                    {kAnswerLength, "Longitud resposta (caràcters)"},
                                    {kCommentLength, "Longitud comentari (caràcters)"}, {kAlternatives, "Nº alternatives"}}) {
      LabelControl(Control(id), QString::fromUtf8(label));
    }
    auto* exit = Add(kExit, new QPushButton("Surt"), 280, 176, 70, 24);
    auto* accept = Add(kAccept, new QPushButton("Accepta"), 370, 176, 70, 24);
    connect(exit, &QAbstractButton::clicked, this, [this] { Finish(0); });
    connect(accept, &QAbstractButton::clicked, this, [this] { Accept(); });

    // Opening.
    ComboFill(this, kAlternatives, "4;3;2");
    ParamsFields shown;
    if (is_new_ && !copy_structure) {
      shown.alternatives = "4";
    } else {
      shown = FieldsOf(current->entry, !is_new_);
    }
    SetItemText(this, kTitle, shown.title);
    SetItemText(this, kFileName, shown.file_name);
    SetItemText(this, kQuestionLength, shown.question_length);
    SetItemText(this, kAnswerLength, shown.answer_length);
    SetItemText(this, kCommentLength, shown.comment_length);
    SetItemText(this, kAlternatives, shown.alternatives);
    GetItem(this, kTitle)->setFocus();
    DrawLabels();
  }

  bool saved() const { return saved_; }
  bool is_new() const { return is_new_; }

 protected:
  // The Tab rule: Tab moves to the field with the next number; in the comment length it asks to
  // save.
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Tab) {
      return Window::eventFilter(watched, event);
    }
    for (int id = kTitle; id <= kCommentLength; ++id) {
      if (Control(id) != watched) continue;
      if (id == kCommentLength) {
        if (AskYesNo("Confirmar gravar", W("Gravar paràmetres test?")) == kIdYes) Accept();
      } else {
        GetItem(this, id + 1)->setFocus();
      }
      return true;
    }
    return Window::eventFilter(watched, event);
  }

 private:
  void DrawLabels() {
    TextPainter& p = SharedDrawing();
    Use(canvas());
    // The face and the weight stay in the shared description afterwards.
    p.description().weight = 400;
    p.SetFace("tahoma");
    p.SetBackgroundColour(QColor(250, 180, 60));
    p.SetTextColour(Qt::black);
    p.DrawText(20, 6, W("Títol"));
    p.DrawText(20, 54, "Arxiu");
    p.DrawText(254, 54, ".qst");
    p.DrawText(20, 80, W("Longitud pregunta (caràcters):"));
    p.DrawText(20, 110, W("Longitud resposta (caràcters):"));
    p.DrawText(290, 100, W("nº alternatives:"));
    p.DrawText(20, 140, W("Longitud comentari (caràcters):"));
  }

  void Accept() {
    if (!is_new_) {
      const int answer = AskYesNoCancel("*confirmar modificacions*", "sortir...\rfent els canvis?");
      if (answer == kIdCancel) return;
      if (answer != kIdYes) {
        Finish(0);
        return;
      }
    }
    const ParamsFields fields{GetItemText(this, kTitle),          GetItemText(this, kFileName),
                              GetItemText(this, kQuestionLength), GetItemText(this, kAnswerLength),
                              GetItemText(this, kCommentLength),  GetItemText(this, kAlternatives)};
    TopicEntry entry;
    if (const Status read = ReadParams(fields, &entry); !read.ok()) {
      MsgBox(read.caption(), read.text());
      return;
    }
    if (!is_new_ && DropsAnswers(current_->entry.layout, entry.layout, bank_->count())) {
      const std::string text = W("Les qüestions del tema perdran les respostes més enllà de la ") +
                               std::to_string(entry.layout.alternatives) + W("a. Continuar?");
      if (AskYesNoFlags(W("Menys alternatives"), text, kMbIconExclamation) != kIdYes) return;
    }
    RelayoutResult result;
    if (const Status status = SaveTopicParams(index_, current_, bank_, is_new_, entry, &result); !status.ok()) {
      if (status.code() == Status::Code::kRefused) {
        MsgBox(status.caption(), status.text());
      } else if (status.code() == Status::Code::kChanged && !is_new_) {
        // What was typed stays in the fields, to be saved over the topic as it is now; a topic
        // that is gone closes the window.
        ShowStatus(status);
        if (const Status found = RelocateCurrentTopic(index_, current_); !found.ok()) {
          ShowStatus(found);
          Finish(0);
        }
      } else {
        ShowStatus(status);
      }
      return;
    }
    if (result.action == RelayoutResult::Action::kRewritten) MsgBox("Nou nom", result.file_name);
    if (!result.old_file_left.ok()) ShowStatus(result.old_file_left);
    saved_ = true;
    Finish(1);
  }

  TopicIndex* index_;
  CurrentTopic* current_;
  QuestionFile* bank_;
  bool is_new_;
  bool saved_ = false;
};

}  // namespace

bool EditTopicParams(TopicIndex* index, CurrentTopic* current, QuestionFile* bank, bool copy_structure) {
  ParamsWindow window(index, current, bank, copy_structure);
  const int result = window.RunLoop();
  // Surt, the title bar's close, or a refused second copy: a new topic is given up.
  if (!window.saved() && window.is_new()) current->Restore();
  return result > 0 && window.saved();
}

}  // namespace quiz
