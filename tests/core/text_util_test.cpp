#include "core/text_util.h"

#include <gtest/gtest.h>

namespace tessera {
namespace {

TEST(TextUtil, Utf8RoundTripKeepsEveryPlane) {
  std::u16string s = u"Caf\u00e9 \u4e2d\u6587 \U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(s)), s);
  EXPECT_EQ(FromUtf8("\xff\xfe"), u"\uFFFD\uFFFD");
  // Lone surrogates, first, last and in the middle, become U+FFFD and take exactly its bytes.
  const char16_t high = 0xD83D, low = 0xDE00;
  EXPECT_EQ(ToUtf8(std::u16string{high}), "\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string{u'a', low, high}), "a\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ToUtf8(std::u16string{high, low, u'b'}),
            "\xF0\x9F\x98\x80"
            "b");
  EXPECT_EQ(ToUtf8(std::u16string{high, high, low}), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
  // Appending keeps what the bytes held before.
  std::string bytes = "head ";
  AppendUtf8(s, bytes);
  EXPECT_EQ(bytes, "head " + ToUtf8(s));
}

TEST(TextUtil, Latin1KeepsEveryByteOfALongText) {
  // Longer than the pieces the text is widened in, and not a multiple of them.
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes += static_cast<char>(i * 7);
  const std::u16string text = FromLatin1(bytes);
  ASSERT_EQ(text.size(), bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i)
    ASSERT_EQ(text[i], static_cast<unsigned char>(bytes[i])) << i;
}

TEST(TextUtil, ToIntegerReadsLikeAtoi) {
  EXPECT_EQ(ToInteger(u"  -12abc"), -12);
  EXPECT_EQ(ToInteger(u"x"), 0);
  EXPECT_GT(ToInteger(u"99999999999999999999999"), 2147483647LL);
  // Digits just below the saturation point must not overflow on the way.
  EXPECT_EQ(ToInteger(u"9999999999999999999"), ToInteger(u"1000000000000000000"));
  EXPECT_EQ(ToInteger(u"-9999999999999999999"), -ToInteger(u"1000000000000000000"));
}

TEST(TextUtil, ToRealReadsTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(ToReal(u"0.085"), 0.085);
  EXPECT_DOUBLE_EQ(ToReal(u"  2.5 seconds"), 2.5);
  EXPECT_DOUBLE_EQ(ToReal(u"seconds"), 0.0);
  EXPECT_DOUBLE_EQ(ToReal(u"nan"), 0.0);
  EXPECT_DOUBLE_EQ(ToReal(u"1e999"), 0.0);
}

// One idea of blank for every trim: space, tab, CR and LF; a no-break space is text.
TEST(TextUtil, TrimsBlanksOnly) {
  EXPECT_EQ(TrimView(u" \t\r\na b\r\n\t "), u"a b");
  EXPECT_EQ(TrimStart(u" \ta "), u"a ");
  EXPECT_EQ(TrimEnd(u" a\r\n"), u" a");
  EXPECT_EQ(TrimView(u"\u00a0a\u00a0"), u"\u00a0a\u00a0");
  EXPECT_TRUE(TrimView(u" \r\n").empty());
  EXPECT_FALSE(IsBlank(u'\v'));
}

}  // namespace
}  // namespace tessera
