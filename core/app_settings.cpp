#include "core/app_settings.h"

#include <cmath>
#include <string>

#include "core/text_util.h"

namespace tessera {
namespace {
constexpr std::u16string_view kS = u"Settings";

// The font name goes into the style line of a script, where a comma or a line break would end
// the field, and into the encoder's header.
bool IsUsableFontName(std::u16string_view name) {
  if (name.empty() || name.size() > 256) return false;
  for (char16_t c : name)
    if (c < 0x20 || c == u',') return false;
  return true;
}

// Settings whose wrong values break output fall back to their defaults, and say so.
class RangeCheck {
 public:
  explicit RangeCheck(MessageLog* log) : log_(log) {}
  void Int(const char* key, int& value, int fallback, int low, int high) {
    if (value >= low && value <= high) return;
    Warn(key, std::to_string(value), std::to_string(fallback));
    value = fallback;
  }
  void Real(const char* key, double& value, double fallback, double low, double high) {
    if (value >= low && value <= high) return;  // NaN fails too
    Warn(key, Number(value), Number(fallback));
    value = fallback;
  }
  void FontName(std::u16string& value, const std::u16string& fallback) {
    if (IsUsableFontName(value)) return;
    std::string shown = value.size() > 40 ? std::to_string(value.size()) + " characters"
                                          : "\"" + ToUtf8(value) + "\"";
    Warn("FontName", shown, "\"" + ToUtf8(fallback) + "\"");
    value = fallback;
  }

