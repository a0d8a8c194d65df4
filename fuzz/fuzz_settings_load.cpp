// The settings store both ways.
// Reading: arbitrary bytes as a settings file: loading never fails, every read
// gives a value or its default, and saving then loading again gives the same
// entries (and the same file once more).
// Writing: the same bytes as a series of writes of any kind under arbitrary
// key paths: the saved file is UTF-8 and loads back to the same entries.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/uError.h"
#include "common/uStrC.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"

using namespace tracemill;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "settings round trip: %s\n", what);
    std::abort();
  }
}

void ReadEverything(const TIniFile& ini) {
  for (int i = 0; i < ini.Count(); ++i) {
    const std::string path = ini.Entry(i).KeyPath;
    (void)ini.ReadValue("", path, TIniValue{});
    (void)ini.ReadValue("", path, true);
    (void)ini.ReadValue("", path, std::int32_t(-1));
    (void)ini.ReadValue("", path, 0.5);
    (void)ini.ReadValue("", path, TIniDateTime{});
    (void)ini.ReadValue("", path, "default");
    const std::size_t cut = path.rfind('\\');
    const std::string section = cut == std::string::npos ? std::string() : path.substr(0, cut);
    TFontRecord font;
    ini.ReadFont(section, font);
    TWindowPlacement window;
    window.Width = 640;
    window.Height = 480;
    ini.ReadPlacement(window, section, 1920, 1080);
    Check(window.Left >= 0 && window.Top >= 0, "placement left the screen");
  }
}

// Saves the store and loads the file into a new one, which must hold the same
// entries in the same (file) order, reading the same values.
TIniFile SavedAndLoaded(TIniFile& ini) {
  const std::string saved = ini.SaveToText();
  Check(IsValidUtf8(saved), "saved file is not UTF-8");
  TIniFile again("unused.ini");
  again.LoadFromText(saved);
  Check(again.Count() == ini.Count(), "entry count changed");
  for (int i = 0; i < ini.Count(); ++i) {
    const TIniEntry& a = ini.Entry(i);
    const TIniEntry& b = again.Entry(i);
    Check(a.UpperKeyPath == b.UpperKeyPath, "key path changed");
    Check(a.Kind == b.Kind, "kind changed");
    Check(a.Text == b.Text, "value text changed");
    Check(ini.ReadValue("", a.KeyPath, TIniValue{}) == again.ReadValue("", a.KeyPath, TIniValue{}),
          "value read back differs");
  }
  return again;
}

void ReadSide(std::string_view bytes) {
  TIniFile first("unused.ini");
  first.LoadFromText(bytes);
  ReadEverything(first);
  TIniFile second = SavedAndLoaded(first);
  Check(second.SaveToText() == first.SaveToText(), "second save differs");
}

TIniValue AnyValue(FuzzedDataProvider& input) {
  switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0: return input.ConsumeBool();
    case 1: return input.ConsumeIntegral<std::int32_t>();
    case 2: return input.ConsumeFloatingPoint<double>();
    case 3: {
      TIniDateTime d;
      d.Year = input.ConsumeIntegralInRange(-1, 10000);
      d.Month = input.ConsumeIntegralInRange(0, 13);
      d.Day = input.ConsumeIntegralInRange(0, 32);
      d.Hour = input.ConsumeIntegralInRange(0, 24);
      d.Minute = input.ConsumeIntegralInRange(0, 60);
      d.Second = input.ConsumeIntegralInRange(0, 60);
      return d;
    }
    case 4: return input.ConsumeRandomLengthString(128);
    default: return TIniValue{};  // deletes
  }
}

void WriteSide(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  TIniFile written("unused.ini");
  while (input.remaining_bytes() > 0) {
    const std::string section = input.ConsumeRandomLengthString(64);
    const std::string key = input.ConsumeRandomLengthString(32);
    const TIniValue value = AnyValue(input);
    try {
      written.WriteValue(section, key, value);
    } catch (const InvalidOperation&) {
      // a path beyond the file's limits is refused, and nothing is stored
      Check(!written.ValueExists(section, key), "a refused path was stored");
    }
  }
  SavedAndLoaded(written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetJapanese(size % 2 == 0);
  ReadSide(std::string_view(reinterpret_cast<const char*>(data), size));
  WriteSide(data, size);
  return 0;
}
