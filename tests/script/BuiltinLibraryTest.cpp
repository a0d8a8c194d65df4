// The built-in library through the interface the interpreter's dispatcher
// uses: calling patterns, argument checks, failures, and the families whose
// results are easiest to check directly.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "BuiltinTestSupport.h"
#include "common/uDateTime.h"
#include "common/uError.h"
#include "script/uFunction.h"
#include "settings/uEnvironment.h"

using namespace tracemill;
using namespace tracemill::testing;

TEST(BuiltinDispatch, NamesAreTrimmedAndMatchedWithoutCase) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "Sqrt", Args({I(9)})), "[3]");
  EXPECT_EQ(Eval(c, " sqrt ", Args({I(9)})), "[3]");
  const TOutcome unknown = CallBuiltin(c, "NOSUCHTHING", Args({I(1)}));
  EXPECT_FALSE(unknown.Handled);
  EXPECT_FALSE(unknown.Success);
  EXPECT_FALSE(CallBuiltin(c, "", TValue()).Handled);
}

TEST(BuiltinDispatch, ElementWiseFunctionsGiveOneResultPerArgument) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "ABS", Args({I(-2), I(3), I(-4)})), "[2, 3, 4]");
  EXPECT_EQ(Eval(c, "ABS", Args({I(-2)})), "[2]");
  // A bare name applies the function to Empty once.
  EXPECT_EQ(Eval(c, "ABS", TValue()), "[0]");
  EXPECT_EQ(Eval(c, "TRUE", TValue()), "[True]");
  EXPECT_EQ(Eval(c, "FALSE", Args({I(1), I(2)})), "[False, False]");
  const TOutcome now = CallBuiltin(c, "NOW", TValue());
  ASSERT_TRUE(now.Success);
  ASSERT_EQ(now.Result.Count(), 1u);
  EXPECT_TRUE(now.Result[0].IsDate());
}

TEST(BuiltinDispatch, PositionalFunctionsNeedTheirArguments) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "LEFT", Args({S("abc"), I(2)})), "[ab]");
  const TOutcome tooFew = CallBuiltin(c, "LEFT", Args({S("abc")}));
  EXPECT_TRUE(tooFew.Handled);
  EXPECT_FALSE(tooFew.Success);
  EXPECT_FALSE(CallBuiltin(c, "ENCODEDATE", Args({I(2020), I(1)})).Success);
  EXPECT_FALSE(CallBuiltin(c, "MAX", TValue()).Success);
  EXPECT_FALSE(CallBuiltin(c, "MESSAGEBOX", Args({S("a"), S("b")})).Success);
  // Functions whose arguments are all optional work bare.
  EXPECT_EQ(Eval(c, "DRIVES", TValue()), "[0, []]");
  EXPECT_EQ(Eval(c, "RANDOMIZE", Args({I(7)})), "[]");
  // A single result is wrapped; a list result is returned as it is.
  EXPECT_EQ(Eval(c, "DECODEDATE", Args({TValue::Date(EncodeDate(2024, 3, 5))})), "[2024, 3, 5]");
}

TEST(BuiltinFailures, InvalidFloatingPointOperationsEndTheRun) {
  TTestContext c;
  for (const auto& [name, args] : std::initializer_list<std::pair<const char*, TValue>>{
           {"SQRT", Args({I(-1)})},          {"LN", Args({I(-1)})},
           {"LN", Args({I(0)})},             {"LOG", Args({I(0)})},
           {"LOG2", Args({D(-0.5)})},        {"ARCSIN", Args({I(2)})},
           {"ARCCOS", Args({I(-3)})},        {"ARCCOSH", Args({D(0.5)})},
           {"ARCTANH", Args({I(1)})},        {"COTAN", Args({I(0)})},
           {"EXP", Args({I(1000)})},         {"LOGN", Args({I(1), I(5)})},
           {"POWER", Args({I(0), I(-1)})},   {"POWER", Args({I(-8), D(1.0 / 3)})},
           {"SQRT", Args({I(4), I(-4)})}}) {
    EXPECT_THROW(CallBuiltin(c, name, args), InvalidFloatOperation) << name;
  }
}

