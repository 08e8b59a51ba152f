#include "formats/markup.h"

#include "core/text_scan.h"
#include "core/text_util.h"

namespace tessera {
namespace {

constexpr auto npos = std::u16string_view::npos;

// The styles both sides know, as bits.
enum Style : unsigned { kItalic = 1, kBold = 2, kUnderline = 4 };
constexpr struct {
  Style style;
  char16_t letter;
} kStyles[] = {{kItalic, u'i'}, {kBold, u'b'}, {kUnderline, u'u'}};

bool IsLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

// An HTML-like tag of SubRip or WebVTT at `at`: its end (after ">"), its style bit (0 for the
// other known tags) and whether it closes. False for a "<" that opens no such tag.
bool MarkupTag(std::u16string_view line, size_t at, size_t& end, unsigned& style, bool& closing) {
  const size_t close = line.find(u'>', at);
  if (close == npos) return false;
  std::u16string_view tag = line.substr(at + 1, close - at - 1);
  end = close + 1;
  style = 0;
  closing = !tag.empty() && tag[0] == u'/';
  if (closing) tag.remove_prefix(1);
  if (!closing && !tag.empty() && IsDigit(tag[0])) {  // a WebVTT timestamp <00:00:01.000>
    return tag.find_first_not_of(u"0123456789:.") == npos;
  }
  size_t n = 0;
  while (n < tag.size() && IsLetter(tag[n])) ++n;
  const std::u16string_view name = tag.substr(0, n);
  // Classes may follow any name ("<c.loud>"), an annotation only a voice, a language or a font.
  const bool annotated = n < tag.size() && (tag[n] == u' ' || tag[n] == u'\t');
  if (n < tag.size() && tag[n] != u'.' && !annotated) return false;
  if (annotated && !closing)
    return EqualsIgnoreAsciiCase(name, u"v") || EqualsIgnoreAsciiCase(name, u"lang") ||
           EqualsIgnoreAsciiCase(name, u"font");
  for (const auto& s : kStyles)
    if (name.size() == 1 && AsciiLower(name[0]) == s.letter) {
      style = s.style;
      return true;
    }
  for (std::u16string_view known : {u"c", u"v", u"lang", u"ruby", u"rt", u"font"})
    if (EqualsIgnoreAsciiCase(name, known)) return true;
  return false;
}

void AppendHtmlTag(std::u16string& out, unsigned style, bool closing) {
  for (const auto& s : kStyles)
    if (s.style == style) {
      out += closing ? u"</" : u"<";
      out += s.letter;
      out += u'>';
    }
}

// The styles a MicroDVD code "{y:i,b}" names.
unsigned MicroDvdStyles(std::u16string_view value) {
  unsigned styles = 0;
  for (char16_t c : value)
    for (const auto& s : kStyles)
      if (AsciiLower(c) == s.letter) styles |= s.style;
  return styles;
}

// A cue's text in the making: the styles open, closed again in reverse at the end.
struct Cue {
  std::u16string* out = nullptr;
  unsigned open = 0;
  void Set(unsigned style, bool on) {
    if (((open & style) != 0) == on) return;
    AppendHtmlTag(*out, style, !on);
    open ^= style;
  }
  void CloseAll() {
    for (int k = 2; k >= 0; --k)
      if (open & kStyles[k].style) Set(kStyles[k].style, false);
  }
};

// The override tags of one SubStation block "{\i1\an8}" (without its braces).
void ApplyOverrides(std::u16string_view block, Cue& cue, std::u16string& settings) {
  size_t p = 0;
  while ((p = block.find(u'\\', p)) != npos) {
    ++p;
    size_t e = block.find(u'\\', p);
    std::u16string_view tag = block.substr(p, e == npos ? npos : e - p);
    for (const auto& s : kStyles)
      if (!tag.empty() && tag[0] == s.letter &&
          (tag.size() == 1 ||
           std::u16string_view(tag.substr(1)).find_first_not_of(u"0123456789") == npos))
        cue.Set(s.style, tag.size() > 1 && ToInteger(tag.substr(1)) != 0);
    if (tag.size() >= 2 && tag[0] == u'a' && IsDigit(tag.back())) {
      // \an numbers the keypad (7-9 top, 4-6 middle); the older \a adds 4 for top, 8 for middle.
      const bool numpad = tag[1] == u'n';
      const long long n = ToInteger(tag.substr(numpad ? 2 : 1));
      const bool top = numpad ? n >= 7 && n <= 9 : n >= 5 && n <= 7;
      const bool middle = numpad ? n >= 4 && n <= 6 : n >= 9 && n <= 11;
      settings = top ? u"line:0" : middle ? u"line:50%" : u"";
    }
  }
}

// "{y:i,b}" for the styles, nothing for none.
void AppendMicroDvdCode(std::u16string& out, unsigned styles) {
  if (!styles) return;
  out += u"{y:";
  bool first = true;
  for (const auto& s : kStyles)
    if (styles & s.style) {
      if (!first) out += u',';
      out += s.letter;
      first = false;
    }
  out += u'}';
}

}  // namespace

void WebVttCueLines(const SubtitleDocument& doc, int row, std::u16string lines[3],
                    std::u16string& settings) {
  settings.clear();
  // An upper-case MicroDVD code styles every line of its subtitle.
  unsigned every_line = 0;
  for (int k = 0; k < 3; ++k) {
    const std::u16string& line = doc.Line(row, k);
    for (size_t p = line.find(u"{Y:"); p != npos; p = line.find(u"{Y:", p + 1)) {
      const size_t e = line.find(u'}', p);
      if (e != npos)
        every_line |= MicroDvdStyles(std::u16string_view(line).substr(p + 3, e - p - 3));
    }
  }
  int last = 0;
  for (int k = 0; k < 3; ++k)
    if (!doc.Line(row, k).empty()) last = k;
  Cue cue;
  for (int k = 0; k < 3; ++k) {
    const std::u16string_view line = doc.Line(row, k);
    std::u16string& out = lines[k];
    out.clear();
    if (line.empty()) continue;
    cue.out = &out;
    unsigned line_styles = every_line;
    for (const auto& s : kStyles)
      if (line_styles & s.style) cue.Set(s.style, true);
    size_t i = 0;
    while (i < line.size()) {
      const char16_t c = line[i];
      if (c == u'{') {
        const size_t e = line.find(u'}', i);
        const bool override_block = e != npos && i + 1 < line.size() && line[i + 1] == u'\\';
        const bool code =
            e != npos && i + 2 < line.size() && IsLetter(line[i + 1]) && line[i + 2] == u':';
        if (override_block) {
          ApplyOverrides(line.substr(i + 1, e - i - 1), cue, settings);
          i = e + 1;
          continue;
        }
        if (code) {
          if (line[i + 1] == u'y') {
            const unsigned styles = MicroDvdStyles(line.substr(i + 3, e - i - 3));
            line_styles |= styles;
            for (const auto& s : kStyles)
              if (styles & s.style) cue.Set(s.style, true);
          }
          i = e + 1;
          continue;
        }
      }
      if (c == u'<') {
        size_t end;
        unsigned style;
        bool closing;
        if (MarkupTag(line, i, end, style, closing)) {
          if (style) {
            cue.Set(style, !closing);
          } else if (!EqualsIgnoreAsciiCase(line.substr(i + 1 + closing, 4), u"font")) {
            out.append(line.substr(i, end - i));
          }
          i = end;
          continue;
        }
        out += u"&lt;";
        ++i;
        continue;
      }
      if (c == u'&') {
        out += u"&amp;";
      } else if (c == u'-' && line.substr(i, 3) == u"-->") {
        // An arrow in the text would read as a time line.
        out += u"->";
        i += 3;
        continue;
      } else {
        out += c;
      }
      ++i;
    }
    // A MicroDVD code styles its line only.
    for (int s = 2; s >= 0; --s)
      if ((line_styles & ~every_line) & kStyles[s].style) cue.Set(kStyles[s].style, false);
    if (k == last) cue.CloseAll();
  }
}

void AppendSubStationLine(std::u16string& out, std::u16string_view line) {
  size_t i = FindUnit(line, u'<');
  if (i == npos) {
    out += line;
    return;
  }
  out += line.substr(0, i);
  while (i < line.size()) {
    size_t end;
    unsigned style;
    bool closing;
    if (line[i] == u'<' && MarkupTag(line, i, end, style, closing)) {
      for (const auto& s : kStyles)
        if (s.style == style) {
          out += u"{\\";
          out += s.letter;
          out += closing ? u'0' : u'1';
          out += u'}';
        }
      i = end;
      continue;
    }
    out += line[i++];
  }
}

void AppendMicroDvdLine(std::u16string& out, std::u16string_view line, unsigned& open) {
  if (line.find(u'<') == npos) {
    AppendMicroDvdCode(out, open);
    out += line;
    return;
  }
  // The styles on at every character of text.
  std::u16string text;
  unsigned state = open, whole = ~0u;
  size_t i = 0;
  while (i < line.size()) {
    size_t end;
    unsigned style;
    bool closing;
    if (line[i] == u'<' && MarkupTag(line, i, end, style, closing)) {
      state = closing ? state & ~style : state | style;
      i = end;
      continue;
    }
    whole &= state;
    text += line[i++];
  }
  open = state;
  AppendMicroDvdCode(out, text.empty() ? 0 : whole);
  out += text;
}

}  // namespace tessera
