// Arbitrary bytes as a settings file: loading never fails, every read gives a
// value or its default, and saving then loading again gives the same entries
// (and the same file once more).

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetJapanese(size % 2 == 0);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TIniFile first("unused.ini");
  first.LoadFromText(bytes);
  ReadEverything(first);
  const std::string saved = first.SaveToText();
  Check(IsValidUtf8(saved), "saved file is not UTF-8");

  TIniFile second("unused.ini");
  second.LoadFromText(saved);
  Check(second.Count() == first.Count(), "entry count changed");
  for (int i = 0; i < first.Count(); ++i) {
    const TIniEntry& a = first.Entry(i);
    const TIniEntry& b = second.Entry(i);
    Check(a.UpperKeyPath == b.UpperKeyPath, "key path changed");
    Check(a.Kind == b.Kind, "kind changed");
    Check(a.Text == b.Text, "value text changed");
  }
  Check(second.SaveToText() == saved, "second save differs");
  return 0;
}
