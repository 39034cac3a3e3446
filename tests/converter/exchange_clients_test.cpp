// Our exports read by other tools' parsers: GIFT by gift-pegjs (installed with npm, its version
// pinned), Moodle XML by Python's strict XML parser. Where the tool cannot be had, the test says so
// and is skipped.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "converter/exchange.h"
#include "tests/support/temp_dir.h"
#include "toolkit/cp1252.h"

namespace fs = std::filesystem;

namespace quiz {
namespace {

constexpr char kGiftPegjs[] = "gift-pegjs@1.0.2";

Question Q(std::string question, std::string a, std::string b, std::string c = "", std::string d = "",
           std::string comment = "") {
  return Question{std::move(question), {std::move(a), std::move(b), std::move(c), std::move(d)}, std::move(comment)};
}

// The banks every client must read: accents, every special character, long texts, empty and blank
// comments, texts that start like marks or weights, arrows, and a marked-mode bank whose right
// answer is empty (left out).
std::vector<std::vector<Question>> Banks() {
  return {
      {Q(W("Àvia «cometes» i €?"), W("sí"), W("no és així"), "", "", W("Comentari amb accents: àèéíòóúç")),
       Q("a=b~c#d{e}f:g \\ h", "x:y", "z{w}", "~t", "#u", "El comentari: {~=#} \\ fi")},
      {Q(std::string(120, 'q'), std::string(120, 'a'), std::string(120, 'b'), "", "", std::string(100, 'm')),
       Q("Sense comentari", "a", "b", "c", "d", ""), Q("Comentari en blanc", "a", "b", "", "", "   ")},
      {Q("[html]<b>Q</b>", "[html]<i>a</i>", "[plain]b", "[moodle]c", "", "[markdown]*x*"),
       Q("Pesos", "%50% a", "%d", "~b"), Q("Punter", "p->next", "p.next", "*p"), Q("$CATEGORY: no", "a", "b"),
       Q("// tampoc", "a", "b")},
      {Q("Capital?", "", "Balaguer", W("Tàrrega")), Q("Segona", "a", "b", "c", "d")},
  };
}

std::string Output(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char chunk[4096];
  for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, got);
  ::pclose(pipe);
  return out;
}

bool Has(const char* command) { return std::system((std::string("command -v ") + command + " >/dev/null 2>&1").c_str()) == 0; }

class ExchangeClients : public testing::InTempDir {};

TEST_F(ExchangeClients, GiftPegjsReadsEveryGiftExportAsItWasWritten) {
  if (!Has("node") || !Has("npm")) GTEST_SKIP() << "no hi ha node ni npm: gift-pegjs no s'ha provat";
  const std::string folder = QUIZ_NPM_DIR;
  const std::string module = folder + "/node_modules/gift-pegjs";
  if (testing::FileBytes(module + "/package.json").find("\"version\": \"1.0.2\"") == std::string::npos) {
    const std::string install = "npm install --prefix '" + folder + "' --no-audit --no-fund --silent " + kGiftPegjs +
                                " >/dev/null 2>&1";
    if (std::system(install.c_str()) != 0) GTEST_SKIP() << "npm no ha pogut instal·lar " << kGiftPegjs;
  }
  for (const auto& bank : Banks()) {
    LeftOut left_out;
    testing::PutFile("banc.gift", WriteGift(bank, &left_out));
    std::string expected;
    for (const Question& q : bank) {
      if (q.question.empty() || q.answers[0].empty()) continue;  // left out, and named
      expected += "MC\t" + Cp1252ToUtf8(q.question) + "\t" + Cp1252ToUtf8(q.answers[0]);
      for (size_t k = 1; k < q.answers.size(); ++k) {
        if (!q.answers[k].empty()) expected += "\t" + Cp1252ToUtf8(q.answers[k]);
      }
      expected += "\t" + (q.comment.find_first_not_of(' ') == std::string::npos ? "" : Cp1252ToUtf8(q.comment)) + "\n";
    }
    const std::string read = Output("node '" + std::string(QUIZ_GIFT_CLIENT) + "' '" + module + "' banc.gift 2>&1");
    EXPECT_EQ(read, expected) << testing::FileBytes("banc.gift");
    EXPECT_EQ(left_out.size(), bank.size() - static_cast<size_t>(std::count(expected.begin(), expected.end(), '\n')));
  }
}

TEST_F(ExchangeClients, AStrictXmlParserReadsEveryMoodleExport) {
  if (!Has("python3")) GTEST_SKIP() << "no hi ha python3: el XML no s'ha provat amb un lector estricte";
  std::vector<std::vector<Question>> banks = Banks();
  banks.push_back({Q("Amb \x01 control", "a", "b"), Q(W("Sense control, però amb <>&\"' i «»"), "a", "b")});
  for (const auto& bank : banks) {
    testing::PutFile("banc.xml", WriteMoodleXml(bank));
    const std::string read = Output(
        "python3 -c 'import sys, xml.dom.minidom as m; d = m.parse(sys.argv[1]); "
        "print(len(d.getElementsByTagName(\"question\")))' banc.xml 2>&1");
    size_t writable = 0;
    for (const Question& q : bank) writable += !q.question.empty() && !q.answers[0].empty() && q.question.find('\x01') == std::string::npos;
    EXPECT_EQ(read, std::to_string(writable) + "\n") << testing::FileBytes("banc.xml");
  }
}

}  // namespace
}  // namespace quiz
