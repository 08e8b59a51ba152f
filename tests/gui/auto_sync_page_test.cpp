// The Synchronize page's "Auto sync...": the source asked for, the result offered, Apply as one
// undo step, and Cancel or a refusal changing nothing.
#include <QPushButton>

#include "tests/autosync/talk_sound.h"
#include "tests/gui/tool_page_fixture.h"
#include "pages/synchronize/synchronize_page.h"

namespace tessera {
namespace {

using testing::StartOf;

constexpr char16_t kSourceTitle[] = u"Synchronize with a movie or subtitle file";

struct AutoSyncPageTest : testing::ToolPageTest<CSyncPage> {
  AutoSyncPageTest() : spans(testing::TalkSpans(5, 30, 4.0)) {
    Make();
    testing::WriteBytes(scratch.Path("truth.srt"),
                        testing::SubRipOf(spans, [](int) { return 0.0; }));
    // The document is the truth 4 s early, and from row 20 on 30 s late.
    std::vector<testing::TimedRow> rows;
    for (size_t i = 0; i < spans.size(); ++i) {
      const double o = i < 20 ? -4.0 : 30.0;
      rows.push_back({spans[i].first + o, spans[i].second + o, "words"});
    }
    Show(rows);
  }
  std::vector<std::pair<double, double>> spans;
};

TEST_F(AutoSyncPageTest, ApplyIsOneUndoStep) {
  ASSERT_TRUE(Find<QPushButton>("autoSync")->isEnabled());
  EXPECT_EQ(Find<QPushButton>("autoSync")->text(), QStringLiteral("Auto sync..."));
  const std::string before = StartOf(doc, 25);
  dialogs.ExpectOpen(kSourceTitle, scratch.Path16("truth.srt"));
  prompter.ExpectQuestionWith("Offset: +4.000 s\r\nRate: none\r\nSplits: \r\n    0:", true);
  Click("autoSync");
  for (size_t i = 0; i < spans.size(); ++i)
    EXPECT_NEAR(doc.Time(static_cast<int>(i), kStart), spans[i].first, 0.011) << i;
  EXPECT_TRUE(doc.Changed());
  EXPECT_EQ(LastLog().substr(0, 40), "Offset +4.000 s, rate none, 1 split at 0");
  EXPECT_EQ(page->List()->Model()->index(0, 1).data().toString().toStdString(), StartOf(doc, 0));
  EXPECT_EQ(ToUtf8(history.UndoLabel()), "Auto sync");
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(StartOf(doc, 25), before);
  EXPECT_FALSE(history.CanUndo());
}

TEST_F(AutoSyncPageTest, CancelRefusalAndNoSourceChangeNothing) {
  const std::string before = StartOf(doc, 0);
  const int log_size = doc.Log().Size();
  // No file chosen.
  dialogs.ExpectOpen(kSourceTitle, std::nullopt);
  Click("autoSync");
  EXPECT_EQ(doc.Log().Size(), log_size);
  // The result declined.
  dialogs.ExpectOpen(kSourceTitle, scratch.Path16("truth.srt"));
  prompter.ExpectQuestionWith("Offset: +4.000 s", false);
  Click("autoSync");
  // Another film's subtitles (longer and further apart) are refused, and the box says why.
  auto other = testing::TalkSpans(66, 30, 4.0);
  for (auto& [a, b] : other) a *= 2.1, b *= 2.1;
  testing::WriteBytes(scratch.Path("other.srt"), testing::SubRipOf(other, [](int) { return 0.0; }));
  dialogs.ExpectOpen(kSourceTitle, scratch.Path16("other.srt"));
  prompter.ExpectMessageWith("ERROR: The subtitles do not fit the source (score");
  Click("autoSync");
  EXPECT_EQ(StartOf(doc, 0), before);
  EXPECT_FALSE(doc.Changed());
  EXPECT_FALSE(history.CanUndo());
  EXPECT_EQ(LastLog().substr(0, 40), "ERROR: The subtitles do not fit the sour");
}

}  // namespace
}  // namespace tessera
