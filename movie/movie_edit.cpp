#include "movie/movie_edit.h"

#include <algorithm>
#include <cmath>

#include "core/text_util.h"
#include "core/time_code.h"
#include "tools/synchronize.h"

namespace tessera {
namespace {

int64_t Ms(std::u16string_view text) {
  return TimeTextMs(text);
}

std::u16string MsText(int64_t ms) {
  return FormatTimeText(static_cast<double>(ms) / 1000.0);
}

// What stands in for the next subtitle's start after the last row.
constexpr int64_t kNudgeHorizonMs = 3600000000000LL * 1000;
constexpr double kAutoHorizon = 35996400.0;

constexpr int64_t kNudgeGapMs = 50;
constexpr int64_t kStartStepMs = 100;
constexpr int64_t kShortestMs = 100;
constexpr double kAutoGap = 0.05;
constexpr double kSplitMargin = 0.025;

// Characters as the user sees them: a surrogate pair counts once.
int CharacterCount(std::u16string_view text) {
  int n = 0;
  for (char16_t c : text)
    if (c < 0xDC00 || c > 0xDFFF) ++n;
  return n;
}

int64_t ToMs(double seconds) {
  return static_cast<int64_t>(std::llround(seconds * 1000));
}

// Marks follow their subtitles when rows are inserted or removed, and never point outside the
// document: a mark that did is put on the nearest row.
void KeepMarksInside(const SubtitleDocument& doc, MoviePageState& state) {
  for (int* mark : {&state.first_mark, &state.last_mark}) {
    if (doc.Count() == 0)
      *mark = -1;
    else
      *mark = std::clamp(*mark, 0, doc.Count() - 1);
  }
}

void MarksAfterInsert(const SubtitleDocument& doc, MoviePageState& state, int index) {
  for (int* mark : {&state.first_mark, &state.last_mark})
    if (*mark >= index) ++*mark;
  KeepMarksInside(doc, state);
}

MovieEditEffect Refused(Prompter& prompter) {
  prompter.Beep();
  return {};
}

MovieEditEffect RowEffect() {
  MovieEditEffect fx;
  fx.applied = true;
  fx.changed |= kRefreshRows;
  return fx;
}

// The position cut to whole milliseconds.
int64_t PositionMs(int64_t position) {
  return position / 10000;
}

// Not playing, Shift and Stretch move a mark onto the selected row.
MovieEditEffect SetMark(const SubtitleDocument& doc, int& mark, int selected_row,
                        Prompter& prompter) {
  if (!doc.IsRow(selected_row)) return Refused(prompter);
  mark = selected_row;
  MovieEditEffect fx;
  fx.applied = true;
  fx.changed |= kRefreshRows;
  return fx;
}

MovieEditEffect Resynchronised() {
  MovieEditEffect fx;
  fx.applied = true;
  fx.pause = true;
  fx.changed |= kRefreshRows;
  fx.seek_to_current = true;
  return fx;
}

}  // namespace

int64_t TimeTextMs(std::u16string_view text) {
  return static_cast<int64_t>(std::floor(ParseTimeText(text) * 1000));
}

int64_t TimeCellMs(const SubtitleDocument& doc, int row, int column) {
  return static_cast<int64_t>(std::floor(doc.Time(row, column) * 1000));
}

void ResetMarks(const SubtitleDocument& doc, MoviePageState& state) {
  if (doc.Count() == 0) {
    state.first_mark = state.last_mark = -1;
    return;
  }
  state.first_mark = 0;
  state.last_mark = doc.Count() - 1;
  state.reference_time = static_cast<double>(TimeCellMs(doc, 0, kStart)) / 1000.0;
}

int RemainingCharacters(const AppSettings& app, std::u16string_view text) {
  return app.max_number_characters - CharacterCount(text);
}

CurrentTimesText CurrentTimes(const SubtitleDocument& doc, int row) {
  if (!doc.IsRow(row)) return {};
  return TimeDisplay(doc.Start(row), doc.End(row));
}

MovieEditEffect EditLine(SubtitleDocument& doc, const MoviePageState& state, int line,
                         const std::u16string& text, Prompter& prompter) {
  int c = state.current;
  if (!doc.IsRow(c) || line < 0 || line > 1) return Refused(prompter);
  doc.SetChanged(true);
  doc.SetCell(c, kLine1 + line, text);
  return RowEffect();
}

MovieEditEffect NudgeStart(SubtitleDocument& doc, const MoviePageState& state, bool later,
                           Prompter& prompter) {
  int c = state.current;
  if (!doc.IsRow(c)) return Refused(prompter);
  int64_t s = TimeCellMs(doc, c, kStart), e = TimeCellMs(doc, c, kEnd);
  int64_t step;
  if (later) {
    int64_t next = c + 1 < doc.Count() ? TimeCellMs(doc, c + 1, kStart) : kNudgeHorizonMs;
    if (!(next - kNudgeGapMs > e + kStartStepMs)) return Refused(prompter);
    step = kStartStepMs;
  } else {
    int64_t prev = c > 0 ? TimeCellMs(doc, c - 1, kEnd) : -kNudgeGapMs;
    if (!(prev + kNudgeGapMs < s - kStartStepMs)) return Refused(prompter);
    step = -kStartStepMs;
  }
  doc.SetChanged(true);
  doc.SetCell(c, kStart, MsText(s + step));
  doc.SetCell(c, kEnd, MsText(e + step));
  MovieEditEffect fx = RowEffect();
  fx.seek_position = (s + step) * 10000;
  fx.show_times = true;
  return fx;
}

MovieEditEffect NudgeEnd(SubtitleDocument& doc, const MoviePageState& state, double step,
                         bool longer, Prompter& prompter) {
  int c = state.current;
  if (!doc.IsRow(c)) return Refused(prompter);
  int64_t s = TimeCellMs(doc, c, kStart), e = TimeCellMs(doc, c, kEnd);
  int64_t step_ms = ToMs(step);
  bool allowed;
  if (longer) {
    int64_t next = c + 1 < doc.Count() ? TimeCellMs(doc, c + 1, kStart) : kNudgeHorizonMs;
    allowed = next - kNudgeGapMs > e + step_ms;
  } else {
    allowed = s + kShortestMs < e - step_ms;
  }
  MovieEditEffect fx = RowEffect();
  fx.show_times = true;
  if (allowed) {
    doc.SetChanged(true);
    doc.SetCell(c, kEnd, MsText(longer ? e + step_ms : e - step_ms));
  } else {
    prompter.Beep();
    fx.applied = false;
  }
  return fx;
}

MovieEditEffect AutoDuration(SubtitleDocument& doc, const MoviePageState& state,
                             const AppSettings& app, Prompter& prompter) {
  int c = state.current;
  if (!doc.IsRow(c)) return Refused(prompter);
  double s = doc.Time(c, kStart);
  double next = c + 1 < doc.Count() ? doc.Time(c + 1, kStart) : kAutoHorizon;
  int n = CharacterCount(doc.Line(c, 0)) + CharacterCount(doc.Line(c, 1));
  double end = std::min(s + std::max(app.minimum_duration, n * app.smart_seconds), next - kAutoGap);
  std::u16string end_text = FormatTimeText(end);
  // A next subtitle that starts too early would leave no time at all.
  if (Ms(end_text) <= TimeCellMs(doc, c, kStart)) return Refused(prompter);
  doc.SetChanged(true);
  doc.SetCell(c, kEnd, std::move(end_text));
  MovieEditEffect fx = RowEffect();
  fx.show_times = true;
  return fx;
}

MovieEditEffect InsertAtPosition(SubtitleDocument& doc, MoviePageState& state,
                                 const AppSettings& app, SettingsStore& store, PlayState play,
                                 bool has_movie, int64_t position, int selected_row,
                                 Prompter& prompter) {
  double g = ToReal(store.GetString(u"Settings", u"Min Time Between Subs", u"0.100"));
  double m = app.minimum_duration;
  bool pause = play == PlayState::Playing;

  double t = has_movie ? static_cast<double>(position) / kTicksPerSecond : 0.0;
  if ((!has_movie || t <= 1e-9) && doc.IsRow(selected_row)) t = doc.Time(selected_row, kEnd) + g;
  t = std::max(t, 0.0);

  int count = doc.Count();
  int idx = 0;
  while (idx < count && !(doc.Time(idx, kEnd) > t)) ++idx;

  auto refuse = [&](const char16_t* text) {
    prompter.MessageBox(text, {}, PromptIcon::None);
    MovieEditEffect fx;
    fx.pause = pause;
    return fx;
  };
  // The subtitle that t falls into, or the one the new subtitle would run into, starts later;
  // neither may become shorter than the minimum. Nothing changes until both are known to fit.
  std::u16string moved_start;
  if (idx < count && t > doc.Time(idx, kStart)) {
    if (doc.Time(idx, kEnd) - (t + m + g) < m)
      return refuse(u"Can't insert sub here because current sub will be too short...");
    moved_start = FormatTimeText(t + m + g);
  }
  double new_end = t + m;
  if (idx < count &&
      new_end > (moved_start.empty() ? doc.Time(idx, kStart) : ParseTimeText(moved_start))) {
    if (doc.Time(idx, kEnd) - (new_end + g) < m)
      return refuse(u"Can't insert sub here because next sub will be too short...");
    moved_start = FormatTimeText(new_end + g);
  }
  if (!moved_start.empty()) doc.SetCell(idx, kStart, std::move(moved_start));

  doc.SetChanged(true);
  doc.InsertRow(idx, FormatTimeText(t), FormatTimeText(new_end));
  state.current = idx;
  MarksAfterInsert(doc, state, idx);

  MovieEditEffect fx;
  fx.applied = true;
  fx.pause = pause;
  fx.changed |= kRefreshRows | kRefreshRowCount;
  fx.show_times = true;
  fx.clear_line_fields = true;
  return fx;
}

MovieEditEffect DeleteSelected(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                               int selected_row, Prompter& prompter) {
  if (play == PlayState::Playing) return {};
  int r = selected_row;
  if (!doc.IsRow(r)) {
    state.current = -1;
    return Refused(prompter);
  }
  state.current = r;
  doc.SetChanged(true);
  doc.RemoveRow(r);
  if (r == doc.Count()) state.current = r - 1;
  doc.ClampCurrentRow();
  // A mark on the deleted row moves to the row before it.
  for (int* mark : {&state.first_mark, &state.last_mark})
    if (*mark >= r) --*mark;
  KeepMarksInside(doc, state);

  MovieEditEffect fx;
  fx.applied = true;
  fx.changed |= kRefreshRows | kRefreshRowCount;
  fx.seek_to_current = true;
  return fx;
}

MovieEditEffect SplitCurrent(SubtitleDocument& doc, MoviePageState& state, Prompter& prompter) {
  int c = state.current;
  if (!doc.IsRow(c)) return Refused(prompter);
  MovieEditEffect fx;
  fx.pause = true;

  double s = doc.Time(c, kStart), e = doc.Time(c, kEnd);
  int a = CharacterCount(doc.Line(c, 0)), b = CharacterCount(doc.Line(c, 1));
  double share = a + b > 0 ? static_cast<double>(a) / (a + b) : 0.5;
  double cut = share * (e - s) - kSplitMargin;
  std::u16string first_end = FormatTimeText(s + cut);
  std::u16string second_start = FormatTimeText(s + cut + 2 * kSplitMargin);
  // An empty line, or too short a subtitle, would leave a part that ends before it starts.
  if (Ms(first_end) <= TimeCellMs(doc, c, kStart) || Ms(second_start) >= TimeCellMs(doc, c, kEnd)) {
    prompter.Beep();
    return fx;
  }

  doc.InsertRow(c + 1, std::move(second_start), doc.End(c), doc.Line(c, 1));
  doc.SetCell(c, kEnd, std::move(first_end));
  doc.SetCell(c, kLine2, u"");
  doc.SetChanged(true);
  MarksAfterInsert(doc, state, c + 1);

  fx.applied = true;
  fx.changed |= kRefreshRows | kRefreshRowCount;
  fx.seek_to_current = true;
  return fx;
}

MovieEditEffect Shift(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                      int64_t position, int selected_row, Prompter& prompter) {
  if (play != PlayState::Playing) return SetMark(doc, state.first_mark, selected_row, prompter);
  if (!doc.IsRow(state.first_mark)) return Refused(prompter);

  int64_t target = PositionMs(position);
  state.reference_time = static_cast<double>(target) / 1000.0;
  int64_t delta = target - TimeCellMs(doc, state.first_mark, kStart);
  for (int i = 0; i < doc.Count(); ++i) {
    doc.SetCell(i, kStart, MsText(TimeCellMs(doc, i, kStart) + delta));
    doc.SetCell(i, kEnd, MsText(TimeCellMs(doc, i, kEnd) + delta));
  }
  doc.SetChanged(true);
  state.current = state.first_mark;
  return Resynchronised();
}

MovieEditEffect Stretch(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                        int64_t position, int selected_row, Prompter& prompter) {
  if (play != PlayState::Playing) return SetMark(doc, state.last_mark, selected_row, prompter);
  if (!doc.IsRow(state.first_mark) || !doc.IsRow(state.last_mark)) return Refused(prompter);

  auto seconds = [&](int row, int column) {
    return static_cast<double>(TimeCellMs(doc, row, column)) / 1000.0;
  };
  double target = static_cast<double>(PositionMs(position)) / 1000.0;
  double t0 = seconds(state.first_mark, kStart);
  double t1 = seconds(state.last_mark, kStart);
  double span = t1 - t0;
  if (span == 0) {
    prompter.MessageBox(u"ERROR: Stretching needs two subtitles with different start times.", {},
                        PromptIcon::Error);
    MovieEditEffect fx;
    fx.pause = true;
    return fx;
  }
  double gain = target - t1;
  if (StretchReversesTimes(span, gain)) {
    RefuseStretch(doc,
                  u"ERROR: Stretching to this position would move the last mark to or before "
                  u"the first one.",
                  prompter);
    MovieEditEffect fx;
    fx.pause = true;
    return fx;
  }
  for (int i = state.first_mark; i <= state.last_mark; ++i) {
    double d = seconds(i, kStart) - state.reference_time;
    if (d == 0) continue;
    // Half a millisecond more, so that writing the time rounds instead of cutting.
    double k = d / span * gain + 0.0005;
    doc.SetCell(i, kStart, FormatTimeText(seconds(i, kStart) + k));
    doc.SetCell(i, kEnd, FormatTimeText(seconds(i, kEnd) + k));
  }
  doc.SetChanged(true);
  state.current = state.last_mark;
  return Resynchronised();
}

}  // namespace tessera
