// The Play Movie page: the movie with the current subtitle over the picture, the list kept in step
// with the playback, the line fields and time displays of the current subtitle, editing at the
// position, resynchronising with two marks, opening and saving subtitles, search, the volume.
#pragma once

#include <QProgressBar>
#include <memory>
#include <vector>

#include "movie/movie_edit.h"
#include "movie/movie_player.h"
#include "movie/volume.h"
#include "sound/strip_timing.h"
#include "tools/find_replace.h"
#include "ui/searching_sheet_page.h"

class QLabel;
class QLineEdit;

namespace tessera {
class SpellingMarker;
}
class QSlider;
class QTimer;

namespace tessera {

class CCDPlayerDisplay;
class CMyMoviePanel;
class PictureStripLayout;
class SoundLoader;
class SpinArrows;
class WaveformStrip;

// The position bar: the filled part shows position / length on 0-1000; a click reports where.
class CPositionBar : public QProgressBar {
  Q_OBJECT
 public:
  explicit CPositionBar(QWidget* parent = nullptr);

 signals:
  void Clicked(int x, int width);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

class CTranslatePage : public SearchingSheetPage {
  Q_OBJECT
 public:
  explicit CTranslatePage(PageContext& ctx, QWidget* parent = nullptr);
  ~CTranslatePage() override;

  void OnActivate() override;
  void OnDeactivate() override;
  void OnWindowClosing() override;

  // SearchingPage: the Find and Replace dialogs search through these.
  void SelectFirstRowIfNone() override;
  void SearchNext() override;

  SpellingMarker* LineMarker(int line) const { return markers_[line]; }

  // What the page shows, for tests and the window.
  PlayState State() const { return play_; }
  int CurrentSubtitle() const { return state_.current; }
  const MoviePageState& MarksState() const { return state_; }
  std::u16string PositionDisplayText() const;
  std::u16string StartDisplayText() const;
  std::u16string SecondsDisplayText() const;
  std::u16string MillisecondsDisplayText() const;
  bool PositionTimerRunning() const;
  CMyMoviePanel* Panel() const { return panel_; }
  WaveformStrip* Strip() const { return strip_; }
  SoundLoader& Sound() const { return *sound_; }

  // The page's operations, as the buttons, keys and timers run them.
  void Play();
  void Pause();
  void Stop();
  void RefreshFromPosition();
  void SeekToCurrent();
  void SeekToBar(int x, int width);
  void SeekTo(int64_t position);
  // Plays the current subtitle's span and pauses at its end.
  void PlayLine();
  void Forward(int n);
  void Backward(int n);
  void OpenMovie(const std::u16string& path);
  void NextField();
  void Find();
  void Replace();

 protected:
  unsigned ShowReplacement(bool every_row) override;
  void AfterRefresh() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static PageLayout Layout(CTranslatePage* page);
  void BuildControls();
  void ApplyOwnCaptions();
  void UpdateControls();
  void SetEditingEnabled(bool on);
  void SetLineFieldsEnabled(bool on);
  void WriteLineFields();
  void ShowCurrentTimes();
  void ClearTimes();
  void SyncToPosition(int64_t position);
  void SelectRow(int row);
  void ShowPosition(int64_t position);
  void RowSelected(int row);
  void LineTyped(int line);
  void OnVolumeDragged(int position);
  void VolumeChangedElsewhere(int64_t value);
  void ReloadMovie();
  void StripTimingChanged(int row, double start, double end);
  void StripTimingFinished(int row);
  void SoundFinished(const QString& message);
  QLineEdit* FocusedLineField() const;

  unsigned OpenMovieDialog();
  unsigned OpenSubtitleDialog();
  unsigned SaveSubtitle();
  unsigned DeleteLine();
  unsigned InsertLine();
  unsigned SplitLine();
  unsigned ShiftSubtitles();
  unsigned StretchSubtitles();
  unsigned AutoDuration();
  unsigned NudgeStart(bool later);
  unsigned NudgeEnd(double step, bool longer);
  // Carries out what an editing operation asks of the page; returns the list refresh.
  unsigned ApplyEffect(const MovieEditEffect& effect);
  void ShowLinesAgain();

  MoviePlayer* player_;
  IVolume* volume_;
  std::unique_ptr<MoviePlayer> own_player_;
  std::unique_ptr<IVolume> own_volume_;

  PlayState play_ = PlayState::Stopped;
  MoviePageState state_;
  std::u16string line_text_[2];
  bool updating_ = false;
  bool list_refreshing_ = false;
  bool shown_ = false;
  bool movie_loaded_ = false;
  bool editing_ = false;
  bool pause_enabled_ = false;
  bool stop_enabled_ = false;

  CMyMoviePanel* panel_ = nullptr;
  CPositionBar* bar_ = nullptr;
  QTimer* timer_ = nullptr;
  QWidget* play_button_ = nullptr;
  QWidget* pause_button_ = nullptr;
  QWidget* stop_button_ = nullptr;
  QLineEdit* line_[2] = {nullptr, nullptr};
  SpellingMarker* markers_[2] = {nullptr, nullptr};
  QLineEdit* remaining_[2] = {nullptr, nullptr};
  CCDPlayerDisplay* position_display_ = nullptr;
  CCDPlayerDisplay* start_display_ = nullptr;
  CCDPlayerDisplay* seconds_display_ = nullptr;
  CCDPlayerDisplay* milliseconds_display_ = nullptr;
  QLabel* start_label_ = nullptr;
  QLabel* duration_label_ = nullptr;
  QLabel* volume_label_ = nullptr;
  QWidget* auto_button_ = nullptr;
  std::vector<SpinArrows*> spins_;
  QSlider* volume_slider_ = nullptr;
  QWidget* movie_area_ = nullptr;
  PictureStripLayout* picture_strip_ = nullptr;

  // The sound under the picture, and a subtitle being timed on it.
  std::unique_ptr<SoundLoader> sound_;
  WaveformStrip* strip_ = nullptr;
  QWidget* play_line_button_ = nullptr;
  int64_t play_until_ = -1;
  int timing_row_ = -1;
  SubtitleTimes timing_before_;
  std::u16string timing_label_;
};

}  // namespace tessera
