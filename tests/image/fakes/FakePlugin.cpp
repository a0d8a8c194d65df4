// Small image plug-ins for the tests of the plug-in table and loaders. One
// source, built once per FAKE_VARIANT. A variant claims a file that starts
// with one of its magic texts, at byte 0 or behind a 128-byte MacBinary
// header, and decodes it as a 2 x 2 24-bit picture: red, white / black, red.
//   ALPHA, BETA  import plug-ins with file types; both claim "SHARED".
//   BROKEN       claims "FAIL" (GetPicture fails), "LIAR" (a header that
//                promises more pixels than allocated) and "NULLPIC" (success
//                without a picture).
//   EXPORTER     an export plug-in ("00XN") that would claim every file.
//   SILENT       gives no API version; NOINFO exports no GetPluginInfo.
//   NOPICTURE    claims "NOPIC" but exports no GetPicture.
//   ENDLESS      answers every info number, the version with a length far
//                beyond the buffer.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>

#include "image/ImagePluginAbi.h"

#define ALPHA 1
#define BETA 2
#define BROKEN 3
#define EXPORTER 4
#define SILENT 5
#define NOINFO 6
#define ENDLESS 7
#define NOPICTURE 8

namespace {

// GetPluginInfo's texts by number; nullptr: no such text.
#if FAKE_VARIANT == ALPHA
const char* const kInfo[] = {"00IN", nullptr, " *.PIC ; *.pi ", "Pic Image", "*.bmp", "Alpha Bitmap"};
const char* const kMagics[] = {"ALPHA", "SHARED"};
#elif FAKE_VARIANT == BETA
const char* const kInfo[] = {"00IN", nullptr, "*.pcx;*.pic", "ALPHA BITMAP", "*.jpg", "Beta JPEG"};
const char* const kMagics[] = {"BETA", "SHARED"};
#elif FAKE_VARIANT == BROKEN
const char* const kInfo[] = {"00IN"};
const char* const kMagics[] = {"FAIL", "LIAR", "NULLPIC"};
#elif FAKE_VARIANT == EXPORTER
const char* const kInfo[] = {"00XN", nullptr, "*.xyz", "Exported"};
const char* const kMagics[] = {""};
#elif FAKE_VARIANT == SILENT
const char* const kInfo[] = {""};
const char* const kMagics[] = {"SILENT"};
#elif FAKE_VARIANT == NOPICTURE
const char* const kInfo[] = {"00IN"};
const char* const kMagics[] = {"NOPIC"};
#elif FAKE_VARIANT == NOINFO || FAKE_VARIANT == ENDLESS
const char* const kMagics[] = {"NEVER ASKED"};
#else
#error "FAKE_VARIANT is not set"
#endif

// Offsets GetPicture was called with, for the tests to look at.
std::string offsetsSeen;

bool StartsWith(const std::string& head, const char* magic) { return head.compare(0, std::strlen(magic), magic) == 0; }

bool StartsWithMagic(const std::string& head) {
  return std::any_of(std::begin(kMagics), std::end(kMagics), [&](const char* m) { return StartsWith(head, m); });
}

std::string ReadAt(const char* fileName, long offset) {
  std::string text(16, '\0');
  const int fd = ::open(fileName, O_RDONLY);
  const ssize_t n = fd < 0 ? 0 : ::pread(fd, text.data(), text.size(), offset);
  if (fd >= 0) ::close(fd);
  text.resize(n > 0 ? std::size_t(n) : 0);
  return text;
}

}  // namespace

extern "C" {

TM_SPI_EXPORT const char* FakeOffsetsSeen() { return offsetsSeen.c_str(); }

#if FAKE_VARIANT == ENDLESS
TM_SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) {
  std::memset(buffer, 0, std::size_t(length));
  std::memcpy(buffer, number == 0 ? "00IN" : "x", number == 0 ? 4 : 1);
  return number == 0 ? 1000 : 1;
}
#elif FAKE_VARIANT != NOINFO
TM_SPI_EXPORT int GetPluginInfo(int number, char* buffer, int length) {
  if (number < 0 || number >= int(std::size(kInfo)) || !kInfo[number]) return 0;
  const int n = std::min(length, int(std::strlen(kInfo[number])));
  std::memcpy(buffer, kInfo[number], std::size_t(n));
  return n;
}
#endif

// Reads the start with read(), so the descriptor's position moves as a
// careless plug-in's would.
TM_SPI_EXPORT int IsSupported(const char* fileName, intptr_t fd) {
  char head[16] = {};
  const ssize_t n = ::read(int(fd), head, sizeof head);
  return n >= 0 && (StartsWithMagic(std::string(head, std::size_t(n))) || StartsWithMagic(ReadAt(fileName, 128)));
}

#if FAKE_VARIANT != NOPICTURE
TM_SPI_EXPORT int GetPicture(const char* fileName, intptr_t offset, unsigned int flag, void** info, void** bits,
                             TmSpiProgressCallback, intptr_t) {
  offsetsSeen.append(offsetsSeen.empty() ? "" : ",").append(std::to_string(offset));
  const std::string head = ReadAt(fileName, long(offset));
  if (flag != 0) return TM_SPI_NOT_IMPLEMENTED;
  if (!StartsWithMagic(head)) return TM_SPI_UNKNOWN_FORMAT;
  if (StartsWith(head, "FAIL")) return TM_SPI_BROKEN_DATA;
  if (StartsWith(head, "NULLPIC")) return TM_SPI_SUCCESS;
  auto* h = static_cast<TmBitmapInfoHeader*>(std::calloc(1, sizeof(TmBitmapInfoHeader)));
  *h = TmBitmapInfoHeader{40, 2, 2, 1, 24, 0, 0, 0, 0, 0, 0};
  if (StartsWith(head, "LIAR")) h->biWidth = h->biHeight = 1000;
  // Rows bottom-up, 8 bytes each, pixels as blue, green, red: black red / red white.
  static const unsigned char rows[16] = {0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0};
  *bits = std::memcpy(std::malloc(sizeof rows), rows, sizeof rows);
  *info = h;
  return TM_SPI_SUCCESS;
}
#endif

}  // extern "C"
