#include "runner/print_batch.h"

#include <cstring>
#include <filesystem>

#include "data/test_paper.h"
#include "toolkit/cp1252.h"
#include "toolkit/gui/paper_pdf.h"
#include "toolkit/program_start.h"
#include "toolkit/text.h"

namespace quiz {

namespace {

constexpr char kPrintUsage[] =
    "Ús: quizrun --print TEST --pdf SORTIDA.pdf [--versions N] [--sheet] [--key] [--seed N]\n";

// The whole of `text` as a number from `low` to `high`.
bool NumberIn(const std::string& text, long low, long high, long* value) {
  char* end = nullptr;
  *value = std::strtol(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && *value >= low && *value <= high;
}

}  // namespace

bool AsksForPrint(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--print") == 0) return true;
  }
  return false;
}

int RunPrintBatch(const std::vector<std::string>& arguments, const std::string& started_in, std::ostream& out,
                  std::ostream& err) {
  std::string test_name, pdf;
  long versions = 1, seed = static_cast<long>(StartSeed() & 0x7FFFFFFF);
  PrintChoice choice;
  choice.sheet = choice.key = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (a == "--print" && has_value) {
      test_name = arguments[++i];
    } else if (a == "--pdf" && has_value) {
      pdf = arguments[++i];
    } else if (a == "--versions" && has_value && NumberIn(arguments[i + 1], 1, 4, &versions)) {
      ++i;
    } else if (a == "--seed" && has_value && NumberIn(arguments[i + 1], 0, 0x7FFFFFFF, &seed)) {
      ++i;
    } else if (a == "--sheet") {
      choice.sheet = true;
    } else if (a == "--key") {
      choice.key = true;
    } else {
      err << kPrintUsage;
      return 2;
    }
  }
  if (test_name.empty() || pdf.empty()) {
    err << kPrintUsage;
    return 2;
  }
  if (!pdf.starts_with('/')) pdf = (std::filesystem::path(started_in) / pdf).lexically_normal().string();
  // The command line is UTF-8; the files' names are Windows-1252 everywhere inside.
  const std::string file = Utf8ToCp1252(pdf);
  const std::string name = Utf8ToCp1252(test_name);
  std::vector<PaperQuestion> test;
  std::string description;
  if (const Status status = ReadPaperTest(name, &test, &description); !status.ok()) {
    err << Cp1252ToUtf8(status.text()) << "\n";
    return 1;
  }
  choice.header = description.empty() ? name : description;
  choice.versions = static_cast<int>(versions);
  const std::vector<PaperPage> pages =
      PrintPages(test, static_cast<uint32_t>(seed), choice, kA4Width, kA4Height, PdfTextMeasure());
  if (const Status status = WritePaperPdf(pages, kA4Width, kA4Height, choice.header, file);
      !status.ok()) {
    err << Cp1252ToUtf8(W("No s'ha escrit el PDF: ") + status.text()) << "\n";
    return 1;
  }
  out << Cp1252ToUtf8(W("Escrit ") + file + ": " + IntToText(static_cast<int32_t>(pages.size())) +
                      W(" pàgines.")) << "\n";
  return 0;
}

}  // namespace quiz
