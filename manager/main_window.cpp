#include "manager/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include "data/answer_stats.h"
#include "data/score_chart.h"
#include "data/score_history.h"
#include "data/test_paper.h"
#include "manager/editor_window.h"
#include "manager/export_window.h"
#include "manager/generation_window.h"
#include "manager/listings.h"
#include "manager/params_window.h"
#include "toolkit/cp1252.h"
#include "toolkit/paths.h"
#include "toolkit/text.h"
#include "toolkit/gui/about_box.h"
#include "toolkit/gui/accessible.h"
#include "toolkit/gui/chart_window.h"
#include "toolkit/gui/controls.h"
#include "toolkit/gui/drawing.h"
#include "toolkit/gui/icons.h"
#include "toolkit/gui/list_viewer.h"
#include "toolkit/gui/message_box.h"
#include "toolkit/gui/print_window.h"
#include "toolkit/gui/programs.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

const QColor kBackground(236, 233, 216);
const QColor kText(0, 100, 200);

// The topic area, both ends included, and the exit icon's clickable square. The title is cut at
// the area's edges; what is wiped before it is drawn is the whole inside of the group box's frame
// (10..389) across the area's lines.
const QRect kTopicArea(20, 140, 382 - 20 + 1, 176 - 140 + 1);
const QRect kTopicBand(12, 140, 387 - 12 + 1, 176 - 140 + 1);
const QRect kExitIcon(12, 210, 44 - 12 + 1, 242 - 210 + 1);

int CentredX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? (screen->geometry().width() - 400) / 2 : 0;
}

}  // namespace

ManagerWindow::ManagerWindow()
    : Window("tests", {CentredX(), 80, 400, 300, false, true}, kBackground) {
  if (!ReadInfoFile(&info_)) MsgBox("No trobat Zive.cf", "Mancaran elements informatius");
  setWindowTitle("tests");
  setWindowIcon(ResourceIcon("Ic0"));
  BuildControls();
  canvas()->on_click = [this](int x, int y) { Click(x, y); };
}

ManagerWindow::~ManagerWindow() = default;

void ManagerWindow::closeEvent(QCloseEvent* event) {
  if (!CloseLoopWindows()) {
    event->ignore();
    return;
  }
  Window::closeEvent(event);
}

void ManagerWindow::BuildControls() {
  auto* run = Add(command::kRun, new QPushButton("EXECUTAR TESTS"), 97, 30, 200, 32);
  run->setDefault(true);
  Add(command::kGenerate, new QPushButton("Generar test"), 117, 80, 160, 20);
  Add(0, new QGroupBox(ToQString(W("Arxiu de qüestions"))), 10, 120, 380, 90);
  Add(command::kNew, new QPushButton("Nou "), 30, 186, 60, 20);
  Add(command::kOpen, new QPushButton("Obrir "), 310, 186, 60, 20);
  auto* exit = Add(2, new QLabel, 12, 210, 32, 32);
  exit->setPixmap(IconPixmap("IcSurt"));
  // The click on the icon is the window's own: the label lets it through.
  exit->setAttribute(Qt::WA_TransparentForMouseEvents);
  // The painted icon is a button for the reader, with the menu's keys that do the same.
  (new AccessiblePart(canvas(), QAccessible::PushButton, kExitIcon, [] { return QStringLiteral("Sortir"); }))
      ->SetPress([this] { close(); }, "Alt+S");
  for (int id : {command::kRun, command::kGenerate, command::kNew, command::kOpen}) {
    connect(qobject_cast<QPushButton*>(Control(id)), &QAbstractButton::clicked, this, [this, id] { Command(id); });
  }
}

