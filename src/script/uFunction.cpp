// The built-in library: one table of names with their calling pattern and
// minimum argument count, and the dispatcher that applies them.
#include "script/uFunction.h"

#include <cmath>
#include <numbers>
#include <string_view>
#include <unordered_map>

#include "common/uStrC.h"
#include "script/uFunctionTable.h"

namespace tracemill {

namespace builtins {

namespace {

enum class TPattern {
  kNumeric,     // element-wise, Double -> Double
  kElementWise, // one result per argument; Empty once for a bare name
  kPositional,  // fixed positions (or all arguments); at least MinArgs
};

struct TEntry {
  const char* Name;
  TPattern Pattern;
  int MinArgs;
  TNumericHandler Numeric;
  TElementHandler Element;
  TPositionalHandler Positional;
  // Changes files, folders or the current folder, starts programs, or walks
  // folders: left out of the sandboxed library.
  bool ReachesSystem = false;
};

constexpr TEntry Num(const char* name, TNumericHandler f) {
  return {name, TPattern::kNumeric, 0, f, nullptr, nullptr};
}
constexpr TEntry Each(const char* name, TElementHandler f) {
  return {name, TPattern::kElementWise, 0, nullptr, f, nullptr};
}
constexpr TEntry Fixed(const char* name, int minArgs, TPositionalHandler f) {
  return {name, TPattern::kPositional, minArgs, nullptr, nullptr, f};
}
constexpr TEntry System(TEntry entry) {
  entry.ReachesSystem = true;
  return entry;
}

constexpr double kPi = std::numbers::pi;

// clang-format off
const TEntry kTable[] = {
  // mathematics, element-wise
  Num("ABS", [](double x) { return std::fabs(x); }),
  Num("EXP", [](double x) { return std::exp(x); }),
  Num("SQRT", [](double x) { return std::sqrt(x); }),
  Num("FRAC", [](double x) { return x - std::trunc(x); }),
  Num("LN", [](double x) { return std::log(x); }),
  Num("LOGE", [](double x) { return std::log(x); }),
  Num("LOG", [](double x) { return std::log10(x); }),
  Num("LOG10", [](double x) { return std::log10(x); }),
  Num("LOG2", [](double x) { return std::log2(x); }),
  Num("SIN", [](double x) { return std::sin(x); }),
  Num("COS", [](double x) { return std::cos(x); }),
  Num("TAN", [](double x) { return std::tan(x); }),
  Num("COTAN", [](double x) { return 1.0 / std::tan(x); }),
  Num("ARCSIN", [](double x) { return std::asin(x); }),
  Num("ARCCOS", [](double x) { return std::acos(x); }),
  Num("ARCTAN", [](double x) { return std::atan(x); }),
  Num("SINH", [](double x) { return std::sinh(x); }),
  Num("COSH", [](double x) { return std::cosh(x); }),
  Num("TANH", [](double x) { return std::tanh(x); }),
  Num("ARCSINH", [](double x) { return std::asinh(x); }),
  Num("ARCCOSH", [](double x) { return std::acosh(x); }),
  Num("ARCTANH", [](double x) { return std::atanh(x); }),
  Num("DEGTORAD", [](double x) { return x * (kPi / 180); }),
  Num("RADTODEG", [](double x) { return x * (180 / kPi); }),
  Num("GRADTORAD", [](double x) { return x * (kPi / 200); }),
  Num("RADTOGRAD", [](double x) { return x * (200 / kPi); }),
  Num("CYCLETORAD", [](double x) { return x * (2 * kPi); }),
  Num("RADTOCYCLE", [](double x) { return x / (2 * kPi); }),
  Each("INT", Int),
  Each("FLOOR", Floor),
  Each("ROUND", Round),
  Each("ROUNDBANKERS", RoundBankers),
  Each("RANDOM", Random),
  Each("TRUE", True),
  Each("FALSE", False),
  // mathematics, positional and aggregates
  Fixed("ARCTAN2", 2, ArcTan2),
  Fixed("LOGN", 2, LogN),
  Fixed("POWER", 2, Power),
  Fixed("RANDOMGAUSS", 2, RandomGauss),
  Fixed("RANDOMIZE", 0, Randomize),
  Fixed("MAX", 1, Max),
  Fixed("MIN", 1, Min),
  Fixed("SUM", 1, Sum),
  Fixed("MEAN", 1, Mean),
  // strings and values
  Each("TRIM", Trim),
  Each("TRIMLEFT", TrimLeft),
  Each("TRIMRIGHT", TrimRight),
  Each("UPPERCASE", UpperCase),
  Each("LOWERCASE", LowerCase),
  Each("QUOTEDSTR", QuotedStr),
  Each("INTTOSTR", IntToStr),
  Each("FLOATTOSTR", FloatToStr),
  Each("INTTOHEX", IntToHex),
  Each("CHR", Chr),
  Each("CODE", Code),
  Each("CODEB", CodeB),
  Each("LENGTH", Length),
  Each("LENGTHB", LengthB),
  Each("STRTOINT", StrToInt),
  Each("STRTOFLOAT", StrToFloat),
  Each("TYPECODEOF", TypeCodeOf),
  Each("TYPESTRINGOF", TypeStringOf),
  Fixed("COPY", 2, Copy),
  Fixed("MID", 2, Copy),
  Fixed("COPYB", 2, CopyB),
  Fixed("MIDB", 2, CopyB),
  Fixed("LEFT", 2, Left),
  Fixed("LEFTB", 2, LeftB),
  Fixed("RIGHT", 2, Right),
  Fixed("RIGHTB", 2, RightB),
  Fixed("POS", 2, Pos),
  Fixed("POSB", 2, PosB),
  Fixed("INSTR", 2, InStr),
  Fixed("INSTRB", 2, InStrB),
  Fixed("LASTDELIMITER", 2, LastDelimiter),
  Fixed("STRINGREPEAT", 2, StringRepeat),
  Fixed("INTTOHEXN", 2, IntToHexN),
  Fixed("FORMATFLOAT", 2, FormatFloat),
  // dates and the clock
  Each("DATETOSTR", DateToStr),
  Each("DATEYEAR", DateYear),
  Each("DATEMONTH", DateMonth),
  Each("DATEDAY", DateDay),
  Each("TIMEHOUR", TimeHour),
  Each("TIMEMINUTE", TimeMinute),
  Each("TIMESECOND", TimeSecond),
  Each("TIMEMILLISECOND", TimeMillisecond),
  Each("DAYOFWEEK", DayOfWeek),
  Each("DAYSTRINGOFWEEK", DayStringOfWeek),
  Each("NOW", Now),
  Each("DATE", Today),
  Each("TODAY", Today),
  Each("TIME", Time),
  Fixed("FORMATDATETIME", 2, FormatDateTime),
  Fixed("ENCODEDATE", 3, EncodeDate),
  Fixed("ENCODETIME", 3, EncodeTime),
  Fixed("DECODEDATE", 1, DecodeDate),
  Fixed("DECODETIME", 1, DecodeTime),
  Fixed("INCMONTH", 2, IncMonth),
  // files, folders, environment, dialogs
  Each("FILEEXISTS", FileExists),
  Each("DIRECTORYEXISTS", DirectoryExists),
  System(Each("DELETEFILE", DeleteFile)),
  System(Each("CREATEDIR", CreateDir)),
  System(Each("REMOVEDIR", RemoveDir)),
  System(Each("FORCEDIRECTORIES", ForceDirectories)),
  System(Each("SETCURRENTDIR", SetCurrentDir)),
  Each("FILEATTRIBUTE", FileAttribute),
  Each("FILESIZE", FileSize),
  Each("FILEUPDATEDDATETIME", FileUpdatedDateTime),
  Each("EXPANDFILENAME", ExpandFileName),
  Each("EXTRACTFILEDIR", ExtractFileDir),
  Each("EXTRACTFILEPATH", ExtractFilePath),
  Each("EXTRACTFILEDRIVE", ExtractFileDrive),
  Each("EXTRACTFILENAME", ExtractFileName),
  Each("EXTRACTFILEEXT", ExtractFileExt),
  Each("CURRENTDIR", CurrentDir),
  Each("CURRENTDIROFDRIVE", CurrentDirOfDrive),
  Each("ENVIRONMENT", Environment),
  Each("PARAMSTR", ParamStr),
  Each("PARAMCOUNT", ParamCount),
  Each("COLORTORGB", ColorToRGB),
  Fixed("MATCHESMASK", 2, MatchesMask),
  System(Fixed("RENAMEFILE", 2, RenameFile)),
  System(Fixed("FILESETATTRIBUTE", 2, FileSetAttribute)),
  Fixed("MESSAGEBOX", 3, MessageBox),
  Fixed("INPUTBOX", 3, InputBox),
  System(Fixed("SHELL", 3, Shell)),
  Fixed("SELECTDIRECTORY", 2, SelectDirectory),
  System(Fixed("FILES", 1, Files)),
  System(Fixed("DIRECTORIES", 2, Directories)),
  Fixed("DRIVES", 0, Drives),
};
// clang-format on

const std::unordered_map<std::string_view, const TEntry*>& Index() {
  static const auto index = [] {
    std::unordered_map<std::string_view, const TEntry*> map;
    for (const TEntry& entry : kTable) map.emplace(entry.Name, &entry);
    return map;
  }();
  return index;
}

TValue ApplyElement(const TEntry& entry, TBuiltinContext& context, const TValue& argument) {
  if (entry.Pattern == TPattern::kNumeric) return TValue::Double(Finite(entry.Numeric(argument.ToDouble(context.Format()))));
  return entry.Element(context, argument);
}

class TStandardLibrary : public TBuiltinLibrary {
 public:
  explicit TStandardLibrary(bool sandboxed) : sandboxed_(sandboxed) {}

