#pragma once
// Shared helpers of the image tests: the corpus folder, temporary folders,
// pictures read with Qt's readers and the comparison of pictures.

#include <gtest/gtest.h>

#include <QtGui/QImage>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/uError.h"
#include "image/uBitmap.h"
#include "support/TempFolder.h"

namespace tracemill::testing {

// The shared corpus, with a trailing "/". CorpusTest.cpp fails every test of
// the suite when it is missing.
inline const std::string kCorpus = std::string(TRACEMILL_CORPUS_DIR) + "/";

// Limits for pictures loaded by the tests: far above any test picture, far
// below what a machine holds.
inline const TImageLimits kTestLimits{std::uint64_t(256) << 20};

inline std::string Hex(std::uint32_t v) {
  char text[12];
  std::snprintf(text, sizeof text, "%08X", v);
  return text;
}

inline TBitmap FromQImage(const QImage& image) {
  const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  TBitmap b(rgb.width(), rgb.height());
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x) b.SetPixel(x, y, rgb.pixel(x, y) | 0xFF000000u);
  return b;
}

// A picture file (PNG, ...) read with Qt; empty when it cannot be read.
inline TBitmap ReadPicture(const std::string& path) { return FromQImage(QImage(QString::fromStdString(path))); }

inline TBitmap Filled(int width, int height, std::uint32_t argb) {
  TBitmap b(width, height);
  b.Fill(argb);
  return b;
}

// Passes when got has want's size and alpha, and its colour channels differ
// from want's by at most maxDiff, and by at most meanDiff on average.
inline ::testing::AssertionResult Near(const TBitmap& got, const TBitmap& want, int maxDiff = 0,
                                       double meanDiff = 0) {
  if (got.Width() != want.Width() || got.Height() != want.Height() || want.Empty())
    return ::testing::AssertionFailure() << "size " << got.Width() << "x" << got.Height() << ", expected "
                                         << want.Width() << "x" << want.Height();
  double sum = 0;
  for (int y = 0; y < want.Height(); ++y)
    for (int x = 0; x < want.Width(); ++x) {
      const std::uint32_t g = got.Pixel(x, y), w = want.Pixel(x, y);
      int largest = (g >> 24) == (w >> 24) ? 0 : 256;
      for (int shift : {0, 8, 16}) {
        const int d = std::abs(int((g >> shift) & 0xFF) - int((w >> shift) & 0xFF));
        largest = std::max(largest, d);
        sum += d;
      }
      if (largest > maxDiff)
        return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << Hex(g) << ", expected "
                                             << Hex(w);
    }
  if (sum / (3.0 * want.Width() * want.Height()) > meanDiff)
    return ::testing::AssertionFailure() << "mean channel difference " << sum / (3.0 * want.Width() * want.Height());
  return ::testing::AssertionSuccess();
}

// Passes when call throws a FileError whose message holds every one of parts.
template <typename Call>
::testing::AssertionResult Refused(Call&& call, const std::vector<std::string_view>& parts = {}) {
  try {
    call();
  } catch (const FileError& e) {
    for (std::string_view part : parts)
      if (std::string_view(e.what()).find(part) == std::string_view::npos)
        return ::testing::AssertionFailure() << "message \"" << e.what() << "\" lacks \"" << part << "\"";
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "accepted";
}

}  // namespace tracemill::testing
