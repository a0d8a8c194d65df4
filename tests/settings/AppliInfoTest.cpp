#include <gtest/gtest.h>

#include <filesystem>

#include "common/uFileIO.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "TestSupport.h"

using namespace tracemill;
using tracemill::testing::TRecordingMessages;
using tracemill::testing::TRecordingShell;
using tracemill::testing::TScratchFolder;

namespace {

class AppliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    SetJapanese(false);
    appli.SetProgramValues();
    appli.SetExecutable(dir / "bin/tracemill");
  }
  void TearDown() override {
    ::unsetenv("XDG_DATA_HOME");
    ResetLanguage();
  }
  TScratchFolder dir{"tm_appli"};
  TAppli appli;
};

constexpr const char* kHead =
    "A program that reads numbers off pictures of graphs\n"
    "Tracemill  Ver.5.00  Rev.6\n"
    "\nCopyright (C) 2026 Norvale"
    "\nAll rights reserved.\n\n";

}  // namespace

TEST(Appli, FreshRecordAndProgramValues) {
  TAppli fresh;
  EXPECT_EQ(fresh.Description, "Sample Soft");
  EXPECT_EQ(fresh.Name, "Sample");
  EXPECT_EQ(fresh.MajorVersion * 10000 + fresh.MinorVersion * 100 + fresh.Revision, 0);

  const TAppli& program = Appli();
  EXPECT_EQ(program.Name, "Tracemill");  // the version and maker: VersionText below
  EXPECT_EQ(program.BaseName, "settings_tests");
  EXPECT_TRUE(std::filesystem::exists(program.Folder + program.BaseName));
}

TEST_F(AppliTest, FoldersAndFilesComeFromTheExecutable) {
  std::filesystem::create_directories(dir / "real");
  WriteFileAtomic(dir / "real/tracemill", "");
  std::filesystem::create_symlink(dir / "real", dir / "link");
  appli.SetExecutable(dir / "link/./tracemill");
  EXPECT_EQ(appli.Folder, dir / "real/");
  EXPECT_EQ(appli.BaseName, "tracemill");
  EXPECT_EQ(appli.HelpFile, dir / "real/tracemill.html");
  EXPECT_EQ(appli.DocumentFile, dir / "real/tracemill.txt");
  EXPECT_EQ(appli.WorkFolder, dir / "data/Norvale/tracemill/");
  EXPECT_EQ(appli.WorkFile("Report.txt"), dir / "data/Norvale/tracemill/Report.txt");
  EXPECT_TRUE(std::filesystem::is_directory(appli.WorkFolder));

  // A relative or empty XDG folder is ignored; then HOME, then the current folder.
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("XDG_DATA_HOME", "relative/data", 1);
  ::setenv("HOME", (dir / "home").c_str(), 1);
  EXPECT_EQ(DataHomeFolder(), dir / "home/.local/share/");
  ::setenv("XDG_CONFIG_HOME", "", 1);
  EXPECT_EQ(ConfigHomeFolder(), dir / "home/.config/");
  ::unsetenv("HOME");
  EXPECT_EQ(DataHomeFolder(), std::filesystem::current_path().string() + "/");
  ::unsetenv("XDG_CONFIG_HOME");
  if (!home.empty()) ::setenv("HOME", home.c_str(), 1);

  appli.SetExecutable("");
  EXPECT_EQ(appli.BaseName, "tracemill");
}

TEST_F(AppliTest, VersionTextNamesTheFilesThatExist) {
  EXPECT_EQ(appli.VersionText(), kHead);  // ends after the notice
  std::filesystem::create_directories(dir / "bin");
  WriteFileAtomic(appli.DocumentFile, "doc");
  EXPECT_EQ(appli.VersionText(), std::string(kHead) + "\n\nSee " + appli.DocumentFile + " for detail.");
  WriteFileAtomic(appli.HelpFile, "help");
  EXPECT_EQ(appli.VersionText(),
            std::string(kHead) + "\n\nSee " + appli.DocumentFile + " or\n" + appli.HelpFile + " for detail.");
  SetJapanese(true);
  appli.SetProgramValues();
  appli.SetExecutable(dir / "bin/tracemill");
  EXPECT_EQ(appli.VersionText(), "グラフの画像から数値を読み取るプログラム\nTracemill  Ver.5.00  Rev.6\n"
                                 "\nCopyright (C) 2026 Norvale\nAll rights reserved.\n\n"
                                 "\n\n詳細は " + appli.DocumentFile + " や\n" + appli.HelpFile +
                                     " をご覧ください。");
  std::filesystem::remove(appli.DocumentFile);
  appli.MinorVersion = 5;
  appli.NoticeHolder2 = "Portions (C) 2026 Someone";
  EXPECT_EQ(appli.VersionText().substr(appli.Description.size() + 1),
            "Tracemill  Ver.5.05  Rev.6\n\nCopyright (C) 2026 Norvale\nPortions (C) 2026 Someone"
            "\nAll rights reserved.\n\n\n\n詳細は " + appli.HelpFile + " をご覧ください。");

  TRecordingMessages messages;
  appli.ShowVersion(messages);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].Caption, "Tracemill");
  EXPECT_EQ(messages.shown[0].Icon, TMessageIcon::Information);
  EXPECT_EQ(messages.shown[0].Text, appli.VersionText());
}

