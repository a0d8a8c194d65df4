#include "settings/uAppliInfo.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/uFilename.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kDefaultBaseName = "tracemill";
constexpr std::string_view kHelpExtension = ".html";
constexpr std::string_view kDocumentExtension = ".txt";
// Below the installation prefix, beside its "bin/".
constexpr std::string_view kInstalledDocFolder = "share/doc/";
constexpr std::string_view kHelpAnchorJapanese = "ja";
constexpr std::string_view kHelpAnchorEnglish = "en";

constexpr std::string_view kDescriptionJapanese = "グラフの画像から数値を読み取るプログラム";
constexpr std::string_view kDescriptionEnglish = "A program that reads numbers off pictures of graphs";

constexpr std::string_view kMissingJapanese = " がありません";
constexpr std::string_view kMissingEnglish = "\r\nis not found.";
constexpr std::string_view kErrorCaptionJapanese = "エラー";
constexpr std::string_view kErrorCaptionEnglish = "Error";

constexpr std::string_view kSeeJapanese = "詳細は ";
constexpr std::string_view kSeeEnglish = "See ";
constexpr std::string_view kOrJapanese = "や\n";
constexpr std::string_view kOrEnglish = "or\n";
constexpr std::string_view kForDetailJapanese = "をご覧ください。";
constexpr std::string_view kForDetailEnglish = "for detail.";

std::string HomeBased(const char* variable, std::string_view belowHome) {
  // Only an absolute folder counts; a relative one is ignored like an unset one.
  if (const char* value = std::getenv(variable); value != nullptr && *value == '/')
    return IncludeTrailingSlash(value);
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
    return IncludeTrailingSlash(home) + std::string(belowHome);
  return IncludeTrailingSlash(CurrentFolder());
}

void ShowMissing(TMessageService& messages, const std::string& fileName) {
  const bool japanese = IsJapanese();
  TMessage message;
  message.Caption = std::string(japanese ? kErrorCaptionJapanese : kErrorCaptionEnglish);
  message.Text = fileName + std::string(japanese ? kMissingJapanese : kMissingEnglish);
  message.Buttons = TMessageButtons::Ok;
  message.Icon = TMessageIcon::Exclamation;
  messages.ShowMessage(message);
}

}  // namespace

TAppli::TAppli() : Description("Sample Soft"), Name("Sample") {}

void TAppli::SetExecutable(std::string_view path) {
  const std::string full = LongPathName(path);
  Folder = ExtractFilePath(full);
  BaseName = ExtractFileBaseName(full);
  // Without a known executable the files are named after the program itself.
  if (BaseName.empty()) BaseName = kDefaultBaseName;
  HelpFile = FindProgramFile(Folder, BaseName + std::string(kHelpExtension), BaseName);
  DocumentFile = FindProgramFile(Folder, BaseName + std::string(kDocumentExtension), BaseName);
  WorkFolder = DataHomeFolder() + MakerShortName + "/" + BaseName + "/";
}

void TAppli::SetProgramValues() {
  Name = "Tracemill";
  MajorVersion = 5;
  MinorVersion = 0;
  Revision = 6;
  MakerShortName = "Norvale";
  NoticeHolder1 = "Copyright (C) 2026 Norvale";
  NoticeHolder2.clear();
  NoticeClosing = "All rights reserved.";
  Description = std::string(IsJapanese() ? kDescriptionJapanese : kDescriptionEnglish);
  SetExecutable(ExecutablePath());
}

std::string TAppli::VersionText() const {
  const bool japanese = IsJapanese();
  std::string text = Description + "\n";
  const std::string minor = std::to_string(static_cast<std::int64_t>(MinorVersion) + 100);
  text += Name + "  Ver." + std::to_string(MajorVersion) + "." + minor.substr(minor.size() - 2) +
          "  Rev." + std::to_string(Revision) + "\n";
  text += "\n" + NoticeHolder1;
  if (!NoticeHolder2.empty()) text += "\n" + NoticeHolder2;
  text += "\n" + NoticeClosing + "\n\n";
  const bool document = FileExists(DocumentFile);
  const bool help = FileExists(HelpFile);
  if (document || help) {
    text += "\n\n";
    text += japanese ? kSeeJapanese : kSeeEnglish;
    if (document) text += DocumentFile + " ";
    if (document && help) text += japanese ? kOrJapanese : kOrEnglish;
    if (help) text += HelpFile + " ";
    text += japanese ? kForDetailJapanese : kForDetailEnglish;
  }
  return text;
}

void TAppli::ShowHelp(TShellService& shell, TMessageService& messages) const {
  if (!FileExists(HelpFile)) {
    ShowMissing(messages, HelpFile);
    return;
  }
  shell.OpenFile(HelpFile, std::string(IsJapanese() ? kHelpAnchorJapanese : kHelpAnchorEnglish));
}

void TAppli::ShowDocument(TShellService& shell, TMessageService& messages) const {
  if (!FileExists(DocumentFile)) {
    ShowMissing(messages, DocumentFile);
    return;
  }
  shell.OpenFile(DocumentFile, "");
}

void TAppli::ShowVersion(TMessageService& messages) const {
  TMessage message;
  message.Caption = Name;
  message.Text = VersionText();
  message.Buttons = TMessageButtons::Ok;
  message.Icon = TMessageIcon::Information;
  messages.ShowMessage(message);
}

bool TAppli::DocumentExists() const { return FileExists(DocumentFile); }

std::string TAppli::WorkFile(std::string_view name) const {
  ForceDirectories(WorkFolder);
  return WorkFolder + std::string(name);
}

TAppli& Appli() {
  static TAppli appli = [] {
    TAppli a;
    a.SetProgramValues();
    return a;
  }();
  return appli;
}

std::string LongPathName(std::string_view path) {
  if (path.empty()) return std::string();
  std::error_code ec;
  fs::path p{std::string(path)};
  if (p.is_relative()) p = fs::path(CurrentFolder()) / p;
  const fs::path resolved = fs::weakly_canonical(p, ec);
  if (ec) return p.lexically_normal().string();
  return resolved.string();
}

std::string ExecutablePath() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string InstalledDocFolder(std::string_view exeFolder, std::string_view baseName) {
  if (exeFolder.empty() || baseName.empty()) return std::string();
  // The folder above the executable's: "/usr/bin/" gives "/usr/", "/bin/" gives "/"; the root has none.
  const std::string folder = ExcludeTrailingSlash(IncludeTrailingSlash(std::string(exeFolder)));
  if (folder.empty() || folder == "/") return std::string();
  const std::string parent = ExtractFilePath(folder);
  if (parent.empty()) return std::string();
  return parent + std::string(kInstalledDocFolder) + std::string(baseName) + "/";
}

std::string FindProgramFile(std::string_view exeFolder, std::string_view fileName, std::string_view baseName) {
  const std::string folder = exeFolder.empty() ? std::string() : IncludeTrailingSlash(std::string(exeFolder));
  const std::string beside = folder + std::string(fileName);
  if (FileExists(beside)) return beside;
  if (const std::string docs = InstalledDocFolder(folder, baseName); !docs.empty()) {
    const std::string installed = docs + std::string(fileName);
    if (FileExists(installed)) return installed;
  }
  return beside;
}

std::string ConfigHomeFolder() { return HomeBased("XDG_CONFIG_HOME", ".config/"); }

std::string DataHomeFolder() { return HomeBased("XDG_DATA_HOME", ".local/share/"); }

}  // namespace tracemill
