#include "script/uBuiltin.h"

#include <chrono>
#include <ctime>

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

double TScriptServices::Now() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  const double day = EncodeDateValue(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const double time = (local.tm_hour * 3600000.0 + local.tm_min * 60000.0 + local.tm_sec * 1000.0 +
                       static_cast<double>(ms)) / 86400000.0;
  return day + time;
}

std::vector<std::string> TScriptServices::CommandLine() { return {"tracemill"}; }

TScriptServices& DefaultScriptServices() {
  static TScriptServices services;
  return services;
}

}  // namespace tracemill
