#pragma once
// Bench settings with every value away from its default, so a value that gets
// lost on the way through a text or a dialog shows.

#include "bench/uBenchSettings.h"

namespace tracemill::testing {

inline TBenchSettings Unusual() {
  TBenchSettings s;
  s.Font = {"Noto Serif", 128, 14, 0x102030, TFontPitch::Default, true, true, true, true};
  s.Standard.Color = 0x00AA00;
  s.Standard.SetPattern(9);
  s.StandardVisible = false;
  s.Measured.Color = 0x0000BB;
  s.Measured.SetShape(TMarkerShape::FromText("o   o"));
  s.MeasuredVisible = false;
  s.LineColor = 0xC0FFEE;
  s.LineWidth = 3;
  s.Magnitude = 8;
  s.GridColor = 0x123456;
  s.CommentArea = s.CommentColor = true;
  s.StatusXo = s.StatusYo = s.StatusXv = s.StatusYv = s.StatusColor = false;
  s.RightMagnifier = s.RightLine = s.RightDelete = false;
  return s;
}

}  // namespace tracemill::testing