TEST(BuiltinFailures, ArgumentsThatDoNotConvertAreConversionErrors) {
  TTestContext c;
  EXPECT_THROW(CallBuiltin(c, "SQRT", Args({S("abc")})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "STRTOINT", Args({S("12x")})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "STRTOFLOAT", Args({S("")})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "ENCODEDATE", Args({I(2023), I(2), I(29)})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "ENCODETIME", Args({I(24), I(0), I(0)})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "LEFT", Args({S("abc"), D(1e12)})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "SUM", Args({I(1), S("two")})), ConvertError);
  EXPECT_THROW(CallBuiltin(c, "DATEYEAR", Args({D(1e300)})), ConvertError);
}

TEST(BuiltinFailures, AbsurdCountsFailTheCallInsteadOfExhaustingMemory) {
  TTestContext c;
  for (const auto& [name, args] : std::initializer_list<std::pair<const char*, TValue>>{
           {"STRINGREPEAT", Args({S("ab"), I(-1)})},
           {"STRINGREPEAT", Args({S("abc"), I(100000000)})},
           {"STRINGREPEAT", Args({S("x"), I(2147483647)})},
           {"INTTOHEXN", Args({I(1), I(-1)})},
           {"INTTOHEXN", Args({I(1), I(300000000)})},
           {"COPY", Args({S("abc"), I(1), I(-1)})},
           {"MIDB", Args({S("abc"), I(1), I(-5)})}}) {
    const TOutcome outcome = CallBuiltin(c, name, args);
    EXPECT_TRUE(outcome.Handled) << name;
    EXPECT_FALSE(outcome.Success) << name;
  }
  EXPECT_EQ(Eval(c, "STRINGREPEAT", Args({S("ab"), I(3)})), "[ababab]");
  EXPECT_EQ(Eval(c, "STRINGREPEAT", Args({S(""), I(2000000000)})), "[]");
  EXPECT_EQ(Eval(c, "COPY", Args({S("abc"), I(2), I(2147483647)})), "[bc]");
}

TEST(BuiltinMath, RoundingFamily) {
  TTestContext c;
  const auto type = [&](const char* name, TValue arg) {
    return CallBuiltin(c, name, Args({arg})).Result[0].TypeCode();
  };
  EXPECT_EQ(Eval(c, "ROUND", Args({D(2.5), D(-2.5), D(0.49)})), "[3, -2, 0]");
  EXPECT_EQ(Eval(c, "ROUNDBANKERS", Args({D(2.5), D(3.5), I(3), D(-2.5)})), "[2, 4, 3, -2]");
  EXPECT_EQ(Eval(c, "INT", Args({D(-2.7), D(2.7)})), "[-2, 2]");
  EXPECT_EQ(Eval(c, "FLOOR", Args({D(-2.7), D(2.7)})), "[-3, 2]");
  EXPECT_EQ(type("ROUND", D(2.5)), kVarInteger);
  // Beyond 32 bits the whole number stays a Double rather than wrapping.
  EXPECT_EQ(Eval(c, "INT", Args({D(1e10 + 0.5)})), "[10000000000]");
  EXPECT_EQ(type("INT", D(1e10)), kVarDouble);
  EXPECT_EQ(Eval(c, "FRAC", Args({D(-2.75)})), "[-0.75]");
}

TEST(BuiltinMath, FunctionsOfTwoArgumentsAndConversions) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "POWER", Args({I(-2), I(3)})), "[-8]");
  EXPECT_EQ(Eval(c, "POWER", Args({I(2), I(-2)})), "[0.25]");
  EXPECT_EQ(Eval(c, "POWER", Args({I(9), D(0.5)})), "[3]");
  EXPECT_EQ(Eval(c, "LOGN", Args({I(2), I(1024)})), "[10]");
  EXPECT_EQ(Eval(c, "ARCTAN2", Args({I(1), I(1)})), Eval(c, "DEGTORAD", Args({I(45)})));
  EXPECT_EQ(Eval(c, "RADTODEG", Args({D(std::atan(1.0))})), "[45]");
  EXPECT_EQ(Eval(c, "RADTOGRAD", Args({D(M_PI)})), "[200]");
  EXPECT_EQ(Eval(c, "RADTOCYCLE", Args({D(M_PI)})), "[0.5]");
  EXPECT_EQ(Eval(c, "LOG10", Args({I(1000)})), "[3]");
  EXPECT_EQ(Eval(c, "LOG2", Args({I(8)})), "[3]");
  EXPECT_EQ(Eval(c, "SQRT", Args({S("16")})), "[4]");  // strings that read as numbers
}

