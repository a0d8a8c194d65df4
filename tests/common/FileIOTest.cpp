#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <ostream>
#include <future>
#include <set>
#include <stdexcept>
#include <string>

#include "common/uError.h"
#include "common/uFileIO.h"

using namespace tracemill;
namespace fs = std::filesystem;

class FileIO : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tm_fileio_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string Path(const std::string& name) const { return (dir / name).string(); }
  // The names in the folder and its subfolders, relative to it.
  std::set<std::string> Names() const {
    std::set<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) names.insert(e.path().lexically_relative(dir).string());
    return names;
  }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
  }
  fs::path dir;
};

TEST_F(FileIO, AtomicWriteReplacesWholeFileAndKeepsPermissions) {
  const std::string path = Path("state.trm");
  const mode_t mask = ::umask(027);
  WriteFileAtomic(path, "first");
  ::umask(mask);
  EXPECT_EQ(Mode(path), 0640u);  // a new file: 0666 less the umask
  for (const auto durability : {WriteDurability::kFlushToDisk, WriteDurability::kReplaceOnly}) {
    ::chmod(path.c_str(), 0604);
    WriteFileAtomic(path, std::string("second\0bytes", 12), durability);
    EXPECT_EQ(ReadFileBytes(path), std::string("second\0bytes", 12));
    EXPECT_EQ(Mode(path), 0604u);
    EXPECT_EQ(Names(), std::set<std::string>{"state.trm"});
  }
}

TEST_F(FileIO, SymbolicLinksAreWrittenThrough) {
  fs::create_directories(dir / "real");
  WriteFileAtomic(Path("real/settings.ini"), "old");
  fs::create_symlink("real/settings.ini", dir / "near");         // relative to its folder
  fs::create_symlink(dir / "near", dir / "chain");              // a link to a link
  fs::create_symlink("real/missing.ini", dir / "dangling");      // names a file not made yet
  fs::create_symlink("loop", dir / "loop");
  const struct {
    const char* link;
    const char* file;
  } cases[] = {{"near", "real/settings.ini"}, {"chain", "real/settings.ini"}, {"dangling", "real/missing.ini"}};
  for (const auto& c : cases) {
    WriteFileAtomic(Path(c.link), std::string("through ") + c.link);
    EXPECT_TRUE(fs::is_symlink(dir / c.link)) << c.link;
    EXPECT_EQ(ReadFileBytes(Path(c.file)), std::string("through ") + c.link);
  }
  EXPECT_THROW(WriteFileAtomic(Path("loop"), "x"), FileError);
  fs::remove(dir / "loop");
  EXPECT_EQ(Names(), (std::set<std::string>{"near", "chain", "dangling", "real", "real/settings.ini",
                                            "real/missing.ini"}));
}

TEST_F(FileIO, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
  const std::string path = Path("report.txt");
  WriteFileAtomic(path, "old content");
  // A writer that gives up after some bytes: before, at and beyond the buffer.
  for (const std::size_t bytes : {std::size_t(0), std::size_t(1), std::size_t(1) << 16, std::size_t(200000)}) {
    const auto failing = [bytes](std::ostream& out) {
      out << std::string(bytes, 'x');
      throw std::runtime_error("writer failed");
    };
    EXPECT_THROW(WriteFileAtomic(path, failing), std::runtime_error) << bytes;
    EXPECT_EQ(ReadFileBytes(path), "old content") << bytes;
    EXPECT_EQ(Names(), std::set<std::string>{"report.txt"}) << bytes;
  }
  // The disk refuses bytes beyond 4096: the stream fails and so does the write.
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  for (const std::size_t bytes : {std::size_t(5000), std::size_t(1) << 20}) {
    EXPECT_THROW(WriteFileAtomic(path, std::string(bytes, 'y')), FileError) << bytes;
    EXPECT_THROW(WriteFileAtomic(path, [bytes](std::ostream& out) { out << std::string(bytes, 'z'); }), FileError)
        << bytes;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(ReadFileBytes(path), "old content");
  EXPECT_EQ(Names(), std::set<std::string>{"report.txt"});
}

TEST_F(FileIO, FailuresAreFileErrors) {
  EXPECT_THROW(ReadFileBytes(Path("missing")), FileError);
  for (const auto durability : {WriteDurability::kFlushToDisk, WriteDurability::kReplaceOnly})
    EXPECT_THROW(WriteFileAtomic(Path("no/such/folder.txt"), "x", durability), FileError);
  const std::string path = Path("big.bin");
  WriteFileAtomic(path, std::string(100, 'x'));
  EXPECT_THROW(ReadFileBytes(path, 99), FileError);
  EXPECT_EQ(ReadFileBytes(path, 100).size(), 100u);
}

TEST_F(FileIO, DevicesAndPipesAreWrittenIntoNeverReplaced) {
  WriteFileAtomic("/dev/null", "discarded");
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  if (fs::is_character_file("/dev/full")) {
    EXPECT_THROW(WriteFileAtomic("/dev/full", std::string(1 << 17, 'x')), FileError);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
  }
  const std::string pipe = Path("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] { return ReadFileBytes(pipe); });
  WriteFileAtomic(pipe, [](std::ostream& out) { out << "line 1\r\n" << std::string(100000, 'p'); });
  EXPECT_EQ(reader.get(), "line 1\r\n" + std::string(100000, 'p'));
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(Names(), std::set<std::string>{"pipe"});
}
