// The general number format: values per second, against snprintf("%.15g")
// of the C library measured in the same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "common/uNumber.h"

namespace {

std::vector<double> Values() {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mantissa(-1000, 1000);
  std::uniform_int_distribution<int> exponent(-12, 18);
  std::vector<double> v(4096);
  for (double& x : v) x = mantissa(rng) * std::pow(10.0, exponent(rng));
  return v;
}

void GeneralFormat(benchmark::State& state) {
  const auto values = Values();
  char buf[40];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(tracemill::FormatGeneral(values[i++ & 4095], buf));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void FloatToStrString(benchmark::State& state) {
  const auto values = Values();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(tracemill::FloatToStr(values[i++ & 4095]));
  state.SetItemsProcessed(state.iterations());
}

void BaselineSnprintf(benchmark::State& state) {
  const auto values = Values();
  char buf[40];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.15g", values[i++ & 4095]));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(GeneralFormat);
BENCHMARK(FloatToStrString);
BENCHMARK(BaselineSnprintf);
