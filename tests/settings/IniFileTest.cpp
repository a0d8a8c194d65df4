// The settings file: its exact text, reading it back, the older indented form,
// Shift-JIS files of older versions and damaged files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"

using namespace tracemill;

namespace {

// The entries of a store as "path|kind|text" lines, in order.
std::vector<std::string> Entries(const TIniFile& ini) {
  std::vector<std::string> out;
  for (int i = 0; i < ini.Count(); ++i) {
    const TIniEntry& e = ini.Entry(i);
    out.push_back(e.KeyPath + "|" + e.Kind + "|" + e.Text);
  }
  return out;
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

TIniFile Reloaded(TIniFile& ini) {
  TIniFile again("unused.ini");
  again.LoadFromText(ini.SaveToText());
  return again;
}

}  // namespace

TEST(IniFileText, ExampleEntriesGiveTheExactFileText) {
  TIniFile ini("unused.ini");
  // Written out of order and in another letter case first: the file is sorted
  // by the upper-case path and shows the letter case of the last write.
  ini.WriteValue("Format", "SimpleReport", "{x}, {y}, {filename}, {comment}");
  ini.WriteValue("baseform", "state", "Normal");
  ini.WriteValue("BaseForm\\Font\\Japanese", "Name", "ＭＳ Ｐゴシック");
  ini.WriteValue("BaseForm\\Font\\Japanese", "Bold", false);
  ini.WriteValue("BaseForm", "State", "Normal");
  EXPECT_EQ(ini.SaveToText(), Lines({
                                  "<?xml version='1.0' encoding='UTF-8' ?>",
                                  "<IniFile version='1.0'>",
                                  " <BaseForm>",
                                  "  <Font>",
                                  "   <Japanese>",
                                  "    <Bold Type=\"Boolean\">False</Bold>",
                                  "    <Name Type=\"String\">ＭＳ Ｐゴシック</Name>",
                                  "   </Japanese>",
                                  "  </Font>",
                                  "  <State Type=\"String\">Normal</State>",
                                  " </BaseForm>",
                                  " <Format>",
                                  "  <SimpleReport Type=\"String\">{x}, {y}, {filename}, {comment}</SimpleReport>",
                                  " </Format>",
                                  "</IniFile>",
                              }));
  // The in-memory entries keep the sorted order.
  EXPECT_EQ(ini.Entry(0).KeyPath, "BaseForm\\Font\\Japanese\\Bold");
  EXPECT_EQ(ini.Entry(3).KeyPath, "Format\\SimpleReport");

  TIniFile empty("unused.ini");
  EXPECT_EQ(empty.SaveToText(), Lines({"<?xml version='1.0' encoding='UTF-8' ?>", "<IniFile version='1.0'>",
                                       "</IniFile>"}));
}

TEST(IniFileText, EveryKindReadsBackFromTheFile) {
  TIniFile ini("unused.ini");
  ini.WriteValue("Kinds", "Flag", true);
  ini.WriteValue("Kinds", "Off", false);
  ini.WriteValue("Kinds", "Count", std::int32_t(-2147483647 - 1));
  ini.WriteValue("Kinds", "Big", std::int32_t(2147483647));
  ini.WriteValue("Kinds", "Ratio", 0.1);
  ini.WriteValue("Kinds", "Tiny", -1.25e-7);
  ini.WriteValue("Kinds", "When", TIniDateTime{2024, 2, 29, 23, 5, 9});
  ini.WriteValue("Kinds", "Text", "日本語 <a href=\"x\">&amp;</a>\tTab");
  ini.WriteValue("Kinds", "Lines", "first\r\nsecond\nthird 100%");

  TIniFile again = Reloaded(ini);
  EXPECT_EQ(Entries(again), Entries(ini));
  EXPECT_TRUE(again.ReadValue("Kinds", "Flag", false));
  EXPECT_FALSE(again.ReadValue("Kinds", "Off", true));
  EXPECT_EQ(again.ReadValue("Kinds", "Count", 0), -2147483647 - 1);
  EXPECT_EQ(again.ReadValue("Kinds", "Big", 0), 2147483647);
  EXPECT_EQ(again.ReadValue("Kinds", "Ratio", 0.0), 0.1);
  EXPECT_EQ(again.ReadValue("Kinds", "Tiny", 0.0), -1.25e-7);
  EXPECT_EQ(again.ReadValue("Kinds", "When", TIniDateTime{}), (TIniDateTime{2024, 2, 29, 23, 5, 9}));
  EXPECT_EQ(again.ReadValue("Kinds", "Text", ""), "日本語 <a href=\"x\">&amp;</a>\tTab");
  EXPECT_EQ(again.ReadValue("Kinds", "Lines", ""), "first\r\nsecond\nthird 100%");

  const std::string text = ini.SaveToText();
  EXPECT_NE(text.find("<When Type=\"Date\">2024/02/29 23:05:09</When>"), std::string::npos);
  EXPECT_NE(text.find("<Ratio Type=\"Float\">0.1</Ratio>"), std::string::npos);
  EXPECT_NE(text.find("<Lines Type=\"String\">first%0D%0Asecond%0Athird 100%%</Lines>"), std::string::npos);
  EXPECT_NE(text.find("<Text Type=\"String\">日本語 <a href=\"x\">&amp;</a>%09Tab</Text>"), std::string::npos);
}

TEST(IniFileText, ValueWithChildrenIsOneElementAroundThem) {
  TIniFile ini("unused.ini");
  ini.WriteValue("A\\B", "C", std::int32_t(3));
  ini.WriteValue("A", "B", "value");
  EXPECT_EQ(ini.SaveToText(), Lines({
                                  "<?xml version='1.0' encoding='UTF-8' ?>",
                                  "<IniFile version='1.0'>",
                                  " <A>",
                                  "  <B Type=\"String\">value",
                                  "   <C Type=\"Integer\">3</C>",
                                  "  </B>",
                                  " </A>",
                                  "</IniFile>",
                              }));
  TIniFile again = Reloaded(ini);
  EXPECT_EQ(Entries(again), (std::vector<std::string>{"A\\B|S|value", "A\\B\\C|I|3"}));

  // A text that ends like the element's own closing tag keeps it.
  ini.WriteValue("A", "B", "see </b>");
  EXPECT_EQ(Reloaded(ini).ReadValue("A", "B", ""), "see </b>");
  ini.WriteValue("A\\B", "C", "");
  ini.WriteValue("A", "B", "</B>");
  EXPECT_EQ(Reloaded(ini).ReadValue("A", "B", ""), "</B>");
}

TEST(IniFileText, SiblingsAndDeepPathsCloseInOrder) {
  TIniFile ini("unused.ini");
  ini.WriteValue("Bench\\Default\\Standard", "X1", 1.5);
  ini.WriteValue("Bench\\Default", "Scale", std::int32_t(3));
  ini.WriteValue("Path", "Open", "/home/u/charts");
  ini.WriteValue("", "Top", std::int32_t(1));
  ini.WriteValue("Bench\\Default\\Standard", "Y1", 2.0);
  EXPECT_EQ(ini.SaveToText(), Lines({
                                  "<?xml version='1.0' encoding='UTF-8' ?>",
                                  "<IniFile version='1.0'>",
                                  " <Bench>",
                                  "  <Default>",
                                  "   <Scale Type=\"Integer\">3</Scale>",
                                  "   <Standard>",
                                  "    <X1 Type=\"Float\">1.5</X1>",
                                  "    <Y1 Type=\"Float\">2</Y1>",
                                  "   </Standard>",
                                  "  </Default>",
                                  " </Bench>",
                                  " <Path>",
                                  "  <Open Type=\"String\">/home/u/charts</Open>",
                                  " </Path>",
                                  " <Top Type=\"Integer\">1</Top>",
                                  "</IniFile>",
                              }));
  EXPECT_EQ(Entries(Reloaded(ini)), Entries(ini));
}

TEST(IniFileText, IndentedFormLoadsAndSavesAsXml) {
  TIniFile ini("unused.ini");
  ini.LoadFromText(
      "BaseForm\r\n"
      " Left=I:10\r\n"
      " Font\r\n"
      "  Japanese\r\n"
      "   Bold=B:True\r\n"
      " Caption=S:a=b:c\r\n"
      "Plain=no type\r\n");
  EXPECT_EQ(Entries(ini), (std::vector<std::string>{"BaseForm\\Left|I|10", "BaseForm\\Font\\Japanese\\Bold|B|True",
                                                    "BaseForm\\Caption|S|a=b:c", "Plain|S|no type"}));
  EXPECT_EQ(ini.ReadValue("baseform", "left", 0), 10);
  EXPECT_EQ(ini.ReadValue("BaseForm", "Caption", ""), "a=b:c");
  const std::string text = ini.SaveToText();
  EXPECT_EQ(text.substr(0, 5), "<?xml");
  EXPECT_NE(text.find("   <Japanese>\r\n    <Bold Type=\"Boolean\">True</Bold>\r\n"), std::string::npos);
  TIniFile again = Reloaded(ini);
  EXPECT_EQ(again.ReadValue("BaseForm\\Font\\Japanese", "Bold", false), true);
  EXPECT_EQ(again.ReadValue("", "Plain", ""), "no type");
}

TEST(IniFileText, ShiftJisFilesOfOlderVersionsAreConverted) {
  // "ＭＳ Ｐゴシック" and "表" in Shift-JIS; the trail byte of "表" is "\".
  const std::string gothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
  const std::string table = "\x95\x5C";
  TIniFile ini("unused.ini");
  ini.LoadFromText("<?xml version='1.0' encoding='Shift_JIS' ?>\r\n<IniFile version='1.0'>\r\n"
                   " <BaseForm>\r\n  <Name Type=\"String\">" + gothic + "</Name>\r\n"
                   "  <" + table + " Type=\"Integer\">7</" + table + ">\r\n"
                   " </BaseForm>\r\n</IniFile>\r\n");
  EXPECT_EQ(ini.ReadValue("BaseForm", "Name", ""), "ＭＳ Ｐゴシック");
  EXPECT_EQ(ini.ReadValue("BaseForm", "表", 0), 7);
  EXPECT_NE(ini.SaveToText().find("encoding='UTF-8'"), std::string::npos);
}

TEST(IniFileText, RepeatedPathsInAFileStayInOrder) {
  TIniFile ini("unused.ini");
  ini.LoadFromText(Lines({"<?xml version='1.0' ?>", "<IniFile version='1.0'>", " <A>",
                          "  <B Type=\"Integer\">1</B>", "  <b Type=\"Integer\">2</b>", " </A>", "</IniFile>"}));
  ASSERT_EQ(ini.Count(), 2);
  EXPECT_EQ(ini.ReadValue("A", "B", 0), 1);  // the first one counts
  const std::string saved = ini.SaveToText();
  EXPECT_NE(saved.find("  <B Type=\"Integer\">1</B>\r\n  <b Type=\"Integer\">2</b>\r\n </A>"), std::string::npos);
  ini.WriteValue("A", "B", TIniValue{});
  EXPECT_EQ(ini.ReadValue("A", "B", 0), 2);  // deleting the first reveals the second
  ini.WriteValue("A", "B", "");
  EXPECT_FALSE(ini.ValueExists("A", "B"));
}

TEST(IniFileText, DamagedFilesKeepTheReadableEntries) {
  const std::string head = "<?xml version='1.0' encoding='UTF-8' ?>\r\n<IniFile version='1.0'>\r\n";
  TIniFile ini("unused.ini");

  // Cut off in the middle: the last line is never an entry.
  ini.LoadFromText(head + " <F>\r\n  <X Type=\"Integer\">1</X>\r\n  <Y Type=\"Inte");
  EXPECT_EQ(Entries(ini), std::vector<std::string>{"F\\X|I|1"});

  // Lines without indentation, without "<", without a type, or absurdly deep.
  ini.LoadFromText(head + "stray text\r\n\r\n <F>\r\n  plain\r\n  <X Type=\"Integer\">2</X>\r\n" +
                   std::string(500, ' ') + "<Deep Type=\"Integer\">3</Deep>\r\n" + "  <Y>\r\n" +
                   "  <Z Type=\"\r\n" + " <" + std::string(5000, 'n') + " Type=\"String\">long</x>\r\n" +
                   "</IniFile>\r\n");
  EXPECT_EQ(Entries(ini), (std::vector<std::string>{"F\\X|I|2", "F\\Z|S|"}));

  // Characters are never cut in two, even where the markup is wrong.
  ini.LoadFromText(head + " <日本\r\n  <X Type=\"String\"日本</X>\r\n</IniFile>\r\n");
  EXPECT_EQ(Entries(ini), std::vector<std::string>{"日\\X|S|本"});

  // Names the file cannot hold are not taken: they would not read back.
  ini.LoadFromText("Good=I:1\r\nmy key=I:2\r\nSec\\/Slash=I:3\r\n/Root=I:4\r\nBad section\r\n x=I:5\r\n");
  EXPECT_EQ(Entries(ini), std::vector<std::string>{"Good|I|1"});

  // Binary bytes and NULs never stop the reader.
  std::string junk = head;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  junk += "\r\n <G Type=\"Integer\">9</G>\r\n</IniFile>\r\n";
  ini.LoadFromText(junk);
  EXPECT_EQ(ini.ReadValue("G", "", 0), 0);
  EXPECT_EQ(ini.ReadValue("", "G", 0), 9);
  EXPECT_EQ(ini.ReadValue("Missing", "Key", 42), 42);

  ini.LoadFromText("");
  EXPECT_EQ(ini.Count(), 0);
}
