#include "tools/settings_options.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/text_util.h"

namespace tessera {
namespace {

const OptionBinding<SettingsOptions>& Row(const char* control) {
  const OptionBinding<SettingsOptions>* b = FindOption(SettingsOptionBindings(), control);
  EXPECT_NE(b, nullptr) << control;
  return *b;
}

TEST(SettingsOptions, NumberFieldsTakeOrRefuseTheirText) {
  struct Case {
    const char* control;
    const char16_t* text;
    const char* refusal;  // nullptr: taken
    double value;
  };
  const Case cases[] = {
      {"leftMargin", u" 12 ", nullptr, 12},
      {"leftMargin", u"-3", nullptr, -3},
      {"leftMargin", u"12a", "Enter an integer.", 0},
      {"rightMargin", u"", "Enter an integer.", 0},
      {"bottomMargin", u"99999999999", "Enter an integer.", 0},
      {"widthFactor", u"1.25", nullptr, 1.25},
      {"widthFactor", u" -.5e1 ", nullptr, -5},
      {"widthFactor", u"1,5", "Enter a number.", 0},
      {"widthFactor", u".", "Enter a number.", 0},
      {"widthFactor", u"2e", "Enter a number.", 0},
      {"widthFactor", u"inf", "Enter a number.", 0},
      // The frame rate is read like atof, but a rate that is not above 0 is refused.
      {"subFramerate", u"23.976 fps", nullptr, 23.976},
      {"subFramerate", u"fast", "Enter a number.", 0},
      {"subFramerate", u"0", "Enter a number.", 0},
      {"subFramerate", u"-25", "Enter a number.", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " '" + ToUtf8(c.text) + "'");
    const OptionBinding<SettingsOptions>& b = Row(c.control);
    SettingsOptions o;
    const SettingsOptions before = o;
    std::optional<std::u16string> refused = TakeOptionFieldText(b, c.text, o);
    if (c.refusal) {
      ASSERT_TRUE(refused);
      EXPECT_EQ(ToUtf8(*refused), c.refusal);
      if (b.real)
        EXPECT_EQ(o.*b.real, before.*b.real);
      else
        EXPECT_EQ(o.*b.whole, before.*b.whole);
      continue;
    }
    EXPECT_FALSE(refused);
    if (b.real)
      EXPECT_DOUBLE_EQ(o.*b.real, c.value);
    else
      EXPECT_EQ(o.*b.whole, static_cast<int>(c.value));
  }
}

TEST(SettingsOptions, DefaultColoursAreAmongThePresets) {
  const auto has = [](std::span<const int> presets, int bgr) {
    return std::find(presets.begin(), presets.end(), bgr) != presets.end();
  };
  EXPECT_TRUE(has(EvenColorPresets(), kDefaultColorScheme.even));
  EXPECT_TRUE(has(OddColorPresets(), kDefaultColorScheme.odd));
  EXPECT_TRUE(has(SelectionColorPresets(), kDefaultColorScheme.selection));
  // The catalogue's defaults are the same colours.
  AppSettings app;
  EXPECT_EQ(app.even_color, kDefaultColorScheme.even);
  EXPECT_EQ(app.odd_color, kDefaultColorScheme.odd);
  EXPECT_EQ(app.selection_color, kDefaultColorScheme.selection);
}

}  // namespace
}  // namespace tessera
