#include "image/uBitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

#include "common/uError.h"

namespace tracemill {

namespace {

// Large pixel buffers are written once from end to end by a reader; asking
// for huge pages saves most of the page faults of a fresh buffer.
void AdviseHugePages(void* start, std::size_t bytes) {
  constexpr std::size_t kWorthIt = std::size_t(4) << 20;
  if (bytes < kWorthIt) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(start) + page - 1) / page * page;
  const auto end = (reinterpret_cast<std::uintptr_t>(start) + bytes) / page * page;
  if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // advice only
}

std::unique_ptr<std::uint32_t[]> AllocatePixels(std::size_t count) {
  auto pixels = std::make_unique_for_overwrite<std::uint32_t[]>(count);
  AdviseHugePages(pixels.get(), count * sizeof(std::uint32_t));
  return pixels;
}

}  // namespace

bool TBitmap::SizeFits(std::int64_t width, std::int64_t height, std::uint64_t maxBytes) {
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return false;
  const std::uint64_t bytes = std::uint64_t(width) * std::uint64_t(height) * 4;  // < 2^64
  return bytes <= maxBytes;
}

TBitmap::TBitmap(int width, int height) {
  TBitmap made = Uninitialized(width, height);
  made.Fill(0xFF000000u);
  Swap(made);
}

TBitmap TBitmap::Uninitialized(int width, int height) {
  TBitmap made;
  if (width < 0 || height < 0)
    throw InvalidOperation("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) + " is invalid.");
  if (width == 0 || height == 0) return made;
  if (!SizeFits(width, height))
    throw InvalidOperation("Bitmap size " + std::to_string(width) + " x " + std::to_string(height) +
                           " is too large.");
  made.pixels_ = AllocatePixels(std::size_t(width) * std::size_t(height));
  made.width_ = width;
  made.height_ = height;
  return made;
}

TBitmap::TBitmap(const TBitmap& other) : width_(other.width_), height_(other.height_) {
  if (other.pixels_) {
    pixels_ = AllocatePixels(std::size_t(width_) * std::size_t(height_));
    std::memcpy(pixels_.get(), other.pixels_.get(), other.ByteCount());
  }
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
  if (this != &other) {
    TBitmap copy(other);
    Swap(copy);
  }
  return *this;
}

TBitmap::TBitmap(TBitmap&& other) noexcept { Swap(other); }

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
  TBitmap moved(std::move(other));
  Swap(moved);
  return *this;
}

void TBitmap::Swap(TBitmap& other) noexcept {
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(pixels_, other.pixels_);
}

std::uint32_t TBitmap::Color(int x, int y) const {
  if (!Contains(x, y)) return 0xFFFFFFFFu;
  return ColorFromArgb(Pixel(x, y));
}

void TBitmap::SetColor(int x, int y, std::uint32_t bgr) {
  if (Contains(x, y)) SetPixel(x, y, ArgbFromColor(bgr));
}

void TBitmap::Fill(std::uint32_t argb) {
  if (pixels_) std::fill_n(pixels_.get(), std::size_t(width_) * std::size_t(height_), argb);
}

bool operator==(const TBitmap& a, const TBitmap& b) {
  if (a.width_ != b.width_ || a.height_ != b.height_) return false;
  return a.Empty() || std::memcmp(a.pixels_.get(), b.pixels_.get(), a.ByteCount()) == 0;
}

}  // namespace tracemill