namespace {

// The menu bar: each menu's items in order ("-" is a separator, "Opcions" the submenu).
struct MenuItem {
  int id;
  const char* text;
};
constexpr int kSeparator = -1;
constexpr int kOptionsSubmenu = -2;
const MenuItem kTopicsMenu[] = {{command::kNew, "&Nou"},
                                {command::kOpen, "&Obrir"},
                                {kSeparator, ""},
                                {command::kParameters, "&Paràmetres tema"},
                                {kSeparator, ""},
                                {command::kDelete, "E&liminar tema"},
                                {kSeparator, ""},
                                {kOptionsSubmenu, "Opc&ions"},
                                {kSeparator, ""},
                                {command::kExit, "&Sortir"}};
const MenuItem kOptionsMenu[] = {{command::kCopyStructure, "&Copiar estructura"},
                                 {command::kDefaultPenalty, "&Penalització per defecte"}};
const MenuItem kQuestionsMenu[] = {{command::kEdit, "&Editar"}, {command::kList, "&Llistar"},
                                   {command::kExport, "A &fitxer de text"}};
const MenuItem kTestsMenu[] = {{command::kGenerate, "&Generar test aleatori"},
                               {command::kReview, "Generar test de &repàs"},
                               {command::kPrint, "&Imprimir..."},
                               {command::kRun, "&Executar "}};
const MenuItem kInfoMenu[] = {{command::kInfo, "&Info (com...?)"},
                              {command::kHistory, "Historial &puntuacions"},
                              {command::kChart, "&Gràfic de puntuacions"},
                              {command::kTopicChart, "Progrés per te&mes"},
                              {command::kDemo, "Petita &Demo"},
                              {command::kAbout, "&Quant a..."}};

}  // namespace

void ManagerWindow::BuildMenu() {
  // The items' actions exist from the start (they carry the greying); a menu gets them when it
  // first opens, which keeps the window's first frame short.
  auto fill_on_first_show = [this](QMenu* menu, const auto& items, QMenu* submenu) {
    QList<QAction*> actions;
    for (const MenuItem& item : items) {
      if (item.id == kSeparator) {
        actions.push_back(new QAction(menu));
        actions.back()->setSeparator(true);
      } else if (item.id == kOptionsSubmenu) {
        if (submenu) actions.push_back(submenu->menuAction());
      } else {
        QAction* a = new QAction(ToQString(W(item.text)), this);
        actions_[item.id] = a;
        const int id = item.id;
        connect(a, &QAction::triggered, this, [this, id] { Command(id); });
        actions.push_back(a);
      }
    }
    connect(menu, &QMenu::aboutToShow, menu, [menu, actions] { menu->addActions(actions); },
            Qt::SingleShotConnection);
  };
  auto* bar = new QMenuBar;
  QMenu* topics = bar->addMenu("&Temes");
  QMenu* options = new QMenu("Opc&ions", topics);
  fill_on_first_show(topics, kTopicsMenu, options);
  fill_on_first_show(options, kOptionsMenu, nullptr);
  actions_[command::kCopyStructure]->setCheckable(true);
  QMenu* questions = bar->addMenu(ToQString(W("&Qüestions")));
  actions_[command::kQuestionsMenu] = questions->menuAction();
  fill_on_first_show(questions, kQuestionsMenu, nullptr);
  fill_on_first_show(bar->addMenu("T&ests"), kTestsMenu, nullptr);
  fill_on_first_show(bar->addMenu("&Info"), kInfoMenu, nullptr);
  QAction* exit = bar->addAction("&Sortir");
  actions_[0] = exit;
  connect(exit, &QAction::triggered, this, [this] { Command(command::kExit); });
  SetMenuBar(bar);
}

