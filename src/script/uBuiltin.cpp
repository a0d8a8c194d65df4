#include "script/uBuiltin.h"

#include "common/uDateTime.h"
#include "script/uFunction.h"

namespace tracemill {

int TScriptServices::MessageBox(const std::string&, const std::string&, int flags) {
  // The buttons of each MB_ type, as IDOK = 1, IDCANCEL = 2, IDABORT = 3,
  // IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7; MB_DEFBUTTONn picks one.
  // IDTRYAGAIN = 10, IDCONTINUE = 11 for MB_CANCELTRYCONTINUE (6).
  static const int kButtons[7][3] = {{1, 0, 0}, {1, 2, 0}, {3, 4, 5}, {6, 7, 2}, {6, 7, 0}, {4, 2, 0}, {2, 10, 11}};
  static const int kCount[7] = {1, 2, 3, 3, 2, 2, 3};
  const int type = flags & 0x0F;
  if (type > 6) return 1;
  int def = (flags >> 8) & 0x0F;
  if (def >= kCount[type]) def = 0;
  return kButtons[type][def];
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

}  // namespace tracemill
