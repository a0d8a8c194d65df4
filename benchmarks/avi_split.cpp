// Splitting a 640 x 480 MJPEG AVI into BMP frame files (goal: at least 150
// frames per second, BMP writing included), against FFmpeg decoding and
// converting the same frames without writing anything, in the same run.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "MakeAvi.h"
#include "image/AVIImage.h"

namespace fs = std::filesystem;

namespace {

const int kFrames = 150;

// The test video and a work folder, made once per run.
struct Fixture {
  fs::path folder;
  std::string video;
  std::string work;
  Fixture() {
    folder = fs::temp_directory_path() / ("tm-bench-avi-" + std::to_string(::getpid()));
    fs::create_directories(folder / "work");
    video = (folder / "mjpeg640.avi").string();
    work = (folder / "work").string();
    tracemill::testing::MakeAvi(video, "mjpeg", "yuvj420p", 640, 480, kFrames);
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(folder, ec);
  }
};

Fixture& Video() {
  static Fixture fixture;
  return fixture;
}

void BM_SplitMjpeg640x480(benchmark::State& state) {
  Fixture& f = Video();
  for (auto _ : state) {
    auto files = tracemill::SplitAviFile(f.video, f.work, tracemill::DefaultImageLimits());
    if (files.size() != kFrames) state.SkipWithError("wrong frame count");
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_SplitMjpeg640x480)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: demux, decode and convert every frame to BGR24 with FFmpeg
// directly, writing nothing.
void BM_FfmpegDecodeOnly(benchmark::State& state) {
  Fixture& f = Video();
  for (auto _ : state) {
    AVFormatContext* fmt = nullptr;
    avformat_open_input(&fmt, f.video.c_str(), nullptr, nullptr);
    const AVCodecParameters* par = fmt->streams[0]->codecpar;
    const AVCodec* decoder = avcodec_find_decoder(par->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, par);
    codec->thread_count = 1;
    avcodec_open2(codec, decoder, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    SwsContext* sws = nullptr;
    std::vector<uint8_t> bgr(640 * 480 * 3);
    int frames = 0;
    auto drain = [&] {
      while (avcodec_receive_frame(codec, frame) == 0) {
        sws = sws_getCachedContext(sws, frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                   frame->height, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        uint8_t* dst[4] = {bgr.data(), nullptr, nullptr, nullptr};
        int stride[4] = {640 * 3, 0, 0, 0};
        sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, stride);
        ++frames;
      }
    };
    while (av_read_frame(fmt, packet) >= 0) {
      avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
      drain();
    }
    avcodec_send_packet(codec, nullptr);
    drain();
    benchmark::DoNotOptimize(bgr.data());
    if (frames != kFrames) state.SkipWithError("wrong frame count");
    sws_freeContext(sws);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&fmt);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_FfmpegDecodeOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
