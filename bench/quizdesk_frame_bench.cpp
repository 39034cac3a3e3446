// The manager's first frame as its user waits for it: the application started (Qt's Catalan
// texts and the fonts loaded), the main window built, initialised on a data folder and painted;
// next to an empty window started and painted the same way. Offscreen platform; the application
// is made anew in every iteration, as every start of a program makes it.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include <cstdlib>
#include <functional>

#include "bench/bench_files.h"
#include "manager/main_window.h"
#include "toolkit/files.h"
#include "toolkit/gui/application.h"
#include "toolkit/gui/message_box.h"

namespace quiz {
namespace {

void EnterDataFolder() {
  static bool made = false;
  if (made) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  bench::EnterScratchFolder();
  TopicIndex index;
  if (!index.Create().ok()) std::abort();
  bench::WriteFile("Zive.cf", "Info.txt\r\ncontacte\r\n", false);
  SetMessageResponder([](const std::string&, const std::string&, uint32_t) { return kIdOk; });
  made = true;
}

// Starts an application, shows what `show` builds and waits for its first frame.
void FirstFrame(const std::function<void(std::function<void(QWidget*)>)>& show) {
  int argc = 1;
  char name[] = "quizdesk_frame_bench";
  char* argv[] = {name, nullptr};
  QApplication app(argc, argv);
  PrepareApplication(app);
  show([](QWidget* window) {
    QApplication::processEvents();
    // The frame as the screen holds it (painting the window again would count its paint twice).
    QPixmap frame = QGuiApplication::primaryScreen()->grabWindow(window->winId());
    benchmark::DoNotOptimize(frame);
  });
}

void BM_EmptyWindowFirstFrame(benchmark::State& state) {
  EnterDataFolder();
  for (auto _ : state) {
    FirstFrame([](const auto& painted) {
      QWidget window;
      window.setFixedSize(384, 240);
      window.show();
      painted(&window);
    });
  }
}

void BM_ManagerFirstFrame(benchmark::State& state) {
  EnterDataFolder();
  for (auto _ : state) {
    FirstFrame([](const auto& painted) {
      ManagerWindow window;
      window.show();
      window.Initialise();
      painted(&window);
    });
  }
}

BENCHMARK(BM_EmptyWindowFirstFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManagerFirstFrame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quiz
