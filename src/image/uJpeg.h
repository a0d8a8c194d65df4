#pragma once
// The built-in JPEG reader (".jpeg", ".jpg"), decoding through libjpeg at full
// size: baseline, progressive and arithmetic-coded files; colour, grayscale,
// CMYK and YCCK. 12-bit and lossless files are refused as unsupported.
//
// Every libjpeg error and every libjpeg warning of a truncated or corrupt
// file ends the decode with a FileError carrying libjpeg's message; a half
// decoded picture is never returned, and the caller's bitmap is never touched
// on failure. Warnings that leave the picture whole (stray bytes between
// segments, an unknown JFIF version) are ignored.

#include <string>
#include <string_view>

#include "image/uBitmap.h"

namespace tracemill {

// Decodes a whole JPEG file held in memory. Throws FileError.
TBitmap DecodeJpeg(std::string_view file, const TImageLimits& limits);

// Reads the JPEG file at path into target, streaming it from disk. On any
// failure target is left as it was and FileError is thrown, its message
// naming the file.
void LoadJpegFile(const std::string& path, TBitmap& target, const TImageLimits& limits);

}  // namespace tracemill
