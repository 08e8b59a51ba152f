#include "core/text_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace tessera {
namespace {

// Every length around the block sizes, with the sought unit at every place and a few values that
// signed comparisons or byte packing would get wrong.
TEST(TextScan, BlockScansAgreeWithAPlainLoop) {
  const char16_t specials[] = {u'\r', u'\n', 0x00, 0x1F, 0x7F, 0x80, 0xFF, 0x100, 0x8000, 0xFFFF};
  for (size_t n = 0; n <= 40; ++n) {
    for (size_t at = 0; at <= n; ++at) {
      for (char16_t special : specials) {
        std::u16string s(n, u'a');
        if (at < n) s[at] = special;
        auto plain_find = [&](auto pred, size_t from) {
          for (size_t i = from; i < s.size(); ++i)
            if (pred(s[i])) return i;
          return std::u16string_view::npos;
        };
        for (size_t from : {size_t{0}, at / 2, at}) {
          EXPECT_EQ(FindUnit(s, special, from),
                    plain_find([&](char16_t c) { return c == special; }, from));
        }
        // Controls, with CR LF pairs passed over: each CR or LF of the text is paired or not.
        for (const char16_t* ends : {u"\r\n", u"\r\r", u"\n\n", u"\n\r"}) {
          std::u16string t = s;
          for (size_t k = 3; k + 1 < t.size(); k += 5) t[k] = ends[0], t[k + 1] = ends[1];
          auto odd = [&t](size_t i) {
            if (t[i] == u'\r') return i + 1 == t.size() || t[i + 1] != u'\n';
            if (t[i] == u'\n') return i == 0 || t[i - 1] != u'\r';
            return t[i] < 0x20;
          };
          size_t expected = std::u16string_view::npos;
          for (size_t i = 0; i < t.size() && expected == std::u16string_view::npos; ++i)
            if (odd(i)) expected = i;
          EXPECT_EQ(FindOddControl(t), expected) << n << " " << at;
          std::string t8(t.size(), 'a');
          for (size_t i = 0; i < t.size(); ++i) t8[i] = static_cast<char>(t[i] & 0xFF);
          size_t expected8 = std::string_view::npos;
          for (size_t i = 0; i < t.size() && expected8 == std::string_view::npos; ++i)
            if (t8[i] == '\r'   ? i + 1 == t8.size() || t8[i + 1] != '\n'
                : t8[i] == '\n' ? i == 0 || t8[i - 1] != '\r'
                                : static_cast<unsigned char>(t8[i]) < 0x20)
              expected8 = i;
          EXPECT_EQ(FindOddControl(t8), expected8) << n << " " << at;
        }
        const size_t ascii = plain_find([](char16_t c) { return c >= 0x80; }, 0);
        EXPECT_EQ(AsciiPrefix(s), ascii == std::u16string_view::npos ? n : ascii);
        const size_t printable = plain_find([](char16_t c) { return c < 0x20 || c > 0x7F; }, 0);
        std::string narrowed(n, '?');
        const size_t got = NarrowPrintable(s, narrowed.data());
        EXPECT_EQ(got, printable == std::u16string_view::npos ? n : printable) << n << " " << at;
        for (size_t i = 0; i < got; ++i) ASSERT_EQ(narrowed[i], static_cast<char>(s[i])) << i;

        std::string bytes(n, 'a');
        if (at < n) bytes[at] = static_cast<char>(special & 0xFF);
        size_t byte_ascii = 0;
        while (byte_ascii < n && static_cast<unsigned char>(bytes[byte_ascii]) < 0x80) ++byte_ascii;
        EXPECT_EQ(AsciiPrefix(bytes), byte_ascii);
        std::u16string wide(n, u'?');
        WidenBytes(bytes, wide.data());
        for (size_t i = 0; i < n; ++i)
          ASSERT_EQ(wide[i], static_cast<unsigned char>(bytes[i])) << n << " " << i;
        if (byte_ascii == n) {
          std::string narrow(n, '?');
          NarrowAscii(wide, narrow.data());
          EXPECT_EQ(narrow, bytes);
        }
      }
    }
  }
}

}  // namespace
}  // namespace tessera
