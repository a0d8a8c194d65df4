#pragma once
// Writes small AVI videos with FFmpeg's encoders, for the AVI tests and the
// AVI benchmark.

#include <cstdint>
#include <string>

namespace tracemill::testing {

// The colour (0xRRGGBB) of pixel (x, y) in frame `frame` of a test video.
std::uint32_t TestPixel(int x, int y, int frame);

// Encodes `frames` frames of TestPixel with the named FFmpeg encoder
// ("mjpeg", "rawvideo", ...) in the named pixel format ("yuvj420p",
// "bgr24", ...) into an AVI file. Frame `dropped` (when >= 0) is left out,
// which the AVI muxer records as an empty chunk (a dropped frame). Throws
// std::runtime_error.
void MakeAvi(const std::string& path, const std::string& encoder, const std::string& pixelFormat, int width,
             int height, int frames, int dropped = -1);

}  // namespace tracemill::testing
