#include "script/uScriptEnvironment.h"

#include "common/uDateTime.h"
#include "script/uFunction.h"
#include "settings/uEnvironment.h"

namespace tracemill {

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

int TScriptServices::Shell(const std::string& file, const std::string& parameters, const std::string& folder) {
  return RunProgramDetached(file, parameters, folder);
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
