#include "movie/play_movie.h"

#include <cmath>

#include "core/text_util.h"
#include "core/time_code.h"
#include "movie/movie_edit.h"

namespace tessera {
namespace {

constexpr int64_t kTicks = 10000000;
constexpr int64_t kLookAheadMs = 100;

// The whole seconds of a position, in milliseconds: the seek buttons compare starts with it.
int64_t WholeSecondsMs(int64_t position) {
  return position / kTicks * 1000;
}

}  // namespace

std::u16string PositionText(int64_t p) {
  if (p < 0) p = 0;
  const long long hours = p / 36000000000LL;
  const long long rest = p % 36000000000LL;
  const long long minutes = rest / 600000000LL;
  const long long in_minute = rest % 600000000LL;
  return Format("%01lld:%02lld:%02lld.%03lld", hours, minutes, in_minute / kTicks,
                (in_minute % kTicks) / 10000);
}

int SubtitleAtPosition(const SubtitleDocument& doc, int64_t position) {
  // Whole milliseconds, so that a subtitle from 10.000 shows from 9.900 exactly.
  const int64_t t = position / 10000 + kLookAheadMs;
  for (int i = 0; i < doc.Count(); ++i)
    if (TimeCellMs(doc, i, kStart) <= t && t <= TimeCellMs(doc, i, kEnd)) return i;
  return -1;
}

int BarPosition(int64_t position, int64_t length) {
  if (length <= 0) return 0;
  return static_cast<int>(position * 1000 / length);
}

int64_t BarClickPosition(int x, int width, int64_t length) {
  if (width <= 0) return 0;
  const auto f = static_cast<int64_t>(std::floor(static_cast<double>(x) / width * 1000));
  return length / 1000 * f;
}

int ForwardTarget(const SubtitleDocument& doc, int current, int n, int64_t position) {
  const int count = doc.Count();
  if (doc.IsRow(current)) return current + n >= count ? -1 : current + n;
  const int64_t s = WholeSecondsMs(position);
  // The last subtitle is never examined here.
  for (int i = 0; i + 1 < count; ++i)
    if (TimeCellMs(doc, i, kStart) > s && i + n - 1 < count) return i + n - 1;
  return -1;
}

int BackwardTarget(const SubtitleDocument& doc, int current, int n, int64_t position) {
  const int count = doc.Count();
  const int64_t s = WholeSecondsMs(position);
  if (doc.IsRow(current)) {
    if (current - n < 0) return -1;
    // Past the end of the current subtitle, "<" goes back to its own start.
    if (TimeCellMs(doc, current, kEnd) < s) ++current;
    return current - n;
  }
  for (int i = 0; i + 1 < count; ++i)
    if (TimeCellMs(doc, i, kStart) > s && i - n >= 0) return i - n;
  return -1;
}

std::vector<FileFilter> MovieFileFilters() {
  return {
      {u"Movie files (*.avi, *.mpeg, *.mpg, *.mkv, *.mp4, *.m4v, *.webm, *.mov, *.ts, *.vob, "
       u"*.ogv)",
       u"*.avi;*.mpeg;*.mpg;*.mkv;*.mp4;*.m4v;*.webm;*.mov;*.ts;*.vob;*.ogv"},
      {u"Audio only files (*.mp2, *.ac3)", u"*.mp2;*.ac3"},
      {u"DVD2AVI projects (*.d2v)", u"*.d2v"},
      {u"All files (*.*)", u"*.*"},
  };
}

}  // namespace tessera
