#include "core/text_util.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

TEST(TextUtil, Utf8RoundTripKeepsEveryPlane) {
  std::u16string s = u"Caf\u00e9 \u4e2d\u6587 \U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
  EXPECT_EQ(FromUtf8("\xff\xfe"), u"\uFFFD\uFFFD");
}

TEST(TextUtil, ToIntegerReadsLikeAtoi) {
  EXPECT_EQ(ToInteger(u"  -12abc"), -12);
  EXPECT_EQ(ToInteger(u"x"), 0);
  EXPECT_GT(ToInteger(u"99999999999999999999999"), 2147483647LL);
}

}  // namespace
}  // namespace tessera
