#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "common/uError.h"
#include "common/uNumber.h"

using namespace tracemill;

TEST(GeneralFormat, ShortestTextWithFifteenFigures) {
  EXPECT_EQ(FloatToStr(0), "0");
  EXPECT_EQ(FloatToStr(-0.0), "0");
  EXPECT_EQ(FloatToStr(1), "1");
  EXPECT_EQ(FloatToStr(-2.5), "-2.5");
  EXPECT_EQ(FloatToStr(0.1 + 0.2), "0.3");
  EXPECT_EQ(FloatToStr(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(FloatToStr(2.0 / 3), "0.666666666666667");
  EXPECT_EQ(FloatToStr(123456789012345.0), "123456789012345");
  EXPECT_EQ(FloatToStr(100), "100");
  EXPECT_EQ(FloatToStr(1.5, ','), "1,5");
}

TEST(GeneralFormat, ScientificOutsideThePlainRange) {
  EXPECT_EQ(FloatToStr(1e-5), "0.00001");
  EXPECT_EQ(FloatToStr(1.5e-7), "1.5E-7");
  EXPECT_EQ(FloatToStr(9.99e-6), "9.99E-6");
  EXPECT_EQ(FloatToStr(999999999999999.0), "999999999999999");
  EXPECT_EQ(FloatToStr(1e15), "1E15");
  EXPECT_EQ(FloatToStr(9999999999999999.0), "1E16");  // rounds up to 16 figures
  EXPECT_EQ(FloatToStr(-1.25e100), "-1.25E100");
  EXPECT_EQ(FloatToStr(5e-324), "4.94065645841247E-324");
  EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FloatToStr(std::nan("")), "NAN");
}

TEST(PictureFormat, FigurePositionsAndRounding) {
  TFormatSettings fs;
  EXPECT_EQ(FormatFloat("0.00", 3.14159, fs), "3.14");
  EXPECT_EQ(FormatFloat("0.00", 2.675, fs), "2.68");     // half away from zero, as written
  EXPECT_EQ(FormatFloat("0.00", -0.125, fs), "-0.13");
  EXPECT_EQ(FormatFloat("#.##", 0.5, fs), ".5");
  EXPECT_EQ(FormatFloat("0.##", 5, fs), "5");
  EXPECT_EQ(FormatFloat("0.0#", 5, fs), "5.0");
  EXPECT_EQ(FormatFloat("000", 7, fs), "007");
  EXPECT_EQ(FormatFloat("0", 1234.5, fs), "1235");
  EXPECT_EQ(FormatFloat("#", 0, fs), "");
  EXPECT_EQ(FormatFloat("0.00", -0.001, fs), "0.00");  // no minus on a rounded zero
  EXPECT_EQ(FormatFloat("0.0.0", 1.25, fs), "1.25");   // further points ignored
}

TEST(PictureFormat, ThousandsAndLocaleSeparators) {
  TFormatSettings fs;
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, fs), "1,234,567.89");
  EXPECT_EQ(FormatFloat("#,##0", 999, fs), "999");
  EXPECT_EQ(FormatFloat("#,##0", -1000, fs), "-1,000");
  EXPECT_EQ(FormatFloat("0.00,", 1234, fs), "1234.00");  // a comma after the point is ignored
  fs.DecimalSeparator = ',';
  fs.ThousandSeparator = '.';
  EXPECT_EQ(FormatFloat("#,##0.00", 1234.5, fs), "1.234,50");
  EXPECT_EQ(FormatFloat("", 1.5, fs), "1,5");
}

TEST(PictureFormat, Scientific) {
  TFormatSettings fs;
  EXPECT_EQ(FormatFloat("0.00E+00", 12345, fs), "1.23E+04");
  EXPECT_EQ(FormatFloat("0.00E-00", 12345, fs), "1.23E04");
  EXPECT_EQ(FormatFloat("0.00e-0", 0.00012345, fs), "1.23e-4");
  EXPECT_EQ(FormatFloat("0.0E+0", 0, fs), "0.0E+0");
  EXPECT_EQ(FormatFloat("00.0E+0", 12345, fs), "12.3E+3");
  EXPECT_EQ(FormatFloat("0.0E+0000", 9.96, fs), "1.0E+0001");
}

TEST(PictureFormat, SectionsAndQuotedText) {
  TFormatSettings fs;
  const char* pattern = "0.0\" mm\";(0.0);'zero'";
  EXPECT_EQ(FormatFloat(pattern, 2.25, fs), "2.3 mm");
  EXPECT_EQ(FormatFloat(pattern, -2.25, fs), "(2.3)");
  EXPECT_EQ(FormatFloat(pattern, 0, fs), "zero");
  EXPECT_EQ(FormatFloat("0.0;;", -1.5, fs), "-1.5");      // empty negative section
  EXPECT_EQ(FormatFloat("0.0;-0.0;", 0, fs), "0.0");     // empty zero section
  EXPECT_EQ(FormatFloat(";0", 2.5, fs), "2.5");           // empty positive: general
  EXPECT_EQ(FormatFloat("\"a;b\" 0", 3, fs), "a;b 3");    // ";" inside quotes
  EXPECT_EQ(FormatFloat("x=0", 3, fs), "x=3");
}

TEST(NumberTexts, ValidatorsAndConversions) {
  EXPECT_TRUE(IsIntegerText(" 42 "));
  EXPECT_TRUE(IsIntegerText("-2147483648"));
  EXPECT_FALSE(IsIntegerText("2147483648"));
  EXPECT_TRUE(IsIntegerText("$FF"));
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_FALSE(IsIntegerText("1.0"));
  EXPECT_FALSE(IsIntegerText(""));
  EXPECT_FALSE(IsIntegerText("-"));

  EXPECT_TRUE(IsFloatText("1.5e-3"));
  EXPECT_TRUE(IsFloatText(".5"));
  EXPECT_TRUE(IsFloatText("5."));
  EXPECT_TRUE(IsFloatText("+7"));
  EXPECT_FALSE(IsFloatText("1,5"));
  EXPECT_TRUE(IsFloatText("1,5", ','));
  EXPECT_FALSE(IsFloatText("1e"));
  EXPECT_FALSE(IsFloatText("abc"));
  EXPECT_FALSE(IsFloatText("1e999"));
  EXPECT_FALSE(IsFloatText("nan"));
  EXPECT_EQ(StrToFloat("1e-999"), 0.0);
  EXPECT_DOUBLE_EQ(StrToFloat(" -2.5E2 "), -250.0);
  EXPECT_THROW(StrToFloat("x1"), ConvertError);
  try {
    StrToInt("abc");
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(NumberTexts, GeneralFormatReadsBack) {
  for (double v : {1.0 / 7, -123.456e-20, 6.02214076e23, 0.000123, 98765.4321}) {
    const double back = StrToFloat(FloatToStr(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << FloatToStr(v);
  }
}