QAction* ManagerWindow::action(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void ManagerWindow::Initialise() {
  BuildMenu();
  // The context's font is the desktop's default, the one the buttons and the menu use.
  SharedDrawing().description() = FontDescription{0, 0, 400, false, ""};
  Attach(this);
  SharedDrawing().SetBackgroundColour(kBackground);
  SharedDrawing().SetTextColour(kText);
  SetWinText(this, "Tests Velmor Ostrel");
  OpenTopicIndex();
  UpdateMenu();
  DrawTopicArea();
}

bool ManagerWindow::OpenTopicIndex() {
  if (index_.is_open()) return true;
  Status opened = index_.Open();
  // A folder this user may not write (read-only media, another user's data) is still browsed.
  bool read_only = !FolderWritable(kBasesFolder);
  if (opened.code() == Status::Code::kIoError && FileExists(kTopicIndexName)) {
    opened = index_.OpenForReading(kTopicIndexName);
    read_only = true;
  }
  if (opened.ok()) {
    read_only_ = read_only;
    return true;
  }
  if (opened.code() != Status::Code::kNotFound) {
    ShowStatus(opened);
    return false;
  }
  // Without an index, and without room to make one, there is nothing to offer.
  if (!FolderWritable(".")) {
    SayReadOnly();
    return false;
  }
  std::string caption = "No trobat \"";
  caption.append(kTopicIndexName).push_back('"');
  if (AskYesNo(caption, "Crear-lo?") != kIdYes) return false;
  if (const Status created = index_.Create(); !created.ok()) {
    ShowStatus(created);
    return false;
  }
  return true;
}

void ManagerWindow::SayReadOnly() {
  MsgBox(W("Carpeta de només lectura"),
         W("No es pot escriure a la carpeta de dades (") + FromQString(QDir::currentPath()) +
             W("): els temes i les qüestions es poden consultar, però no canviar."));
}

bool ManagerWindow::FindCurrentTopic(bool reload) {
  if (current_.number == 0) return false;
  const std::string file = bank_.name();
  const Layout layout = current_.entry.layout;
  const uint16_t record_size = current_.entry.record_size;
  if (const Status found = RelocateCurrentTopic(&index_, &current_); !found.ok()) {
    bank_.Close();
    UpdateMenu();
    DrawTopicArea();
    ShowStatus(found);
    return false;
  }
  // Another program may have re-laid the topic out: its file is read with its layout now. The
  // topic's own commands read the file as it is now.
  Status opened;
  if (!bank_.is_open() || file != QuestionFileName(current_.entry) || layout != current_.entry.layout ||
      record_size != current_.entry.record_size) {
    opened = bank_.Open(current_.entry, BankAccess());
  } else if (reload) {
    opened = bank_.Reload();
  }
  if (!opened.ok()) {
    ShowStatus(opened);
    return false;
  }
  return true;
}

QuestionFile::Access ManagerWindow::BankAccess() const {
  return read_only_ ? QuestionFile::Access::kRead : QuestionFile::Access::kWrite;
}

void ManagerWindow::UpdateMenu() {
  for (const auto& [id, a] : actions_) {
    if (id != 0) a->setEnabled(MenuItemEnabled(id, current_.number, index_.count()));
  }
}

void ManagerWindow::DrawTopicArea() {
  {
    QPainter painter(&canvas()->image());
    FillInBands(painter, kTopicBand, kBackground);
  }
  canvas()->ForgetTexts(kTopicBand);
  canvas()->update();
  TextPainter& p = SharedDrawing();
  Use(canvas());
  p.SetBackgroundColour(kBackground);
  p.SetTextColour(kText);
  p.set_clip(kTopicArea);
  const auto [line1, line2] = TopicAreaLines(current_);
  if (!line1.empty()) p.DrawText(20, 140, line1);
  if (!line2.empty()) p.DrawText(20, 156, line2);
  p.set_clip(QRect());
}

void ManagerWindow::Click(int x, int y) {
  if (kExitIcon.contains(x, y)) close();
}

bool ManagerWindow::Blocked(int id) {
  // The window each command would open, or whose topic it would change under it.
  const char* clash = nullptr;
  switch (id) {
    case command::kNew:
    case command::kParameters:
    case command::kDelete:
      // The question list shows the topic too: it is not changed under the list.
      if (LoopRunning("Llista")) clash = "Llista";
      if (LoopRunning("edtest")) clash = "edtest";
      if (LoopRunning("edqeleccio")) clash = "edqeleccio";
      break;
    case command::kOpen:
      // While the question editor is open, "Obrir" does nothing.
      if (LoopRunning("edqeleccio")) return true;
      if (LoopRunning("edtest")) clash = "edtest";
      if (LoopRunning("Llista")) clash = "Llista";
      break;
    case command::kEdit:
    case command::kList:
      if (LoopRunning("edtest")) clash = "edtest";
      if (LoopRunning("edqeleccio")) clash = "edqeleccio";
      break;
    case command::kGenerate:
    case command::kReview:
      if (LoopRunning("Llista")) clash = "Llista";
      if (LoopRunning("parametresgenerat")) clash = "parametresgenerat";
      break;
    case command::kExport:
      if (LoopRunning("FDlg")) clash = "FDlg";
      break;
    case command::kPrint:
      if (LoopRunning("Llista")) clash = "Llista";
      if (LoopRunning("imprimir")) clash = "imprimir";
      break;
    case command::kHistory:
      if (LoopRunning("Llista")) clash = "Llista";
      break;
    case command::kChart:
    case command::kTopicChart:
      if (LoopRunning("Grafic")) clash = "Grafic";
      break;
    case command::kAbout:
      if (LoopRunning("FerSobre")) clash = "FerSobre";
      break;
    default:
      break;
  }
  if (clash == nullptr) return false;
  const std::string window = clash;
  const std::string name = window == "edtest"       ? W("dels paràmetres del tema")
                           : window == "Llista"     ? W("de la llista")
                           : window == "edqeleccio" ? W("de l'editor de qüestions")
                           : window == "parametresgenerat" ? W("de generació de tests")
                           : window == "FDlg"       ? W("del pas a fitxer de text")
                           : window == "imprimir"   ? W("d'impressió")
                                                    : W("Quant a...");
  MsgBox(W("Finestra oberta"), W("Primer cal tancar la finestra ") + name + ".");
  return true;
}

bool ManagerWindow::Writes(int id) const {
  return id == command::kNew || id == command::kParameters || id == command::kDelete || id == command::kGenerate ||
         id == command::kReview;
}

void ManagerWindow::Command(int id) {
  if (Blocked(id)) return;
  if (read_only_ && Writes(id)) {
    SayReadOnly();
    return;
  }
  // The topic's own commands act on the topic as the index holds it now.
  const bool on_topic = id == command::kParameters || id == command::kDelete || id == command::kEdit ||
                        id == command::kList || id == command::kExport;
  if (!on_topic || FindCurrentTopic(true)) {
    switch (id) {
      case command::kNew: NewTopic(); break;
      case command::kOpen: ChooseTopic(); break;
      case command::kParameters: EditParameters(); break;
      case command::kDelete: DeleteTopic(); break;
      case command::kGenerate: GenerateTest(); break;
      case command::kReview: GenerateReviewTest(); break;
      case command::kPrint: PrintGeneratedTest(); break;
      case command::kEdit: EditQuestions(&bank_, current_.entry, &record_, &hits_, 1); break;
      case command::kList: ListQuestions(); break;
      case command::kExport: ExportToText(); break;
      case command::kCopyStructure:
        copy_structure_ = !copy_structure_;
        actions_[command::kCopyStructure]->setChecked(copy_structure_);
        break;
      case command::kDefaultPenalty: break;
      case command::kRun: RunRunner(); break;
      case command::kInfo: ShowInfo(); break;
      case command::kHistory: ShowHistory(); break;
      case command::kChart: ShowChart(); break;
      case command::kTopicChart: ShowTopicChart(); break;
      case command::kAbout: ShowAbout(W(" Edició i execució de tests  "), info_.contact); break;
      case command::kDemo:
        OpenDocumentOrSay("Demo.gif", "Demo no trobada");
        break;
      case command::kExit: close(); return;
      default: break;
    }
  }
  // Every command may have changed the index (a reorder, a new or deleted topic, another
  // program meanwhile): the current topic is found again by its file.
  FindCurrentTopic(false);
  // The hits of a search number the questions of the topic searched: another topic's editor
  // does not offer them.
  if (bank_.name() != hits_file_) {
    hits_.Clear();
    hits_file_ = bank_.name();
  }
  DrawTopicArea();
  UpdateMenu();
}

void ManagerWindow::GenerateTest() {
  // Choosing the topics reads their entries into the current one: it is put back afterwards.
  const CurrentTopic previous = current_;
  std::vector<uint16_t> chosen;
  if (ChooseTopicsForDraw(&chosen) > 0) {
    std::vector<DrawTopic> topics;
    TopicEntry entry;
    Status status;
    for (uint16_t t : chosen) {
      status = index_.Read(t, &entry);
      QuestionFile bank;
      if (status.ok()) status = bank.Open(entry, QuestionFile::Access::kRead);
      // A topic whose file is missing has no question to draw.
      if (status.code() == Status::Code::kNotFound) status = Status::Ok();
      if (!status.ok()) break;
      topics.push_back({t, bank.count()});
    }
    if (status.ok()) {
      const DrawNames names = ProposedNames(chosen, index_.count(), entry.file_name, entry.title);
      GenerateTestWindow(topics, names, &random_);
    } else {
      ShowStatus(status);
    }
  }
  current_ = previous;
}

void ManagerWindow::GenerateReviewTest() {
  const CurrentTopic previous = current_;
  std::vector<uint16_t> chosen;
  if (ChooseTopicsForDraw(&chosen) > 0) {
    std::vector<ReviewCandidate> candidates;
    if (const Status status = ReviewCandidates(&index_, chosen, &candidates); !status.ok()) {
      ShowStatus(status);
    } else {
      TopicEntry entry;
      if (chosen.size() == 1) (void)index_.Read(chosen.front(), &entry);
      DrawNames names = ProposedNames(chosen, index_.count(), entry.file_name, entry.title);
      names.base = CutText("repas" + names.base, 24);  // one stem before the "_" of the number
      names.description = CutText(W("Repàs: ") + names.description, 80);
      Date today;
      TodayDate(today);
      GenerateTestWindow(static_cast<uint32_t>(candidates.size()), names,
                         [this, &chosen, today](uint32_t n, std::vector<TestItem>* items) {
                           return DrawReviewTest(&index_, chosen, n, today, &random_, items);
                         });
    }
  }
  current_ = previous;
}

// A generated test picked from the list of them, as the runner lists them, goes to the print window.
void ManagerWindow::PrintGeneratedTest() {
  std::vector<GeneratedTestEntry> entries;
  if (const Status read = ReadGeneratedEntries(&entries); !read.ok()) {
    ShowStatus(read);
    return;
  }
  if (entries.empty()) {
    MsgBox(W("Relació buïda"), "No hi ha cap test generat");
    return;
  }
  TextList lines;
  for (const GeneratedTestEntry& e : entries) TextListAdd(lines, e.file_name);
  const int picked = ShowList("Tests generats", lines);
  if (picked < 1) return;
  const std::string name = entries[static_cast<size_t>(picked) - 1].file_name;
  std::vector<PaperQuestion> test;
  std::string description;
  if (const Status status = ReadPaperTest(name, &test, &description); !status.ok()) {
    ShowStatus(status);
    return;
  }
  const uint32_t seed = random_();
  ShowPrintWindow(name, description.empty() ? name : description,
                  [&test, seed](const PrintChoice& choice, double width, double height, const MeasureText& measure) {
                    return PrintPages(test, seed, choice, width, height, measure);
                  });
}

void ManagerWindow::ListQuestions() {
  if (bank_.count() == 0) {
    MsgBoxFlags("Test buit", W("Actualment hi ha 0 qüestions"), kMbIconExclamation);
    return;
  }
  TextList lines;
  if (const Status listed = QuestionListLines(bank_, &lines); !listed.ok()) {
    ShowStatus(listed);
    return;
  }
  const int picked = ShowList(QuestionListTitle(current_.entry), lines);
  // While the list was open another program may have removed the topic.
  if (picked > 0 && FindCurrentTopic(true)) {
    EditQuestions(&bank_, current_.entry, &record_, &hits_, static_cast<uint32_t>(picked));
  }
}

void ManagerWindow::ExportToText() {
  if (!AskExportOptions(&export_options_)) return;
  std::string file = ExportFileName(current_.entry);
  if (read_only_ || !FolderWritable(".")) {
    // The data folder cannot take the file: the user's documents folder can.
    const std::string documents = FromQString(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (AskYesNo(W("Carpeta de només lectura"), W("No es pot escriure a la carpeta de dades. Desar ") + file +
                                                   W(" a la carpeta de documents (") + documents + ")?") != kIdYes) {
      return;
    }
    if (const Status made = MakeFolder(documents); !made.ok()) {
      ShowStatus(made);
      return;
    }
    file = documents + "/" + file;
  }
  if (const Status written = ExportQuestions(bank_, current_.entry, export_options_, file); !written.ok()) {
    ShowStatus(written);
    return;
  }
  OpenWrittenFileOrSay(file);
}

void ManagerWindow::NewTopic() {
  // Without an index there is nowhere to write the topic: it is offered again.
  if (!OpenTopicIndex()) return;
  if (const Status room = CheckRoomForTopic(index_); !room.ok()) {
    MsgBox(room.caption(), room.text());
    return;
  }
  current_.Select(static_cast<uint16_t>(index_.count() + 1));
  EditTopicParams(&index_, &current_, &bank_, copy_structure_);
}

void ManagerWindow::EditParameters() { EditTopicParams(&index_, &current_, &bank_, copy_structure_); }

Status ManagerWindow::ListTopics(TextList* lines, uint32_t* total, std::vector<TopicEntry>* listed) {
  // The index as it is now, with any change of parameters that a killed program left ended
  // first: a topic is never counted, nor its file made, from an entry that is about to change.
  QUIZ_RETURN_IF_ERROR(index_.Refresh());
  return BuildTopicList(index_, lines, total, !read_only_, listed);
}

void ManagerWindow::ChooseTopic() {
  if (!OpenTopicIndex()) return;
  TextList lines;
  uint32_t total = 0;
  std::vector<TopicEntry> listed;
  if (const Status built = ListTopics(&lines, &total, &listed); !built.ok()) {
    ShowStatus(built);
    return;
  }
  SetCaptionSuffix(TopicListSuffix(total));
  std::vector<uint8_t> order;
  const int picked = ReorderLines(W("Arxius de qüestions"), lines, &order);
  if (picked < 0) return;  // the list is open already
  if (order.size() == listed.size() && OrderChanged(order)) {
    if (read_only_) {
      SayReadOnly();
      return;
    }
    if (const Status reordered = index_.Reorder(order); !reordered.ok()) {
      ShowStatus(reordered);
      return;
    }
  }
  if (picked == 0) return;  // the topic current before stays, found by its file afterwards
  // The line picked shows a topic as it was listed: it is found by its file, wherever this
  // reorder or another program put it.
  const size_t line = order.size() == listed.size() ? order[static_cast<size_t>(picked - 1)] : static_cast<size_t>(picked);
  if (line < 1 || line > listed.size()) return;
  uint16_t n = 0;
  TopicEntry entry;
  Status opened = FindTopic(&index_, listed[line - 1], &n, &entry);
  QuestionFile bank;
  if (opened.ok()) opened = bank.Open(entry, read_only_ ? QuestionFile::Access::kRead : QuestionFile::Access::kCreate);
  if (!opened.ok()) {
    ShowStatus(opened);  // the topic current before stays
    return;
  }
  current_.Select(n);
  current_.entry = entry;
  bank_ = std::move(bank);
}

int ManagerWindow::ChooseTopicsForDraw(std::vector<uint16_t>* draw) {
  draw->clear();
  if (!OpenTopicIndex()) return 0;
  TextList lines;
  uint32_t total = 0;
  std::vector<TopicEntry> listed;
  if (const Status built = ListTopics(&lines, &total, &listed); !built.ok()) {
    ShowStatus(built);
    return 0;
  }
  std::vector<uint16_t> chosen;
  const int picked = ChooseLines(W("Seleccio arxius de qüestions"), lines, &chosen);
  if (picked <= 0) return picked;
  // The topics are drawn by their numbers now, whatever another program did while the list was
  // open.
  for (uint16_t& t : chosen) {
    if (t < 1 || t > listed.size()) return 0;
    if (const Status found = FindTopic(&index_, listed[t - 1u], &t, &current_.entry); !found.ok()) {
      ShowStatus(found);
      return 0;
    }
  }
  *draw = chosen;
  return picked;
}

void ManagerWindow::DeleteTopic() {
  if (AskYesNoFlags(DeleteTopicCaption(), DeleteTopicText(current_.entry.title), kMbIconExclamation) != kIdYes) {
    return;
  }
  if (const Status deleted = DeleteCurrentTopic(&index_, &current_, &bank_); !deleted.ok()) ShowStatus(deleted);
}

void ManagerWindow::RunRunner() {
  if (RunCommand("quizrun_prv.exe") > 32) {
    close();
    return;
  }
  MsgBox("No trobat Quizrun_prv.exe", W("Cal mantenir la disposició de carpetes i arxius original"));
}

void ManagerWindow::ShowInfo() {
  if (info_.document.empty()) {
    MsgBox(W("Fitxer d'informació?"), W("Està a Zive.cf, no trobat"));
    return;
  }
  OpenDocumentOrSay(info_.document, "No trobat el fitxer d'ajuda");
}

void ManagerWindow::ShowChart() {
  DatedChart chart;
  if (const Status status = ReadScoreChart(&chart); !status.ok()) {
    ShowStatus(status);
    return;
  }
  ShowDatedChart(chart);
}

void ManagerWindow::ShowHistory() {
  TextList lines;
  if (const Status status = ScoreHistoryLines(&lines, kScoreHistoryName, kMaxListLines); !status.ok()) {
    ShowStatus(status);
    return;
  }
  // A result picked ("Veure") is scored again under every penalty, when its answers are logged.
  ShowListWithMore(kScoreHistoryTitle, lines, RescoreTitle(), NoAnswersToRescore(),
                   [](int picked, TextList* again) { return RescoreHistoryLine(picked, kMaxListLines, again); });
}

void ManagerWindow::ShowTopicChart() {
  DatedChart chart;
  if (const Status status = ReadTopicProgressChart(&chart, &index_); !status.ok()) {
    ShowStatus(status);
    return;
  }
  ShowDatedChart(chart);
}

}  // namespace quiz
