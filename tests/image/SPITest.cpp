// The plug-in table, the file-type table, the choice of a loader and the
// decoding through plug-ins, with the fake plug-ins of tests/image/fakes.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "BmpFiles.h"
#include "TestImages.h"
#include "common/uError.h"
#include "image/uBitmap.h"
#include "image/uBmp.h"
#include "image/uSPI.h"

namespace fs = std::filesystem;
using namespace tracemill;
using Rows = std::vector<std::string>;
using tracemill::testing::Filled;

namespace {

// A temporary folder for plug-ins and files.
struct PluginFolder : tracemill::testing::TempFolder {
  // Copies a fake plug-in into the folder or its subfolder sub; returns the copy's path.
  std::string Add(const std::string& fake, const std::string& sub = "", const std::string& as = "") const {
    const std::string to = (sub.empty() ? Dir() : Sub(sub)) + (as.empty() ? fake + ".spi" : as);
    fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / (fake + ".spi"), to);
    return to;
  }
};

const TImageLimits& kLimits = tracemill::testing::kTestLimits;

void Load(TPluginTable& table, const std::vector<std::string>& folders) {
  table.LoadPlugins(folders);
  table.BuildFilterTable();
}

// The plug-in table, "path version" per plug-in.
Rows Plugins(const TPluginTable& table) {
  Rows rows;
  for (int i = 0; i < table.PluginCount(); ++i) rows.push_back(table.PluginPath(i) + " " + table.PluginApiVersion(i));
  return rows;
}

// The file-type table, "description|patterns|owner" per entry.
Rows Filters(const TPluginTable& table) {
  Rows rows;
  for (int i = 0; i < table.FilterCount(); ++i)
    rows.push_back(table.FilterDescription(i) + "|" + table.FilterPatterns(i) + "|" +
                   std::to_string(table.FilterOwner(i)));
  return rows;
}

// What a fake plug-in's GetPicture was called with ("0,128").
std::string OffsetsSeen(const std::string& pluginPath) {
  void* module = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!module) return "<not loaded>";
  auto seen = reinterpret_cast<const char* (*)()>(dlsym(module, "FakeOffsetsSeen"));
  std::string result = seen ? seen() : "<no export>";
  dlclose(module);
  return result;
}

// The 2 x 2 picture every fake plug-in decodes: red, white / black, red.
TBitmap FakePicture() {
  TBitmap want(2, 2);
  want.SetPixel(0, 0, 0xFFFF0000);
  want.SetPixel(1, 0, 0xFFFFFFFF);
  want.SetPixel(1, 1, 0xFFFF0000);
  return want;
}

}  // namespace

TEST(PluginTable, LoadsUsablePluginsInFolderOrderAndDropsTheRest) {
  PluginFolder root;
  const std::string first = root.Sub("first"), second = root.Sub("second");
  for (const char* fake : {"alpha", "exporter", "noinfo", "silent"}) root.Add(fake, "first");
  root.Add("beta", "second");
  root.Add("beta", "first", "beta.txt");
  root.Add("beta", "first", "UPPER.SPI");
  root.File("first/junk.spi", "not a shared object");
  fs::create_directories(first + "folder.spi");

  // By name in byte order within a folder; a folder listed twice is scanned twice.
  TPluginTable table;
  table.LoadPlugins({second, first, root.Dir() + "missing/", second});
  EXPECT_EQ(Plugins(table), (Rows{second + "beta.spi 00IN", first + "UPPER.SPI 00IN", first + "alpha.spi 00IN",
                                  first + "exporter.spi 00XN", second + "beta.spi 00IN"}));
  EXPECT_EQ(table.PluginPath(5), "");
  EXPECT_EQ(table.PluginApiVersion(-1), "");
}

