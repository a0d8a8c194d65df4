#include "app/uReportProgram.h"

namespace tracemill {

const char* const kDefaultReportProgram =
    "for i = 0 to DataCount-1\r\n"
    "  s = Title(i) + \":\"\r\n"
    "  for j = 0 to PointCount(i)-1\r\n"
    "    if j > 0\r\n"
    "      s = s + \"-\"\r\n"
    "    endif\r\n"
    "    s = s + \"(\" + FloatToStr(X(i,j)) + \", \" + FloatToStr(Y(i,j)) + \")\"\r\n"
    "  next\r\n"
    "  s = s + \":\" + Comment(i)\r\n"
    "  Print(s)\r\n"
    "next\r\n";

}  // namespace tracemill
