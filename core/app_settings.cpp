#include "core/app_settings.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/text_util.h"

namespace tessera {
namespace {

constexpr std::u16string_view kS = u"Settings";
using A = AppSettings;

// The font name goes into the style line of a script, where a comma or a line break would end
// the field, and into the encoder's header.
bool IsUsableFontName(std::u16string_view name) {
  if (name.empty() || name.size() > 256) return false;
  for (char16_t c : name)
    if (c < 0x20 || c == u',') return false;
  return true;
}

constexpr double kNoLow = -std::numeric_limits<double>::infinity();
constexpr double kNoHigh = std::numeric_limits<double>::infinity();

// Row makers, so that the table reads one setting a line.
constexpr SettingRow Whole(std::u16string_view key, int A::*field, int def, double low = kNoLow,
                           double high = kNoHigh) {
  SettingRow r;
  r.key = key;
  r.default_number = def;
  r.low = low;
  r.high = high;
  r.whole = field;
  return r;
}
constexpr SettingRow Real(SettingForm form, std::u16string_view key, double A::*field, double def,
                          double low = kNoLow, double high = kNoHigh) {
  SettingRow r;
  r.key = key;
  r.form = form;
  r.default_number = def;
  r.low = low;
  r.high = high;
  r.real = field;
  return r;
}
constexpr SettingRow Text(std::u16string_view key, std::u16string A::*field,
                          std::u16string_view def = {},
                          bool (*usable)(std::u16string_view) = nullptr) {
  SettingRow r;
  r.key = key;
  r.form = SettingForm::kText;
  r.default_text = def;
  r.usable = usable;
  r.text = field;
  return r;
}
constexpr auto kThousandths = SettingForm::kThousandths;
constexpr auto kRealText = SettingForm::kRealText;

const SettingRow kSettings[] = {
    Text(u"FontName", &A::font_name, u"Arial", IsUsableFontName),
    Text(u"DVDSupEncodeFolder", &A::dvd_sup_encode_folder),
    Text(u"MySubtitleFolder", &A::my_subtitle_folder),
    Text(u"Last AVI", &A::last_avi),
    Text(u"Last Sub", &A::last_sub),
    Whole(u"FontSize", &A::font_size, 23, 1, 1000),
    Whole(u"Encoding", &A::encoding, 0),
    Whole(u"FontBold", &A::font_bold, 1),
    Whole(u"Reload AVI", &A::reload_avi, 0),
    Whole(u"Reload Sub", &A::reload_sub, 0),
    Whole(u"ScreenWidth", &A::screen_width, 720, 1, 100000),
    Whole(u"LeftMargin", &A::left_margin, 25, 0, 100000),
    Whole(u"RightMargin", &A::right_margin, 25, 0, 100000),
    Whole(u"BottomMargin", &A::bottom_margin, 20, 0, 100000),
    Whole(u"SsaVersion", &A::ssa_version, 1),
    Real(kThousandths, u"WidthFactor", &A::width_factor, 1.0, 0.001, 1000),
    Real(kThousandths, u"ExportFactor", &A::export_factor, 0.070),
    Real(kThousandths, u"SubFramerate", &A::sub_framerate, 25.0, 0.001, 1000),
    Whole(u"CreateCopyWhenExporting", &A::create_copy_when_exporting, 1),
    Whole(u"ResizeMovieWindow", &A::resize_movie_window, 0),
    Whole(u"Start Tab", &A::start_tab, 101),
    Whole(u"Last Selected", &A::last_selected, -1),
    Whole(u"Odd Color", &A::odd_color, 16777215),
    Whole(u"Even Color", &A::even_color, 15794160),
    Whole(u"Selection Color", &A::selection_color, 55295),
    Whole(u"Language", &A::language, 0),
    Whole(u"MaxNumberCharacters", &A::max_number_characters, 50),
    Real(kRealText, u"Smart Seconds", &A::smart_seconds, 0.085, 0, 60),
    Real(kRealText, u"Minimum Duration", &A::minimum_duration, 2.0, 0, 3600),
    Whole(u"MaxCPS", &A::max_cps, 17, 5, 60),
    Text(u"SpellingLanguage", &A::spelling_language),
    Whole(u"ShowCPSColumn", &A::show_cps_column, 1),
};

std::string Number(double v) {
  return ToUtf8(Format("%0.3f", v));
}

void Warn(MessageLog* log, const SettingRow& row, const std::string& value,
          const std::string& fallback) {
  if (log)
    log->Append(Format("WARNING: The setting \"%s\" (%s) is out of range; %s is used.",
                       ToUtf8(row.key).c_str(), value.c_str(), fallback.c_str()));
}

void ReadSetting(const SettingsStore& st, const SettingRow& row, AppSettings& s, MessageLog* log) {
  switch (row.form) {
    case SettingForm::kText: {
      std::u16string& value = s.*row.text;
      const std::u16string fallback(row.default_text);
      value = st.GetString(kS, row.key, fallback);
      if (!row.usable || row.usable(value)) return;
      const std::string shown = value.size() > 40 ? std::to_string(value.size()) + " characters"
                                                  : "\"" + ToUtf8(value) + "\"";
      Warn(log, row, shown, "\"" + ToUtf8(fallback) + "\"");
      value = fallback;
      return;
    }
    case SettingForm::kWhole: {
      int& value = s.*row.whole;
      const int fallback = static_cast<int>(row.default_number);
      value = st.GetInt(kS, row.key, fallback);
      if (value >= row.low && value <= row.high) return;
      Warn(log, row, std::to_string(value), std::to_string(fallback));
      value = fallback;
      return;
    }
    case SettingForm::kThousandths:
    case SettingForm::kRealText: {
      double& value = s.*row.real;
      value = row.form == SettingForm::kThousandths
                  ? FromThousandths(st.GetInt(kS, row.key, ToThousandths(row.default_number)))
                  : ToReal(st.GetString(kS, row.key, Format("%0.3f", row.default_number)));
      if (value >= row.low && value <= row.high) return;  // NaN fails too
      Warn(log, row, Number(value), Number(row.default_number));
      value = row.default_number;
      return;
    }
  }
}

void WriteSetting(SettingsStore& st, const SettingRow& row, const AppSettings& s) {
  switch (row.form) {
    case SettingForm::kText:
      st.WriteString(kS, row.key, s.*row.text);
      break;
    case SettingForm::kWhole:
      st.WriteInt(kS, row.key, s.*row.whole);
      break;
    case SettingForm::kThousandths:
      st.WriteInt(kS, row.key, ToThousandths(s.*row.real));
      break;
    case SettingForm::kRealText:
      st.WriteString(kS, row.key, Format("%0.3f", s.*row.real));
      break;
  }
}

}  // namespace

AppSettings::AppSettings() {
  for (const SettingRow& row : kSettings) {
    if (row.whole) this->*row.whole = static_cast<int>(row.default_number);
    if (row.real) this->*row.real = row.default_number;
    if (row.text) this->*row.text = std::u16string(row.default_text);
  }
}

std::span<const SettingRow> AppSettingsTable() {
  return kSettings;
}

const SettingRow& SettingOf(int AppSettings::*field) {
  for (const SettingRow& row : kSettings)
    if (row.whole == field) return row;
  std::abort();  // every field has its row
}

const SettingRow& SettingOf(double AppSettings::*field) {
  for (const SettingRow& row : kSettings)
    if (row.real == field) return row;
  std::abort();
}

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
  for (const SettingRow& row : kSettings) ReadSetting(st, row, s, log);
}

void WriteAppSettings(SettingsStore& st, const AppSettings& s) {
  for (const SettingRow& row : kSettings) WriteSetting(st, row, s);
}

bool SaveAppSettings(SettingsStore& st, const AppSettings& s) {
  WriteAppSettings(st, s);
  return st.SaveSettings();
}

}  // namespace tessera
