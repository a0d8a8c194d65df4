#include "app/uCommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>

#include "app/uBaseData.h"
#include "common/uBilingual.h"
#include "common/uFilename.h"
#include "common/uStrC.h"
#include "image/uPdf.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

constexpr std::string_view kStateExtension = ".TRM";
constexpr std::string_view kReverseSuffix = "REVERSE";
constexpr std::string_view kEndOfOptions = "--";
constexpr std::string_view kOptionPrefix = "--";

constexpr TBilingualText kUnknownOption{"Unknown option: ", "不明なオプションです: "};
constexpr TBilingualText kNeedsValue{" needs a value: ", " には値が必要です: "};
constexpr TBilingualText kTakesNoValue{" takes no value: ", " は値をとりません: "};
constexpr TBilingualText kNeedsBatch{" works only together with --batch", " は --batch と一緒にだけ使えます"};
constexpr TBilingualText kFileAfterActions{"Files to open come before the actions: ",
                                  "開くファイルは処理の指定より前に書いてください: "};
constexpr TBilingualText kStateAlone{"A state file is opened alone, without other files: ",
                            "状態ファイルは他のファイルと一緒には開けません: "};
constexpr TBilingualText kTemplateAlone{"--template follows a --simple-report",
                               "--template は --simple-report の後に書いてください"};
constexpr TBilingualText kUnknownSortKey{
    "Unknown sort key (SERIAL, BENCH, NUMBER, X, Y, COMMENT or TITLE, optionally followed by \",reverse\"): ",
    "不明な並べ替えのキーです (SERIAL, BENCH, NUMBER, X, Y, COMMENT, TITLE のどれか、後に \",reverse\" も可): "};
constexpr TBilingualText kPdfDpiRange{"--pdf-dpi needs a whole number of dots per inch from 72 to 1200: ",
                             "--pdf-dpi には 72 から 1200 までの整数 (dpi) を指定してください: "};
constexpr TBilingualText kTakesNumbers{" takes ", " には "};
constexpr TBilingualText kInWholeNumbers{" in whole numbers: ", " を整数で書いてください: "};
constexpr TBilingualText kNothingToDo{"--batch needs a file to open or an action",
                             "--batch には開くファイルか処理の指定が必要です"};

struct TParse {
  bool japanese = false;
  bool batch = false;
  std::string firstBatchOnly;  // the first option given that needs --batch
  int pdfDpi = 0;
  std::vector<std::string> files;
  std::vector<TBatchAction> actions;
};

[[noreturn]] void Fail(std::string message) { throw TCommandLineError(message); }

void AddFileAction(TParse& p, TBatchActionKind kind, std::string_view file) {
  TBatchAction action;
  action.Kind = kind;
  action.File = std::string(file);
  p.actions.push_back(std::move(action));
}

void ApplySort(TParse& p, std::string_view value) {
  TBatchAction action;
  action.Kind = TBatchActionKind::Sort;
  std::string_view key = value;
  if (const auto comma = value.rfind(','); comma != std::string_view::npos &&
                                           UpperCaseAscii(value.substr(comma + 1)) == kReverseSuffix) {
    key = value.substr(0, comma);
    action.SortReverse = true;
  }
  if (!IsSortKey(key)) Fail(std::string(kUnknownSortKey.In(p.japanese)) + std::string(value));
  action.SortKey = UpperCaseAscii(key);
  p.actions.push_back(std::move(action));
}

void ApplyTemplate(TParse& p, std::string_view value) {
  if (p.actions.empty() || p.actions.back().Kind != TBatchActionKind::SimpleReport ||
      p.actions.back().HasTemplate)
    Fail(std::string(kTemplateAlone.In(p.japanese)));
  p.actions.back().HasTemplate = true;
  p.actions.back().Template = std::string(value);
}

