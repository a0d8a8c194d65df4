// How the command line chooses the start and the batch actions.
#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "app/uCommandLine.h"
#include "settings/uEnvironment.h"

using namespace tracemill;

namespace {

TCommandLine Parse(std::vector<std::string> arguments) {
  SetJapanese(false);
  return ParseCommandLine(arguments);
}

}  // namespace

TEST(CommandLine, StartModes) {
  const TCommandLine windows = Parse({"a.bmp", "/ENGLISH", "b.jpg"});
  EXPECT_EQ(windows.Mode, TStartMode::Windows);
  EXPECT_EQ(windows.Files, (std::vector<std::string>{"a.bmp", "/ENGLISH", "b.jpg"}));
  EXPECT_EQ(Parse({}).Mode, TStartMode::Windows);
  // Help and version win over whatever follows them.
  EXPECT_EQ(Parse({"--help", "--nonsense"}).Mode, TStartMode::Help);
  EXPECT_EQ(Parse({"--batch", "x.trm", "--version"}).Mode, TStartMode::Version);
  // "--" ends the options: a file may then begin with dashes.
  const TCommandLine dashed = Parse({"--batch", "--csv", "out.csv", "--"});
  EXPECT_TRUE(dashed.Files.empty());
  const TCommandLine file = Parse({"--batch", "--", "--odd.bmp"});
  EXPECT_EQ(file.Files, std::vector<std::string>{"--odd.bmp"});
}

TEST(CommandLine, BatchInputsAndActionsInOrder) {
  const TCommandLine c = Parse({"/JAPANESE", "--batch", "Work.TRM", "--recalculate", "--sort", "title,Reverse",
                                "--program", "p.bas", "--report", "-", "--simple-report", "s.txt",
                                "--template", "{x};{y}", "--csv=-", "--save-state", "out.trm",
                                "--simple-report=-", "--sort=X"});
  ASSERT_EQ(c.Mode, TStartMode::Batch);
  EXPECT_TRUE(c.StateInput);
  EXPECT_EQ(c.Files, std::vector<std::string>{"Work.TRM"});  // the language switch is no file
  ASSERT_EQ(c.Actions.size(), 9u);
  using K = TBatchActionKind;
  const K kinds[] = {K::Recalculate, K::Sort, K::Program, K::Report, K::SimpleReport,
                     K::Csv,         K::SaveState, K::SimpleReport, K::Sort};
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(c.Actions[i].Kind, kinds[i]) << i;
  EXPECT_EQ(c.Actions[1].SortKey, "TITLE");
  EXPECT_TRUE(c.Actions[1].SortReverse);
  EXPECT_EQ(c.Actions[2].File, "p.bas");
  EXPECT_EQ(c.Actions[3].File, "-");
  EXPECT_TRUE(c.Actions[4].HasTemplate);
  EXPECT_EQ(c.Actions[4].Template, "{x};{y}");
  EXPECT_EQ(c.Actions[5].File, "-");
  EXPECT_FALSE(c.Actions[7].HasTemplate);
  EXPECT_EQ(c.Actions[8].SortKey, "X");
  EXPECT_FALSE(c.Actions[8].SortReverse);

  const TCommandLine images = Parse({"--batch", "a.bmp", "b.jpg", "--csv", "-"});
  EXPECT_FALSE(images.StateInput);
  EXPECT_EQ(images.Files, (std::vector<std::string>{"a.bmp", "b.jpg"}));
  // No files: the actions run on an empty working state.
  EXPECT_TRUE(Parse({"--batch", "--csv", "-"}).Files.empty());
  // An empty template is a template.
  EXPECT_TRUE(Parse({"--batch", "--simple-report", "-", "--template="}).Actions[0].HasTemplate);
}

