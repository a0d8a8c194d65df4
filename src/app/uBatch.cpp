#include "app/uBatch.h"

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <iostream>
#include <memory>
#include <optional>
#include <string_view>

#include "app/uBaseOptions.h"
#include "app/uExport.h"
#include "app/uReport.h"
#include "app/uWorkspace.h"
#include "common/uBilingual.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "image/uSPI.h"
#include "script/uScriptEnvironment.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"

namespace tracemill {

namespace {

constexpr TBilingualText kNoSuchFile{"File not found: ", "ファイルが見つかりません: "};
constexpr TBilingualText kNotOpened{"Cannot open the picture: ", "画像を開けません: "};
constexpr TBilingualText kStateStopped{"The state file was not read whole: ", "状態ファイルを最後まで読めませんでした: "};
constexpr TBilingualText kStatePictures{"Not every picture of the state file could be opened: ",
                                "状態ファイルの画像をすべては開けませんでした: "};
constexpr TBilingualText kSettingsUnread{"The settings file cannot be read; the defaults are used: ",
                                "設定ファイルを読めないため既定の設定を使います: "};
constexpr TBilingualText kCalibrationFailed{"A picture could not be calibrated: ", "画像の基準点から変換を計算できません: "};
constexpr TBilingualText kActionFailed{"Failed: ", "失敗しました: "};
constexpr TBilingualText kStandardOutputFailed{"Cannot write to standard output", "標準出力に書けません"};
constexpr TBilingualText kNoSuchWindow{"There is no window {}.", "ウィンドウ {} はありません。"};
constexpr TBilingualText kNoPicture{"Window {} has no picture.", "ウィンドウ {} には画像がありません。"};
constexpr TBilingualText kSeedOutside{"Pixel {} is outside the picture of window {} ({} pixels).",
                             "ピクセル {} はウィンドウ {} の画像 ({} ピクセル) の外にあります。"};
constexpr TBilingualText kNothingFound{"No point was found.", "点が見つかりませんでした。"};

// The largest settings file the store reads.
constexpr std::size_t kMaxSettingsBytes = std::size_t(64) << 20;

std::string WithoutCarriageReturns(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      result += '\n';
      continue;
    }
    result += text[i];
  }
  return result;
}

// The text with each "{}" replaced by the next of the values.
std::string Filled(std::string_view text, std::initializer_list<std::string> values) {
  std::string result;
  auto value = values.begin();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == "{}" && value != values.end()) {
      result += *value++;
      ++i;
      continue;
    }
    result += text[i];
  }
  return result;
}

// The action's name as the command line spells it, for messages.
std::string_view OptionName(TBatchActionKind kind) {
  switch (kind) {
    case TBatchActionKind::Recalculate: return "--recalculate";
    case TBatchActionKind::Sort: return "--sort";
    case TBatchActionKind::Program: return "--program";
    case TBatchActionKind::Report: return "--report";
    case TBatchActionKind::SimpleReport: return "--simple-report";
    case TBatchActionKind::Csv: return "--csv";
    case TBatchActionKind::SaveState: return "--save-state";
    case TBatchActionKind::Trace: return "--trace";
    case TBatchActionKind::FindMarkers: return "--find-markers";
  }
  return "";
}

// A failure already told on the error stream.
class TToldFailure : public std::exception {};

class TBatchRun {
 public:
  TBatchRun(std::ostream& out, std::ostream& err)
      : out_(out), err_(err), japanese_(IsJapanese()), messages_(err) {}

  int Run(const TCommandLine& commandLine) {
    try {
      Start();
      if (commandLine.PdfDpi != 0) workspace_->SetPdfDpi(commandLine.PdfDpi);
      OpenFiles(commandLine);
      int status = kExitSuccess;
      for (const TBatchAction& action : commandLine.Actions)
        if (RunAction(action) == kExitReportError) status = kExitReportError;
      return status;
    } catch (const TToldFailure&) {
      return kExitFailure;
    }
  }

