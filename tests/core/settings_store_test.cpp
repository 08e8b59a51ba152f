#include "core/settings_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/text_file.h"
#include "core/text_util.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class Settings : public ::testing::Test {
 protected:
  void PutFile(const std::string& bytes) { testing::WriteBytes(file_, bytes); }
  std::string FileBytes() { return testing::ReadBytes(file_); }

  testing::ScratchDir scratch_;
  const fs::path dir_ = scratch_.Dir();
  const fs::path file_ = dir_ / "tessera.cfg";
};

std::string Utf16File(std::u16string_view text) {
  std::string b = "\xFF\xFE";
  for (char16_t c : text) {
    b.push_back(static_cast<char>(c & 0xFF));
    b.push_back(static_cast<char>(c >> 8));
  }
  return b + "\0\0"s;
}

TEST_F(Settings, FirstWriteCreatesTheFileInUtf16) {
  SettingsStore st(file_);
  EXPECT_EQ(st.GetInt(u"Settings", u"FontSize", 23), 23);
  st.WriteInt(u"Settings", u"FontSize", 12);
  EXPECT_FALSE(fs::exists(file_));  // writes stay in memory until saved
  ASSERT_TRUE(st.SaveSettings());
  EXPECT_EQ(FileBytes(), Utf16File(u"[Settings]\r\nFontSize = 12\r\n"));

  SettingsStore again(file_);
  EXPECT_EQ(again.GetInt(u"Settings", u"FontSize", 23), 12);
}

TEST_F(Settings, NewSectionsAndRewrittenKeys) {
  SettingsStore st(file_);
  st.WriteInt(u"Settings", u"A", 1);
  st.WriteInt(u"Settings", u"B", 2);
  st.WriteString(u"Directories", u"Open", u"D:\\Subs [new]");
  st.WriteInt(u"Settings", u"A", 3);  // a rewritten key moves to the top of its section
  EXPECT_EQ(st.Text(),
            u"[Settings]\r\nA = 3\r\nB = 2\r\n\r\n"
            u"[Directories]\r\nOpen = \"D:\\Subs %5Bnew%5D\"\r\n");
  EXPECT_EQ(st.GetString(u"Directories", u"Open"), u"D:\\Subs [new]");
  EXPECT_EQ(st.GetInt(u"Directories", u"A", -1), -1);  // keys belong to their section
}

TEST_F(Settings, StringValuesRoundTrip) {
  SettingsStore st(file_);
  const std::u16string values[] = {u"", u"say \"hi\"", u"[x]", u"\u00e9\u4e2d", u" padded "};
  for (const auto& v : values) {
    st.WriteString(u"SearchOptions", u"Find", v);
    EXPECT_EQ(st.GetString(u"SearchOptions", u"Find"), v);
  }
  EXPECT_EQ(st.GetString(u"SearchOptions", u"Missing", u"%5Bdef%5D"), u"[def]");
}

TEST_F(Settings, ReadsFilesOtherEditorsWrote) {
  PutFile(
      "[SETTINGS]\nfontsize = 30\nName=\"Arial\"\nBad = twelve\nNoEquals 5\nShort = x\n"
      "[Other]\nFontSize = 99\n");
  SettingsStore st(file_);
  EXPECT_EQ(st.GetInt(u"Settings", u"FontSize", 23), 30);
  EXPECT_EQ(st.GetString(u"settings", u"NAME"), u"Arial");
  EXPECT_EQ(st.GetInt(u"Settings", u"Bad", 7), 0);
  EXPECT_EQ(st.GetInt(u"Settings", u"NoEquals", 7), 7);
  EXPECT_EQ(st.GetString(u"Settings", u"Short", u"def"), u"");
  EXPECT_EQ(st.GetInt(u"Other", u"FontSize", 0), 99);
}

TEST_F(Settings, UnreadableOrDamagedFilesGiveDefaults) {
  PutFile("[Settings]\r\nExportAsCSV = 1\r\nFontSize = 5\r\nExportAsCSV = 1\r\n");
  SettingsStore damaged(file_);
  EXPECT_EQ(damaged.GetInt(u"Settings", u"FontSize", 23), 23);
  EXPECT_TRUE(damaged.Text().empty());

  PutFile(std::string(kMaxTextFileSize + 1, ' '));
  SettingsStore huge(file_);
  EXPECT_EQ(huge.GetInt(u"Settings", u"FontSize", 23), 23);

  SettingsStore missing(dir_ / "none.cfg");
  EXPECT_EQ(missing.GetString(u"Settings", u"FontName", u"Arial"), u"Arial");
}

TEST_F(Settings, KeysMatchOnlyAsWholeKeys) {
  PutFile("[Settings]\r\nWarnShortDurationTime = 800\r\nLast Subtitle = \"x\"\r\n");
  SettingsStore st(file_);
  EXPECT_EQ(st.GetInt(u"Settings", u"WarnShortDuration", 1), 1);
  EXPECT_EQ(st.GetString(u"Settings", u"Last Sub", u"none"), u"none");
  st.WriteInt(u"Settings", u"WarnShortDuration", 0);
  st.WriteString(u"Settings", u"Last Sub", u"a.srt");
  EXPECT_EQ(st.GetInt(u"Settings", u"WarnShortDurationTime", 0), 800);
  EXPECT_EQ(st.GetInt(u"Settings", u"WarnShortDuration", 1), 0);
  EXPECT_EQ(st.GetString(u"Settings", u"Last Subtitle"), u"x");
  EXPECT_EQ(st.GetString(u"Settings", u"Last Sub"), u"a.srt");
}

TEST_F(Settings, LineBreaksInAValueCannotBreakTheFile) {
  SettingsStore st(file_);
  st.WriteInt(u"Settings", u"After", 5);
  st.WriteString(u"Settings", u"Find", u"one\r\n[Settings]\r\nAfter = 9\r\ntwo");
  EXPECT_EQ(st.GetInt(u"Settings", u"After", 0), 5);
  EXPECT_EQ(st.GetString(u"Settings", u"Find"), u"one[Settings]After = 9two");
}

TEST_F(Settings, SaveReportsAFolderThatCannotBeCreated) {
  std::ofstream(dir_ / "plain") << "a file, not a folder";
  SettingsStore st(dir_ / "plain" / "tessera.cfg");
  st.WriteInt(u"Settings", u"FontSize", 12);
  EXPECT_FALSE(st.SaveSettings());
}

}  // namespace
}  // namespace tessera
