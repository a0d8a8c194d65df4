// The report language interpreter against Lua 5.4 on the same programs, in
// the same run: a FOR loop of 1,000,000 passes, a recursive fib(20), the
// default report program over 100,000 collected lines of 10 points each, and
// three long texts (a 1 MB sum passed to EVALUATE, a 10 MB program line, a
// 10 MB argument list; for the last also the peak of allocated memory).
// Lua's time is measured inside Lua (os.clock), so start-up is not counted.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "app/uReportProgram.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "script/uCalc.h"

namespace tracemill {
namespace {

const char* const kLua = "/usr/bin/lua5.4";
const TFormatSettings kFormat;

// Runs a Lua chunk that prints its own elapsed seconds; returns them (-1 on failure).
double LuaSeconds(const std::string& body) {
  const std::string script = "local t0 = os.clock()\n" + body + "\nio.write(string.format('%.9f', os.clock() - t0))";
  const std::string path = "/tmp/tracemill_bench_" + std::to_string(::getpid()) + ".lua";
  if (FILE* f = std::fopen(path.c_str(), "w")) {
    std::fputs(script.c_str(), f);
    std::fclose(f);
  } else {
    return -1;
  }
  const std::string command = std::string(kLua) + " " + path;
  FILE* p = popen(command.c_str(), "r");
  if (!p) return -1;
  char buf[64] = {};
  const std::size_t n = std::fread(buf, 1, sizeof buf - 1, p);
  pclose(p);
  std::remove(path.c_str());
  if (n == 0) return -1;
  return std::atof(buf);
}

void RunLua(benchmark::State& state, const std::string& body) {
  for (auto _ : state) {
    const double s = LuaSeconds(body);
    if (s < 0) {
      state.SkipWithError("lua5.4 is not available");
      return;
    }
    state.SetIterationTime(s);
  }
}

// ---- FOR loop ----

const char* const kForLoop =
    "s = 0\n"
    "a = 3\n"
    "b = 7\n"
    "FOR i = 1 TO 1000000 MAX 1000000\n"
    "  s = s + a * b - i\n"
    "NEXT\n";

void BM_Tracemill_ForLoop(benchmark::State& state) {
  for (auto _ : state) {
    TVariableSet vars;
    TCalc calc;
    calc.SetVariables(&vars);
    calc.SetProgram(kForLoop);
    calc.Reset();
    calc.Run();
    if (calc.HasError() || vars.GetValue("s").ToDouble(kFormat) != 21e6 - 500000500000.0)
      state.SkipWithError("wrong result");
  }
}
BENCHMARK(BM_Tracemill_ForLoop)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Lua_ForLoop_Globals(benchmark::State& state) {
  RunLua(state, "s = 0 a = 3 b = 7 for i = 1, 1000000 do s = s + a * b - i end");
}
BENCHMARK(BM_Lua_ForLoop_Globals)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

void BM_Lua_ForLoop_Locals(benchmark::State& state) {
  RunLua(state, "local s, a, b = 0, 3, 7 for i = 1, 1000000 do s = s + a * b - i end");
}
BENCHMARK(BM_Lua_ForLoop_Locals)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// ---- fib(20) ----

const char* const kFib =
    "FUNCTION Fib(n)\n"
    "  IF n < 2\n"
    "    RESULT n\n"
    "  ELSE\n"
    "    RESULT Fib(n - 1) + Fib(n - 2)\n"
    "  ENDIF\n"
    "ENDFUNCTION\n"
    "x = Fib(20)\n";

void BM_Tracemill_Fib20(benchmark::State& state) {
  for (auto _ : state) {
    TVariableSet vars;
    TCalc calc;
    calc.SetVariables(&vars);
    calc.SetProgram(kFib);
    calc.Reset();
    calc.Run();
    if (calc.HasError() || vars.GetValue("x").ToInteger(kFormat) != 6765) state.SkipWithError("wrong result");
  }
}
BENCHMARK(BM_Tracemill_Fib20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_Lua_Fib20(benchmark::State& state) {
  RunLua(state, "function Fib(n) if n < 2 then return n else return Fib(n - 1) + Fib(n - 2) end end x = Fib(20)");
}
BENCHMARK(BM_Lua_Fib20)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// ---- the default report program ----

// Synthetic collected data: lines of points, with the report's data
// functions over it (a stand-in for the main window's host).
struct TBenchData {
  struct TLine {
    std::string Title, Comment;
    std::vector<double> X, Y;
  };
  std::vector<TLine> Lines;
  std::vector<std::string> Report;

  TBenchData(int lines, int points) {
    Lines.resize(static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i) {
      TLine& l = Lines[static_cast<std::size_t>(i)];
      l.Title = "Data" + std::to_string(i);
      l.Comment = i % 3 ? "" : "note";
      for (int j = 0; j < points; ++j) {
        l.X.push_back(i * 0.5 + j);
        l.Y.push_back(j * 1.25 - i);
      }
    }
  }

  static int Index(const TValue& args, std::size_t k) {
    if (!args.IsList()) return k == 0 ? args.ToInteger(kFormat) : 0;
    return k < args.Count() ? args[k].ToInteger(kFormat) : 0;
  }

  bool Call(const std::string& name, const TValue& args, TValue& result, bool& handled) {
    const std::string u = UpperCaseAscii(Trim(name));
    const int count = static_cast<int>(Lines.size());
    if (u == "DATACOUNT") {
      handled = true;
      result = TValue::Integer(count);
      return true;
    }
    if (u == "PRINT") {
      handled = true;
      Report.push_back(args.ConcatenatedText(kFormat));
      return true;
    }
    if (u == "X" || u == "Y") {
      handled = true;
      if (!args.IsList() || args.Count() < 2) return false;
      const int i = Index(args, 0), j = Index(args, 1);
      if (i < 0 || i >= count) return false;
      const TLine& l = Lines[static_cast<std::size_t>(i)];
      if (j < 0 || j >= static_cast<int>(l.X.size())) return false;
      result = TValue::Double(u == "X" ? l.X[static_cast<std::size_t>(j)] : l.Y[static_cast<std::size_t>(j)]);
      return true;
    }
    if (u == "POINTCOUNT" || u == "TITLE" || u == "COMMENT" || u == "POINTSID" || u == "WINDOWID") {
      handled = true;
      const int i = Index(args, 0);
      if (i < 0 || i >= count) return false;
      const TLine& l = Lines[static_cast<std::size_t>(i)];
      if (u == "POINTCOUNT") result = TValue::Integer(static_cast<int>(l.X.size()));
      else if (u == "TITLE") result = TValue::String(l.Title);
      else if (u == "COMMENT") result = TValue::String(l.Comment);
      else if (u == "POINTSID") result = TValue::Integer(i + 1);
      else result = TValue::Integer(0);
      return true;
    }
    return false;
  }
};

// FLOATTOSTR comes from the standard built-ins; this wrapper supplies it
// only while the standard library lacks it, so the benchmark always runs.
class TReportBuiltins : public TBuiltinLibrary {
 public:
  bool Call(const TBuiltinCall& call, TValue& result, bool& handled) const override {
    const bool ok = StandardBuiltins().Call(call, result, handled);
    if (handled || call.UpperName != "FLOATTOSTR") return ok;
    handled = true;
    result = TValue();
    for (const TValue& a : call.Arguments.Elements()) result.Append(TValue::String(FloatToStr(a.ToDouble(kFormat))));
    return true;
  }
};

void BM_Tracemill_DefaultReport(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  TBenchData data(lines, 10);
  const TReportBuiltins builtins;
  for (auto _ : state) {
    data.Report.clear();
    TVariableSet vars;
    TCalc calc;
    calc.SetVariables(&vars);
    calc.SetBuiltins(&builtins);
    calc.SetProgram(kDefaultReportProgram);
    calc.SetMaxLoopCount(1000000);
    calc.SetHostFunction([&](const std::string& name, const TValue& args, TValue& result, bool& handled) {
      return data.Call(name, args, result, handled);
    });
    calc.Reset();
    calc.Run();
    if (calc.HasError() || static_cast<int>(data.Report.size()) != lines) {
      state.SkipWithError(calc.HasError() ? calc.ErrorMessage().c_str() : "wrong line count");
      return;
    }
  }
  state.counters["lines"] = lines;
}
BENCHMARK(BM_Tracemill_DefaultReport)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_Lua_DefaultReport(benchmark::State& state) {
  // The same report over the same data, with the data in Lua tables.
  RunLua(state,
         "local L = {} for i = 0, 99999 do local x, y = {}, {} for j = 0, 9 do x[j] = i * 0.5 + j y[j] = j * 1.25 - i "
         "end L[i] = {t = 'Data' .. i, c = (i % 3 ~= 0) and '' or 'note', x = x, y = y} end\n"
         "local t1 = os.clock() local out = {}\n"
         "local function fmt(v) return string.format('%.15g', v) end\n"
         "for i = 0, #L do local l = L[i] local s = l.t .. ':' for j = 0, 9 do if j > 0 then s = s .. '-' end "
         "s = s .. '(' .. fmt(l.x[j]) .. ', ' .. fmt(l.y[j]) .. ')' end s = s .. ':' .. l.c out[#out + 1] = s end\n"
         "t0 = t0 + (t1 - t0)");
}
BENCHMARK(BM_Lua_DefaultReport)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// ---- long texts ----

// "1+1+...+1" of about the given number of bytes.
std::string Ones(std::size_t bytes, const char* separator) {
  std::string text = "1";
  text.reserve(bytes + 2);
  while (text.size() + 2 <= bytes) {
    text += separator;
    text += '1';
  }
  return text;
}

// Live and peak bytes of the program's heap while gCounting is set, counted
// by the global operator new and delete below.
std::atomic<bool> gCounting{false};
std::atomic<std::int64_t> gLiveBytes{0};
std::atomic<std::int64_t> gPeakBytes{0};

// Runs program with the variable s holding text; the label tells the outcome.
void RunLongText(benchmark::State& state, const std::string& program, const std::string& text) {
  std::string outcome;
  for (auto _ : state) {
    TVariableSet vars;
    if (!text.empty()) vars.SetValue("s", TValue::String(text));
    gPeakBytes = gLiveBytes.load();
    const std::int64_t before = gLiveBytes;
    gCounting = true;
    TCalc calc;
    calc.SetVariables(&vars);
    calc.SetProgram(program);
    calc.Reset();
    calc.Run();
    gCounting = false;
    state.counters["peak_MB"] = static_cast<double>(gPeakBytes - before) / (1 << 20);
    outcome = calc.HasError() ? calc.ErrorMessage().substr(0, 40) : "x = " + vars.GetValue("x").ToString(kFormat);
  }
  state.SetLabel(outcome);
}

void BM_Tracemill_Evaluate1MB(benchmark::State& state) {
  RunLongText(state, "x = EVALUATE(s)", Ones(1 << 20, "+"));
}
BENCHMARK(BM_Tracemill_Evaluate1MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Lua_Evaluate1MB(benchmark::State& state) {
  RunLua(state, "local s = string.rep('1+', 524287) .. '1' t0 = os.clock() local x = load('return ' .. s)()");
}
BENCHMARK(BM_Lua_Evaluate1MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_Tracemill_Line10MB(benchmark::State& state) {
  RunLongText(state, "x = " + Ones(10 << 20, "+"), "");
}
BENCHMARK(BM_Tracemill_Line10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Lua_Line10MB(benchmark::State& state) {
  RunLua(state, "local s = 'x = ' .. string.rep('1+', 5242879) .. '1' t0 = os.clock() load(s)()");
}
BENCHMARK(BM_Lua_Line10MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_Tracemill_Arguments10MB(benchmark::State& state) {
  RunLongText(state, "x = SUM(" + Ones(10 << 20, ",") + ")", "");
}
BENCHMARK(BM_Tracemill_Arguments10MB)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_Lua_Arguments10MB(benchmark::State& state) {
  // A table constructor of the same length, summed.
  RunLua(state,
         "local s = 'local t = {' .. string.rep('1,', 5242879) .. '1} local x = 0 for i = 1, #t do x = x + t[i] end' "
         "t0 = os.clock() load(s)()");
}
BENCHMARK(BM_Lua_Arguments10MB)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

}  // namespace
}  // namespace tracemill

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  if (!tracemill::gCounting.load(std::memory_order_relaxed)) return p;
  const std::int64_t live = tracemill::gLiveBytes += static_cast<std::int64_t>(malloc_usable_size(p));
  std::int64_t peak = tracemill::gPeakBytes;
  while (live > peak && !tracemill::gPeakBytes.compare_exchange_weak(peak, live)) {
  }
  return p;
}

// Out of line, so that the compiler does not pair this free with new.
[[gnu::noinline]] void ReleaseBlock(void* p) noexcept {
  if (p && tracemill::gCounting.load(std::memory_order_relaxed))
    tracemill::gLiveBytes -= static_cast<std::int64_t>(malloc_usable_size(p));
  std::free(p);
}

void operator delete(void* p) noexcept { ReleaseBlock(p); }

void operator delete(void* p, std::size_t) noexcept { operator delete(p); }
