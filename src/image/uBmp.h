#pragma once
// The built-in Windows bitmap reader (".bmp", ".dib") and the BMP file header
// written in front of a device-independent bitmap.
//
// The reader takes 1, 2, 4 and 8 bits per pixel with a colour table, 16, 24
// and 32 bits, RLE4 and RLE8 compression, bit-field masks, OS/2 1.x and 2.x
// headers, Windows headers of 40, 52, 56, 108 and 124 bytes, top-down rows
// and the first picture of an OS/2 bitmap array. Anything else, and every
// file that is inconsistent or shorter than its headers promise, is refused
// with a FileError that says why; the caller's bitmap is never touched on
// failure. Alpha is ignored.
//
// Byte buffers are std::string_view over raw bytes.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

#include "image/uBitmap.h"

namespace tracemill {

// Decodes a whole BMP file held in memory. Throws FileError.
TBitmap DecodeBmp(std::string_view file, const TImageLimits& limits);

// Decodes a BMP file from a seekable stream positioned at the file's start,
// reading one row at a time. Throws FileError.
TBitmap ReadBmp(std::istream& in, const TImageLimits& limits);

// Reads the BMP file at path into target. On any failure target is left as it
// was and FileError is thrown, its message naming the file.
void LoadBmpFile(const std::string& path, TBitmap& target, const TImageLimits& limits);

// --- Device-independent bitmaps as image plug-ins return them -------------

// Converts a BITMAPINFO (header, bit-field masks and colour table, in info)
// and its pixel rows (in bits; bottom-up unless the height is negative) into
// a bitmap. Neither buffer is read beyond its end. Throws FileError.
TBitmap BitmapFromDib(std::string_view info, std::string_view bits, const TImageLimits& limits);

// The same for a packed DIB: header, colour table and pixels in one block,
// the pixels right after the colour table.
TBitmap BitmapFromPackedDib(std::string_view dib, const TImageLimits& limits);

// --- Writer -----------------------------------------------------------------

// A BMP file is this header followed by a packed DIB.
inline constexpr std::size_t kBmpFileHeaderSize = 14;

// The file header for a packed DIB (a BITMAPINFOHEADER of 40 bytes or more,
// its colour table and its pixels): "BM", the file size and the pixel data
// offset. The colour table has biClrUsed entries, or 2^bits when that is 0,
// for 1, 2, 4 and 8 bits per pixel and none otherwise (three masks for bit
// fields behind a 40-byte header), so an 8-bit DIB with biClrUsed 0 gets its
// pixels at offset 1078 and a 24-bit one at offset 54. The file holds
// file size - 14 bytes of the DIB. Throws FileError when dib is shorter than
// its header says.
std::string BmpFileHeader(std::string_view dib);

// The bitmap as a whole 24-bit bottom-up BMP file. Throws InvalidOperation
// for a bitmap too large for the format's 32-bit file size.
std::string EncodeBmp(const TBitmap& bitmap);

}  // namespace tracemill
