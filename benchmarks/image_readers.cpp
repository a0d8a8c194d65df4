// The built-in readers on an 8000 x 6000 picture.
//
// BMP: 24-bit file read from disk (goal: at least 500 MB/s of file data);
// baseline: reading the same file into a buffer.
// JPEG: baseline-coded file decoded from memory (goal: at most 1.15 times
// libjpeg-turbo's own decode of the same file to a buffer); baseline: plain
// libjpeg decode to packed RGB rows.
// Each reader also reports peak_bytes_per_pixel: the growth of the process's
// peak resident memory during one load, per pixel (goal: 4 plus a row).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BmpFiles.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"
#include "image/uJpeg.h"

#include <jpeglib.h>

namespace {

using namespace tracemill;

// What the program passes by default.
const TImageLimits kLimits = DefaultImageLimits();

constexpr int kWidth = 8000;
constexpr int kHeight = 6000;

// A picture with some structure, so that JPEG has real work to do.
TBitmap TestPicture() {
  TBitmap b(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    std::uint32_t* row = b.Row(y);
    for (int x = 0; x < kWidth; ++x) {
      const std::uint32_t r = std::uint32_t((x * 255) / kWidth), g = std::uint32_t((y * 255) / kHeight);
      const std::uint32_t blue = ((x / 40 + y / 40) & 1) ? 200u : 30u;
      row[x] = 0xFF000000u | (r << 16) | (g << 8) | (blue ^ std::uint32_t((x * y) & 15));
    }
  }
  return b;
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

const std::string& BmpPath() {
  static const std::string path = [] {
    const std::string p = TempPath("tracemill-bench-8000x6000.bmp");
    WriteFileAtomic(p, testing::BmpFileOf(TestPicture()));
    return p;
  }();
  return path;
}

const std::string& JpegFile() {
  static const std::string file = [] {
    const TBitmap picture = TestPicture();
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = kWidth;
    c.image_height = kHeight;
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRA;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
      JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(picture.Row(int(c.next_scanline))));
      jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    std::free(out);
    return bytes;
  }();
  return file;
}

const std::string& JpegPath() {
  static const std::string path = [] {
    const std::string p = TempPath("tracemill-bench-8000x6000.jpg");
    WriteFileAtomic(p, JpegFile());
    return p;
  }();
  return path;
}

// Peak resident memory: reset the high-water mark, run f, read it back.
long StatusKb(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line))
    if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
  return -1;
}

template <typename F>
double PeakBytesPerPixel(F f) {
  std::ofstream("/proc/self/clear_refs") << "5";  // resets VmHWM to the current VmRSS
  const long before = StatusKb("VmRSS");
  f();
  const long peak = StatusKb("VmHWM");
  if (before < 0 || peak < 0) return -1;
  return double(peak - before) * 1024.0 / (double(kWidth) * kHeight);
}

void BM_ReadFileOnly_Baseline(benchmark::State& state) {
  const std::string& path = BmpPath();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    std::string bytes = ReadFileBytes(path);
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}
BENCHMARK(BM_ReadFileOnly_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadBmpFile24(benchmark::State& state) {
  const std::string& path = BmpPath();
  const auto size = std::filesystem::file_size(path);
  for (auto _ : state) {
    TBitmap target;
    LoadBmpFile(path, target, kLimits);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
  state.counters["peak_bytes_per_pixel"] = PeakBytesPerPixel([&] {
    TBitmap target;
    LoadBmpFile(path, target, kLimits);
  });
}
BENCHMARK(BM_LoadBmpFile24)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeBmp24FromMemory(benchmark::State& state) {
  const std::string file = ReadFileBytes(BmpPath());
  for (auto _ : state) {
    TBitmap b = DecodeBmp(file, kLimits);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
BENCHMARK(BM_DecodeBmp24FromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

// libjpeg's own decode of the whole file from memory into rows of a buffer.
void LibjpegDecode(const std::string& file, unsigned char* buffer, J_COLOR_SPACE space, int bytesPerPixel) {
  jpeg_decompress_struct d{};
  jpeg_error_mgr err{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, reinterpret_cast<const unsigned char*>(file.data()), file.size());
  jpeg_read_header(&d, TRUE);
  d.out_color_space = space;
  jpeg_start_decompress(&d);
  const std::size_t stride = std::size_t(d.output_width) * std::size_t(bytesPerPixel);
  while (d.output_scanline < d.output_height) {
    JSAMPROW rows[16];
    const JDIMENSION n = std::min<JDIMENSION>(16, d.output_height - d.output_scanline);
    for (JDIMENSION i = 0; i < n; ++i) rows[i] = buffer + std::size_t(d.output_scanline + i) * stride;
    jpeg_read_scanlines(&d, rows, n);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
}

// The yardstick: packed RGB into a buffer allocated once.
void BM_LibjpegToBuffer_Baseline(benchmark::State& state) {
  const std::string& file = JpegFile();
  std::vector<unsigned char> buffer(std::size_t(kWidth) * kHeight * 3);
  for (auto _ : state) {
    LibjpegDecode(file, buffer.data(), JCS_RGB, 3);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
BENCHMARK(BM_LibjpegToBuffer_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: 32-bit pixels (as a bitmap holds them) into a buffer allocated once.
void BM_LibjpegToBgraBuffer(benchmark::State& state) {
  const std::string& file = JpegFile();
  std::vector<unsigned char> buffer(std::size_t(kWidth) * kHeight * 4);
  for (auto _ : state) {
    LibjpegDecode(file, buffer.data(), JCS_EXT_BGRA, 4);
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
BENCHMARK(BM_LibjpegToBgraBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

// For comparison: 32-bit pixels into a buffer allocated for each picture.
void BM_LibjpegToFreshBgraBuffer(benchmark::State& state) {
  const std::string& file = JpegFile();
  for (auto _ : state) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[std::size_t(kWidth) * kHeight * 4]);
    LibjpegDecode(file, buffer.get(), JCS_EXT_BGRA, 4);
    benchmark::DoNotOptimize(buffer.get());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
BENCHMARK(BM_LibjpegToFreshBgraBuffer)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DecodeJpeg(benchmark::State& state) {
  const std::string& file = JpegFile();
  for (auto _ : state) {
    TBitmap b = DecodeJpeg(file, kLimits);
    benchmark::DoNotOptimize(b.Bits());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadJpegFile(benchmark::State& state) {
  const std::string& path = JpegPath();
  for (auto _ : state) {
    TBitmap target;
    LoadJpegFile(path, target, kLimits);
    benchmark::DoNotOptimize(target.Bits());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(JpegFile().size()));
  state.counters["peak_bytes_per_pixel"] = PeakBytesPerPixel([&] {
    TBitmap target;
    LoadJpegFile(path, target, kLimits);
  });
}
BENCHMARK(BM_LoadJpegFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
