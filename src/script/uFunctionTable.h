#pragma once
// Internals of the built-in library shared by its family files: the argument
// reader, the handler signatures and the handlers themselves. The one table
// that names them (with their calling pattern and minimum argument count)
// lives in uFunction.cpp.

#include <cstdint>
#include <string>

#include "script/uBuiltin.h"
#include "script/uVariable.h"

namespace tracemill::builtins {

// Thrown by a handler whose arguments do not fit (a negative count, a result
// too large to build): the call reports failure.
struct CallRejected {};

// Results above this many bytes are refused rather than built.
constexpr std::size_t kMaxResultBytes = std::size_t(256) << 20;

// The arguments of a positional call: argument 1 is element 0.
class TArgs {
 public:
  explicit TArgs(const TValue& arguments, TBuiltinContext& context);
  std::size_t Count() const { return count_; }
  const TValue& operator[](std::size_t i) const { return list_ ? (*list_)[i] : *single_; }
  std::int32_t Int(std::size_t i) const { return (*this)[i].ToInteger(context_.Format()); }
  double Dbl(std::size_t i) const { return (*this)[i].ToDouble(context_.Format()); }
  bool Bool(std::size_t i) const { return (*this)[i].ToBoolean(context_.Format()); }
  double Date(std::size_t i) const { return (*this)[i].ToDate(context_.Format()); }
  std::string Str(std::size_t i) const { return (*this)[i].ToString(context_.Format()); }
  TBuiltinContext& Context() const { return context_; }

