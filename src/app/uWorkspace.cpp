#include "app/uWorkspace.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/uBaseOptions.h"
#include "app/uStateFile.h"
#include "bench/uBenchKeys.h"
#include "bench/uMarker.h"
#include "common/uError.h"
#include "common/uFilename.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "image/AVIImage.h"
#include "image/uPdf.h"
#include "image/uSPI.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"

namespace tracemill {

const std::array<std::string_view, kListColumnCount> kListColumnCaptions = {"Serial #", "Title", "Point #",
                                                                            "X",        "Y",     "Comment"};

namespace {

constexpr std::string_view kNoPictureWindow = "( no picture window )";
constexpr std::string_view kRemeasureJa = "再測定";
constexpr std::string_view kRemeasureEn = "ReMeasure";
constexpr std::string_view kCancelRemeasureJa = "再測定中断";
constexpr std::string_view kCancelRemeasureEn = "Cancel ReMeasure";
constexpr std::string_view kOtherWindowTrue = "OtherWindow=True";
constexpr std::string_view kDefaultTrue = "Default=True";
constexpr std::string_view kStateExtension = ".TRM";
constexpr std::string_view kVideoExtension = ".AVI";
constexpr std::string_view kPdfExtension = ".PDF";
constexpr int kCascadeStep = 32;
constexpr std::string_view kResumeFileName = "Resume.trm";

// The sort key of each list column; columns past the last take the last.
constexpr std::string_view kColumnKeys[] = {"SERIAL", "TITLE", "NUMBER", "X", "Y", "COMMENT"};
constexpr std::string_view kSortKeys[] = {"SERIAL", "BENCH", "NUMBER", "X", "Y", "COMMENT", "TITLE"};

// How a bench default is stored in the settings store.
enum class TStoreAs { Integer, Boolean, Text, PatternText };

struct TDefaultWrite {
  std::string_view Key;  // upper case, as compared
  std::string_view Section;
  std::string_view Name;
  TStoreAs As;
};

constexpr TDefaultWrite kDefaultWrites[] = {
    {"STANDARDCOLOR", "Bench\\Default\\Standard", "Color", TStoreAs::Integer},
    {"STANDARDPATTERN", "Bench\\Default\\Standard", "Bitmap", TStoreAs::PatternText},
    {"STANDARDBITMAP", "Bench\\Default\\Standard", "Bitmap", TStoreAs::Text},
    {"MEASUREDCOLOR", "Bench\\Default\\Measured", "Color", TStoreAs::Integer},
    {"MEASUREDPATTERN", "Bench\\Default\\Measured", "Bitmap", TStoreAs::PatternText},
    {"MEASUREDBITMAP", "Bench\\Default\\Measured", "Bitmap", TStoreAs::Text},
    {"LINECOLOR", "Bench\\Default\\Line", "Color", TStoreAs::Integer},
    {"LINEWIDTH", "Bench\\Default\\Line", "Width", TStoreAs::Integer},
    {"MAGNITUDE", "Bench\\Default", "Magnitude", TStoreAs::Text},
    {"GRIDCOLOR", "Bench\\Default\\Grid", "Color", TStoreAs::Integer},
    {"COMMENTAREA", "Bench\\Default\\Comment", "Area", TStoreAs::Boolean},
    {"COMMENTCOLOR", "Bench\\Default\\Comment", "Color", TStoreAs::Boolean},
    {"STATUSXO", "Bench\\Default\\Status", "Xo", TStoreAs::Boolean},
    {"STATUSYO", "Bench\\Default\\Status", "Yo", TStoreAs::Boolean},
    {"STATUSXV", "Bench\\Default\\Status", "Xv", TStoreAs::Boolean},
    {"STATUSYV", "Bench\\Default\\Status", "Yv", TStoreAs::Boolean},
    {"STATUSCOLOR", "Bench\\Default\\Status", "Color", TStoreAs::Boolean},
    {"RIGHTMAGNIFIER", "Bench\\Default\\Right", "Magnifier", TStoreAs::Boolean},
    {"RIGHTLINE", "Bench\\Default\\Right", "Line", TStoreAs::Boolean},
    {"RIGHTDELETE", "Bench\\Default\\Right", "Delete", TStoreAs::Boolean},
};

// FNV-1a over the bytes, folded to 32 bits: short, stable across runs and builds.
std::string ShortHash(std::string_view text) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : text) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>((h >> 32) ^ (h & 0xffffffffu)));
  return buf;
}

