// The text repairs, each on a small working table.
#include <gtest/gtest.h>

#include <functional>

#include "check/fix_errors_text.h"
#include "core/text_util.h"

namespace tessera {
namespace {

// A table of rows given as their three lines.
FixWorkTable Table(const std::vector<std::vector<std::string>>& rows) {
  FixWorkTable t;
  for (const auto& r : rows) {
    const int n = t.Count();
    t.InsertRow(n);
    for (size_t k = 0; k < r.size(); ++k) t.Line(n, static_cast<int>(k)) = FromUtf8(r[k]);
  }
  return t;
}
std::string L(const FixWorkTable& t, int row, int k) {
  return ToUtf8(t.Line(row, k));
}

struct LineCase {
  const char* name;
  std::function<int(FixWorkTable&, int)> repair;
  std::vector<std::vector<std::string>> rows;  // row 0 is repaired
  std::vector<std::string> want;               // lines 1-3 of row 0 afterwards
  int count;
};

TEST(TextRepairs, EachRuleAndItsCount) {
  using namespace std::placeholders;
  auto triple = [](int mode, bool count_added) {
    return [=](FixWorkTable& t, int n) {
      int added = 0, removed = 0;
      FixTriplePeriods(t, n, mode, added, removed);
      return count_added ? added : removed;
    };
  };
  auto numbers = [](FixWorkTable& t, int n) { return CheckNumberNotation(t, n, true) ? 1 : 0; };
  auto dash = [](int k) { return [=](FixWorkTable& t, int n) { return FixDashFormat(t, n, k); }; };
  auto seps = [](bool split) {
    return [=](FixWorkTable& t, int n) { return RemoveLineSeparators(t, n, split); };
  };
  const std::vector<LineCase> cases = {
      {"dashes on line 1 only", RemoveLeadingDashes, {{"--- Yes", "-No"}}, {"Yes", "-No", ""}, 1},
      {"comma before capital on line 2",
       FixEndingCommas,
       {{"Wait,", "Come on."}, {"Then"}},
       {"Wait.", "Come on.", ""},
       1},
      {"comma before lower case stays",
       FixEndingCommas,
       {{"I think,"}, {"you are right"}},
       {"I think,", "", ""},
       0},
      {"comma on line 2 before next capital",
       FixEndingCommas,
       {{"so", "Wait,"}, {"There"}},
       {"so", "Wait.", ""},
       1},
      {"last row's comma stays", FixEndingCommas, {{"Wait,"}}, {"Wait,", "", ""}, 0},
      {"three marks one change", ReplaceExclamationMarks, {{"Stop!!!"}}, {"Stop.", "", ""}, 1},
      {"marks on lines 1 and 2 only",
       ReplaceExclamationMarks,
       {{"No! No!", "Hey!", "Yes!"}},
       {"No. No.", "Hey.", "Yes!"},
       3},
      {"separators deleted", seps(false), {{"a | b", "c|"}}, {"a  b", "c", ""}, 2},
      {"split into empty line 2", seps(true), {{"One | Two"}}, {"One", "Two", ""}, 1},
      {"split pushes line 2 down", seps(true), {{"One|Two", "Three"}}, {"One", "Two", "Three"}, 1},
      {"split of both lines", seps(true), {{"A|B|C"}}, {"A", "B", "C"}, 2},
      {"no empty line left: appended", seps(true), {{"A|B", "C", "D"}}, {"A", "C", "D B"}, 1},
      {"mode 0 adds at the end",
       triple(0, true),
       {{"I was going to"}, {"go home"}, {"x"}},
       {"I was going to...", "", ""},
       1},
      {"mode 0 leaves a comma",
       triple(0, true),
       {{"I was going,"}, {"go home"}, {"x"}},
       {"I was going,", "", ""},
       0},
      {"mode 0: last two rows never",
       triple(0, true),
       {{"I was going to"}, {"go home"}},
       {"I was going to", "", ""},
       0},
      {"mode 2 removes at the start", triple(2, false), {{"...and so"}}, {"and so", "", ""}, 1},
      {"mode 3 removes both ends", triple(3, false), {{"...and so..."}}, {"and so", "", ""}, 2},
      {"number with a space", numbers, {{"1 997"}}, {"1997", "", ""}, 1},
      {"space after a word stays", numbers, {{"In 1 997"}}, {"In 1 997", "", ""}, 0},
      {"thousands", numbers, {{"10 000", "", "3 .5"}}, {"10000", "", "3.5"}, 1},
      {"missing space after comma",
       AddMissingSpaces,
       {{"Hello,world"}},
       {"Hello, world", "", ""},
       1},
      {"abbreviation and numbers",
       AddMissingSpaces,
       {{"e.g.this", "1,5 at 10:30", "at WWW.site"}},
       {"e.g. this", "1,5 at 10:30", "at WWW.site"},
       1},
      {"double space and space before period",
       RemoveUnnecessarySpaces,
       {{"Hello  world ."}},
       {"Hello world.", "", ""},
       2},
      {"decimal keeps its space", RemoveUnnecessarySpaces, {{"a .5 mm"}}, {"a .5 mm", "", ""}, 0},
      {"ends and dots",
       RemoveUnnecessarySpaces,
       {{"... so ", " Hi. 'x'"}},
       {"...so", "Hi.'x'", ""},
       4},
      {"quotes",
       FixQuotes,
       {{"\"Hi\"", "it``s", "it\xC2\xB4s ''x''"}},
       {"'Hi'", "it's", "it's 'x'"},
       8},
      {"nested tags",
       RemoveFormatTags,
       {{"<i><b>Hi</b></i>", "a<long>b"}},
       {"Hi", "a<long>b", ""},
       4},
      {"one space after dash",
       dash(1),
       {{"-Yes", "-   Yes", "- Yes"}},
       {"- Yes", "- Yes", "- Yes"},
       2},
      {"no space after dash", dash(0), {{"- Yes"}}, {"-Yes", "", ""}, 1},
      {"period before a capital",
       AddMissingPeriods,
       {{"So it goes"}, {"Then"}},
       {"So it goes.", "", ""},
       1},
      {"no period before lower case",
       AddMissingPeriods,
       {{"So it"}, {"goes"}},
       {"So it", "", ""},
       0},
      {"last row gets its period", AddMissingPeriods, {{"One", "Two"}}, {"One", "Two.", ""}, 1},
      {"quoted end is proper",
       AddMissingPeriods,
       {{"He said. 'Go.'"}},
       {"He said.'Go.'", "", ""},
       0},
  };
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    FixWorkTable t = Table(c.rows);
    EXPECT_EQ(c.repair(t, 0), c.count);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(L(t, 0, k), c.want[static_cast<size_t>(k)]) << k;
  }
}

TEST(TextRepairs, TriplePeriodsAtTheStartOfTheNextSubtitle) {
  FixWorkTable t = Table({{"and I said..."}, {"and then"}, {"Hi"}});
  int added = 0, removed = 0;
  FixTriplePeriods(t, 1, 1, added, removed);
  EXPECT_EQ(L(t, 1, 0), "...and then");
  EXPECT_EQ(added, 1);
  // A capital, a quote or a short line is left alone.
  for (const char* w : {"Then", "'so'", "ok"}) {
    FixWorkTable u = Table({{"and I said..."}, {w}, {"Hi"}});
    added = 0;
    FixTriplePeriods(u, 1, 1, added, removed);
    EXPECT_EQ(L(u, 1, 0), w);
    EXPECT_EQ(added, 0);
  }
}

TEST(TextRepairs, NumberCheckWithoutRepairLeavesTheLine) {
  std::u16string line = u"About 10 000 or 20 500";
  EXPECT_TRUE(CheckNumberNotationLine(line, false));
  EXPECT_EQ(line, u"About 10 000 or 20 500");
  EXPECT_TRUE(CheckNumberNotationLine(line, true));
  EXPECT_EQ(line, u"About 10000 or 20500");
  // The search goes on after each removal.
  std::u16string digits = u"1 2 3";
  EXPECT_TRUE(CheckNumberNotationLine(digits, true));
  EXPECT_EQ(digits, u"123");
}

}  // namespace
}  // namespace tessera
