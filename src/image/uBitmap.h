#pragma once
// The picture of a work bench in memory.
//
// Pixels are 32 bits each, rows top-down and contiguous (no padding), every
// pixel 0xAARRGGBB with alpha 0xFF: the layout of QImage::Format_RGB32, so the
// GUI can wrap Bits() in a QImage without copying. Colours as the rest of the
// program writes them (0x00BBGGRR) go through Color / SetColor.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tracemill {

class TBitmap {
 public:
  // The largest pixel buffer a bitmap may hold: 4 GiB.
  static constexpr std::uint64_t kMaxBytes = std::uint64_t(1) << 32;

  TBitmap() = default;
  // A width x height bitmap filled with black. Throws InvalidOperation for a
  // negative size or one whose pixel buffer would exceed kMaxBytes.
  TBitmap(int width, int height);
  // A bitmap whose pixels are left unset, for readers that write every pixel.
  static TBitmap Uninitialized(int width, int height);
  TBitmap(const TBitmap& other);
  TBitmap& operator=(const TBitmap& other);
  TBitmap(TBitmap&& other) noexcept;
  TBitmap& operator=(TBitmap&& other) noexcept;
  ~TBitmap() = default;

  // True when width x height pixels fit within maxBytes (and both are > 0).
  static bool SizeFits(std::int64_t width, std::int64_t height, std::uint64_t maxBytes = kMaxBytes);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  std::size_t BytesPerLine() const { return std::size_t(width_) * 4; }
  std::size_t ByteCount() const { return BytesPerLine() * std::size_t(height_); }

  // The pixel buffer, row 0 first; null for an empty bitmap.
  std::uint32_t* Bits() { return pixels_.get(); }
  const std::uint32_t* Bits() const { return pixels_.get(); }
  std::uint32_t* Row(int y) { return pixels_.get() + std::size_t(y) * std::size_t(width_); }
  const std::uint32_t* Row(int y) const { return pixels_.get() + std::size_t(y) * std::size_t(width_); }

  // Raw pixel 0xAARRGGBB; (x, y) must lie inside the bitmap.
  std::uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
  void SetPixel(int x, int y, std::uint32_t argb) { Row(y)[x] = argb; }

  // Colour 0x00BBGGRR of a pixel, or -1 (as an unsigned 0xFFFFFFFF) outside
  // the bitmap. SetColor ignores positions outside the bitmap.
  std::uint32_t Color(int x, int y) const;
  void SetColor(int x, int y, std::uint32_t bgr);

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  void Fill(std::uint32_t argb);
  void Swap(TBitmap& other) noexcept;

  friend bool operator==(const TBitmap& a, const TBitmap& b);

  static std::uint32_t ArgbFromColor(std::uint32_t bgr) {
    return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
  }
  static std::uint32_t ColorFromArgb(std::uint32_t argb) {
    return ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
  }

 private:
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<std::uint32_t[]> pixels_;
};

// What a reader may allocate: a picture whose pixel buffer (4 bytes a pixel)
// would exceed maxBytes is refused with a FileError before any large
// allocation. Every loading entry point takes one; programs pass
// DefaultImageLimits() or the user's setting. A default-made one allows the
// most a bitmap can hold.
struct TImageLimits {
  std::uint64_t maxBytes = TBitmap::kMaxBytes;
};

// A quarter of the machine's physical memory, at most TBitmap::kMaxBytes
// (1 GiB when the system does not tell its memory size).
TImageLimits DefaultImageLimits();

// Throws FileError, naming the width, the height and the limit, when a
// picture of width x height pixels (both positive) does not fit limits.
void CheckPictureSize(std::int64_t width, std::int64_t height, const TImageLimits& limits);

// A bitmap for a reader that writes every pixel: CheckPictureSize, then the
// allocation, whose failure is a FileError too.
TBitmap AllocatePicture(std::int64_t width, std::int64_t height, const TImageLimits& limits);

}  // namespace tracemill