void ApplyPdfDpi(TParse& p, std::string_view value) {
  int dpi = 0;
  bool digits = !value.empty() && value.size() <= 5;
  for (char c : value) digits = digits && c >= '0' && c <= '9';
  if (digits) {
    for (char c : value) dpi = dpi * 10 + (c - '0');
  }
  if (!digits || !PdfDpiAllowed(dpi)) Fail(std::string(kPdfDpiRange.In(p.japanese)) + std::string(value));
  p.pdfDpi = dpi;
}

// Fills the request from "BENCH,X,Y" and up to `optional` more whole
// numbers, the optional ones into the given fields in order. Any other text
// is a wrong command line.
void ApplyTrace(TParse& p, TBatchActionKind kind, std::string_view option, std::string_view valueName,
                std::string_view value) {
  std::vector<int> numbers;
  bool whole = true;
  for (std::size_t start = 0;;) {
    const std::size_t comma = std::min(value.find(',', start), value.size());
    const std::string_view field = value.substr(start, comma - start);
    int number = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    whole = whole && !field.empty() && error == std::errc() && end == field.data() + field.size();
    numbers.push_back(number);
    if (comma == value.size()) break;
    start = comma + 1;
  }
  TBatchAction action;
  action.Kind = kind;
  action.File = std::string(value);
  TTraceRequest& r = action.Trace;
  std::vector<std::optional<int>*> optionals{&r.Tolerance};
  if (kind == TBatchActionKind::Trace) optionals = {&r.StepX, &r.Tolerance, &r.Gap};
  if (!whole || numbers.size() < 3 || numbers.size() > 3 + optionals.size())
    Fail(std::string(option) + std::string(kTakesNumbers.In(p.japanese)) + std::string(valueName) +
         std::string(kInWholeNumbers.In(p.japanese)) + std::string(value));
  r.Bench = numbers[0];
  r.X = numbers[1];
  r.Y = numbers[2];
  for (std::size_t i = 3; i < numbers.size(); ++i) *optionals[i - 3] = numbers[i];
  p.actions.push_back(std::move(action));
}

constexpr std::string_view kTraceValue = "BENCH,X,Y[,STEP[,TOLERANCE[,GAP]]]";
constexpr std::string_view kMarkersValue = "BENCH,X,Y[,TOLERANCE]";

enum class TOptionKind { Start, Setting, Action };

// One option. Options of kind Setting or Action need --batch; Start options
// choose how the program starts, Settings how the batch run opens its files.
// ValueName is empty for an option without a value.
struct TOption {
  std::string_view Name;
  std::string_view ValueName;
  TOptionKind Kind;
  void (*Apply)(TParse&, std::string_view value);
  TBilingualText Help;
};

