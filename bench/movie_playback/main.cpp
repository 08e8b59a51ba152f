// Measures the Play Movie page with the real player in a real window (run under Xvfb by
// bench/movie_playback.sh): the time to the first frame of an opened movie, the time from
// selecting a row to its frame, the CPU time and the frames mpv dropped or showed late over a
// stretch of playback, and the resident memory over a long playback with seeks.
//
//   tessera_movie_bench MOVIE SUBTITLES [--play SECONDS] [--soak SECONDS] [--shot FILE.png]
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app_window.h"
#include "core/text_util.h"
#include "movie/mpv_player_qt.h"
#include "pages/play_movie/movie_panel_widget.h"
#include "pages/play_movie/play_movie_page.h"
#include "ui/subtitle_list_view.h"

namespace {

using Clock = std::chrono::steady_clock;
using tessera::CTranslatePage;
using tessera::CVMR9Graph;

double CpuSeconds() {
  rusage r{};
  getrusage(RUSAGE_SELF, &r);
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

long ResidentKb() {
  long pages = 0, resident = 0;
  std::ifstream("/proc/self/statm") >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Polls for `done`, so the times to a first frame are measured to half a millisecond; the
// playback's processor time is measured under Run() instead.
bool Wait(const std::function<bool()>& done, double seconds) {
  const auto end = Clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (Clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::usleep(500);
  }
  return true;
}

// Runs the event loop as the program's own does, asleep until something happens: a loop that
// polls would add its own wake-ups to the processor time measured.
void Run(double seconds) {
  if (seconds <= 0) return;
  QEventLoop loop;
  QTimer::singleShot(static_cast<int>(seconds * 1000 + 0.5), Qt::PreciseTimer, &loop,
                     &QEventLoop::quit);
  loop.exec();
}

// Selects a row of the page's list the way a click does.
void SelectRow(CTranslatePage* page, int row) {
  tessera::SubtitleListView* list = page->List();
  list->selectionModel()->setCurrentIndex(
      list->Model()->index(row, 0),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

double Ms(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

void Summary(const char* what, std::vector<double> v) {
  std::sort(v.begin(), v.end());
  std::printf("%s: median %.1f ms, max %.1f ms (%zu runs)\n", what, v[v.size() / 2], v.back(),
              v.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: %s MOVIE SUBTITLES [--play S] [--soak S] [--shot FILE] [--size WxH]"
                 " [--resize-movie 0|1]\n",
                 argv[0]);
    return 2;
  }
  const std::string movie = std::filesystem::absolute(argv[1]).string();
  const std::string subtitles = std::filesystem::absolute(argv[2]).string();
  double play_seconds = 60, soak_seconds = 0;
  std::string shot, size = "960x700", resize_movie = "1";
  for (int i = 3; i + 1 < argc; i += 2) {
    const std::string a = argv[i];
    if (a == "--play") play_seconds = std::stod(argv[i + 1]);
    if (a == "--soak") soak_seconds = std::stod(argv[i + 1]);
    if (a == "--shot") shot = argv[i + 1];
    if (a == "--size") size = argv[i + 1];
    if (a == "--resize-movie") resize_movie = argv[i + 1];
  }

  QApplication qt(argc, argv);
  const std::string dir = std::filesystem::temp_directory_path() / "tessera-movie-bench";
  std::filesystem::create_directories(dir);
  const std::string config = dir + "/bench.cfg";
  // A 960 x 700 window on the Play Movie page, the movie panel taking the room.
  const std::string cx = size.substr(0, size.find('x')), cy = size.substr(size.find('x') + 1);
  std::ofstream(config) << "[Settings]\ncx=" << cx << "\ncy=" << cy
                        << "\nx pos=0\ny pos=0\nStart tab=101\nResizeMovieWindow=" << resize_movie
                        << "\n";

  // Silent, as mpv is run for the comparison: a machine without a sound card gains nothing either.
  CVMR9Graph player("null");
  tessera::ServiceOverrides services;
  services.player = &player;
  std::string error;
  auto options = tessera::ParseCommandLine({"--config", config, subtitles}, error);
  if (!options) return std::fprintf(stderr, "%s\n", error.c_str()), 2;
  options->identity = false;
  options->version_url.clear();
  tessera::CTesseraApp app(std::move(*options), services);
  app.InitInstance();
  tessera::CMainDialog* window = app.MainDialog();
  auto* page = dynamic_cast<CTranslatePage*>(window->Page(window->ActivePage()));
  if (!page) return std::fprintf(stderr, "the Play Movie page is not active\n"), 1;
  Run(1.0);

  // Opening: the time until the first frame is on the panel.
  std::vector<double> opens;
  for (int i = 0; i < 5; ++i) {
    const int64_t before = player.FramesRendered();
    const auto t0 = Clock::now();
    page->OpenMovie(tessera::FromUtf8(movie));
    if (!Wait([&] { return player.FramesRendered() > before; }, 5)) {
      std::fprintf(stderr, "no first frame: %s\n", tessera::ToUtf8(player.LastError()).c_str());
      return 1;
    }
    opens.push_back(Ms(t0));
    Run(0.3);
  }
  Summary("open to first frame", opens);
  const QRect panel = page->Panel()->PictureRect();
  std::printf("picture %d x %d in a %d x %d window\n", panel.width(), panel.height(),
              window->width(), window->height());

  // Seeking from the list while paused: the time until the frame of the selected row is shown.
  const int rows = app.Doc().Count();
  std::vector<double> seeks;
  for (int i = 0; i < 20 && rows > 0; ++i) {
    const int row = (i * 7 + 3) % rows;
    const int64_t target = tessera::TimeTextMs(app.Doc().Start(row)) * 10000;
    const int64_t before = player.FramesRendered();
    const auto t0 = Clock::now();
    SelectRow(page, row);
    Wait(
        [&] {
          return player.FramesRendered() > before &&
                 std::llabs(player.Position() - target) <= 400000;
        },
        5);
    seeks.push_back(Ms(t0));
    Run(0.1);
  }
  if (!seeks.empty()) Summary("row selected to its frame", seeks);

  // Playback: CPU time and the frames mpv dropped or showed late.
  page->Stop();
  Run(0.5);
  const int64_t dropped0 = player.IntProperty("frame-drop-count");
  const int64_t late0 = player.IntProperty("vo-delayed-frame-count");
  const double cpu0 = CpuSeconds();
  const double render0 = player.RenderSeconds(), paint0 = page->Panel()->PaintSeconds();
  const int64_t frames0 = player.FramesRendered();
  const auto t0 = Clock::now();
  page->Play();
  // When frames were dropped, which second of the playback it happened in.
  std::string drops_at;
  int64_t dropped_so_far = dropped0;
  for (int second = 1; Ms(t0) < play_seconds * 1000; ++second) {
    Run((std::min(second * 1000.0, play_seconds * 1000) - Ms(t0)) / 1000);
    const int64_t d = player.IntProperty("frame-drop-count");
    if (d > dropped_so_far)
      drops_at += " " + std::to_string(second) + "s:" + std::to_string(d - dropped_so_far);
    dropped_so_far = d;
  }
  const double cpu = CpuSeconds() - cpu0;
  const double wall = Ms(t0) / 1000;
  const double frames = std::max<int64_t>(1, player.FramesRendered() - frames0);
  std::printf("on the UI thread per frame: rendering %.2f ms, painting the panel %.2f ms\n",
              (player.RenderSeconds() - render0) * 1000 / frames,
              (page->Panel()->PaintSeconds() - paint0) * 1000 / frames);
  if (!drops_at.empty()) std::printf("frames dropped in second:%s\n", drops_at.c_str());
  std::printf("played %.1f s: CPU %.2f s (%.1f %%), dropped %lld, late %lld, rendered %lld\n", wall,
              cpu, 100 * cpu / wall,
              static_cast<long long>(player.IntProperty("frame-drop-count") - dropped0),
              static_cast<long long>(player.IntProperty("vo-delayed-frame-count") - late0),
              static_cast<long long>(player.FramesRendered()));

  // The screenshot, taken apart from the measurement: grabbing the screen holds the window up.
  if (!shot.empty() && rows > 3) {
    SelectRow(page, 2);
    Run(1.2);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(shot));
  }
  page->Pause();

  // A long playback with a seek every 5 s: the resident size at the start and at the end.
  if (soak_seconds > 0) {
    page->Stop();
    page->Play();
    Run(2);
    const long start_kb = ResidentKb();
    const auto s0 = Clock::now();
    int seeks_done = 0;
    while (Ms(s0) < soak_seconds * 1000) {
      Run(5);
      const int row = (seeks_done * 11 + 5) % std::max(1, rows);
      SelectRow(page, row);
      ++seeks_done;
    }
    std::printf("soak %.0f s with %d seeks: resident %ld kB at the start, %ld kB at the end\n",
                Ms(s0) / 1000, seeks_done, start_kb, ResidentKb());
  }
  page->Pause();
  window->close();
  return 0;
}
