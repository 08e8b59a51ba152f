#include <gtest/gtest.h>

#include "formats/subrip.h"
#include "tests/support/test_workbench.h"
#include "workbench/file_commands.h"

namespace tessera {
namespace {

using testing::LogLines;
using testing::ReadBytes;

class SplitTest : public ::testing::Test, public testing::TestWorkbench {
 protected:
  SplitTest() {
    for (int i = 0; i < 12; ++i)
      doc.AddRow(Format("0:00:%02d.000", i * 4), Format("0:00:%02d.000", i * 4 + 2),
                 Format("Entry %d", i + 1));
  }
  std::string Text(const std::string& name) {
    std::string b = ReadBytes(dir.Path(name));
    return b;
  }
  testing::ScratchDir& dir = scratch;
};

TEST_F(SplitTest, TwoSubRipFilesAtTheCurrentRow) {
  EXPECT_EQ(SplitDocument(bench, 5, dir.Path16("film.srt")), 1);
  EXPECT_EQ(Text("filma.srt"), ToUtf8(SubRipText(doc, 0, 4)));
  std::string b = Text("filmb.srt");
  // Entries 6-12 numbered 1-7, moved earlier by the midpoint of 16 s and 20 s.
  EXPECT_TRUE(b.starts_with("1\r\n00:00:02,000 --> 00:00:04,000\r\nEntry 6\r\n")) << b;
  EXPECT_NE(b.find("7\r\n00:00:26,000 --> 00:00:28,000\r\nEntry 12\r\n"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("film.srt")));
  std::string a = dir.Path("filma.srt").string(), bn = dir.Path("filmb.srt").string();
  EXPECT_EQ(LogLines(doc),
            (std::vector<std::string>{"Splitting to SubRip files '" + a + "' and '" + bn + "'...",
                                      "Ok."}));
  EXPECT_EQ(store.GetString(u"Directories", u"Save"), FromUtf8(dir.Dir().string()));
}

TEST_F(SplitTest, ScriptNameWritesWholeDocument) {
  EXPECT_EQ(SplitDocument(bench, 5, dir.Path16("film.ssa")), 1);
  std::string s = Text("film.ssa");
  EXPECT_NE(s.find("!Effect,Entry 1\r\n"), std::string::npos);
  EXPECT_NE(s.find("!Effect,Entry 12\r\n"), std::string::npos);
  EXPECT_EQ(LogLines(doc)[0],
            "Saving Sub Station Alpha file '" + dir.Path("film.ssa").string() + "'...");
}

// Asked before the file name: at the first row or none there is nothing to split.
TEST_F(SplitTest, CanSplitAtSaysWhyNot) {
  const std::string before = "ERROR: Nothing to split: no subtitle before the split point.";
  const std::string after = "ERROR: Nothing to split: no subtitle after the split point.";
  SubtitleDocument empty;
  struct Case {
    const SubtitleDocument& d;
    int row;
    std::string why;  // empty: can split
  } cases[] = {{doc, -1, before}, {doc, 0, before},    {doc, 1, ""},      {doc, 11, ""},
               {doc, 12, after},  {empty, -1, before}, {empty, 0, before}};
  for (const Case& c : cases) {
    std::u16string why = u"untouched";
    EXPECT_EQ(c.why.empty(), CanSplitAt(c.d, c.row, &why)) << c.row;
    EXPECT_EQ(c.why.empty() ? "untouched" : c.why, ToUtf8(why)) << c.row;
  }
  EXPECT_TRUE(LogLines(doc).empty());
}

TEST_F(SplitTest, NothingBeforeTheSplitPointOrOtherNames) {
  for (int row : {-1, 0}) {
    EXPECT_EQ(SplitDocument(bench, row, dir.Path16("film.srt")), 0);
    EXPECT_TRUE(LogLines(doc).back().starts_with("ERROR: ")) << LogLines(doc).back();
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path("filma.srt")));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("filmb.srt")));

  // Upper-case or missing extensions write nothing, and say so.
  for (const char* name : {"film.SRT", "film"}) {
    EXPECT_EQ(SplitDocument(bench, 5, dir.Path16(name)), 0);
    EXPECT_TRUE(LogLines(doc).back().starts_with("ERROR: ")) << name;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Dir()), {}), 0);
}

// The folder of a split that could not be written is not where the next save dialog opens.
TEST_F(SplitTest, UnwritableFolderIsAnError) {
  store.WriteString(u"Directories", u"Save", u"/keep");
  for (const char* path : {"missing/film.srt", "missing/film.ssa"}) {
    EXPECT_EQ(SplitDocument(bench, 5, dir.Path16(path)), 0);
    EXPECT_TRUE(LogLines(doc).back().starts_with("ERROR: "));
    EXPECT_EQ(store.GetString(u"Directories", u"Save"), u"/keep");
  }
  EXPECT_EQ(SplitDocument(bench, 5, u"/proc/film.srt"), 0);
  EXPECT_EQ(store.GetString(u"Directories", u"Save"), u"/keep");
}

// When the second file cannot be written the first is not written either: no mismatched pair.
TEST_F(SplitTest, NoHalfOfAPairIsLeft) {
  std::filesystem::create_directory(dir.Path("filmb.srt"));
  EXPECT_EQ(SplitDocument(bench, 5, dir.Path16("film.srt")), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.Path("filma.srt")));
  EXPECT_EQ(LogLines(doc).back(), "ERROR: Could not write the file '" +
                                      dir.Path("filmb.srt").string() + "': Is a directory.");

  testing::WriteBytes(dir.Path("filma.srt"), "earlier split");
  EXPECT_EQ(SplitDocument(bench, 5, dir.Path16("film.srt")), 0);
  EXPECT_EQ(Text("filma.srt"), "earlier split");
}

}  // namespace
}  // namespace tessera
