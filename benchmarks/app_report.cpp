// The CSV export and the default programmable report over 100,000 collected
// lines of 5 points each. The baseline, run in the same program, formats the
// same numbers in the general format into one string: the least work either
// output needs (the CSV's first points, the report's every point).

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "app/uExport.h"
#include "app/uReport.h"
#include "app/uReportProgram.h"
#include "common/uNumber.h"

using namespace tracemill;

namespace {

constexpr int kLines = 100000;
constexpr int kPoints = 5;

TBaseMeasuredList MakeData() {
  TBaseMeasuredList data;
  for (int i = 0; i < kLines; ++i) {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    line->PointsID = i + 1;
    line->WindowID = i % 4;
    line->Title = "graph " + std::to_string(i % 997);
    line->Comment = i % 3 ? "" : "solid, blue";
    for (int j = 0; j < kPoints; ++j) line->AddPoint(i * 0.37 + j, 1000.0 / (i + j + 1));
    data.Add(std::move(line));
  }
  return data;
}

const TBaseMeasuredList& Data() {
  static const TBaseMeasuredList data = MakeData();
  return data;
}

class TFourBenches : public TBenchSource {
 public:
  int BenchCount() const override { return 4; }
  std::string EntryFileName(int w) const override { return "chart" + std::to_string(w) + ".bmp"; }
  std::optional<std::string> BenchFileName(int w) const override { return "/img/" + EntryFileName(w); }
};

// A folder under the system's temporary folder for the files written.
std::string TempFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tm-bench-report-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) return std::string("/tmp/");
    return pattern + "/";
  }();
  return folder;
}

void Baseline_FormatFirstPoints(benchmark::State& state) {
  const TBaseMeasuredList& data = Data();
  for (auto _ : state) {
    std::string text;
    for (int i = 0; i < data.Count(); ++i) {
      const TBaseMeasuredPoint* p = data.Item(i)->Item(0);
      text += FloatToStr(p->X);
      text += FloatToStr(p->Y);
    }
    benchmark::DoNotOptimize(text.data());
  }
}

void Baseline_FormatAllPoints(benchmark::State& state) {
  const TBaseMeasuredList& data = Data();
  for (auto _ : state) {
    std::string text;
    for (int i = 0; i < data.Count(); ++i) {
      const TBaseMeasuredPoints& line = *data.Item(i);
      for (int j = 0; j < line.Count(); ++j) {
        text += FloatToStr(line.Item(j)->X);
        text += FloatToStr(line.Item(j)->Y);
      }
    }
    benchmark::DoNotOptimize(text.data());
  }
}

void CsvToStream(benchmark::State& state) {
  for (auto _ : state) {
    std::ostringstream out;
    WriteCsv(out, Data(), "", "");
    benchmark::DoNotOptimize(out.tellp());
  }
}

void CsvToFile(benchmark::State& state) {
  const std::string path = TempFolder() + "export.csv";
  for (auto _ : state) SaveCsvFile(path, Data(), "0.000", "0.000E+00");
}

void DefaultReport(benchmark::State& state) {
  auto data = Data().Copy();
  const TFourBenches benches;
  for (auto _ : state) {
    const TReportResult result = RunReport(kDefaultReportProgram, {*data, benches});
    if (result.HasError() || result.Lines.size() != static_cast<std::size_t>(kLines)) {
      state.SkipWithError(result.HasError() ? result.Lines.back().c_str() : "wrong line count");
      return;
    }
  }
}

void DefaultReportToFile(benchmark::State& state) {
  auto data = Data().Copy();
  const TFourBenches benches;
  for (auto _ : state) SaveReport(TempFolder(), kDefaultReportProgram, {*data, benches});
}

void SimpleReportToFile(benchmark::State& state) {
  const TFourBenches benches;
  const TSimpleReportFormat format{"{x}, {y}, {filename}, {comment}", "", ""};
  for (auto _ : state) SaveSimpleReport(TempFolder(), Data(), benches, format);
}

}  // namespace

BENCHMARK(Baseline_FormatFirstPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline_FormatAllPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvToStream)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SimpleReportToFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DefaultReport)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DefaultReportToFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
