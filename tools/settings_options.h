// What the Options page edits, apart from its widgets: the fields it stores when it is left, the
// fixed lists, the colour presets, the font label and the checks of its number fields.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/app_settings.h"
#include "core/option_binding.h"
#include "core/services.h"
#include "core/settings_store.h"

namespace tessera {

// The page's own copy of the settings that take effect only when the page is left (or before
// Exit). Read from the settings when the page is made, written back on every deactivation.
struct SettingsOptions {
  int ssa_version = 0;
  int encoding = 0;
  int left_margin = 25;
  int right_margin = 25;
  int bottom_margin = 20;
  int create_copy_when_exporting = 1;
  int reload_sub = 0;
  int reload_avi = 0;
  int resize_movie_window = 0;
  int max_cps = 17;
  int show_cps_column = 1;
  double width_factor = 1.0;
  double sub_framerate = 25.0;
  std::u16string dvd_sup_encode_folder;
  std::u16string my_subtitle_folder;
};

// Every number and choice of SettingsOptions with its global setting and its control. Choices
// are option buttons named control + "0", control + "1", ...
const OptionTable<SettingsOptions>& SettingsOptionBindings();

SettingsOptions LoadSettingsOptions(const SettingsStore& store, const AppSettings& app);
void SaveSettingsOptions(SettingsStore& store, AppSettings& app, const SettingsOptions& options);

// The text an edit box of the table shows for its field.
std::u16string OptionFieldText(const OptionBinding<SettingsOptions>& b,
                               const SettingsOptions& options);
// Takes an edit box's text into its field. Returns the message that refuses the text ("Enter an
// integer.", "Enter a number.", "Enter an integer from 5 to 60."), or nothing when the field
// took it.
std::optional<std::u16string> TakeOptionFieldText(const OptionBinding<SettingsOptions>& b,
                                                  std::u16string_view text,
                                                  SettingsOptions& options);

// A real number field's text: optional blanks, a sign, digits with one optional point and an
// optional exponent; nothing else.
std::optional<double> ParseRealField(std::u16string_view text);

// The fixed drop-down lists: entry text and the value it stores.
struct OptionListEntry {
  const char16_t* text;
  int value;
};
std::span<const OptionListEntry> ScreenWidthEntries();
std::span<const OptionListEntry> StartTabEntries();
// The entry shown for a stored value; a width no entry names shows the first entry.
int ScreenWidthEntry(int screen_width);
int StartTabEntry(int start_tab);

// The colours of the three colour drop-downs, 0x00BBGGRR as stored.
std::span<const int> EvenColorPresets();
std::span<const int> OddColorPresets();
std::span<const int> SelectionColorPresets();
struct ColorScheme {
  int even, odd, selection;
};
inline constexpr ColorScheme kDefaultColorScheme{0xF0FFF0, 0xFFFFFF, 0x00D7FF};

// The subtitle font as the font dialog is preset with it: weight 700 when "FontBold" is set.
FontChoice SubtitleFontChoice(const AppSettings& app, int preview_color);
// Takes the font dialog's answer: bold only for a weight of exactly 700.
void TakeSubtitleFont(const FontChoice& chosen, AppSettings& app);
// "%s, %d pt %s": face, size and " Bold" or nothing.
std::u16string FontLabel(const AppSettings& app);
// The sample lines are drawn at 0.8 times the font size, cut to whole points.
int PreviewPointSize(int font_size);

}  // namespace tessera
