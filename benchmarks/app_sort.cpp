// Sorting the collected data: 100,000 lines by a numeric and a string key, on
// random, already sorted and all-equal keys. The baseline is the recursive
// first-element-pivot partition that the sort rule is defined by, run in the
// same program: on random keys at full size, on sorted keys at a size it can
// still finish (it is quadratic there).

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/uBaseData.h"

using namespace tracemill;

namespace {

enum Pattern { kRandom, kSorted, kEqual };

TBaseMeasuredList MakeList(int n, Pattern pattern) {
  std::mt19937 rng(42);
  std::uniform_real_distribution<double> value(-1e6, 1e6);
  TBaseMeasuredList list;
  for (int i = 0; i < n; ++i) {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    line->PointsID = i + 1;
    const double x = pattern == kRandom ? value(rng) : pattern == kSorted ? i : 1.0;
    line->AddPoint(x, x);
    char title[32];
    std::snprintf(title, sizeof title, "graph %08d", pattern == kRandom ? static_cast<int>(rng() % 100000000) : pattern == kSorted ? i : 7);
    line->Title = title;
    list.Add(std::move(line));
  }
  return list;
}

void Sort(benchmark::State& state, const char* key) {
  const auto pattern = static_cast<Pattern>(state.range(1));
  const TBaseMeasuredList original = MakeList(static_cast<int>(state.range(0)), pattern);
  for (auto _ : state) {
    state.PauseTiming();
    auto list = original.Copy();
    state.ResumeTiming();
    SortMeasuredList(*list, key, false);
    benchmark::DoNotOptimize(list->Item(0));
  }
}

// The defining algorithm: partition around the first element, equal keys
// with a later position to the left, recursively.
void PartitionSort(std::vector<double>& keys, std::vector<int>& positions) {
  if (positions.size() <= 1) return;
  const int p0 = positions[0];
  const double k0 = keys[static_cast<std::size_t>(p0)];
  std::vector<int> left, right;
  for (std::size_t i = 1; i < positions.size(); ++i) {
    const int p = positions[i];
    const double k = keys[static_cast<std::size_t>(p)];
    (k < k0 || (k == k0 && p > p0) ? left : right).push_back(p);
  }
  PartitionSort(keys, left);
  PartitionSort(keys, right);
  positions = std::move(left);
  positions.push_back(p0);
  positions.insert(positions.end(), right.begin(), right.end());
}

void Baseline(benchmark::State& state) {
  const auto pattern = static_cast<Pattern>(state.range(1));
  const TBaseMeasuredList original = MakeList(static_cast<int>(state.range(0)), pattern);
  std::vector<double> keys;
  for (int i = 0; i < original.Count(); ++i) keys.push_back(original.Item(i)->Item(0)->X);
  for (auto _ : state) {
    state.PauseTiming();
    auto list = original.Copy();
    std::vector<int> positions(keys.size());
    for (std::size_t i = 0; i < positions.size(); ++i) positions[i] = static_cast<int>(i);
    state.ResumeTiming();
    PartitionSort(keys, positions);
    list->Reorder(positions);
    benchmark::DoNotOptimize(list->Item(0));
  }
}

void SortX(benchmark::State& state) { Sort(state, "X"); }
void SortTitle(benchmark::State& state) { Sort(state, "TITLE"); }

}  // namespace

BENCHMARK(SortX)->ArgsProduct({{100000}, {kRandom, kSorted, kEqual}})->Unit(benchmark::kMillisecond);
BENCHMARK(SortTitle)->ArgsProduct({{100000}, {kRandom, kSorted, kEqual}})->Unit(benchmark::kMillisecond);
BENCHMARK(Baseline)->Args({100000, kRandom})->Args({5000, kSorted})->Args({10000, kSorted})->Unit(benchmark::kMillisecond);