 private:
  static std::string Number(double v) { return ToUtf8(Format("%0.3f", v)); }
  void Warn(const char* key, const std::string& value, const std::string& fallback) {
    if (log_)
      log_->Append(Format("WARNING: The setting \"%s\" (%s) is out of range; %s is used.", key,
                          value.c_str(), fallback.c_str()));
  }
  MessageLog* log_;
};

}  // namespace

int ToThousandths(double v) {
  // The integer part of v x 1000; a tiny bias keeps 1.25 from becoming 1249.
  double t = v * 1000.0;
  t += t >= 0 ? 1e-7 : -1e-7;
  if (!std::isfinite(t)) return 0;
  if (t > 2147483647.0) return 2147483647;
  if (t < -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(t);
}

void LoadAppSettings(SettingsStore& st, AppSettings& s, MessageLog* log) {
  AppSettings d;
  s.language = st.GetInt(kS, u"Language", d.language);
  s.font_name = st.GetString(kS, u"FontName", d.font_name);
  s.font_size = st.GetInt(kS, u"FontSize", d.font_size);
  s.encoding = st.GetInt(kS, u"Encoding", d.encoding);
  s.font_bold = st.GetInt(kS, u"FontBold", d.font_bold);
  s.reload_avi = st.GetInt(kS, u"Reload AVI", d.reload_avi);
  s.reload_sub = st.GetInt(kS, u"Reload Sub", d.reload_sub);
  s.last_avi = st.GetString(kS, u"Last AVI", d.last_avi);
  s.last_sub = st.GetString(kS, u"Last Sub", d.last_sub);
  s.dvd_sup_encode_folder = st.GetString(kS, u"DVDSupEncodeFolder", d.dvd_sup_encode_folder);
  s.my_subtitle_folder = st.GetString(kS, u"MySubtitleFolder", d.my_subtitle_folder);
  s.screen_width = st.GetInt(kS, u"ScreenWidth", d.screen_width);
  s.left_margin = st.GetInt(kS, u"LeftMargin", d.left_margin);
  s.right_margin = st.GetInt(kS, u"RightMargin", d.right_margin);
  s.bottom_margin = st.GetInt(kS, u"BottomMargin", d.bottom_margin);
  s.width_factor = FromThousandths(st.GetInt(kS, u"WidthFactor", 1000));
  s.export_factor = FromThousandths(st.GetInt(kS, u"ExportFactor", 70));
  s.sub_framerate = FromThousandths(st.GetInt(kS, u"SubFramerate", 25000));
  s.ssa_version = st.GetInt(kS, u"SsaVersion", d.ssa_version);
  s.create_copy_when_exporting =
      st.GetInt(kS, u"CreateCopyWhenExporting", d.create_copy_when_exporting);
  s.resize_movie_window = st.GetInt(kS, u"ResizeMovieWindow", d.resize_movie_window);
  s.start_tab = st.GetInt(kS, u"Start tab", d.start_tab);
  s.last_selected = st.GetInt(kS, u"Last Selected", d.last_selected);
  s.even_color = st.GetInt(kS, u"Even Color", d.even_color);
  s.odd_color = st.GetInt(kS, u"Odd Color", d.odd_color);
  s.selection_color = st.GetInt(kS, u"Selection Color", d.selection_color);
  s.max_number_characters = st.GetInt(kS, u"MaxNumberCharacters", d.max_number_characters);
  s.smart_seconds = ToReal(st.GetString(kS, u"Smart Seconds", u"0.085"));
  s.minimum_duration = ToReal(st.GetString(kS, u"Minimum Duration", u"2.000"));
  s.max_cps = st.GetInt(kS, u"MaxCPS", d.max_cps);
  s.spelling_language = st.GetString(kS, u"SpellingLanguage", d.spelling_language);
  s.show_cps_column = st.GetInt(kS, u"ShowCPSColumn", d.show_cps_column);

  RangeCheck check(log);
  check.FontName(s.font_name, d.font_name);
  check.Int("FontSize", s.font_size, d.font_size, 1, 1000);
  check.Int("ScreenWidth", s.screen_width, d.screen_width, 1, 100000);
  check.Int("LeftMargin", s.left_margin, d.left_margin, 0, 100000);
  check.Int("RightMargin", s.right_margin, d.right_margin, 0, 100000);
  check.Int("BottomMargin", s.bottom_margin, d.bottom_margin, 0, 100000);
  check.Real("WidthFactor", s.width_factor, d.width_factor, 0.001, 1000);
  check.Real("SubFramerate", s.sub_framerate, d.sub_framerate, 0.001, 1000);
  check.Real("Smart Seconds", s.smart_seconds, d.smart_seconds, 0, 60);
  check.Real("Minimum Duration", s.minimum_duration, d.minimum_duration, 0, 3600);
  check.Int("MaxCPS", s.max_cps, d.max_cps, 5, 60);
}

void WriteAppSettings(SettingsStore& st, const AppSettings& s) {
  st.WriteString(kS, u"FontName", s.font_name);
  st.WriteString(kS, u"DVDSupEncodeFolder", s.dvd_sup_encode_folder);
  st.WriteString(kS, u"MySubtitleFolder", s.my_subtitle_folder);
  st.WriteString(kS, u"Last AVI", s.last_avi);
  st.WriteString(kS, u"Last Sub", s.last_sub);
  st.WriteInt(kS, u"FontSize", s.font_size);
  st.WriteInt(kS, u"Encoding", s.encoding);
  st.WriteInt(kS, u"FontBold", s.font_bold);
  st.WriteInt(kS, u"Reload AVI", s.reload_avi);
  st.WriteInt(kS, u"Reload Sub", s.reload_sub);
  st.WriteInt(kS, u"ScreenWidth", s.screen_width);
  st.WriteInt(kS, u"LeftMargin", s.left_margin);
  st.WriteInt(kS, u"RightMargin", s.right_margin);
  st.WriteInt(kS, u"BottomMargin", s.bottom_margin);
  st.WriteInt(kS, u"SsaVersion", s.ssa_version);
  st.WriteInt(kS, u"WidthFactor", ToThousandths(s.width_factor));
  st.WriteInt(kS, u"ExportFactor", ToThousandths(s.export_factor));
  st.WriteInt(kS, u"SubFramerate", ToThousandths(s.sub_framerate));
  st.WriteInt(kS, u"CreateCopyWhenExporting", s.create_copy_when_exporting);
  st.WriteInt(kS, u"ResizeMovieWindow", s.resize_movie_window);
  st.WriteInt(kS, u"Start Tab", s.start_tab);
  st.WriteInt(kS, u"Last Selected", s.last_selected);
  st.WriteInt(kS, u"Odd Color", s.odd_color);
  st.WriteInt(kS, u"Even Color", s.even_color);
  st.WriteInt(kS, u"Selection Color", s.selection_color);
  st.WriteInt(kS, u"Language", s.language);
  st.WriteInt(kS, u"MaxNumberCharacters", s.max_number_characters);
  st.WriteString(kS, u"Smart Seconds", Format("%0.3f", s.smart_seconds));
  st.WriteString(kS, u"Minimum Duration", Format("%0.3f", s.minimum_duration));
  st.WriteInt(kS, u"MaxCPS", s.max_cps);
  st.WriteString(kS, u"SpellingLanguage", s.spelling_language);
  st.WriteInt(kS, u"ShowCPSColumn", s.show_cps_column);
}

bool SaveAppSettings(SettingsStore& st, const AppSettings& s) {
  WriteAppSettings(st, s);
  return st.SaveSettings();
}

}  // namespace tessera
