#include <gtest/gtest.h>

#include <filesystem>

#include "common/uFilename.h"

using namespace tracemill;

TEST(Filename, SplitsPaths) {
  EXPECT_EQ(ExtractFilePath("/home/u/chart.v2.bmp"), "/home/u/");
  EXPECT_EQ(ExtractFileDir("/home/u/chart.bmp"), "/home/u");
  EXPECT_EQ(ExtractFileDir("/chart.bmp"), "/");
  EXPECT_EQ(ExtractFileName("/home/u/chart.v2.bmp"), "chart.v2.bmp");
  EXPECT_EQ(ExtractFileName("chart"), "chart");
  EXPECT_EQ(ExtractFileExt("/home/u/chart.v2.bmp"), ".bmp");
  EXPECT_EQ(ExtractFileExt("/home/u.d/chart"), "");
  EXPECT_EQ(ExtractFileExt("/home/u/.profile"), "");
  EXPECT_EQ(ExtractFileBaseName("/x/tracemill.ini"), "tracemill");
}

TEST(Filename, TrailingSlashes) {
  EXPECT_EQ(IncludeTrailingSlash("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash(""), "");
  EXPECT_EQ(ExcludeTrailingSlash("/a//"), "/a");
  EXPECT_EQ(ExcludeTrailingSlash("/"), "/");
}

TEST(Filename, CreatesFoldersWithParents) {
  const auto root = std::filesystem::temp_directory_path() / "tm_filename_test";
  std::filesystem::remove_all(root);
  const std::string deep = (root / "a" / "b" / "c").string();
  EXPECT_FALSE(DirectoryExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_TRUE(ForceDirectories(deep));  // already there
  std::filesystem::remove_all(root);
}

TEST(Filename, CurrentFolderFallsBackToTheRoot) {
  const auto start = std::filesystem::current_path();
  const auto gone = std::filesystem::temp_directory_path() / "tm_filename_gone";
  std::filesystem::create_directories(gone / "sub");
  std::filesystem::current_path(gone / "sub");
  EXPECT_EQ(CurrentFolder(), (gone / "sub").string());
  std::filesystem::remove_all(gone);  // the current folder no longer exists
  EXPECT_EQ(CurrentFolder(), "/");
  std::filesystem::current_path("/");
  EXPECT_EQ(CurrentFolder(), "/");
  std::filesystem::current_path(start);
}
