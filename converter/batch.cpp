#include "converter/batch.h"

#include "converter/convert.h"
#include "toolkit/cp1252.h"

namespace quiz {
namespace {

constexpr char kUsage[] =
    "Ús: qstconv [--data CARPETA] [--marked] FITXER_DE_TEXT FITXER_DE_QÜESTIONS\n"
    "\n"
    "Afegeix les qüestions d'un fitxer de text al fitxer de qüestions, sense obrir cap finestra.\n"
    "El text són blocs de cinc línies: la pregunta i les seves quatre respostes; entre blocs hi\n"
    "pot haver línies buides. El text pot ser UTF-8 o Windows-1252.\n"
    "\n"
    "  --data CARPETA  treballa a CARPETA (els noms de fitxer hi són relatius)\n"
    "  --marked   la resposta correcta és la que comença amb \"*\" (si no, ho és la primera)\n"
    "  --help     mostra aquesta ajuda (només com a primer argument; -h també)\n"
    "  --         el que segueix són noms de fitxer, encara que comencin amb \"-\"\n"
    "\n"
    "Si el fitxer de qüestions no té cap \".\" al nom, s'hi afegeix \".qst\".\n"
    "Surt amb 0 si la conversió s'ha fet i amb 1 si no.\n";

// The reason comes back in the status; nothing is shown while converting.
class SilentMessages : public Messages {
 public:
  int Message(const std::string&, const std::string&, uint32_t) override { return kIdOk; }
};

}  // namespace

int RunConverterBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsage;
    return 0;
  }
  CorrectAnswerMode mode = CorrectAnswerMode::kFirst;
  std::vector<std::string> names;
  bool options = true;
  for (const std::string& a : arguments) {
    if (options && a == "--") {
      options = false;
    } else if (options && a == "--marked") {
      mode = CorrectAnswerMode::kMarked;
    } else {
      names.push_back(a);
    }
  }
  if (names.size() != 2) {
    err << kUsage;
    return 2;
  }
  const std::string source = Utf8ToCp1252(names[0]);
  const std::string destination = DestinationWithExtension(Utf8ToCp1252(names[1]));
  SilentMessages messages;
  uint32_t appended = 0;
  const Status status = ConvertTextFile(source, destination, mode, &messages, &appended);
  if (!status.ok()) {
    err << Cp1252ToUtf8(W("No Conversió: ") + status.caption() + ": " + status.text()) << "\n";
    if (appended == 1) {
      err << Cp1252ToUtf8(W("La qüestió anterior a l'error ja s'ha afegit a ") + destination) << "\n";
    } else if (appended > 1) {
      err << Cp1252ToUtf8(W("Les ") + std::to_string(appended) +
                          W(" qüestions anteriors a l'error ja s'han afegit a ") + destination)
          << "\n";
    }
    return 1;
  }
  const std::string added = appended == 1 ? W("1 qüestió afegida a ")
                                          : std::to_string(appended) + W(" qüestions afegides a ");
  out << Cp1252ToUtf8(W("Conversió finalitzada: ") + added + destination) << "\n";
  return 0;
}

}  // namespace quiz
