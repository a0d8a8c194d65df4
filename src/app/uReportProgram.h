#pragma once
// The programmable report's built-in program, used while the settings hold
// no program text of the user's.

namespace tracemill {

// For each collected line: title, ":", the points as "(X, Y)" joined by "-",
// ":" and the comment. Eleven lines, each ended by CR LF.
extern const char* const kDefaultReportProgram;

}  // namespace tracemill
