#include "check/line_length.h"

#include <string_view>

#include "core/text_util.h"

namespace tessera {

namespace {

bool HasLowerCase(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= u'a' && c <= u'z') return true;
  return false;
}

bool EndsWithOneOf(std::u16string_view s, std::u16string_view chars) {
  return !s.empty() && chars.find(s.back()) != std::u16string_view::npos;
}

// A leading dialogue dash and the white space after it.
std::u16string DropDash(std::u16string_view s) {
  if (!s.empty() && s.front() == u'-') s = TrimStart(s.substr(1));
  return std::u16string(s);
}

// Moves a non-empty tag from one cell to another.
void MoveTag(std::u16string& from, std::u16string& to) {
  if (from.empty()) return;
  to = std::move(from);
  from.clear();
}

// Adds a row after n holding `line` as line 1; `placeholder` stands in its number column
// until the row loop reaches it.
void InsertAfter(FixWorkTable& t, int n, std::u16string line, const char16_t* placeholder) {
  t.InsertRow(n + 1);
  t.Cell(n + 1, kFixNr) = placeholder;
  t.Line(n + 1, 0) = std::move(line);
}

}  // namespace

bool JoinShortLines(FixWorkTable& t, int n, const LineMeasure& m) {
  std::u16string_view u = TrimEnd(t.Line(n, 0));
  std::u16string_view v = TrimStart(t.Line(n, 1));
  if (v.empty() || v.front() == u'-') return false;
  // Lines in capitals only are kept apart.
  if (!HasLowerCase(u) && !HasLowerCase(v)) return false;
  if (EndsWithOneOf(u, u"!?,.")) return false;
  std::u16string w;
  w.reserve(u.size() + 1 + v.size());
  w.append(u).append(u" ").append(v);
  if (m.LineExtent(w) >= m.LineLimit()) return false;
  t.Line(n, 0) = std::move(w);
  t.Line(n, 1).clear();
  MoveTag(t.StopTag(n, 1), t.StopTag(n, 0));
  t.StartTag(n, 1).clear();
  return true;
}

bool SeparateThreeLines(FixWorkTable& t, int n, const LineMeasure& m, double min_gap,
                        double seconds_per_char, bool& stay, bool& times_changed) {
  if (t.Line(n, 2).empty()) return false;
  std::u16string third = DropDash(t.Line(n, 2));
  t.Line(n, 2).clear();
  stay = true;

  const bool last = n + 1 >= t.Count();
  const double s = t.StartSeconds(n);
  const double e = t.EndSeconds(n);
  const double next_start = last ? 0 : t.StartSeconds(n + 1);
  const double d = e - s;

  InsertAfter(t, n, third, u"dummy");
  MoveTag(t.StartTag(n, 2), t.StartTag(n + 1, 0));
  MoveTag(t.StopTag(n, 2), t.StopTag(n + 1, 0));

  const std::u16string& l1 = t.Line(n, 0);
  const std::u16string& l2 = t.Line(n, 1);
  const double needed =
      static_cast<double>(l1.size() + l2.size() + third.size()) * seconds_per_char;
  double total;
  if (needed <= d)
    total = d;
  else if (last || s + needed < next_start)
    total = needed;
  else
    total = next_start - s - min_gap;

  const double c1 = m.Weight(l1), c2 = m.Weight(l2), c3 = m.Weight(third);
  const double weights = c1 + c2 + c3;
  // Without any weight (a lone dash) both parts get half the time.
  const double share = weights > 0 ? (c1 + c2) / weights : 0.5;
  const double p = s + total * share;
  t.SetEndSeconds(n, p - min_gap / 2);
  t.SetStartSeconds(n + 1, p + min_gap / 2);
  t.SetEndSeconds(n + 1, s + total);
  t.UpdateDuration(n + 1);
  times_changed = true;
  return true;
}

bool SplitTooLong(FixWorkTable& t, int n, const LineMeasure& m, double min_gap, bool& stay,
                  bool& times_changed) {
  if (!m.LimitReachable()) return false;
  const int limit = m.LineLimit();
  const size_t first_length = t.Line(n, 0).size();
  const bool first_too_long = m.LineExtent(t.Line(n, 0)) > limit;
  const bool second_too_long = m.LineExtent(t.Line(n, 1)) > limit;
  bool split = false;

  if ((first_too_long || second_too_long) && !t.Line(n, 1).empty()) {
    std::u16string& u = t.Line(n, 0);
    std::u16string v = DropDash(t.Line(n, 1));
    const bool capital = !v.empty() && v.front() >= u'A' && v.front() <= u'Z';
    if (!EndsWithOneOf(u, u".,:?!") && !capital) u += u"...";
    const double u_chars = static_cast<double>(u.size());
    const double v_chars = static_cast<double>(v.size());
    InsertAfter(t, n, std::move(v), u"quux was here");
    t.Line(n, 1).clear();

    if (t.StartTag(n, 1).empty() && !t.StopTag(n, 1).empty()) {
      t.StopTag(n, 0) = t.StopTag(n, 1);
      t.StartTag(n, 1) = t.StartTag(n, 0);
    }
    MoveTag(t.StartTag(n, 1), t.StartTag(n + 1, 0));
    MoveTag(t.StopTag(n, 1), t.StopTag(n + 1, 0));

    // The time is shared by characters, whatever the measuring method.
    const double s = t.StartSeconds(n);
    const double e = t.EndSeconds(n);
    const double d = e - s;
    const double r = u_chars + v_chars > 0 ? u_chars / (u_chars + v_chars) : 0.5;
    double first = r * d - min_gap / 2;
    const double rest = d - first - min_gap / 2;
    if (first < 1 && rest > 2)
      first = 1;
    else if (rest < 1 && first > 2)
      first = d - 1 - min_gap;
    t.SetEndSeconds(n, s + first);
    t.SetStartSeconds(n + 1, s + first + min_gap);
    t.SetEndSeconds(n + 1, e);
    t.UpdateDuration(n + 1);
    times_changed = true;
    split = true;
  }

  // A single character cannot be broken any further.
  const std::u16string& u = t.Line(n, 0);
  if (first_too_long && u.size() >= 2) {
    const size_t h = u.size() / 2;
    const size_t left = h == 0 ? std::u16string::npos : u.find_last_of(u' ', h - 1);
    const long a = left == std::u16string::npos ? -1 : static_cast<long>(left);
    const size_t right = u.find(u' ', h);
    const long b =
        right == std::u16string::npos ? static_cast<long>(h) - 1 : static_cast<long>(right);
    const long hh = static_cast<long>(h);
    // A tie goes to the left candidate.
    const long p = hh - a > b - hh ? b : a;
    std::u16string_view whole = u;
    std::u16string line1(TrimEnd(whole.substr(0, static_cast<size_t>(p + 1))));
    std::u16string line2(TrimStart(whole.substr(static_cast<size_t>(p + 1))));
    // Stay only while breaking still shortens the line; otherwise "..." added above could be
    // broken off and added again for ever.
    const bool progress = line1.size() < first_length;
    const bool may_not_fit =
        !m.Dynamic() || m.LineExtent(line1) > limit || m.LineExtent(line2) > limit;
    if (progress && may_not_fit) stay = true;
    t.Line(n, 0) = std::move(line1);
    t.Line(n, 1) = std::move(line2);
    MoveTag(t.StopTag(n, 0), t.StopTag(n, 1));
    split = true;
  }
  return split;
}

}  // namespace tessera
