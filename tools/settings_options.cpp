#include "tools/settings_options.h"

#include <iterator>

#include "check/reading_speed.h"
#include "core/text_util.h"
#include "tools/synchronize.h"

namespace tessera {
namespace {

using O = SettingsOptions;

constexpr char16_t kEnterInteger[] = u"Enter an integer.";
constexpr char16_t kEnterNumber[] = u"Enter a number.";

constexpr OptionKey Key(std::u16string_view key) {
  return OptionKey{u"Settings", key};
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
      Kind(GlobalOption(Key(u"SsaVersion"), &O::ssa_version, &A::ssa_version, 0, 0, "ssaVersion"),
           OptionKind::kChoice),
      Kind(GlobalOption(Key(u"Encoding"), &O::encoding, &A::encoding, 0, 0, "encoding"),
           OptionKind::kChoice, 2),
      GlobalOption(Key(u"SubFramerate"), &O::sub_framerate, &A::sub_framerate, 25.0, 0,
                   "subFramerate"),
      GlobalOption(Key(u"LeftMargin"), &O::left_margin, &A::left_margin, 25, 0, "leftMargin"),
      GlobalOption(Key(u"RightMargin"), &O::right_margin, &A::right_margin, 25, 0, "rightMargin"),
      GlobalOption(Key(u"BottomMargin"), &O::bottom_margin, &A::bottom_margin, 20, 0,
                   "bottomMargin"),
      GlobalOption(Key(u"WidthFactor"), &O::width_factor, &A::width_factor, 1.0, 0, "widthFactor"),
      Kind(GlobalOption(Key(u"CreateCopyWhenExporting"), &O::create_copy_when_exporting,
                        &A::create_copy_when_exporting, 1, 0, "createCopy"),
           OptionKind::kFlag),
      Kind(GlobalOption(Key(u"Reload Sub"), &O::reload_sub, &A::reload_sub, 0, 0, "reloadSub"),
           OptionKind::kFlag),
      Kind(GlobalOption(Key(u"Reload AVI"), &O::reload_avi, &A::reload_avi, 0, 0, "reloadAvi"),
           OptionKind::kFlag),
      Kind(GlobalOption(Key(u"ResizeMovieWindow"), &O::resize_movie_window, &A::resize_movie_window,
                        0, 0, "resizeMovieWindow"),
           OptionKind::kChoice),
      Range(GlobalOption(Key(u"MaxCPS"), &O::max_cps, &A::max_cps, kDefaultMaxCps, 0, "maxCps"),
            kMinMaxCps, kMaxMaxCps),
      Kind(GlobalOption(Key(u"ShowCPSColumn"), &O::show_cps_column, &A::show_cps_column, 1, 0,
                        "showCpsColumn"),
           OptionKind::kFlag),
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

std::optional<double> ParseRealField(std::u16string_view text) {
  std::u16string_view t = TrimView(text);
  size_t i = 0;
  const auto digits = [&] {
    size_t start = i;
    while (i < t.size() && t[i] >= u'0' && t[i] <= u'9') ++i;
    return i - start;
  };
  if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
  size_t mantissa = digits();
  if (i < t.size() && t[i] == u'.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return std::nullopt;
  if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
    ++i;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-')) ++i;
    if (digits() == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  return ToReal(t);
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
    std::optional<double> v = ParseRealField(text);
    if (!v) return kEnterNumber;
    options.*b.real = *v;
    return std::nullopt;
  }
  std::optional<int> v = ParseIntegerField(text);
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
