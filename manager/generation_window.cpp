#include "manager/generation_window.h"

#include <QLineEdit>
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

constexpr int kAccept = 1;
constexpr int kExit = 2;
constexpr int kCount = 100;
constexpr int kDescription = 120;
constexpr int kFileName = 150;
const QColor kBackground(236, 233, 216);

class GenerationWindow : public Window {
 public:
  GenerationWindow(uint32_t available, const TestDraw& draw, const std::vector<GeneratedTestEntry>& entries,
                   const DrawNames& names)
      : Window("parametresgenerat", {400, 40, 280, 170, false, false}, kBackground),
        draw_(draw),
        entries_(entries),
        available_(available),
        base_(names.base) {
    SetWinText(this, W("Generació test"));
    setWindowIcon(ResourceIcon("Ic0"));
    auto* name = Add(kFileName, new QLineEdit, 60, 8, 140, 20);
    name->setAlignment(Qt::AlignRight);
    Add(kDescription, new QLineEdit, 60, 40, 200, 20);
    auto* count = Add(kCount, new QLineEdit, 120, 72, 40, 20);
    count->setAlignment(Qt::AlignCenter);
    LabelControl(name, "Nom");
    LabelControl(Control(kDescription), "Temes");
    LabelControl(count, QString::fromUtf8("Nº qüestions"));
    auto* accept = Add(kAccept, new QPushButton("Accepta"), 180, 110, 70, 22);
    auto* exit = Add(kExit, new QPushButton("Surt"), 20, 110, 70, 22);
    connect(accept, &QAbstractButton::clicked, this, [this] { Accept(); });
    connect(exit, &QAbstractButton::clicked, this, [this] { Finish(0); });

    SetItemText(this, kCount, IntToText(static_cast<int32_t>(std::min<uint32_t>(available_, 50))));
    SetItemText(this, kDescription, names.description);
    SetItemText(this, kFileName, ProposedFileName(names.base, entries_));
    DrawLabels();
  }

 private:
  void DrawLabels() {
    TextPainter& p = SharedDrawing();
    Use(canvas());
    p.SetBackgroundColour(kBackground);
    p.SetTextColour(Qt::black);
    p.DrawText(10, 10, "Nom:");
    p.DrawText(205, 10, ".tgn");
    p.DrawText(10, 42, "Temes:");
    p.DrawText(10, 74, W("Nº qüestions"));
  }

  void Accept() {
    uint32_t n = 0;
    if (const Status size = ReadTestSize(GetItemText(this, kCount), &n); !size.ok()) {
      MsgBox(size.caption(), size.text());
      Finish(0);
      return;
    }
    const std::string name = CutText(GetItemText(this, kFileName), 32);
    if (const Status checked = CheckTestName(name); !checked.ok()) {
      MsgBox(checked.caption(), checked.text());
      return;  // the window stays, to mend the name
    }
    const uint32_t existing = EntryNamed(entries_, name);
    bool replace = existing != 0;
    if (replace && !AskReplace(entries_[existing - 1].file_name)) return;
    if (const Status fewer = CheckAvailable(n, available_); !fewer.ok()) {
      MsgBox(fewer.caption(), fewer.text());
      n = available_;
    }
    const GeneratedTestEntry entry{name, CutText(GetItemText(this, kDescription), 80)};
    std::vector<TestItem> items;
    if (const Status drawn = draw_(n, &items); !drawn.ok()) {
      ShowStatus(drawn);
      return;
    }
    bool taken = false;
    Status saved = SaveGeneratedTest(entry, items, replace, &taken);
    if (taken) {
      // Another program took the name since this window read the index.
      if (!AskReplace(name)) {
        ProposeFreeName();
        return;
      }
      saved = SaveGeneratedTest(entry, items, true);
    }
    if (!saved.ok()) {
      ShowStatus(saved);
      return;
    }
    Finish(1);
  }

  bool AskReplace(const std::string& name) {
    return AskYesNoFlags("Test existent", W("Ja hi ha un test amb el nom «") + name + W("». Substituir-lo? (No: canviar el nom)"),
                         kMbIconQuestion) == kIdYes;
  }

  // The name field gets the next name that is free in the index as it is now.
  void ProposeFreeName() {
    std::vector<GeneratedTestEntry> entries;
    if (ReadGeneratedEntries(&entries).ok()) entries_ = entries;
    SetItemText(this, kFileName, ProposedFileName(base_, entries_));
  }

  TestDraw draw_;
  std::vector<GeneratedTestEntry> entries_;
  uint32_t available_;
  std::string base_;  // what the proposed names start with
};

}  // namespace

bool GenerateTestWindow(const std::vector<DrawTopic>& topics, const DrawNames& names, std::mt19937* random) {
  return GenerateTestWindow(AvailableQuestions(topics), names, [&topics, random](uint32_t n, std::vector<TestItem>* items) {
    *items = DrawTest(topics, n, random);
    return Status::Ok();
  });
}

bool GenerateTestWindow(uint32_t available, const DrawNames& names, const TestDraw& draw) {
  std::vector<GeneratedTestEntry> entries;
  if (const Status read = ReadGeneratedEntries(&entries); !read.ok()) {
    ShowStatus(read);
    return false;
  }
  GenerationWindow window(available, draw, entries, names);
  return window.RunLoop() == 1;
}

}  // namespace quiz