 private:
  // The settings as the windows would read them, in a store that has no file
  // to write to; the image plug-ins; an empty working state.
  void Start() {
    auto store = std::make_unique<TIniFile>(std::string());
    const TAppli& appli = Appli();
    std::string fileName = SettingsFileName(ConfigHomeFolder(), appli.MakerShortName, appli.BaseName);
    if (!FileExists(fileName)) fileName = appli.Folder + appli.BaseName + ".ini";
    if (FileExists(fileName)) {
      try {
        store->LoadFromText(ReadFileBytes(fileName, kMaxSettingsBytes));
      } catch (const std::exception& e) {
        store->Clear();
        err_ << kSettingsUnread.In(japanese_) << e.what() << "\n";
      }
    }
    ReplaceSettings(std::move(store));
    LoadPlugins(DefaultPluginFolders(appli.Folder, appli.WorkFolder));
    BuildFilterTable();
    workspace_ = std::make_unique<TWorkspace>(messages_, Settings());
  }

  void OpenFiles(const TCommandLine& commandLine) {
    for (const std::string& file : commandLine.Files) {
      if (!FileExists(file)) Fail(kNoSuchFile.In(japanese_) + file);
      const int errorsBefore = messages_.ErrorCount();
      if (commandLine.StateInput) {
        Guard(kStateStopped.In(japanese_) + file + "\n", [&] { workspace_->LoadState(file); });
        // A bench whose picture is missing would be saved without it.
        if (messages_.ErrorCount() != errorsBefore) Fail(kStatePictures.In(japanese_) + file);
        continue;
      }
      TBench* bench = nullptr;
      Guard(kNotOpened.In(japanese_) + file + "\n",
            [&] { bench = workspace_->OpenImageFile(file, true); });
      if (bench == nullptr || !bench->HasPicture() || messages_.ErrorCount() != errorsBefore)
        Fail(kNotOpened.In(japanese_) + file);
    }
  }

  int RunAction(const TBatchAction& action) {
    const std::string context = kActionFailed.In(japanese_) + std::string(OptionName(action.Kind)) +
                                (action.File.empty() ? std::string() : " " + action.File) + "\n";
    int status = kExitSuccess;
    Guard(context, [&] {
      switch (action.Kind) {
        case TBatchActionKind::Recalculate:
          Recalculate();
          break;
        case TBatchActionKind::Sort:
          workspace_->SetSortOrder(action.SortKey, action.SortReverse);
          break;
        case TBatchActionKind::Program:
          program_ = ReadProgramFile(action.File);
          break;
        case TBatchActionKind::Report:
        case TBatchActionKind::SimpleReport:
        case TBatchActionKind::Csv:
          status = WriteReport(action);
          break;
        case TBatchActionKind::SaveState:
          WriteOutput(action.File, [&](std::ostream& out) { workspace_->SaveState(out); });
          break;
        case TBatchActionKind::Trace:
        case TBatchActionKind::FindMarkers:
          Trace(action.Kind, action.Trace);
          break;
      }
    });
    return status;
  }

  void Recalculate() {
    for (int i = 0; i < workspace_->BenchCount(); ++i) {
      TBench* bench = workspace_->Bench(i);
      if (bench == nullptr) continue;
      const int errorsBefore = messages_.ErrorCount();
      bench->Calibrate();
      // A bench that cannot calibrate keeps its previous transform; its lines
      // are not recalculated with it.
      if (messages_.ErrorCount() != errorsBefore) Fail(kCalibrationFailed.In(japanese_) + bench->FileName());
      bench->Recalculate();
    }
  }

  // The bench's own command at the seed pixel: its new line reaches the
  // collected list through OnPoint. A refusal changes nothing.
  void Trace(TBatchActionKind kind, const TTraceRequest& request) {
    const std::string window = std::to_string(request.Bench);
    TBench* bench = request.Bench >= 1 && request.Bench <= workspace_->BenchCount()
                        ? workspace_->Bench(request.Bench - 1)
                        : nullptr;
    if (bench == nullptr) throw InvalidOperation(Filled(kNoSuchWindow.In(japanese_), {window}));
    if (!bench->HasPicture()) throw InvalidOperation(Filled(kNoPicture.In(japanese_), {window}));
    if (!bench->SetLastDownPixel(request.X, request.Y)) {
      const TBitmap& picture = bench->Picture();
      throw InvalidOperation(Filled(
          kSeedOutside.In(japanese_),
          {std::to_string(request.X) + "," + std::to_string(request.Y), window,
           std::to_string(picture.Width()) + " x " + std::to_string(picture.Height())}));
    }
    TTraceSettings settings = bench->TraceSettings();
    settings.StepX = request.StepX.value_or(settings.StepX);
    settings.Tolerance = request.Tolerance.value_or(settings.Tolerance);
    settings.Gap = request.Gap.value_or(settings.Gap);
    const int lines = bench->Data().Measured.Count();
    bench->TraceCommand(kind == TBatchActionKind::Trace ? TTraceKind::Curve : TTraceKind::Markers, settings);
    // The command adds nothing when nothing was found; a run must not go on
    // as if it had.
    if (bench->Data().Measured.Count() == lines) throw InvalidOperation(kNothingFound.In(japanese_));
  }

