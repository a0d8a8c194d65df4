#pragma once
// What the parts of the interpreter (uCalc.cpp: program and statements,
// uCalcExpression.cpp: expressions, uCalcCall.cpp: calls) share: their
// run-time messages and the guard against running out of stack.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tracemill::calc_detail {

// Run-time messages.
constexpr const char* kInvalidExpression = "Invalid expression: ";
constexpr const char* kInvalidString = "Invalid string: ";
constexpr const char* kInvalidCall = "Invalid function call: ";
constexpr const char* kNoSuchFunction = "No such function: ";
constexpr const char* kConvertError = "Convert error: ";
constexpr const char* kInvalidOperation = "Invalid operation: ";
constexpr const char* kStringListError = "String list error: ";
constexpr const char* kVariantError = "Variant error: ";
constexpr const char* kFunctionRuntimeError = "Function runtime error: ";
constexpr const char* kDivisionByZero = "Division by zero: ";
constexpr const char* kOverflow = "Overflow: ";
constexpr const char* kTooDeep = "Nesting too deep: ";
constexpr const char* kOutOfMemory = "Out of memory: ";
constexpr const char* kStepLimit = "Step limit reached";
constexpr const char* kBudgetExceeded = "Memory budget exceeded: ";

// The lowest frame address this thread may reach before evaluation stops:
// the stack's low end plus a reserve (0 when unknown or not yet known).
inline thread_local std::uintptr_t tStackLimit = 0;

// Finds this thread's stack limit once.
void InitStackLimit();

inline bool StackExhausted() {
  return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) < tStackLimit;
}

inline std::string Joined(std::string_view a, std::string_view b) {
  std::string s;
  s.reserve(a.size() + b.size());
  s.append(a);
  s.append(b);
  return s;
}

}  // namespace tracemill::calc_detail
