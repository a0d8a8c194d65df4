// Small image plug-ins for the tests of the plug-in table and loaders. One
// source, built once per FAKE_VARIANT; each variant claims files that start
// with its own magic text and gives a tiny 24-bit picture.

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "image/ImagePluginAbi.h"

#define ALPHA 1
#define BETA 2
#define MACBIN 3
#define FAILING 4
#define LIAR 5
#define NOINFO 6
#define SILENT 7
#define EXPORTER 8
#define ENDLESS 9
#define NULLPIC 10

namespace {

struct Texts {
  const char* api;
  const char* types[6];  // pattern, description pairs; nullptr ends
};

#if FAKE_VARIANT == ALPHA
const Texts kTexts = {"00IN", {" *.PIC ; *.pi ", "Pic Image", "*.bmp", "Alpha Bitmap", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"ALPHA", "SHARED"};
[[maybe_unused]] const std::uint32_t kColour = 0xFF0000;  // red
#elif FAKE_VARIANT == BETA
const Texts kTexts = {"00IN", {"*.pcx;*.pic", "ALPHA BITMAP", "*.jpg", "Beta JPEG", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"BETA", "SHARED"};
[[maybe_unused]] const std::uint32_t kColour = 0x123456;
#elif FAKE_VARIANT == MACBIN
const Texts kTexts = {"00IN", {"*.mac", "Mac Picture", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"MACBIN"};
[[maybe_unused]] const std::uint32_t kColour = 0x00FF00;
#elif FAKE_VARIANT == FAILING
const Texts kTexts = {"00IN", {"*.bad", "Broken", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"FAIL"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == LIAR
const Texts kTexts = {"00IN", {"*.lie", "Liar", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"LIAR"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == NOINFO
[[maybe_unused]] const char* const kMagics[] = {"NOINFO"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == SILENT
const Texts kTexts = {"", {nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"SILENT"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == EXPORTER
const Texts kTexts = {"00XN", {"*.xyz", "Exported", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {""};  // would claim every file
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == ENDLESS
[[maybe_unused]] const char* const kMagics[] = {"ENDLESS"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#elif FAKE_VARIANT == NULLPIC
const Texts kTexts = {"00IN", {"*.nul", "Null", nullptr}};
[[maybe_unused]] const char* const kMagics[] = {"NULLPIC"};
[[maybe_unused]] const std::uint32_t kColour = 0;
#else
#error "FAKE_VARIANT is not set"
#endif

// Offsets GetPicture was called with, for the tests to look at.
std::string offsetsSeen;

[[maybe_unused]] bool StartsWithMagic(const std::string& head) {
  for (const char* m : kMagics)
    if (head.compare(0, std::strlen(m), m) == 0) return true;
  return false;
}

[[maybe_unused]] std::string ReadAt(const char* fileName, long offset) {
  std::string text(16, '\0');
  int fd = ::open(fileName, O_RDONLY);
  if (fd < 0) return {};
  ssize_t n = ::pread(fd, text.data(), text.size(), offset);
  ::close(fd);
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

// A 2 x 2 picture (colours 0xRRGGBB): kColour, white / black, kColour (top row first).
[[maybe_unused]] int MakePicture(void** info, void** bits) {
  auto* h = static_cast<TmBitmapInfoHeader*>(std::calloc(1, sizeof(TmBitmapInfoHeader)));
  auto* p = static_cast<unsigned char*>(std::calloc(1, 16));
  h->biSize = 40;
  h->biWidth = 2;
  h->biHeight = 2;
  h->biPlanes = 1;
  h->biBitCount = 24;
  auto put = [&](int row, int x, std::uint32_t rgb) {  // row 0 is the bottom row
    unsigned char* q = p + row * 8 + x * 3;
    q[0] = static_cast<unsigned char>(rgb);
    q[1] = static_cast<unsigned char>(rgb >> 8);
    q[2] = static_cast<unsigned char>(rgb >> 16);
  };
  put(1, 0, kColour);
  put(1, 1, 0xFFFFFF);
  put(0, 0, 0x000000);
  put(0, 1, kColour);
  *info = h;
  *bits = p;
  return TM_SPI_SUCCESS;
}

}  // namespace

extern "C" {

TM_SPI_EXPORT const char* FakeOffsetsSeen() { return offsetsSeen.c_str(); }

#if FAKE_VARIANT == ENDLESS
// Answers every number, with more than the buffer holds for the version.
TM_SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) {
  const char* text = number == 0 ? "00IN" : "x";
  std::memset(buffer, 0, static_cast<std::size_t>(length));
  std::memcpy(buffer, text, std::strlen(text));
  return number == 0 ? 1000 : 1;
}
#elif FAKE_VARIANT != NOINFO
TM_SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) {
  const char* text = nullptr;
  if (number == 0) text = kTexts.api;
  if (number >= 2 && number < 8) text = kTexts.types[number - 2];
  if (!text) return 0;
  int n = static_cast<int>(std::strlen(text));
  if (n > length) n = length;
  std::memcpy(buffer, text, static_cast<std::size_t>(n));
  return n;
}
#endif

// Reads with read(), so the descriptor's position moves as a careless
// plug-in's would.
TM_SPI_EXPORT int IsSupported(const char* fileName, intptr_t fd) {
  char head[16] = {};
  ssize_t n = ::read(static_cast<int>(fd), head, sizeof head);
  if (n < 0) return 0;
#if FAKE_VARIANT == MACBIN
  return ReadAt(fileName, 128).compare(0, 6, "MACBIN") == 0;
#else
  (void)fileName;
  return StartsWithMagic(std::string(head, static_cast<std::size_t>(n)));
#endif
}

TM_SPI_EXPORT int GetPicture(const char* fileName, intptr_t offset, unsigned int flag, void** info, void** bits,
                             TmSpiProgressCallback, intptr_t) {
  offsetsSeen += (offsetsSeen.empty() ? "" : ",") + std::to_string(offset);
  if (flag != 0) return TM_SPI_NOT_IMPLEMENTED;
#if FAKE_VARIANT == FAILING
  (void)fileName, (void)info, (void)bits;
  return TM_SPI_BROKEN_DATA;
#elif FAKE_VARIANT == LIAR
  (void)fileName;
  MakePicture(info, bits);
  static_cast<TmBitmapInfoHeader*>(*info)->biWidth = 1000;
  static_cast<TmBitmapInfoHeader*>(*info)->biHeight = 1000;
  return TM_SPI_SUCCESS;
#elif FAKE_VARIANT == NULLPIC
  (void)fileName, (void)info, (void)bits;
  return TM_SPI_SUCCESS;
#else
  if (!StartsWithMagic(ReadAt(fileName, static_cast<long>(offset)))) return TM_SPI_UNKNOWN_FORMAT;
  return MakePicture(info, bits);
#endif
}

}  // extern "C"