 private:
  const TValue* list_ = nullptr;
  const TValue* single_ = nullptr;
  std::size_t count_ = 0;
  TBuiltinContext& context_;
};

// An element-wise handler: one argument value, one result.
using TElementHandler = TValue (*)(TBuiltinContext& context, const TValue& argument);
// A positional handler: the result (a single value is wrapped in a
// one-element list by the caller; a list is returned as it is).
using TPositionalHandler = TValue (*)(const TArgs& args);
// A numeric element-wise function: Double in, Double out. A result that is
// not a finite number is an invalid floating-point operation.
using TNumericHandler = double (*)(double x);

// Helpers for the family files.
std::string Text(TBuiltinContext& context, const TValue& value);
// An integral result: Integer when it fits 32 bits, else the Double.
TValue Integral(double value);
// Throws InvalidFloatOperation unless the value is a finite number.
double Finite(double value);

// --- strings and values (uFunctionString.cpp)
TValue Trim(TBuiltinContext&, const TValue&);
TValue TrimLeft(TBuiltinContext&, const TValue&);
TValue TrimRight(TBuiltinContext&, const TValue&);
TValue UpperCase(TBuiltinContext&, const TValue&);
TValue LowerCase(TBuiltinContext&, const TValue&);
TValue QuotedStr(TBuiltinContext&, const TValue&);
TValue IntToStr(TBuiltinContext&, const TValue&);
TValue FloatToStr(TBuiltinContext&, const TValue&);
TValue IntToHex(TBuiltinContext&, const TValue&);
TValue Chr(TBuiltinContext&, const TValue&);
TValue Code(TBuiltinContext&, const TValue&);
TValue CodeB(TBuiltinContext&, const TValue&);
TValue Length(TBuiltinContext&, const TValue&);
TValue LengthB(TBuiltinContext&, const TValue&);
TValue StrToInt(TBuiltinContext&, const TValue&);
TValue StrToFloat(TBuiltinContext&, const TValue&);
TValue TypeCodeOf(TBuiltinContext&, const TValue&);
TValue TypeStringOf(TBuiltinContext&, const TValue&);
TValue Copy(const TArgs&);
TValue CopyB(const TArgs&);
TValue Left(const TArgs&);
TValue LeftB(const TArgs&);
TValue Right(const TArgs&);
TValue RightB(const TArgs&);
TValue Pos(const TArgs&);
TValue PosB(const TArgs&);
TValue InStr(const TArgs&);
TValue InStrB(const TArgs&);
TValue LastDelimiter(const TArgs&);
TValue StringRepeat(const TArgs&);
TValue IntToHexN(const TArgs&);
TValue FormatFloat(const TArgs&);

// --- dates and the clock (uFunctionDate.cpp)
TValue DateToStr(TBuiltinContext&, const TValue&);
TValue DateYear(TBuiltinContext&, const TValue&);
TValue DateMonth(TBuiltinContext&, const TValue&);
TValue DateDay(TBuiltinContext&, const TValue&);
TValue TimeHour(TBuiltinContext&, const TValue&);
TValue TimeMinute(TBuiltinContext&, const TValue&);
TValue TimeSecond(TBuiltinContext&, const TValue&);
TValue TimeMillisecond(TBuiltinContext&, const TValue&);
TValue DayOfWeek(TBuiltinContext&, const TValue&);
TValue DayStringOfWeek(TBuiltinContext&, const TValue&);
TValue Now(TBuiltinContext&, const TValue&);
TValue Today(TBuiltinContext&, const TValue&);
TValue Time(TBuiltinContext&, const TValue&);
TValue FormatDateTime(const TArgs&);
TValue EncodeDate(const TArgs&);
TValue EncodeTime(const TArgs&);
TValue DecodeDate(const TArgs&);
TValue DecodeTime(const TArgs&);
TValue IncMonth(const TArgs&);

// --- mathematics (uFunctionMath.cpp)
TValue Int(TBuiltinContext&, const TValue&);
TValue Floor(TBuiltinContext&, const TValue&);
TValue Round(TBuiltinContext&, const TValue&);
TValue RoundBankers(TBuiltinContext&, const TValue&);
TValue Random(TBuiltinContext&, const TValue&);
TValue True(TBuiltinContext&, const TValue&);
TValue False(TBuiltinContext&, const TValue&);
TValue ArcTan2(const TArgs&);
TValue LogN(const TArgs&);
TValue Power(const TArgs&);
TValue RandomGauss(const TArgs&);
TValue Randomize(const TArgs&);
TValue Max(const TArgs&);
TValue Min(const TArgs&);
TValue Sum(const TArgs&);
TValue Mean(const TArgs&);

// --- files, folders, environment (uFunctionFile.cpp)
TValue FileExists(TBuiltinContext&, const TValue&);
TValue DirectoryExists(TBuiltinContext&, const TValue&);
TValue DeleteFile(TBuiltinContext&, const TValue&);
TValue CreateDir(TBuiltinContext&, const TValue&);
TValue RemoveDir(TBuiltinContext&, const TValue&);
TValue ForceDirectories(TBuiltinContext&, const TValue&);
TValue SetCurrentDir(TBuiltinContext&, const TValue&);
TValue FileAttribute(TBuiltinContext&, const TValue&);
TValue FileSize(TBuiltinContext&, const TValue&);
TValue FileUpdatedDateTime(TBuiltinContext&, const TValue&);
TValue ExpandFileName(TBuiltinContext&, const TValue&);
TValue ExtractFileDir(TBuiltinContext&, const TValue&);
TValue ExtractFilePath(TBuiltinContext&, const TValue&);
TValue ExtractFileDrive(TBuiltinContext&, const TValue&);
TValue ExtractFileName(TBuiltinContext&, const TValue&);
TValue ExtractFileExt(TBuiltinContext&, const TValue&);
TValue CurrentDir(TBuiltinContext&, const TValue&);
TValue CurrentDirOfDrive(TBuiltinContext&, const TValue&);
TValue Environment(TBuiltinContext&, const TValue&);
TValue ParamStr(TBuiltinContext&, const TValue&);
TValue ParamCount(TBuiltinContext&, const TValue&);
TValue ColorToRGB(TBuiltinContext&, const TValue&);
TValue MatchesMask(const TArgs&);
TValue RenameFile(const TArgs&);
TValue FileSetAttribute(const TArgs&);
TValue MessageBox(const TArgs&);
TValue InputBox(const TArgs&);
TValue Shell(const TArgs&);
TValue SelectDirectory(const TArgs&);
TValue Files(const TArgs&);
TValue Directories(const TArgs&);
TValue Drives(const TArgs&);

}  // namespace tracemill::builtins
