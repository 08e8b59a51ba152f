#include "tools/find_replace.h"

#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::MakeDocument;
using testing::ScriptedPrompter;

constexpr char kNotFound[] = "Cannot find the requested text.";

TEST(Matching, WholeWordAndCaseRules) {
  struct Case {
    const char16_t* line;
    const char16_t* pattern;
    bool whole_word, match_case, matches;
  };
  const Case cases[] = {
      {u"the cat.", u"cat", true, false, true},
      {u"(cat)", u"cat", true, false, true},
      {u"cat", u"cat", true, false, true},
      {u"cats", u"cat", true, false, false},
      {u"cats and cat", u"cat", true, false, false},  // only the first occurrence counts
      {u"scat", u"cat", false, false, true},
      {u"say hello", u"HELLO", false, false, true},
      {u"say hello", u"HELLO", false, true, false},
      {u"ΣΟΦΊΑ και", u"σοφία", true, false, true},
      {u"σοφος", u"ΣΟΦΟΣ", false, false, true},  // final sigma
      {u"Привет, МИР!", u"мир", true, false, true},
      {u"STRAẞE", u"straße", false, false, true},
      {u"İ", u"i", false, false, false},  // no one-to-one folding
      {u"", u"a", false, false, false},
  };
  for (const Case& c : cases) {
    size_t pos = FindInLine(c.line, c.pattern, {c.whole_word, c.match_case});
    EXPECT_EQ(pos != std::u16string::npos, c.matches)
        << ToUtf8(c.line) << " / " << ToUtf8(c.pattern);
  }
  EXPECT_EQ(FoldCase(u'Ä'), u'ä');
  EXPECT_EQ(FoldCase(u'µ'), u'μ');
  EXPECT_EQ(FoldCase(u'Ж'), u'ж');
  EXPECT_EQ(FoldCase(u'7'), u'7');
}

SubtitleDocument SearchRows() {
  SubtitleDocument doc = MakeDocument({{1, 2, "needle here"},
                                       {3, 4, "b"},
                                       {5, 6, "c"},
                                       {7, 8, "d"},
                                       {9, 10, "e"},
                                       {11, 12, "f"},
                                       {13, 14, "g"},
                                       {15, 16, "Needle at the end"}});
  doc.SetCell(3, kLine3, u"a needle in line three");
  return doc;
}

TEST(FindNext, SearchesBesideTheCurrentRowWithoutWrapping) {
  SubtitleDocument doc = SearchRows();
  LanguageTable lang;
  lang.Build("/nonexistent");
  ScriptedPrompter prompter;
  SearchState down{u"needle", {}, +1};
  doc.SetCurrentRow(3);  // the current row itself is never examined
  EXPECT_TRUE(FindNext(doc, down, prompter, lang));
  EXPECT_EQ(doc.CurrentRow(), 7);

  prompter.ExpectMessage(kNotFound);
  EXPECT_FALSE(FindNext(doc, down, prompter, lang));
  EXPECT_EQ(doc.CurrentRow(), 7);

  SearchState up{u"needle", {}, -1};
  doc.SetCurrentRow(5);
  EXPECT_TRUE(FindNext(doc, up, prompter, lang));
  EXPECT_EQ(doc.CurrentRow(), 3);  // found in line 3
  EXPECT_TRUE(FindNext(doc, up, prompter, lang));
  EXPECT_EQ(doc.CurrentRow(), 0);

  SearchState cased{u"Needle", {false, true}, +1};
  EXPECT_TRUE(FindNext(doc, cased, prompter, lang));
  EXPECT_EQ(doc.CurrentRow(), 7);

  EXPECT_FALSE(FindNext(doc, SearchState{}, prompter, lang));  // empty text: no prompt
}

