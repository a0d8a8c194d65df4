// The interpreter through its public interface: hosts, hooks, external
// libraries, run control and the limits that keep bad programs harmless.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptTestSupport.h"
#include "app/uReportProgram.h"
#include "script/uExternal.h"

namespace tracemill {
namespace {

using testing::kFormat;
using testing::TRunner;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string Repeat(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

TEST(CalcHost, ContractAndPrecedence) {
  TRunner r;
  std::vector<std::string> seen;
  r.Extra = [&](const std::string& name, const TValue& args, TValue& result, bool& handled) {
    const std::string u = UpperCaseAscii(Trim(name));
    handled = true;
    if (u == "ARGTYPE") {
      seen.push_back(name);
      result = TValue::Integer(args.TypeCode());
    } else if (u == "X") {  // needs two arguments, as the report host's X does
      if (args.Count() < 2) return false;
      result = TValue::Integer(args[0].ToInteger(kFormat) * 10 + args[1].ToInteger(kFormat));
    } else if (u == "SQRT") {  // a host function hides a built-in of the same name
      result = TValue::String("host");
    } else {
      handled = false;
    }
    return handled;
  };
  EXPECT_EQ(r.Output("print(ArgType, \" \", ArgType(), \" \", ArgType(1), \" \", X(1, 2), \" \", Sqrt(4))"),
            "0 0 8204 12 host");
  EXPECT_EQ(seen, (std::vector<std::string>{"ArgType", "ArgType", "ArgType"}));

  EXPECT_EQ(r.Output("print(\"a\")\ny = X(0)\nprint(\"b\")"), "a|error: Invalid function call: X(0)");
  EXPECT_EQ(r.Calc.NextLine(), 2);

  // Host functions are reachable inside user functions.
  EXPECT_EQ(r.Output("FUNCTION F(v)\n  RESULT X(v, 3)\nENDFUNCTION\nprint(F(4))"), "43");
}

TEST(CalcHost, ListResultsFillElementVariables) {
  TRunner r;
  r.Extra = [](const std::string& name, const TValue&, TValue& result, bool& handled) {
    if (UpperCaseAscii(name) != "LISTING") return false;
    handled = true;
    result = TValue::List({TValue::Integer(3), TValue::List({TValue::String("a"), TValue::String("b"),
                                                             TValue::String("c")})});
    return true;
  };
  EXPECT_EQ(r.Output("n, F = Listing()\nprint(n, F(0), F(1), F(2))\nk = 1\nn, G(k) = Listing"), "3abc");
  EXPECT_EQ(r.Vars.GetValue("G(1)(2)").StringValue(), "c");
  EXPECT_FALSE(r.Vars.Exists("F"));
}

TEST(CalcHooks, AssignmentHooksReachFunctionLocals) {
  TRunner r;
  std::vector<std::string> assigned;
  r.Calc.OnAfterAssign = [&](TVariableSet&, const std::string& name, const TValue& v) {
    assigned.push_back(name + "=" + v.ToString(kFormat));
  };
  r.Calc.OnBeforeAssign = [](TVariableSet&, const std::string& name, bool& handled, TValue&) {
    if (UpperCaseAscii(name) == "HIDDEN") handled = true;
  };
  r.Calc.SetVariables(&r.Vars);  // passes the hooks on
  EXPECT_EQ(r.Run("FUNCTION F(a)\n  inner = a + 1\n  RESULT inner\nENDFUNCTION\nouter = F(1)\nhidden = 5"), "");
  EXPECT_EQ(assigned, (std::vector<std::string>{"inner=2", "outer=2"}));
  EXPECT_FALSE(r.Vars.Exists("hidden"));
  EXPECT_FALSE(r.Vars.Exists("inner"));
}

TEST(CalcExternal, LibrariesOfTheFolderAreCalled) {
  TRunner r;
  r.Calc.SetExternalFolder(TRACEMILL_TEST_EXTERNAL_DIR);
  EXPECT_EQ(r.Output("print(Twice(21), \" \", twice(1.25), \" \", Greet(\"Bob\"), \" \", CountArgs(1, \"x\", 3), \" \", "
                     "CountArgs)\nFUNCTION F(v)\n  RESULT Twice(v)\nENDFUNCTION\nprint(F(5))"),
            "42 2.5 Hello, Bob 3 0|10");
  EXPECT_EQ(r.Run("x = Failing(1)"), "Invalid function call: Failing(1)");
  // A library does not hide the program's own functions.
  EXPECT_EQ(r.Output("FUNCTION Twice(v)\n  RESULT 0\nENDFUNCTION\nprint(Twice(4))"), "0");

  r.Calc.SetExternalFolder("");
  EXPECT_EQ(r.Run("x = Twice(1)"), "No such function: Twice");
  r.Calc.SetExternalFolder("/nonexistent/folder");
  EXPECT_EQ(r.Run("x = Twice(1)"), "No such function: Twice");
}

TEST(CalcExternal, ValuesCrossTheInterfaceBothWays) {
  TExternalArguments storage;
  const TValue v = TValue::List({TValue::Integer(-3), TValue::Double(0.5), TValue::Boolean(true),
                                 TValue::String("zürich"), TValue::List({TValue::Date(2.25)}), TValue()});
  const TracemillValue c = ToExternal(v, storage);
  ASSERT_EQ(c.type, TRACEMILL_LIST);
  ASSERT_EQ(c.count, 6);
  EXPECT_EQ(c.payload.items[3].count, 7);  // UTF-8 bytes
  const TValue back = FromExternal(c);
  EXPECT_TRUE(back.SameAs(v));
  // Integers beyond 32 bits come back as Doubles; a null string as "".
  EXPECT_TRUE(FromExternal({.type = TRACEMILL_INTEGER, .count = 0, .payload = {.integer = 1LL << 40}}).IsDouble());
  EXPECT_EQ(FromExternal({.type = TRACEMILL_STRING, .count = 0, .payload = {}}).StringValue(), "");
}

TEST(CalcRun, ResetStepAndPrograms) {
  TRunner r;
  EXPECT_EQ(r.Run("x = nothing"), "No such function: nothing");
  r.Calc.Reset();
  EXPECT_FALSE(r.Calc.HasError());
  EXPECT_EQ(r.Calc.ErrorMessage(), "");
  EXPECT_FALSE(r.Calc.Finished());

  // Step executes one line at a time.
  r.Calc.SetProgram("a = 1\nb = 2");
  r.Calc.Reset();
  r.Calc.Step();
  EXPECT_TRUE(r.Vars.Exists("a"));
  EXPECT_FALSE(r.Vars.Exists("b"));
  EXPECT_FALSE(r.Calc.Finished());
  r.Calc.Step();
  EXPECT_TRUE(r.Calc.Finished());

  // A program with a structure error is not run, even after Reset.
  r.Calc.SetProgram("print(1)\nFOR i = 1 TO 0");
  r.Calc.Reset();
  r.Calc.Run();
  EXPECT_TRUE(r.Calc.HasError());
  EXPECT_EQ(r.Calc.ErrorMessage(), "Mismatch on line 2.");
  EXPECT_TRUE(r.Printed.empty());

  // An empty program is finished at once.
  r.Calc.SetProgram("");
  r.Calc.Reset();
  EXPECT_TRUE(r.Calc.Finished());
}

TEST(CalcRun, TheDefaultMaximumPassCountCanBeSet) {
  TRunner r;
  r.Calc.SetMaxLoopCount(5);
  EXPECT_EQ(r.Output("n = 0\nDO\n  n = n + 1\nLOOP\nFOR i = 1 TO 100\nNEXT\nprint(n, \" \", i)"), "5 5");
  // Inner interpreters of FUNCTION calls inherit the maximum.
  EXPECT_EQ(r.Output("FUNCTION F\n  n = 0\n  DO\n    n = n + 1\n  LOOP\n  RESULT n\nENDFUNCTION\nprint(F)"), "5");
}

// Conversions, operators and built-ins read the interpreter's own format; the
// process's settings change nothing once it exists.
TEST(CalcEnvironment, OneFormatForConversionsOperatorsAndBuiltins) {
  TRunner r;
  TScriptEnvironment comma = r.Env();
  comma.Format.DecimalSeparator = ',';
  r.Calc.SetEnvironment(comma);
  const TFormatSettings saved = FormatSettings();
  FormatSettings().DecimalSeparator = '.';
  // (PRINT here writes numbers with '.')
  EXPECT_EQ(r.Output("s = \"2,25\"\nprint(STRTOFLOAT(s), \" \", ABS(s), \" \", s * 2, \" \", s + 1, \" \", FLOATTOSTR(s))\n"
                     "IF s < 3\n  print(INT(s))\nENDIF"),
            "2.25 2.25 4.5 3.25 2,25|2");
  TRunner dot;
  EXPECT_EQ(dot.Output("print(ABS(\"2.25\") + 1)\nx = ABS(\"2,25\")"), "3.25|error: Convert error: ABS");
  FormatSettings() = saved;
}

TEST(CalcEnvironment, InterpretersKeepTheirOwnRandomSequenceAndLanguage) {
  const std::string draw = "print(RANDOM(1000000), \" \", RANDOM(1000000))";
  TRunner a, b, fresh;
  ASSERT_EQ(a.Run("RANDOMIZE(7)"), "");
  b.Output("RANDOMIZE(8)\n" + draw + "\n" + draw);
  const std::string first = a.Output(draw);
  EXPECT_EQ(first, fresh.Output("RANDOMIZE(7)\n" + draw));
  // Without a seed every interpreter has a sequence of its own; with the
  // same seed two runs repeat each other, FUNCTION calls included.
  TRunner c, d;
  EXPECT_NE(c.Output(draw + "\n" + draw), d.Output(draw + "\n" + draw));
  TScriptEnvironment seeded = c.Env();
  seeded.RandomSeed = 42;
  const std::string program = "FUNCTION F\n  RESULT RANDOM(1000)\nENDFUNCTION\nprint(F(), \" \", RANDOM(1000))";
  c.Calc.SetEnvironment(seeded);
  d.Calc.SetEnvironment(seeded);
  EXPECT_EQ(c.Output(program), d.Output(program));

  seeded.Japanese = true;
  c.Calc.SetEnvironment(seeded);
  EXPECT_EQ(c.Output("print(DAYSTRINGOFWEEK(ENCODEDATE(2024, 6, 2)))"), "日");
  EXPECT_EQ(d.Output("print(DAYSTRINGOFWEEK(ENCODEDATE(2024, 6, 2)))"), "Sun");
}

// EVALUATE reads each text twice, so a text naming a variable evaluates the
// variable's text; a text with an open string or parenthesis splits as it
// stands.
TEST(CalcEvaluate, TextsAreEvaluatedTwice) {
  const std::pair<const char*, const char*> cases[] = {
      {"x = \"2*3\"\nprint(EVALUATE(\"x\"), \" \", EVALUATE(\"x + \"\"1\"\"\"))", "6 62"},
      {"print(EVALUATE(\"1 + \"\"x\"))", "|error: No such function: 1 + \"x"},
      {"print(EVALUATE(\"\"\"abc + 1\"))", "|error: No such function: \"abc"},
      {"print(EVALUATE(\"\"\"\"))", "|error: Invalid string: \""},
      {"print(EVALUATE(\"(1 + 2\"))", "|error: No such function: (1"},
  };
  for (const auto& [program, output] : cases) {
    TRunner r;
    EXPECT_EQ(r.Output(program), output) << program;
  }
}

TEST(CalcEvaluate, EvaluateAndParseExpression) {
  TRunner r;
  EXPECT_TRUE(r.Calc.Evaluate("").IsEmpty());
  EXPECT_EQ(r.Calc.Evaluate("  1 + 2  ").IntegerValue(), 3);
  EXPECT_TRUE(r.Calc.ParseExpression("\"\"").IsList());
  EXPECT_EQ(r.Calc.Evaluate("\"\"").StringValue(), "");
  EXPECT_FALSE(r.Calc.HasError()) << r.Calc.ErrorMessage();
  TValue result;
  EXPECT_FALSE(r.Calc.CallFunction("NoSuch", TValue(), result));
  EXPECT_EQ(r.Calc.ErrorMessage(), "No such function: NoSuch");
}

TEST(CalcLimits, DeepRecursionEndsWithAnError) {
  TRunner r;
  // Whichever limit comes first ends the run: the call depth ("Down") or, in
  // builds with bigger frames, the stack guard inside an argument ("n + 1").
  const std::string message = r.Run("FUNCTION Down(n)\n  RESULT Down(n + 1)\nENDFUNCTION\nx = Down(1)");
  EXPECT_THAT(message, AllOf(StartsWith("Function runtime error: Down\r\n"), HasSubstr("Nesting too deep: ")));
  EXPECT_EQ(r.Calc.NextLine(), 4);
  // A text that evaluates itself.
  EXPECT_THAT(r.Run("x = \"EVALUATE(x)\"\ny = EVALUATE(x)"), StartsWith("Nesting too deep: "));
  EXPECT_EQ(r.Calc.NextLine(), 2);
  // 600 levels are fine.
  EXPECT_EQ(r.Output("FUNCTION Depth(n)\n  IF n = 0\n    RESULT 0\n  ELSE\n    RESULT Depth(n - 1) + 1\n  ENDIF\n"
                     "ENDFUNCTION\nprint(Depth(600))"),
            "600");
}

TEST(CalcLimits, DeepExpressionsEndWithAnError) {
  TRunner r;
  EXPECT_EQ(r.Output("x = " + Repeat("(", 600) + "1" + Repeat(")", 600) + "\nprint(x)"), "1");
  EXPECT_EQ(r.Output("x = 1" + Repeat(" + 1", 400) + "\nprint(x)"), "401");
  EXPECT_THAT(r.Run("x = " + Repeat("(", 3000) + "1" + Repeat(")", 3000)), StartsWith("Nesting too deep: "));
  EXPECT_THAT(r.Run("x = 1" + Repeat(" + 1", 5000)), StartsWith("Nesting too deep: "));
}

TEST(CalcLimits, AnyProgramTextIsHandled) {
  TRunner r;
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 7919) % 256);
  r.Calc.SetMaxLoopCount(3);
  r.Run(binary);  // any message, no crash
  r.Run("\xff\xfe x = \"\xc3\x28\" + \xe2\x82\nprint(\"\xf0\x9f\x98\x80\")");
  r.Run(std::string("x = 1\0y = 2", 11));
  EXPECT_NE(r.Run("FOR i = 1 TO \"a\"\nNEXT"), "");
  EXPECT_NE(r.Run("FOR i = \"a\" TO 3\nNEXT"), "");
  EXPECT_EQ(r.Run("DO UNTIL \"maybe\"\nLOOP"), "Convert error: DO UNTIL \"maybe\"");
  EXPECT_EQ(r.Run("FOR i = 1 TO 3 MAX \"x\"\nNEXT"), "Convert error: FOR i = 1 TO 3 MAX \"x\"");
  EXPECT_EQ(r.Run("x = CITE(\"A\", 0, 2000000000)"), "No such function: A");
}

TEST(CalcLimits, StepLimit) {
  TRunner r;
  r.Calc.SetStepLimit(50);
  EXPECT_EQ(r.Run("DO MAX 1000000\nLOOP"), "Step limit reached");
  // Steps inside FUNCTION calls count too.
  EXPECT_EQ(r.Run("FUNCTION F\n  DO MAX 1000000\n  LOOP\nENDFUNCTION\nx = F()"),
            "Function runtime error: F\r\nStep limit reached");
  EXPECT_EQ(r.Run("x = 1\ny = 2"), "");  // Reset gives the next run the whole budget
  // Each element of EVALUATE and CITE is a step.
  EXPECT_EQ(r.Run("x = CITE(\"ABS\", 0, 2147483647)"), "Step limit reached");
  EXPECT_EQ(r.Run("x = EVALUATE(" + Repeat("\"1\", ", 60) + "\"1\")"), "Step limit reached");
  r.Calc.SetStepLimit(0);
  EXPECT_EQ(r.Output("n = 0\nFOR i = 1 TO 1000 MAX 1000\n  n = n + 1\nNEXT\nprint(n)"), "1000");
}

// Doubling a string to 256 MiB and storing it in list elements ends with the
// budget error (the elements share the text, but each counts in full).
TEST(CalcLimits, VariablesStayWithinTheMemoryBudget) {
  TRunner r;
  EXPECT_EQ(r.Run("s = \"ab\"\nFOR i = 1 TO 27\n  s = s + s\nNEXT\nFOR i = 0 TO 99\n  A(i) = s\nNEXT"),
            "Memory budget exceeded: A(2)");
  EXPECT_EQ(r.Calc.NextLine(), 6);
  EXPECT_FALSE(r.Vars.Exists("A(2)"));
  // A string longer than 256 MiB is an overflow.
  EXPECT_EQ(r.Run("t = s + s"), "Overflow: s + s");

  // A table that holds more than a new budget allows takes nothing more.
  TScriptEnvironment small = r.Env();
  small.MemoryBudget = 1 << 20;
  r.Calc.SetEnvironment(small);
  EXPECT_EQ(r.Run("n = 1"), "Memory budget exceeded: n");
  TRunner f;
  f.Calc.SetEnvironment(small);
  // Function locals count too, and are given back when the call ends.
  EXPECT_EQ(f.Run("FUNCTION F(n)\n  t = STRINGREPEAT(\"x\", n)\n  RESULT LENGTH(t)\nENDFUNCTION\n"
                  "FOR j = 1 TO 4\n  k = F(400000)\nNEXT\nk = F(1100000)"),
            "Function runtime error: F\r\nMemory budget exceeded: t");
  // The lists EVALUATE and CITE build count as they grow.
  EXPECT_EQ(f.Run("x = CITE(\"ABS\", 0, 2147483647)"), "Memory budget exceeded: CITE");
  EXPECT_EQ(f.Run("t = \"STRINGREPEAT(\"\"x\"\", 600000)\"\nx = EVALUATE(\"t\", \"t\")"),
            "Memory budget exceeded: EVALUATE");
}

// Reading a variable or an element shares its text; nothing is copied.
TEST(CalcLimits, ReadingAVariableSharesItsValue) {
  TRunner r;
  ASSERT_EQ(r.Run("s = STRINGREPEAT(\"ab\", 1000)\nt = s\nA(1) = t\nL = DECODEDATE(0)\nM = L"), "");
  const char* text = r.Vars.GetValue("s").StringValue().data();
  EXPECT_EQ(r.Vars.GetValue("t").StringValue().data(), text);
  EXPECT_EQ(r.Vars.GetValue("A(1)").StringValue().data(), text);
  EXPECT_EQ(&r.Vars.GetValue("M").Elements(), &r.Vars.GetValue("L").Elements());
}

// A host whose failure is no script error still ends the run cleanly.
TEST(CalcLimits, ForeignExceptionsBecomeMessages) {
  TRunner r;
  r.Extra = [](const std::string& name, const TValue&, TValue&, bool& handled) -> bool {
    if (UpperCaseAscii(name) == "BOOM") {
      handled = true;
      throw std::runtime_error("host failed");
    }
    if (UpperCaseAscii(name) == "ESCAPE") throw 42;  // no error of the script's kind
    return false;
  };
  EXPECT_EQ(r.Output("print(1)\nx = Boom()\nprint(2)"), "1|error: host failed");
  EXPECT_EQ(r.Calc.NextLine(), 2);
  // A failure that leaves the run from inside a FUNCTION leaves nothing of
  // the call behind for the next one.
  EXPECT_THROW(r.Run("FUNCTION F(a)\n  b = 1\n  RESULT Escape()\nENDFUNCTION\nx = F(1)"), int);
  EXPECT_EQ(r.Run("FUNCTION F(a)\n  RESULT b\nENDFUNCTION\nx = F(1)"),
            "Function runtime error: F\r\nNo such function: b");
}

TEST(CalcTable, TheTableOutlivesTheInterpreter) {
  TVariableSet vars;
  {
    TCalc calc;
    calc.SetVariables(&vars);
    calc.SetProgram("total = 6 * 7");
    calc.Reset();
    calc.Run();
  }
  EXPECT_EQ(vars.GetValue("TOTAL").IntegerValue(), 42);
  vars.SetReadOnly("missing", true);  // the interpreter's error hook is gone
  SUCCEED();
}

// The default report program over a small host with the report's functions.
TEST(CalcReport, DefaultProgramReportsEveryLine) {
  struct TLine {
    std::string Title, Comment;
    std::vector<std::pair<double, double>> Points;
  };
  const std::vector<TLine> data = {{"A", "c", {{1, 2}, {3, 4}}}, {"B", "", {{5, 6}}}};
  TRunner r;
  r.Extra = [&](const std::string& name, const TValue& args, TValue& result, bool& handled) {
    const auto line = [&]() -> const TLine& { return data.at(static_cast<std::size_t>(args[0].ToInteger(kFormat))); };
    const auto point = [&] { return line().Points.at(static_cast<std::size_t>(args[1].ToInteger(kFormat))); };
    const std::string u = UpperCaseAscii(Trim(name));
    handled = true;
    if (u == "DATACOUNT") result = TValue::Integer(static_cast<int>(data.size()));
    else if (u == "TITLE") result = TValue::String(line().Title);
    else if (u == "COMMENT") result = TValue::String(line().Comment);
    else if (u == "POINTCOUNT") result = TValue::Integer(static_cast<int>(line().Points.size()));
    else if (u == "X") result = TValue::Double(point().first);
    else if (u == "Y") result = TValue::Double(point().second);
    else handled = false;
    return handled;
  };
  EXPECT_EQ(r.Output(kDefaultReportProgram), "A:(1, 2)-(3, 4):c|B:(5, 6):");
}

}  // namespace
}  // namespace tracemill
