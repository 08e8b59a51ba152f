// The catalogue of program-wide settings: one table row per key of section "Settings" gives its
// default, the range a value read must lie in, and its field. Loading, the range check, writing
// and the Options page all walk that table, so a key is written down once.
#pragma once

#include <limits>
#include <span>
#include <string>
#include <string_view>

#include "core/message_log.h"
#include "core/settings_store.h"

namespace tessera {

// The values; a default-made one holds every default of the table.
struct AppSettings {
  AppSettings();

  int language;
  std::u16string font_name;
  int font_size;
  int encoding;
  int font_bold;
  int reload_avi;
  int reload_sub;
  std::u16string last_avi;
  std::u16string last_sub;
  std::u16string dvd_sup_encode_folder;
  std::u16string my_subtitle_folder;
  int screen_width;
  int left_margin;
  int right_margin;
  int bottom_margin;
  double width_factor;
  double export_factor;
  double sub_framerate;
  int ssa_version;  // 1, v4.00: the older style has no sections, and no other program reads it
  int create_copy_when_exporting;
  int resize_movie_window;
  int start_tab;
  int last_selected;
  int even_color;
  int odd_color;
  int selection_color;
  int max_number_characters;
  double smart_seconds;
  double minimum_duration;
  int max_cps;                       // reading-speed limit, characters per second
  std::u16string spelling_language;  // a dictionary name ("en_US"); empty: the system's
  int show_cps_column;
};

// How a setting is kept in the file.
enum class SettingForm {
  kWhole,        // a whole number
  kThousandths,  // a real number, kept as its whole number of thousandths
  kRealText,     // a real number, kept as "%0.3f" text
  kText,
};

struct SettingRow {
  std::u16string_view key;  // in section "Settings"
  SettingForm form = SettingForm::kWhole;
  double default_number = 0;  // every form but kText
  std::u16string_view default_text;
  // A value read outside [low, high] (or a text `usable` refuses) takes the default, and the log
  // says so: such a value would break what is written or measured.
  double low = -std::numeric_limits<double>::infinity();
  double high = std::numeric_limits<double>::infinity();
  bool (*usable)(std::u16string_view text) = nullptr;
  int AppSettings::*whole = nullptr;
  double AppSettings::*real = nullptr;
  std::u16string AppSettings::*text = nullptr;
};

// Every setting, in the order they are written.
std::span<const SettingRow> AppSettingsTable();
// The row of a field.
const SettingRow& SettingOf(int AppSettings::*field);
const SettingRow& SettingOf(double AppSettings::*field);

// Reads every key of the table; missing keys take their defaults, values out of range too, with
// a "WARNING:" line in `log` when one is given.
void LoadAppSettings(SettingsStore& store, AppSettings& settings, MessageLog* log = nullptr);
// Writes every key back in the table's order, without saving the file.
void WriteAppSettings(SettingsStore& store, const AppSettings& settings);
// WriteAppSettings, then SaveSettings.
bool SaveAppSettings(SettingsStore& store, const AppSettings& settings);

// Integer thousandths in the file <-> real value in memory.
inline double FromThousandths(int v) {
  return v / 1000.0;
}
int ToThousandths(double v);

}  // namespace tessera
