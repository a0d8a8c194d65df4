#include "image/uBmp.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <istream>
#include <string>
#include <vector>

#include "common/uError.h"
#include "image/uLittleEndian.h"

namespace tracemill {

namespace {

// Reasons given with a refused file.
constexpr char kNotBmp[] = "it does not start with \"BM\" (nor with an OS/2 bitmap array holding one)";
constexpr char kTruncated[] = "the file is shorter than its headers promise";
constexpr char kBadHeaderSize[] = "the size of its information header is not a known one";
constexpr char kBadPlanes[] = "its number of planes is not 1";
constexpr char kBadSize[] = "its width or height is not positive";
constexpr char kBadBitCount[] = "its number of bits per pixel is not supported";
constexpr char kBadCompression[] = "its compression method is not supported";
constexpr char kCompressionMismatch[] = "its compression method does not suit its bits per pixel";
constexpr char kTopDownRle[] = "a compressed bitmap cannot have top-down rows";
constexpr char kBadMasks[] = "its colour masks are empty, overlapping or not contiguous";
constexpr char kBadDensity[] = "its pixel density is implausible";
constexpr char kBadOffset[] = "its pixel data offset lies outside the file";
constexpr char kBadImageSize[] = "its image size is larger than the file";
constexpr char kBadFileSize[] = "its file size is larger than the file";
constexpr char kBadPalette[] = "its colour table is larger than the file";
constexpr char kBadIndex[] = "a pixel refers to a colour the colour table does not hold";
constexpr char kBadRle[] = "its compressed data runs outside the picture";
constexpr char kReadFailed[] = "the file cannot be read";
constexpr char kShortDib[] = "The bitmap is shorter than its header says.";

[[noreturn]] void Refuse(const char* reason) { throw FileError(std::string("Invalid BMP data: ") + reason + "."); }

// Random access to the bytes of a file or buffer.
class Source {
 public:
  virtual ~Source() = default;
  virtual std::uint64_t Size() const = 0;
  // Reads up to n bytes at pos; returns how many were read.
  virtual std::size_t ReadAt(std::uint64_t pos, std::uint8_t* dst, std::size_t n) = 0;
  // Reads exactly n bytes at pos or refuses the file as truncated.
  void ReadExact(std::uint64_t pos, std::uint8_t* dst, std::size_t n) {
    if (ReadAt(pos, dst, n) != n) Refuse(kTruncated);
  }
};

class MemorySource final : public Source {
 public:
  explicit MemorySource(std::string_view data) : data_(data) {}
  std::uint64_t Size() const override { return data_.size(); }
  std::size_t ReadAt(std::uint64_t pos, std::uint8_t* dst, std::size_t n) override {
    if (pos >= data_.size()) return 0;
    const std::size_t got = std::min<std::uint64_t>(n, data_.size() - pos);
    std::memcpy(dst, data_.data() + pos, got);
    return got;
  }

 private:
  std::string_view data_;
};

class StreamSource final : public Source {
 public:
  explicit StreamSource(std::istream& in) : in_(in) {
    start_ = in_.tellg();
    if (start_ == std::streampos(-1)) Refuse(kReadFailed);
    in_.seekg(0, std::ios::end);
    const std::streampos end = in_.tellg();
    if (!in_ || end < start_) Refuse(kReadFailed);
    size_ = std::uint64_t(end - start_);
    at_ = size_;
  }
  std::uint64_t Size() const override { return size_; }
  std::size_t ReadAt(std::uint64_t pos, std::uint8_t* dst, std::size_t n) override {
    if (pos >= size_) return 0;
    n = std::min<std::uint64_t>(n, size_ - pos);
    if (pos != at_) {
      in_.clear();
      in_.seekg(start_ + std::streamoff(pos));
      if (!in_) Refuse(kReadFailed);
    }
    in_.read(reinterpret_cast<char*>(dst), std::streamsize(n));
    const auto got = static_cast<std::size_t>(in_.gcount());
    at_ = pos + got;
    if (got != n && in_.bad()) Refuse(kReadFailed);
    return got;
  }

 private:
  std::istream& in_;
  std::streampos start_;
  std::uint64_t size_ = 0;
  std::uint64_t at_ = 0;
};

enum class Coding { Rgb, Rle8, Rle4, BitFields };

// One colour channel of a bit-field pixel: mask, shift and a scale to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;  // mask >> shift
  std::vector<std::uint8_t> table;  // value -> 0..255, for channels of up to 16 bits

