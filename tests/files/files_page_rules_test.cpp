#include "pages/files/files_page_rules.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/text_util.h"
#include "tests/support/test_workbench.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

struct FilesPageRules : ::testing::Test, testing::TestWorkbench {
  FilesPageRules() : TestWorkbench("tessera-files-page") {}
  void Fill(int n) {
    for (int i = 0; i < n; ++i)
      doc.AddRow(Format("0:00:%02d.000", 10 * i), Format("0:00:%02d.500", 10 * i + 2),
                 Format("line %d", i + 1));
  }
  std::string LastLog() const { return ToUtf8(doc.Log().Lines().back()); }

  const fs::path& dir = scratch.Dir();
};

TEST_F(FilesPageRules, FirstSelectedBlock) {
  Fill(10);
  struct Case {
    std::vector<int> rows;
    int first, last;
  };
  for (const Case& c : {Case{{2, 3, 4, 7}, 2, 4}, Case{{}, 0, 9}, Case{{7, 4, 3, 2}, 2, 4},
                        Case{{9}, 9, 9}, Case{{8, 9}, 8, 9}, Case{{-1, 40}, 0, 9}}) {
    int first = -5, last = -5;
    FirstSelectedBlock(doc, c.rows, first, last);
    EXPECT_EQ(c.first, first);
    EXPECT_EQ(c.last, last);
  }
}

TEST_F(FilesPageRules, SaveSelectedBlockBySuffix) {
  Fill(10);
  ASSERT_EQ(1, SaveSelectedBlock(bench, {2, 3, 4, 7}, P("part.srt")));
  std::string part = ReadBytes(dir / "part.srt");
  // Rows 3-5 renumbered from 1 and moved earlier by the midpoint of the starts 10 s and 20 s.
  EXPECT_EQ(0u, part.find("1\r\n00:00:05,000 --> 00:00:07,500\r\nline 3\r\n"));
  EXPECT_NE(std::string::npos, part.find("line 5"));
  EXPECT_EQ(std::string::npos, part.find("line 6"));
  EXPECT_EQ("Ok.", LastLog());
  EXPECT_EQ(FromUtf8(dir.string()), store.GetString(u"Directories", u"Save"));

  ASSERT_EQ(1, SaveSelectedBlock(bench, {}, P("all.srt")));
  std::string all = ReadBytes(dir / "all.srt");
  EXPECT_EQ(0u, all.find("1\r\n00:00:00,000 --> 00:00:02,500\r\nline 1\r\n"));
  EXPECT_NE(std::string::npos, all.find("10\r\n00:01:30,000"));

  ASSERT_EQ(1, SaveSelectedBlock(bench, {4}, P("all.ssa")));
  std::string ssa = ReadBytes(dir / "all.ssa");
  EXPECT_NE(std::string::npos, ssa.find("line 1"));
  EXPECT_NE(std::string::npos, ssa.find("line 10"));

  for (const char* name : {"part.SRT", "part", "part.sub"}) {
    EXPECT_EQ(0, SaveSelectedBlock(bench, {1}, P(name))) << name;
    EXPECT_FALSE(fs::exists(dir / name));
    EXPECT_EQ(0u, LastLog().find("ERROR:")) << name;
  }
}

TEST_F(FilesPageRules, ButtonRules) {
  EXPECT_FALSE(HasSubtitles(doc));
  Fill(1);
  EXPECT_TRUE(HasSubtitles(doc));
  EXPECT_FALSE(CanExport(doc, app));
  app.dvd_sup_encode_folder = u"/opt/enc";
  EXPECT_FALSE(CanExport(doc, app));
  app.my_subtitle_folder = u"/tmp";
  EXPECT_TRUE(CanExport(doc, app));
}

}  // namespace
}  // namespace tessera