TEST(BuiltinMath, AggregatesOverAllArguments) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "SUM", Args({I(1), I(2), I(3)})), "[6]");
  EXPECT_EQ(Eval(c, "SUM", Args({I(2147483647), I(1)})), "[2147483648]");
  EXPECT_EQ(Eval(c, "MEAN", Args({I(1), I(2)})), "[1.5]");
  EXPECT_EQ(Eval(c, "MAX", Args({I(3), D(7.5), I(-1)})), "[7.5]");
  EXPECT_EQ(Eval(c, "MIN", Args({I(3), D(7.5), I(-1)})), "[-1]");
  EXPECT_EQ(Eval(c, "MAX", Args({S("pear"), S("apple")})), "[pear]");
  // The first of equal values is kept, with its own type.
  EXPECT_EQ(CallBuiltin(c, "MAX", Args({I(2), D(2.0)})).Result[0].TypeCode(), kVarInteger);
}

TEST(BuiltinMath, RandomNumbersRepeatAfterTheSameSeed) {
  TTestContext c;
  CallBuiltin(c, "RANDOMIZE", Args({I(42)}));
  const std::string first = Eval(c, "RANDOM", Args({I(1000), I(1000), I(1000)}));
  const std::string unit = Eval(c, "RANDOM", TValue());
  CallBuiltin(c, "RANDOMIZE", Args({I(42)}));
  EXPECT_EQ(Eval(c, "RANDOM", Args({I(1000), I(1000), I(1000)})), first);
  EXPECT_EQ(Eval(c, "RANDOM", TValue()), unit);
  for (int i = 0; i < 200; ++i) {
    const TValue r = CallBuiltin(c, "RANDOM", Args({I(3)})).Result[0];
    ASSERT_TRUE(r.IsInteger());
    EXPECT_GE(r.IntegerValue(), 0);
    EXPECT_LT(r.IntegerValue(), 3);
    const double u = CallBuiltin(c, "RANDOM", TValue()).Result[0].ToDouble();
    EXPECT_GE(u, 0.0);
    EXPECT_LT(u, 1.0);
  }
  EXPECT_EQ(Eval(c, "RANDOMGAUSS", Args({I(5), I(0)})), "[5]");
  double sum = 0;
  for (int i = 0; i < 2000; ++i) sum += CallBuiltin(c, "RANDOMGAUSS", Args({I(10), I(2)})).Result[0].ToDouble();
  EXPECT_NEAR(sum / 2000, 10.0, 0.3);
}

TEST(BuiltinStrings, CharactersAndBytesOfUtf8Text) {
  TTestContext c;
  const std::string jp = "日本";  // two characters of three bytes each
  EXPECT_EQ(Eval(c, "LENGTH", Args({S(jp)})), "[2]");
  EXPECT_EQ(Eval(c, "LENGTHB", Args({S(jp)})), "[6]");
  EXPECT_EQ(Eval(c, "LEFT", Args({S(jp), I(1)})), "[日]");
  EXPECT_EQ(Eval(c, "LEFTB", Args({S(jp), I(3)})), "[日]");
  EXPECT_EQ(Eval(c, "RIGHT", Args({S("a日本"), I(2)})), "[日本]");
  EXPECT_EQ(Eval(c, "RIGHTB", Args({S("abcdef"), I(2)})), "[ef]");
  EXPECT_EQ(Eval(c, "POS", Args({S("本"), S("a日本")})), "[3]");
  EXPECT_EQ(Eval(c, "POSB", Args({S("本"), S("a日本")})), "[5]");
  EXPECT_EQ(Eval(c, "CODE", Args({S("日")})), "[26085]");
  EXPECT_EQ(Eval(c, "CODEB", Args({S("日")})), "[230]");
  EXPECT_EQ(Eval(c, "CODE", Args({S("")})), "[0]");
  EXPECT_EQ(Eval(c, "UPPERCASE", Args({S("abcé")})), "[ABCé]");
  EXPECT_EQ(Eval(c, "MID", Args({S("a日本語"), I(3)})), "[本語]");
  EXPECT_EQ(Eval(c, "COPYB", Args({S("abcdef"), I(2), I(3)})), "[bcd]");
  EXPECT_EQ(Eval(c, "LASTDELIMITER", Args({S("/日"), S("a/b日c")})), "[4]");
  EXPECT_EQ(Eval(c, "LEFT", Args({S("abcdef"), D(2.5)})), "[ab]");
  EXPECT_EQ(Eval(c, "LEFT", Args({S("abcdef"), D(3.5)})), "[abcd]");
}

