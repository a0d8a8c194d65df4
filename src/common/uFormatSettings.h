#pragma once
// The locale facts that number and date texts need. Filled once at start from
// the system locale (FromSystemLocale); tests set fields explicitly. Parsing
// and formatting never consult the C locale.

#include <string>

namespace tracemill {

struct TFormatSettings {
  char DecimalSeparator = '.';
  char ThousandSeparator = ',';
  char DateSeparator = '/';
  char TimeSeparator = ':';
  std::string ShortDateFormat = "yyyy/mm/dd";
  std::string LongTimeFormat = "hh:nn:ss";
  std::string TimeAMString = "AM";
  std::string TimePMString = "PM";

  // Reads LC_ALL / LC_NUMERIC / LC_TIME / LANG through the C library's
  // locale database without changing the process locale.
  static TFormatSettings FromSystemLocale();
};

// The record the program uses; starts with the defaults above.
TFormatSettings& FormatSettings();

}  // namespace tracemill
