// Rendering one vector page at 200 dpi (goal: at most 1.2 times the time of
// the PDF library's own renderer, pdftoppm, on the same page in the same run).
//
// Ours opens the document and renders the page into a bitmap. pdftoppm runs
// as a process that opens the document, renders the page and writes it as a
// PPM image to /dev/null, so its time also holds a process start and the PPM
// conversion. The same two runs over an empty page of the same size measure
// those fixed costs (start, opening, filling the paper, handing the pixels
// over); the time of drawing itself is each plot time minus its blank time.
// Both report their processor time, children included, as the counter
// cpu_ms, which a busy machine disturbs less than the wall time.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MakePdf.h"
#include "image/uPdf.h"

namespace fs = std::filesystem;

extern char** environ;

namespace {

const int kDpi = 200;

// The plot (page 2: 6 x 8 inches with a curve of 5000 points, a grid and
// text) and an empty page of the same size, written once per run.
struct Fixture {
  fs::path folder;
  std::string plot, blank;
  Fixture() {
    folder = fs::temp_directory_path() / ("tm-bench-pdf-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    plot = Write("plot.pdf", tracemill::testing::MakePlotPdf(5000));
    blank = Write("blank.pdf", tracemill::testing::MakeBlankPdf(tracemill::testing::kPage2Width,
                                                                tracemill::testing::kPage2Height));
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = (folder / name).string();
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
  }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

double Ms(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Processor time of this process and of its children, ended or running
// (pages are drawn by a child process that stays).
double CpuMs() {
  rusage self{}, ended{};
  ::getrusage(RUSAGE_SELF, &self);
  ::getrusage(RUSAGE_CHILDREN, &ended);
  double ms = Ms(self.ru_utime) + Ms(self.ru_stime) + Ms(ended.ru_utime) + Ms(ended.ru_stime);
  const std::string self_ = std::to_string(::getpid());
  std::ifstream children("/proc/" + self_ + "/task/" + self_ + "/children");
  for (int pid = 0; children >> pid;) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string field;
    for (int i = 1; i <= 15 && stat >> field; ++i)
      if (i >= 14) ms += std::stod(field) * 1e3 / double(::sysconf(_SC_CLK_TCK));  // utime, stime
  }
  return ms;
}

void Render(benchmark::State& state, const std::string& file, int page) {
  double cpu = 0;
  for (auto _ : state) {
    const double start = CpuMs();
    const tracemill::TPdfDocument pdf(file, false);
    const tracemill::TBitmap bitmap = pdf.RenderPage(page, kDpi);
    benchmark::DoNotOptimize(bitmap.Bits());
    cpu += CpuMs() - start;
  }
  state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

// pdftoppm -r 200 -singlefile -f N -l N FILE, its image going to /dev/null.
void Pdftoppm(benchmark::State& state, const std::string& file, int page) {
  const std::string dpi = std::to_string(kDpi), number = std::to_string(page + 1);
  std::vector<std::string> args{"pdftoppm", "-r", dpi,    "-singlefile", "-f",
                                number,     "-l", number, file};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  double cpu = 0;
  for (auto _ : state) {
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawnp(&pid, "pdftoppm", &actions, nullptr, argv.data(), environ) != 0 ||
        ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      state.SkipWithError("pdftoppm failed");
      break;
    }
    cpu += Ms(usage.ru_utime) + Ms(usage.ru_stime);
  }
  posix_spawn_file_actions_destroy(&actions);
  state.counters["cpu_ms"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

void BM_RenderPlotPage(benchmark::State& state) { Render(state, Files().plot, 1); }
void BM_PdftoppmPlotPage(benchmark::State& state) { Pdftoppm(state, Files().plot, 1); }
void BM_RenderBlankPage(benchmark::State& state) { Render(state, Files().blank, 0); }
void BM_PdftoppmBlankPage(benchmark::State& state) { Pdftoppm(state, Files().blank, 0); }

// With --benchmark_repetitions the least disturbed run is also shown ("min").
double Least(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::min_element(v.begin(), v.end());
}

BENCHMARK(BM_RenderPlotPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Least);
BENCHMARK(BM_PdftoppmPlotPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Least);
BENCHMARK(BM_RenderBlankPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Least);
BENCHMARK(BM_PdftoppmBlankPage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("min", Least);

}  // namespace
