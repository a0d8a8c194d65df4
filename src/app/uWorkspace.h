#pragma once
// The main window's working state as a core object: the benches (one entry
// per bench ever opened in this working state, with or without a live bench),
// the collected data with its serial numbers, the list order, the remeasure
// command, the state file and the Window menu. The window (or the batch
// command line) drives it with plain calls and repaints from its events; the
// selection of the list is handed in as row indices.

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/uBaseData.h"
#include "app/uExport.h"
#include "app/uReport.h"
#include "bench/uBench.h"
#include "common/uServices.h"
#include "image/uBitmap.h"
#include "settings/uIniFile.h"

namespace tracemill {

// One entry of the bench list. Its position is the bench's window number.
struct TBenchEntry {
  // The image file name without folder; for an entry restored from a state
  // file section that held no bench, the file name that section gave.
  std::string FileName;
  std::unique_ptr<TBench> Bench;  // null for an entry without a live bench
};

// The six texts of one list row: "Serial #", "Title", "Point #", "X", "Y", "Comment".
inline constexpr int kListColumnCount = kListColumns;
using TListRow = TListRowTexts;
// The column captions, the same in both interface languages.
extern const std::array<std::string_view, kListColumnCount> kListColumnCaptions;

// How the rows of the list changed; the view keeps its own row count and
// brackets the change in the matching begin/end calls of its model.
struct TRowsChange {
  enum class TKind {
    Reset,     // anything may have changed: Count rows now
    Inserted,  // rows First .. First + Count - 1 are new, every other row is as it was
    Removed,   // the Count rows from First on are gone, every other row is as it was
    Updated,   // same rows in the same order; the texts of rows First .. First + Count - 1 may differ
  };
  TKind Kind = TKind::Reset;
  int First = 0;
  int Count = 0;
  int Select = -1;  // the row to select and scroll into view afterwards; -1: no row is selected
};

// One item of the Window menu. Tag is the bench's window number, or -1 for
// the single item shown when no bench is live (it does nothing).
struct TWindowMenuItem {
  std::string Caption;
  int Tag = -1;
};

// Enabled items and captions of the Edit and Tool menus and of the list's
// popup menu for the given selection.
struct TWorkspaceMenuState {
  bool DeleteEnabled = false;     // at least one row selected (menu and popup)
  bool SelectAllEnabled = false;  // the list has rows
  bool RemeasureEnabled = false;  // exactly one row selected
  std::string RemeasureCaption;   // the remeasure item of the Tool menu and of the popup
};

// The bench list is what the reports read of the benches.
class TWorkspace : public TBenchSource {
 public:
  // The store holds the number formats and takes the bench defaults; the
  // messages service is handed to every bench created.
  TWorkspace(TMessageService& messages, TIniFile& store);
  // Releases the benches without events: windows that show them go first.
  ~TWorkspace() override;
  TWorkspace(const TWorkspace&) = delete;
  TWorkspace& operator=(const TWorkspace&) = delete;

  // --- Hooks -----------------------------------------------------------------
  // Makes each new bench. The default makes a bench on the workspace's
  // services with DefaultPictureLoader(Limits()). The workspace assigns the
  // bench's OnImageLoaded, OnPoint, OnOptionChanged, OnLineDeleted and
  // OnTitleChanged; the others (OnRepaint, OnBusy) are the window's.
  std::function<std::unique_ptr<TBench>()> CreateBench;

  // --- Events for the view, each called only when set ---------------------------
  // The rows of the list changed (after the change; see TRowsChange).
  std::function<void(const TRowsChange&)> OnRowsChanged;
  // A bench was appended to the bench list at this window number (open,
  // command line, state file): its window may be made now.
  std::function<void(int index)> OnBenchAdded;
  // Every bench is about to be released (loading a state file, shut-down):
  // windows that show them must let go of them now.
  std::function<void()> OnBenchesReleasing;
  // The Window menu's items changed (WindowMenu()).
  std::function<void()> OnWindowMenuChanged;
  // The bench at this window number is to be restored to the normal window
  // state and shown, with its Placement (left and top may have been moved by
  // the cascade).
  std::function<void(int index)> OnShowBench;
  // The state file is about to be written: bring every bench's Placement up to date.
  std::function<void()> OnBeforeStateSaved;

