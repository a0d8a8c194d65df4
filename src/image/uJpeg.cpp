#include "image/uJpeg.h"

#include <bit>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "common/uError.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace tracemill {

namespace {

static_assert(std::endian::native == std::endian::little,
              "JCS_EXT_BGRA writes 0xAARRGGBB pixels only on little-endian machines");

constexpr char kInvalid[] = "Invalid JPEG data: ";
constexpr char kPrecision[] = "only 8-bit JPEG files are supported";
constexpr char kTooManyScans[] = "the file has too many scans";
constexpr char kStalled[] = "the decoder stopped before the end of the picture";
constexpr char kSizeChanged[] = "the decoder gave a picture of another size than the header";
constexpr char kOpenFailed[] = "Cannot open file \"";

// A progressive file may have a few dozen scans; thousands of them are an
// attack that would make the decode take hours.
constexpr int kMaxScans = 500;

// Where libjpeg's errors and warnings go: the message is kept and control
// jumps back to the phase function that was running.
struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX + 64];
};

struct Decoder {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  bool created = false;
};

// The callbacks below run inside libjpeg and leave it with longjmp; they hold
// no objects with destructors, and the frames they skip are libjpeg's own.
[[noreturn]] void FailWith(j_common_ptr cinfo, const char* text) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  std::snprintf(err->message, sizeof err->message, "%s", text);
  std::longjmp(err->jump, 1);
}

[[noreturn]] void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  char text[JMSG_LENGTH_MAX];
  (*cinfo->err->format_message)(cinfo, text);
  if (cinfo->err->msg_code == JERR_BAD_PRECISION)
    std::snprintf(err->message, sizeof err->message, "%s (%s)", kPrecision, text);
  else
    std::snprintf(err->message, sizeof err->message, "%s", text);
  std::longjmp(err->jump, 1);
}

// Warnings after which the picture is still whole: bytes between two
// segments that belong to neither (scanners and cameras write such files),
// and a JFIF version this library does not know.
bool Harmless(int warning) { return warning == JWRN_EXTRANEOUS_DATA || warning == JWRN_JFIF_MAJOR; }

// Level -1 is a warning; any other warning (corrupt or truncated data) ends
// the decode. Higher levels are trace messages.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && !Harmless(cinfo->err->msg_code)) OnError(cinfo);
}

void OnProgress(j_common_ptr cinfo) {
  auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (d->input_scan_number > kMaxScans) FailWith(cinfo, kTooManyScans);
}

// Phase functions: each sets its own jump target and returns false when
// libjpeg failed; the message is then in d.err.message. They create no C++
// objects, so the jump skips no destructor.
bool Create(Decoder& d) {
  d.cinfo.err = jpeg_std_error(&d.err.pub);
  d.err.pub.error_exit = OnError;
  d.err.pub.emit_message = OnMessage;
  d.err.message[0] = '\0';
  if (setjmp(d.err.jump)) return false;
  jpeg_create_decompress(&d.cinfo);
  d.created = true;
  d.progress.progress_monitor = OnProgress;
  d.cinfo.progress = &d.progress;
  return true;
}

using AttachSource = void (*)(j_decompress_ptr, const void*);

bool ReadHeader(Decoder& d, AttachSource attach, const void* source) {
  if (setjmp(d.err.jump)) return false;
  attach(&d.cinfo, source);
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

void ConvertCmyk(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, src += 4) {
    unsigned c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    const unsigned r = (c * k + 127) / 255, g = (m * k + 127) / 255, b = (y * k + 127) / 255;
    dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
  }
}