  void Set(std::uint32_t m) {
    mask = m;
    shift = m ? std::countr_zero(m) : 0;
    max = m >> shift;
    table.clear();
    if (max != 0 && max <= 0xFFFF) {
      table.resize(std::size_t(max) + 1);
      for (std::uint32_t v = 0; v <= max; ++v) table[v] = std::uint8_t((std::uint64_t(v) * 255 + max / 2) / max);
    }
  }
  std::uint32_t Get(std::uint32_t pixel) const {
    const std::uint32_t v = (pixel & mask) >> shift;
    if (!table.empty()) return table[v];
    return std::uint32_t((std::uint64_t(v) * 255 + max / 2) / max);
  }
};

// Everything the information header, the masks and the colour table say.
struct DibInfo {
  std::uint32_t headerSize = 0;
  bool os2v1 = false;  // the 12-byte OS/2 1.x header
  bool os2v2 = false;  // an OS/2 2.x header
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive; see topDown
  bool topDown = false;
  int bits = 0;
  Coding coding = Coding::Rgb;
  std::uint32_t imageSize = 0;
  std::uint32_t clrUsed = 0;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  std::uint64_t paletteStart = 0;  // offset of the colour table from the header's start
  int paletteEntrySize = 4;
  std::uint64_t paletteCount = 0;  // entries the header asks for (0 for more than 8 bits)
  bool paletteImplicit = false;  // biClrUsed was 0
  std::array<std::uint32_t, 256> palette{};  // 0xAARRGGBB
  unsigned paletteUsable = 0;  // entries actually held (at most 256)

