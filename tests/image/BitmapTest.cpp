#include "image/uBitmap.h"

#include <gtest/gtest.h>

#include "common/uError.h"

namespace tracemill {
namespace {

TEST(Bitmap, NewBitmapIsBlackAndSizedAsAsked) {
  TBitmap empty;
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(empty.Bits(), nullptr);

  TBitmap b(3, 2);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.BytesPerLine(), 12u);
  EXPECT_EQ(b.ByteCount(), 24u);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(b.Pixel(x, y), 0xFF000000u);
  // Rows are contiguous and top-down.
  EXPECT_EQ(b.Row(1), b.Bits() + 3);

  EXPECT_TRUE(TBitmap(0, 5).Empty());
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

TEST(Bitmap, ColorCodesAreBlueGreenRedWhilePixelsAreArgb) {
  TBitmap b(2, 2);
  b.SetColor(1, 0, 0x00123456);  // blue 0x12, green 0x34, red 0x56
  EXPECT_EQ(b.Pixel(1, 0), 0xFF563412u);
  EXPECT_EQ(b.Color(1, 0), 0x00123456u);
  b.SetPixel(0, 1, 0xFFAABBCC);
  EXPECT_EQ(b.Color(0, 1), 0x00CCBBAAu);
  EXPECT_EQ(TBitmap::ColorFromArgb(TBitmap::ArgbFromColor(0x00FF8001)), 0x00FF8001u);

  // Outside the bitmap: no write, and the colour reads as -1.
  b.SetColor(2, 0, 0);
  b.SetColor(-1, 0, 0);
  EXPECT_EQ(b.Color(2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.Color(0, -1), 0xFFFFFFFFu);
  EXPECT_FALSE(b.Contains(0, 2));
}

TEST(Bitmap, CopiesAreDeepAndMovesLeaveTheSourceEmpty) {
  TBitmap a(2, 1);
  a.SetPixel(0, 0, 0xFF010203);
  TBitmap copy(a);
  EXPECT_EQ(copy, a);
  copy.SetPixel(0, 0, 0xFF000000);
  EXPECT_EQ(a.Pixel(0, 0), 0xFF010203u);
  EXPECT_FALSE(copy == a);

  TBitmap assigned;
  assigned = a;
  EXPECT_EQ(assigned, a);
  EXPECT_NE(assigned.Bits(), a.Bits());

  TBitmap moved(std::move(a));
  EXPECT_EQ(moved.Pixel(0, 0), 0xFF010203u);
  EXPECT_TRUE(a.Empty());  // NOLINT(bugprone-use-after-move)

  TBitmap other(1, 1);
  other.Swap(moved);
  EXPECT_EQ(other.Width(), 2);
  EXPECT_EQ(moved.Width(), 1);

  EXPECT_EQ(TBitmap(), TBitmap(0, 3));
  EXPECT_FALSE(TBitmap(1, 2) == TBitmap(2, 1));
}

}  // namespace
}  // namespace tracemill