TEST(PluginTable, LoadingAgainUnloadingAndDestructionReleaseThePlugins) {
  PluginFolder root;
  const std::string alpha = root.Add("alpha");
  const auto loaded = [&] {
    void* module = dlopen(alpha.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module) dlclose(module);
    return module != nullptr;
  };
  {
    TPluginTable table;
    Load(table, {root.Dir()});
    EXPECT_TRUE(loaded());
    table.LoadPlugins({});  // starts from an empty table
    EXPECT_FALSE(loaded());
    Load(table, {root.Dir()});
    table.UnloadPlugins();
    EXPECT_EQ(table.PluginCount(), 0);
    EXPECT_EQ(Filters(table), Rows{});
    EXPECT_FALSE(loaded());
    Load(table, {root.Dir()});
  }
  EXPECT_FALSE(loaded());
}

TEST(PluginTable, PluginThatOverrunsOrNeverEndsItsAnswersIsBounded) {
  PluginFolder root;
  root.Add("endless");
  TPluginTable table;
  Load(table, {root.Dir()});  // returns although every number answers
  EXPECT_EQ(Plugins(table), Rows{root.Dir() + "endless.spi 00IN"});  // claimed 1000 bytes of a small buffer
  EXPECT_EQ(Filters(table), (Rows{"x|x|0", "Windows Bitmap|*.bmp;*.dib|1", "JPEG|*.jpeg;*.jpg|1"}));
}

