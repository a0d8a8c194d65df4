#pragma once
// The application information record: product name, version, the program's
// folders and base name, the help and document files, and the commands that
// open them and show the version message.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/uServices.h"

namespace tracemill {

class TAppli {
 public:
  // A fresh record carries the placeholder values "Sample Soft", "Sample",
  // version 0.00 revision 0; SetProgramValues gives it Tracemill's own.
  TAppli();

  std::string Description;     // one line, in the interface language
  std::string Name;            // product name; window and message-box captions use it
  std::string Folder;          // the executable's folder, with a trailing "/"
  std::string BaseName;        // the executable's file name without folder and extension
  std::int32_t MajorVersion = 0;
  std::int32_t MinorVersion = 0;
  std::int32_t Revision = 0;
  std::string NoticeHolder1;   // the maker's notice in the version message:
  std::string NoticeHolder2;   //   one line per holder (the second only when not empty)
  std::string NoticeClosing;   //   and a closing line
  std::string MakerShortName;  // the per-user settings and work folders are named after it
  std::string HelpFile;        // the bilingual manual, base name + ".html"
  std::string DocumentFile;    // the plain-text document, base name + ".txt"
  std::string WorkFolder;      // per-user folder for the files the program writes, trailing "/"

  // Sets Folder and BaseName from the executable's path (symbolic links and
  // relative parts resolved), and from them HelpFile, DocumentFile and WorkFolder.
  void SetExecutable(std::string_view path);
  // Tracemill's own name, version, maker, notice and description (in the
  // interface language of IsJapanese), then SetExecutable(ExecutablePath()).
  void SetProgramValues();

  // The text of the version message, line breaks as LF.
  std::string VersionText() const;
  // Opens the help file at the anchor of the interface language, or says that it is missing.
  void ShowHelp(TShellService& shell, TMessageService& messages) const;
  // Opens the document file with the desktop's program for text files, or says that it is missing.
  void ShowDocument(TShellService& shell, TMessageService& messages) const;
  void ShowVersion(TMessageService& messages) const;

  // True when the document file exists (the help menus show its item only then).
  bool DocumentExists() const;
  // WorkFolder + name, after creating WorkFolder when it is missing.
  std::string WorkFile(std::string_view name) const;
};

// The program's record, created with Tracemill's values at its first use.
TAppli& Appli();

// The path with every symbolic link and "."/".." resolved, as far as the
// leading part of it exists; the rest is appended as given.
std::string LongPathName(std::string_view path);

// The running executable's full path ("" when the system does not tell).
std::string ExecutablePath();

// The documentation folder of a program installed as <prefix>/bin/<baseName>:
// <prefix>/share/doc/<baseName>/ ("" for a program in the root folder). The
// build tree mirrors it, <build>/bin/ beside <build>/share/doc/<baseName>/.
std::string InstalledDocFolder(std::string_view exeFolder, std::string_view baseName);

// Where a file the program reads (its help and document files) lies: beside
// the executable in exeFolder, else in InstalledDocFolder. When neither holds
// it, the path beside the executable, for the message that it is missing.
std::string FindProgramFile(std::string_view exeFolder, std::string_view fileName, std::string_view baseName);

// The per-user base folders: $XDG_CONFIG_HOME and $XDG_DATA_HOME (when absolute), else
// ~/.config and ~/.local/share, else the current folder. With a trailing "/".
std::string ConfigHomeFolder();
std::string DataHomeFolder();

}  // namespace tracemill
