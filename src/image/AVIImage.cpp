#include "image/AVIImage.h"

#include <climits>
#include <cstring>
#include <cstdio>
#include <ostream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "image/uBmp.h"
#include "image/uLittleEndian.h"

namespace tracemill {

namespace {

const std::uint32_t kInfoHeaderSize = 40;
const std::uint64_t kMaxBmpFileSize = 0xFFFFFFFFu;  // the file header's size field

// FFmpeg logs decoder complaints to stderr; the program reports failures
// itself, so only fatal messages get through.
void QuietFfmpeg() {
  static const bool once = [] {
    av_log_set_level(AV_LOG_FATAL);
    return true;
  }();
  (void)once;
}

// Opens the file with the AVI demuxer only and the file protocol only, so a
// file never makes FFmpeg probe other formats or open other files or URLs.
AVFormatContext* OpenDemuxer(const std::string& path) {
  QuietFfmpeg();
  const AVInputFormat* avi = av_find_input_format("avi");
  if (!avi) return nullptr;
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  AVFormatContext* fmt = nullptr;
  const std::string url = "file:" + path;
  if (avformat_open_input(&fmt, url.c_str(), avi, &options) < 0) fmt = nullptr;
  av_dict_free(&options);
  return fmt;
}

int FirstVideoStream(const AVFormatContext* fmt) {
  for (unsigned i = 0; i < fmt->nb_streams; ++i) {
    const AVStream* s = fmt->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

// How many frames a stream has, from a pass over its packets.
struct FrameCount {
  int packets = 0;
  bool timed = true;        // every packet has a decoding time stamp, rising
  std::int64_t firstDts = 0;
  std::int64_t lastDts = 0;
};

// A dropped frame is an empty chunk in the file: the demuxer gives no packet
// for it, only a gap in the packets' time stamps, and the frame before it
// stands for it. Time stamps are trusted for that while they span at most
// this many frames per packet (so a broken header cannot make a short file
// claim millions of frames).
const std::int64_t kMaxSlotsPerPacket = 4;

// The demuxer and decoder of the first video stream, decoding forward; a
// step back reopens the file.
struct TAVIImage::Source {
  std::string path;
  TImageLimits limits;
  AVFormatContext* fmt = nullptr;
  AVCodecContext* codec = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* last = nullptr;     // the current picture, frame lastIndex
  AVFrame* pending = nullptr;  // the next decoded picture, frame pendingIndex
  SwsContext* sws = nullptr;
  int stream = -1;
  int length = 0;
  bool timed = false;  // frame numbers come from time stamps
  std::int64_t firstDts = 0;
  bool immediate = false;  // the decoder gives each frame for its own packet
  int lastIndex = -1;
  int pendingIndex = -1;
  bool hasPending = false;
  int decodedIndex = -1;  // frame number of the frame decoded last
  long lastSerial = 0;    // changes whenever `last` does
  long convertedSerial = -1;
  bool inputDone = false;

  ~Source() {
    Close();
    sws_freeContext(sws);
  }

  void Close() {
    avcodec_free_context(&codec);
    avformat_close_input(&fmt);
    av_packet_free(&packet);
    av_frame_free(&last);
    av_frame_free(&pending);
    lastIndex = pendingIndex = decodedIndex = -1;
    hasPending = false;
    ++lastSerial;
    inputDone = false;
  }

  bool Open() {
    Close();
    fmt = OpenDemuxer(path);
    if (!fmt) return false;
    stream = FirstVideoStream(fmt);
    if (stream < 0) return false;
    const AVCodecParameters* par = fmt->streams[stream]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    if (!decoder) return false;
    immediate = !(decoder->capabilities & AV_CODEC_CAP_DELAY);
    codec = avcodec_alloc_context3(decoder);
    packet = av_packet_alloc();
    last = av_frame_alloc();
    pending = av_frame_alloc();
    if (!codec || !packet || !last || !pending) return false;
    if (avcodec_parameters_to_context(codec, par) < 0) return false;
    // The frame size the file declares is checked before the decoder sets up
    // anything for it; the decoder refuses larger frames the data may hold.
    if (par->width > 0 && par->height > 0) CheckPictureSize(par->width, par->height, limits);
    codec->max_pixels = std::int64_t(limits.maxBytes / 4);
    codec->thread_count = 1;
    return avcodec_open2(codec, decoder, nullptr) >= 0;
  }

  // Counts the stream's packets on a demuxer of its own and fixes the
  // number of frames: one per time-stamp slot for a decoder that gives every
  // frame for its own packet, otherwise one per packet.
  void CountFrames() {
    FrameCount count;
    if (AVFormatContext* counter = OpenDemuxer(path)) {
      AVPacket* p = av_packet_alloc();
      while (p && count.packets < INT_MAX && av_read_frame(counter, p) >= 0) {
        if (p->stream_index == stream) {
          if (p->dts == AV_NOPTS_VALUE || (count.packets > 0 && p->dts <= count.lastDts)) count.timed = false;
          if (count.packets == 0) count.firstDts = p->dts;
          count.lastDts = p->dts;
          ++count.packets;
        }
        av_packet_unref(p);
      }
      av_packet_free(&p);
      avformat_close_input(&counter);
    }
    length = count.packets;
    timed = false;
    if (immediate && count.timed && count.packets > 0) {
      const std::int64_t slots = count.lastDts - count.firstDts + 1;
      if (slots <= kMaxSlotsPerPacket * count.packets && slots <= INT_MAX) {
        timed = true;
        firstDts = count.firstDts;
        length = static_cast<int>(slots);
      }
    }
  }

  // Decodes the next frame into `pending`; false at the end of the stream.
  bool DecodeNext() {
    if (!fmt || !codec) return false;  // a reopen failed: the file is gone
    for (;;) {
      int r = avcodec_receive_frame(codec, pending);
      if (r == 0) {
        int index = decodedIndex + 1;
        if (timed && pending->pkt_dts != AV_NOPTS_VALUE && pending->pkt_dts - firstDts > index &&
            pending->pkt_dts - firstDts < INT_MAX)
          index = static_cast<int>(pending->pkt_dts - firstDts);
        decodedIndex = pendingIndex = index;
        hasPending = true;
        return true;
      }
      if (r == AVERROR_EOF || inputDone) return false;
      // EAGAIN (or a broken frame): feed the next packet of the stream.
      for (;;) {
        if (av_read_frame(fmt, packet) < 0) {
          avcodec_send_packet(codec, nullptr);
          inputDone = true;
          break;
        }
        bool ours = packet->stream_index == stream;
        if (ours) avcodec_send_packet(codec, packet);  // a broken packet is skipped
        av_packet_unref(packet);
        if (ours) break;
      }
    }
  }

  // Makes `last` the picture of frame `index`: the last decoded frame whose
  // number is not above it (a dropped or undecodable frame shows the one
  // before; past the end of the stream the final picture stays). False when
  // no frame could be decoded at all.
  bool Seek(int index) {
    if (index < lastIndex && !Open()) return false;
    while (lastIndex < index) {
      if (!hasPending && !DecodeNext()) break;
      if (pendingIndex > index && lastIndex >= 0) break;
      std::swap(last, pending);
      av_frame_unref(pending);
      lastIndex = pendingIndex;
      hasPending = false;
      ++lastSerial;
    }
    return lastIndex >= 0;
  }

  // The BMP file image of `last`: file header, then the packed DIB.
  std::vector<std::uint8_t> ConvertLast() {
    const int w = last->width, h = last->height;
    if (w <= 0 || h <= 0) throw FileError("The video frame has no size.");
    CheckPictureSize(w, h, limits);
    const bool palette = last->format == AV_PIX_FMT_PAL8;
    const std::uint32_t bitCount = palette ? 8 : 24;
    const std::uint32_t colours = palette ? 256 : 0;
    const std::uint64_t rowBytes = (std::uint64_t(bitCount) * std::uint64_t(w) + 31) / 32 * 4;
    const std::uint64_t dataSize = rowBytes * std::uint64_t(h);
    const std::uint64_t headerSize = kInfoHeaderSize + 4 * colours;
    if (kBmpFileHeaderSize + headerSize + dataSize > kMaxBmpFileSize)
      throw FileError("The video frame is too large for a BMP file.");

    std::vector<std::uint8_t> file(static_cast<std::size_t>(kBmpFileHeaderSize + headerSize + dataSize));
    std::uint8_t* hdr = file.data() + kBmpFileHeaderSize;
    PutLE32(hdr, kInfoHeaderSize);
    PutLE32(hdr + 4, static_cast<std::uint32_t>(w));
    PutLE32(hdr + 8, static_cast<std::uint32_t>(h));
    PutLE16(hdr + 12, 1);
    PutLE16(hdr + 14, bitCount);
    PutLE32(hdr + 20, static_cast<std::uint32_t>(dataSize));
    std::uint8_t* bits = hdr + headerSize;
    const std::size_t stride = static_cast<std::size_t>(rowBytes);
    if (palette)
      CopyPalettised(hdr + kInfoHeaderSize, bits, stride);
    else
      ConvertToBgr(bits, stride);
    const std::string fileHeader =
        BmpFileHeader(std::string_view(reinterpret_cast<const char*>(hdr), file.size() - kBmpFileHeaderSize));
    std::memcpy(file.data(), fileHeader.data(), kBmpFileHeaderSize);
    return file;
  }

  // The 256-entry colour table and the bottom-up rows of a palettised `last`.
  void CopyPalettised(std::uint8_t* table, std::uint8_t* bits, std::size_t stride) const {
    const std::uint8_t* pal = last->data[1];
    for (std::uint32_t i = 0; i < 256 && pal; ++i) {
      std::uint32_t argb;
      std::memcpy(&argb, pal + 4 * i, 4);
      PutLE32(table + 4 * i, argb & 0xFFFFFFu);  // blue, green, red, 0
    }
    const int h = last->height;
    for (int y = 0; y < h; ++y)
      std::memcpy(bits + std::size_t(h - 1 - y) * stride, last->data[0] + std::ptrdiff_t(y) * last->linesize[0],
                  static_cast<std::size_t>(last->width));
  }

  // The bottom-up 24-bit rows of `last`.
  void ConvertToBgr(std::uint8_t* bits, std::size_t stride) {
    const int w = last->width, h = last->height;
    sws = sws_getCachedContext(sws, w, h, static_cast<AVPixelFormat>(last->format), w, h, AV_PIX_FMT_BGR24,
                               SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws) throw FileError("The video frame's pixel format cannot be converted.");
    // Bottom-up rows: start at the last row and step backwards.
    std::uint8_t* dst[4] = {bits + std::size_t(h - 1) * stride, nullptr, nullptr, nullptr};
    int dstStride[4] = {-static_cast<int>(stride), 0, 0, 0};
    if (sws_scale(sws, last->data, last->linesize, 0, h, dst, dstStride) != h)
      throw FileError("The video frame could not be converted.");
  }
};

TAVIImage::TAVIImage(const TImageLimits& limits) : limits_(limits) {}
TAVIImage::~TAVIImage() = default;

void TAVIImage::SetFileName(const std::string& fileName) {
  if (fileName == fileName_) return;
  fileName_ = fileName;
  if (!FileExists(fileName)) return;
  position_ = 0;
  source_.reset();
  file_.clear();
  auto source = std::make_unique<Source>();
  source->path = fileName;
  source->limits = limits_;
  try {
    if (!source->Open()) return;
  } catch (const FileError& e) {
    throw FileError("\"" + fileName + "\": " + e.what());
  }
  source->CountFrames();
  source_ = std::move(source);
  Fetch();
}

void TAVIImage::SetPosition(int position) {
  if (position == position_) return;
  position_ = position;
  Fetch();
}

int TAVIImage::Length() const { return source_ ? source_->length : 0; }

void TAVIImage::Fetch() {
  if (!source_ || position_ < 0 || position_ >= source_->length) return;
  if (!source_->Seek(position_)) return;
  if (source_->lastSerial == source_->convertedSerial) return;
  file_ = source_->ConvertLast();
  source_->convertedSerial = source_->lastSerial;
  if (OnChange) OnChange();
}

std::string_view TAVIImage::Dib() const {
  if (file_.size() < kBmpFileHeaderSize + kInfoHeaderSize) return {};
  return std::string_view(reinterpret_cast<const char*>(file_.data()), file_.size()).substr(kBmpFileHeaderSize);
}

int TAVIImage::FrameWidth() const {
  const std::string_view dib = Dib();
  return dib.empty() ? 0 : static_cast<int>(GetLE32(reinterpret_cast<const std::uint8_t*>(dib.data()) + 4));
}

int TAVIImage::FrameHeight() const {
  const std::string_view dib = Dib();
  return dib.empty() ? 0 : static_cast<int>(GetLE32(reinterpret_cast<const std::uint8_t*>(dib.data()) + 8));
}

TBitmap TAVIImage::Picture() const {
  const std::string_view dib = Dib();
  return dib.empty() ? TBitmap() : BitmapFromPackedDib(dib, limits_);
}

void TAVIImage::SaveToStream(std::ostream& out) const {
  if (!source_ || file_.empty()) return;
  out.write(reinterpret_cast<const char*>(file_.data()), static_cast<std::streamsize>(file_.size()));
  if (!out) throw FileError("Cannot write the video frame as a bitmap.");
}

void TAVIImage::SaveToFile(const std::string& fileName) const {
  if (!source_ || file_.empty())
    throw FileError("Cannot write \"" + fileName + "\": no video frame could be decoded.");
  // Frame files can always be made again; no flush to disk for each one.
  WriteFileAtomic(fileName, std::string_view(reinterpret_cast<const char*>(file_.data()), file_.size()),
                  WriteDurability::kReplaceOnly);
}

std::string AviFrameFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "AVI%05lld.bmp", static_cast<long long>(index) + 1);
  return name;
}

std::vector<std::string> SplitAviFile(const std::string& aviFile, const std::string& workFolder,
                                      const TImageLimits& limits,
                                      const std::function<void(const std::string&)>& openFrame) {
  std::vector<std::string> written;
  if (!FileExists(aviFile)) return written;
  TAVIImage avi(limits);
  avi.SetFileName(aviFile);
  const std::string folder = IncludeTrailingSlash(workFolder);
  for (int i = 0; i < avi.Length(); ++i) {
    const std::string name = folder + AviFrameFileName(i);
    avi.SetPosition(i);
    avi.SaveToFile(name);
    written.push_back(name);
    if (openFrame) openFrame(name);
  }
  return written;
}

}  // namespace tracemill