bool HasExtension(const std::string& path, std::string_view upperExtension) {
  return UpperCaseAscii(ExtractFileExt(path)) == upperExtension;
}

}  // namespace

TWorkspace::TWorkspace(TMessageService& messages, TIniFile& store)
    : messages_(messages), store_(store), limits_(DefaultImageLimits()) {
  formatX_ = store_.ReadValue(basekeys::kFormatSection, basekeys::kFormatX, "");
  formatY_ = store_.ReadValue(basekeys::kFormatSection, basekeys::kFormatY, "");
}

TWorkspace::~TWorkspace() {
  // Benches go before the data and the events they call into.
  for (TBenchEntry& e : benches_)
    if (e.Bench) {
      e.Bench->OnImageLoaded = nullptr;
      e.Bench->OnPoint = nullptr;
      e.Bench->OnOptionChanged = nullptr;
      e.Bench->OnLineDeleted = nullptr;
      e.Bench->OnTitleChanged = nullptr;
    }
  benches_.clear();
}

// --- Fields --------------------------------------------------------------------

const TBenchEntry* TWorkspace::Entry(int index) const {
  if (index < 0 || index >= BenchCount()) return nullptr;
  return &benches_[static_cast<std::size_t>(index)];
}

TBench* TWorkspace::Bench(int index) const {
  const TBenchEntry* e = Entry(index);
  return e ? e->Bench.get() : nullptr;
}

int TWorkspace::IndexOf(const TBench& bench) const {
  for (int i = 0; i < BenchCount(); ++i)
    if (benches_[static_cast<std::size_t>(i)].Bench.get() == &bench) return i;
  return -1;
}

std::string TWorkspace::EntryFileName(int index) const {
  const TBenchEntry* e = Entry(index);
  return e ? e->FileName : std::string();
}

std::optional<std::string> TWorkspace::BenchFileName(int index) const {
  const TBench* b = Bench(index);
  if (!b) return std::nullopt;
  return b->FileName();
}

void TWorkspace::SetSortItem(std::string_view item, bool reverse) {
  sortItem_ = IsSortKey(item) ? std::string(item) : std::string(kSortKeys[0]);
  sortReverse_ = reverse;
}

void TWorkspace::SetSortOrder(std::string_view item, bool reverse) {
  SetSortItem(item, reverse);
  RefreshList(-1);
}

void TWorkspace::ReadDisplayOptions() {
  formatX_ = store_.ReadValue(basekeys::kFormatSection, basekeys::kFormatX, "");
  formatY_ = store_.ReadValue(basekeys::kFormatSection, basekeys::kFormatY, "");
  if (RowCount() > 0) RowsChanged({TRowsChange::TKind::Updated, 0, RowCount(), -1});
}

const std::string& TWorkspace::WorkFolder() const {
  if (workFolder_.empty()) workFolder_ = Appli().WorkFolder;
  return workFolder_;
}

void TWorkspace::SetWorkFolder(std::string folder) { workFolder_ = IncludeTrailingSlash(folder); }

void TWorkspace::SetScreenSize(int width, int height) {
  screenWidth_ = std::max(width, 1);
  screenHeight_ = std::max(height, 1);
}

// --- Benches -------------------------------------------------------------------

std::unique_ptr<TBench> TWorkspace::MakeBench() {
  std::unique_ptr<TBench> bench =
      CreateBench ? CreateBench() : std::make_unique<TBench>(messages_, store_, DefaultPictureLoader(limits_));
  if (!bench) throw InvalidOperation("No bench could be made");
  return bench;
}

void TWorkspace::Attach(TBench& bench) {
  bench.OnImageLoaded = [this](TBench& b) { BenchImageLoaded(b); };
  bench.OnPoint = [this](TBench& b, const TMeasuredPoints& line, std::string_view kind, std::int32_t& id) {
    BenchPoint(b, line, kind, id);
  };
  bench.OnOptionChanged = [this](TBench& b, const std::string& text) { BenchOptionChanged(b, text); };
  // A restored bench reports its deletions too, so the list keeps showing
  // what the benches hold.
  bench.OnLineDeleted = [this](TBench& b, std::int32_t id) { BenchLineDeleted(b, id); };
  bench.OnTitleChanged = [this](TBench& b) { BenchTitleChanged(b); };
}

