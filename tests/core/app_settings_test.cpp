#include "core/app_settings.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "core/text_util.h"

namespace tessera {
namespace {

TEST(AppSettings, WithoutAFileEveryValueIsItsDefault) {
  SettingsStore st;
  AppSettings s;
  s.font_name = u"changed";
  s.start_tab = 0;
  LoadAppSettings(st, s);
  EXPECT_EQ(s.language, 0);
  EXPECT_EQ(s.start_tab, 101);
  EXPECT_EQ(s.font_name, u"Arial");
  EXPECT_DOUBLE_EQ(s.sub_framerate, 25.0);
  EXPECT_DOUBLE_EQ(s.width_factor, 1.0);
  EXPECT_DOUBLE_EQ(s.export_factor, 0.070);
  EXPECT_DOUBLE_EQ(s.smart_seconds, 0.085);
  EXPECT_DOUBLE_EQ(s.minimum_duration, 2.0);
  EXPECT_EQ(s.last_selected, -1);
  EXPECT_EQ(s.even_color, 15794160);
}

TEST(AppSettings, ThousandthsAreWrittenAsTheirIntegerPart) {
  SettingsStore st;
  st.LoadFromText(u"[Settings]\r\nWidthFactor = 1250\r\n");
  AppSettings s;
  LoadAppSettings(st, s);
  EXPECT_DOUBLE_EQ(s.width_factor, 1.25);
  WriteAppSettings(st, s);
  EXPECT_EQ(st.GetInt(u"Settings", u"WidthFactor", 0), 1250);

  s.width_factor = 1.2345;
  s.sub_framerate = 23.976;
  s.export_factor = 0.07;
  WriteAppSettings(st, s);
  EXPECT_EQ(st.GetInt(u"Settings", u"WidthFactor", 0), 1234);
  EXPECT_EQ(st.GetInt(u"Settings", u"SubFramerate", 0), 23976);
  EXPECT_EQ(st.GetInt(u"Settings", u"ExportFactor", 0), 70);
}

TEST(AppSettings, StartTabIsOneKeyWhateverItsSpelling) {
  SettingsStore st;
  st.LoadFromText(u"[Settings]\r\nStart Tab = 100\r\n");
  AppSettings s;
  LoadAppSettings(st, s);
  EXPECT_EQ(s.start_tab, 100);
  s.start_tab = 3;
  WriteAppSettings(st, s);
  const std::u16string& text = st.Text();
  size_t at = text.find(u"\r\nStart Tab = 3\r\n");
  EXPECT_NE(at, std::u16string::npos);
  EXPECT_EQ(text.find(u"Start Tab", at + 3), std::u16string::npos);
}

TEST(AppSettings, EveryValueSurvivesSaveAndLoad) {
  AppSettings s;
  s.language = 1;
  s.font_name = u"Liberation Sans";
  s.font_size = 31;
  s.encoding = 2;
  s.font_bold = 0;
  s.reload_avi = 1;
  s.reload_sub = 1;
  s.last_avi = u"/films/a [b].avi";
  s.last_sub = u"/films/\"q\".srt";
  s.dvd_sup_encode_folder = u"/opt/enc";
  s.my_subtitle_folder = u"/work/subs";
  s.screen_width = 1920;
  s.left_margin = 1;
  s.right_margin = 2;
  s.bottom_margin = 3;
  s.width_factor = 0.9;
  s.export_factor = 0.125;
  s.sub_framerate = 29.97;
  s.ssa_version = 1;
  s.create_copy_when_exporting = 0;
  s.resize_movie_window = 1;
  s.start_tab = 4;
  s.last_selected = 17;
  s.even_color = 1;
  s.odd_color = 2;
  s.selection_color = 3;
  s.max_number_characters = 42;
  s.smart_seconds = 0.06;
  s.minimum_duration = 1.5;
  s.max_cps = 21;
  s.spelling_language = u"nl_BE";
  s.show_cps_column = 0;
  SettingsStore out;
  WriteAppSettings(out, s);

  SettingsStore in;
  in.LoadFromText(out.Text());
  AppSettings r;
  LoadAppSettings(in, r);
  EXPECT_EQ(r.language, 1);
  EXPECT_EQ(r.font_name, s.font_name);
  EXPECT_EQ(r.font_size, 31);
  EXPECT_EQ(r.encoding, 2);
  EXPECT_EQ(r.font_bold, 0);
  EXPECT_EQ(r.reload_avi, 1);
  EXPECT_EQ(r.reload_sub, 1);
  EXPECT_EQ(r.last_avi, s.last_avi);
  EXPECT_EQ(r.last_sub, s.last_sub);
  EXPECT_EQ(r.dvd_sup_encode_folder, s.dvd_sup_encode_folder);
  EXPECT_EQ(r.my_subtitle_folder, s.my_subtitle_folder);
  EXPECT_EQ(r.screen_width, 1920);
  EXPECT_EQ(r.left_margin, 1);
  EXPECT_EQ(r.right_margin, 2);
  EXPECT_EQ(r.bottom_margin, 3);
  EXPECT_DOUBLE_EQ(r.width_factor, 0.9);
  EXPECT_DOUBLE_EQ(r.export_factor, 0.125);
  EXPECT_DOUBLE_EQ(r.sub_framerate, 29.97);
  EXPECT_EQ(r.ssa_version, 1);
  EXPECT_EQ(r.create_copy_when_exporting, 0);
  EXPECT_EQ(r.resize_movie_window, 1);
  EXPECT_EQ(r.start_tab, 4);
  EXPECT_EQ(r.last_selected, 17);
  EXPECT_EQ(r.even_color, 1);
  EXPECT_EQ(r.odd_color, 2);
  EXPECT_EQ(r.selection_color, 3);
  EXPECT_EQ(r.max_number_characters, 42);
  EXPECT_DOUBLE_EQ(r.smart_seconds, 0.06);
  EXPECT_DOUBLE_EQ(r.minimum_duration, 1.5);
  EXPECT_EQ(r.max_cps, 21);
  EXPECT_EQ(r.spelling_language, u"nl_BE");
  EXPECT_EQ(r.show_cps_column, 0);
}

// A damaged settings file must not reach the written files: such values take their defaults.
TEST(AppSettings, ValuesThatBreakOutputFallBackWithAWarning) {
  struct Case {
    std::u16string line;
    const char* warning;
  };
  const Case cases[] = {
      {u"FontSize = 0", "\"FontSize\" (0) is out of range; 23 is used."},
      {u"FontName = \"" + std::u16string(1 << 20, u'A') + u"\"",
       "\"FontName\" (1048576 characters) is out of range; \"Arial\" is used."},
      {u"FontName = \"Ari,al\"", "\"FontName\" (\"Ari,al\") is out of range; \"Arial\" is used."},
      {u"FontName = \"\"", "\"FontName\" (\"\") is out of range; \"Arial\" is used."},
      {u"SubFramerate = 0", "\"SubFramerate\" (0.000) is out of range; 25.000 is used."},
      {u"ScreenWidth = -720", "\"ScreenWidth\" (-720) is out of range; 720 is used."},
      {u"LeftMargin = -1", "\"LeftMargin\" (-1) is out of range; 25 is used."},
      {u"WidthFactor = 0", "\"WidthFactor\" (0.000) is out of range; 1.000 is used."},
      {u"Minimum Duration = \"-2\"",
       "\"Minimum Duration\" (-2.000) is out of range; 2.000 is used."},
      {u"MaxCPS = 4", "\"MaxCPS\" (4) is out of range; 17 is used."},
      {u"MaxCPS = 61", "\"MaxCPS\" (61) is out of range; 17 is used."},
  };
  for (const Case& c : cases) {
    SettingsStore st;
    st.LoadFromText(u"[Settings]\r\n" + c.line + u"\r\n");
    AppSettings s;
    MessageLog log;
    LoadAppSettings(st, s, &log);
    ASSERT_EQ(log.Size(), 1) << ToUtf8(c.line.substr(0, 40));
    EXPECT_EQ(ToUtf8(log.Lines()[0]), std::string("WARNING: The setting ") + c.warning);
    AppSettings defaults;
    EXPECT_EQ(s.font_size, defaults.font_size);
    EXPECT_EQ(s.font_name, defaults.font_name);
    EXPECT_EQ(s.sub_framerate, defaults.sub_framerate);
    EXPECT_EQ(s.screen_width, defaults.screen_width);
    EXPECT_EQ(s.left_margin, defaults.left_margin);
    EXPECT_EQ(s.minimum_duration, defaults.minimum_duration);
  }
}

// The window toolkit installs the user's locale; a decimal comma must not leak into the file.
TEST(AppSettings, SecondsUseADecimalPointInAnyLocale) {
  const char* found = nullptr;
  for (const char* name : {"nl_NL.UTF-8", "nl_NL.utf8", "de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8"})
    if (std::setlocale(LC_NUMERIC, name)) {
      found = name;
      break;
    }
  if (!found) GTEST_SKIP() << "no locale with a decimal comma installed";
  SettingsStore st;
  AppSettings s;
  s.smart_seconds = 0.075;
  WriteAppSettings(st, s);
  AppSettings r;
  LoadAppSettings(st, r);
  std::u16string stored = st.GetString(u"Settings", u"Smart Seconds");
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(stored, u"0.075");
  EXPECT_DOUBLE_EQ(r.smart_seconds, 0.075);
}

}  // namespace
}  // namespace tessera