  int WriteReport(const TBatchAction& action) {
    const TBaseMeasuredList& data = workspace_->Data();
    const TBenchSource& benches = *workspace_;
    if (action.Kind == TBatchActionKind::Csv) {
      WriteOutput(action.File, [&](std::ostream& out) {
        WriteCsv(out, data, workspace_->FormatX(), workspace_->FormatY());
      });
      return kExitSuccess;
    }
    const TBaseOptions options = ReadBaseOptions(Settings());
    if (action.Kind == TBatchActionKind::SimpleReport) {
      TSimpleReportFormat format;
      format.Template = action.HasTemplate ? action.Template : options.SimpleReportFormat;
      format.FormatX = workspace_->FormatX();
      format.FormatY = workspace_->FormatY();
      const std::vector<std::string> lines = SimpleReportLines(data, benches, format);
      WriteOutput(action.File, [&](std::ostream& out) { WriteReportLines(out, lines); });
      return kExitSuccess;
    }

    // The program runs over a copy of the data: whatever its SORT calls do,
    // the list keeps its order for the actions after it.
    const std::unique_ptr<TBaseMeasuredList> copy = data.Copy();
    TReportData reportData{*copy, benches, workspace_->SortItem(), workspace_->SortReverse()};
    TReportOptions reportOptions;
    TScriptServices services(&messages_, &shell_);
    reportOptions.Environment.Services = &services;
    const TReportResult result = tracemill::RunReport(program_ ? *program_ : options.Program, reportData,
                                                      reportOptions);
    WriteOutput(action.File, [&](std::ostream& out) { WriteReportLines(out, result.Lines); });
    if (!result.HasError()) return kExitSuccess;
    // The error lines of the report: the first two after a structure error,
    // the last two after a run-time error.
    const std::size_t n = result.Lines.size();
    const std::size_t first = result.Status == TReportStatus::StructureError ? 0 : (n >= 2 ? n - 2 : 0);
    for (std::size_t i = first; i < std::min(n, first + 2); ++i) err_ << result.Lines[i] << "\n";
    return kExitReportError;
  }

  // Writes to a file (whole or not at all, its folder created) or, for "-",
  // to standard output. A device or a pipe (/dev/null, a named pipe a script
  // reads) is written into as it is.
  void WriteOutput(const std::string& file, const TFileWriter& writer) {
    if (file == kStandardOutput) {
      writer(out_);
      out_.flush();
      if (!out_) Fail(kStandardOutputFailed.In(japanese_));
      return;
    }
    const std::string folder = ExtractFilePath(file);
    if (!folder.empty()) ForceDirectories(folder);
    WriteFileAtomic(file, writer);
  }

  // Runs step; an error it throws is told with the context in front and ends the run.
  template <typename Step>
  void Guard(const std::string& context, Step step) {
    try {
      step();
    } catch (const TToldFailure&) {
      throw;
    } catch (const std::exception& e) {
      err_ << context << e.what() << "\n";
      throw TToldFailure();
    }
  }

  [[noreturn]] void Fail(const std::string& message) {
    err_ << message << "\n";
    throw TToldFailure();
  }

  std::ostream& out_;
  std::ostream& err_;
  bool japanese_;
  TBatchMessageService messages_;
  TNoShellService shell_;
  std::unique_ptr<TWorkspace> workspace_;
  std::optional<std::string> program_;  // the report program given with --program
};

}  // namespace

TMessageResult TBatchMessageService::ShowMessage(const TMessage& message) {
  if (message.Icon == TMessageIcon::Exclamation || message.Icon == TMessageIcon::Stop) ++errorCount_;
  std::string text = WithoutCarriageReturns(message.Text);
  while (!text.empty() && text.back() == '\n') text.pop_back();
  err_ << text << "\n";
  return DefaultAnswer(message);
}

int RunBatch(const TCommandLine& commandLine, std::ostream& out, std::ostream& err) {
  TBatchRun run(out, err);
  return run.Run(commandLine);
}

}  // namespace tracemill
