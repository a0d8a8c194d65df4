// The built-in library through the interface the interpreter's dispatcher
// uses: calling patterns, failures, the context's format settings and the
// platform services. What a report program shows directly is checked by the
// cases under cases/builtins.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ScriptTestSupport.h"
#include "common/uDateTime.h"
#include "common/uError.h"
#include "script/uFunction.h"

using namespace tracemill;
using namespace tracemill::testing;

TEST(BuiltinDispatch, CallingPatterns) {
  TTestContext c;
  EXPECT_FALSE(CallBuiltin(c, "", TValue()).Handled);
  // A bare name applies an element-wise function to Empty once.
  EXPECT_EQ(Eval(c, "ABS", TValue()), "[0]");
  EXPECT_EQ(Eval(c, "FALSE", Args({I(1), I(2)})), "[False, False]");
  // A list argument is one argument.
  EXPECT_EQ(Eval(c, "TYPESTRINGOF", Args({TValue::List({I(1)}), I(1)})), "[Variant, Integer]");
}

enum TFailure { kRefused, kInvalidOperation, kConvertError };

TEST(BuiltinFailures, EachBadCallFailsItsOwnWay) {
  TTestContext c;
  const struct {
    const char* Name;
    TValue Arguments;
    TFailure Failure;
  } cases[] = {
      // Missing arguments, and absurd counts that would exhaust memory.
      {"ENCODEDATE", Args({I(2020), I(1)}), kRefused},
      {"MESSAGEBOX", Args({S("a"), S("b")}), kRefused},
      {"STRINGREPEAT", Args({S("x"), I(2147483647)}), kRefused},
      {"INTTOHEXN", Args({I(1), I(-1)}), kRefused},
      {"MIDB", Args({S("abc"), I(1), I(-5)}), kRefused},
      {"LN", Args({I(-1)}), kInvalidOperation},
      {"LOG2", Args({D(-0.5)}), kInvalidOperation},
      {"ARCCOS", Args({I(-3)}), kInvalidOperation},
      {"ARCCOSH", Args({D(0.5)}), kInvalidOperation},
      {"ARCTANH", Args({I(1)}), kInvalidOperation},
      {"COTAN", Args({I(0)}), kInvalidOperation},
      {"EXP", Args({I(1000)}), kInvalidOperation},
      {"LOGN", Args({I(1), I(5)}), kInvalidOperation},
      {"POWER", Args({I(0), I(-1)}), kInvalidOperation},
      {"SQRT", Args({I(4), I(-4)}), kInvalidOperation},
      {"STRTOFLOAT", Args({S("")}), kConvertError},
      {"ENCODETIME", Args({I(24), I(0), I(0)}), kConvertError},
      {"LEFT", Args({S("abc"), D(1e12)}), kConvertError},
      {"DATEYEAR", Args({D(1e300)}), kConvertError},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.Name + Show(k.Arguments));
    if (k.Failure == kRefused) {
      const TOutcome outcome = CallBuiltin(c, k.Name, k.Arguments);
      EXPECT_TRUE(outcome.Handled && !outcome.Success);
    } else if (k.Failure == kInvalidOperation) {
      EXPECT_THROW(CallBuiltin(c, k.Name, k.Arguments), InvalidFloatOperation);
    } else {
      EXPECT_THROW(CallBuiltin(c, k.Name, k.Arguments), ConvertError);
    }
  }
}

TEST(BuiltinTexts, TheContextsFormatSettingsShapeNumbersAndDates) {
  TTestContext c;
  c.Env.Format.DecimalSeparator = ',';
  c.Env.Format.ThousandSeparator = '.';
  c.Env.Format.ShortDateFormat = "yyyy/mm/dd";
  c.Env.Format.DateSeparator = '-';
  EXPECT_EQ(Eval(c, "FLOATTOSTR", Args({D(1.5)})), "[1,5]");
  EXPECT_EQ(Eval(c, "STRTOFLOAT", Args({S("2,25")})), "[2.25]");
  EXPECT_THROW(CallBuiltin(c, "STRTOFLOAT", Args({S("2.25")})), ConvertError);
  EXPECT_EQ(Eval(c, "FORMATFLOAT", Args({S("#,##0.00"), D(1234.5)})), "[1.234,50]");
  EXPECT_EQ(Eval(c, "DATETOSTR", Args({TValue::Date(EncodeDate(2024, 6, 2))})), "[2024-06-02]");
}

TEST(BuiltinDates, DayNamesFollowTheInterfaceLanguage) {
  TTestContext c;
  const TValue sunday = TValue::Date(EncodeDate(2024, 6, 2));
  c.Env.Japanese = true;
  EXPECT_EQ(Eval(c, "DAYSTRINGOFWEEK", Args({sunday})), "[日]");
  c.Env.Japanese = false;
  EXPECT_EQ(Eval(c, "DAYSTRINGOFWEEK", Args({sunday, TValue::Date(EncodeDate(2024, 6, 8))})), "[Sun, Sat]");
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
  c.Env.Services = &services;
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
  EXPECT_EQ(CallBuiltin(c, "NOW", TValue()).Result[0].ToDouble(kFormat), EncodeDate(2001, 2, 3) + 0.75);
  EXPECT_EQ(CallBuiltin(c, "TODAY", TValue()).Result[0].ToDouble(kFormat), EncodeDate(2001, 2, 3));
  EXPECT_EQ(CallBuiltin(c, "DATE", TValue()).Result[0].ToDouble(kFormat), EncodeDate(2001, 2, 3));
  EXPECT_EQ(CallBuiltin(c, "TIME", TValue()).Result[0].ToDouble(kFormat), 0.75);
  EXPECT_EQ(Eval(c, "PARAMCOUNT", TValue()), "[2]");
  EXPECT_EQ(Eval(c, "PARAMSTR", Args({I(0), I(2), I(3), I(-1)})), "[tracemill, /ENGLISH, , ]");
}

