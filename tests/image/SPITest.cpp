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

// A temporary folder for plug-ins and files; the plug-ins are unloaded at the end.
struct PluginFolder : tracemill::testing::TempFolder {
  ~PluginFolder() { UnloadPlugins(); }
  // Copies a fake plug-in into the folder or its subfolder sub; returns the copy's path.
  std::string Add(const std::string& fake, const std::string& sub = "", const std::string& as = "") const {
    const std::string to = (sub.empty() ? Dir() : Sub(sub)) + (as.empty() ? fake + ".spi" : as);
    fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / (fake + ".spi"), to);
    return to;
  }
};

void Load(const std::vector<std::string>& folders) {
  LoadPlugins(folders);
  BuildFilterTable();
}

// The plug-in table, "path version" per plug-in.
Rows Plugins() {
  Rows rows;
  for (int i = 0; i < PluginCount(); ++i) rows.push_back(PluginPath(i) + " " + PluginApiVersion(i));
  return rows;
}

// The file-type table, "description|patterns|owner" per entry.
Rows Filters() {
  Rows rows;
  for (int i = 0; i < FilterCount(); ++i)
    rows.push_back(FilterDescription(i) + "|" + FilterPatterns(i) + "|" + std::to_string(FilterOwner(i)));
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
  LoadPlugins({second, first, root.Dir() + "missing/", second});
  EXPECT_EQ(Plugins(), (Rows{second + "beta.spi 00IN", first + "UPPER.SPI 00IN", first + "alpha.spi 00IN",
                             first + "exporter.spi 00XN", second + "beta.spi 00IN"}));
  EXPECT_EQ(PluginPath(5), "");
  EXPECT_EQ(PluginApiVersion(-1), "");
}

