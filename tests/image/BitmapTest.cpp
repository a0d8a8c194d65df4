#include "image/uBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>

#include "TestImages.h"
#include "common/uError.h"

namespace tracemill {
namespace {

TEST(Bitmap, NewBitmapIsBlackAndSizedAsAsked) {
  EXPECT_TRUE(TBitmap().Empty());
  EXPECT_EQ(TBitmap().Bits(), nullptr);
  EXPECT_EQ(TBitmap(), TBitmap(0, 3));
  const TBitmap b(3, 2);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b, testing::Filled(3, 2, 0xFF000000));
}

TEST(Bitmap, RefusesNegativeAndOversizedDimensionsWithoutAllocating) {
  EXPECT_THROW(TBitmap(-1, 4), InvalidOperation);
  EXPECT_THROW(TBitmap(4, -1), InvalidOperation);
  // 65536 x 16385 x 4 bytes is just over 4 GiB.
  EXPECT_THROW(TBitmap(65536, 16385), InvalidOperation);
  EXPECT_TRUE(TBitmap::SizeFits(65536, 16384));
  EXPECT_FALSE(TBitmap::SizeFits(65536, 16385));
  EXPECT_FALSE(TBitmap::SizeFits(0x7FFFFFFF, 0x7FFFFFFF));
  EXPECT_FALSE(TBitmap::SizeFits(0, 10));
  EXPECT_FALSE(TBitmap::SizeFits(10, 11, 10 * 10 * 4));
  EXPECT_TRUE(TBitmap::SizeFits(10, 10, 10 * 10 * 4));
}

TEST(ImageLimits, DefaultIsAQuarterOfPhysicalMemoryAtMostFourGiB) {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::uint64_t totalKb = 0;
  while (meminfo >> key && key != "MemTotal:") meminfo.ignore(1 << 10, '\n');
  ASSERT_TRUE(meminfo >> totalKb);
  EXPECT_EQ(DefaultImageLimits().maxBytes, std::min(totalKb * 1024 / 4, std::uint64_t(4) << 30));
}

TEST(Bitmap, ColorCodesAreBlueGreenRedWhilePixelsAreArgb) {
  TBitmap b(2, 2);
  b.SetColor(1, 0, 0x00123456);  // blue 0x12, green 0x34, red 0x56
  EXPECT_EQ(b.Pixel(1, 0), 0xFF563412u);
  EXPECT_EQ(b.Color(1, 0), 0x00123456u);

  // Outside the bitmap: no write, and the colour reads as -1.
  const TBitmap before = b;
  for (auto [x, y] : {std::pair{2, 0}, {-1, 0}, {0, 2}, {0, -1}}) {
    b.SetColor(x, y, 0);
    EXPECT_EQ(b.Color(x, y), 0xFFFFFFFFu) << x << "," << y;
  }
  EXPECT_EQ(b, before);
}

TEST(Bitmap, CopiesAreDeepAndMovesLeaveTheSourceEmpty) {
  TBitmap a(2, 1);
  a.SetPixel(0, 0, 0xFF010203);
  TBitmap copy(a), assigned;
  assigned = a;
  for (TBitmap* c : {&copy, &assigned}) {
    EXPECT_EQ(*c, a);
    c->SetPixel(0, 0, 0xFF000000);
    EXPECT_FALSE(*c == a);
  }
  EXPECT_EQ(a.Pixel(0, 0), 0xFF010203u);

  TBitmap other(1, 2);
  other.Swap(a);
  EXPECT_EQ(a.Width(), 1);
  const TBitmap moved(std::move(other));
  EXPECT_EQ(moved.Pixel(0, 0), 0xFF010203u);
  EXPECT_TRUE(other.Empty());  // NOLINT(bugprone-use-after-move)
  EXPECT_FALSE(TBitmap(1, 2) == TBitmap(2, 1));
}

}  // namespace
}  // namespace tracemill
