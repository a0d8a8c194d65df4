#include "app/uReport.h"

#include <algorithm>
#include <array>

#include "common/uNumber.h"
#include "common/uStrC.h"
#include "script/uCalc.h"
#include "script/uVariable.h"

namespace tracemill {

namespace {

// The pass count that loops without MAX never fall below.
constexpr int kMinimumPasses = 100;

// The functions the report offers to its program, looked up by the name
// written in the call (blanks and control characters at both ends removed,
// any letter case).
class TReportHost {
 public:
  TReportHost(TCalc& calc, TBaseMeasuredList& data, const TBenchSource& benches, std::size_t outputLimit)
      : calc_(calc), data_(data), benches_(benches), outputLimit_(outputLimit) {}

  bool Call(const std::string& name, const TValue& arguments, TValue& result, bool& handled) {
    const THandler handler = Find(name);
    if (!handler) return false;
    handled = true;
    return (this->*handler)(arguments, result);
  }

  std::vector<std::string>& Lines() { return lines_; }

 private:
  using THandler = bool (TReportHost::*)(const TValue& arguments, TValue& result);
  struct TEntry {
    std::string_view Name;
    THandler Handler;
  };
  static constexpr std::size_t kLongestName = 16;  // FILENAMEOFWINDOW
  static THandler Find(std::string_view name) {
    const std::string_view trimmed = TrimmedView(name);
    if (trimmed.empty() || trimmed.size() > kLongestName) return nullptr;
    std::array<char, kLongestName> upper{};
    for (std::size_t i = 0; i < trimmed.size(); ++i) {
      const char c = trimmed[i];
      upper[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    const std::string_view key(upper.data(), trimmed.size());
    static constexpr std::array<TEntry, 11> kFunctions{{
        {"DATACOUNT", &TReportHost::DataCount},
        {"POINTCOUNT", &TReportHost::PointCount},
        {"POINTSID", &TReportHost::PointsID},
        {"WINDOWID", &TReportHost::WindowID},
        {"TITLE", &TReportHost::Title},
        {"COMMENT", &TReportHost::Comment},
        {"X", &TReportHost::X},
        {"Y", &TReportHost::Y},
        {"FILENAMEOFWINDOW", &TReportHost::FileNameOfWindow},
        {"PRINT", &TReportHost::Print},
        {"SORT", &TReportHost::Sort},
    }};
    for (const TEntry& entry : kFunctions)
      if (entry.Name == key) return entry.Handler;
    return nullptr;
  }

  const TFormatSettings& Format() const { return calc_.Environment().Format; }

  // Argument k as an integer: the list's element k (the value itself for
  // k = 0 when it is no list); a missing argument and the empty value give 0.
  std::int32_t Index(const TValue& arguments, std::size_t k) const {
    if (!arguments.IsList()) return k == 0 ? arguments.ToInteger(Format()) : 0;
    return k < arguments.Count() ? arguments[k].ToInteger(Format()) : 0;
  }

  // Line i of the data, or nullptr when i is outside it.
  const TBaseMeasuredPoints* Line(std::int32_t i) const {
    if (i < 0 || i >= data_.Count()) return nullptr;
    static const TBaseMeasuredPoints kEmpty;
    const TBaseMeasuredPoints* line = data_.Item(i);
    return line ? line : &kEmpty;
  }

  bool DataCount(const TValue&, TValue& result) {
    result = TValue::Integer(data_.Count());
    return true;
  }

  template <typename Field>
  bool LineField(const TValue& arguments, TValue& result, Field field) {
    const TBaseMeasuredPoints* line = Line(Index(arguments, 0));
    if (!line) return false;
    result = field(*line);
    return true;
  }
  bool PointCount(const TValue& a, TValue& r) {
    return LineField(a, r, [](const TBaseMeasuredPoints& l) { return TValue::Integer(l.Count()); });
  }
  bool PointsID(const TValue& a, TValue& r) {
    return LineField(a, r, [](const TBaseMeasuredPoints& l) { return TValue::Integer(l.PointsID); });
  }
  bool WindowID(const TValue& a, TValue& r) {
    return LineField(a, r, [](const TBaseMeasuredPoints& l) { return TValue::Integer(l.WindowID); });
  }
  bool Title(const TValue& a, TValue& r) {
    return LineField(a, r, [](const TBaseMeasuredPoints& l) { return TValue::String(l.Title); });
  }
  bool Comment(const TValue& a, TValue& r) {
    return LineField(a, r, [](const TBaseMeasuredPoints& l) { return TValue::String(l.Comment); });
  }

  // Point j of line i, from a list of at least two arguments.
  const TBaseMeasuredPoint* Point(const TValue& arguments) const {
    if (!arguments.IsList() || arguments.Count() < 2) return nullptr;
    const TBaseMeasuredPoints* line = Line(Index(arguments, 0));
    return line ? line->Item(Index(arguments, 1)) : nullptr;
  }
  bool X(const TValue& arguments, TValue& result) {
    const TBaseMeasuredPoint* p = Point(arguments);
    if (p) result = TValue::Double(p->X);
    return p != nullptr;
  }
  bool Y(const TValue& arguments, TValue& result) {
    const TBaseMeasuredPoint* p = Point(arguments);
    if (p) result = TValue::Double(p->Y);
    return p != nullptr;
  }

  bool FileNameOfWindow(const TValue& arguments, TValue& result) {
    const std::int32_t w = Index(arguments, 0);
    if (w < 0 || w >= benches_.BenchCount()) return false;
    const std::optional<std::string> path = benches_.BenchFileName(w);
    if (!path) return false;
    result = TValue::String(*path);
    return true;
  }

  bool Print(const TValue& arguments, TValue&) {
    std::string line = arguments.ConcatenatedText(Format());
    output_ += line.size() + 2;
    if (output_ > outputLimit_) {
      calc_.SetError("The report is larger than " + IntToStr(static_cast<std::int64_t>(outputLimit_)) +
                     " bytes.");
      return false;
    }
    lines_.push_back(std::move(line));
    return true;
  }

  bool Sort(const TValue& arguments, TValue&) {
    const bool list = arguments.IsList();
    const std::string key = list ? (arguments.Count() > 0 ? arguments[0].ToString(Format()) : std::string())
                                 : arguments.ToString(Format());
    const bool reverse = list && arguments.Count() >= 2 && UpperCaseAscii(arguments[1].ToString(Format())) == "TRUE";
    SortMeasuredList(data_, key, reverse);
    return true;
  }

  TCalc& calc_;
  TBaseMeasuredList& data_;
  const TBenchSource& benches_;
  std::size_t outputLimit_;
  std::size_t output_ = 0;
  std::vector<std::string> lines_;
};

// The default pass count of loops: enough to walk every line and every
// point of the data.
int PassesFor(const TBaseMeasuredList& data) {
  int passes = std::max(kMinimumPasses, data.Count());
  for (int i = 0; i < data.Count(); ++i)
    if (const TBaseMeasuredPoints* line = data.Item(i)) passes = std::max(passes, line->Count());
  return passes;
}

TReportResult Run(std::string_view program, const TReportData& data, const TReportOptions& options) {
  TReportResult result;
  TVariableSet variables;  // outlives the interpreter that uses it
  TCalc calc(options.Environment);
  if (options.Builtins) calc.SetBuiltins(options.Builtins);
  calc.SetStepLimit(options.StepLimit);
  calc.SetVariables(&variables);
  calc.SetMaxLoopCount(PassesFor(data.Data));
  calc.SetProgram(program);
  if (calc.HasError()) {
    result.Status = TReportStatus::StructureError;
    result.Lines = {std::string(kProgramStructureError), calc.ErrorMessage()};
    return result;
  }
  TReportHost host(calc, data.Data, data.Benches, options.Environment.MemoryBudget);
  calc.SetHostFunction([&host](const std::string& name, const TValue& arguments, TValue& value, bool& handled) {
    return host.Call(name, arguments, value, handled);
  });
  calc.Reset();
  calc.Run();
  result.Lines = std::move(host.Lines());
  if (calc.HasError()) {
    result.Status = TReportStatus::RunError;
    result.Lines.emplace_back();
    result.Lines.push_back(std::string(kProgramErrorOnLine) + IntToStr(calc.NextLine()));
    result.Lines.push_back(calc.ErrorMessage());
  }
  return result;
}

}  // namespace

TReportResult RunReport(std::string_view program, const TReportData& data, const TReportOptions& options) {
  TReportResult result;
  try {
    result = Run(program, data, options);
  } catch (...) {
    // SORT may have reordered the data; the list relies on its order.
    SortMeasuredList(data.Data, data.SortItem, data.SortReverse);
    throw;
  }
  SortMeasuredList(data.Data, data.SortItem, data.SortReverse);
  return result;
}

TReportFile SaveReport(const std::string& folder, std::string_view program, const TReportData& data,
                       const TReportOptions& options) {
  TReportResult result = RunReport(program, data, options);
  TReportFile file;
  file.Status = result.Status;
  file.Path = SaveReportFile(folder, kReportFileName, result.Lines);
  return file;
}

}  // namespace tracemill