int TWorkspace::AppendBench(std::unique_ptr<TBench> bench) {
  TBenchEntry entry;
  entry.FileName = ExtractFileName(bench->FileName());
  entry.Bench = std::move(bench);
  benches_.push_back(std::move(entry));
  const int index = BenchCount() - 1;
  if (OnBenchAdded) OnBenchAdded(index);
  return index;
}

void TWorkspace::ShowIndex(int index) {
  if (OnShowBench && Bench(index)) OnShowBench(index);
}

void TWorkspace::Cascade(TBench& bench) {
  // Every move lands on a new place of a cycle of places; after as many
  // moves as there are benches the bench keeps the place it has.
  int moves = 0;
  bool moved = true;
  while (moved && moves <= BenchCount()) {
    moved = false;
    for (const TBenchEntry& e : benches_) {
      if (!e.Bench || e.Bench.get() == &bench) continue;
      if (e.Bench->Placement.Left != bench.Placement.Left || e.Bench->Placement.Top != bench.Placement.Top) continue;
      bench.Placement.Left += kCascadeStep;
      bench.Placement.Top += kCascadeStep;
      if (bench.Placement.Left > screenWidth_ * 3 / 4) bench.Placement.Left = kCascadeStep;
      if (bench.Placement.Top > screenHeight_ * 3 / 4) bench.Placement.Top = kCascadeStep;
      moved = true;
      ++moves;
      break;
    }
  }
  if (bench.Placement.HasRestoredRect) {
    bench.Placement.RestoredLeft = bench.Placement.Left;
    bench.Placement.RestoredTop = bench.Placement.Top;
  }
}

TBench* TWorkspace::OpenBench(const std::string& path, bool cascade) {
  for (int i = 0; i < BenchCount(); ++i) {
    TBench* b = Bench(i);
    if (b && b->FileName() == path) {
      ShowIndex(i);
      return b;
    }
  }
  std::unique_ptr<TBench> bench = MakeBench();
  Attach(*bench);
  bench->LoadImage(path);
  if (cascade) Cascade(*bench);
  TBench* result = bench.get();
  const int index = AppendBench(std::move(bench));
  ShowIndex(index);
  UpdateWindowMenu();
  return result;
}

std::string TWorkspace::FramesFolder(const std::string& videoPath) const {
  return WorkFolder() + ExtractFileBaseName(videoPath) + "-" + ShortHash(LongPathName(videoPath)) + "/";
}

TBench* TWorkspace::OpenImageFile(const std::string& path, bool cascade) {
  if (!FileExists(path)) return nullptr;
  if (IsPdfFile(path)) return OpenPdfFile(path, cascade);
  if (!IsVideoFile(path)) return OpenBench(path, cascade);
  return OpenVideoFile(path, cascade);
}

TBench* TWorkspace::OpenVideoFile(const std::string& path, bool cascade, const TProgress& progress) {
  if (!FileExists(path)) return nullptr;
  int frames = 0;
  {
    TAVIImage video(limits_);
    video.SetFileName(path);
    frames = video.Length();
  }
  if (frames <= 0) return nullptr;
  const std::string folder = FramesFolder(path);
  const bool folderExisted = DirectoryExists(folder);
  if (!ForceDirectories(folder)) throw FileError("The folder " + folder + " cannot be made");
  // What a cancel takes away again: the frame files that were not there before.
  std::vector<bool> existed;
  for (int i = 0; i < frames; ++i) existed.push_back(FileExists(folder + AviFrameFileName(i)));

  struct TCancelled {};
  std::vector<std::string> written;
  const auto openWritten = [&] {
    TBench* last = nullptr;
    for (const std::string& frame : written) last = OpenBench(frame, cascade);
    return last;
  };
  try {
    if (progress && !progress(0, frames)) throw TCancelled();
    SplitAviFile(path, folder, limits_, [&](const std::string& frame) {
      written.push_back(frame);
      if (progress && !progress(std::min(static_cast<int>(written.size()), frames), frames)) throw TCancelled();
    });
  } catch (const TCancelled&) {
    for (std::size_t i = 0; i < written.size(); ++i)
      if (i >= existed.size() || !existed[i]) std::remove(written[i].c_str());
    if (!folderExisted) ::rmdir(folder.c_str());  // only when empty
    return nullptr;
  } catch (const FileError&) {
    openWritten();
    throw;
  }
  return openWritten();
}