  bool Call(const TBuiltinCall& call, TValue& result, bool& handled) const override {
    const auto& index = Index();
    const auto found = index.find(call.UpperName);
    if (found == index.end()) return false;
    const TEntry& entry = *found->second;
    if (sandboxed_ && entry.ReachesSystem) return false;
    handled = true;
    try {
      if (entry.Pattern == TPattern::kPositional) {
        const TArgs args(call.Arguments, call.Context);
        if (args.Count() < static_cast<std::size_t>(entry.MinArgs)) return false;
        TValue value = entry.Positional(args);
        if (value.IsList()) {
          result = std::move(value);
        } else {
          result = TValue();
          result.Append(std::move(value));
        }
        return true;
      }
      TValue collected;
      if (call.Arguments.IsList()) {
        for (const TValue& argument : call.Arguments.Elements())
          collected.Append(ApplyElement(entry, call.Context, argument));
      } else {
        collected.Append(ApplyElement(entry, call.Context, call.Arguments));
      }
      result = std::move(collected);
      return true;
    } catch (const CallRejected&) {
      return false;
    }
  }

 private:
  bool sandboxed_;
};

}  // namespace

TArgs::TArgs(const TValue& arguments, TBuiltinContext& context) : context_(context) {
  if (arguments.IsList()) {
    list_ = &arguments;
    count_ = arguments.Count();
  } else if (!arguments.IsEmpty()) {
    single_ = &arguments;
    count_ = 1;
  }
}

std::string Text(TBuiltinContext& context, const TValue& value) {
  return value.ToString(context.Format());
}

TValue Integral(double value) {
  Finite(value);
  if (value >= -2147483648.0 && value <= 2147483647.0)
    return TValue::Integer(static_cast<std::int32_t>(value));
  return TValue::Double(value);
}

double Finite(double value) {
  if (!std::isfinite(value)) throw InvalidFloatOperation("Invalid floating point operation");
  return value;
}

}  // namespace builtins

const TBuiltinLibrary& StandardBuiltins() {
  static const builtins::TStandardLibrary library(false);
  return library;
}

const TBuiltinLibrary& SandboxedBuiltins() {
  static const builtins::TStandardLibrary library(true);
  return library;
}

std::vector<std::string_view> BuiltinNames() {
  std::vector<std::string_view> names;
  for (const builtins::TEntry& entry : builtins::kTable) names.emplace_back(entry.Name);
  return names;
}

}  // namespace tracemill