TEST(PluginTable, LoadingAgainAndUnloadingReleaseTheEarlierPlugins) {
  PluginFolder root;
  const std::string alpha = root.Add("alpha");
  const auto loaded = [&] {
    void* module = dlopen(alpha.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (module) dlclose(module);
    return module != nullptr;
  };
  Load({root.Dir()});
  EXPECT_TRUE(loaded());
  LoadPlugins({});  // starts from an empty table
  EXPECT_EQ(PluginCount(), 0);
  EXPECT_FALSE(loaded());

  Load({root.Dir(), root.Dir()});
  EXPECT_EQ(PluginCount(), 2);
  UnloadPlugins();
  EXPECT_EQ(PluginCount(), 0);
  EXPECT_EQ(Filters(), Rows{});
  EXPECT_EQ(AllFilterPatterns(), "");
  EXPECT_FALSE(loaded());
}

TEST(PluginTable, PluginThatOverrunsOrNeverEndsItsAnswersIsBounded) {
  PluginFolder root;
  root.Add("endless");
  Load({root.Dir()});  // returns although every number answers
  EXPECT_EQ(Plugins(), Rows{root.Dir() + "endless.spi 00IN"});  // claimed 1000 bytes of a small buffer
  EXPECT_EQ(Filters(), (Rows{"x|x|0", "Windows Bitmap|*.bmp;*.dib|1", "JPEG|*.jpeg;*.jpg|1"}));
}

TEST(FilterTable, WithoutPluginsHoldsTheBuiltInTypesAndKeepsTheFallbackFilter) {
  PluginFolder root;
  Load({root.Dir()});
  EXPECT_EQ(Filters(), (Rows{"Windows Bitmap|*.bmp;*.dib|0", "JPEG|*.jpeg;*.jpg|0"}));
  EXPECT_EQ(AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg");
  EXPECT_EQ(FilterDescription(2), "");
  EXPECT_EQ(FilterPatterns(-1), "");
  EXPECT_EQ(FilterOwner(2), -1);

  const std::string designTime = "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";
  EXPECT_EQ(MakeOpenFilter(false, designTime), designTime);
  EXPECT_EQ(MakeOpenFilter(true, designTime), designTime);
}

TEST(FilterTable, PluginTypesAreTrimmedMergedAndSuppressBuiltInTypes) {
  PluginFolder root;
  const std::string a = root.Sub("a"), b = root.Sub("b");
  root.Add("alpha", "a");
  root.Add("beta", "b");

  // Alpha alone: its "*.bmp" replaces "Windows Bitmap"; JPEG stays, owned by N.
  // Patterns are lower-cased with their blanks kept.
  Load({a});
  EXPECT_EQ(Filters(), (Rows{"Pic Image| *.pic ; *.pi |0", "Alpha Bitmap|*.bmp|0", "JPEG|*.jpeg;*.jpg|1"}));
  EXPECT_EQ(AllFilterPatterns(), "*.pic;*.pi;*.bmp;*.jpeg;*.jpg");
  EXPECT_EQ(MakeOpenFilter(false, "unused"),
            "All Image Files|*.pic;*.pi;*.bmp;*.jpeg;*.jpg"
            "|Pic Image( *.pic ; *.pi )| *.pic ; *.pi "
            "|Alpha Bitmap(*.bmp)|*.bmp"
            "|JPEG(*.jpeg;*.jpg)|*.jpeg;*.jpg"
            "|All Files (*.*)|*.*");
  const std::string ja = MakeOpenFilter(true, "unused");
  EXPECT_EQ(ja.rfind("すべての画像ファイル|*.pic;", 0), 0u);
  EXPECT_TRUE(ja.ends_with("|JPEG(*.jpeg;*.jpg)|*.jpeg;*.jpg|すべてのファイル (*.*)|*.*"));

  // Beta after alpha: the same description in other letter case joins alpha's
  // entry (owner stays alpha), and its "*.jpg" replaces the JPEG entry.
  Load({a, b});
  EXPECT_EQ(Filters(),
            (Rows{"Pic Image| *.pic ; *.pi |0", "Alpha Bitmap|*.bmp;*.pcx;*.pic|0", "Beta JPEG|*.jpg|1"}));
  EXPECT_EQ(AllFilterPatterns(), "*.pic;*.pi;*.bmp;*.pcx;*.jpg");
}

TEST(FilterTable, AddFilterEntryExtendsByPiecesNotYetPresent) {
  PluginFolder root;
  Load({root.Dir()});
  AddFilterEntry(" *.a; *.b ;;*.a ", "Letters", 5);
  EXPECT_EQ(Filters().back(), "Letters| *.a; *.b ;;*.a |5");  // a new entry keeps its text
  EXPECT_EQ(AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b");  // no empty piece

  // Pieces are compared with the entry's own text, blanks and all, so "*.b"
  // is not found in " *.a; *.b ;..." and is added once more.
  AddFilterEntry("*.c;*.b;*.dib;*.c", "LETTERS", 7);
  EXPECT_EQ(Filters().size(), 3u);
  EXPECT_EQ(Filters().back(), "Letters| *.a; *.b ;;*.a ;*.c;*.b;*.dib|5");
  EXPECT_EQ(AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b;*.c");
}

TEST(LoaderChoice, BuiltInReadersGoByExtensionInAnyLetterCase) {
  PluginFolder root;
  Load({root.Dir()});
  for (const auto& [name, loader] : {std::pair{"a.bmp", 0}, {"b.DIB", 0}, {"PHOTO.JPEG", 1}, {"c.jpg", 1},
                                     {"d.bmp.txt", -1}, {"e.png", -1}, {"noextension", -1}})
    EXPECT_EQ(FindPictureLoader(root.File(name, "x")), loader) << name;
  EXPECT_EQ(FindPictureLoader(root.Dir() + "missing.bmp"), -1);
  EXPECT_EQ(FindPictureLoader(root.Sub("folder.bmp")), -1);
  EXPECT_TRUE(CanOpenPicture(root.Dir() + "PHOTO.JPEG"));
  EXPECT_FALSE(CanOpenPicture(root.Dir() + "d.bmp.txt"));
}

TEST(LoaderChoice, ImportPluginsAreAskedInTableOrderBeforeTheBuiltInReaders) {
  PluginFolder root;
  root.Add("alpha", "a");
  root.Add("exporter", "a");
  root.Add("beta", "b");
  Load({root.Dir() + "a/", root.Dir() + "b/"});  // alpha 0, exporter 1 (not an import plug-in), beta 2
  ASSERT_EQ(PluginCount(), 3);
  for (const auto& [name, content, loader] : {
           std::tuple{"both.dat", "SHARED data", 0},   // first claimer wins
           {"beta.dat", "BETA data", 2},               // sees the file's start
           {"alpha.bmp", "ALPHA", 0},                  // a plug-in beats the BMP reader
           {"beta.JPG", "BETA", 2},
           {"plain.bmp", "BM....", 3},                 // N
           {"plain.jpg", "\xff\xd8", 4},               // N+1
           {"other.dat", "nobody's", -1}})             // the exporter is not asked
    EXPECT_EQ(FindPictureLoader(root.File(name, content)), loader) << name;
}

TEST(PictureLoading, PluginPictureReplacesTheTarget) {
  PluginFolder root;
  const std::string alpha = root.Add("alpha");
  Load({root.Dir()});
  TBitmap want(2, 2);  // red, white / black, red
  want.SetPixel(0, 0, 0xFFFF0000);
  want.SetPixel(1, 0, 0xFFFFFFFF);
  want.SetPixel(1, 1, 0xFFFF0000);

  // A picture behind a 128-byte MacBinary header loads on the second try.
  TBitmap mac;
  LoadPictureFile(root.File("old.mac", std::string(128, 'm') + "ALPHA picture"), mac);
  EXPECT_EQ(mac, want);
  EXPECT_EQ(OffsetsSeen(alpha), "0,128");

  TBitmap target = Filled(5, 5, 0xFF808080);
  LoadPictureFile(root.File("two.pic", "ALPHA picture"), target);
  EXPECT_EQ(target, want);
}

TEST(PictureLoading, FailuresLeaveTheTargetAsItWas) {
  PluginFolder root;
  const std::string broken = root.Add("broken");
  Load({root.Dir()});
  const TBitmap before = Filled(3, 3, 0xFF102030);
  TBitmap target = before;

  // Claimed, but GetPicture fails at offset 0 and 128: silently unchanged.
  LoadPictureFile(root.File("x.bad", "FAIL"), target);
  EXPECT_EQ(target, before);
  EXPECT_EQ(OffsetsSeen(broken), "0,128");

  // A header that promises more pixels than the plug-in allocated; success
  // without a picture; the built-in reader's errors.
  for (const auto& [name, content] : {std::pair{"x.lie", "LIAR"}, {"x.nul", "NULLPIC"}, {"broken.bmp", "BM only"}}) {
    EXPECT_THROW(LoadPictureFile(root.File(name, content), target), FileError) << name;
    EXPECT_EQ(target, before) << name;
  }

  // No loader, or a missing file: nothing happens.
  LoadPictureFile(root.File("x.txt", "text"), target);
  LoadPictureFile(root.Dir() + "missing.bmp", target);
  EXPECT_EQ(target, before);
}

TEST(PictureLoading, BuiltInReadersLoadWhenNoPluginClaims) {
  PluginFolder root;
  root.Add("alpha");
  Load({root.Dir()});
  TBitmap source(3, 2);
  source.SetColor(0, 0, 0x0000FF);
  source.SetColor(2, 1, 0x00FF00);
  const std::string bmp = root.File("real.bmp", BmpFromDib(DibFromBitmap(source)));
  ASSERT_EQ(FindPictureLoader(bmp), 1);
  TBitmap target;
  LoadPictureFile(bmp, target);
  EXPECT_EQ(target, source);

  TBitmap jpeg;
  LoadPictureFile(tracemill::testing::kCorpus + "jpeg/testimages/testorig.jpg", jpeg);
  EXPECT_EQ(jpeg.Width(), 227);
  EXPECT_EQ(jpeg.Height(), 149);
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
