#include "check/fix_errors.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "check/check_lists.h"
#include "check/fix_errors_text.h"
#include "check/line_length.h"
#include "check/measure.h"
#include "core/language_table.h"
#include "core/text_util.h"

namespace tessera {
namespace {

// Times come from millisecond texts; comparing with a margin keeps rounding noise from
// turning an exact minimum gap or duration into a repair.
constexpr double kEpsilon = 1e-6;
bool Less(double a, double b) {
  return a < b - kEpsilon;
}

// The start used for the last row's short-duration repair: later than any subtitle.
constexpr double kNoNextStart = 970299.0;

struct Counters {
  int commas = 0;
  int credits = 0;
  int invalid_times = 0;
  int separated = 0;
  int split = 0;
  int overlaps = 0;
  int short_durations = 0;
  int short_not_enough = 0;
  int periods = 0;
  int dots_added = 0;
  int dots_removed = 0;
  int empty = 0;
  int dash_formats = 0;
  int dashes = 0;
  int tags = 0;
  int gaps = 0;
  int quotes = 0;
  int spaces_removed = 0;
  int spaces_added = 0;
  int separators = 0;
  int ocr = 0;
  int joined = 0;
  int exclamations = 0;
  int duplicates = 0;
  int numbers = 0;
};

struct RowState {
  bool removed = false;  // removed or stopped: the rest of the row's repairs is skipped
  bool stay = false;
  bool times_changed = false;
};

class FixRun {
 public:
  FixRun(SubtitleDocument& doc, const FixErrorsOptions& o, const FixRunServices& s, FixWorkTable& t)
      : doc_(doc),
        o_(o),
        s_(s),
        t_(t),
        measure_(s.measurer, s.app ? *s.app : default_app_, o.split_method,
                 o.max_number_characters) {}

  int Run();

 private:
  void TagPrePass();
  void PutTagsBack();
  void ProcessRow(int n, RowState& st);
  void FixInvalidTimes(int n, RowState& st);
  void RemoveDuplicates(int n);
  void RemoveCredits(int n, RowState& st);
  void CorrectOcr(int n);
  void FixTimeBetween(int n, RowState& st);
  void FixShortDuration(int n, RowState& st);
  void FixOverlap(int n, RowState& st);
  void Warnings(int n);
  void Stop(int n, const std::u16string& message);
  void LogCounters();
  std::u16string NumbersLine() const;

