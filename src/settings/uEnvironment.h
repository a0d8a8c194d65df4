#pragma once
// The interface language: the whole user interface is either Japanese or
// English, decided at the first call of IsJapanese and fixed for the run.

#include <string>
#include <string_view>
#include <vector>

namespace tracemill {

// True for the Japanese interface. The first call decides: an argument
// "/JAPANESE" (any letter case) gives Japanese, else "/ENGLISH" gives English,
// else the system language (the first of LC_ALL, LC_MESSAGES, LANG that is set
// and not empty starts with "ja"). The arguments are those given to
// SetCommandLine, or the process's own command line when none were given.
bool IsJapanese();

// Hands over the program's arguments (argv[0] first); call before the first
// IsJapanese. Later calls do not change a decision already made.
void SetCommandLine(std::vector<std::string> arguments);
void SetCommandLine(int argc, const char* const* argv);

// Fixes the language (tests, and callers that decide it themselves).
void SetJapanese(bool japanese);
// Forgets the decision and any arguments given, so the next IsJapanese decides
// again (tests).
void ResetLanguage();

// The decision itself, without side effects. Null environment values count as unset.
bool DecideJapanese(const std::vector<std::string>& arguments, const char* lcAll,
                    const char* lcMessages, const char* lang);

// True for "/JAPANESE" and "/ENGLISH" in any letter case: arguments that are
// language switches, not file names.
bool IsLanguageSwitch(std::string_view argument);

}  // namespace tracemill