TEST(BuiltinStrings, SearchingFromAStartPosition) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "INSTR", Args({S("abcabc"), S("c")})), "[3]");
  EXPECT_EQ(Eval(c, "INSTR", Args({I(4), S("abcabc"), S("c")})), "[6]");
  EXPECT_EQ(Eval(c, "INSTR", Args({I(1), S("abcabc"), S("c")})), "[3]");
  EXPECT_EQ(Eval(c, "INSTR", Args({I(7), S("abcabc"), S("c")})), "[0]");
  EXPECT_EQ(Eval(c, "INSTR", Args({I(2), S("日本日本"), S("日")})), "[3]");
  EXPECT_EQ(Eval(c, "INSTRB", Args({I(2), S("日本日本"), S("日")})), "[7]");
  EXPECT_EQ(Eval(c, "INSTR", Args({S("abc"), S("")})), "[0]");
}

TEST(BuiltinStrings, NumberAndValueTexts) {
  TTestContext c;
  EXPECT_EQ(Eval(c, "INTTOHEX", Args({I(255), I(-1), I(0)})), "[FF, FFFFFFFF, 0]");
  EXPECT_EQ(Eval(c, "INTTOHEXN", Args({I(255), I(4)})), "[00FF]");
  EXPECT_EQ(Eval(c, "INTTOHEXN", Args({I(4096), I(2)})), "[1000]");
  EXPECT_EQ(Eval(c, "QUOTEDSTR", Args({S("it's")})), "['it''s']");
  EXPECT_EQ(Eval(c, "INTTOSTR", Args({D(2.5)})), "[2]");
  EXPECT_EQ(Eval(c, "FLOATTOSTR", Args({D(1.0 / 3)})), "[0.333333333333333]");
  EXPECT_EQ(Eval(c, "STRTOINT", Args({S(" 42 ")})), "[42]");
  EXPECT_EQ(Eval(c, "CHR", Args({I(65), I(256 + 66)})), "[A, B]");
  EXPECT_EQ(Eval(c, "TRIM", Args({S(" \t a b \r\n")})), "[a b]");
  EXPECT_EQ(Eval(c, "TRIMLEFT", Args({S("  a ")})), "[a ]");
  EXPECT_EQ(Eval(c, "TYPECODEOF", Args({I(1), D(1), S("s"), TValue::Boolean(true)})), "[3, 5, 256, 11]");
  EXPECT_EQ(Eval(c, "TYPECODEOF", TValue()), "[0]");
  EXPECT_EQ(Eval(c, "TYPESTRINGOF", Args({TValue::Date(1), S("s"), TValue::List({I(1)})})),
            "[Date, String, Variant]");
  c.Settings.DecimalSeparator = ',';
  c.Settings.ThousandSeparator = '.';
  EXPECT_EQ(Eval(c, "FLOATTOSTR", Args({D(1.5)})), "[1,5]");
  EXPECT_EQ(CallBuiltin(c, "STRTOFLOAT", Args({S("2,25")})).Result[0].ToDouble(), 2.25);
  EXPECT_THROW(CallBuiltin(c, "STRTOFLOAT", Args({S("2.25")})), ConvertError);
  EXPECT_EQ(Eval(c, "FORMATFLOAT", Args({S("#,##0.00"), D(1234.5)})), "[1.234,50]");
}