TEST_F(AppliTest, HelpAndDocumentOpenOrAreReportedMissing) {
  TRecordingShell shell;
  TRecordingMessages messages;
  appli.ShowHelp(shell, messages);
  appli.ShowDocument(shell, messages);
  SetJapanese(true);
  appli.ShowHelp(shell, messages);
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].Caption, "Error");
  EXPECT_EQ(messages.shown[0].Text, appli.HelpFile + "\r\nis not found.");
  EXPECT_EQ(messages.shown[0].Icon, TMessageIcon::Exclamation);
  EXPECT_EQ(messages.shown[1].Text, appli.DocumentFile + "\r\nis not found.");
  EXPECT_EQ(messages.shown[2].Caption, "エラー");
  EXPECT_EQ(messages.shown[2].Text, appli.HelpFile + " がありません");

  std::filesystem::create_directories(dir / "bin");
  WriteFileAtomic(appli.HelpFile, "help");
  WriteFileAtomic(appli.DocumentFile, "doc");
  EXPECT_TRUE(appli.DocumentExists());
  appli.ShowHelp(shell, messages);
  SetJapanese(false);
  appli.ShowHelp(shell, messages);
  appli.ShowDocument(shell, messages);
  ASSERT_EQ(shell.opened.size(), 3u);
  EXPECT_EQ(shell.opened[0].path, appli.HelpFile);
  EXPECT_EQ(shell.opened[0].anchor, "ja");
  EXPECT_EQ(shell.opened[1].anchor, "en");
  EXPECT_EQ(shell.opened[2].path, appli.DocumentFile);
  EXPECT_EQ(shell.opened[2].anchor, "");
  EXPECT_EQ(messages.shown.size(), 3u);
}

TEST(AppliFiles, HelpAndDocumentAreFoundBesideTheProgramOrInTheInstalledDocFolder) {
  TScratchFolder dir{"tm_appli_files"};
  std::filesystem::create_directories(dir / "usr/bin");
  std::filesystem::create_directories(dir / "usr/share/doc/tracemill");
  const std::string bin = dir / "usr/bin/";
  const std::string docs = dir / "usr/share/doc/tracemill/";
  EXPECT_EQ(InstalledDocFolder(bin, "tracemill"), docs);
  EXPECT_EQ(InstalledDocFolder(dir / "usr/bin", "tracemill"), docs);  // without the trailing "/"
  EXPECT_EQ(InstalledDocFolder("/", "tracemill"), "");                 // nothing above the root
  EXPECT_EQ(InstalledDocFolder("", "tracemill"), "");

  // Neither place holds the file: the path beside the program, for the message.
  EXPECT_EQ(FindProgramFile(bin, "tracemill.html", "tracemill"), bin + "tracemill.html");

  // Installed: the documentation folder, found per file.
  WriteFileAtomic(docs + "tracemill.html", "<html/>");
  EXPECT_EQ(FindProgramFile(bin, "tracemill.html", "tracemill"), docs + "tracemill.html");
  EXPECT_EQ(FindProgramFile(bin, "tracemill.txt", "tracemill"), bin + "tracemill.txt");

  // A copy beside the program wins over the installed one.
  WriteFileAtomic(bin + "tracemill.html", "<html/>");
  EXPECT_EQ(FindProgramFile(bin, "tracemill.html", "tracemill"), bin + "tracemill.html");

  // The folder is named after the program's base name: a renamed program has its own.
  EXPECT_EQ(FindProgramFile(bin, "other.html", "other"), bin + "other.html");
  std::filesystem::create_directories(dir / "usr/share/doc/other");
  WriteFileAtomic(dir / "usr/share/doc/other/other.html", "");
  EXPECT_EQ(FindProgramFile(bin, "other.html", "other"), dir / "usr/share/doc/other/other.html");

  // A folder of that name is no file.
  std::filesystem::create_directories(dir / "usr/share/doc/tracemill/tracemill.txt");
  EXPECT_EQ(FindProgramFile(bin, "tracemill.txt", "tracemill"), bin + "tracemill.txt");
}
