// The plug-in table, the file-type table, the choice of a loader and the
// decoding through plug-ins, with the fake plug-ins of tests/image/fakes.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/uError.h"
#include "image/uBitmap.h"
#include "image/uBmp.h"
#include "image/uSPI.h"

namespace fs = std::filesystem;
using namespace tracemill;

namespace {

// A fresh temporary folder with copies of fake plug-ins; plug-ins are
// unloaded and the folder removed at the end.
class PluginFolder {
 public:
  PluginFolder() {
    static int counter = 0;
    path_ = fs::temp_directory_path() /
            ("tm-spi-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
  }
  ~PluginFolder() {
    UnloadPlugins();
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string Add(const std::string& fake, const std::string& as = "") {
    fs::path to = path_ / (as.empty() ? fake + ".spi" : as);
    fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / (fake + ".spi"), to, fs::copy_options::overwrite_existing);
    return to.string();
  }
  std::string File(const std::string& name, const std::string& content) const {
    fs::path p = path_ / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }
  std::string Dir() const { return path_.string() + "/"; }
  std::string Sub(const std::string& name) const {
    fs::create_directories(path_ / name);
    return (path_ / name).string() + "/";
  }

 private:
  fs::path path_;
};

// What a fake plug-in's GetPicture was called with ("0,128").
std::string OffsetsSeen(const std::string& pluginPath) {
  void* module = dlopen(pluginPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!module) return "<not loaded>";
  auto seen = reinterpret_cast<const char* (*)()>(dlsym(module, "FakeOffsetsSeen"));
  std::string result = seen ? seen() : "<no export>";
  dlclose(module);
  return result;
}

TBitmap Filled(int w, int h, std::uint32_t argb) {
  TBitmap b(w, h);
  b.Fill(argb);
  return b;
}

}  // namespace

TEST(PluginTable, LoadsUsablePluginsInFolderOrderAndDropsTheRest) {
  PluginFolder root;
  const std::string first = root.Sub("first"), second = root.Sub("second");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "alpha.spi", first + "alpha.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "exporter.spi", first + "exporter.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "noinfo.spi", first + "noinfo.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "silent.spi", first + "silent.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "beta.spi", second + "beta.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "beta.spi", first + "beta.txt");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "beta.spi", first + "UPPER.SPI");
  std::ofstream(first + "junk.spi") << "not a shared object";
  fs::create_directories(first + "folder.spi");

  LoadPlugins({second, first, root.Dir() + "missing/", second});
  ASSERT_EQ(PluginCount(), 5);
  EXPECT_EQ(PluginPath(0), second + "beta.spi");
  EXPECT_EQ(PluginPath(1), first + "UPPER.SPI");  // by name, in byte order
  EXPECT_EQ(PluginPath(2), first + "alpha.spi");
  EXPECT_EQ(PluginPath(3), first + "exporter.spi");
  EXPECT_EQ(PluginPath(4), second + "beta.spi");  // a folder listed twice is scanned twice
  EXPECT_EQ(PluginApiVersion(2), "00IN");
  EXPECT_EQ(PluginApiVersion(3), "00XN");
  EXPECT_EQ(PluginPath(5), "");
  EXPECT_EQ(PluginApiVersion(-1), "");

  // Loading again starts from an empty table.
  LoadPlugins({first});
  EXPECT_EQ(PluginCount(), 3);
  LoadPlugins({});
  EXPECT_EQ(PluginCount(), 0);
}

TEST(PluginTable, UnloadingReleasesEveryPlugin) {
  PluginFolder root;
  const std::string alpha = root.Add("alpha");
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  ASSERT_EQ(PluginCount(), 1);
  void* module = dlopen(alpha.c_str(), RTLD_NOW | RTLD_NOLOAD);
  EXPECT_NE(module, nullptr);
  if (module) dlclose(module);

  UnloadPlugins();
  EXPECT_EQ(PluginCount(), 0);
  EXPECT_EQ(FilterCount(), 0);
  EXPECT_EQ(AllFilterPatterns(), "");
  EXPECT_EQ(dlopen(alpha.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST(PluginTable, PluginThatOverrunsOrNeverEndsItsAnswersIsBounded) {
  PluginFolder root;
  root.Add("endless");
  LoadPlugins({root.Dir()});
  ASSERT_EQ(PluginCount(), 1);
  EXPECT_EQ(PluginApiVersion(0), "00IN");  // claimed 1000 bytes of a 15-byte buffer
  BuildFilterTable();                        // returns although every number answers
  ASSERT_EQ(FilterCount(), 3);
  EXPECT_EQ(FilterDescription(0), "x");
  EXPECT_EQ(FilterPatterns(0), "x");
  EXPECT_EQ(FilterDescription(1), "Windows Bitmap");
}

TEST(FilterTable, WithoutPluginsHoldsTheBuiltInTypesAndKeepsTheFallbackFilter) {
  PluginFolder root;
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  ASSERT_EQ(FilterCount(), 2);
  EXPECT_EQ(FilterDescription(0), "Windows Bitmap");
  EXPECT_EQ(FilterPatterns(0), "*.bmp;*.dib");
  EXPECT_EQ(FilterOwner(0), 0);
  EXPECT_EQ(FilterDescription(1), "JPEG");
  EXPECT_EQ(FilterPatterns(1), "*.jpeg;*.jpg");
  EXPECT_EQ(FilterOwner(1), 0);
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
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "alpha.spi", a + "alpha.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "beta.spi", b + "beta.spi");

  // Alpha alone: its "*.bmp" replaces "Windows Bitmap"; JPEG stays, owned by N.
  LoadPlugins({a});
  BuildFilterTable();
  ASSERT_EQ(FilterCount(), 3);
  EXPECT_EQ(FilterDescription(0), "Pic Image");
  EXPECT_EQ(FilterPatterns(0), " *.pic ; *.pi ");  // lower-cased, blanks kept
  EXPECT_EQ(FilterDescription(1), "Alpha Bitmap");
  EXPECT_EQ(FilterPatterns(1), "*.bmp");
  EXPECT_EQ(FilterDescription(2), "JPEG");
  EXPECT_EQ(FilterOwner(2), 1);
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
  LoadPlugins({a, b});
  BuildFilterTable();
  ASSERT_EQ(FilterCount(), 3);
  EXPECT_EQ(FilterDescription(1), "Alpha Bitmap");
  EXPECT_EQ(FilterPatterns(1), "*.bmp;*.pcx;*.pic");
  EXPECT_EQ(FilterOwner(1), 0);
  EXPECT_EQ(FilterDescription(2), "Beta JPEG");
  EXPECT_EQ(FilterOwner(2), 1);
  EXPECT_EQ(AllFilterPatterns(), "*.pic;*.pi;*.bmp;*.pcx;*.jpg");
}

TEST(FilterTable, AddFilterEntryExtendsByPiecesNotYetPresent) {
  PluginFolder root;
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  AddFilterEntry(" *.a; *.b ;;*.a ", "Letters", 5);
  ASSERT_EQ(FilterCount(), 3);
  EXPECT_EQ(FilterPatterns(2), " *.a; *.b ;;*.a ");  // a new entry keeps its text
  EXPECT_EQ(FilterOwner(2), 5);
  EXPECT_EQ(AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b");  // no empty piece

  // Pieces are compared with the entry's own text, blanks and all, so "*.b"
  // is not found in " *.a; *.b ;..." and is added once more.
  AddFilterEntry("*.c;*.b;*.dib;*.c", "LETTERS", 7);
  ASSERT_EQ(FilterCount(), 3);
  EXPECT_EQ(FilterDescription(2), "Letters");
  EXPECT_EQ(FilterPatterns(2), " *.a; *.b ;;*.a ;*.c;*.b;*.dib");
  EXPECT_EQ(FilterOwner(2), 5);
  EXPECT_EQ(AllFilterPatterns(), "*.bmp;*.dib;*.jpeg;*.jpg;*.a;*.b;*.c");
}

TEST(LoaderChoice, BuiltInReadersGoByExtensionInAnyLetterCase) {
  PluginFolder root;
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  EXPECT_EQ(FindPictureLoader(root.File("a.bmp", "x")), 0);
  EXPECT_EQ(FindPictureLoader(root.File("b.DIB", "x")), 0);
  EXPECT_EQ(FindPictureLoader(root.File("PHOTO.JPEG", "x")), 1);
  EXPECT_EQ(FindPictureLoader(root.File("c.jpg", "x")), 1);
  EXPECT_EQ(FindPictureLoader(root.File("d.bmp.txt", "x")), -1);
  EXPECT_EQ(FindPictureLoader(root.File("e.png", "x")), -1);
  EXPECT_EQ(FindPictureLoader(root.File("noextension", "x")), -1);
  EXPECT_EQ(FindPictureLoader(root.Dir() + "missing.bmp"), -1);
  EXPECT_EQ(FindPictureLoader(root.Sub("folder.bmp")), -1);
  EXPECT_TRUE(CanOpenPicture(root.Dir() + "PHOTO.JPEG"));
  EXPECT_FALSE(CanOpenPicture(root.Dir() + "d.bmp.txt"));
}

TEST(LoaderChoice, ImportPluginsAreAskedInTableOrderBeforeTheBuiltInReaders) {
  PluginFolder root;
  const std::string a = root.Sub("a"), b = root.Sub("b");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "alpha.spi", a + "alpha.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "exporter.spi", a + "exporter.spi");
  fs::copy_file(fs::path(TM_FAKE_PLUGIN_DIR) / "beta.spi", b + "beta.spi");
  LoadPlugins({a, b});  // alpha 0, exporter 1 (not an import plug-in), beta 2
  BuildFilterTable();
  ASSERT_EQ(PluginCount(), 3);

  EXPECT_EQ(FindPictureLoader(root.File("both.dat", "SHARED data")), 0);  // first claimer wins
  EXPECT_EQ(FindPictureLoader(root.File("beta.dat", "BETA data")), 2);    // sees the file's start
  EXPECT_EQ(FindPictureLoader(root.File("alpha.bmp", "ALPHA")), 0);       // a plug-in beats the BMP reader
  EXPECT_EQ(FindPictureLoader(root.File("beta.JPG", "BETA")), 2);
  EXPECT_EQ(FindPictureLoader(root.File("plain.bmp", "BM....")), 3);      // N
  EXPECT_EQ(FindPictureLoader(root.File("plain.jpg", "\xff\xd8")), 4);    // N+1
  EXPECT_EQ(FindPictureLoader(root.File("other.dat", "nobody's")), -1);   // the exporter is not asked
}

TEST(PictureLoading, PluginPictureReplacesTheTarget) {
  PluginFolder root;
  root.Add("alpha");
  const std::string mac = root.Add("macbin");
  LoadPlugins({root.Dir()});
  BuildFilterTable();

  TBitmap target = Filled(5, 5, 0xFF808080);
  LoadPictureFile(root.File("two.pic", "ALPHA picture"), target);
  ASSERT_EQ(target.Width(), 2);
  ASSERT_EQ(target.Height(), 2);
  EXPECT_EQ(target.Pixel(0, 0), 0xFFFF0000u);  // red, top left
  EXPECT_EQ(target.Pixel(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(target.Pixel(0, 1), 0xFF000000u);
  EXPECT_EQ(target.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(target.Color(0, 0), 0x0000FFu);

  // A picture behind a 128-byte MacBinary header loads on the second try.
  TBitmap macTarget;
  LoadPictureFile(root.File("old.mac", std::string(128, 'm') + "MACBIN picture"), macTarget);
  ASSERT_EQ(macTarget.Width(), 2);
  EXPECT_EQ(macTarget.Color(0, 0), 0x00FF00u);
  EXPECT_EQ(OffsetsSeen(mac), "0,128");
}

TEST(PictureLoading, FailuresLeaveTheTargetAsItWas) {
  PluginFolder root;
  const std::string failing = root.Add("failing");
  root.Add("liar");
  root.Add("nullpic");
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  const TBitmap before = Filled(3, 3, 0xFF102030);
  TBitmap target = before;

  // Claimed, but GetPicture fails at offset 0 and 128: silently unchanged.
  LoadPictureFile(root.File("x.bad", "FAIL"), target);
  EXPECT_EQ(target, before);
  EXPECT_EQ(OffsetsSeen(failing), "0,128");

  // A header that promises more pixels than the plug-in allocated.
  EXPECT_THROW(LoadPictureFile(root.File("x.lie", "LIAR"), target), FileError);
  EXPECT_EQ(target, before);
  // Success without a picture.
  EXPECT_THROW(LoadPictureFile(root.File("x.nul", "NULLPIC"), target), FileError);
  EXPECT_EQ(target, before);

  // No loader, or a missing file: nothing happens.
  LoadPictureFile(root.File("x.txt", "text"), target);
  LoadPictureFile(root.Dir() + "missing.bmp", target);
  EXPECT_EQ(target, before);

  // The built-in reader's errors end the load.
  EXPECT_THROW(LoadPictureFile(root.File("broken.bmp", "BM but nothing else"), target), FileError);
  EXPECT_EQ(target, before);
}

TEST(PictureLoading, BuiltInReadersLoadWhenNoPluginClaims) {
  PluginFolder root;
  root.Add("alpha");
  LoadPlugins({root.Dir()});
  BuildFilterTable();
  TBitmap source(3, 2);
  source.SetColor(0, 0, 0x0000FF);
  source.SetColor(2, 1, 0x00FF00);
  const std::string bmp = root.File("real.bmp", BmpFromDib(DibFromBitmap(source)));
  ASSERT_EQ(FindPictureLoader(bmp), 1);
  TBitmap target;
  LoadPictureFile(bmp, target);
  EXPECT_EQ(target, source);

  TBitmap jpeg;
  LoadPictureFile(std::string(TRACEMILL_SOURCE_DIR) + "/../shared/corpus/jpeg/testimages/testorig.jpg", jpeg);
  EXPECT_EQ(jpeg.Width(), 227);
  EXPECT_EQ(jpeg.Height(), 149);
}

TEST(PluginFolders, FollowTheDocumentedOrder) {
  PluginFolder env;
  EXPECT_EQ(PluginFolders("/opt/tm/bin", env.Dir(), "/opt/tm/lib/tracemill/plugins", "/home/u/tm/plugins"),
            (std::vector<std::string>{"/opt/tm/bin/", env.Dir(), "/opt/tm/lib/tracemill/plugins/",
                                      "/home/u/tm/plugins/"}));
  // The environment's folder counts only when set and existing.
  EXPECT_EQ(PluginFolders("/b/", "", "/i/", "/u/").size(), 3u);
  EXPECT_EQ(PluginFolders("/b/", env.Dir() + "missing", "/i/", "/u/").size(), 3u);

  ::setenv("TRACEMILL_PLUGIN_PATH", env.Dir().c_str(), 1);
  EXPECT_EQ(DefaultPluginFolders("/opt/tm/bin/", "/home/u/.local/share/Norvale/tracemill"),
            (std::vector<std::string>{"/opt/tm/bin/", env.Dir(), "/opt/tm/lib/tracemill/plugins/",
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
