#include "autosync/auto_sync.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <future>

#include "core/text_util.h"
#include "core/time_code.h"

namespace tessera {

namespace {
constexpr double kFilm = 24000.0 / 1001.0;  // "23.976"
}  // namespace

const SyncRate kSyncRates[kSyncRateCount] = {{25, 25}, {25, kFilm}, {kFilm, 25}, {25, 24},
                                             {24, 25}, {24, kFilm}, {kFilm, 24}};

namespace {

constexpr int kCoarseStep = 4;  // frames between the offsets the global search tries (40 ms)
constexpr int kRefine = 12;  // frames either side of a segment's coarse offset refined

int64_t ToFrame(double seconds) {
  return static_cast<int64_t>(std::llround(seconds / kSyncFrameSeconds));
}

// One rate's view of the problem: the subtitles' spans in frames after the rate change, and the
// prefix sums of the centred reference over every frame a shifted span can reach.
struct RateProblem {
  std::vector<int64_t> a, b;  // span of each row, frames, before the offset
  std::vector<double> prefix;
  std::vector<float> onset;  // weighted onsets near each frame, indexed as prefix
  int64_t low = 0;           // the frame prefix[0] stands before

  // Sum of the centred reference over row i's span shifted by `lag` frames, plus how well its
  // start meets an onset of speech.
  double Score(size_t i, int64_t lag) const {
    return prefix[b[i] + lag - low] - prefix[a[i] + lag - low] + onset[a[i] + lag - low];
  }
};

// A span's sum is flat over a range of offsets wherever speech fills less than the subtitle (it
// always does: subtitles stay up after the words end). Subtitles start where speech starts, so
// the onsets of the reference, spread by a triangle, pick the offset within that range.
constexpr int kOnsetHalfWidth = 15;  // frames
constexpr double kOnsetWeight = 40;  // frames of span one onset met exactly is worth

RateProblem MakeProblem(const SubtitleDocument& doc, const SyncTimeline& ref, double density,
                        double ratio, int64_t max_lag) {
  RateProblem p;
  const int n = doc.Count();
  p.a.resize(n);
  p.b.resize(n);
  int64_t lo = 0, hi = static_cast<int64_t>(ref.size());
  for (int i = 0; i < n; ++i) {
    const double s = doc.Time(i, kStart) * ratio, e = doc.Time(i, kEnd) * ratio;
    p.a[i] = ToFrame(s);
    p.b[i] = std::max(p.a[i], ToFrame(e));
    lo = std::min(lo, p.a[i]);
    hi = std::max(hi, p.b[i]);
  }
  lo -= max_lag + kRefine + kOnsetHalfWidth + 1;
  hi += max_lag + kRefine + kOnsetHalfWidth + 1;
  p.low = lo;
  p.prefix.resize(static_cast<size_t>(hi - lo + 1));
  p.onset.assign(p.prefix.size(), 0.0f);
  double sum = 0;
  p.prefix[0] = 0;
  const int64_t m = static_cast<int64_t>(ref.size());
  for (int64_t t = lo; t < hi; ++t) {
    // Outside the reference counts as silence.
    const double v = (t >= 0 && t < m) ? ref[t] : 0.0;
    sum += v - density;
    p.prefix[t - lo + 1] = sum;
  }
  double onsets = 0;
  for (int64_t t = 0; t < m; ++t) onsets += std::max(0.0f, ref[t] - (t > 0 ? ref[t - 1] : 0.0f));
  // Centred too, so that a start on no onset costs what an average start is worth.
  const double mean_onset =
      m > 0 ? onsets / static_cast<double>(m) * kOnsetHalfWidth * kOnsetWeight : 0;
  for (size_t j = 0; j < p.onset.size(); ++j) p.onset[j] = static_cast<float>(-mean_onset);
  for (int64_t t = 0; t < m; ++t) {
    const float rise = ref[t] - (t > 0 ? ref[t - 1] : 0.0f);
    if (rise <= 0) continue;
    for (int d = -kOnsetHalfWidth + 1; d < kOnsetHalfWidth; ++d)
      p.onset[t + d - lo] += static_cast<float>(
          rise * kOnsetWeight * (1.0 - std::abs(d) / static_cast<double>(kOnsetHalfWidth)));
  }
  return p;
}

struct PassResult {
  double split_value = 0;   // best total score minus the split penalties
  double single_value = 0;  // best total score with one offset
  int single_lag = 0;       // its lag index
};

// The dynamic programme over the rows: best[k] is the best value of rows 0..i with row i at lag
// index k, either continuing row i-1's lag or switching from the best lag of row i-1 at a
// penalty. The single-offset total runs alongside. When `switched` is given, it receives one bit
// per row and lag (switched from row i-1's best), and `best_before` row i's best lag index.
bool RunPass(const RateProblem& p, int lags, int64_t max_lag, double penalty, bool splits,
             PassResult& out, std::vector<uint64_t>* switched, std::vector<int>* best_at,
             const std::function<bool(size_t)>& tick) {
  const size_t n = p.a.size();
  std::vector<double> best(lags, 0.0), single(lags, 0.0);
  const size_t words = (static_cast<size_t>(lags) + 63) / 64;
  if (switched) switched->assign(n * words, 0);
  if (best_at) best_at->assign(n, 0);
  double g = 0;
  for (size_t i = 0; i < n; ++i) {
    if ((i & 63) == 0 && tick && !tick(i)) return false;
    const double* pa = p.prefix.data() + (p.a[i] - max_lag - p.low);
    const double* pb = p.prefix.data() + (p.b[i] - max_lag - p.low);
    const float* po = p.onset.data() + (p.a[i] - max_lag - p.low);
    const double from_best = g - penalty;
    double new_g = -1e300;
    int new_arg = 0;
    uint64_t* bits = switched ? switched->data() + i * words : nullptr;
    for (int k = 0; k < lags; ++k) {
      const size_t at = static_cast<size_t>(k) * kCoarseStep;
      const double s = pb[at] - pa[at] + po[at];
      single[k] += s;
      if (splits) {
        double keep = best[k];
        if (i > 0 && from_best > keep) {
          keep = from_best;
          if (bits) bits[k >> 6] |= uint64_t{1} << (k & 63);
        }
        const double v = keep + s;
        best[k] = v;
        if (v > new_g) {
          new_g = v;
          new_arg = k;
        }
      }
    }
    g = new_g;
    if (best_at) (*best_at)[i] = new_arg;
  }
  const auto top = std::max_element(single.begin(), single.end());
  out.single_value = *top;
  out.single_lag = static_cast<int>(top - single.begin());
  out.split_value = splits ? g : out.single_value;
  return true;
}

double SegmentScore(const RateProblem& p, size_t first, size_t last, int64_t lag) {
  double s = 0;
  for (size_t i = first; i < last; ++i) s += p.Score(i, lag);
  return s;
}

// Cohen's kappa between the fitted subtitles and the reference, frame by frame.
double Agreement(const SubtitleDocument& doc, const SyncFit& fit, const SyncTimeline& ref) {
  const size_t m = ref.size();
  if (m == 0) return 0;
  std::vector<uint8_t> on(m, 0);
  for (int i = 0; i < doc.Count(); ++i) {
    const int64_t a = std::max<int64_t>(0, ToFrame(FittedTime(fit, i, doc.Time(i, kStart))));
    const int64_t b =
        std::min<int64_t>(static_cast<int64_t>(m), ToFrame(FittedTime(fit, i, doc.Time(i, kEnd))));
    for (int64_t t = a; t < b; ++t) on[t] = 1;
  }
  double agree = 0, ds = 0, dp = 0;
  for (size_t t = 0; t < m; ++t) {
    const double p = ref[t];
    agree += on[t] ? p : 1 - p;
    ds += on[t];
    dp += p;
  }
  const double md = static_cast<double>(m);
  const double po = agree / md;
  ds /= md;
  dp /= md;
  const double pe = ds * dp + (1 - ds) * (1 - dp);
  if (pe >= 1) return 0;
  return std::max(0.0, (po - pe) / (1 - pe));
}

}  // namespace

SyncTimeline SubtitleTimeline(const SubtitleDocument& doc) {
  SyncTimeline t;
  for (int i = 0; i < doc.Count(); ++i) {
    const int64_t a = std::max<int64_t>(0, ToFrame(doc.Time(i, kStart)));
    const int64_t b = ToFrame(doc.Time(i, kEnd));
    // A time beyond a day is a broken file, not a film.
    if (b <= a || b > 24 * 360000) continue;
    if (t.size() < static_cast<size_t>(b)) t.resize(static_cast<size_t>(b), 0.0f);
    std::fill(t.begin() + a, t.begin() + b, 1.0f);
  }
  return t;
}

SyncFit FitSubtitles(const SubtitleDocument& doc, const SyncTimeline& reference,
                     const SyncFitOptions& options, const SyncProgress& progress) {
  SyncFit fit;
  fit.segments.push_back({0, 0.0});
  const size_t n = static_cast<size_t>(doc.Count());
  if (n == 0 || reference.empty()) return fit;
  double density = 0;
  for (float v : reference) density += v;
  density /= static_cast<double>(reference.size());
  const int64_t half = ToFrame(options.max_offset) / kCoarseStep;
  const int64_t max_lag = half * kCoarseStep;
  const int lags = static_cast<int>(2 * half + 1);
  // A frame of speech covered counts 1 - density; a split must win this many such frames.
  const double penalty = options.split_penalty / kSyncFrameSeconds * (1 - density);

  // Every rate on its own thread, the rows of the best done again with the record of switches.
  const int passes = kSyncRateCount + (options.splits ? 1 : 0);
  std::atomic<size_t> done{0};
  std::atomic<bool> stop{false};
  std::vector<RateProblem> problems(kSyncRateCount);
  std::vector<PassResult> results(kSyncRateCount);
  std::vector<std::future<bool>> runs;
  for (int r = 0; r < kSyncRateCount; ++r) {
    runs.push_back(std::async(std::launch::async, [&, r] {
      problems[r] = MakeProblem(doc, reference, density, kSyncRates[r].Ratio(), max_lag);
      return RunPass(problems[r], lags, max_lag, penalty, options.splits, results[r], nullptr,
                     nullptr, [&](size_t) {
                       done.fetch_add(64);
                       return !stop.load();
                     });
    }));
    // Two at a time: the machine has two cores, and the prefix sums are large.
    if (runs.size() == 2 || r + 1 == kSyncRateCount) {
      for (;;) {
        bool all = true;
        for (auto& f : runs)
          if (f.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) all = false;
        if (progress &&
            !progress(std::min(1.0, static_cast<double>(done) / (passes * static_cast<double>(n)))))
          stop = true;
        if (all) break;
      }
      for (auto& f : runs) f.get();
      runs.clear();
      if (stop) {
        fit.cancelled = true;
        return fit;
      }
    }
  }
  int rate = 0;
  for (int r = 1; r < kSyncRateCount; ++r) {
    const double v = options.splits ? results[r].split_value : results[r].single_value;
    const double v0 = options.splits ? results[rate].split_value : results[rate].single_value;
    if (v > v0) rate = r;
  }
  fit.rate = rate;
  const RateProblem& p = problems[rate];
  std::vector<int> lag_of(n, results[rate].single_lag);
  if (options.splits) {
    std::vector<uint64_t> switched;
    std::vector<int> best_at;
    PassResult again;
    const bool ok =
        RunPass(p, lags, max_lag, penalty, true, again, &switched, &best_at, [&](size_t) {
          done.fetch_add(64);
          return !progress || progress(std::min(1.0, static_cast<double>(done) /
                                                         (passes * static_cast<double>(n))));
        });
    if (!ok) {
      fit.cancelled = true;
      return fit;
    }
    const size_t words = (static_cast<size_t>(lags) + 63) / 64;
    int k = best_at[n - 1];
    for (size_t i = n; i-- > 0;) {
      lag_of[i] = k;
      if (i > 0 && (switched[i * words + (k >> 6)] >> (k & 63) & 1)) k = best_at[i - 1];
    }
  }
  // Segments, each refined to whole frames around its coarse lag.
  fit.segments.clear();
  for (size_t first = 0; first < n;) {
    size_t last = first + 1;
    while (last < n && lag_of[last] == lag_of[first]) ++last;
    const int64_t coarse = static_cast<int64_t>(lag_of[first]) * kCoarseStep - max_lag;
    int64_t best_lag = coarse;
    double best = SegmentScore(p, first, last, coarse);
    for (int64_t d = -kRefine; d <= kRefine; ++d) {
      const double s = SegmentScore(p, first, last, coarse + d);
      if (s > best + 1e-9) {
        best = s;
        best_lag = coarse + d;
      }
    }
    fit.segments.push_back({static_cast<int>(first), best_lag * kSyncFrameSeconds});
    first = last;
  }
  fit.score = Agreement(doc, fit, reference);
  fit.accepted = fit.score >= options.min_score;
  return fit;
}

double FittedTime(const SyncFit& fit, int row, double seconds) {
  double offset = 0;
  for (const SyncSegment& s : fit.segments)
    if (s.first_row <= row) offset = s.offset;
  return seconds * kSyncRates[fit.rate].Ratio() + offset;
}

void ApplyFit(SubtitleDocument& doc, const SyncFit& fit) {
  double previous_start = 0;
  for (int i = 0; i < doc.Count(); ++i) {
    const double start = doc.Time(i, kStart), end = doc.Time(i, kEnd);
    double new_start = std::max(0.0, FittedTime(fit, i, start));
    // Where a split moves a part back over the part before, its subtitles wait for it.
    new_start = std::max(new_start, previous_start);
    const double new_end =
        std::max(new_start, new_start + (FittedTime(fit, i, end) - FittedTime(fit, i, start)));
    doc.SetTime(i, kStart, new_start);
    doc.SetTime(i, kEnd, new_end);
    previous_start = new_start;
  }
}

std::u16string RateText(const SyncRate& rate) {
  if (rate.None()) return u"none";
  char buf[48];
  std::snprintf(buf, sizeof buf, "%g -> %g", std::round(rate.from * 1000) / 1000,
                std::round(rate.to * 1000) / 1000);
  return FromUtf8(buf);
}

std::u16string OffsetText(double seconds) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%+.3f s", std::fabs(seconds) < 0.0005 ? 0.0 : seconds);
  return FromUtf8(buf);
}

std::u16string DescribeFit(const SubtitleDocument& doc, const SyncFit& fit) {
  std::u16string s = u"Offset " + OffsetText(fit.segments.empty() ? 0 : fit.segments[0].offset);
  s += u", rate " + RateText(kSyncRates[fit.rate]);
  const size_t splits = fit.segments.empty() ? 0 : fit.segments.size() - 1;
  if (splits == 0) {
    s += u", no splits";
  } else {
    s += u", " + FromUtf8(std::to_string(splits)) + (splits == 1 ? u" split at " : u" splits at ");
    for (size_t k = 1; k < fit.segments.size(); ++k) {
      const int row = fit.segments[k].first_row;
      if (k > 1) s += u", ";
      s += FormatTimeText(std::max(0.0, FittedTime(fit, row, doc.Time(row, kStart))));
    }
  }
  char buf[32];
  std::snprintf(buf, sizeof buf, ", score %.2f.", fit.score);
  return s + FromUtf8(buf);
}

}  // namespace tessera
