// Every text the three programs show speaks to the person in one voice: the second person plural
// ("trieu", "torneu-ho", "premeu"), as Catalan desktop software does, never the familiar singular.
// The texts are read from the programs' sources, every string literal of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace quiz {
namespace {

namespace fs = std::filesystem;

struct Literal {
  std::string file;
  int line = 0;
  std::string text;  // UTF-8, escapes kept as written
};

// The string literals of a C++ source, comments and character literals skipped.
std::vector<Literal> LiteralsOf(const std::string& source, const std::string& file) {
  std::vector<Literal> out;
  int line = 1;
  for (size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (c == '\n') ++line;
    if (c == '/' && i + 1 < source.size() && source[i + 1] == '/') {
      while (i < source.size() && source[i] != '\n') ++i;
      ++line;
    } else if (c == '/' && i + 1 < source.size() && source[i + 1] == '*') {
      const size_t end = source.find("*/", i + 2);
      line += static_cast<int>(std::count(source.begin() + static_cast<long>(i),
                                          source.begin() + static_cast<long>(std::min(end, source.size())), '\n'));
      i = end == std::string::npos ? source.size() : end + 1;
    } else if (c == '\'') {
      for (++i; i < source.size() && source[i] != '\''; ++i) {
        if (source[i] == '\\') ++i;
      }
    } else if (c == 'R' && i + 1 < source.size() && source[i + 1] == '"' &&
               (i == 0 || !std::isalnum(static_cast<unsigned char>(source[i - 1])))) {
      const size_t open = source.find('(', i);
      const std::string close = ")" + source.substr(i + 2, open - i - 2) + "\"";
      const size_t end = source.find(close, open);
      out.push_back({file, line, source.substr(open + 1, end - open - 1)});
      line += static_cast<int>(std::count(source.begin() + static_cast<long>(i),
                                          source.begin() + static_cast<long>(end), '\n'));
      i = end + close.size() - 1;
    } else if (c == '"') {
      std::string text;
      for (++i; i < source.size() && source[i] != '"'; ++i) {
        if (source[i] == '\\') text += source[i++];
        text += source[i];
      }
      out.push_back({file, line, text});
    }
  }
  return out;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// What gives a text away as the familiar singular: its pronouns and possessives, the verbs that
// only that person has, and an order given in that person at the start of a sentence ("tria un
// altre nom", "torna-ho a provar"). The plural's forms end in -eu / -iu and pass.
const std::regex& Familiar() {
  static const std::regex familiar(
      "(^|[^a-zàèéíòóúïüç·])("
      "teu|teva|teus|teves|tu|et|vostè|vostès|"
      "pots|vols|tens|ets|saps|has|hauràs|hauries|podries|necessites|"
      "[a-zàèéíòóúïüç]+[aes]-(ho|hi|les|la|lo|ne)|[a-zàèéíòóúïüç]+'t|[a-zàèéíòóúïüç]+-te"
      ")($|[^a-zàèéíòóúïüç·'-])");
  return familiar;
}
// Orders in the singular, looked for where a sentence or a clause starts.
const std::regex& SingularOrder() {
  static const std::regex order(
      "(^|[.;:!?\\n]\\s*|\\\\n\\s*|\\\\r\\s*)("
      "tria|escull|torna|prem|pitja|escriu|selecciona|comprova|desa|esborra|canvia|fes|posa|"
      "mira|tanca|obre|espera|indica|introdueix|assegura|revisa|prova|consulta|treu|copia|mou|"
      "reinicia|surt|ves|vés|afegeix|elimina|utilitza|fixa|cerca|busca|demana|avisa|deixa"
      ")($|[^a-zàèéíòóúïüç·'-])",
      std::regex::icase);
  return order;
}

bool SpeaksFamiliar(const std::string& text) {
  return std::regex_search(Lower(text), Familiar()) || std::regex_search(text, SingularOrder());
}

// The checker itself: each familiar form it must see, and plural and impersonal texts it must
// let through.
TEST(Voice, TheCheckerTellsTheFamiliarSingularFromThePlural) {
  const struct {
    const char* text;
    bool familiar;
  } cases[] = {
      {"Nom d'arxiu en ús; tria un altre nom", true},
      {"Nom d'arxiu en ús; trieu un altre nom", false},
      {"un altre programa hi està escrivint; torna-ho a provar", true},
      {"un altre programa hi està escrivint; torneu-ho a provar", false},
      {"Prem una tecla", true},
      {"Premeu una tecla", false},
      {"Assegura't que la carpeta existeix", true},
      {"Si vols desar-la, tria Sí", true},
      {"Has de tancar l'editor", true},
      {"El teu test", true},
      {"No pots obrir-lo", true},
      {"Cal tancar la finestra de l'editor.", false},
      {"Desar els canvis?", false},
      {"El fitxer s'ha desat aquí, però cap programa de l'escriptori no l'ha pogut obrir.", false},
      {"Les respostes et permetran repassar", true},
      {"Registrar puntuació?", false},
      {"Els fitxers de dades no poden guardar «α»: només hi caben els caràcters de Windows-1252.", false},
  };
  for (const auto& c : cases) EXPECT_EQ(SpeaksFamiliar(c.text), c.familiar) << c.text;
}

// The texts the programs keep as they were first written: button labels and an interjection,
// which name a command and ask nothing; and the help lines that say what each program does
// ("Obre el gestor..." is what the program does, not an order).
const std::set<std::string>& KeptAsWritten() {
  static const std::set<std::string> kept = {
      "Surt", "ves-hi", "i vés!",
  };
  return kept;
}

bool DescribesTheProgram(const Literal& literal) {
  return literal.file.ends_with("main.cpp") || literal.file.ends_with("program_start.cpp") ||
         literal.file.ends_with("batch.cpp");
}

TEST(Voice, EveryTextOfTheThreeProgramsSpeaksInThePlural) {
  const fs::path root(QUIZ_SOURCE_DIR);
  std::vector<Literal> texts;
  for (const char* folder : {"manager", "runner", "converter", "toolkit", "data"}) {
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      if (entry.path().filename() == "html_entities.cpp") continue;  // entity names, no texts
      std::ifstream in(entry.path(), std::ios::binary);
      std::stringstream source;
      source << in.rdbuf();
      for (Literal& l : LiteralsOf(source.str(), fs::relative(entry.path(), root).string())) {
        texts.push_back(std::move(l));
      }
    }
  }
  // The reading found the programs' texts, these among them.
  EXPECT_GT(texts.size(), 1000u);
  for (const std::string known : {" ja existeix i és d'un altre tema; trieu un altre nom",
                                   "Cal mantenir la disposició de carpetes i arxius original",
                                   "els paràmetres del tema s'estan canviant; torneu-ho a provar", "* dades insuficients *"}) {
    EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const Literal& l) { return l.text == known; }))
        << known;
  }
  std::vector<std::string> familiar;
  for (const Literal& l : texts) {
    if (KeptAsWritten().contains(l.text)) continue;
    if (!SpeaksFamiliar(l.text)) continue;
    // A help line may start with what the program does ("Obre", "Surt amb 0"); it still may not
    // use the singular's pronouns or verbs.
    if (DescribesTheProgram(l) && !std::regex_search(Lower(l.text), Familiar())) continue;
    familiar.push_back(l.file + ":" + std::to_string(l.line) + ": " + l.text);
  }
  EXPECT_EQ(familiar, std::vector<std::string>{});
}

}  // namespace
}  // namespace quiz