  // --- Fields -------------------------------------------------------------------
  std::int32_t LastPointsID() const { return lastPointsID_; }
  const std::string& SortItem() const { return sortItem_; }
  bool SortReverse() const { return sortReverse_; }
  const std::string& FormatX() const { return formatX_; }
  const std::string& FormatY() const { return formatY_; }
  std::int32_t RemeasureID() const { return remeasureID_; }
  const TBaseMeasuredList& Data() const { return data_; }
  int BenchCount() const override { return static_cast<int>(benches_.size()); }
  std::string EntryFileName(int index) const override;
  std::optional<std::string> BenchFileName(int index) const override;
  // The entry at a window number, or nullptr outside the list.
  const TBenchEntry* Entry(int index) const;
  // The live bench at a window number, or nullptr.
  TBench* Bench(int index) const;
  // The window number of a bench, or -1 when it is not in the list.
  int IndexOf(const TBench& bench) const;

  // Sets the list order ("SERIAL", "BENCH", "NUMBER", "X", "Y", "COMMENT",
  // "TITLE" in any letter case; any other name is taken as "SERIAL") and
  // rebuilds the list.
  void SetSortOrder(std::string_view item, bool reverse);

  // Reads FormatX and FormatY from the settings store ("Format", "X" / "Y")
  // and refreshes the texts of every row.
  void ReadDisplayOptions();

  // Where frames of videos, Resume.trm and other written files go; the
  // program's work folder unless set.
  const std::string& WorkFolder() const;
  void SetWorkFolder(std::string folder);
  // The limits pictures and video frames are loaded with.
  const TImageLimits& Limits() const { return limits_; }
  void SetLimits(const TImageLimits& limits) { limits_ = limits; }
  // The screen the cascade keeps new benches on.
  void SetScreenSize(int width, int height);

  // --- Benches --------------------------------------------------------------------
  // The bench for an image file: a live bench whose file name equals path
  // exactly is shown again; otherwise a new bench loads the file (whatever the
  // outcome), is moved off the others when cascade is set, appended and shown.
  TBench* OpenBench(const std::string& path, bool cascade);
  // Opens one file: nothing for a missing file; a video (".avi", any letter
  // case) is split into frame files in a folder of its own under the work
  // folder, one bench per frame (the last frame's bench is returned); a PDF
  // document (".pdf") opens every page as OpenPdfFile does; any other file
  // through OpenBench. Throws FileError when a video frame cannot be written
  // or exceeds the limits (the frames before it stay open), and as
  // OpenPdfFile does.
  TBench* OpenImageFile(const std::string& path, bool cascade);
  // The folder the frames of a video go to: work folder + the video's name
  // + "-" + a short hash of its full path + "/".
  std::string FramesFolder(const std::string& videoPath) const;
  // Called with the work done and the work to do as it goes; returning false
  // cancels.
  using TProgress = std::function<bool(int done, int total)>;
  // Opens a video as OpenImageFile does, with every frame written before the
  // first bench opens. When progress cancels, no bench is opened and the
  // frame files (and the folder) that were not there before are removed;
  // then nullptr. A frame that cannot be written or exceeds the limits
  // throws FileError after the frames before it have been opened.
  TBench* OpenVideoFile(const std::string& path, bool cascade, const TProgress& progress = {});
  // Whether the open command takes the file: ".bmp", ".jpg", ".avi", ".pdf"
  // or a picture some loader claims.
  static bool CanOpenFile(const std::string& path);

