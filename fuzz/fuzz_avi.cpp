// AVI frame source: any bytes, taken as an AVI file, give a stream or none;
// the frames it has are fetched (forwards and back) and written as BMP
// images without a crash; every BMP image written is self-consistent and
// the frame's bitmap has the frame's size.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "common/uError.h"
#include "image/AVIImage.h"

namespace {

const int kMaxFrames = 40;  // enough to reach past a few key frames

const std::string& TempPath() {
  static const std::string path = "/tmp/fuzz_avi_" + std::to_string(::getpid()) + ".avi";
  return path;
}

void CheckImage(const tracemill::TAVIImage& avi) {
  std::ostringstream out;
  avi.SaveToStream(out);
  const std::string bmp = out.str();
  if (bmp.empty()) return;
  const std::uint32_t size = std::uint8_t(bmp[2]) | std::uint8_t(bmp[3]) << 8 | std::uint8_t(bmp[4]) << 16 |
                             std::uint32_t(std::uint8_t(bmp[5])) << 24;
  if (bmp.size() != size || bmp.compare(0, 2, "BM") != 0) __builtin_trap();
  const tracemill::TBitmap picture = avi.Picture();
  if (picture.Width() != avi.FrameWidth() || picture.Height() != avi.FrameHeight()) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tracemill;
  {
    std::ofstream file(TempPath(), std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    TAVIImage avi(TImageLimits{std::uint64_t(64) << 20});
    avi.SetFileName(TempPath());
    const int frames = avi.Length() < kMaxFrames ? avi.Length() : kMaxFrames;
    for (int i = 0; i < frames; ++i) {
      avi.SetPosition(i);
      CheckImage(avi);
    }
    if (frames > 1) {
      avi.SetPosition(0);
      CheckImage(avi);
    }
  } catch (const FileError&) {
  }
  ::unlink(TempPath().c_str());
  return 0;
}