constexpr std::array kOptions{
    TOption{"--batch", "", TOptionKind::Start, [](TParse& p, std::string_view) { p.batch = true; },
            {"run the actions without a display", "画面を使わずに処理を実行します"}},
    TOption{"--help", "", TOptionKind::Start, nullptr,
            {"show this text", "この説明を表示します"}},
    TOption{"--version", "", TOptionKind::Start, nullptr,
            {"show the version", "バージョン情報を表示します"}},
    TOption{"--pdf-dpi", "N", TOptionKind::Setting, ApplyPdfDpi,
            {"open the pages of PDF files at N dots per inch (72 to 1200)",
             "PDF ファイルのページを N dpi (72 から 1200) で開きます"}},
    TOption{"--recalculate", "", TOptionKind::Action,
            [](TParse& p, std::string_view) {
              TBatchAction action;
              action.Kind = TBatchActionKind::Recalculate;
              p.actions.push_back(action);
            },
            {"every picture recalculates its lines from its standard points",
             "各画像の線を基準点から計算し直します"}},
    TOption{"--sort", "KEY[,reverse]", TOptionKind::Action, ApplySort,
            {"sort the list by SERIAL, BENCH, NUMBER, X, Y, COMMENT or TITLE",
             "一覧を SERIAL, BENCH, NUMBER, X, Y, COMMENT, TITLE で並べ替えます"}},
    TOption{"--trace", kTraceValue, TOptionKind::Action,
            [](TParse& p, std::string_view v) { ApplyTrace(p, TBatchActionKind::Trace, "--trace", kTraceValue, v); },
            {"trace the curve through picture pixel X,Y (counted\n"
             "from 0 at the top-left) of window BENCH (from 1) into\n"
             "a new line; left out, STEP, TOLERANCE and GAP are\n"
             "those last used",
             "ウィンドウ BENCH (1 から) の画像のピクセル\n"
             "X,Y (左上が 0) を通る曲線をトレースして新しい\n"
             "線にします。STEP, TOLERANCE, GAP を省くと\n"
             "前回の値を使います"}},
    TOption{"--find-markers", kMarkersValue, TOptionKind::Action,
            [](TParse& p, std::string_view v) {
              ApplyTrace(p, TBatchActionKind::FindMarkers, "--find-markers", kMarkersValue, v);
            },
            {"every marker like the one at picture pixel X,Y of\n"
             "window BENCH becomes a point of a new line; left\n"
             "out, TOLERANCE is the one last used",
             "ウィンドウ BENCH の画像のピクセル X,Y にある\n"
             "マーカーと同じマーカーをすべて見つけて新しい線\n"
             "にします。TOLERANCE を省くと前回の値を使います"}},
    TOption{"--program", "FILE", TOptionKind::Action,
            [](TParse& p, std::string_view v) { AddFileAction(p, TBatchActionKind::Program, v); },
            {"use FILE as the report program from here on", "以降のレポートに FILE のプログラムを使います"}},
    TOption{"--report", "FILE", TOptionKind::Action,
            [](TParse& p, std::string_view v) { AddFileAction(p, TBatchActionKind::Report, v); },
            {"write the programmable report to FILE", "詳細レポートを FILE に書きます"}},
    TOption{"--simple-report", "FILE", TOptionKind::Action,
            [](TParse& p, std::string_view v) { AddFileAction(p, TBatchActionKind::SimpleReport, v); },
            {"write the simple report to FILE", "簡易レポートを FILE に書きます"}},
    TOption{"--template", "TEXT", TOptionKind::Action, ApplyTemplate,
            {"the template of the simple report before it", "直前の簡易レポートの書式"}},
    TOption{"--csv", "FILE", TOptionKind::Action,
            [](TParse& p, std::string_view v) { AddFileAction(p, TBatchActionKind::Csv, v); },
            {"write the list as CSV to FILE", "一覧を CSV で FILE に書きます"}},
    TOption{"--save-state", "FILE", TOptionKind::Action,
            [](TParse& p, std::string_view v) { AddFileAction(p, TBatchActionKind::SaveState, v); },
            {"save the working state to FILE", "作業状態を FILE に保存します"}},
};

const TOption* FindOption(std::string_view name) {
  for (const TOption& option : kOptions)
    if (option.Name == name) return &option;
  return nullptr;
}

}  // namespace

bool IsStateFileName(std::string_view fileName) {
  return UpperCaseAscii(ExtractFileExt(fileName)) == kStateExtension;
}

TCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  TParse p;
  p.japanese = IsJapanese();
  std::vector<std::string> plain;  // every argument that is not an option, in order
  bool optionsEnded = false;

  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (!optionsEnded && argument == kEndOfOptions) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !argument.starts_with(kOptionPrefix)) {
      if (IsLanguageSwitch(argument) && !optionsEnded) {
        plain.push_back(argument);
        continue;
      }
      if (!p.actions.empty()) Fail(std::string(kFileAfterActions.In(p.japanese)) + argument);
      plain.push_back(argument);
      p.files.push_back(argument);
      continue;
    }

    const auto equals = argument.find('=');
    const std::string_view name = std::string_view(argument).substr(0, equals);
    const TOption* option = FindOption(name);
    if (option == nullptr) Fail(std::string(kUnknownOption.In(p.japanese)) + argument);

    if (option->Name == "--help" || option->Name == "--version") {
      if (equals != std::string::npos)
        Fail(std::string(name) + std::string(kTakesNoValue.In(p.japanese)) + argument);
      TCommandLine result;
      result.Mode = option->Name == "--help" ? TStartMode::Help : TStartMode::Version;
      return result;
    }

    std::optional<std::string> value;
    if (equals != std::string::npos) value = argument.substr(equals + 1);
    if (option->ValueName.empty()) {
      if (value) Fail(std::string(name) + std::string(kTakesNoValue.In(p.japanese)) + argument);
    } else if (!value) {
      // A value taken from the next argument cannot look like an option;
      // "--template=--text" passes such a text.
      if (i + 1 >= arguments.size() || arguments[i + 1].starts_with(kOptionPrefix))
        Fail(std::string(name) + std::string(kNeedsValue.In(p.japanese)) + std::string(option->ValueName));
      value = arguments[++i];
    }
    if (option->Kind != TOptionKind::Start && p.firstBatchOnly.empty()) p.firstBatchOnly = name;
    option->Apply(p, value ? std::string_view(*value) : std::string_view());
  }

  TCommandLine result;
  if (!p.batch) {
    if (!p.firstBatchOnly.empty())
      Fail(p.firstBatchOnly + std::string(kNeedsBatch.In(p.japanese)));
    result.Files = std::move(plain);
    return result;
  }

  result.Mode = TStartMode::Batch;
  if (p.files.empty() && p.actions.empty()) Fail(std::string(kNothingToDo.In(p.japanese)));
  for (const std::string& file : p.files) {
    if (IsStateFileName(file)) {
      if (p.files.size() > 1) Fail(std::string(kStateAlone.In(p.japanese)) + file);
      result.StateInput = true;
    }
  }
  result.Files = std::move(p.files);
  result.Actions = std::move(p.actions);
  result.PdfDpi = p.pdfDpi;
  return result;
}

std::string UsageText(bool japanese) {
  std::string text;
  if (japanese) {
    text += "使い方:\n";
  } else {
    text += "Usage:\n";
  }
  text += "  tracemill [/JAPANESE | /ENGLISH] [FILE ...]\n";
  text += "  tracemill --batch [--pdf-dpi N] [STATE.trm | IMAGE ...] [ACTION ...]\n";
  text += "  tracemill --help | --version\n\n";
  text += japanese ? "FILE (画像ファイルまたは状態ファイル) をウィンドウで開きます。--batch を付けると、\n"
                     "画面を使わずに ACTION を書かれた順に実行します。\n"
                   : "Opens the image files, or the state file, FILE in the windows. With --batch,\n"
                     "runs the ACTIONs in the order given, without a display.\n";

  const auto line = [&](const TOption& option) {
    constexpr std::size_t kColumn = 28;
    const std::size_t start = text.size();
    text.append("  ").append(option.Name);
    if (!option.ValueName.empty()) text.append(" ").append(option.ValueName);
    // The help starts in its column, on a line of its own after a long
    // option; its further lines are indented to the same column.
    const std::size_t width = text.size() - start;
    if (width < kColumn)
      text.append(kColumn - width, ' ');
    else
      text.append("\n").append(kColumn, ' ');
    for (const char c : option.Help.In(japanese)) {
      text += c;
      if (c == '\n') text.append(kColumn, ' ');
    }
    text.append("\n");
  };
  text += japanese ? "\nオプション:\n" : "\nOptions:\n";
  for (const TOption& option : kOptions)
    if (option.Kind != TOptionKind::Action) line(option);
  text += japanese ? "\n処理 (FILE が \"-\" なら標準出力):\n" : "\nActions (a FILE of \"-\" is standard output):\n";
  for (const TOption& option : kOptions)
    if (option.Kind == TOptionKind::Action) line(option);
  text += japanese ? "\n終了コード: 0 成功、1 処理の失敗またはファイルを読めない、2 コマンドラインの誤り、\n"
                     "3 レポートのプログラムのエラー (レポートは書かれます)\n"
                   : "\nExit status: 0 success; 1 an action failed or a file could not be read;\n"
                     "2 a wrong command line; 3 the report program had an error (the report is\n"
                     "still written).\n";
  return text;
}

}  // namespace tracemill