bool TWorkspace::CanOpenFile(const std::string& path) {
  const std::string ext = UpperCaseAscii(ExtractFileExt(path));
  return ext == ".BMP" || ext == ".JPG" || ext == kVideoExtension || ext == kPdfExtension || CanOpenPicture(path);
}

// --- PDF documents ------------------------------------------------------------------

bool TWorkspace::IsPdfFile(const std::string& path) { return HasExtension(path, kPdfExtension); }

bool TWorkspace::IsVideoFile(const std::string& path) { return HasExtension(path, kVideoExtension); }

int TWorkspace::PdfDpi() const { return pdfDpi_ != 0 ? pdfDpi_ : ReadBaseOptions(store_).PdfDpi; }

void TWorkspace::SetPdfDpi(int dpi) {
  if (!PdfDpiAllowed(dpi)) throw InvalidOperation("The PDF resolution " + std::to_string(dpi) + " dpi is outside " +
                                                  std::to_string(kPdfMinDpi) + " to " + std::to_string(kPdfMaxDpi));
  pdfDpi_ = dpi;
}

int TWorkspace::PdfPageCount(const std::string& path) const { return TPdfDocument(path, IsJapanese()).PageCount(); }

TBench* TWorkspace::OpenPdfFile(const std::string& path, bool cascade, const TPdfOpenRequest& request) {
  if (!FileExists(path)) return nullptr;
  TPdfSplitOptions options;
  options.dpi = PdfDpi();
  options.pages = request.Pages;
  options.limits = limits_;
  options.japanese = IsJapanese();
  options.progress = request.Progress;
  // Every page is in place before the first bench opens, so a failure or a
  // cancel leaves the bench list as it was.
  const std::vector<std::string> pages = SplitPdfFile(path, WorkFolder(), options);
  TBench* last = nullptr;
  for (const std::string& page : pages) last = OpenBench(page, cascade);
  return last;
}

void TWorkspace::HandleCommandLine(const std::vector<std::string>& arguments) {
  std::vector<std::string> files;
  for (const std::string& a : arguments)
    if (!IsLanguageSwitch(a)) files.push_back(a);
  if (files.empty() || !FileExists(files.front())) return;
  OpenDroppedFiles(files);
}

void TWorkspace::OpenDroppedFiles(const std::vector<std::string>& files) {
  if (files.empty()) return;
  if (HasExtension(files.front(), kStateExtension)) {
    LoadState(files.front());
    return;
  }
  for (const std::string& f : files) OpenImageFile(f, true);
  UpdateWindowMenu();
}

// --- Answers to the bench events ----------------------------------------------------

void TWorkspace::BenchImageLoaded(TBench& bench) {
  const int i = IndexOf(bench);
  if (i >= 0) benches_[static_cast<std::size_t>(i)].FileName = ExtractFileName(bench.FileName());
  UpdateWindowMenu();
}

void TWorkspace::BenchTitleChanged(TBench&) { UpdateWindowMenu(); }

TBaseMeasuredPoints* TWorkspace::FindLine(std::int32_t id, int* row) const {
  for (int i = 0; i < data_.Count(); ++i) {
    TBaseMeasuredPoints* line = data_.Item(i);
    if (line && line->PointsID == id) {
      if (row) *row = i;
      return line;
    }
  }
  return nullptr;
}

// The remeasure moves on to the next collected line in serial-number order;
// serial numbers of deleted lines are passed over, so no click goes to a line
// that is not there. -1 after the last one.
std::int32_t TWorkspace::NextSerialAfter(std::int32_t serial) const {
  std::int32_t next = -1;
  for (int i = 0; i < data_.Count(); ++i)
    if (const TBaseMeasuredPoints* line = data_.Item(i); line && line->PointsID > serial &&
                                                        (next < 0 || line->PointsID < next))
      next = line->PointsID;
  return next;
}

