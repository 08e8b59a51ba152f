// The catalogue of program-wide settings with their defaults.
#pragma once

#include <string>

#include "core/message_log.h"
#include "core/settings_store.h"

namespace tessera {

struct AppSettings {
  int language = 0;
  std::u16string font_name = u"Arial";
  int font_size = 23;
  int encoding = 0;
  int font_bold = 1;
  int reload_avi = 0;
  int reload_sub = 0;
  std::u16string last_avi;
  std::u16string last_sub;
  std::u16string dvd_sup_encode_folder;
  std::u16string my_subtitle_folder;
  int screen_width = 720;
  int left_margin = 25;
  int right_margin = 25;
  int bottom_margin = 20;
  double width_factor = 1.0;
  double export_factor = 0.070;
  double sub_framerate = 25.0;
  int ssa_version = 1;  // v4.00: the older style has no sections, and no other program reads it
  int create_copy_when_exporting = 1;
  int resize_movie_window = 0;
  int start_tab = 101;
  int last_selected = -1;
  int even_color = 15794160;
  int odd_color = 16777215;
  int selection_color = 55295;
  int max_number_characters = 50;
  double smart_seconds = 0.085;
  double minimum_duration = 2.0;
  int max_cps = 17;                  // reading-speed limit, characters per second
  std::u16string spelling_language;  // a dictionary name ("en_US"); empty: the system's
  int show_cps_column = 1;
};

// Reads every key in catalogue order; missing keys take their defaults. A value that would break
// what is written or measured (a font size of 0, a font name that is no font name, a frame rate
// of 0, ...) takes its default too, with a "WARNING:" line in `log` when one is given.
void LoadAppSettings(SettingsStore& store, AppSettings& settings, MessageLog* log = nullptr);
// Writes every key back in the fixed order, without saving the file.
void WriteAppSettings(SettingsStore& store, const AppSettings& settings);
// WriteAppSettings, then SaveSettings.
bool SaveAppSettings(SettingsStore& store, const AppSettings& settings);

// Integer thousandths in the file <-> real value in memory.
inline double FromThousandths(int v) {
  return v / 1000.0;
}
int ToThousandths(double v);

}  // namespace tessera
