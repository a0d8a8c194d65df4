#include "settings/uEnvironment.h"

#include <cstdlib>
#include <optional>

#include "common/uFileIO.h"
#include "common/uStrC.h"

namespace tracemill {

namespace {

constexpr std::string_view kJapaneseSwitch = "/JAPANESE";
constexpr std::string_view kEnglishSwitch = "/ENGLISH";

struct TLanguageState {
  std::optional<bool> japanese;
  std::optional<std::vector<std::string>> arguments;
};

TLanguageState& State() {
  static TLanguageState state;
  return state;
}

// The arguments of this process as the kernel keeps them (NUL-separated).
std::vector<std::string> ProcessArguments() {
  std::vector<std::string> result;
  std::string bytes;
  try {
    bytes = ReadFileBytes("/proc/self/cmdline", std::size_t(1) << 20);
  } catch (const std::exception&) {
    return result;
  }
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\0', start);
    if (end == std::string::npos) end = bytes.size();
    result.emplace_back(bytes, start, end - start);
    start = end + 1;
  }
  return result;
}

bool HasSwitch(const std::vector<std::string>& arguments, std::string_view name) {
  for (const auto& a : arguments)
    if (UpperCaseAscii(a) == name) return true;
  return false;
}

}  // namespace

bool IsLanguageSwitch(std::string_view argument) {
  const std::string upper = UpperCaseAscii(argument);
  return upper == kJapaneseSwitch || upper == kEnglishSwitch;
}

bool DecideJapanese(const std::vector<std::string>& arguments, const char* lcAll,
                    const char* lcMessages, const char* lang) {
  if (HasSwitch(arguments, kJapaneseSwitch)) return true;
  if (HasSwitch(arguments, kEnglishSwitch)) return false;
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).substr(0, 2) == "ja";
  }
  return false;
}

bool IsJapanese() {
  auto& state = State();
  if (!state.japanese) {
    const std::vector<std::string> arguments =
        state.arguments ? *state.arguments : ProcessArguments();
    state.japanese = DecideJapanese(arguments, std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                                    std::getenv("LANG"));
  }
  return *state.japanese;
}

void SetCommandLine(std::vector<std::string> arguments) { State().arguments = std::move(arguments); }

void SetCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i] ? argv[i] : "");
  SetCommandLine(std::move(arguments));
}

void SetJapanese(bool japanese) { State().japanese = japanese; }

void ResetLanguage() {
  State().japanese.reset();
  State().arguments.reset();
}

}  // namespace tracemill