  std::uint64_t Stride() const { return ((std::uint64_t(width) * std::uint64_t(bits) + 31) / 32) * 4; }
  // Bytes the last row needs without its padding.
  std::uint64_t RowBytes() const { return (std::uint64_t(width) * std::uint64_t(bits) + 7) / 8; }
};

bool MaskContiguous(std::uint32_t m) {
  if (m == 0) return false;
  const std::uint32_t shifted = m >> std::countr_zero(m);
  return (shifted & (shifted + 1)) == 0;
}

// Reads the fields of the information header at pos of src into info and
// returns its compression code. OS/2 1.x headers (12 bytes) have 16-bit
// sizes and 3-byte colour-table entries; OS/2 2.x headers (16 to 64 bytes
// other than the Windows sizes) are cut-down Windows headers.
std::uint32_t ReadHeaderFields(Source& src, std::uint64_t pos, DibInfo& info, std::uint8_t* h) {
  src.ReadExact(pos, h, 4);
  info.headerSize = GetLE32(h);
  const std::uint32_t hs = info.headerSize;
  const bool windows = hs == 40 || hs == 52 || hs == 56 || hs == 108 || hs == 124;
  info.os2v1 = hs == 12;
  info.os2v2 = !windows && hs >= 16 && hs <= 64;
  if (!info.os2v1 && !windows && !info.os2v2) Refuse(kBadHeaderSize);
  src.ReadExact(pos, h, hs);

  unsigned planes = 0;
  std::uint32_t compression = 0;
  if (info.os2v1) {
    info.width = GetLE16(h + 4);
    info.height = GetLE16(h + 6);
    planes = GetLE16(h + 8);
    info.bits = GetLE16(h + 10);
    info.paletteEntrySize = 3;
  } else {
    info.width = GetLE32Signed(h + 4);
    const std::int64_t height = GetLE32Signed(h + 8);
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    planes = GetLE16(h + 12);
    info.bits = GetLE16(h + 14);
    if (hs >= 20) compression = GetLE32(h + 16);
    if (hs >= 24) info.imageSize = GetLE32(h + 20);
    if (hs >= 32) {
      const std::int64_t xppm = GetLE32Signed(h + 24), yppm = GetLE32Signed(h + 28);
      if (xppm > 0 && yppm > 0 && (xppm > 1000 * yppm || yppm > 1000 * xppm)) Refuse(kBadDensity);
    }
    if (hs >= 36) info.clrUsed = GetLE32(h + 32);
  }
  if (planes != 1) Refuse(kBadPlanes);
  if (info.width <= 0 || info.height <= 0) Refuse(kBadSize);
  return compression;
}

// Sets info's coding from the compression code and checks that it suits the
// bits per pixel. Returns the number of mask bytes that follow a 40-byte header.
std::uint64_t SetCoding(DibInfo& info, std::uint32_t compression) {
  std::uint64_t extra = 0;
  switch (compression) {
    case 0: info.coding = Coding::Rgb; break;
    case 1: info.coding = Coding::Rle8; break;
    case 2: info.coding = Coding::Rle4; break;
    case 3:
    case 6:
      if (info.os2v2) Refuse(kBadCompression);  // OS/2 Huffman 1D / RLE24
      info.coding = Coding::BitFields;
      if (info.headerSize == 40) extra = compression == 6 ? 16 : 12;
      break;
    default: Refuse(kBadCompression);
  }
  switch (info.bits) {
    case 1: case 2: case 4: case 8: case 16: case 24: case 32: break;
    default: Refuse(kBadBitCount);
  }
  if ((info.coding == Coding::Rle8 && info.bits != 8) || (info.coding == Coding::Rle4 && info.bits != 4) ||
      (info.coding == Coding::BitFields && info.bits != 16 && info.bits != 32))
    Refuse(kCompressionMismatch);
  if (info.topDown && (info.coding == Coding::Rle8 || info.coding == Coding::Rle4)) Refuse(kTopDownRle);
  return extra;
}

// Sets the colour masks of a 16- or 32-bit picture: from the header h or the
// extra bytes after it at pos for bit fields, else the defaults; and checks them.
void SetMasks(Source& src, std::uint64_t pos, const std::uint8_t* h, std::uint64_t extra, DibInfo& info) {
  if (info.coding == Coding::BitFields) {
    std::uint8_t m[12];
    if (extra != 0) {
      src.ReadExact(pos + info.headerSize, m, 12);
    } else {
      if (info.headerSize < 52) Refuse(kBadMasks);
      std::memcpy(m, h + 40, 12);
    }
    info.masks = {GetLE32(m), GetLE32(m + 4), GetLE32(m + 8)};
  } else if (info.bits == 16) {
    info.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (info.bits == 32) {
    info.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  }
  if (info.bits == 16 || info.bits == 32) {
    const std::uint32_t limit = info.bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    std::uint32_t seen = 0;
    for (std::uint32_t m : info.masks) {
      if (!MaskContiguous(m) || (m & ~limit) != 0 || (m & seen) != 0) Refuse(kBadMasks);
      seen |= m;
    }
  }
}

// Reads the information header at pos of src (header, then bit-field masks
// when they follow a 40-byte header). The colour table is read later.
DibInfo ParseHeader(Source& src, std::uint64_t pos) {
  DibInfo info;
  std::uint8_t h[124 + 16] = {};
  const std::uint32_t compression = ReadHeaderFields(src, pos, info, h);
  const std::uint64_t extra = SetCoding(info, compression);
  SetMasks(src, pos, h, extra, info);
  info.paletteStart = info.headerSize + extra;
  if (info.bits <= 8) {
    info.paletteImplicit = info.clrUsed == 0;
    info.paletteCount = info.paletteImplicit ? (std::uint64_t(1) << info.bits) : info.clrUsed;
  }
  return info;
}

// Reads the colour table at pos of src. room is the number of bytes that
// may hold it (up to the pixel data); an implicit table is cut to fit it.
void ReadPalette(Source& src, std::uint64_t pos, std::uint64_t room, DibInfo& info) {
  if (info.bits > 8) return;
  std::uint64_t count = info.paletteCount;
  const std::uint64_t entry = std::uint64_t(info.paletteEntrySize);
  if (info.paletteImplicit) count = std::min(count, room / entry);
  if (pos + count * entry > src.Size()) Refuse(kBadPalette);
  const unsigned usable = unsigned(std::min<std::uint64_t>({count, std::uint64_t(1) << info.bits, 256}));
  std::uint8_t raw[256 * 4];
  src.ReadExact(pos, raw, usable * entry);
  for (unsigned i = 0; i < usable; ++i) {
    const std::uint8_t* p = raw + i * entry;
    info.palette[i] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
  }
  info.paletteUsable = usable;
}

TBitmap MakeTarget(const DibInfo& info, const TImageLimits& limits) {
  return AllocatePicture(info.width, info.height, limits);
}

// Converts one row of packed pixels to 0xAARRGGBB.
class RowConverter {
 public:
  explicit RowConverter(const DibInfo& info) : info_(info) {
    if (info.bits == 16 || info.bits == 32) {
      red_.Set(info.masks[0]);
      green_.Set(info.masks[1]);
      blue_.Set(info.masks[2]);
      plain32_ = info.bits == 32 && info.masks[0] == 0xFF0000 && info.masks[1] == 0xFF00 && info.masks[2] == 0xFF;
    }
  }

  void Convert(const std::uint8_t* src, std::uint32_t* dst) const {
    const std::size_t w = std::size_t(info_.width);
    switch (info_.bits) {
      case 24:
        for (std::size_t x = 0; x < w; ++x, src += 3)
          dst[x] = 0xFF000000u | (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[1]) << 8) | src[0];
        return;
      case 32:
        if (plain32_) {
          for (std::size_t x = 0; x < w; ++x, src += 4)
            dst[x] = 0xFF000000u | (std::uint32_t(src[2]) << 16) | (std::uint32_t(src[1]) << 8) | src[0];
        } else {
          for (std::size_t x = 0; x < w; ++x, src += 4) dst[x] = FromFields(GetLE32(src));
        }
        return;
      case 16:
        for (std::size_t x = 0; x < w; ++x, src += 2) dst[x] = FromFields(GetLE16(src));
        return;
      case 8:
        for (std::size_t x = 0; x < w; ++x) dst[x] = Lookup(src[x]);
        return;
      default: {
        const int bits = info_.bits;
        const unsigned mask = (1u << bits) - 1;
        const int perByte = 8 / bits;
        for (std::size_t x = 0; x < w; ++x) {
          const int slot = int(x % std::size_t(perByte));
          const unsigned index = (src[x / std::size_t(perByte)] >> (8 - bits * (slot + 1))) & mask;
          dst[x] = Lookup(index);
        }
      }
    }
  }

  std::uint32_t Lookup(unsigned index) const {
    if (index >= info_.paletteUsable) Refuse(kBadIndex);
    return info_.palette[index];
  }

 private:
  std::uint32_t FromFields(std::uint32_t v) const {
    return 0xFF000000u | (red_.Get(v) << 16) | (green_.Get(v) << 8) | blue_.Get(v);
  }

  const DibInfo& info_;
  Channel red_, green_, blue_;
  bool plain32_ = false;
};

// Uncompressed rows starting at pos of src.
TBitmap DecodeRows(Source& src, std::uint64_t pos, const DibInfo& info, const TImageLimits& limits) {
  const std::uint64_t stride = info.Stride();
  const std::uint64_t need = stride * std::uint64_t(info.height - 1) + info.RowBytes();
  if (pos > src.Size() || src.Size() - pos < need) Refuse(kTruncated);
  TBitmap out = MakeTarget(info, limits);
  const RowConverter convert(info);
  std::vector<std::uint8_t> row(stride);
  const int h = out.Height();
  for (int r = 0; r < h; ++r) {
    const std::size_t got = src.ReadAt(pos + std::uint64_t(r) * stride, row.data(), row.size());
    if (got < info.RowBytes()) Refuse(kTruncated);
    convert.Convert(row.data(), out.Row(info.topDown ? r : h - 1 - r));
  }
  return out;
}

// RLE4 / RLE8 data in data; pixels it does not set stay black.
TBitmap DecodeRle(std::string_view data, const DibInfo& info, const TImageLimits& limits) {
  TBitmap out = MakeTarget(info, limits);
  out.Fill(0xFF000000u);
  const RowConverter convert(info);
  const auto* p = reinterpret_cast<const std::uint8_t*>(data.data());
  const std::size_t n = data.size();
  const std::int64_t w = info.width, h = info.height;
  const bool four = info.coding == Coding::Rle4;
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  std::size_t i = 0;
  auto row = [&](std::int64_t count) {
    if (count > w - x || y >= h) Refuse(kBadRle);
    return out.Row(int(h - 1 - y)) + x;
  };
  while (i + 2 <= n) {
    const unsigned a = p[i], b = p[i + 1];
    i += 2;
    if (a > 0) {  // a pixels of colour(s) b
      std::uint32_t* dst = row(a);
      if (four) {
        const std::uint32_t c0 = convert.Lookup(b >> 4), c1 = convert.Lookup(b & 15);
        for (unsigned k = 0; k < a; ++k) dst[k] = (k & 1) ? c1 : c0;
      } else {
        std::fill_n(dst, a, convert.Lookup(b));
      }
      x += a;
    } else if (b == 0) {  // end of line
      x = 0;
      ++y;
    } else if (b == 1) {  // end of bitmap
      break;
    } else if (b == 2) {  // move right and up
      if (i + 2 > n) break;
      x += p[i];
      y += p[i + 1];
      i += 2;
      if (x > w || y > h) Refuse(kBadRle);
    } else {  // b literal pixels, padded to a 16-bit boundary
      const std::size_t bytes = four ? (b + 1) / 2 : b;
      if (i + bytes > n) Refuse(kBadRle);
      std::uint32_t* dst = row(b);
      for (unsigned k = 0; k < b; ++k) {
        const unsigned v = four ? ((p[i + k / 2] >> ((k & 1) ? 0 : 4)) & 15) : p[i + k];
        dst[k] = convert.Lookup(v);
      }
      x += b;
      i += (bytes + 1) & ~std::size_t(1);
    }
  }
  return out;
}

// Decodes the pixel data of info, which starts at pos of src; available is
// the number of bytes there that belong to it.
TBitmap DecodePixels(Source& src, std::uint64_t pos, const DibInfo& info, const TImageLimits& limits) {
  if (info.coding == Coding::Rle4 || info.coding == Coding::Rle8) {
    if (pos > src.Size()) Refuse(kBadOffset);
    std::uint64_t size = src.Size() - pos;
    if (info.imageSize != 0) {
      if (info.imageSize > size) Refuse(kBadImageSize);
      size = info.imageSize;
    }
    CheckPictureSize(info.width, info.height, limits);  // before reading the data
    std::string data(std::size_t(size), '\0');
    src.ReadExact(pos, reinterpret_cast<std::uint8_t*>(data.data()), data.size());
    return DecodeRle(data, info, limits);
  }
  return DecodeRows(src, pos, info, limits);
}

TBitmap DecodeFile(Source& src, const TImageLimits& limits) {
  std::uint8_t fh[14];
  if (src.ReadAt(0, fh, 2) != 2) Refuse(kNotBmp);
  // An OS/2 bitmap array: its first picture follows the 14-byte array header,
  // with offsets counted from the start of the file.
  const std::uint64_t base = (fh[0] == 'B' && fh[1] == 'A') ? 14 : 0;
  if (src.ReadAt(base, fh, 2) != 2 || fh[0] != 'B' || fh[1] != 'M') Refuse(kNotBmp);
  src.ReadExact(base, fh, 14);
  const std::uint32_t fileSize = GetLE32(fh + 2);
  const std::uint32_t offBits = GetLE32(fh + 10);
  if (fileSize > src.Size()) Refuse(kBadFileSize);
  DibInfo info = ParseHeader(src, base + 14);
  const std::uint64_t paletteAt = base + 14 + info.paletteStart;
  if (offBits < paletteAt || offBits >= src.Size()) Refuse(kBadOffset);
  if (info.coding == Coding::Rgb || info.coding == Coding::BitFields) {
    if (info.imageSize > src.Size() - offBits) Refuse(kBadImageSize);
  }
  ReadPalette(src, paletteAt, offBits - paletteAt, info);
  return DecodePixels(src, offBits, info, limits);
}

DibInfo ParseInfoBlock(std::string_view block) {
  MemorySource src(block);
  DibInfo info = ParseHeader(src, 0);
  const std::uint64_t room = info.paletteStart <= block.size() ? block.size() - info.paletteStart : 0;
  ReadPalette(src, info.paletteStart, room, info);
  return info;
}

}  // namespace

