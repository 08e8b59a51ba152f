// Editing the document at the movie's playback position: the Play Movie page's line fields,
// time spins, Auto, Insert/Delete/Split Line, and resynchronising with the two sync marks.
// The operations keep no state; the page holds it and passes it in.
#pragma once

#include <cstdint>
#include <string>

#include "core/app_settings.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"
#include "core/time_code.h"
#include "workbench/change_set.h"

namespace tessera {

enum class PlayState : int { Stopped = 0, Paused = 1, Playing = 2 };

// Positions are in 100-nanosecond units.
inline constexpr int64_t kTicksPerSecond = 10000000;

struct MoviePageState {
  int current = -1;     // the subtitle the page is on, -1 for none
  int first_mark = -1;  // Shift's anchor
  int last_mark = -1;   // Stretch's anchor
  double reference_time = 0.0;
};

// A time text in whole milliseconds. Times at the movie position are compared this way, so that a
// gap of exactly a limit is refused or allowed the same way every time.
int64_t TimeTextMs(std::u16string_view text);
// TimeTextMs of a time cell, read without a copy of its text.
int64_t TimeCellMs(const SubtitleDocument& doc, int row, int column);

// What the page has to do after an operation.
struct MovieEditEffect {
  bool applied = false;                // false: refused (beeped or told) or nothing to do
  unsigned changed = kRefreshNothing;  // what the list shows again (kRefreshRows, kRefreshRowCount)
  bool pause = false;                  // pause playback (editing controls on, position timer off)
  bool seek_to_current = false;
  int64_t seek_position = -1;      // seek there without showing the frame; -1 none
  bool show_times = false;         // show the current subtitle's start and duration again
  bool clear_line_fields = false;  // enable both line fields and empty them
};

// Marks on the first and the last row, the reference time at the first start; all -1 (and 0)
// for an empty document. Used whenever the page opens a subtitle file or is created.
void ResetMarks(const SubtitleDocument& doc, MoviePageState& state);

// "MaxNumberCharacters" minus the characters of a line field's text; may be negative.
int RemainingCharacters(const AppSettings& app, std::u16string_view text);

// The start and duration displays of a subtitle: whole hours and minutes are dropped from the
// duration, so 75.250 s shows "15" and "250". Empty without a row.
using CurrentTimesText = TimeDisplayTexts;
CurrentTimesText CurrentTimes(const SubtitleDocument& doc, int row);

// The text of line field `line` (0 or 1) was typed into.
MovieEditEffect EditLine(SubtitleDocument& doc, const MoviePageState& state, int line,
                         const std::u16string& text, Prompter& prompter);

// Moves the current subtitle 0.1 s later or earlier, keeping more than 0.05 s to its neighbours.
MovieEditEffect NudgeStart(SubtitleDocument& doc, const MoviePageState& state, bool later,
                           Prompter& prompter);
// Lengthens or shortens the current subtitle by `step` seconds.
MovieEditEffect NudgeEnd(SubtitleDocument& doc, const MoviePageState& state, double step,
                         bool longer, Prompter& prompter);
// A duration from the length of the two lines, at least "Minimum Duration".
MovieEditEffect AutoDuration(SubtitleDocument& doc, const MoviePageState& state,
                             const AppSettings& app, Prompter& prompter);

// A new empty subtitle of "Minimum Duration" at the playback position; without a movie (or at
// position 0) right after the selected row. Neighbours are moved or the insert is refused.
MovieEditEffect InsertAtPosition(SubtitleDocument& doc, MoviePageState& state,
                                 const AppSettings& app, SettingsStore& store, PlayState play,
                                 bool has_movie, int64_t position, int selected_row,
                                 Prompter& prompter);
// Removes the selected row. Does nothing while playing.
MovieEditEffect DeleteSelected(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                               int selected_row, Prompter& prompter);
// Divides the current subtitle in two, the time in proportion to the lengths of its lines.
MovieEditEffect SplitCurrent(SubtitleDocument& doc, MoviePageState& state, Prompter& prompter);

// Not playing: the selected row becomes the first mark. Playing: every subtitle moves so that
// the first-mark subtitle starts at the position.
MovieEditEffect Shift(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                      int64_t position, int selected_row, Prompter& prompter);
// Not playing: the selected row becomes the last mark. Playing: the subtitles from the first to
// the last mark are stretched so that the last-mark subtitle starts at the position.
MovieEditEffect Stretch(SubtitleDocument& doc, MoviePageState& state, PlayState play,
                        int64_t position, int selected_row, Prompter& prompter);

}  // namespace tessera
