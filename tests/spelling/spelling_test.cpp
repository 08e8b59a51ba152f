// Words of subtitle lines, Hunspell in the dictionary's own encoding, the personal word list and
// the document-wide run.
#include <gtest/gtest.h>

#include <cstdlib>

#include "spelling/spelling_run.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> Words(const char* line) {
  const std::u16string text = FromUtf8(line);
  std::vector<std::string> out;
  for (const WordSpan& w : FindWords(text)) out.push_back(ToUtf8(text.substr(w.start, w.length)));
  return out;
}

TEST(SpellingWords, FindsTheWordsAViewerReads) {
  using V = std::vector<std::string>;
  const struct {
    const char* line;
    V words;
  } cases[] = {
      {"<i>Hello</i> world", {"Hello", "world"}},
      {"{\\an8}{\\i1}Up here{\\i0}", {"Up", "here"}},
      {"{y:i}Micro style", {"Micro", "style"}},
      {"- Don't go! - L'homme est là.", {"Don't", "go", "L'homme", "est", "là"}},
      {"a well-known 'quote'", {"a", "well-known", "quote"}},
      {"It cost 11 997 euro at 12:30, 3D and 2nd", {"It", "cost", "euro", "at", "and"}},
      {"See www.example.com or https://x.org/a-b and me@mail.nl", {"See", "or", "and"}},
      {"one | two\\Nthree", {"one", "two", "three"}},
      {"crème brûlée, Ærø, Привет", {"crème", "brûlée", "Ærø", "Привет"}},
      {"It’s ok -- end-", {"It’s", "ok", "end"}},
      {"<3 a < b", {"a", "b"}},
      {"\x01\x02\xff\xfe binary", {"binary"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Words(c.line), c.words) << c.line;
  // Places are in the line as stored, tags included.
  EXPECT_EQ(FindWords(u"<i>Hi</i> you"), (std::vector<WordSpan>{{3, 2}, {10, 3}}));
}

// A dictionary written by the test; `latin1` writes it in ISO 8859-1.
void WriteDictionary(const std::filesystem::path& folder, const std::string& name, bool latin1) {
  std::filesystem::create_directories(folder);
  if (latin1) {
    WriteBytes(folder / (name + ".aff"), "SET ISO8859-1\nTRY esianrtolcdugmphbyfvkwz\n");
    WriteBytes(folder / (name + ".dic"), "3\ncaf\xe9\nna\xefve\nhello\n");
  } else {
    WriteBytes(folder / (name + ".aff"), "SET UTF-8\nTRY esianrtolcdugmphbyfvkwz\n");
    WriteBytes(folder / (name + ".dic"), "3\ncafé\nnaïve\nhello\n");
  }
}

TEST(SpellChecker, ChecksAndSuggestsInTheDictionarysOwnEncoding) {
  ScratchDir dir;
  for (bool latin1 : {false, true}) {
    const std::string name = latin1 ? "xx_LATIN" : "xx_UTF";
    WriteDictionary(dir.Dir(), name, latin1);
    SpellChecker checker;
    ASSERT_TRUE(checker.Open(dir.Dir(), name)) << name;
    EXPECT_EQ(checker.Encoding(), latin1 ? "ISO8859-1" : "UTF-8");
    EXPECT_TRUE(checker.Check(u"café")) << name;
    EXPECT_TRUE(checker.Check(u"naïve")) << name;
    EXPECT_FALSE(checker.Check(u"cafe")) << name;
    // A word the code page cannot hold is unknown, not an error.
    EXPECT_FALSE(checker.Check(u"Привет")) << name;
    EXPECT_EQ(checker.Suggest(u"cafe"), std::vector<std::u16string>{u"café"}) << name;
    EXPECT_TRUE(checker.Suggest(u"Привет").empty());
  }
}

TEST(SpellChecker, InstalledDictionariesAndTheDefaultLanguage) {
  ScratchDir dir;
  WriteDictionary(dir.Dir(), "nl_NL", false);
  WriteDictionary(dir.Dir(), "en_US", false);
  WriteBytes(dir.Path("de_DE.dic"), "1\nHallo\n");  // no .aff: not a dictionary
  const std::vector<std::string> installed = InstalledDictionaries(dir.Dir());
  EXPECT_EQ(installed, (std::vector<std::string>{"en_US", "nl_NL"}));
  EXPECT_EQ(LocaleLanguage("nl_BE.UTF-8@euro"), "nl_BE");
  EXPECT_EQ(LocaleLanguage("C.UTF-8"), "");

  const struct {
    const char* lang;
    std::vector<std::string> installed;
    std::string expected;
  } cases[] = {
      {"nl_NL.UTF-8", installed, "nl_NL"},
      {"nl_BE.UTF-8", installed, "nl_NL"},  // same language, other country
      {"fr_FR.UTF-8", installed, "en_US"},
      {"C", installed, "en_US"},
      {"fr_FR.UTF-8", {"nl"}, "nl"},
      {"nl_BE.UTF-8", {"en_US", "nl"}, "nl"},
      {"en_US.UTF-8", {}, ""},
  };
  const char* saved_all = std::getenv("LC_ALL");
  const std::string saved = saved_all ? saved_all : "";
  unsetenv("LC_MESSAGES");
  for (const auto& c : cases) {
    setenv("LC_ALL", c.lang, 1);
    EXPECT_EQ(DefaultSpellingLanguage(c.installed), c.expected) << c.lang;
  }
  saved_all ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
}

TEST(SpellChecker, MissingDictionariesAreNamedInTheMessage) {
  ScratchDir dir;
  SpellChecker checker;
  std::string error;
  EXPECT_FALSE(checker.Open(dir.Dir(), "en_US", &error));
  EXPECT_EQ(error, "The dictionary \"en_US\" is not installed in " + dir.Dir().string() +
                       "; installed: none.");
  EXPECT_FALSE(checker.Open(dir.Path("missing"), "en_US"));
  // Without a dictionary nothing is marked.
  EXPECT_TRUE(checker.Check(u"qwzx"));
  EXPECT_TRUE(checker.Suggest(u"qwzx").empty());
  WriteDictionary(dir.Dir(), "nl", false);
  EXPECT_FALSE(checker.Open(dir.Dir(), "en_US", &error));
  EXPECT_NE(error.find("installed: nl."), std::string::npos) << error;
}

TEST(SpellChecker, HugeAndBinaryWordsAreUnknownAtOnce) {
  ScratchDir dir;
  WriteDictionary(dir.Dir(), "xx", false);
  SpellChecker checker;
  ASSERT_TRUE(checker.Open(dir.Dir(), "xx"));
  const std::u16string huge(10000, u'a');
  EXPECT_FALSE(checker.Check(huge));
  EXPECT_TRUE(checker.Suggest(huge).empty());
  std::u16string line = u"hello " + huge + u" \uFFFD\u0001hello";
  EXPECT_EQ(UnknownWords(checker, line), (std::vector<WordSpan>{{6, 10000}}));
}

TEST(PersonalWordList, ReadWrittenAndUsed) {
  ScratchDir dir;
  WriteDictionary(dir.Dir(), "xx", false);
  const std::filesystem::path list = dir.Path("config/tessera/words.txt");
  std::vector<std::u16string> words{u"stale"};
  EXPECT_TRUE(ReadWordList(list, words));  // missing: empty
  EXPECT_TRUE(words.empty());

  SpellChecker checker;
  ASSERT_TRUE(checker.Open(dir.Dir(), "xx"));
  EXPECT_FALSE(checker.Check(u"tessera"));
  std::string reason;
  ASSERT_TRUE(AddToPersonalList(checker, list, u"tessera", &reason)) << reason;
  ASSERT_TRUE(AddToPersonalList(checker, list, u"ijsjé", &reason)) << reason;
  ASSERT_TRUE(AddToPersonalList(checker, list, u"tessera", &reason)) << reason;  // once
  EXPECT_EQ(testing::ReadBytes(list), "tessera\nijsjé\n");
  EXPECT_TRUE(checker.Check(u"tessera"));
  EXPECT_TRUE(checker.Check(u"Tessera"));  // as Hunspell takes capitals

  // A second checker (the command line) reads what the window added.
  SpellChecker other;
  ASSERT_TRUE(other.Open(dir.Dir(), "xx"));
  ASSERT_TRUE(ReadWordList(list, words));
  other.AcceptAll(words);
  EXPECT_TRUE(other.Check(u"ijsjé"));

  // A damaged list: what is no word is skipped and counted, and kept when a word is added.
  WriteBytes(list, std::string("good\r\n\xff\xfe\x01\n") + std::string(5000, 'x') +
                       "\n\n  spaced  \ntwo words\nlast");
  int skipped = 0;
  ASSERT_TRUE(ReadWordList(list, words, &skipped));
  EXPECT_EQ(words, (std::vector<std::u16string>{u"good", u"spaced", u"last"}));
  EXPECT_EQ(skipped, 3);
  ASSERT_TRUE(AddToPersonalList(checker, list, u"new", &reason));
  EXPECT_EQ(testing::ReadBytes(list).substr(0, 10), "good\r\n\xff\xfe\x01\n");
  EXPECT_TRUE(testing::ReadBytes(list).ends_with("\nlast\nnew\n"));

  // An unwritable folder: the word is known for the session, and the reason is given.
  const std::filesystem::path locked = dir.Path("locked");
  std::filesystem::create_directories(locked);
  std::filesystem::permissions(
      locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (access(locked.c_str(), W_OK) != 0) {
    EXPECT_FALSE(AddToPersonalList(checker, locked / "words.txt", u"zzyzx", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(checker.Check(u"zzyzx"));
  }
}

TEST(PersonalWordList, FollowsXdgConfigHome) {
  const char* saved = std::getenv("XDG_CONFIG_HOME");
  const std::string old = saved ? saved : "";
  setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
  EXPECT_EQ(PersonalWordListPath(), std::filesystem::path("/tmp/cfg/tessera/words.txt"));
  unsetenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  EXPECT_EQ(PersonalWordListPath(),
            std::filesystem::path(home ? home : ".") / ".config/tessera/words.txt");
  if (saved) setenv("XDG_CONFIG_HOME", old.c_str(), 1);
}

TEST(SpellingRun, WalksReplacesAndReports) {
  ScratchDir dir;
  WriteDictionary(dir.Dir(), "xx", false);
  SpellChecker checker;
  ASSERT_TRUE(checker.Open(dir.Dir(), "xx"));
  SubtitleDocument doc = testing::MakeDocument(std::vector<testing::TimedRow>{
      {1, 2, "hello cafe", "<i>naive</i>"},
      {3, 4, "hello"},
      {5, 6, "cafe, cafe!", "", "qqq"},
  });
  std::optional<UnknownWord> w = NextUnknownWord(doc, checker, 0, 0, 0);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->row, 0);
  EXPECT_EQ(w->word, u"cafe");
  w = NextUnknownWord(doc, checker, 0, 0, w->span.start + 1);
  ASSERT_TRUE(w);
  EXPECT_EQ(w->line, 1);
  EXPECT_EQ(w->word, u"naive");
  ASSERT_TRUE(ReplaceUnknownWord(doc, *w, u"naïve"));
  EXPECT_EQ(doc.Line(0, 1), u"<i>naïve</i>");
  EXPECT_FALSE(ReplaceUnknownWord(doc, *w, u"x"));  // the line no longer holds it

  const SpellingReport report = CheckDocumentSpelling(doc, checker);
  const std::vector<std::u16string> expected = {u"1: cafe -> café", u"3: cafe -> café",
                                                u"3: cafe -> café", u"3: qqq ->",
                                                u"4 unknown words in 2 subtitles."};
  EXPECT_EQ(report.lines, expected);

  EXPECT_EQ(ReplaceWordEverywhere(doc, u"cafe", u"café", 1), 2);
  EXPECT_EQ(doc.Line(0, 0), u"hello cafe");
  EXPECT_EQ(doc.Line(2, 0), u"café, café!");
  checker.Ignore(u"qqq");
  checker.Ignore(u"cafe");
  EXPECT_FALSE(NextUnknownWord(doc, checker, 0, 0, 0));
  EXPECT_EQ(CheckDocumentSpelling(doc, checker).lines.back(), u"0 unknown words in 0 subtitles.");
}

}  // namespace
}  // namespace tessera
