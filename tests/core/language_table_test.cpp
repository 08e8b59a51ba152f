#include "core/language_table.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;

class Languages : public ::testing::Test {
 protected:
  void PutDutch(const std::string& bytes) { testing::WriteBytes(dir_ / "Dutch.lng", bytes); }

  testing::ScratchDir scratch_;
  const fs::path dir_ = scratch_.Dir();
};

TEST_F(Languages, EnglishIsBuiltIn) {
  LanguageTable t;
  t.Build(dir_);
  EXPECT_EQ(t.Lookup(1100), u"File Operations");
  EXPECT_EQ(t.Lookup(1900), u"Options");
  EXPECT_EQ(t.Lookup(2015), u"File is too large. Can't be a valid subtitle file.");
  EXPECT_EQ(t.Lookup(kIncorrectNumbersMessageId), u"  %d incorrect displayed numbers corrected.");
  EXPECT_EQ(t.Lookup(8003), u"Duration");
  EXPECT_EQ(t.LanguageName(1), u"Dutch");
  EXPECT_EQ(t.Lookup(1099), u"???");
  EXPECT_EQ(t.Lookup(2017), u"???");
  EXPECT_EQ(t.Lookup(1101), u"");  // takes the control's designed caption
}

TEST_F(Languages, MissingOrEmptyFileKeepsEnglish) {
  LanguageTable none;
  none.Build(dir_);
  EXPECT_FALSE(none.SelectLanguage(1));
  EXPECT_EQ(none.CurrentLanguage(), 0);

  PutDutch("");
  LanguageTable empty;
  empty.Build(dir_);
  EXPECT_FALSE(empty.SelectLanguage(1));
  EXPECT_EQ(empty.Lookup(1200), u"Analyze");
}

TEST_F(Languages, DutchFileLinesInAnyOrderWithEscapes) {
  PutDutch(
      "; comment lines are ignored\r\n"
      "2012=Klaar.  \r\n"
      "1100=Bestandsbewerkingen\r\n"
      "1400=Bewerken\r\n"
      "1400=Later\r\n"
      "1300=Fouten\\therstellen\r\n"
      "3000=Twee\\r\\nregels\\n\r\n"
      "9001=Nederlands\r\r\n"
      "9000=Engels");
  LanguageTable t;
  t.Build(dir_);
  ASSERT_TRUE(t.SelectLanguage(1));
  EXPECT_EQ(t.Lookup(1100), u"Bestandsbewerkingen");
  EXPECT_EQ(t.Lookup(2012), u"Klaar.");
  EXPECT_EQ(t.Lookup(1400), u"Bewerken");  // the first line of a key counts
  EXPECT_EQ(t.Lookup(1300), u"Fouten\therstellen");
  EXPECT_EQ(t.Lookup(3000), u"Twee\r\nregels");  // a final \n is trimmed
  EXPECT_EQ(t.Lookup(9001), u"Nederlands");
  EXPECT_EQ(t.LanguageName(0), u"Engels");                // last line without a line end
  EXPECT_EQ(t.Lookup(2002), u"Detected SubRip format.");  // untranslated: English

  // Designed captions become the English texts; an id the file lacks keeps the caption.
  EXPECT_EQ(t.ApplyCaption(1101, u"Open"), u"Open");
  EXPECT_EQ(t.ApplyCaption(1100, u"ignored"), u"Bestandsbewerkingen");
  EXPECT_EQ(t.ApplyCaption(4242, u"Not keyed"), u"Not keyed");
  EXPECT_EQ(t.Lookup(1101), u"Open");
  ASSERT_TRUE(t.SelectLanguage(0));
  EXPECT_EQ(t.Lookup(1100), u"File Operations");
  EXPECT_EQ(t.Lookup(1101), u"Open");
}

TEST_F(Languages, Utf16FileIsRead) {
  std::string b = "\xFF\xFE";
  for (char c : std::string("1100=Bestanden\r\n1200=Analyseren\r\n")) {
    b.push_back(c);
    b.push_back('\0');
  }
  PutDutch(b);
  LanguageTable t;
  t.Build(dir_);
  ASSERT_TRUE(t.SelectLanguage(1));
  EXPECT_EQ(t.Lookup(1100), u"Bestanden");
  EXPECT_EQ(t.Lookup(1200), u"Analyseren");
}

}  // namespace
}  // namespace tessera