  // --- PDF documents --------------------------------------------------------------
  // Whether the file is opened as a PDF document (".pdf", any letter case).
  static bool IsPdfFile(const std::string& path);
  // Whether the file is opened as a video (".avi", any letter case).
  static bool IsVideoFile(const std::string& path);
  // The resolution pages are rendered at: the one given to SetPdfDpi, else
  // the stored setting (ReadBaseOptions), read at each use.
  int PdfDpi() const;
  // Fixes the resolution for this working state (the batch run's option).
  // Throws InvalidOperation outside kPdfMinDpi..kPdfMaxDpi.
  void SetPdfDpi(int dpi);
  // The number of pages of a PDF document. Throws FileError for a document
  // that cannot be used (missing, damaged, incomplete, protected by a
  // password), with a message in the interface language.
  int PdfPageCount(const std::string& path) const;

  struct TPdfOpenRequest {
    // The pages to open (0-based, in this order); empty: every page.
    std::vector<int> Pages;
    // Called before each page and once at the end.
    TProgress Progress;
  };
  // Opens pages of a PDF document as benches, one per page in the order
  // asked: the pages are written as pictures at PdfDpi into a folder of the
  // document's own under the work folder (a page already written there is
  // not written again), then each picture is opened through OpenBench.
  // Returns the last page's bench, or nullptr when the file is missing or
  // the progress callback cancelled (then no bench is opened and no page
  // file is left that was not there before). A document or page that cannot
  // be used (damaged, incomplete, protected by a password, a page too big for
  // Limits()) throws FileError before any bench is opened; a page outside the
  // document throws InvalidOperation.
  TBench* OpenPdfFile(const std::string& path, bool cascade, const TPdfOpenRequest& request = {});

  // The program's arguments (without the program name): a first argument
  // naming an existing ".trm" file is loaded as a state file (the others are
  // ignored); otherwise, when the first argument names an existing file,
  // every argument is opened as an image with cascade. Language switches
  // ("/JAPANESE", "/ENGLISH") are not file names and are passed over.
  // Errors of a state file propagate as from LoadState.
  void HandleCommandLine(const std::vector<std::string>& arguments);
  // Files dropped on the window: the same rule with the first dropped file.
  void OpenDroppedFiles(const std::vector<std::string>& files);

  // --- Answers to the bench events (assigned to every bench the workspace makes) ---
  void BenchImageLoaded(TBench& bench);
  void BenchPoint(TBench& bench, const TMeasuredPoints& line, std::string_view kind, std::int32_t& id);
  void BenchOptionChanged(TBench& bench, const std::string& settingsText);
  void BenchLineDeleted(TBench& bench, std::int32_t id);
  void BenchTitleChanged(TBench& bench);

  // --- The list -----------------------------------------------------------------------
  int RowCount() const { return data_.Count(); }
  // The six texts of row i (X and Y with FormatX / FormatY); empty texts outside the list.
  TListRow Row(int row) const;
  // The first row whose serial number is serial, or -1.
  int RowOfSerial(std::int32_t serial) const;
  // Sorts the data and rebuilds the list; the row whose serial number is
  // select (if any) is to be selected.
  void RefreshList(std::int32_t select);
  // The same after the data changed without row events (a state file was
  // read): the view reads every row anew.
  void ResetList(std::int32_t select);
  // A click on a column header: the column's key, ascending, or the other
  // direction when it is already the key.
  void ColumnClick(int column, const std::vector<int>& selection);
  // Deletes the selected rows (and the benches' lines of their serial numbers).
  void DeleteRows(const std::vector<int>& selection);
  // Starts a remeasure of the first selected row, or cancels the running one.
  void Remeasure(const std::vector<int>& selection);
  // The serial number shown in the first selected row, or -1.
  std::int32_t SelectedSerial(const std::vector<int>& selection) const;

  // --- Menus ----------------------------------------------------------------------------
  TWorkspaceMenuState MenuState(const std::vector<int>& selection) const;
  std::vector<TWindowMenuItem> WindowMenu() const;
  // A Window menu item was chosen: its bench is shown.
  void ShowBench(int tag);

