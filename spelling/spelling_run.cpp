#include "spelling/spelling_run.h"

#include <algorithm>
#include <unordered_map>

#include "core/text_util.h"

namespace tessera {

std::vector<WordSpan> UnknownWords(SpellChecker& checker, std::u16string_view line) {
  std::vector<WordSpan> unknown;
  for (const WordSpan& w : FindWords(line))
    if (!checker.Check(line.substr(w.start, w.length))) unknown.push_back(w);
  return unknown;
}

std::optional<UnknownWord> NextUnknownWord(const SubtitleDocument& doc, SpellChecker& checker,
                                           int row, int line, size_t from) {
  if (row < 0) row = 0, line = 0, from = 0;
  for (; row < doc.Count(); ++row, line = 0, from = 0) {
    for (; line < 3; ++line, from = 0) {
      const std::u16string& text = doc.Line(row, line);
      for (const WordSpan& w : UnknownWords(checker, text))
        if (w.start >= from) return UnknownWord{row, line, w, text.substr(w.start, w.length)};
    }
  }
  return std::nullopt;
}

bool ReplaceUnknownWord(SubtitleDocument& doc, const UnknownWord& at,
                        std::u16string_view replacement) {
  if (!doc.IsRow(at.row) || at.line < 0 || at.line > 2) return false;
  std::u16string text = doc.Line(at.row, at.line);
  if (text.compare(at.span.start, at.span.length, at.word) != 0) return false;
  text.replace(at.span.start, at.span.length, replacement);
  doc.SetCell(at.row, kLine1 + at.line, std::move(text));
  doc.SetChanged(true);
  return true;
}

int ReplaceWordEverywhere(SubtitleDocument& doc, std::u16string_view word,
                          std::u16string_view replacement, int first_row) {
  int count = 0;
  for (int row = std::max(first_row, 0); row < doc.Count(); ++row) {
    for (int k = 0; k < 3; ++k) {
      const std::u16string& text = doc.Line(row, k);
      if (text.find(word) == std::u16string::npos) continue;
      std::u16string out;
      size_t copied = 0;
      for (const WordSpan& w : FindWords(text)) {
        if (text.compare(w.start, w.length, word) != 0) continue;
        out.append(text, copied, w.start - copied);
        out.append(replacement);
        copied = w.start + w.length;
        ++count;
      }
      if (copied == 0) continue;
      out.append(text, copied);
      doc.SetCell(row, kLine1 + k, std::move(out));
      doc.SetChanged(true);
    }
  }
  return count;
}

SpellingReport CheckDocumentSpelling(const SubtitleDocument& doc, SpellChecker& checker,
                                     const std::function<void(int, int)>& progress) {
  SpellingReport r;
  std::unordered_map<std::u16string, std::u16string> arrows;  // word -> its suggestion text
  const int count = doc.Count();
  for (int row = 0; row < count; ++row) {
    bool found = false;
    for (int k = 0; k < 3; ++k) {
      const std::u16string& text = doc.Line(row, k);
      for (const WordSpan& w : UnknownWords(checker, text)) {
        const std::u16string word = text.substr(w.start, w.length);
        auto it = arrows.find(word);
        if (it == arrows.end()) {
          std::u16string list;
          for (const std::u16string& s : checker.Suggest(word, 5))
            list += (list.empty() ? u"" : u", ") + s;
          it = arrows.emplace(word, std::move(list)).first;
        }
        std::u16string line = Format("%d: ", row + 1) + word + u" ->";
        if (!it->second.empty()) line += u" " + it->second;
        r.lines.push_back(std::move(line));
        ++r.unknown;
        found = true;
      }
    }
    if (found) ++r.subtitles;
    if (progress && (row % 256 == 255 || row + 1 == count)) progress(row + 1, count);
  }
  r.lines.push_back(Format("%d unknown words in %d subtitles.", r.unknown, r.subtitles));
  return r;
}

}  // namespace tessera
