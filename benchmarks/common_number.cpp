// Number texts: the general format against snprintf("%.15g"), a picture
// format of the main list against snprintf("%.2f"), and reading decimal and
// integer texts against strtod and strtol of the C library, measured in the
// same run.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
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

void PictureFormat(benchmark::State& state) {
  const auto values = Values();
  const tracemill::TFormatSettings settings;
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(tracemill::FormatFloat("#,##0.00", values[i++ & 4095], settings));
  state.SetItemsProcessed(state.iterations());
}

void BaselineSnprintfFixed(benchmark::State& state) {
  const auto values = Values();
  char buf[64];
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(std::snprintf(buf, sizeof buf, "%.2f", values[i++ & 4095]));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

// Texts as the settings file and the report language hold them: general
// format texts and integers.
std::vector<std::string> FloatTexts() {
  std::vector<std::string> texts;
  for (double v : Values()) texts.push_back(tracemill::FloatToStr(v));
  return texts;
}

std::vector<std::string> IntegerTexts() {
  std::mt19937 rng(11);
  std::uniform_int_distribution<std::int32_t> value(-2000000000, 2000000000);
  std::vector<std::string> texts(4096);
  for (auto& t : texts) t = std::to_string(value(rng) >> (rng() % 31));
  return texts;
}

void ReadFloat(benchmark::State& state) {
  const auto texts = FloatTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(tracemill::TryStrToFloat(texts[i++ & 4095]));
  state.SetItemsProcessed(state.iterations());
}

void BaselineStrtod(benchmark::State& state) {
  const auto texts = FloatTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtod(texts[i++ & 4095].c_str(), nullptr));
  state.SetItemsProcessed(state.iterations());
}

void ReadInteger(benchmark::State& state) {
  const auto texts = IntegerTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(tracemill::TryStrToInt(texts[i++ & 4095]));
  state.SetItemsProcessed(state.iterations());
}

void BaselineStrtol(benchmark::State& state) {
  const auto texts = IntegerTexts();
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(std::strtol(texts[i++ & 4095].c_str(), nullptr, 10));
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(GeneralFormat);
BENCHMARK(FloatToStrString);
BENCHMARK(BaselineSnprintf);
BENCHMARK(PictureFormat);
BENCHMARK(BaselineSnprintfFixed);
BENCHMARK(ReadFloat);
BENCHMARK(BaselineStrtod);
BENCHMARK(ReadInteger);
BENCHMARK(BaselineStrtol);
