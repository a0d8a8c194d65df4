#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>

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

TEST(NumberTexts, IntegersWithin32Bits) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {" 42 ", 42},
      {"+7", 7},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"4294967295", std::nullopt},
      {"$FF", 255},
      {"0x10", 16},
      {"-$10", -16},
      // Hexadecimal texts name 32-bit patterns, and no more than 32 bits.
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$1FFFFFFFF", std::nullopt},
      {"$FFFFFFFFFFFFFFFF", std::nullopt},
      {"-$80000001", std::nullopt},
      {"1.0", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
      {"--5", std::nullopt},
      {"+-5", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TryStrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(IsIntegerText(c.text), c.value.has_value()) << c.text;
  }
  try {
    StrToInt("abc");
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
}

TEST(NumberTexts, FloatsAreTheNearestDoubleOrAnError) {
  const std::string zeros400(400, '0');
  const struct {
    std::string text;
    char separator;
    std::optional<double> value;
  } cases[] = {
      {"1.5e-3", '.', 1.5e-3},
      {".5", '.', 0.5},
      {"5.", '.', 5.0},
      {"+7", '.', 7.0},
      {" -2.5E2 ", '.', -250.0},
      {"1,5", '.', std::nullopt},
      {"1,5", ',', 1.5},
      {"1e", '.', std::nullopt},
      {".", '.', std::nullopt},
      {"abc", '.', std::nullopt},
      {"nan", '.', std::nullopt},
      {"inf", '.', std::nullopt},
      // Long texts: every figure counts towards the nearest double.
      {"1" + zeros400 + "e-100", '.', 1e300},
      {"0." + std::string(320, '0') + "1", '.', 1e-321},
      {"4.9406564584124654e-324", '.', std::numeric_limits<double>::denorm_min()},
      // Below the smallest denormal the nearest double is zero.
      {"0." + std::string(330, '0') + "1", '.', 0.0},
      {"1e-999", '.', 0.0},
      {"-1e-400", '.', -0.0},
      {"1e-99999999999999999999", '.', 0.0},
      // Beyond the largest double there is none.
      {"1" + zeros400 + "e-10", '.', std::nullopt},
      {"1e400", '.', std::nullopt},
      {"-1e999", '.', std::nullopt},
      {"0.001e99999999999999999999", '.', std::nullopt},
  };
  for (const auto& c : cases) {
    const std::string shown = c.text.substr(0, 40);
    EXPECT_EQ(TryStrToFloat(c.text, c.separator), c.value) << shown;
    EXPECT_EQ(IsFloatText(c.text, c.separator), c.value.has_value()) << shown;
  }
  EXPECT_TRUE(std::signbit(*TryStrToFloat("-1e-400")));
  EXPECT_THROW(StrToFloat("1e400"), ConvertError);
}

TEST(NumberTexts, GeneralFormatReadsBack) {
  for (double v : {1.0 / 7, -123.456e-20, 6.02214076e23, 0.000123, 98765.4321}) {
    const double back = StrToFloat(FloatToStr(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << FloatToStr(v);
  }
}