TEST(BuiltinDates, PartsWeekdaysAndTexts) {
  TTestContext c;
  c.Settings.ShortDateFormat = "yyyy/mm/dd";
  c.Settings.DateSeparator = '-';
  const TValue sunday = TValue::Date(EncodeDate(2024, 6, 2) + EncodeTime(13, 4, 5, 678));
  EXPECT_EQ(Eval(c, "DATEYEAR", Args({sunday})), "[2024]");
  EXPECT_EQ(Eval(c, "DATEMONTH", Args({sunday})), "[6]");
  EXPECT_EQ(Eval(c, "DATEDAY", Args({sunday})), "[2]");
  EXPECT_EQ(Eval(c, "DECODETIME", Args({sunday})), "[13, 4, 5, 678]");
  EXPECT_EQ(Eval(c, "TIMEMILLISECOND", Args({sunday})), "[678]");
  EXPECT_EQ(Eval(c, "DAYOFWEEK", Args({sunday})), "[1]");
  EXPECT_EQ(Eval(c, "DATETOSTR", Args({sunday})), "[2024-06-02]");
  EXPECT_EQ(Eval(c, "FORMATDATETIME", Args({S("dddd d mmm yy, hh:nn"), sunday})), "[Sunday 2 Jun 24, 13:04]");
  SetJapanese(true);
  EXPECT_EQ(Eval(c, "DAYSTRINGOFWEEK", Args({sunday})), "[日]");
  SetJapanese(false);  // the interface language decides the day names
  EXPECT_EQ(Eval(c, "DAYSTRINGOFWEEK", Args({sunday, TValue::Date(EncodeDate(2024, 6, 8))})), "[Sun, Sat]");
  const TOutcome encoded = CallBuiltin(c, "ENCODETIME", Args({I(6), I(0), I(0)}));
  EXPECT_TRUE(encoded.Result[0].IsDate());
  EXPECT_EQ(encoded.Result[0].ToDouble(), 0.25);
  EXPECT_EQ(CallBuiltin(c, "INCMONTH", Args({TValue::Date(EncodeDate(2024, 1, 31)), I(1)})).Result[0].ToDouble(),
            EncodeDate(2024, 2, 29));
}

namespace {

// Platform answers that record what they were asked.
class TRecordingServices : public TScriptServices {
 public:
  std::string Asked;
  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    Asked = text + "|" + caption + "|" + std::to_string(flags);
    return 7;
  }
  std::string InputBox(const std::string& caption, const std::string& prompt, const std::string&) override {
    Asked = caption + "|" + prompt;
    return "typed";
  }
  std::string SelectDirectory(const std::string& folder, bool style) override {
    Asked = folder + (style ? "|true" : "|false");
    return "/chosen";
  }
  int Shell(const std::string& file, const std::string& parameters, const std::string& folder) override {
    Asked = file + "|" + parameters + "|" + folder;
    return 42;
  }
  std::uint32_t ColorToRGB(std::uint32_t color) override { return color == 0x80000005u ? 0xFFFFFF : color; }
  double Now() override { return EncodeDate(2001, 2, 3) + 0.75; }
  std::vector<std::string> CommandLine() override { return {"tracemill", "a.trm", "/ENGLISH"}; }
};

}  // namespace

TEST(BuiltinPlatform, DialogsShellClockAndCommandLineGoThroughTheServices) {
  TTestContext c;
  TRecordingServices services;
  c.ServicesUsed = &services;
  EXPECT_EQ(Eval(c, "MESSAGEBOX", Args({S("Go on?"), S("Report"), I(4 + 0x30)})), "[7]");
  EXPECT_EQ(services.Asked, "Go on?|Report|52");
  EXPECT_EQ(Eval(c, "INPUTBOX", Args({S("Title"), S("Value"), S("1")})), "[typed]");
  EXPECT_EQ(services.Asked, "Title|Value");
  EXPECT_EQ(Eval(c, "SELECTDIRECTORY", Args({S("/tmp"), TValue::Boolean(true)})), "[/chosen]");
  EXPECT_EQ(services.Asked, "/tmp|true");
  EXPECT_EQ(Eval(c, "SHELL", Args({S("prog"), S("-x y"), S("/work")})), "[42]");
  EXPECT_EQ(services.Asked, "prog|-x y|/work");
  EXPECT_EQ(Eval(c, "COLORTORGB", Args({TValue::Integer(static_cast<std::int32_t>(0x80000005u)), I(255)})),
            "[16777215, 255]");
  EXPECT_EQ(CallBuiltin(c, "NOW", TValue()).Result[0].ToDouble(), EncodeDate(2001, 2, 3) + 0.75);
  EXPECT_EQ(CallBuiltin(c, "TODAY", TValue()).Result[0].ToDouble(), EncodeDate(2001, 2, 3));
  EXPECT_EQ(CallBuiltin(c, "DATE", TValue()).Result[0].ToDouble(), EncodeDate(2001, 2, 3));
  EXPECT_EQ(CallBuiltin(c, "TIME", TValue()).Result[0].ToDouble(), 0.75);
  EXPECT_EQ(Eval(c, "PARAMCOUNT", TValue()), "[2]");
  EXPECT_EQ(Eval(c, "PARAMSTR", Args({I(0), I(2), I(3), I(-1)})), "[tracemill, /ENGLISH, , ]");
}

