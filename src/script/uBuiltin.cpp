#include "script/uBuiltin.h"

#include "common/uDateTime.h"

namespace tracemill {

int TScriptServices::MessageBox(const std::string&, const std::string&, int flags) {
  // The buttons of each MB_ type, as IDOK = 1, IDCANCEL = 2, IDABORT = 3,
  // IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7; MB_DEFBUTTONn picks one.
  static const int kButtons[6][3] = {{1, 0, 0}, {1, 2, 0}, {3, 4, 5}, {6, 7, 2}, {6, 7, 0}, {4, 2, 0}};
  static const int kCount[6] = {1, 2, 3, 3, 2, 2};
  const int type = flags & 0x0F;
  if (type > 5) return 1;
  int def = (flags >> 8) & 0x0F;
  if (def >= kCount[type]) def = 0;
  return kButtons[type][def];
}

std::string TScriptServices::InputBox(const std::string&, const std::string&, const std::string& defaultText) {
  return defaultText;
}

std::string TScriptServices::SelectDirectory(const std::string& folder, bool) { return folder; }

int TScriptServices::Shell(const std::string&, const std::string&, const std::string&) { return 0; }

std::uint32_t TScriptServices::ColorToRGB(std::uint32_t color) { return color & 0x7FFFFFFFu; }

double TScriptServices::Now() { return NowLocal(); }

std::vector<std::string> TScriptServices::CommandLine() { return {"tracemill"}; }

TScriptServices& DefaultScriptServices() {
  static TScriptServices services;
  return services;
}

}  // namespace tracemill
