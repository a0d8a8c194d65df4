#include "image/uBitmap.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
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

// A memory size for a message: bytes below 1 MiB, else MiB with one decimal.
std::string MemoryText(std::uint64_t bytes) {
  constexpr std::uint64_t kMiB = std::uint64_t(1) << 20;
  char text[48];
  if (bytes < kMiB)
    std::snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
  else
    std::snprintf(text, sizeof text, "%.1f MiB", double(bytes) / double(kMiB));
  return text;
}

std::string SizeText(std::int64_t width, std::int64_t height) {
  return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

}  // namespace

TImageLimits DefaultImageLimits() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return {std::uint64_t(1) << 30};
  const std::uint64_t quarter = std::uint64_t(pages) * std::uint64_t(pageSize) / 4;
  return {std::min(quarter, TBitmap::kMaxBytes)};
}

void CheckPictureSize(std::int64_t width, std::int64_t height, const TImageLimits& limits) {
  if (TBitmap::SizeFits(width, height, limits.maxBytes)) return;
  const double bytes = double(width) * double(height) * 4;  // may exceed 64 bits
  const std::string needed =
      bytes < 0x1p63 ? MemoryText(std::uint64_t(bytes)) : std::string("more than 2^63 bytes");
  throw FileError("The picture of " + SizeText(width, height) + " is too large: it needs " + needed +
                  ", the picture size limit is " + MemoryText(limits.maxBytes) + ".");
}

TBitmap AllocatePicture(std::int64_t width, std::int64_t height, const TImageLimits& limits) {
  CheckPictureSize(width, height, limits);
  try {
    return TBitmap::Uninitialized(int(width), int(height));
  } catch (const std::bad_alloc&) {
    throw FileError("There is not enough memory for a picture of " + SizeText(width, height) + ".");
  }
}

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
