// The settings file: its exact text, reading it back, the older indented form,
// Shift-JIS files of older versions and damaged files.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/uIniFile.h"

using namespace tracemill;
using namespace std::string_literals;

namespace {

using TLines = std::vector<std::string>;

// The entries of a store as "path|kind|text" lines, in order.
TLines Entries(const TIniFile& ini) {
  TLines out;
  for (int i = 0; i < ini.Count(); ++i) {
    const TIniEntry& e = ini.Entry(i);
    out.push_back(e.KeyPath + "|" + e.Kind + "|" + e.Text);
  }
  return out;
}

TLines Loaded(std::string_view bytes) {
  TIniFile ini("unused.ini");
  ini.LoadFromText(bytes);
  return Entries(ini);
}

// A settings file with the given lines inside the root element.
std::string Xml(const TLines& body) {
  std::string text = "<?xml version='1.0' encoding='UTF-8' ?>\r\n<IniFile version='1.0'>\r\n";
  for (const auto& l : body) text += l + "\r\n";
  return text + "</IniFile>\r\n";
}

// Saves the store and loads the text into a new one, which must hold the same
// entries: the saved store's entries are in file order too.
TIniFile ExpectReloads(TIniFile& ini) {
  TIniFile again("unused.ini");
  again.LoadFromText(ini.SaveToText());
  EXPECT_EQ(Entries(again), Entries(ini));
  return again;
}

struct TWrite {
  std::string section, key;
  TIniValue value;
};

}  // namespace