void TWorkspace::ReplaceLine(TBaseMeasuredPoints& target, const TMeasuredPoints& line) {
  target.Clear();
  for (int j = 0; j < line.Count(); ++j)
    if (const TMeasuredPoint* p = line.Item(j)) target.AddPoint(p->ValueX, p->ValueY);
  target.Comment = line.Comment;
  target.Title = line.Title;
}

void TWorkspace::BenchPoint(TBench& bench, const TMeasuredPoints& line, std::string_view kind, std::int32_t& id) {
  const std::vector<const TBaseMeasuredPoints*> before = Order();
  if (id >= 0 || remeasureID_ >= 0) {
    if (remeasureID_ >= 0) {
      id = remeasureID_;
      remeasureID_ = NextSerialAfter(id);
    }
    TBaseMeasuredPoints* target = FindLine(id);
    if (!target) {
      // A line that undo or redo brought back is taken up again under its own
      // serial number, as long as no other line has it.
      if (kind != kRestoreKind || IndexOf(bench) < 0) return;
      auto fresh = std::make_unique<TBaseMeasuredPoints>();
      fresh->PointsID = id;
      fresh->WindowID = IndexOf(bench);
      target = data_.Add(std::move(fresh));
      lastPointsID_ = std::max(lastPointsID_, id);
    }
    ReplaceLine(*target, line);
    Reorder(before, remeasureID_ >= 0 ? remeasureID_ : data_.Count() - 1);
    return;
  }
  const int w = IndexOf(bench);
  if (w < 0) return;
  auto fresh = std::make_unique<TBaseMeasuredPoints>();
  fresh->PointsID = lastPointsID_ + 1;
  fresh->WindowID = w;
  ReplaceLine(*fresh, line);
  data_.Add(std::move(fresh));
  lastPointsID_ = lastPointsID_ + 1;
  id = lastPointsID_;
  Reorder(before, data_.Count() - 1);
}

void TWorkspace::BenchLineDeleted(TBench&, std::int32_t id) {
  const std::vector<const TBaseMeasuredPoints*> before = Order();
  int row = -1;
  if (FindLine(id, &row)) data_.Delete(row);
  Reorder(before, -1);
}

void TWorkspace::BenchOptionChanged(TBench& bench, const std::string& settingsText) {
  if (settingsText.find(kOtherWindowTrue) != std::string::npos) {
    for (TBenchEntry& e : benches_)
      if (e.Bench && e.Bench.get() != &bench) e.Bench->ApplySettingsText(settingsText);
  }
  if (settingsText.find(kDefaultTrue) == std::string::npos) return;
  store_.WriteFont(benchkeys::kDefaultsSection, bench.Settings().Font);
  std::string_view rest = TrimmedLeftView(settingsText);
  while (!rest.empty()) {
    const std::size_t cut = rest.find("\r\n");
    const std::string_view line = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : TrimmedLeftView(rest.substr(cut + 2));
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string key = UpperCaseAscii(TrimmedView(line.substr(0, eq)));
    const std::string_view value = line.substr(eq + 1);
    for (const TDefaultWrite& d : kDefaultWrites) {
      if (d.Key != key) continue;
      switch (d.As) {
        case TStoreAs::Integer:
          store_.WriteValue(d.Section, d.Name, StrToInt(value));
          break;
        case TStoreAs::Boolean:
          store_.WriteValue(d.Section, d.Name, UpperCaseAscii(value) == "TRUE");
          break;
        case TStoreAs::Text:
          store_.WriteValue(d.Section, d.Name, value);
          break;
        case TStoreAs::PatternText:
          store_.WriteValue(d.Section, d.Name, PresetShapeText(StrToInt(value)));
          break;
      }
    }
  }
  store_.Save();
}

// --- The list ------------------------------------------------------------------------

TListRow TWorkspace::Row(int row) const {
  const TBaseMeasuredPoints* line = data_.Item(row);
  return line ? ListRowTexts(*line, formatX_, formatY_) : TListRow{};
}

int TWorkspace::RowOfSerial(std::int32_t serial) const {
  int row = -1;
  FindLine(serial, &row);
  return row;
}

