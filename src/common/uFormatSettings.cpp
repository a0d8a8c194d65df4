#include "common/uFormatSettings.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <string>

namespace tracemill {

namespace {

std::string LocaleName(const char* category) {
  for (const char* var : {"LC_ALL", category, "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "C";
}

// Turns a C library date picture ("%d.%m.%Y") into the picture codes the
// program uses ("dd.mm.yyyy"); unknown conversions are dropped.
std::string DatePicture(const char* fmt, char& separator) {
  std::string out;
  for (const char* p = fmt; *p; ++p) {
    if (*p != '%') {
      out += *p;
      if (*p == '/' || *p == '.' || *p == '-') separator = *p;
      continue;
    }
    switch (*++p) {
      case 'd': case 'e': out += "dd"; break;
      case 'm': out += "mm"; break;
      case 'Y': out += "yyyy"; break;
      case 'y': out += "yy"; break;
      case '\0': return out;
      default: break;
    }
  }
  return out;
}

}  // namespace

TFormatSettings TFormatSettings::FromSystemLocale() {
  TFormatSettings fs;
  locale_t numeric = newlocale(LC_ALL_MASK, LocaleName("LC_NUMERIC").c_str(), static_cast<locale_t>(0));
  if (numeric) {
    const char* dp = nl_langinfo_l(RADIXCHAR, numeric);
    const char* ts = nl_langinfo_l(THOUSEP, numeric);
    if (dp && dp[0] && !dp[1]) fs.DecimalSeparator = dp[0];
    if (ts && ts[0] && !ts[1]) fs.ThousandSeparator = ts[0];
    if (fs.ThousandSeparator == fs.DecimalSeparator)
      fs.ThousandSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
    freelocale(numeric);
  }
  locale_t time = newlocale(LC_ALL_MASK, LocaleName("LC_TIME").c_str(), static_cast<locale_t>(0));
  if (time) {
    const char* d = nl_langinfo_l(D_FMT, time);
    const std::string name = LocaleName("LC_TIME");
    if (d && *d && name != "C" && name != "POSIX") {
      char separator = fs.DateSeparator;
      const std::string picture = DatePicture(d, separator);
      if (!picture.empty()) {
        fs.ShortDateFormat = picture;
        fs.DateSeparator = separator;
      }
    }
    freelocale(time);
  }
  return fs;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

}  // namespace tracemill
