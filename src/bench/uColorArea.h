#pragma once
// What a click can put into the comment: the colour code of the clicked
// picture pixel and the size of its same-coloured area.

#include <cstdint>
#include <string>

#include "image/uBitmap.h"

namespace tracemill {

// The pixel's colour 0x00BBGGRR as exactly 6 upper-case hexadecimal
// characters, blue first ("0000FF" for pure red); "" outside the picture.
std::string ColorCode(const TBitmap& picture, int x, int y);

// The number of pixels of the 4-connected region of exactly the colour of
// (x, y) that contains (x, y); 0 outside the picture.
//
// A scanline fill that reads the picture's rows directly and never changes
// the picture: the pixels already counted are kept as the first and last
// pixels of their runs, row by row, so the memory grows with the region's
// outline, not with the picture or the region's area.
std::int64_t AreaCount(const TBitmap& picture, int x, int y);

}  // namespace tracemill