  // --- State file -------------------------------------------------------------------------
  // Writes the working state (creating the file's folder); an existing file
  // stays whole when writing fails. Throws FileError.
  void SaveState(const std::string& fileName);
  // Replaces the working state by the file's. A file that is not a state file
  // throws FileError and changes nothing. A malformed number ends the loading
  // with ConvertError naming the line; what was read before it stays and the
  // list shows it.
  void LoadState(const std::string& fileName);
  void SaveState(std::ostream& out);
  void LoadState(std::istream& in, const std::string& name = "");
  // Shut-down's snapshot: the working state to "Resume.trm" in the work
  // folder. Returns its path. Throws FileError.
  std::string SaveResume();

  // --- Export and reports ------------------------------------------------------------------
  // The list as the view shows it, to a CSV file (its folder is made).
  // Throws FileError.
  void SaveCsv(const std::string& fileName) const;
  // The simple report with the stored template and formats, written to
  // "SimpleReport.txt" in the work folder and handed to the stored
  // application (or the desktop's program) through the shell. Returns the
  // report's path. Throws InvalidOperation when a line's window number names
  // no bench entry (nothing is written), FileError when writing fails.
  std::string SimpleReport(TShellService& shell);
  // The programmable report with the stored program (or the built-in one),
  // written to "Report.txt" in the work folder and handed on like the simple
  // report. The list is rebuilt afterwards in its own order, no row selected.
  // Throws FileError when the report cannot be written.
  TReportFile ProgrammableReport(TShellService& shell, const TReportOptions& options = {});

  // --- Building blocks of the state file reader ----------------------------------------------
  // Every bench is released and the bench list and the data are emptied
  // (OnBenchesReleasing first). LastPointsID, the sort order and RemeasureID stay.
  void ReleaseAll();
  // Appends a bench made from a state text. The bench stays appended when
  // its text is malformed; the ConvertError then passes on. fileName names
  // the entry while the bench holds no picture.
  TBench* AddRestoredBench(std::string_view stateText, std::string_view fileName);
  // Appends an entry without a bench: the window number stays taken.
  void AddEmptyEntry(std::string fileName);
  // Appends a collected line as it is (no serial number is handed out).
  void AddLine(std::unique_ptr<TBaseMeasuredPoints> line);
  void SetLastPointsID(std::int32_t id) { lastPointsID_ = id; }
  // Sets the sort order without sorting; a name that is not a key becomes "SERIAL".
  void SetSortItem(std::string_view item, bool reverse);

 private:
  std::unique_ptr<TBench> MakeBench();
  void Attach(TBench& bench);
  int AppendBench(std::unique_ptr<TBench> bench);
  void Cascade(TBench& bench);
  void UpdateWindowMenu();
  void RowsChanged(const TRowsChange& change);
  void ShowIndex(int index);
  TBaseMeasuredPoints* FindLine(std::int32_t id, int* row = nullptr) const;
  void ReplaceLine(TBaseMeasuredPoints& target, const TMeasuredPoints& line);
  std::int32_t NextSerialAfter(std::int32_t serial) const;
  // Sorts and tells the view how the rows moved from the order before.
  void Reorder(const std::vector<const TBaseMeasuredPoints*>& before, std::int32_t select);
  std::vector<const TBaseMeasuredPoints*> Order() const;

  TMessageService& messages_;
  TIniFile& store_;
  TImageLimits limits_;
  mutable std::string workFolder_;
  int screenWidth_ = 1920;
  int screenHeight_ = 1080;
  int pdfDpi_ = 0;  // 0: the stored setting

  std::int32_t lastPointsID_ = -1;
  std::string sortItem_ = "SERIAL";
  bool sortReverse_ = false;
  std::string formatX_;
  std::string formatY_;
  std::int32_t remeasureID_ = -1;
  std::vector<TBenchEntry> benches_;
  TBaseMeasuredList data_;
};

}  // namespace tracemill
