#include "spelling/words.h"

#include "check/reading_speed.h"

namespace tessera {
namespace {

bool IsApostrophe(char16_t c) {
  return c == u'\'' || c == u'\u2019';
}

bool IsJoiner(char16_t c) {
  return IsApostrophe(c) || c == u'-';
}

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u00A0' || c == u'|';
}

// A blank-delimited token that is an address as a whole.
bool IsAddress(std::u16string_view token) {
  return token.find(u"://") != std::u16string_view::npos || token.starts_with(u"www.") ||
         token.starts_with(u"WWW.") || token.find(u'@') != std::u16string_view::npos;
}

}  // namespace

bool IsWordLetter(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  if (c < 0xC0) return c == 0xAA || c == 0xB5 || c == 0xBA;
  if (c == 0xD7 || c == 0xF7) return false;
  // Punctuation, symbols, arrows, shapes, CJK punctuation, surrogates (emoji), private use,
  // compatibility forms and specials.
  if (c >= 0x2000 && c <= 0x2BFF) return false;
  if (c >= 0x3000 && c <= 0x303F) return false;
  if (c >= 0xD800 && c <= 0xF8FF) return false;
  if (c >= 0xFE30 && c <= 0xFE6F) return false;
  if (c >= 0xFF00 && c <= 0xFF20) return false;
  if (c >= 0xFFF0) return false;
  return true;
}

std::vector<WordSpan> FindWords(std::u16string_view line) {
  std::vector<WordSpan> words;
  std::vector<size_t> origin;
  const std::u16string text = VisibleText(line, &origin);
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    if (IsSpace(text[i])) {
      ++i;
      continue;
    }
    size_t token_end = i;
    while (token_end < n && !IsSpace(text[token_end])) ++token_end;
    const std::u16string_view token = std::u16string_view(text).substr(i, token_end - i);
    if (IsAddress(token)) {
      i = token_end;
      continue;
    }
    // Runs of letters, digits and inner joiners inside the token.
    while (i < token_end) {
      if (!IsWordLetter(text[i]) && !IsDigit(text[i])) {
        ++i;
        continue;
      }
      const size_t start = i;
      bool digit = false;
      while (i < token_end) {
        const char16_t c = text[i];
        if (IsWordLetter(c)) {
          ++i;
        } else if (IsDigit(c)) {
          digit = true;
          ++i;
        } else if (IsJoiner(c) && i + 1 < token_end && i > start &&
                   (IsWordLetter(text[i + 1]) || IsDigit(text[i + 1]))) {
          ++i;
        } else {
          break;
        }
      }
      // A word the tags cut apart ("w<b>or</b>d") is not a word the viewer reads: skipped.
      const size_t first = origin[start], last = origin[i - 1];
      if (!digit && last - first == i - 1 - start) words.push_back({first, i - start});
    }
    i = token_end;
  }
  return words;
}

}  // namespace tessera