std::vector<const TBaseMeasuredPoints*> TWorkspace::Order() const {
  std::vector<const TBaseMeasuredPoints*> order(static_cast<std::size_t>(data_.Count()));
  for (int i = 0; i < data_.Count(); ++i) order[static_cast<std::size_t>(i)] = data_.Item(i);
  return order;
}

void TWorkspace::RowsChanged(const TRowsChange& change) {
  if (OnRowsChanged) OnRowsChanged(change);
}

void TWorkspace::Reorder(const std::vector<const TBaseMeasuredPoints*>& before, std::int32_t select) {
  SortMeasuredList(data_, sortItem_, sortReverse_);
  const int selectRow = select >= 0 ? RowOfSerial(select) : -1;
  const int oldCount = static_cast<int>(before.size());
  const int newCount = data_.Count();
  // The rows kept at both ends; the lines compared are never destroyed and
  // made anew within one change, so equal pointers are the same line.
  int head = 0;
  while (head < oldCount && head < newCount && before[static_cast<std::size_t>(head)] == data_.Item(head)) ++head;
  int tail = 0;
  while (tail < oldCount - head && tail < newCount - head &&
         before[static_cast<std::size_t>(oldCount - 1 - tail)] == data_.Item(newCount - 1 - tail))
    ++tail;
  TRowsChange change;
  change.Select = selectRow;
  if (oldCount == newCount && head == oldCount) {
    change.Kind = TRowsChange::TKind::Updated;
    change.First = 0;
    change.Count = newCount;
  } else if (newCount > oldCount && head + tail == oldCount) {
    change.Kind = TRowsChange::TKind::Inserted;
    change.First = head;
    change.Count = newCount - oldCount;
  } else if (newCount < oldCount && head + tail == newCount) {
    change.Kind = TRowsChange::TKind::Removed;
    change.First = head;
    change.Count = oldCount - newCount;
  } else {
    change.Kind = TRowsChange::TKind::Reset;
    change.Count = newCount;
  }
  RowsChanged(change);
}

void TWorkspace::RefreshList(std::int32_t select) { Reorder(Order(), select); }

void TWorkspace::ResetList(std::int32_t select) {
  SortMeasuredList(data_, sortItem_, sortReverse_);
  RowsChanged({TRowsChange::TKind::Reset, 0, RowCount(), select >= 0 ? RowOfSerial(select) : -1});
}

std::int32_t TWorkspace::SelectedSerial(const std::vector<int>& selection) const {
  if (selection.empty()) return -1;
  const TBaseMeasuredPoints* line = data_.Item(*std::min_element(selection.begin(), selection.end()));
  return line ? line->PointsID : -1;
}

void TWorkspace::ColumnClick(int column, const std::vector<int>& selection) {
  const std::int32_t select = SelectedSerial(selection);
  const std::string_view key = kColumnKeys[std::clamp(column, 0, kListColumnCount - 1)];
  if (UpperCaseAscii(sortItem_) != key) {
    sortItem_ = std::string(key);
    sortReverse_ = false;
  } else {
    sortReverse_ = !sortReverse_;
  }
  RefreshList(select);
}

void TWorkspace::DeleteRows(const std::vector<int>& selection) {
  std::vector<int> rows = selection;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  const std::vector<const TBaseMeasuredPoints*> before = Order();
  // Serial numbers first: a bench told to delete a line answers with
  // OnLineDeleted, which must not find the line a second time.
  std::vector<std::pair<std::int32_t, std::int32_t>> doomed;  // serial, window
  for (auto it = rows.rbegin(); it != rows.rend(); ++it)
    if (const TBaseMeasuredPoints* line = data_.Item(*it)) doomed.emplace_back(line->PointsID, line->WindowID);
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) data_.Delete(*it);
  for (const auto& [serial, window] : doomed)
    if (TBench* bench = Bench(window)) bench->DeleteLineById(serial);
  Reorder(before, -1);
}

