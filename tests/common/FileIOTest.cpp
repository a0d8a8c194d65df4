#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

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
  fs::path dir;
};

TEST_F(FileIO, AtomicWriteReplacesWholeFileAndLeavesNoTemporary) {
  const std::string path = (dir / "state.trm").string();
  WriteFileAtomic(path, "first");
  ::chmod(path.c_str(), 0640);
  WriteFileAtomic(path, std::string("second\0bytes", 12));
  EXPECT_EQ(ReadFileBytes(path), std::string("second\0bytes", 12));
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

  // Without the flush to disk the file is replaced the same way.
  WriteFileAtomic(path, "third", WriteDurability::kReplaceOnly);
  EXPECT_EQ(ReadFileBytes(path), "third");
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  EXPECT_THROW(WriteFileAtomic((dir / "no" / "folder.txt").string(), "x", WriteDurability::kReplaceOnly),
               FileError);
}

TEST_F(FileIO, FailuresAreFileErrors) {
  EXPECT_THROW(ReadFileBytes((dir / "missing").string()), FileError);
  EXPECT_THROW(WriteFileAtomic((dir / "no" / "such" / "folder.txt").string(), "x"), FileError);
  const std::string path = (dir / "big.bin").string();
  WriteFileAtomic(path, std::string(100, 'x'));
  EXPECT_THROW(ReadFileBytes(path, 99), FileError);
  EXPECT_EQ(ReadFileBytes(path, 100).size(), 100u);
}