TEST(IniFileText, WrittenEntriesGiveTheExactFileText) {
  const struct {
    const char* what;
    std::vector<TWrite> writes;
    TLines body;
  } cases[] = {
      {"empty store", {}, {}},
      // Written out of order and in another letter case first: the file is sorted
      // by the upper-case path and shows the letter case of the last write.
      {"example",
       {{"Format", "SimpleReport", "{x}, {y}, {filename}, {comment}"s},
        {"baseform", "state", "Normal"s},
        {"BaseForm\\Font\\Japanese", "Name", "ＭＳ Ｐゴシック"s},
        {"BaseForm\\Font\\Japanese", "Bold", false},
        {"BaseForm", "State", "Normal"s}},
       {" <BaseForm>", "  <Font>", "   <Japanese>", "    <Bold Type=\"Boolean\">False</Bold>",
        "    <Name Type=\"String\">ＭＳ Ｐゴシック</Name>", "   </Japanese>", "  </Font>",
        "  <State Type=\"String\">Normal</State>", " </BaseForm>", " <Format>",
        "  <SimpleReport Type=\"String\">{x}, {y}, {filename}, {comment}</SimpleReport>", " </Format>"}},
      {"siblings and deep paths",
       {{"Bench\\Default\\Standard", "X1", 1.5},
        {"Bench\\Default", "Scale", std::int32_t(3)},
        {"Path", "Open", "/home/u/charts"s},
        {"", "Top", std::int32_t(1)},
        {"Bench\\Default\\Standard", "Y1", 2.0}},
       {" <Bench>", "  <Default>", "   <Scale Type=\"Integer\">3</Scale>", "   <Standard>",
        "    <X1 Type=\"Float\">1.5</X1>", "    <Y1 Type=\"Float\">2</Y1>", "   </Standard>", "  </Default>",
        " </Bench>", " <Path>", "  <Open Type=\"String\">/home/u/charts</Open>", " </Path>",
        " <Top Type=\"Integer\">1</Top>"}},
      // A value with children is one element around them.
      {"value with children",
       {{"A\\B", "C", std::int32_t(3)}, {"A", "B", "value"s}},
       {" <A>", "  <B Type=\"String\">value", "   <C Type=\"Integer\">3</C>", "  </B>", " </A>"}},
      // A text that ends like the element's closing tag keeps it, so that reading strips only that.
      {"text like a closing tag, with children",
       {{"A\\B", "C", std::int32_t(3)}, {"A", "B", "see </b>"s}},
       {" <A>", "  <B Type=\"String\">see </b></B>", "   <C Type=\"Integer\">3</C>", "  </B>", " </A>"}},
      {"text like a closing tag", {{"A", "B", "</B>"s}}, {" <A>", "  <B Type=\"String\"></B></B>", " </A>"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TIniFile ini("unused.ini");
    for (const auto& w : c.writes) ini.WriteValue(w.section, w.key, w.value);
    EXPECT_EQ(ini.SaveToText(), Xml(c.body));
    ExpectReloads(ini);
  }
}

TEST(IniFileText, EveryKindReadsBackFromTheFile) {
  const std::vector<std::pair<std::string, TIniValue>> values{
      {"Flag", true},
      {"Off", false},
      {"Count", std::int32_t(-2147483647 - 1)},
      {"Big", std::int32_t(2147483647)},
      {"Ratio", 0.1},
      {"Tiny", -1.25e-7},
      {"When", TIniDateTime{2024, 2, 29, 23, 5, 9}},
      {"Text", "日本語 <a href=\"x\">&amp;</a>\tTab"s},
      {"Lines", "first\r\nsecond\nthird 100%"s},
  };
  TIniFile ini("unused.ini");
  for (const auto& [key, value] : values) ini.WriteValue("Kinds", key, value);

  const TIniFile again = ExpectReloads(ini);
  for (const auto& [key, value] : values) {
    SCOPED_TRACE(key);
    EXPECT_EQ(again.ReadValue("Kinds", key, TIniValue{}), value);
    // The read of the value's own kind, with a default that differs from it.
    std::visit(
        [&](const auto& v) {
          using T = std::decay_t<decltype(v)>;
          if constexpr (!std::is_same_v<T, std::monostate>) {
            EXPECT_EQ(again.ReadValue("Kinds", key, T{}), v);
          }
        },
        value);
  }

  const std::string text = ini.SaveToText();
  for (const char* line : {"<Off Type=\"Boolean\">False</Off>", "<When Type=\"Date\">2024/02/29 23:05:09</When>",
                           "<Ratio Type=\"Float\">0.1</Ratio>"})
    EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST(IniFileText, NamesTheMarkupCannotHoldAreEscaped) {
  const struct {
    const char* what;
    std::string section, key;
    TLines body;  // the file's lines inside the root element
  } cases[] = {
      {"a blank", "Path", "Last File",
       {" <Path>", "  <Last%20File Type=\"String\">x</Last%20File>", " </Path>"}},
      {"a leading slash, read as a closing tag", "", "/Root", {" <%2FRoot Type=\"String\">x</%2FRoot>"}},
      {"a slash elsewhere", "a/b", "c/", {" <a/b>", "  <c/ Type=\"String\">x</c/>", " </a/b>"}},
      {"escapes", "", "50%\t\xff", {" <50%%%09%FF Type=\"String\">x</50%%%09%FF>"}},
      {"empty names", "\\", "", {" <>", "  <>", "   < Type=\"String\">x</>", "  </>", " </>"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TIniFile ini("unused.ini");
    ini.WriteValue(c.section, c.key, "x");
    EXPECT_EQ(ini.SaveToText(), Xml(c.body));
    const TIniFile again = ExpectReloads(ini);
    EXPECT_EQ(again.ReadValue(c.section, c.key, ""), "x");
  }
  // Older files hold names as they are: one without valid escapes stays so,
  // and so do names the indented form allowed.
  EXPECT_EQ(Loaded(Xml({" <A%>", "  <50%x Type=\"Integer\">1</50%x>", " </A%>"})), TLines{"A%\\50%x|I|1"});
  EXPECT_EQ(Loaded("my key=I:2\r\nSec\\/Slash=I:3\r\n/Root=I:4\r\nBad section\r\n x=I:5\r\n"),
            (TLines{"my key|I|2", "Sec\\/Slash|I|3", "/Root|I|4", "Bad section\\x|I|5"}));
}

TEST(IniFileText, IndentedFormOfOlderVersionsLoads) {
  TIniFile ini("unused.ini");
  ini.LoadFromText(
      "BaseForm\r\n"
      " Left=I:10\r\n"
      " Font\r\n"
      "  Japanese\r\n"
      "   Bold=B:True\r\n"
      " Caption=S:a=b:c\r\n"
      "Plain=no type\r\n");
  EXPECT_EQ(Entries(ini), (TLines{"BaseForm\\Left|I|10", "BaseForm\\Font\\Japanese\\Bold|B|True",
                                  "BaseForm\\Caption|S|a=b:c", "Plain|S|no type"}));
  ExpectReloads(ini);
}

TEST(IniFileText, ShiftJisFilesOfOlderVersionsAreConverted) {
  // "ＭＳ Ｐゴシック" and "表" in Shift-JIS; the trail byte of "表" is "\".
  const std::string gothic = "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
  const std::string table = "\x95\x5C";
  EXPECT_EQ(Loaded("<?xml version='1.0' encoding='Shift_JIS' ?>\r\n<IniFile version='1.0'>\r\n"
                   " <BaseForm>\r\n  <Name Type=\"String\">" + gothic + "</Name>\r\n"
                   "  <" + table + " Type=\"Integer\">7</" + table + ">\r\n"
                   " </BaseForm>\r\n</IniFile>\r\n"),
            (TLines{"BaseForm\\Name|S|ＭＳ Ｐゴシック", "BaseForm\\表|I|7"}));
}

TEST(IniFileText, RepeatedPathsInAFileStayInOrder) {
  const std::string text = Xml({" <A>", "  <B Type=\"Integer\">1</B>", "  <b Type=\"Integer\">2</b>", " </A>"});
  TIniFile ini("unused.ini");
  ini.LoadFromText(text);
  EXPECT_EQ(ini.SaveToText(), text);
  EXPECT_EQ(ini.ReadValue("A", "B", 0), 1);  // the first one counts
  ini.WriteValue("A", "B", TIniValue{});
  EXPECT_EQ(ini.ReadValue("A", "B", 0), 2);  // deleting the first reveals the second
  ini.WriteValue("A", "B", "");
  EXPECT_FALSE(ini.ValueExists("A", "B"));
}

TEST(IniFileText, DamagedFilesKeepTheReadableEntries) {
  const std::string head = "<?xml version='1.0' encoding='UTF-8' ?>\r\n<IniFile version='1.0'>\r\n";

  // Cut off in the middle: the last line is never an entry.
  EXPECT_EQ(Loaded(head + " <F>\r\n  <X Type=\"Integer\">1</X>\r\n  <Y Type=\"Inte"), TLines{"F\\X|I|1"});

  // Lines without indentation, without "<", without a type, or absurdly deep.
  EXPECT_EQ(Loaded(head + "stray text\r\n\r\n <F>\r\n  plain\r\n  <X Type=\"Integer\">2</X>\r\n" +
                   std::string(500, ' ') + "<Deep Type=\"Integer\">3</Deep>\r\n" + "  <Y>\r\n" +
                   "  <Z Type=\"\r\n" + " <" + std::string(5000, 'n') + " Type=\"String\">long</x>\r\n" +
                   "</IniFile>\r\n"),
            (TLines{"F\\X|I|2", "F\\Z|S|"}));

  // Characters are never cut in two, even where the markup is wrong.
  EXPECT_EQ(Loaded(head + " <日本\r\n  <X Type=\"String\"日本</X>\r\n</IniFile>\r\n"), TLines{"日\\X|S|本"});

  // Binary bytes and NULs never stop the reader.
  std::string junk = head;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131 + 7) % 256));
  junk += "\r\n <G Type=\"Integer\">9</G>\r\n</IniFile>\r\n";
  const TLines entries = Loaded(junk);
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries.back(), "G|I|9");

  EXPECT_EQ(Loaded(""), TLines{});
}