bool Decompress(Decoder& d, std::uint32_t* bits, JDIMENSION width, JDIMENSION height) {
  if (setjmp(d.err.jump)) return false;
  j_decompress_ptr cinfo = &d.cinfo;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width || cinfo->output_height != height) FailWith(j_common_ptr(cinfo), kSizeChanged);
  if (cinfo->out_color_space == JCS_CMYK) {
    // Adobe writes CMYK inverted; so do the files that carry its marker.
    const bool inverted = cinfo->saw_Adobe_marker;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(j_common_ptr(cinfo), JPOOL_IMAGE, width * 4, 1);
    while (cinfo->output_scanline < height) {
      const JDIMENSION y = cinfo->output_scanline;
      if (jpeg_read_scanlines(cinfo, row, 1) != 1) FailWith(j_common_ptr(cinfo), kStalled);
      ConvertCmyk(row[0], bits + std::size_t(y) * width, width, inverted);
    }
  } else {
    JSAMPROW rows[16];
    while (cinfo->output_scanline < height) {
      const JDIMENSION y = cinfo->output_scanline;
      JDIMENSION count = height - y < 16 ? height - y : 16;
      for (JDIMENSION i = 0; i < count; ++i)
        rows[i] = reinterpret_cast<JSAMPROW>(bits + (std::size_t(y) + i) * width);
      if (jpeg_read_scanlines(cinfo, rows, count) == 0) FailWith(j_common_ptr(cinfo), kStalled);
    }
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

class DecoderGuard {
 public:
  explicit DecoderGuard(Decoder& d) : d_(d) {}
  ~DecoderGuard() {
    if (d_.created) jpeg_destroy_decompress(&d_.cinfo);
  }
  DecoderGuard(const DecoderGuard&) = delete;
  DecoderGuard& operator=(const DecoderGuard&) = delete;

 private:
  Decoder& d_;
};

[[noreturn]] void Refuse(const char* reason) { throw FileError(std::string(kInvalid) + reason + "."); }

// Decodes from the source that attach sets on the decoder.
TBitmap Decode(AttachSource attach, const void* source, const TImageLimits& limits) {
  auto d = std::make_unique<Decoder>();
  std::memset(static_cast<void*>(d.get()), 0, sizeof(Decoder));
  DecoderGuard guard(*d);
  if (!Create(*d)) Refuse(d->err.message);
  // libjpeg's own buffers (whole-image coefficients of progressive files)
  // stay within about twice the pixel limit.
  const std::uint64_t memory = limits.maxBytes * 2 + (std::uint64_t(16) << 20);
  d->cinfo.mem->max_memory_to_use = long(memory < std::uint64_t(LONG_MAX) ? memory : std::uint64_t(LONG_MAX));
  if (!ReadHeader(*d, attach, source)) Refuse(d->err.message);
  jpeg_decompress_struct& cinfo = d->cinfo;
  if (cinfo.data_precision != 8) Refuse(kPrecision);
  // Refused here, before libjpeg sets up its buffers for the picture.
  TBitmap out = AllocatePicture(cinfo.image_width, cinfo.image_height, limits);
  cinfo.out_color_space =
      (cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK) ? JCS_CMYK : JCS_EXT_BGRA;
  cinfo.scale_num = 1;
  cinfo.scale_denom = 1;
  if (!Decompress(*d, out.Bits(), cinfo.image_width, cinfo.image_height)) Refuse(d->err.message);
  return out;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TBitmap DecodeJpeg(std::string_view file, const TImageLimits& limits) {
  if (file.empty()) Refuse("the file is empty");
  const AttachSource attach = [](j_decompress_ptr cinfo, const void* source) {
    const auto* data = static_cast<const std::string_view*>(source);
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(data->data()), static_cast<unsigned long>(data->size()));
  };
  return Decode(attach, &file, limits);
}

void LoadJpegFile(const std::string& path, TBitmap& target, const TImageLimits& limits) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw FileError(kOpenFailed + path + "\".");
  TBitmap loaded;
  try {
    const AttachSource attach = [](j_decompress_ptr cinfo, const void* source) {
      jpeg_stdio_src(cinfo, static_cast<std::FILE*>(const_cast<void*>(source)));
    };
    loaded = Decode(attach, file.get(), limits);
  } catch (const FileError& e) {
    throw FileError("\"" + path + "\": " + e.what());
  }
  target.Swap(loaded);
}

}  // namespace tracemill