TBitmap DecodeBmp(std::string_view file, const TImageLimits& limits) {
  MemorySource src(file);
  return DecodeFile(src, limits);
}

TBitmap ReadBmp(std::istream& in, const TImageLimits& limits) {
  StreamSource src(in);
  return DecodeFile(src, limits);
}

void LoadBmpFile(const std::string& path, TBitmap& target, const TImageLimits& limits) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError("Cannot open file \"" + path + "\".");
  TBitmap loaded;
  try {
    loaded = ReadBmp(in, limits);
  } catch (const FileError& e) {
    throw FileError("\"" + path + "\": " + e.what());
  }
  target.Swap(loaded);
}

TBitmap BitmapFromDib(std::string_view info, std::string_view bits, const TImageLimits& limits) {
  const DibInfo dib = ParseInfoBlock(info);
  MemorySource src(bits);
  return DecodePixels(src, 0, dib, limits);
}

TBitmap BitmapFromPackedDib(std::string_view dib, const TImageLimits& limits) {
  MemorySource src(dib);
  DibInfo info = ParseHeader(src, 0);
  const std::uint64_t tableBytes = info.paletteCount * std::uint64_t(info.paletteEntrySize);
  const std::uint64_t pixelsAt = info.paletteStart + tableBytes;
  if (pixelsAt > dib.size()) Refuse(kBadPalette);
  ReadPalette(src, info.paletteStart, tableBytes, info);
  return DecodePixels(src, pixelsAt, info, limits);
}