TEST(CommandLine, TracingActionsTakeTheSeedAndTheSettingsGiven) {
  const TCommandLine c = Parse({"--batch", "x.trm", "--trace", "1,10,20", "--trace=2,-3,0,7,80,0",
                                "--find-markers=1,5,6,70", "--trace", "1,2,3,4"});
  ASSERT_EQ(c.Actions.size(), 4u);
  using K = TBatchActionKind;
  const struct {
    K kind;
    int bench, x, y;
    std::optional<int> step, tolerance, gap;
  } expected[] = {
      {K::Trace, 1, 10, 20, std::nullopt, std::nullopt, std::nullopt},
      {K::Trace, 2, -3, 0, 7, 80, 0},  // a seed outside the picture is the run's to refuse
      {K::FindMarkers, 1, 5, 6, std::nullopt, 70, std::nullopt},
      {K::Trace, 1, 2, 3, 4, std::nullopt, std::nullopt},
  };
  for (std::size_t i = 0; i < 4; ++i) {
    const TBatchAction& a = c.Actions[i];
    EXPECT_EQ(a.Kind, expected[i].kind) << i;
    EXPECT_EQ(std::tuple(a.Trace.Bench, a.Trace.X, a.Trace.Y), std::tuple(expected[i].bench, expected[i].x, expected[i].y)) << i;
    EXPECT_EQ(a.Trace.StepX, expected[i].step) << i;
    EXPECT_EQ(a.Trace.Tolerance, expected[i].tolerance) << i;
    EXPECT_EQ(a.Trace.Gap, expected[i].gap) << i;
  }
  EXPECT_EQ(c.Actions[1].File, "2,-3,0,7,80,0");  // as given, for messages
}

TEST(CommandLine, WrongCommandLines) {
  const std::vector<std::vector<std::string>> wrong = {
      {"--bogus"},
      {"--batch", "x.trm", "--csv"},                 // no value
      {"--batch", "x.trm", "--csv", "--recalculate"},  // an option is no value
      {"--batch", "--recalculate=yes"},
      {"x.trm", "--csv", "-"},                       // actions need --batch
      {"--batch", "--csv", "-", "late.bmp"},         // files come first
      {"--batch", "x.trm", "a.bmp"},                 // a state file comes alone
      {"--batch", "x.trm", "--sort", "colour"},
      {"--batch", "x.trm", "--sort", "X,backwards"},
      {"--batch", "x.trm", "--template", "{x}"},     // no simple report before it
      {"--batch", "--simple-report", "-", "--template", "a", "--template", "b"},
      {"--batch"},                                   // nothing to do
      {"--pdf-dpi", "200", "a.pdf"},                 // the resolution needs --batch
      {"--batch", "x.trm", "--trace", "1,2"},          // too few numbers
      {"--batch", "x.trm", "--trace", "1,2,3,4,5,6,7"},  // too many
      {"--batch", "x.trm", "--find-markers", "1,2,3,60,4"},
      {"--batch", "x.trm", "--trace", "1,2.5,3"},
      {"--batch", "x.trm", "--trace", "1,,3"},
      {"--batch", "x.trm", "--trace", "1, 2, 3"},
      {"--batch", "x.trm", "--trace", "1,2,3x"},
      {"--batch", "x.trm", "--trace", ""},
      {"--batch", "x.trm", "--find-markers", "1,2,99999999999"},  // beyond any whole number taken
  };
  for (const auto& arguments : wrong) {
    std::string joined;
    for (const auto& a : arguments) joined += a + " ";
    EXPECT_THROW(Parse(arguments), TCommandLineError) << joined;
  }
}

TEST(CommandLine, MessagesAndUsageInTheInterfaceLanguage) {
  SetJapanese(true);
  try {
    ParseCommandLine({"--batch", "--bogus"});
    FAIL();
  } catch (const TCommandLineError& e) {
    EXPECT_NE(std::string(e.what()).find("不明なオプション"), std::string::npos);
  }
  // Every option of the table is in the usage, in both languages.
  for (const std::string& usage : {UsageText(false), UsageText(true)})
    for (const char* option : {"--batch", "--help", "--version", "--recalculate", "--sort KEY[,reverse]",
                               "--program FILE", "--report FILE", "--simple-report FILE", "--template TEXT",
                               "--csv FILE", "--save-state FILE", "--pdf-dpi N",
                               "--trace BENCH,X,Y[,STEP[,TOLERANCE[,GAP]]]",
                               "--find-markers BENCH,X,Y[,TOLERANCE]"})
      EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(CommandLine, PdfResolutionWithinItsRange) {
  EXPECT_EQ(Parse({"--batch", "a.pdf"}).PdfDpi, 0);  // the setting's
  EXPECT_EQ(Parse({"--batch", "--pdf-dpi", "72", "a.pdf", "--csv", "-"}).PdfDpi, 72);
  EXPECT_EQ(Parse({"--batch", "a.pdf", "--pdf-dpi=1200"}).PdfDpi, 1200);
  for (const char* wrong : {"71", "1201", "-5", "", "300dpi", " 300", "99999999999"})
    EXPECT_THROW(Parse({"--batch", "a.pdf", std::string("--pdf-dpi=") + wrong}), TCommandLineError) << wrong;
}
