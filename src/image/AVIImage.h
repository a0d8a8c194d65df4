#pragma once
// TAVIImage: the frames of an AVI video file, one at a time, as packed
// device-independent bitmaps (40-byte header, colour table, bottom-up rows),
// decoded with FFmpeg; and the split of a video into one BMP file per frame.
//
// Frames are 8 bits per pixel with a 256-entry colour table for palettised
// sources and 24 bits per pixel otherwise. Every codec FFmpeg decodes works;
// the container must be AVI. The current frame is held once, as the BMP file
// image that SaveToFile writes.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/uBitmap.h"

namespace tracemill {

class TAVIImage {
 public:
  // Frames whose bitmap would exceed limits are refused (see SetFileName).
  explicit TAVIImage(const TImageLimits& limits);
  ~TAVIImage();
  TAVIImage(const TAVIImage&) = delete;
  TAVIImage& operator=(const TAVIImage&) = delete;

  const std::string& FileName() const { return fileName_; }
  // A new name of an existing file opens its first video stream and fetches
  // frame 0 (Position becomes 0). A file that is no readable AVI video leaves
  // no stream (Length 0); a name of a missing file is only stored. A video
  // whose frame size exceeds the limits is refused before its decoder is set
  // up: no stream, and a FileError naming the file, the frame size and the
  // limit.
  void SetFileName(const std::string& fileName);

  int Position() const { return position_; }
  // Fetches the frame at the new position; outside 0..Length-1 the current
  // frame stays.
  void SetPosition(int position);

  // Number of frames of the stream; 0 without a stream.
  int Length() const;

  // Size of the current frame; 0 before the first frame.
  int FrameWidth() const;
  int FrameHeight() const;
  // The current frame as a bitmap for painting; empty before the first frame.
  TBitmap Picture() const;

  // Writes the current frame as a BMP file image; nothing without a frame.
  // Throws FileError when the stream fails.
  void SaveToStream(std::ostream& out) const;
  // Writes the current frame to a BMP file (created or replaced). Throws
  // FileError when it cannot be written or when there is no frame.
  void SaveToFile(const std::string& fileName) const;

  // Called after the current frame changed.
  std::function<void()> OnChange;

 private:
  struct Source;
  void Fetch();
  // The packed DIB of the current frame (inside file_); empty without one.
  std::string_view Dib() const;

  TImageLimits limits_;
  std::string fileName_;
  int position_ = 0;
  std::unique_ptr<Source> source_;
  std::vector<std::uint8_t> file_;  // the current frame's BMP file image
};

// The name of the file frame `index` (0-based) is written to: "AVI" + the
// frame number index + 1 in five figures (more from 100000 on) + ".bmp".
std::string AviFrameFileName(int index);

// Writes every frame of the AVI file into workFolder (AVI00001.bmp, ...) and
// calls openFrame with each file's path, in frame order. Nothing happens for a
// file that does not exist or has no readable video; FileError from a frame
// over limits or from writing a frame file ends the split. Returns the paths
// written.
std::vector<std::string> SplitAviFile(const std::string& aviFile, const std::string& workFolder,
                                      const TImageLimits& limits,
                                      const std::function<void(const std::string&)>& openFrame = {});

}  // namespace tracemill