void TWorkspace::Remeasure(const std::vector<int>& selection) {
  if (remeasureID_ >= 0) {
    remeasureID_ = -1;
  } else if (const std::int32_t serial = SelectedSerial(selection); serial >= 0) {
    remeasureID_ = serial;
    const TBaseMeasuredPoints* line = FindLine(serial);
    if (TBench* bench = line ? Bench(line->WindowID) : nullptr) bench->DeleteLineById(serial);
  } else {
    remeasureID_ = -1;
  }
  RefreshList(remeasureID_ >= 0 ? remeasureID_ : RowCount() - 1);
}

// --- Menus ---------------------------------------------------------------------------------

TWorkspaceMenuState TWorkspace::MenuState(const std::vector<int>& selection) const {
  TWorkspaceMenuState s;
  const bool japanese = IsJapanese();
  s.DeleteEnabled = !selection.empty();
  s.SelectAllEnabled = RowCount() > 0;
  s.RemeasureEnabled = selection.size() == 1;
  s.RemeasureCaption = std::string(remeasureID_ < 0 ? (japanese ? kRemeasureJa : kRemeasureEn)
                                                    : (japanese ? kCancelRemeasureJa : kCancelRemeasureEn));
  return s;
}

std::vector<TWindowMenuItem> TWorkspace::WindowMenu() const {
  std::vector<TWindowMenuItem> items;
  for (int i = 0; i < BenchCount(); ++i) {
    const TBenchEntry& e = benches_[static_cast<std::size_t>(i)];
    if (!e.Bench) continue;
    std::string t = e.Bench->TitleText();
    if (t != e.FileName) t += "(" + e.FileName + ")";
    t = IntToStr(i) + ":" + t;
    if (i <= 9) t = "&" + t;
    items.push_back({std::move(t), i});
  }
  if (items.empty()) items.push_back({std::string(kNoPictureWindow), -1});
  return items;
}

void TWorkspace::ShowBench(int tag) { ShowIndex(tag); }

void TWorkspace::UpdateWindowMenu() {
  if (OnWindowMenuChanged) OnWindowMenuChanged();
}

// --- State file ---------------------------------------------------------------------------

void TWorkspace::SaveState(const std::string& fileName) {
  if (OnBeforeStateSaved) OnBeforeStateSaved();
  WriteStateFile(*this, fileName);
}

void TWorkspace::SaveState(std::ostream& out) {
  if (OnBeforeStateSaved) OnBeforeStateSaved();
  WriteState(*this, out);
}

void TWorkspace::LoadState(const std::string& fileName) { ReadStateFile(*this, fileName); }

void TWorkspace::LoadState(std::istream& in, const std::string& name) { ReadState(*this, in, name); }

std::string TWorkspace::SaveResume() {
  const std::string path = WorkFolder() + std::string(kResumeFileName);
  SaveState(path);
  return path;
}

// --- Building blocks of the state file reader -----------------------------------------------

void TWorkspace::ReleaseAll() {
  if (OnBenchesReleasing) OnBenchesReleasing();
  std::vector<TBenchEntry> released;
  released.swap(benches_);
  for (TBenchEntry& e : released)
    if (e.Bench) {
      e.Bench->OnLineDeleted = nullptr;
      e.Bench->OnPoint = nullptr;
    }
  released.clear();
  data_.Clear();
  RowsChanged({TRowsChange::TKind::Reset, 0, 0, -1});
  UpdateWindowMenu();
}

TBench* TWorkspace::AddRestoredBench(std::string_view stateText, std::string_view fileName) {
  std::unique_ptr<TBench> bench = MakeBench();
  Attach(*bench);
  TBench* result = bench.get();
  // The entry is appended whatever the text holds, so the window numbers
  // after it keep their meaning.
  auto append = [&] {
    const int index = AppendBench(std::move(bench));
    if (!result->HasPicture()) benches_[static_cast<std::size_t>(index)].FileName = ExtractFileName(fileName);
    UpdateWindowMenu();
  };
  try {
    result->ApplyStateText(stateText);
  } catch (...) {
    append();
    throw;
  }
  append();
  return result;
}

void TWorkspace::AddEmptyEntry(std::string fileName) {
  TBenchEntry entry;
  entry.FileName = std::move(fileName);
  benches_.push_back(std::move(entry));
}

void TWorkspace::AddLine(std::unique_ptr<TBaseMeasuredPoints> line) {
  if (line) data_.Add(std::move(line));
}

}  // namespace tracemill
