#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "common/uStrC.h"
#include "script/uFunction.h"

using namespace tracemill;

namespace {

const std::filesystem::path kDocs = std::filesystem::path(TRACEMILL_SOURCE_DIR) / "docs";

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The manual and its two language parts: from id="ja" to id="en", and from id="en" on.
struct Manual {
  std::string Whole = ReadText(kDocs / "tracemill.html");
  std::string Part(std::string_view lang) const {
    const std::size_t ja = Whole.find("id=\"ja\"");
    const std::size_t en = Whole.find("id=\"en\"");
    if (ja == std::string::npos || en == std::string::npos || ja > en) return std::string();
    return lang == "ja" ? Whole.substr(ja, en - ja) : Whole.substr(en);
  }
};

std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it)
    found.insert((*it)[1].str());
  return found;
}

std::set<std::string> WithoutPrefix(const std::set<std::string>& ids, const std::string& prefix) {
  std::set<std::string> rest;
  for (const std::string& id : ids)
    if (id.rfind(prefix, 0) == 0) rest.insert(id.substr(prefix.size()));
  return rest;
}

}  // namespace

TEST(Manual, ReferenceListsEveryBuiltInFunctionInBothLanguages) {
  const Manual manual;
  std::set<std::string> builtins;
  for (std::string_view name : BuiltinNames()) builtins.insert(std::string(name));
  ASSERT_GT(builtins.size(), 120u);
  for (const char* lang : {"ja", "en"}) {
    SCOPED_TRACE(lang);
    const std::set<std::string> listed = Matches(manual.Part(lang), R"(<code class="fn">([A-Z0-9]+)</code>)");
    for (const std::string& name : builtins) EXPECT_TRUE(listed.count(name)) << name << " is not in the reference";
    for (const std::string& name : listed) EXPECT_TRUE(builtins.count(name)) << name << " is no built-in function";
  }
}

TEST(Manual, BothLanguagesHaveTheSameSectionsAndEveryLinkAndPictureResolves) {
  const Manual manual;
  ASSERT_FALSE(manual.Part("ja").empty()) << "the parts #ja and #en, in this order";
  ASSERT_FALSE(manual.Part("en").empty());

  // The help command opens the manual at #ja or #en; each part has the same sections.
  const std::set<std::string> ids = Matches(manual.Whole, R"re(\bid="([^"]+)")re");
  EXPECT_TRUE(ids.count("ja") && ids.count("en"));
  const std::set<std::string> japanese = WithoutPrefix(Matches(manual.Part("ja"), R"re(\bid="([^"]+)")re"), "ja-");
  const std::set<std::string> english = WithoutPrefix(Matches(manual.Part("en"), R"re(\bid="([^"]+)")re"), "en-");
  EXPECT_GT(japanese.size(), 15u);
  EXPECT_EQ(japanese, english);

  for (const std::string& target : Matches(manual.Whole, R"re(href="#([^"]*)")re"))
    EXPECT_TRUE(ids.count(target)) << "#" << target << " leads nowhere";
  // Links stay inside a part: the Japanese part links to ja- sections only, and the English one to en-.
  for (const std::string& target : Matches(manual.Part("en"), R"re(href="#([^"]*)")re"))
    EXPECT_EQ(target.rfind("ja-", 0), std::string::npos) << target;
  for (const std::string& target : Matches(manual.Part("ja"), R"re(href="#([^"]*)")re"))
    EXPECT_EQ(target.rfind("en-", 0), std::string::npos) << target;

  // Every picture is in docs/ (and so installed beside the manual), in both languages.
  const std::set<std::string> pictures = Matches(manual.Whole, R"re(<img src="([^"]+)")re");
  EXPECT_GE(pictures.size(), 10u);
  for (const std::string& picture : pictures) {
    EXPECT_TRUE(std::filesystem::is_regular_file(kDocs / picture)) << picture;
    if (picture.find("-ja.") != std::string::npos) {
      std::string twin = picture;
      twin.replace(twin.find("-ja."), 4, "-en.");
      EXPECT_TRUE(pictures.count(twin)) << picture << " has no English twin";
    }
  }
}

TEST(Manual, ReadMeAndManualAreUtf8Text) {
  const Manual manual;
  const std::string readMe = ReadText(kDocs / "tracemill.txt");
  ASSERT_FALSE(readMe.empty());
  EXPECT_TRUE(IsValidUtf8(readMe));
  EXPECT_TRUE(IsValidUtf8(manual.Whole));
  EXPECT_NE(manual.Whole.find("<meta charset=\"utf-8\"/>"), std::string::npos);
  // The read-me points to the manual by its file name.
  EXPECT_NE(readMe.find("tracemill.html"), std::string::npos);
}