TEST(ReplaceInEntry, ReplacesEveryMatchOfTheEntry) {
  struct Case {
    const char16_t* line;
    const char16_t* find;
    const char16_t* with;
    MatchRules rules;
    const char16_t* result;
    int count;
  };
  const Case cases[] = {
      {u"a a a", u"a", u"b", {}, u"b b b", 3},
      {u"a a", u"a", u"aa", {}, u"aa aa", 2},  // goes on behind the replacement
      {u"say HELLO hello", u"hello", u"Bye", {}, u"say Bye Bye", 2},
      {u"say HELLO", u"hello", u"Bye", {false, true}, u"say HELLO", 0},
      {u"cat (cat) cat.", u"cat", u"dog", {true, false}, u"dog (dog) dog.", 3},
      {u"cats and cat", u"cat", u"dog", {true, false}, u"cats and cat", 0},
      {u"cat cats cat", u"cat", u"dog", {true, false}, u"dog cats cat", 1},
      {u"ab", u"b", u"xb", {true, false}, u"ab", 0},
      // Right behind a match, the end of its replacement decides whether a word starts.
      {u".a.a", u".a", u"X", {true, false}, u"X.a", 1},
      {u".a.a", u".a", u"X.", {true, false}, u"X.X.", 2},
      {u"a a", u"a", u"", {true, false}, u" ", 2},
      {u"aAa", u"A", u"a", {}, u"aaa", 3},
  };
  for (const Case& c : cases) {
    SubtitleDocument doc = MakeDocument({{1, 2}});
    doc.SetCell(0, kLine1, c.line);
    EXPECT_EQ(ReplaceInEntry(doc, 0, c.find, c.with, c.rules), c.count) << ToUtf8(c.line);
    EXPECT_EQ(ToUtf8(doc.Line(0, 0)), ToUtf8(c.result));
    EXPECT_EQ(doc.Changed(), c.count > 0);
  }
}

TEST(ReplaceInEntry, LineThreeAndInvalidRows) {
  SubtitleDocument doc = SearchRows();
  EXPECT_EQ(ReplaceInEntry(doc, 3, u"needle", u"pin", {}), 1);
  EXPECT_EQ(doc.Line(3, 2), u"a pin in line three");
  EXPECT_EQ(ReplaceInEntry(doc, -1, u"needle", u"pin", {}), 0);
  EXPECT_EQ(ReplaceInEntry(doc, 8, u"needle", u"pin", {}), 0);
  EXPECT_EQ(ReplaceInEntry(doc, 0, u"", u"pin", {}), 0);
}

TEST(ReplaceAll, ReportsTheTotal) {
  SubtitleDocument doc = SearchRows();
  doc.SetCurrentRow(2);
  ScriptedPrompter prompter;
  prompter.ExpectMessage("Replaced 3 occurences.").ExpectMessage("Found no occurences.");
  EXPECT_EQ(ReplaceAll(doc, u"NEEDLE", u"pin", {}, prompter), 3);
  EXPECT_EQ(doc.Line(7, 0), u"pin at the end");
  EXPECT_EQ(doc.CurrentRow(), 2);
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(ReplaceAll(doc, u"needle", u"pin", {}, prompter), 0);

  SubtitleDocument empty;
  prompter.ExpectMessage("Found no occurences.");
  EXPECT_EQ(ReplaceAll(empty, u"x", u"y", {}, prompter), 0);
  EXPECT_FALSE(empty.Changed());
}

TEST(SearchOptions, RememberedInTheSettings) {
  SettingsStore settings;
  settings.LoadFromText(u"");
  SearchOptions none = LoadSearchOptions(settings);
  EXPECT_TRUE(none.search_string.empty());
  EXPECT_FALSE(none.rules.whole_word || none.rules.match_case);

  StoreFindOptions(settings, {u"[find]", u"not stored", {true, false}});
  SearchOptions found = LoadSearchOptions(settings);
  EXPECT_EQ(found.search_string, u"[find]");
  EXPECT_TRUE(found.replace_string.empty());
  EXPECT_TRUE(found.rules.whole_word);

  StoreReplaceOptions(settings, {u"a", u"b", {false, true}});
  SearchOptions replaced = LoadSearchOptions(settings);
  EXPECT_EQ(replaced.replace_string, u"b");
  EXPECT_FALSE(replaced.rules.whole_word);
  EXPECT_TRUE(replaced.rules.match_case);
  EXPECT_NE(settings.Text().find(u"[SearchOptions]"), std::u16string::npos);
}

}  // namespace
}  // namespace tessera
