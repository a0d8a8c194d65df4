#include "MakeAvi.h"

#include <stdexcept>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace tracemill::testing {

std::uint32_t TestPixel(int x, int y, int frame) {
  const std::uint32_t r = std::uint32_t(x * 7 + frame * 40) & 0xFF;
  const std::uint32_t g = std::uint32_t(y * 5 + frame * 20) & 0xFF;
  const std::uint32_t b = std::uint32_t((x + y) * 3) & 0xFF;
  return (r << 16) | (g << 8) | b;
}

namespace {

void Check(int result, const char* what) {
  if (result < 0) throw std::runtime_error(std::string("MakeAvi: ") + what + " failed");
}

}  // namespace

void MakeAvi(const std::string& path, const std::string& encoder, const std::string& pixelFormat, int width,
             int height, int frames, int dropped) {
  av_log_set_level(AV_LOG_ERROR);
  const AVCodec* codecInfo = avcodec_find_encoder_by_name(encoder.c_str());
  const AVPixelFormat format = av_get_pix_fmt(pixelFormat.c_str());
  if (!codecInfo || format == AV_PIX_FMT_NONE) throw std::runtime_error("MakeAvi: unknown encoder or format");

  AVFormatContext* out = nullptr;
  Check(avformat_alloc_output_context2(&out, nullptr, "avi", path.c_str()), "creating the output");
  AVStream* stream = avformat_new_stream(out, nullptr);
  AVCodecContext* codec = avcodec_alloc_context3(codecInfo);
  codec->width = width;
  codec->height = height;
  codec->pix_fmt = format;
  codec->time_base = stream->time_base = AVRational{1, 25};
  codec->flags |= AV_CODEC_FLAG_QSCALE;
  codec->global_quality = FF_QP2LAMBDA * 3;
  Check(avcodec_open2(codec, codecInfo, nullptr), "opening the encoder");
  Check(avcodec_parameters_from_context(stream->codecpar, codec), "copying parameters");
  Check(avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE), "opening the file");
  Check(avformat_write_header(out, nullptr), "writing the header");

  AVFrame* frame = av_frame_alloc();
  AVPacket* packet = av_packet_alloc();
  frame->format = format;
  frame->width = width;
  frame->height = height;
  Check(av_frame_get_buffer(frame, 0), "allocating a frame");
  SwsContext* sws = sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, format, SWS_BILINEAR, nullptr,
                                   nullptr, nullptr);
  std::vector<std::uint8_t> rgb(std::size_t(width) * height * 3);
  const std::uint8_t* rgbRows[1] = {rgb.data()};
  const int rgbStride[1] = {width * 3};
  // Sends a frame (null: the end) and writes the packets the encoder has ready.
  auto encode = [&](AVFrame* f) {
    Check(avcodec_send_frame(codec, f), "encoding");
    while (avcodec_receive_packet(codec, packet) == 0) {
      av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
      packet->stream_index = stream->index;
      Check(av_interleaved_write_frame(out, packet), "writing a packet");
    }
  };
  for (int f = 0; f < frames; ++f) {
    if (f == dropped) continue;
    for (int y = 0, i = 0; y < height; ++y)
      for (int x = 0; x < width; ++x, i += 3) {
        const std::uint32_t c = TestPixel(x, y, f);
        rgb[i] = std::uint8_t(c >> 16), rgb[i + 1] = std::uint8_t(c >> 8), rgb[i + 2] = std::uint8_t(c);
      }
    Check(av_frame_make_writable(frame), "preparing a frame");
    sws_scale(sws, rgbRows, rgbStride, 0, height, frame->data, frame->linesize);
    frame->pts = f;
    encode(frame);
  }
  encode(nullptr);
  Check(av_write_trailer(out), "writing the trailer");

  sws_freeContext(sws);
  av_packet_free(&packet);
  av_frame_free(&frame);
  avcodec_free_context(&codec);
  avio_closep(&out->pb);
  avformat_free_context(out);
}

}  // namespace tracemill::testing
