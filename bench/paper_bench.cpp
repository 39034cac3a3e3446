// A test of 255 questions with the longest texts printed to PDF, three versions with their
// answer sheets and the key, next to Qt's own print of the same texts as plain paragraphs. Both
// go into memory: the disk's part is the same for both.

#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdlib>
#include <memory>
#include <string>

#include "data/test_paper.h"
#include "toolkit/gui/paper_pdf.h"
#include "toolkit/gui/qt_text.h"

namespace quiz {
namespace {

constexpr int kVersions = 3;

void StartQt() {
  static std::unique_ptr<QGuiApplication> app;
  if (app) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "paper_bench";
  static char* argv[] = {name, nullptr};
  app = std::make_unique<QGuiApplication>(argc, argv);
}

const std::vector<PaperQuestion>& LongTest() {
  static const std::vector<PaperQuestion> test = [] {
    std::vector<PaperQuestion> t;
    for (int q = 1; q <= 255; ++q) {
      PaperQuestion question;
      for (int w = 0; question.text.size() < 240; ++w) question.text += "paraula" + std::to_string(q + w) + " ";
      for (int a = 0; a < 4; ++a) {
        std::string answer;
        for (int w = 0; answer.size() < 95; ++w) answer += "resposta" + std::to_string(a + w) + " ";
        question.answers.push_back(answer);
      }
      t.push_back(question);
    }
    return t;
  }();
  return test;
}

void BM_PrintTestToPdf(benchmark::State& state) {
  StartQt();
  PrintChoice choice;
  choice.versions = kVersions;
  choice.header = "Examen";
  for (auto _ : state) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const std::vector<PaperPage> pages = PrintPages(LongTest(), 1, choice, kA4Width, kA4Height, PdfTextMeasure());
    if (!PaintPaperPages(&writer, pages)) std::abort();
    benchmark::DoNotOptimize(buffer.data().size());
  }
}

// The same texts, each version's questions and answers as paragraphs, then the key's lines.
void BM_QtPrintsTheSameTexts(benchmark::State& state) {
  StartQt();
  QString text;
  for (int v = 0; v < kVersions; ++v) {
    for (size_t q = 0; q < LongTest().size(); ++q) {
      text += QString::number(q + 1) + ". " + ToQString(LongTest()[q].text) + "\n";
      for (const std::string& a : LongTest()[q].answers) text += "a) " + ToQString(a) + "\n";
    }
    for (size_t q = 0; q < LongTest().size(); ++q) text += QString::number(q + 1) + " a  a b c d\n";
  }
  for (auto _ : state) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QTextDocument document;
    document.setPlainText(text);
    document.print(&writer);
    benchmark::DoNotOptimize(buffer.data().size());
  }
}

BENCHMARK(BM_PrintTestToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtPrintsTheSameTexts)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quiz