  SubtitleDocument& doc_;
  const FixErrorsOptions& o_;
  const FixRunServices& s_;
  FixWorkTable& t_;
  AppSettings default_app_;
  LineMeasure measure_;
  NullProgressSink null_progress_;
  Counters c_;
  // Rows are split off only while the table holds fewer than this; see Run().
  int row_cap_ = 0;
  bool stop_ = false;
  bool warnings_silenced_ = false;
};

void FixRun::TagPrePass() {
  const bool keep = o_.remove_format_tags == 0;
  for (int n = 0; n < t_.Count(); ++n) {
    for (int k = 0; k < 3; ++k) {
      std::u16string& line = t_.Line(n, k);
      // Only the first "<" of the line is looked at, once for each kind of tag.
      for (size_t tag_size : {3u, 4u}) {
        if (line.size() <= 3) break;
        const size_t lt = line.find(u'<');
        if (lt == std::u16string::npos) continue;
        const size_t gt = line.find(u'>', lt);
        if (gt == std::u16string::npos || gt - lt != tag_size - 1) continue;
        if (keep)
          (tag_size == 3 ? t_.StartTag(n, k) : t_.StopTag(n, k)) = line.substr(lt, tag_size);
        line.erase(lt, tag_size);
      }
    }
  }
}

void FixRun::PutTagsBack() {
  for (int n = 0; n < t_.Count(); ++n) {
    for (int k = 0; k < 3; ++k) {
      std::u16string& start = t_.StartTag(n, k);
      std::u16string& stop = t_.StopTag(n, k);
      if (!start.empty()) {
        t_.Line(n, k).insert(0, start);
        start.clear();
      }
      if (!stop.empty()) {
        t_.Line(n, k) += stop;
        stop.clear();
      }
    }
  }
}

void FixRun::Stop(int n, const std::u16string& message) {
  doc_.SetCurrentRow(n);
  if (s_.prompter) s_.prompter->MessageBox(message, {}, PromptIcon::Error);
  doc_.AppendLog(message);
  stop_ = true;
}

void FixRun::FixInvalidTimes(int n, RowState& st) {
  if (n >= t_.Count() - 1) return;
  const double s0 = t_.StartSeconds(n), e0 = t_.EndSeconds(n);
  const double s1 = t_.StartSeconds(n + 1), e1 = t_.EndSeconds(n + 1);
  if (Less(e0, s0)) {
    Stop(n, Format("Subtitle %d ERROR: Start time is past the stop time...", n + 1));
    st.removed = true;
  }
  if (Less(s1, s0)) {
    if (Less(e0, e1)) {
      t_.SetStartSeconds(n + 1, e0 + o_.min_time_between);
      ++c_.invalid_times;
    } else {
      doc_.SetCurrentRow(n);
      const std::u16string message =
          Format("Subtitle %d ERROR: has an invalid time but can't be fixed...", n + 1);
      if (s_.prompter) s_.prompter->MessageBox(message, {}, PromptIcon::Error);
      doc_.AppendLog(message);
      stop_ = true;
      st.removed = true;
    }
  }
}

void FixRun::RemoveDuplicates(int n) {
  if (n >= t_.Count() - 1) return;
  if (t_.Line(n, 0) == t_.Line(n + 1, 0) && t_.Cell(n, kFixStart) == t_.Cell(n + 1, kFixStart) &&
      t_.Cell(n, kFixEnd) == t_.Cell(n + 1, kFixEnd)) {
    t_.RemoveRow(n + 1);
    ++c_.duplicates;
  }
}

void FixRun::RemoveCredits(int n, RowState& st) {
  if (!s_.lists || s_.lists->credits.empty()) return;
  bool matched = false, ask_only = true;
  for (int k = 0; k < 3 && ask_only; ++k) {
    if (t_.Line(n, k).empty()) continue;
    const std::u16string lower = AsciiLowerCopy(t_.Line(n, k));
    for (const CreditEntry& e : s_.lists->credits) {
      if (e.text.empty() || lower.find(e.text) == std::u16string::npos) continue;
      matched = true;
      if (!e.ask) {
        ask_only = false;
        break;
      }
    }
  }
  if (!matched) return;
  if (ask_only) {
    std::u16string q = Format("Line %d:\n\r%s\n\r", n + 1, ToUtf8(t_.Line(n, 0)).c_str());
    for (int k = 1; k < 3; ++k) {
      if (!t_.Line(n, k).empty()) q += t_.Line(n, k) + u"\n\r";
    }
    q += u"\n\rlooks like an unwanted subtitle credit... Remove it?";
    if (!s_.prompter || !s_.prompter->AskYesNo(q, {}, PromptIcon::Question)) return;
  }
  t_.RemoveRow(n);
  st.removed = st.stay = true;
  ++c_.credits;
}

void FixRun::CorrectOcr(int n) {
  if (!s_.lists) return;
  for (int k = 0; k < 3; ++k) {
    std::u16string& line = t_.Line(n, k);
    for (const OcrEntry& e : s_.lists->ocr) {
      if (e.find.empty()) continue;
      const size_t at = line.find(e.find);
      if (at == std::u16string::npos) continue;
      line.replace(at, e.find.size(), e.replacement);
      ++c_.ocr;
    }
  }
}

void FixRun::FixTimeBetween(int n, RowState& st) {
  if (n >= t_.Count() - 1) return;
  const double e = t_.EndSeconds(n), s1 = t_.StartSeconds(n + 1), g = o_.min_time_between;
  if (!Less(s1 - e, g)) return;
  const double m = (e + s1) / 2;
  t_.SetEndSeconds(n, m - g / 2);
  t_.SetStartSeconds(n + 1, m + g / 2);
  st.times_changed = true;
  ++c_.gaps;
}

void FixRun::FixShortDuration(int n, RowState& st) {
  const double s = t_.StartSeconds(n), e = t_.EndSeconds(n);
  const double next = n + 1 < t_.Count() ? t_.StartSeconds(n + 1) : kNoNextStart;
  double required = o_.minimum_duration;
  if (o_.smart_duration) {
    const size_t chars = t_.Line(n, 0).size() + t_.Line(n, 1).size() + t_.Line(n, 2).size();
    required = std::max(required, static_cast<double>(chars) * o_.smart_seconds);
  }
  if (!Less(e - s, required)) return;
  ++c_.short_durations;
  double end = s + required;
  if (Less(next, end)) {
    ++c_.short_not_enough;
    end = next - o_.min_time_between;
  }
  if (end > s + kEpsilon) {
    t_.SetEndSeconds(n, end);
    st.times_changed = true;
  }
}

void FixRun::FixOverlap(int n, RowState& st) {
  if (n >= t_.Count() - 1) return;
  const double e = t_.EndSeconds(n), s1 = t_.StartSeconds(n + 1);
  if (!Less(s1, e)) return;
  // The two meet 0.05 seconds apart around the middle of the overlap.
  const double d = (e - s1) / 2 + 0.025;
  t_.SetEndSeconds(n, e - d);
  t_.SetStartSeconds(n + 1, s1 + d);
  st.times_changed = true;
  ++c_.overlaps;
}

void FixRun::Warnings(int n) {
  if (warnings_silenced_ || (!o_.warn_long_duration && !o_.warn_short_duration)) return;
  const double d = t_.EndSeconds(n) - t_.StartSeconds(n);
  const char* text = nullptr;
  if (o_.warn_long_duration && d > o_.warn_long_duration_ms / 1000.0 + kEpsilon) {
    text =
        "%d:\n\r%s\n\r%s\n\r\n\rWARNING: The duration of this subtitle is longer than 10 (%s) "
        "seconds!";
  } else if (o_.warn_short_duration && Less(d, o_.warn_short_duration_ms / 1000.0)) {
    text =
        "%d:\n\r%s\n\r%s\n\r\n\rWARNING: The duration of this subtitle is shorter than 0.5 (%s) "
        "seconds!";
  }
  if (!text) return;
  // Shown from the current times: a repair of the row before may have moved them.
  t_.UpdateDuration(n);
  const std::u16string message =
      Format(text, n + 1, ToUtf8(t_.Line(n, 0)).c_str(), ToUtf8(t_.Line(n, 1)).c_str(),
             ToUtf8(t_.Cell(n, kFixDuration)).c_str());
  // A long film can bring hundreds of these; the user may stop them for the rest of the run.
  if (s_.prompter &&
      s_.prompter->MessageBoxOptOut(message, kDontWarnAgain, {}, PromptIcon::Exclamation)) {
    warnings_silenced_ = true;
  }
}

void FixRun::ProcessRow(int n, RowState& st) {
  const FixErrorsOptions& o = o_;
  if (o.remove_empty && t_.Line(n, 0).empty() && t_.Line(n, 1).empty() && t_.Line(n, 2).empty()) {
    t_.RemoveRow(n);
    st.removed = st.stay = true;
    ++c_.empty;
  }
  if (o.fix_invalid_times && n < t_.Count()) FixInvalidTimes(n, st);
  if (!st.removed) {
    if (o.remove_duplicates) RemoveDuplicates(n);
    if (o.remove_trailing_dashes) c_.dashes += RemoveLeadingDashes(t_, n);
    if (o.join_lines && JoinShortLines(t_, n, measure_)) ++c_.joined;
    if (o.fix_commas) c_.commas += FixEndingCommas(t_, n);
    if (o.exclamation_marks) c_.exclamations += ReplaceExclamationMarks(t_, n);
    if (o.remove_line_separators) {
      c_.separators += RemoveLineSeparators(t_, n, o.split_line_separators != 0);
    }
    if (o.remove_credits) RemoveCredits(n, st);
    if (o.fix_triple_periods && !st.removed) {
      FixTriplePeriods(t_, n, o.triple_periods_mode, c_.dots_added, c_.dots_removed);
    }
  }
  if (st.removed) return;
  if (o.fix_numbers && CheckNumberNotation(t_, n, true)) ++c_.numbers;
  if (o.add_spaces) c_.spaces_added += AddMissingSpaces(t_, n);
  if (o.remove_spaces) c_.spaces_removed += RemoveUnnecessarySpaces(t_, n);
  if (o.fix_quotes) c_.quotes += FixQuotes(t_, n);
  const bool may_add_rows = t_.Count() < row_cap_;
  if (o.separate_third_line && may_add_rows &&
      SeparateThreeLines(t_, n, measure_, o.min_time_between, o.smart_seconds, st.stay,
                         st.times_changed)) {
    ++c_.separated;
  }
  if (o.fix_time_between) FixTimeBetween(n, st);
  if (o.fix_short_duration) FixShortDuration(n, st);
  if (o.split_too_long && may_add_rows &&
      SplitTooLong(t_, n, measure_, o.min_time_between, st.stay, st.times_changed)) {
    ++c_.split;
  }
  if (o.remove_format_tags) c_.tags += RemoveFormatTags(t_, n);
  if (o.fix_dash_format) c_.dash_formats += FixDashFormat(t_, n, o.spaces_after_dash);
  if (o.fix_overlap) FixOverlap(n, st);
  if (o.add_points) c_.periods += AddMissingPeriods(t_, n);
  if (o.correct_ocr) CorrectOcr(n);
  if (st.times_changed) t_.UpdateDuration(n);
  t_.Cell(n, kFixNr) = Format("%d", n + 1);
}

std::u16string FixRun::NumbersLine() const {
  std::u16string text;
  if (s_.language) text = s_.language->Lookup(kIncorrectNumbersMessageId);
  if (text.empty() || text == u"???") text = u"  %d incorrect displayed numbers corrected.";
  return WithCount(text, c_.numbers);
}

void FixRun::LogCounters() {
  auto line = [&](int count, const char* format) {
    if (count > 0) doc_.AppendLog(Format(format, count));
  };
  line(c_.commas, "  %d ending commas changed to periods...");
  line(c_.credits, "  %d credits removed...");
  line(c_.invalid_times, "  %d subs with invalid times fixed...");
  line(c_.separated, "  %d 3-line subtitles separated...");
  line(c_.split, "  %d to long subtitles split...");
  line(c_.overlaps, "  %d overlapping subtitles found and fixed...");
  if (c_.short_durations > 0) {
    doc_.AppendLog(
        Format("  %d to short subtitles found and fixed. %d of them could not be given "
               "the required duration...",
               c_.short_durations, c_.short_not_enough));
  }
  line(c_.periods, "  %d periods added...");
  line(c_.dots_added, "  %d '...' added...");
  line(c_.dots_removed, "  %d '...' removed...");
  line(c_.empty, "  %d empty subs removed...");
  line(c_.dash_formats, "  Fixed the format of %d trailing dashes...");
  line(c_.dashes, "  Removed %d trailing dashes...");
  line(c_.tags, "  Removed %d formatting Tags...");
  line(c_.gaps, "  %d times between subs fixed...");
  line(c_.quotes, "  %d double quotes converted to single quotes...");
  line(c_.spaces_removed, "  %d Unnessecary spaces removed...");
  line(c_.spaces_added, "  %d spaces added...");
  line(c_.separators, "  %d line separators ( '|' ) removed...");
  line(c_.ocr, "  %d OCR errors ... corrected...");
  line(c_.joined, "  %d pair of lines joined...");
  line(c_.exclamations, "  %d Exclamationmarks replaced by periods...");
  line(c_.duplicates, "  %d Duplicate lines removed...");
  if (c_.numbers > 0) doc_.AppendLog(NumbersLine());
}

int FixRun::Run() {
  const auto started = std::chrono::steady_clock::now();
  const bool was_changed = doc_.Changed();
  doc_.SetChanged(true);
  ProgressSink& progress = s_.progress ? *s_.progress : null_progress_;
  doc_.AppendLog(u"Start checking for selected errors...");
  progress.Open(u"Checking...");
  progress.OfferCancel();
  bool cancelled = false;

  TagPrePass();
  // Each row a split adds carries text of the row it came from, so no sound run ends with more
  // rows than the table had characters. With a limit too small for a character and "...", the
  // dots the split adds can be split off again for ever; the cap ends that.
  long long cap = t_.Count();
  for (int n = 0; n < t_.Count(); ++n)
    for (int k = 0; k < 3; ++k) cap += static_cast<long long>(t_.Line(n, k).size());
  row_cap_ = static_cast<int>(std::min<long long>(cap, std::numeric_limits<int>::max()));
  // A row is processed again only while a repair changed it; this bound keeps a repair that
  // keeps asking for another pass from holding the run forever.
  constexpr int kMaxPasses = 1000;
  int passes = 0;
  for (int n = 0; n < t_.Count();) {
    progress.SetPercent(static_cast<int>(static_cast<long long>(n) * 100 / t_.Count()));
    progress.SetLines(t_.Line(n, 0), t_.Line(n, 1));
    RowState st;
    ProcessRow(n, st);
    if (n < t_.Count()) Warnings(n);
    if (st.stay && (st.removed || ++passes < kMaxPasses)) {
      if (st.removed) passes = 0;
    } else {
      ++n;
      passes = 0;
    }
    if (stop_) break;
    if (progress.Cancelled()) {
      cancelled = true;
      break;
    }
  }

  if (cancelled) {
    progress.Close();
    doc_.SetChanged(was_changed);
    t_.FillFrom(doc_);
    doc_.AppendLog(u"Checking is cancelled; the subtitles are as they were.");
    return kFixRunCancelled;
  }
  if (!o_.remove_format_tags) PutTagsBack();
  progress.Close();
  std::u16string final_line;
  if (stop_) {
    final_line = u"Checking is stopped due to uncorrectable errors.";
  } else {
    LogCounters();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - started)
                        .count();
    final_line = Format("Done. (in %0.3f seconds)", static_cast<double>(ms) / 1000.0);
  }
  doc_.AppendLog(final_line);
  const int current = doc_.CurrentRow();
  t_.WriteTo(doc_);
  doc_.ResetSelection();
  doc_.SetCurrentRow(current);
  doc_.ClampCurrentRow();
  return stop_ ? kFixRunStopped : kFixRunDone;
}

}  // namespace

int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services, FixWorkTable& table, bool fill_table) {
  if (fill_table) table.FillFrom(doc);
  FixRun run(doc, options, services, table);
  return run.Run();
}

int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services) {
  FixWorkTable table;
  return RunFixErrors(doc, options, services, table, true);
}

}  // namespace tessera
