#include "core/update_check.h"

#include <gtest/gtest.h>

#include "core/text_util.h"

namespace tessera {
namespace {

std::u16string Page(const std::string& version, size_t padding = 0) {
  return FromUtf8("<html><head>" + std::string(padding, ' ') + "<meta name=\"version\" content=\"" +
                  version + "\"></head></html>");
}

TEST(UpdateCheck, AsksOnlyForANewerVersion) {
  EXPECT_FALSE(UpdateQuestion(Page("0.71")));
  EXPECT_FALSE(UpdateQuestion(Page("0.70")));
  EXPECT_EQ(ToUtf8(*UpdateQuestion(Page("0.72"))),
            "A new version (V0.72) of Tessera is available.\n\r\n\rWould you like to visit the "
            "Tessera web site?");
  EXPECT_NE(ToUtf8(*UpdateQuestion(Page("1.00"))).find("(V1.00)"), std::string::npos);
  // Hundredths whose binary value lies just below them are not rounded down.
  EXPECT_EQ(AnnouncedVersion(Page("0.29")), 29);
  EXPECT_EQ(AnnouncedVersion(Page("0.57")), 57);
}

TEST(UpdateCheck, OnlyTheBeginningOfThePageIsRead) {
  // The tag and its version must lie within the first 750 characters. The page's text before
  // the padding is 12 characters; the version ends 34 characters after the tag's start.
  EXPECT_EQ(AnnouncedVersion(Page("0.80", 750 - 34 - 12)), 80);
  EXPECT_EQ(AnnouncedVersion(Page("0.80", 750 - 31 - 12)), 0);  // only its "0" is left
  EXPECT_FALSE(AnnouncedVersion(Page("0.80", 750 - 19 - 12)));  // tag cut
  EXPECT_FALSE(UpdateQuestion(Page("9.99", 750 - 19 - 12)));
  EXPECT_FALSE(UpdateQuestion(u""));
  EXPECT_FALSE(UpdateQuestion(u"<meta name=\"version\""));
  EXPECT_FALSE(UpdateQuestion(Page("abcd")));
}

}  // namespace
}  // namespace tessera
