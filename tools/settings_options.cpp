#include "tools/settings_options.h"

#include <iterator>

#include "check/reading_speed.h"
#include "core/number_field.h"
#include "core/text_util.h"

namespace tessera {
namespace {

using O = SettingsOptions;

// A global setting the page shows: its key and default are those of the settings table.
template <typename T>
OptionBinding<O> Global(T O::*field, T AppSettings::*global, std::string_view control) {
  const SettingRow& setting = SettingOf(global);
  return GlobalOption(OptionKey{u"Settings", setting.key}, field, global,
                      static_cast<T>(setting.default_number), 0, control);
}

OptionBinding<O> Kind(OptionBinding<O> b, OptionKind kind, int last = 1) {
  b.kind = kind;
  if (kind == OptionKind::kChoice) {
    b.min = 0;
    b.max = last;
  }
  return b;
}

OptionBinding<O> Range(OptionBinding<O> b, int low, int high) {
  b.min = low;
  b.max = high;
  return b;
}

constexpr int Bgr(int r, int g, int b) {
  return r | g << 8 | b << 16;
}

constexpr OptionListEntry kScreenWidths[] = {
    {u"SVCD (480 x 480/576)", 480},
    {u"DVD (720 x 480/576)", 720},
    {u"VCD (352 x 240/288)", 352},
    {u"IEKSBOX (??? x ?]", 480},
};
constexpr OptionListEntry kStartTabs[] = {
    {u"File Operations tab", 100},
    {u"Play Movie tab", 101},
    {u"Last used tab", 0},
};

constexpr int kEvenPresets[] = {Bgr(255, 255, 255), Bgr(240, 255, 240), Bgr(207, 232, 190),
                                Bgr(251, 237, 202), Bgr(166, 206, 236), Bgr(255, 249, 227),
                                Bgr(217, 234, 247)};
constexpr int kOddPresets[] = {Bgr(255, 255, 255), Bgr(234, 244, 219), Bgr(255, 249, 227),
                               Bgr(217, 234, 247)};
constexpr int kSelectionPresets[] = {Bgr(255, 215, 0), Bgr(240, 181, 65)};

static_assert(kDefaultColorScheme.even == Bgr(240, 255, 240) &&
              kDefaultColorScheme.odd == Bgr(255, 255, 255) &&
              kDefaultColorScheme.selection == Bgr(255, 215, 0));

bool IsFrameRate(const OptionBinding<O>& b) {
  return b.real == &O::sub_framerate;
}

}  // namespace

const OptionTable<SettingsOptions>& SettingsOptionBindings() {
  using A = AppSettings;
  static const OptionTable<O> table = {
      Kind(Global(&O::ssa_version, &A::ssa_version, "ssaVersion"), OptionKind::kChoice),
      Kind(Global(&O::encoding, &A::encoding, "encoding"), OptionKind::kChoice, 2),
      Global(&O::sub_framerate, &A::sub_framerate, "subFramerate"),
      Global(&O::left_margin, &A::left_margin, "leftMargin"),
      Global(&O::right_margin, &A::right_margin, "rightMargin"),
      Global(&O::bottom_margin, &A::bottom_margin, "bottomMargin"),
      Global(&O::width_factor, &A::width_factor, "widthFactor"),
      Kind(Global(&O::create_copy_when_exporting, &A::create_copy_when_exporting, "createCopy"),
           OptionKind::kFlag),
      Kind(Global(&O::reload_sub, &A::reload_sub, "reloadSub"), OptionKind::kFlag),
      Kind(Global(&O::reload_avi, &A::reload_avi, "reloadAvi"), OptionKind::kFlag),
      Kind(Global(&O::resize_movie_window, &A::resize_movie_window, "resizeMovieWindow"),
           OptionKind::kChoice),
      Range(Global(&O::max_cps, &A::max_cps, "maxCps"), kMinMaxCps, kMaxMaxCps),
      Kind(Global(&O::show_cps_column, &A::show_cps_column, "showCpsColumn"), OptionKind::kFlag),
  };
  return table;
}

SettingsOptions LoadSettingsOptions(const SettingsStore& store, const AppSettings& app) {
  SettingsOptions o = LoadOptions(SettingsOptionBindings(), store, app);
  o.dvd_sup_encode_folder = app.dvd_sup_encode_folder;
  o.my_subtitle_folder = app.my_subtitle_folder;
  return o;
}

void SaveSettingsOptions(SettingsStore& store, AppSettings& app, const SettingsOptions& options) {
  SaveOptions(SettingsOptionBindings(), store, app, options);
  app.dvd_sup_encode_folder = options.dvd_sup_encode_folder;
  app.my_subtitle_folder = options.my_subtitle_folder;
}

std::u16string OptionFieldText(const OptionBinding<SettingsOptions>& b,
                               const SettingsOptions& options) {
  if (b.kind != OptionKind::kReal) return Format("%d", options.*b.whole);
  // The frame rate is shown with three decimals, the factor as briefly as it reads back.
  return Format(IsFrameRate(b) ? "%0.3f" : "%.15g", options.*b.real);
}

std::optional<std::u16string> TakeOptionFieldText(const OptionBinding<SettingsOptions>& b,
                                                  std::u16string_view text,
                                                  SettingsOptions& options) {
  if (b.kind == OptionKind::kReal) {
    if (IsFrameRate(b)) {
      // Read like atof ("25 fps" is 25), but a rate of 0 or less would write every MicroDVD
      // frame number as 0 or below, so it is refused.
      const double rate = ToReal(text);
      if (!(rate > 0)) return kEnterNumber;
      options.*b.real = rate;
      return std::nullopt;
    }
    std::optional<double> v = ParseRealNumber(text);
    if (!v) return kEnterNumber;
    options.*b.real = *v;
    return std::nullopt;
  }
  std::optional<int> v = ParseWholeNumber(text);
  if (!v) return kEnterInteger;
  if (*v < b.min || *v > b.max) return Format("Enter an integer from %d to %d.", b.min, b.max);
  options.*b.whole = *v;
  return std::nullopt;
}

std::span<const OptionListEntry> ScreenWidthEntries() {
  return kScreenWidths;
}

std::span<const OptionListEntry> StartTabEntries() {
  return kStartTabs;
}

int ScreenWidthEntry(int screen_width) {
  if (screen_width == 352) return 2;
  if (screen_width == 720) return 1;
  return 0;
}

int StartTabEntry(int start_tab) {
  if (start_tab == 100) return 0;
  if (start_tab == 101) return 1;
  return 2;
}

std::span<const int> EvenColorPresets() {
  return kEvenPresets;
}

std::span<const int> OddColorPresets() {
  return kOddPresets;
}

std::span<const int> SelectionColorPresets() {
  return kSelectionPresets;
}

FontChoice SubtitleFontChoice(const AppSettings& app, int preview_color) {
  FontChoice c;
  c.font.face = app.font_name;
  c.font.point_size = app.font_size;
  c.font.bold = app.font_bold != 0;
  c.weight = app.font_bold != 0 ? 700 : 400;
  c.color = preview_color;
  return c;
}

void TakeSubtitleFont(const FontChoice& chosen, AppSettings& app) {
  app.font_size = chosen.font.point_size;
  app.font_name = chosen.font.face;
  app.font_bold = chosen.weight == 700 ? 1 : 0;
}

std::u16string FontLabel(const AppSettings& app) {
  return Format("%s, %d pt %s", ToUtf8(app.font_name).c_str(), app.font_size,
                app.font_bold != 0 ? " Bold" : "");
}

int PreviewPointSize(int font_size) {
  return static_cast<int>(font_size * 0.8);
}

}  // namespace tessera