std::string BmpFileHeader(std::string_view dib) {
  if (dib.size() < 40) throw FileError(kShortDib);
  const auto* h = reinterpret_cast<const std::uint8_t*>(dib.data());
  const std::uint32_t headerSize = GetLE32(h);
  const std::int64_t width = GetLE32Signed(h + 4);
  const std::int64_t height = GetLE32Signed(h + 8);
  const unsigned bits = GetLE16(h + 14);
  const std::uint32_t compression = GetLE32(h + 16);
  const std::uint32_t used = GetLE32(h + 32);
  if (headerSize < 40 || width < 0 || bits == 0 || bits > 32) throw FileError(kShortDib);
  std::uint64_t entries = 0;
  if (bits <= 8) entries = used != 0 ? used : (std::uint64_t(1) << bits);
  if (compression == 3 && headerSize == 40) entries += 3;  // bit-field masks
  const std::uint64_t row = ((std::uint64_t(bits) * std::uint64_t(width) + 31) / 32) * 4;
  const std::uint64_t rows = std::uint64_t(height < 0 ? -height : height);
  const std::uint64_t offset = kBmpFileHeaderSize + headerSize + 4 * entries;
  const std::uint64_t fileSize = offset + row * rows;
  if (fileSize > 0xFFFFFFFFu || fileSize - kBmpFileHeaderSize > dib.size()) throw FileError(kShortDib);

  std::string header(kBmpFileHeaderSize, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(header.data());
  PutLE16(p, 19778);  // "BM"
  PutLE32(p + 2, std::uint32_t(fileSize));
  PutLE32(p + 10, std::uint32_t(offset));
  return header;
}

std::string EncodeBmp(const TBitmap& bitmap) {
  const std::size_t w = std::size_t(bitmap.Width()), h = std::size_t(bitmap.Height());
  const std::size_t stride = ((w * 24 + 31) / 32) * 4;
  const std::size_t offset = kBmpFileHeaderSize + 40;
  if (stride * h > 0xFFFFFFFFu - offset) throw InvalidOperation("The bitmap is too large for a BMP file.");
  std::string file(offset + stride * h, '\0');
  auto* p = reinterpret_cast<std::uint8_t*>(file.data());
  PutLE16(p, 19778);  // "BM"
  PutLE32(p + 2, std::uint32_t(file.size()));
  PutLE32(p + 10, std::uint32_t(offset));
  std::uint8_t* info = p + kBmpFileHeaderSize;
  PutLE32(info, 40);
  PutLE32(info + 4, std::uint32_t(w));
  PutLE32(info + 8, std::uint32_t(h));
  PutLE16(info + 12, 1);
  PutLE16(info + 14, 24);
  PutLE32(info + 20, std::uint32_t(stride * h));
  PutLE32(info + 24, 2835);  // 72 dots per inch
  PutLE32(info + 28, 2835);
  for (std::size_t y = 0; y < h; ++y) {
    const std::uint32_t* src = bitmap.Row(int(h - 1 - y));
    std::uint8_t* dst = p + offset + y * stride;
    for (std::size_t x = 0; x < w; ++x, dst += 3) {
      dst[0] = std::uint8_t(src[x]);
      dst[1] = std::uint8_t(src[x] >> 8);
      dst[2] = std::uint8_t(src[x] >> 16);
    }
  }
  return file;
}

}  // namespace tracemill
