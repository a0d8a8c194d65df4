#include "script/uScriptEnvironment.h"

#include <filesystem>

#include "common/uDateTime.h"
#include "common/uFilename.h"
#include "script/uFunction.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

// The shell's answers: above 32 when it started something.
constexpr int kShellStarted = 33;
constexpr int kShellFileNotFound = 2;

// Parameters split at blanks; double quotes group blanks into one parameter.
std::vector<std::string> SplitParameters(const std::string& text) {
  std::vector<std::string> parts;
  std::string current;
  bool quoted = false;
  bool inPart = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inPart = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inPart) parts.push_back(current);
      current.clear();
      inPart = false;
    } else {
      current += c;
      inPart = true;
    }
  }
  if (inPart) parts.push_back(current);
  return parts;
}

TShellService& ProcessShell() {
  static TProcessShellService shell;
  return shell;
}

}  // namespace

TScriptServices::TScriptServices(TMessageService* messages, TShellService* shell)
    : messages_(messages), shell_(shell) {}

int TScriptServices::MessageBox(const std::string& text, const std::string& caption, int flags) {
  static TQuietMessageService quiet;
  TMessage message;
  message.Caption = caption;
  message.Text = text;
  message.Buttons = static_cast<TMessageButtons>(flags & 0x0F);
  message.Icon = static_cast<TMessageIcon>(flags & 0xF0);
  message.DefaultButton = (flags >> 8) & 0x0F;
  return static_cast<int>((messages_ ? *messages_ : quiet).ShowMessage(message));
}

std::string TScriptServices::InputBox(const std::string&, const std::string&, const std::string& defaultText) {
  return defaultText;
}

std::string TScriptServices::SelectDirectory(const std::string& folder, bool) { return folder; }

// An executable file runs as a program with the parameters; any other file
// or folder opens with the desktop's application for it; a bare name that is
// no file here is looked up as a program in PATH.
int TScriptServices::Shell(const std::string& file, const std::string& parameters, const std::string& folder) {
  TShellService& shell = shell_ ? *shell_ : ProcessShell();
  if (file.empty() || file.find('\0') != std::string::npos) return kShellFileNotFound;
  if (!folder.empty() && !DirectoryExists(folder)) return kShellFileNotFound;
  // The file as the program will name it (relative to the folder it runs in)
  // and where it lies from here.
  const std::string named = file.find('/') == std::string::npos ? "./" + file : file;
  const std::string located = file[0] == '/' || folder.empty() ? named : IncludeTrailingSlash(folder) + named;
  std::error_code error;
  bool started = false;
  if (!FindProgram(located).empty()) {
    started = shell.RunProgram(named, SplitParameters(parameters), folder);
  } else if (std::filesystem::exists(located, error)) {
    const std::filesystem::path absolute = std::filesystem::absolute(located, error).lexically_normal();
    started = shell.OpenFile(error ? located : absolute.string(), "");
  } else if (named == file || FindProgram(file).empty()) {
    return kShellFileNotFound;
  } else {
    started = shell.RunProgram(file, SplitParameters(parameters), folder);
  }
  return started ? kShellStarted : kShellFileNotFound;
}

std::uint32_t TScriptServices::ColorToRGB(std::uint32_t color) { return DefaultSystemColor(color); }

double TScriptServices::Now() { return NowLocal(); }

std::vector<std::string> TScriptServices::CommandLine() { return {"tracemill"}; }

TScriptServices& DefaultScriptServices() {
  static TScriptServices services;
  return services;
}

TScriptEnvironment TScriptEnvironment::FromProcess() {
  TScriptEnvironment environment;
  environment.Format = FormatSettings();
  environment.Japanese = IsJapanese();
  return environment;
}

}  // namespace tracemill
