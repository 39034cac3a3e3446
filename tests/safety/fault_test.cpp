// Every writing operation against a full disk, read-only folders and files, a missing folder and a
// folder where its file should be: either it may rightly go on, or it fails with a reason that
// names the file, and no byte of the data folder changes.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <set>

#include "tests/safety/write_operations.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace quiz {
namespace {

using testing::WriteOperation;

enum class Fault { kDiskFull, kReadOnlyFolder, kReadOnlyFile, kMissingFolder, kFolderForFile };

const char* FaultName(Fault f) {
  switch (f) {
    case Fault::kDiskFull: return "disc ple";
    case Fault::kReadOnlyFolder: return "carpeta de només lectura";
    case Fault::kReadOnlyFile: return "fitxer de només lectura";
    case Fault::kMissingFolder: return "carpeta absent";
    case Fault::kFolderForFile: return "carpeta en lloc del fitxer";
  }
  return "";
}

// Where an operation may rightly succeed in spite of the fault: nothing it must write is in
// the way. Every other pair must fail.
const std::set<std::pair<std::string, Fault>> kMayGoOn = {
    // Cutting a file shorter writes no byte.
    {"esborrar l'última qüestió", Fault::kDiskFull},
    {"crear l'índex de temes", Fault::kDiskFull},
    {"llistar els temes (quizdesk)", Fault::kDiskFull},  // an empty file holds no byte
    // Appending to a file that may be written needs no new file in the folder.
    {"esborrar l'última qüestió", Fault::kReadOnlyFolder},
    {"afegir una qüestió", Fault::kReadOnlyFolder},
    {"desar una qüestió", Fault::kReadOnlyFolder},
    {"desar una qüestió a l'editor (quizdesk)", Fault::kReadOnlyFolder},
    {"afegir una qüestió a l'editor (quizdesk)", Fault::kReadOnlyFolder},
    {"desar un tema", Fault::kReadOnlyFolder},
    {"desar el títol del tema obert (quizdesk)", Fault::kReadOnlyFolder},
    {"registrar una puntuació després d'una cua trencada", Fault::kReadOnlyFolder},
    {"registrar les respostes després d'una correcció a mitges", Fault::kReadOnlyFolder},
    {"afegir un tema", Fault::kReadOnlyFolder},
    {"registrar una puntuació", Fault::kReadOnlyFolder},
    {"afegir un test generat", Fault::kReadOnlyFolder},
    {"convertir un text", Fault::kReadOnlyFolder},
    // These make their folder, as the programs always did.
    {"crear l'índex de temes", Fault::kMissingFolder},
    {"afegir un test generat", Fault::kMissingFolder},
    {"escriure un test generat", Fault::kMissingFolder},
    {"generar un test aleatori (quizdesk)", Fault::kMissingFolder},
    {"substituir un test generat (quizdesk)", Fault::kMissingFolder},
    // A topic whose file cannot be made or read is listed with "?", beside the others.
    {"llistar els temes (quizdesk)", Fault::kReadOnlyFolder},
    {"llistar els temes (quizdesk)", Fault::kFolderForFile},
    {"repetir errades i en blanc (quizrun)", Fault::kMissingFolder},
};

std::string FolderOf(const std::string& target) {
  const std::string folder = fs::path(target).parent_path().string();
  return folder.empty() ? "." : folder;
}

// Sets the fault up in the current folder; false when it does not apply to the operation.
bool Arrange(Fault fault, const WriteOperation& op) {
  const std::string& target = op.targets.front();
  switch (fault) {
    case Fault::kDiskFull: return true;  // the limit is set in the child
    case Fault::kReadOnlyFolder:
      testing::SetMode(FolderOf(target), 0555);
      return true;
    case Fault::kReadOnlyFile:
      if (!fs::exists(target)) return false;  // it makes the file
      for (const std::string& t : op.targets) testing::SetMode(t, 0444);
      return true;
    case Fault::kMissingFolder:
      if (FolderOf(target) == ".") return false;  // the data folder itself
      fs::remove_all(FolderOf(target));
      return true;
    case Fault::kFolderForFile:
      fs::remove(target);
      fs::create_directories(target + "/x");
      return true;
  }
  return false;
}

// The names in the whole folder, temporary files included.
std::string AllNames() {
  std::string names;
  for (const auto& entry : fs::recursive_directory_iterator(".")) names += entry.path().string() + " ";
  return names;
}

class FaultTable : public testing::InTempDir {};

TEST_F(FaultTable, EveryWriteFailsWithItsReasonAndChangesNoByte) {
  int cases = 0;
  const Fault faults[] = {Fault::kDiskFull, Fault::kReadOnlyFolder, Fault::kReadOnlyFile,
                          Fault::kMissingFolder, Fault::kFolderForFile};
  for (const WriteOperation& op : testing::WriteOperations()) {
    for (Fault fault : faults) {
      const std::string what = std::string(op.name) + " / " + FaultName(fault);
      testing::WriteFolderState({});
      op.set_up(/*large=*/false);
      testing::OpenToEveryone(dir());
      if (!Arrange(fault, op)) continue;
      ++cases;
      const testing::FolderState before = testing::ReadFolderState();
      const std::string names_before = AllNames();

      int report[2];
      ASSERT_EQ(::pipe(report), 0);
      const int code = testing::RunUnprivileged([&] {
        ::close(report[0]);
        if (fault == Fault::kDiskFull) {
          std::signal(SIGXFSZ, SIG_IGN);
          rlimit limit{1, 1};
          ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        const Status status = op.run();
        const std::string text = status.ToString();
        (void)!::write(report[1], text.data(), text.size());
        return status.ok() ? 0 : 1;
      });
      ::close(report[1]);
      std::string text;
      char chunk[512];
      for (ssize_t got; (got = ::read(report[0], chunk, sizeof chunk)) > 0;) text.append(chunk, got);
      ::close(report[0]);
      testing::OpenToEveryone(dir());

      if (kMayGoOn.contains({op.name, fault})) {
        EXPECT_EQ(code, 0) << what << ": " << text;
        continue;
      }
      EXPECT_EQ(code, 1) << what << ": " << text;
      EXPECT_TRUE(std::any_of(op.targets.begin(), op.targets.end(),
                              [&](std::string name) {
                                std::replace(name.begin(), name.end(), '/', '\\');
                                return text.find(name) != std::string::npos;
                              }))
          << what << ": " << text;
      EXPECT_EQ(testing::Differences(testing::ReadFolderState(), before), "") << what;
      EXPECT_EQ(AllNames(), names_before) << what;
    }
  }
  std::cout << "[ faults   ] " << cases << " cases of " << testing::WriteOperations().size()
            << " operations\n";
}

}  // namespace
}  // namespace quiz