TEST(FilterTable, WithoutPluginsHoldsTheBuiltInTypesAndAddedEntriesExtendByNewPieces) {
  PluginFolder root;
  TPluginTable table;
  Load(table, {root.Dir()});
  EXPECT_EQ(Filters(table), (Rows{"Windows Bitmap|*.bmp;*.dib|0", "JPEG|*.jpeg;*.jpg|0"}));
  EXPECT_EQ(table.AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg");
  EXPECT_EQ(table.FilterOwner(2), -1);
  // Without plug-in types the fallback filter stays as given.
  const std::string designTime = "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";
  EXPECT_EQ(table.MakeOpenFilter(false, designTime), designTime);
  EXPECT_EQ(table.MakeOpenFilter(true, designTime), designTime);

  table.AddFilterEntry(" *.a; *.b ;;*.a ", "Letters", 5);
  EXPECT_EQ(Filters(table).back(), "Letters| *.a; *.b ;;*.a |5");  // a new entry keeps its text
  EXPECT_EQ(table.AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b");  // no empty piece
  // Pieces are compared with the entry's own text, blanks and all, so "*.b"
  // is not found in " *.a; *.b ;..." and is added once more.
  table.AddFilterEntry("*.c;*.b;*.dib;*.c", "LETTERS", 7);
  EXPECT_EQ(Filters(table).size(), 3u);
  EXPECT_EQ(Filters(table).back(), "Letters| *.a; *.b ;;*.a ;*.c;*.b;*.dib|5");
  EXPECT_EQ(table.AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b;*.c");
}

TEST(FilterTable, PluginTypesAreTrimmedMergedAndSuppressBuiltInTypes) {
  PluginFolder root;
  const std::string a = root.Sub("a"), b = root.Sub("b");
  root.Add("alpha", "a");
  root.Add("beta", "b");

  // Alpha alone: its "*.bmp" replaces "Windows Bitmap"; JPEG stays, owned by N.
  // Patterns are lower-cased with their blanks kept.
  TPluginTable table;
  Load(table, {a});
  EXPECT_EQ(Filters(table), (Rows{"Pic Image| *.pic ; *.pi |0", "Alpha Bitmap|*.bmp|0", "JPEG|*.jpeg;*.jpg|1"}));
  EXPECT_EQ(table.AllFilterPatterns(), "*.pic;*.pi;*.bmp;*.jpeg;*.jpg");
  EXPECT_EQ(table.MakeOpenFilter(false, "unused"),
            "All Image Files|*.pic;*.pi;*.bmp;*.jpeg;*.jpg"
            "|Pic Image( *.pic ; *.pi )| *.pic ; *.pi "
            "|Alpha Bitmap(*.bmp)|*.bmp"
            "|JPEG(*.jpeg;*.jpg)|*.jpeg;*.jpg"
            "|All Files (*.*)|*.*");
  const std::string ja = table.MakeOpenFilter(true, "unused");
  EXPECT_EQ(ja.rfind("すべての画像ファイル|*.pic;", 0), 0u);
  EXPECT_TRUE(ja.ends_with("|JPEG(*.jpeg;*.jpg)|*.jpeg;*.jpg|すべてのファイル (*.*)|*.*"));

  // Beta after alpha: the same description in other letter case joins alpha's
  // entry (owner stays alpha), and its "*.jpg" replaces the JPEG entry.
  Load(table, {a, b});
  EXPECT_EQ(Filters(table),
            (Rows{"Pic Image| *.pic ; *.pi |0", "Alpha Bitmap|*.bmp;*.pcx;*.pic|0", "Beta JPEG|*.jpg|1"}));
  EXPECT_EQ(table.AllFilterPatterns(), "*.pic;*.pi;*.bmp;*.pcx;*.jpg");
}

TEST(LoaderChoice, ImportPluginsGoByContentInTableOrderBeforeTheBuiltInReadersByExtension) {
  PluginFolder root;
  root.Add("alpha", "a");
  root.Add("exporter", "a");
  root.Add("beta", "b");
  TPluginTable table;
  Load(table, {root.Dir() + "a/", root.Dir() + "b/"});  // alpha 0, exporter 1 (not an import plug-in), beta 2
  ASSERT_EQ(table.PluginCount(), 3);
  for (const auto& [name, content, loader] : {
           std::tuple{"both.dat", "SHARED data", 0},   // first claimer wins
           {"beta.dat", "BETA data", 2},               // sees the file's start
           {"alpha.bmp", "ALPHA", 0},                  // a plug-in beats the BMP reader
           {"beta.JPG", "BETA", 2},
           {"plain.bmp", "BM....", 3},                 // N, whatever the content
           {"PHOTO.JPEG", "x", 4},                     // N+1
           {"d.bmp.txt", "x", -1},
           {"noextension", "x", -1},
           {"other.dat", "nobody's", -1}})             // the exporter is not asked
    EXPECT_EQ(table.FindPictureLoader(root.File(name, content)), loader) << name;
  EXPECT_EQ(table.FindPictureLoader(root.Dir() + "missing.bmp"), -1);
  EXPECT_EQ(table.FindPictureLoader(root.Sub("folder.bmp")), -1);
  EXPECT_TRUE(table.CanOpenPicture(root.Dir() + "PHOTO.JPEG"));
  EXPECT_FALSE(table.CanOpenPicture(root.Dir() + "d.bmp.txt"));
}

TEST(PictureLoading, PluginOrBuiltInReaderReplacesTheTarget) {
  PluginFolder root;
  const std::string alpha = root.Add("alpha");
  TPluginTable table;
  Load(table, {root.Dir()});

  // A picture behind a 128-byte MacBinary header loads on the second try.
  TBitmap mac;
  table.LoadPictureFile(root.File("old.mac", std::string(128, 'm') + "ALPHA picture"), mac, kLimits);
  EXPECT_EQ(mac, FakePicture());
  EXPECT_EQ(OffsetsSeen(alpha), "0,128");

  TBitmap target = Filled(5, 5, 0xFF808080);
  table.LoadPictureFile(root.File("two.pic", "ALPHA picture"), target, kLimits);
  EXPECT_EQ(target, FakePicture());

  // No plug-in claims these: the built-in readers.
  const TBitmap source = Filled(3, 2, 0xFF0000FF);
  table.LoadPictureFile(root.File("real.bmp", tracemill::testing::BmpFileOf(source)), target, kLimits);
  EXPECT_EQ(target, source);
  table.LoadPictureFile(tracemill::testing::kCorpus + "jpeg/testimages/testorig.jpg", target, kLimits);
  EXPECT_EQ(target.Width(), 227);
  EXPECT_EQ(target.Height(), 149);
}

TEST(PictureLoading, EveryFailureThrowsNamingFileAndPluginAndLeavesTheTarget) {
  PluginFolder root;
  root.Add("alpha");
  const std::string broken = root.Add("broken"), noPicture = root.Add("nopicture");
  TPluginTable table;
  Load(table, {root.Dir()});
  const TBitmap before = Filled(3, 3, 0xFF102030);
  TBitmap target = before;
  const std::string missing = root.Dir() + "missing.bmp";

  const struct {
    std::string file;
    std::vector<std::string_view> named;  // besides the file
  } failures[] = {
      // Claimed, but GetPicture fails at offset 0 and at 128.
      {root.File("x.bad", "FAIL"), {broken, "GetPicture error 3: broken data"}},
      // A header that promises more pixels than the plug-in allocated.
      {root.File("x.lie", "LIAR"), {broken, "shorter than its headers promise"}},
      // Success without a picture.
      {root.File("x.nul", "NULLPIC"), {broken, "returned no picture"}},
      {root.File("x.nop", "NOPIC"), {noPicture, "has no GetPicture function"}},
      {root.File("broken.bmp", "BM only"), {"Invalid BMP data"}},
      {root.File("x.txt", "text"), {"there is no plug-in to open it"}},
      {missing, {"does not exist"}}};
  for (const auto& [file, named] : failures) {
    SCOPED_TRACE(file);
    const std::string quoted = "\"" + file + "\"";
    std::vector<std::string_view> parts = named;
    parts.push_back(quoted);
    EXPECT_TRUE(tracemill::testing::Refused([&] { table.LoadPictureFile(file, target, kLimits); }, parts));
    EXPECT_EQ(target, before);
  }
  EXPECT_EQ(OffsetsSeen(broken).substr(0, 5), "0,128");
  // A plug-in's picture over the limit.
  EXPECT_TRUE(tracemill::testing::Refused(
      [&] { table.LoadPictureFile(root.File("two.pic", "ALPHA"), target, TImageLimits{2 * 2 * 4 - 1}); },
      {"two.pic", "2 x 2 pixels"}));
  EXPECT_EQ(target, before);
}

TEST(PluginFolders, FollowTheDocumentedOrder) {
  tracemill::testing::TempFolder env;
  EXPECT_EQ(PluginFolders("/opt/tm/bin", env.Dir(), "/opt/tm/lib/tracemill/plugins", "/home/u/tm/plugins"),
            (Rows{"/opt/tm/bin/", env.Dir(), "/opt/tm/lib/tracemill/plugins/", "/home/u/tm/plugins/"}));
  // The environment's folder counts only when set and existing.
  EXPECT_EQ(PluginFolders("/b/", "", "/i/", "/u/").size(), 3u);
  EXPECT_EQ(PluginFolders("/b/", env.Dir() + "missing", "/i/", "/u/").size(), 3u);

  ::setenv("TRACEMILL_PLUGIN_PATH", env.Dir().c_str(), 1);
  EXPECT_EQ(DefaultPluginFolders("/opt/tm/bin/", "/home/u/.local/share/Norvale/tracemill"),
            (Rows{"/opt/tm/bin/", env.Dir(), "/opt/tm/lib/tracemill/plugins/",
                  "/home/u/.local/share/Norvale/tracemill/plugins/"}));
  ::unsetenv("TRACEMILL_PLUGIN_PATH");
  EXPECT_EQ(DefaultPluginFolders("/opt/tm/bin", "/w/").size(), 3u);
}

TEST(PictureMessages, NameTheFileInTheInterfaceLanguage) {
  EXPECT_EQ(NoPluginMessage(false, "/d/a.xyz"), "There is no plug-in to open\n/d/a.xyz");
  EXPECT_EQ(NoPluginMessage(true, "/d/a.xyz"), "/d/a.xyz\nを扱うためのプラグインは見つかりません。");
  EXPECT_EQ(PictureNotFoundMessage(false, "/d/a.bmp"), "/d/a.bmp\nis not found.\n");
  EXPECT_EQ(PictureNotFoundMessage(true, "/d/a.bmp"), "/d/a.bmp\nが見つかりません。");
}