// SHELL opens documents and folders with the desktop's application, starts
// executable files and programs found in PATH, and asks for nothing when the
// file or the folder is missing.
TEST(BuiltinPlatform, ShellOpensDocumentsAndStartsPrograms) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("tm_shell_" + std::to_string(getpid()));
  std::filesystem::create_directories(folder / "sub");
  std::ofstream(folder / "report.txt") << "report";
  std::ofstream(folder / "run.sh") << "#!/bin/sh\n";
  chmod((folder / "run.sh").c_str(), 0755);
  const std::string f = folder.string();
  TRecordingShell shell;
  TScriptServices services(nullptr, &shell);
  const struct {
    std::string File, Parameters, Folder;
    int Result;
    std::string Asked;
  } cases[] = {
      {"report.txt", "", f, 33, "open " + f + "/report.txt"},
      {f + "/sub/../report.txt", "-x", "", 33, "open " + f + "/report.txt"},
      {"sub", "", f, 33, "open " + f + "/sub"},
      {"run.sh", "-a \"b c\"", f, 33, "run ./run.sh|-a|b c in " + f},
      {f + "/run.sh", "", "", 33, "run " + f + "/run.sh in "},
      {"sh", "-c \"exit 0\"", "/", 33, "run sh|-c|exit 0 in /"},
      {"missing.txt", "", f, 2, ""},
      {f + "/missing", "", "", 2, ""},
      {"report.txt", "", f + "/none", 2, ""},
      {"", "", "", 2, ""},
  };
  for (const auto& c : cases) {
    shell.Asked.clear();
    EXPECT_EQ(services.Shell(c.File, c.Parameters, c.Folder), c.Result) << c.File;
    EXPECT_EQ(shell.Asked, c.Asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.Asked}) << c.File;
  }
  shell.Started = false;
  EXPECT_EQ(services.Shell("report.txt", "", f), 2);
  std::filesystem::remove_all(folder);
}

// The launcher refuses, without starting anything, what it cannot start.
TEST(BuiltinPlatform, TheLauncherRefusesMissingProgramsAndFolders) {
  EXPECT_FALSE(FindProgram("sh").empty());
  EXPECT_EQ(FindProgram("tracemill-no-such-program"), "");
  EXPECT_EQ(FindProgram("/no/such/program"), "");
  EXPECT_FALSE(StartProcess("tracemill-no-such-program", {}, ""));
  EXPECT_FALSE(StartProcess("/no/such/program", {}, ""));
  EXPECT_FALSE(StartProcess("sh", {}, "/no/such/folder"));
  EXPECT_FALSE(StartProcess("sh", {std::string("a\0b", 3)}, ""));
  TProcessShellService shell;
  EXPECT_FALSE(shell.RunProgram("./tracemill-no-such-program", {}, "/"));
}

// Without a display MESSAGEBOX answers through the message service it is given.
TEST(BuiltinPlatform, MessageBoxesBecomeMessages) {
  struct TAsked : TMessageService {
    TMessage Last;
    TMessageResult ShowMessage(const TMessage& m) override {
      Last = m;
      return TMessageResult::Retry;
    }
  } asked;
  TScriptServices shown(&asked);
  EXPECT_EQ(shown.MessageBox("Go on?", "Report", 5 | 0x30 | 0x100), 4);  // IDRETRY
  EXPECT_EQ(asked.Last.Text, "Go on?");
  EXPECT_EQ(asked.Last.Caption, "Report");
  EXPECT_EQ(asked.Last.Buttons, TMessageButtons::RetryCancel);
  EXPECT_EQ(asked.Last.Icon, TMessageIcon::Exclamation);
  EXPECT_EQ(asked.Last.DefaultButton, 1);
}

TEST(BuiltinDispatch, TheSandboxedLibraryKnowsNoFunctionThatChangesTheSystem) {
  TTestContext c;
  const TBuiltinLibrary& sandboxed = SandboxedBuiltins();
  for (const char* name : {"DELETEFILE", "CREATEDIR", "REMOVEDIR", "FORCEDIRECTORIES", "SETCURRENTDIR",
                           "RENAMEFILE", "FILESETATTRIBUTE", "SHELL", "FILES", "DIRECTORIES"}) {
    EXPECT_FALSE(CallBuiltin(c, name, Args({S("/tmp/tracemill-sandbox-probe"), S("x"), S("y")}), sandboxed).Handled)
        << name;
  }
  EXPECT_FALSE(std::filesystem::exists("/tmp/tracemill-sandbox-probe"));
  EXPECT_TRUE(CallBuiltin(c, "SQRT", Args({I(4)}), sandboxed).Success);
  EXPECT_TRUE(CallBuiltin(c, "FILEEXISTS", Args({S("/")}), sandboxed).Success);
}
