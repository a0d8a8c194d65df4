// File and folder built-ins, each test in a temporary folder of its own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "ScriptTestSupport.h"
#include "common/uDateTime.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

class BuiltinFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tracemill-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  void Write(const std::string& name, const std::string& content = "x") {
    std::ofstream(dir_ + "/" + name) << content;
  }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  std::string dir_;
  TTestContext c_;
};

}  // namespace

TEST_F(BuiltinFiles, ListingsMatchMasksAndComeSortedByName) {
  for (const char* name : {"b.txt", "a.TXT", "c.csv", "noext", ".profile"}) Write(name);
  std::filesystem::create_directory(Path("folder.txt"));
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_)})), "[5, [.profile, a.TXT, b.txt, c.csv, noext]]");
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_ + "/"), S("*.txt")})), "[2, [a.TXT, b.txt]]");
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_), S(" *.csv ; b.* ")})), "[2, [b.txt, c.csv]]");
  // "*.*" matches every name, also one without a dot; "noext.*" the bare name.
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_), S("*.*")})), "[5, [.profile, a.TXT, b.txt, c.csv, noext]]");
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_), S("noext.*")})), "[1, [noext]]");
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_), S("?.csv")})), "[1, [c.csv]]");
  EXPECT_EQ(Eval(c_, "FILES", Args({S(dir_ + "/missing")})), "[0, []]");
  EXPECT_EQ(Eval(c_, "DIRECTORIES", Args({S(dir_), S("*")})), "[1, [folder.txt]]");
}

TEST_F(BuiltinFiles, DeletingRenamingAndReadingFacts) {
  Write("data.txt", "12345");
  EXPECT_EQ(Eval(c_, "FILEEXISTS", Args({S(Path("data.txt")), S(dir_)})), "[True, False]");
  EXPECT_EQ(Eval(c_, "DIRECTORYEXISTS", Args({S(Path("data.txt")), S(dir_)})), "[False, True]");
  EXPECT_EQ(Eval(c_, "FILESIZE", Args({S(Path("data.txt")), S(dir_), S(Path("none"))})), "[5, -1, -1]");
  const TValue stamp = CallBuiltin(c_, "FILEUPDATEDDATETIME", Args({S(Path("data.txt"))})).Result[0];
  ASSERT_TRUE(stamp.IsDate());
  EXPECT_NEAR(stamp.ToDouble(kFormat), NowLocal(), 1.0 / 24);  // written moments ago
  EXPECT_EQ(Eval(c_, "FILEUPDATEDDATETIME", Args({S(Path("none"))})), "[-1]");

  Write("other.txt");
  // Renaming never replaces an existing file.
  EXPECT_EQ(Eval(c_, "RENAMEFILE", Args({S(Path("data.txt")), S(Path("other.txt"))})), "[False]");
  EXPECT_EQ(Eval(c_, "FILESIZE", Args({S(Path("other.txt"))})), "[1]");
  EXPECT_EQ(Eval(c_, "RENAMEFILE", Args({S(Path("data.txt")), S(Path("moved.txt"))})), "[True]");
  EXPECT_EQ(Eval(c_, "FILEEXISTS", Args({S(Path("data.txt")), S(Path("moved.txt"))})), "[False, True]");

  EXPECT_EQ(Eval(c_, "DELETEFILE", Args({S(Path("moved.txt")), S(Path("moved.txt")), S(dir_)})),
            "[True, False, False]");
  EXPECT_TRUE(std::filesystem::is_directory(dir_));
}

TEST_F(BuiltinFiles, AttributesMapToTheirBits) {
  Write("locked.txt");
  Write(".hidden");
  EXPECT_EQ(Eval(c_, "FILEATTRIBUTE", Args({S(Path("locked.txt")), S(Path(".hidden")), S(dir_)})),
            "[32, 34, 16]");
  EXPECT_EQ(Eval(c_, "FILESETATTRIBUTE", Args({S(Path("locked.txt")), I(1)})), "[]");
  EXPECT_EQ(Eval(c_, "FILEATTRIBUTE", Args({S(Path("locked.txt"))})), "[33]");
  struct stat info {};
  ASSERT_EQ(stat(Path("locked.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH), 0u);
  CallBuiltin(c_, "FILESETATTRIBUTE", Args({S(Path("locked.txt")), I(32)}));
  EXPECT_EQ(Eval(c_, "FILEATTRIBUTE", Args({S(Path("locked.txt"))})), "[32]");
  // A missing file changes nothing and reports nothing.
  EXPECT_EQ(Eval(c_, "FILESETATTRIBUTE", Args({S(Path("none")), I(1)})), "[]");
}

TEST_F(BuiltinFiles, CurrentFolderAndAbsolutePaths) {
  const std::string before = std::filesystem::current_path().string();
  // The other tests run in the project folder, whatever happens here.
  struct TRestore {
    std::string Folder;
    ~TRestore() { std::filesystem::current_path(Folder); }
  } restore{before};
  EXPECT_EQ(Eval(c_, "CURRENTDIR", TValue()), "[" + before + "]");
  EXPECT_EQ(Eval(c_, "SETCURRENTDIR", Args({S(dir_)})), "[]");
  const std::string canonical = std::filesystem::canonical(dir_).string();
  EXPECT_EQ(Eval(c_, "CURRENTDIR", TValue()), "[" + canonical + "]");
  EXPECT_EQ(Eval(c_, "CURRENTDIROFDRIVE", Args({S("C")})), "[" + canonical + "]");
  EXPECT_EQ(Eval(c_, "EXPANDFILENAME", Args({S("sub/../a.txt")})), "[" + canonical + "/a.txt]");
  EXPECT_EQ(Eval(c_, "SETCURRENTDIR", Args({S(Path("missing"))})), "[]");
  EXPECT_EQ(Eval(c_, "CURRENTDIR", TValue()), "[" + canonical + "]");
}

TEST(BuiltinEnvironment, VariablesAreReadAndCut) {
  TTestContext c;
  setenv("TRACEMILL_TEST_VALUE", "abc", 1);
  setenv("TRACEMILL_TEST_LONG", std::string(300, 'x').c_str(), 1);
  EXPECT_EQ(Eval(c, "ENVIRONMENT", Args({S("TRACEMILL_TEST_VALUE"), S("TRACEMILL_TEST_MISSING")})), "[abc, ]");
  EXPECT_EQ(Eval(c, "LENGTH", CallBuiltin(c, "ENVIRONMENT", Args({S("TRACEMILL_TEST_LONG")})).Result), "[256]");
  unsetenv("TRACEMILL_TEST_VALUE");
  unsetenv("TRACEMILL_TEST_LONG");
}