TEST(BuiltinPlatform, NonInteractiveAnswers) {
  TScriptServices& services = DefaultScriptServices();
  EXPECT_EQ(services.MessageBox("t", "c", 0), 1);           // MB_OK -> IDOK
  EXPECT_EQ(services.MessageBox("t", "c", 4), 6);           // MB_YESNO -> IDYES
  EXPECT_EQ(services.MessageBox("t", "c", 4 | 0x100), 7);   // MB_DEFBUTTON2 -> IDNO
  EXPECT_EQ(services.MessageBox("t", "c", 6 | 0x200), 11);  // third button: IDCONTINUE
  EXPECT_EQ(services.MessageBox("t", "c", 1 | 0x200), 1);   // no third button: the first
  EXPECT_EQ(services.MessageBox("t", "c", 9), 1);           // unknown set: IDOK

  // With a message service given, MESSAGEBOX is one of its messages.
  struct TAsked : TMessageService {
    TMessage Last;
    TMessageResult ShowMessage(const TMessage& m) override {
      Last = m;
      return TMessageResult::Retry;
    }
  } asked;
  TScriptServices shown(&asked);
  EXPECT_EQ(shown.MessageBox("Go on?", "Report", 5 | 0x30 | 0x100), 4);
  EXPECT_EQ(asked.Last.Text, "Go on?");
  EXPECT_EQ(asked.Last.Caption, "Report");
  EXPECT_EQ(asked.Last.Buttons, TMessageButtons::RetryCancel);
  EXPECT_EQ(asked.Last.Icon, TMessageIcon::Exclamation);
  EXPECT_EQ(asked.Last.DefaultButton, 1);
  EXPECT_EQ(services.InputBox("c", "p", "default"), "default");
  EXPECT_EQ(services.SelectDirectory("/tmp", false), "/tmp");
  EXPECT_EQ(DefaultSystemColor(0x80000005u), 0xFFFFFFu);  // window background
  EXPECT_EQ(DefaultSystemColor(0x80000008u), 0u);         // window text
  EXPECT_EQ(DefaultSystemColor(0x00123456u), 0x123456u);  // plain colours stay
  EXPECT_EQ(RunProgramDetached("true", "", ""), 33);
  EXPECT_EQ(RunProgramDetached("/bin/sh", "-c \"exit 0\"", "/"), 33);
  EXPECT_EQ(RunProgramDetached("/no/such/program", "", ""), 2);
  EXPECT_EQ(RunProgramDetached("true", "", "/no/such/folder"), 2);
  EXPECT_EQ(RunProgramDetached("", "", ""), 2);
}

TEST(BuiltinDispatch, TheSandboxedLibraryKnowsNoFunctionThatChangesTheSystem) {
  TTestContext c;
  const auto call = [&](const char* name, const TValue& args) {
    const std::string upper = name;
    TBuiltinCall builtinCall{name, upper, args, upper, c};
    TOutcome outcome;
    outcome.Success = SandboxedBuiltins().Call(builtinCall, outcome.Result, outcome.Handled);
    return outcome;
  };
  for (const char* name : {"DELETEFILE", "CREATEDIR", "REMOVEDIR", "FORCEDIRECTORIES", "SETCURRENTDIR",
                           "RENAMEFILE", "FILESETATTRIBUTE", "SHELL", "FILES", "DIRECTORIES"}) {
    EXPECT_FALSE(call(name, Args({S("/tmp/tracemill-sandbox-probe"), S("x"), S("y")})).Handled) << name;
  }
  EXPECT_FALSE(std::filesystem::exists("/tmp/tracemill-sandbox-probe"));
  const TOutcome sqrt = call("SQRT", Args({I(4)}));
  EXPECT_TRUE(sqrt.Handled && sqrt.Success);
  EXPECT_TRUE(call("FILEEXISTS", Args({S("/")})).Handled);
}
