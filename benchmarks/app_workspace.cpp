// The main window's working state with 100,000 collected lines of 5 points:
// a new line arriving from a bench (append, sort, the view's row ready),
// writing and reading the state file. Baselines in the same run: a plain
// deep copy of the list, and the same bytes written and read in one call.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "app/uWorkspace.h"
#include "common/uFileIO.h"
#include "settings/uEnvironment.h"

using namespace tracemill;

namespace {

constexpr int kLines = 100000;
constexpr int kPoints = 5;

struct Workspace {
  TQuietMessageService messages;
  TIniFile store{"unused.ini"};
  TWorkspace w{messages, store};
  TBench* bench = nullptr;
  std::string rowText;

  Workspace() {
    SetJapanese(false);
    w.CreateBench = [this] {
      TPictureLoader loader{[](const std::string&) { return true; }, [](const std::string&) { return true; },
                            [](const std::string&, TBitmap& target) { target = TBitmap(640, 480); }};
      return std::make_unique<TBench>(messages, store, loader);
    };
    // The view reads the row it is told about, as a model would for the new row.
    w.OnRowsChanged = [this](const TRowsChange& c) { rowText = w.Row(c.Select >= 0 ? c.Select : c.First)[3]; };
    bench = w.OpenBench("/mem/chart.bmp", false);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    for (int i = 0; i < kLines; ++i) {
      auto line = std::make_unique<TBaseMeasuredPoints>();
      line->PointsID = i;
      line->WindowID = 0;
      line->Title = "Fig. " + std::to_string(i % 50);
      line->Comment = "solid";
      for (int j = 0; j < kPoints; ++j) line->AddPoint(value(rng), value(rng));
      w.AddLine(std::move(line));
    }
    w.SetLastPointsID(kLines - 1);
    w.ResetList(-1);
  }
};

Workspace& Shared() {
  static Workspace* workspace = new Workspace;
  return *workspace;
}

TMeasuredPoints SentLine() {
  TMeasuredPoints line;
  for (int j = 0; j < kPoints; ++j) {
    auto p = std::make_unique<TMeasuredPoint>();
    p->ValueX = j * 1.5;
    p->ValueY = j * 2.5;
    line.Add(std::move(p));
  }
  line.Title = "new";
  return line;
}

std::string TempFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

void BM_NewLineArrives(benchmark::State& state) {
  Workspace& ws = Shared();
  const TMeasuredPoints line = SentLine();
  for (auto _ : state) {
    std::int32_t id = -1;
    ws.w.BenchPoint(*ws.bench, line, kPointKind, id);
    benchmark::DoNotOptimize(ws.rowText);
    state.PauseTiming();
    ws.w.DeleteRows({ws.w.RowCount() - 1});  // back to 100,000 lines
    state.ResumeTiming();
  }
}

void BM_BaselineCopyList(benchmark::State& state) {
  Workspace& ws = Shared();
  for (auto _ : state) {
    auto copy = ws.w.Data().Copy();
    benchmark::DoNotOptimize(copy->Item(0));
  }
}

void BM_SaveState(benchmark::State& state) {
  Workspace& ws = Shared();
  const std::string path = TempFile("tm-bench-state.trm");
  for (auto _ : state) ws.w.SaveState(path);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_BaselineWriteSameBytes(benchmark::State& state) {
  Workspace& ws = Shared();
  const std::string path = TempFile("tm-bench-state.trm");
  ws.w.SaveState(path);
  const std::string bytes = ReadFileBytes(path);
  const std::string copy = TempFile("tm-bench-copy.trm");
  for (auto _ : state) WriteFileAtomic(copy, bytes);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
}

void BM_LoadState(benchmark::State& state) {
  Workspace& ws = Shared();
  const std::string path = TempFile("tm-bench-state.trm");
  ws.w.SaveState(path);
  static Workspace& target = *new Workspace;  // a second working state to load into
  for (auto _ : state) target.w.LoadState(path);
  state.counters["lines"] = target.w.RowCount();
}

void BM_BaselineReadSameBytes(benchmark::State& state) {
  const std::string path = TempFile("tm-bench-state.trm");
  Shared().w.SaveState(path);
  for (auto _ : state) {
    const std::string bytes = ReadFileBytes(path);
    benchmark::DoNotOptimize(bytes.data());
  }
}

}  // namespace

BENCHMARK(BM_NewLineArrives)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineCopyList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveState)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineWriteSameBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadState)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineReadSameBytes)->Unit(benchmark::kMillisecond);
