#include "pages/play_movie/play_movie_page.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "core/qt_text_qt.h"
#include "core/text_util.h"
#include "movie/play_movie.h"
#include "pages/play_movie/movie_panel_widget.h"
#include "pages/play_movie/picture_strip_layout.h"
#include "pages/play_movie/waveform_widget.h"
#include "sound/sound_loader_qt.h"
#include "spelling/spelling_session.h"
#include "ui/accessible_names.h"
#include "ui/cd_player_display.h"
#include "ui/spelling_marker.h"
#include "ui/spin_arrows.h"
#include "ui/subtitle_list_view.h"
#include "workbench/file_commands.h"

namespace tessera {
namespace {

constexpr int kRefreshMs = 100;
constexpr int kReloadMs = 25;
constexpr int kListHeightWithLargeMovie = 130;
constexpr char16_t kNoSubtitles[] = u"<<< NO SUBTITLE FILE LOADED >>>";

// Stand-ins for the page's player and volume when the window was built without them.
class NoPlayer final : public MoviePlayer {
 public:
  bool LoadSource(std::u16string_view, int) override { return false; }
  bool StartPlayback() override { return false; }
  bool Pause() override { return false; }
  bool HaltPlayback() override { return false; }
  bool ShowFrame() override { return false; }
  bool TearDown() override { return true; }
  bool HasGraph() const override { return false; }
  int64_t Duration() override { return 0; }
  int64_t Position() override { return 0; }
  bool Seek(int64_t) override { return false; }
  bool NativeVideoRect(int&, int&) override { return false; }
  void SetOverlayLines(const std::u16string&, const std::u16string&) override {}
  void OverlayLines(std::u16string& u, std::u16string& l) const override {
    u.clear();
    l.clear();
  }
  void SetViewSize(int, int) override {}
  PictureView Picture() const override { return {}; }
  void SetChangeListener(std::function<void()>) override {}
  const std::u16string& LastError() const override { return error_; }

 private:
  std::u16string error_;
};

class NoVolume final : public IVolume {
 public:
  bool IsVolumeAvailable() override { return false; }
  bool SwitchLineOn() override { return false; }
  bool SwitchLineOff() override { return false; }
  int64_t VolumeSteps() override { return -1; }
  int64_t LowestVolume() override { return -1; }
  int64_t HighestVolume() override { return -1; }
  int64_t CurrentVolume() override { return -1; }
  void SetVolume(uint32_t) override {}
  void SetVolumeListener(Listener, void*) override {}
};

void SetDisplayText(CCDPlayerDisplay* display, const std::u16string& text) {
  display->SetText(ToQ(text));
}

std::u16string DisplayText(const CCDPlayerDisplay* display) {
  return display->Lines().isEmpty() ? std::u16string() : FromQ(display->Lines().front());
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

CPositionBar::CPositionBar(QWidget* parent) : QProgressBar(parent) {
  setRange(0, 1000);
  setValue(0);
  setTextVisible(false);
  setFixedHeight(12);
  setCursor(Qt::PointingHandCursor);
}

void CPositionBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    emit Clicked(static_cast<int>(event->position().x()), width());
}

PageLayout CTranslatePage::Layout(CTranslatePage* page) {
  auto call = [page](unsigned (CTranslatePage::*f)()) {
    return [page, f] { return (page->*f)(); };
  };
  auto editing = [page] { return page->editing_; };
  auto playing = [page] { return page->play_ == PlayState::Playing; };
  // A key meant for a line field stays the field's.
  auto unless_in_field = [page] { return page->FocusedLineField() ? KeyUse::kPass : KeyUse::kRun; };
  PageLayout l;
  l.title_id = 1601;
  l.description_id = 1602;
  l.buttons = {{
      {"openAvi", 1603, u"Open AVI", {}, call(&CTranslatePage::OpenMovieDialog)},
      // While playing the key does nothing at all, not even in a line field.
      {"deleteLine",
       1604,
       u"Del. Line",
       editing,
       call(&CTranslatePage::DeleteLine),
       u"Delete Line",
       {Qt::Key_Delete, [=] { return playing() ? KeyUse::kSwallow : unless_in_field(); }}},
      {"insertLine",
       1605,
       u"Insert Line",
       {},
       call(&CTranslatePage::InsertLine),
       u"Insert Line",
       {Qt::Key_Insert, unless_in_field}},
      {"splitLine", 1606, u"Split Line", editing, call(&CTranslatePage::SplitLine), u"Split Line"},
      {"shift", 1607, u"Shift", {}, call(&CTranslatePage::ShiftSubtitles), u"Shift"},
      {"stretch", 1608, u"Stretch", {}, call(&CTranslatePage::StretchSubtitles), u"Stretch"},
      {"openSub", 1609, u"Open Sub", {}, call(&CTranslatePage::OpenSubtitleDialog)},
      {"saveSub", 1610, u"Save Sub", {}, call(&CTranslatePage::SaveSubtitle)},
      {"find", 0, u"Find", {}, [page] { return page->Find(), 0u; }, nullptr, {CtrlKey(Qt::Key_F)}},
      {"replace",
       0,
       u"Replace",
       {},
       [page] { return page->Replace(), 0u; },
       nullptr,
       {CtrlKey(Qt::Key_H)}},
  }};
  const auto to_row = [page](bool first) {
    return [page, first] {
      page->state_.current = first ? 0 : page->ctx_.doc.Count() - 1;
      page->SeekToCurrent();
      return 0u;
    };
  };
  l.keys = {
      {nullptr, 0, u"First subtitle", {}, to_row(true), nullptr, {Qt::Key_Home, unless_in_field}},
      {nullptr, 0, u"Last subtitle", {}, to_row(false), nullptr, {Qt::Key_End, unless_in_field}},
      {nullptr,
       0,
       u"Next field",
       {},
       [page] { return page->NextField(), 0u; },
       nullptr,
       {Qt::Key_Return}},
      {nullptr,
       0,
       u"Play line",
       {},
       [page] { return page->PlayLine(), 0u; },
       nullptr,
       {CtrlKey(Qt::Key_Space)}},
      {nullptr,
       0,
       u"Find Next",
       {},
       [page] { return page->SearchNext(), 0u; },
       nullptr,
       {Qt::Key_F3}},
      {nullptr,
       0,
       u"Quick Save",
       {},
       [page] {
         QGuiApplication::setOverrideCursor(Qt::WaitCursor);
         QuickSave(page->ctx_);
         QGuiApplication::restoreOverrideCursor();
         return unsigned{kRefreshCaption};
       },
       nullptr,
       {CtrlKey(Qt::Key_S), [=] { return playing() ? KeyUse::kSwallow : KeyUse::kRun; }}},
  };
  l.list = true;
  l.log = false;
  return l;
}

CTranslatePage::CTranslatePage(PageContext& ctx, QWidget* parent)
    : SearchingSheetPage(ctx, Layout(this), parent), player_(ctx.player), volume_(ctx.volume) {
  if (!player_) player_ = (own_player_ = std::make_unique<NoPlayer>()).get();
  if (!volume_) volume_ = (own_volume_ = std::make_unique<NoVolume>()).get();
  timer_ = new QTimer(this);
  timer_->setInterval(kRefreshMs);
  connect(timer_, &QTimer::timeout, this, &CTranslatePage::RefreshFromPosition);
  BuildControls();

  // Fixed row colours with the two sync marks; the first mark wins when both are on one row.
  SubtitleListModel* model = List()->Model();
  model->SetRowColour([this](int row) {
    if (row == state_.first_mark) return QColor(0, 0, 128);
    if (row == state_.last_mark) return QColor(0, 128, 0);
    return row % 2 == 0 ? QColor(240, 255, 240) : QColor(Qt::white);
  });
  model->SetRowTextColour([this](int row) {
    return row == state_.first_mark || row == state_.last_mark ? QColor(Qt::white) : QColor();
  });
  connect(List(), &SubtitleListView::CurrentRowChanged, this, &CTranslatePage::RowSelected);

  volume_->SetVolumeListener(
      [](int64_t value, void* page) {
        static_cast<CTranslatePage*>(page)->VolumeChangedElsewhere(value);
      },
      this);
  ApplyOwnCaptions();
  Apply(kRefreshNothing);
}

CTranslatePage::~CTranslatePage() {
  timer_->stop();
  sound_->Cancel();
  volume_->SetVolumeListener(nullptr, nullptr);
}

void CTranslatePage::BuildControls() {
  movie_area_ = new QWidget(this);
  auto* area = new QVBoxLayout(movie_area_);
  area->setContentsMargins(0, 0, 0, 0);
  area->setSpacing(4);

  panel_ = new CMyMoviePanel(*player_, ctx_.app, movie_area_);
  panel_->setObjectName(QStringLiteral("moviePanel"));
  panel_->SetBackgroundColour(Qt::black);
  // A large movie takes the extra room and the list keeps its height; else the list takes it.
  if (ctx_.app.resize_movie_window) List()->setMaximumHeight(kListHeightWithLargeMovie);

  sound_ = std::make_unique<SoundLoader>();
  connect(sound_.get(), &SoundLoader::Finished, this, &CTranslatePage::SoundFinished);
  strip_ = new WaveformStrip(*sound_, ctx_.doc, movie_area_);
  connect(strip_, &WaveformStrip::SeekRequested, this,
          [this](double seconds) { SeekTo(static_cast<int64_t>(seconds * 1e7 + 0.5)); });
  connect(strip_, &WaveformStrip::SubtitleActivated, this, [this](int row) {
    SelectRow(row);
    RowSelected(row);
  });
  connect(strip_, &WaveformStrip::TimingChanged, this, &CTranslatePage::StripTimingChanged);
  connect(strip_, &WaveformStrip::TimingFinished, this, &CTranslatePage::StripTimingFinished);
  picture_strip_ = new PictureStripLayout(panel_, strip_, ctx_.app.resize_movie_window != 0);
  picture_strip_->setSpacing(4);
  area->addLayout(picture_strip_, ctx_.app.resize_movie_window ? 1 : 0);

  bar_ = new CPositionBar(movie_area_);
  bar_->setObjectName(QStringLiteral("positionBar"));
  connect(bar_, &CPositionBar::Clicked, this, &CTranslatePage::SeekToBar);
  area->addWidget(bar_);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(4);
  auto* transport = new QHBoxLayout;
  auto* play = MakeButton(movie_area_, "play", QStringLiteral("&Play"));
  auto* pause = MakeButton(movie_area_, "pause", QStringLiteral("P&ause"));
  auto* stop = MakeButton(movie_area_, "stop", QStringLiteral("&Stop"));
  connect(play, &QPushButton::clicked, this, &CTranslatePage::Play);
  connect(pause, &QPushButton::clicked, this, &CTranslatePage::Pause);
  connect(stop, &QPushButton::clicked, this, &CTranslatePage::Stop);
  play_button_ = play;
  pause_button_ = pause;
  stop_button_ = stop;
  for (QWidget* w : {play_button_, pause_button_, stop_button_}) {
    w->setMaximumWidth(72);
    transport->addWidget(w);
  }
  grid->addLayout(transport, 0, 0);

  // Arrows are no words: the accessible name says how far the button goes.
  const auto seek_button = [&](const char* name, const char* text, const char* spoken, int column,
                               auto handler) {
    auto* b = MakeButton(movie_area_, name, QString::fromLatin1(text));
    b->setFixedWidth(32);
    b->setAccessibleName(QString::fromLatin1(spoken));
    connect(b, &QPushButton::clicked, this, handler);
    grid->addWidget(b, 0, column);
  };
  seek_button("back10", "<<", "Back 10 subtitles", 1, [this] { Backward(10); });
  seek_button("back1", "<", "Back 1 subtitle", 2, [this] { Backward(1); });
  seek_button("forward1", ">", "Forward 1 subtitle", 5, [this] { Forward(1); });
  seek_button("forward10", ">>", "Forward 10 subtitles", 6, [this] { Forward(10); });

  QFont line_font(QStringLiteral("Courier New"), 10);
  line_font.setStyleHint(QFont::Monospace);
  for (int i = 0; i < 2; ++i) {
    line_[i] = new QLineEdit(movie_area_);
    line_[i]->setObjectName(i == 0 ? QStringLiteral("line1") : QStringLiteral("line2"));
    line_[i]->setFont(line_font);
    line_[i]->setAlignment(Qt::AlignCenter);
    line_[i]->installEventFilter(this);
    connect(line_[i], &QLineEdit::textEdited, this, [this, i] { LineTyped(i); });
    markers_[i] = new SpellingMarker(line_[i], ctx_.spelling, ctx_.lang);
    connect(markers_[i], &SpellingMarker::ReplaceRequested, this,
            [this, i](int start, int length, const QString& replacement) {
              // Through the typing path, as one step of its own.
              EndTyping();
              line_[i]->setSelection(start, length);
              line_[i]->insert(replacement);
              EndTyping();
            });
    connect(markers_[i], &SpellingMarker::KnownWordsChanged, this, [this] {
      for (SpellingMarker* m : markers_) m->Remark();
    });
    remaining_[i] = new QLineEdit(movie_area_);
    remaining_[i]->setObjectName(i == 0 ? QStringLiteral("remaining1")
                                        : QStringLiteral("remaining2"));
    remaining_[i]->setReadOnly(true);
    remaining_[i]->setFocusPolicy(Qt::NoFocus);
    remaining_[i]->setAlignment(Qt::AlignCenter);
    remaining_[i]->setFixedWidth(40);
    line_[i]->setAccessibleName(QStringLiteral("Line %1").arg(i + 1));
    remaining_[i]->setAccessibleName(QStringLiteral("Characters left, line %1").arg(i + 1));
    grid->addWidget(line_[i], i, 3);
    grid->addWidget(remaining_[i], i, 4);
  }
  grid->setColumnStretch(3, 1);

  position_display_ = new CCDPlayerDisplay(11, 1, movie_area_);
  position_display_->setObjectName(QStringLiteral("positionDisplay"));
  position_display_->SetCaption(QStringLiteral("Position"));
  SetDisplayText(position_display_, u"0:00:00.000");

  auto* volume_row = new QHBoxLayout;
  volume_label_ = new QLabel(QStringLiteral("Volume:"), movie_area_);
  volume_slider_ = new QSlider(Qt::Horizontal, movie_area_);
  volume_slider_->setObjectName(QStringLiteral("volume"));
  volume_slider_->setRange(0, 100);
  volume_slider_->setValue(
      VolumeSliderPosition(volume_->HighestVolume(), volume_->CurrentVolume()));
  // Only dragging the thumb sets the volume; keys and clicks in the track just move it.
  connect(volume_slider_, &QSlider::sliderMoved, this, &CTranslatePage::OnVolumeDragged);
  volume_row->addWidget(volume_label_);
  volume_row->addWidget(volume_slider_, 1);
  auto* play_line = MakeButton(movie_area_, "playLine", QStringLiteral("Play line"));
  connect(play_line, &QPushButton::clicked, this, &CTranslatePage::PlayLine);
  play_line_button_ = play_line;
  volume_row->addWidget(play_line);
  grid->addLayout(volume_row, 1, 0);

  // The position and the current subtitle's times get a row of their own, so that the line
  // fields keep their width at the window's smallest size too.
  auto* times = new QHBoxLayout;
  times->setSpacing(3);
  times->addWidget(position_display_);
  times->addStretch(1);
  start_label_ = new QLabel(QStringLiteral("Start:"), movie_area_);
  start_display_ = new CCDPlayerDisplay(11, 1, movie_area_);
  duration_label_ = new QLabel(QStringLiteral("Duration:"), movie_area_);
  seconds_display_ = new CCDPlayerDisplay(2, 1, movie_area_);
  milliseconds_display_ = new CCDPlayerDisplay(3, 1, movie_area_);
  // The arrows: later / earlier, 1 s longer / shorter, 0.1 s longer / shorter.
  for (const char* name : {"startSpin", "secondsSpin", "millisecondsSpin"}) {
    spins_.push_back(new SpinArrows(movie_area_));
    spins_.back()->setObjectName(QString::fromLatin1(name));
    // As tall as the displays beside them, so the row does not take room from the movie.
    spins_.back()->setFixedHeight(start_display_->sizeHint().height());
  }
  connect(spins_[0], &SpinArrows::Stepped, this,
          [this](bool up) { Run([this, up] { return NudgeStart(up); }, u"Move Start"); });
  connect(spins_[1], &SpinArrows::Stepped, this,
          [this](bool up) { Run([this, up] { return NudgeEnd(1.0, up); }, u"Change Duration"); });
  connect(spins_[2], &SpinArrows::Stepped, this,
          [this](bool up) { Run([this, up] { return NudgeEnd(0.1, up); }, u"Change Duration"); });
  times->addWidget(start_label_);
  times->addWidget(start_display_);
  times->addWidget(spins_[0]);
  times->addSpacing(6);
  times->addWidget(duration_label_);
  times->addWidget(seconds_display_);
  times->addWidget(spins_[1]);
  times->addWidget(milliseconds_display_);
  times->addWidget(spins_[2]);
  auto* auto_button = MakeButton(movie_area_, "auto", QStringLiteral("Auto"));
  connect(auto_button, &QPushButton::clicked, this,
          [this] { Run([this] { return AutoDuration(); }, u"Auto"); });
  auto_button_ = auto_button;
  times->addWidget(auto_button_);
  grid->addLayout(times, 2, 0, 1, 7);
  area->addLayout(grid);

  AddBelowList(movie_area_, ctx_.app.resize_movie_window ? 3 : 0);
  SetLineFieldsEnabled(false);
  WriteLineFields();
}

void CTranslatePage::ApplyOwnCaptions() {
  const auto button = [this](QWidget* w, int id, const char* english) {
    static_cast<QPushButton*>(w)->setText(Caption(id, QString::fromLatin1(english)));
  };
  button(play_button_, 1611, "&Play");
  button(pause_button_, 1612, "P&ause");
  button(stop_button_, 1613, "&Stop");
  button(auto_button_, 1614, "Auto");
  volume_label_->setText(Caption(1615, QStringLiteral("Volume:")));
  duration_label_->setText(Caption(1616, QStringLiteral("Duration:")));
  start_label_->setText(Caption(1617, QStringLiteral("Start:")));
  button(play_line_button_, 1618, "Play line");
  strip_->SetTexts(Caption(1619, QStringLiteral("No movie loaded")),
                   Caption(1620, QStringLiteral("No sound")),
                   Caption(1621, QStringLiteral("Reading the sound")));
  // Names a screen reader says, after the captions they repeat.
  const QString start = NameOfLabel(start_label_->text());
  const QString duration = NameOfLabel(duration_label_->text());
  start_display_->SetCaption(start);
  seconds_display_->SetCaption(JoinedName(duration, QStringLiteral("seconds")));
  milliseconds_display_->SetCaption(JoinedName(duration, QStringLiteral("milliseconds")));
  spins_[0]->SetCaption(start);
  spins_[1]->SetCaption(JoinedName(duration, QStringLiteral("seconds")));
  spins_[2]->SetCaption(JoinedName(duration, QStringLiteral("tenths")));
  volume_slider_->setAccessibleName(NameOfLabel(volume_label_->text()));
}

// ---- State and controls

void CTranslatePage::AfterRefresh() {
  UpdateControls();
  strip_->SubtitlesChanged();
  strip_->SetCurrentRow(state_.current);
}

void CTranslatePage::UpdateControls() {
  play_button_->setEnabled(movie_loaded_);
  pause_button_->setEnabled(movie_loaded_ && pause_enabled_);
  stop_button_->setEnabled(movie_loaded_ && stop_enabled_);
  auto_button_->setEnabled(editing_);
  play_line_button_->setEnabled(movie_loaded_ && ctx_.doc.IsRow(state_.current));
  for (SpinArrows* b : spins_) b->setEnabled(editing_);
}

void CTranslatePage::SetEditingEnabled(bool on) {
  editing_ = on;
  Apply(kRefreshNothing);
}

void CTranslatePage::SetLineFieldsEnabled(bool on) {
  for (QLineEdit* l : line_) l->setEnabled(on);
}

void CTranslatePage::WriteLineFields() {
  // The page writes the fields itself: their change handlers stay out of it.
  updating_ = true;
  for (int i = 0; i < 2; ++i) {
    if (line_[i]->text() != ToQ(line_text_[i])) line_[i]->setText(ToQ(line_text_[i]));
    remaining_[i]->setText(QString::number(RemainingCharacters(ctx_.app, line_text_[i])));
  }
  updating_ = false;
}

std::u16string CTranslatePage::PositionDisplayText() const {
  return DisplayText(position_display_);
}
std::u16string CTranslatePage::StartDisplayText() const {
  return DisplayText(start_display_);
}
std::u16string CTranslatePage::SecondsDisplayText() const {
  return DisplayText(seconds_display_);
}
std::u16string CTranslatePage::MillisecondsDisplayText() const {
  return DisplayText(milliseconds_display_);
}

bool CTranslatePage::PositionTimerRunning() const {
  return timer_->isActive();
}

void CTranslatePage::ShowCurrentTimes() {
  const CurrentTimesText t = CurrentTimes(ctx_.doc, state_.current);
  SetDisplayText(start_display_, t.start);
  SetDisplayText(seconds_display_, t.seconds);
  SetDisplayText(milliseconds_display_, t.milliseconds);
}

void CTranslatePage::ClearTimes() {
  for (CCDPlayerDisplay* d : {start_display_, seconds_display_, milliseconds_display_}) d->Clear();
}

void CTranslatePage::ShowPosition(int64_t position) {
  bar_->setValue(BarPosition(position, ctx_.doc.MovieLength()));
  SetDisplayText(position_display_, PositionText(position));
  strip_->SetPosition(position / 1e7, play_ == PlayState::Playing);
}

void CTranslatePage::SelectRow(int row) {
  SubtitleListView* list = List();
  if (row < 0 || row >= list->Model()->rowCount()) return;
  const bool was = list_refreshing_;
  list_refreshing_ = true;
  const QModelIndex index = list->Model()->index(row, 0);
  list->selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  list->scrollTo(index);
  list_refreshing_ = was;
}

// ---- Playback

void CTranslatePage::Play() {
  if (!movie_loaded_) return;
  pause_enabled_ = stop_enabled_ = true;
  player_->StartPlayback();
  play_ = PlayState::Playing;
  timer_->start();
  SetEditingEnabled(false);
}

void CTranslatePage::Pause() {
  timer_->stop();
  play_until_ = -1;
  pause_enabled_ = stop_enabled_ = true;
  play_ = PlayState::Paused;
  if (player_->HasGraph()) player_->Pause();
  SetEditingEnabled(true);
}

void CTranslatePage::Stop() {
  timer_->stop();
  play_until_ = -1;
  pause_enabled_ = false;
  stop_enabled_ = true;
  player_->Seek(0);
  player_->HaltPlayback();
  player_->ShowFrame();
  play_ = PlayState::Stopped;
  state_.current = -1;
  list_refreshing_ = true;
  List()->clearSelection();
  list_refreshing_ = false;
  RefreshFromPosition();
  Apply(kRefreshNothing);
}

void CTranslatePage::RefreshFromPosition() {
  if (!player_->HasGraph()) return;
  const int64_t position = player_->Position();
  if (play_until_ >= 0 && play_ == PlayState::Playing) {
    // Playing one line: pause at its end, on time rather than at the next tick.
    const int64_t left_ms = (play_until_ - position) / 10000;
    if (left_ms <= 0) {
      Pause();
      return RefreshFromPosition();
    }
    if (left_ms < kRefreshMs)
      QTimer::singleShot(static_cast<int>(left_ms), this, [this] {
        if (play_until_ >= 0) RefreshFromPosition();
      });
  }
  ShowPosition(position);
  // The row the sync selects is not a user's choice.
  list_refreshing_ = true;
  SyncToPosition(position);
  list_refreshing_ = false;
}

void CTranslatePage::SyncToPosition(int64_t position) {
  SubtitleDocument& doc = ctx_.doc;
  if (doc.Count() == 0) {
    updating_ = true;
    line_[0]->setText(ToQ(kNoSubtitles));
    updating_ = false;
    return;
  }
  const int row = SubtitleAtPosition(doc, position);
  if (row < 0) {
    line_text_[0].clear();
    line_text_[1].clear();
    player_->SetOverlayLines({}, {});
    SetLineFieldsEnabled(false);
    ClearTimes();
  } else if (row != state_.current) {
    SelectRow(row);
    doc.SetCurrentRow(row);
    state_.current = row;
    strip_->SetCurrentRow(row);
    ShowCurrentTimes();
    line_text_[0] = doc.Line(row, 0);
    line_text_[1] = doc.Line(row, 1);
    player_->SetOverlayLines(line_text_[0], line_text_[1]);
    SetLineFieldsEnabled(true);
  }
  WriteLineFields();
}

void CTranslatePage::SeekToCurrent() {
  if (state_.current >= ctx_.doc.Count()) state_.current = -1;
  if (state_.current < 0) return;
  player_->Seek(TimeTextMs(ctx_.doc.Start(state_.current)) * 10000);
  if (player_->HasGraph() && play_ != PlayState::Playing) player_->ShowFrame();
  // The refresh finds the subtitle again and selects it.
  state_.current = -1;
  RefreshFromPosition();
}

void CTranslatePage::SeekToBar(int x, int width) {
  SeekTo(BarClickPosition(x, width, ctx_.doc.MovieLength()));
}

void CTranslatePage::SeekTo(int64_t position) {
  if (!player_->HasGraph()) return;
  play_until_ = -1;
  player_->Seek(position);
  if (play_ == PlayState::Stopped) {
    player_->HaltPlayback();
    player_->ShowFrame();
  }
  state_.current = -1;
  RefreshFromPosition();
}

void CTranslatePage::Forward(int n) {
  const int target = ForwardTarget(ctx_.doc, state_.current, n, player_->Position());
  if (target < 0) return ctx_.prompter.Beep();
  state_.current = target;
  SeekToCurrent();
}

void CTranslatePage::Backward(int n) {
  const int target = BackwardTarget(ctx_.doc, state_.current, n, player_->Position());
  if (target < 0) return ctx_.prompter.Beep();
  state_.current = target;
  SeekToCurrent();
}

void CTranslatePage::RowSelected(int row) {
  if (list_refreshing_) return;
  SetEditingEnabled(row >= 0 && play_ != PlayState::Playing);
  state_.current = row;
  ctx_.doc.SetCurrentRow(row);
  SeekToCurrent();
}

// ---- Movies and subtitle files

void CTranslatePage::OpenMovie(const std::u16string& path) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  if (play_ != PlayState::Stopped && player_->HasGraph()) player_->HaltPlayback();
  player_->TearDown();
  movie_loaded_ = player_->LoadSource(path);
  if (!movie_loaded_) {
    sound_->Cancel();
    strip_->SetMovieLength(0);
    QGuiApplication::restoreOverrideCursor();
    Apply(kRefreshNothing);
    ctx_.prompter.Beep();
    return;
  }
  panel_->SetShowPictures(false);
  // A new movie stands still at its start: Pause and Stop wait for Play.
  play_ = PlayState::Stopped;
  pause_enabled_ = stop_enabled_ = false;
  int w = 0, h = 0;
  if (player_->NativeVideoRect(w, h)) {
    picture_strip_->SetProportions(w, h);
    player_->ShowFrame();
  }
  ctx_.doc.SetMovieLength(player_->Duration());
  sound_->Load(ToUtf8(path));
  strip_->SetMovieLength(player_->Duration() / 1e7);
  bar_->setValue(0);
  QGuiApplication::restoreOverrideCursor();
  Apply(kRefreshNothing);
}

void CTranslatePage::ReloadMovie() {
  OpenMovie(ctx_.app.last_avi);
  state_.current = ctx_.doc.CurrentRow();
  SeekToCurrent();
}

unsigned CTranslatePage::OpenMovieDialog() {
  Pause();
  FileDialogRequest r;
  r.title = u"Select Movie";
  r.default_extension = u"*.avi";
  r.initial_folder = ctx_.store.GetString(u"Directories", u"Movie");
  r.filters = MovieFileFilters();
  r.overwrite_prompt = false;
  const std::optional<FileDialogAnswer> answer = ctx_.dialogs.OpenFile(r);
  if (!answer || answer->path.empty()) return kRefreshNothing;
  panel_->SetShowPictures(false);
  ctx_.app.last_avi = answer->path;
  RememberFolder(ctx_.store, u"Movie", answer->path);
  OpenMovie(ctx_.app.last_avi);
  state_.current = ctx_.doc.Count() > 0 ? 0 : -1;
  ctx_.doc.SetCurrentRow(state_.current);
  SelectRow(state_.current);
  SeekToCurrent();
  return kRefreshNothing;
}

unsigned CTranslatePage::OpenSubtitleDialog() {
  if (ctx_.host && !ctx_.host->MayReplaceDocument()) return kRefreshNothing;
  const int loaded = AskAndOpenDocument(ctx_);
  if (loaded < 0) return kRefreshNothing;
  ResetMarks(ctx_.doc, state_);
  state_.current = ctx_.doc.Count() > 0 ? 0 : -1;
  ctx_.doc.SetCurrentRow(state_.current);
  List()->Refill();
  SeekToCurrent();
  return (loaded ? kRefreshLoaded : kRefreshAll) | kRefreshCaption;
}

unsigned CTranslatePage::SaveSubtitle() {
  return AskAndSaveDocument(ctx_) ? unsigned{kRefreshCaption} : unsigned{kRefreshNothing};
}

// ---- Editing at the position

unsigned CTranslatePage::ApplyEffect(const MovieEditEffect& fx) {
  unsigned refresh = kRefreshNothing;
  if (fx.pause) Pause();
  refresh |= fx.changed;
  if (fx.seek_position >= 0 && player_->HasGraph()) {
    player_->Seek(fx.seek_position);
    ShowPosition(fx.seek_position);
  }
  if (fx.show_times) ShowCurrentTimes();
  if (fx.clear_line_fields) {
    SetLineFieldsEnabled(true);
    line_text_[0].clear();
    line_text_[1].clear();
    WriteLineFields();
    ctx_.doc.SetCurrentRow(state_.current);
    List()->Refill();
    SelectRow(state_.current);
  }
  if (fx.seek_to_current) {
    // The refreshed list is what the seek selects the row in.
    if (state_.current >= 0) ctx_.doc.SetCurrentRow(state_.current);
    List()->Refill();
    SeekToCurrent();
  }
  return refresh;
}

unsigned CTranslatePage::DeleteLine() {
  if (play_ == PlayState::Playing) return kRefreshNothing;
  return ApplyEffect(
      tessera::DeleteSelected(ctx_.doc, state_, play_, List()->FirstSelectedRow(), ctx_.prompter));
}

unsigned CTranslatePage::InsertLine() {
  return ApplyEffect(tessera::InsertAtPosition(ctx_.doc, state_, ctx_.app, ctx_.store, play_,
                                               player_->HasGraph(), player_->Position(),
                                               List()->FirstSelectedRow(), ctx_.prompter));
}

unsigned CTranslatePage::SplitLine() {
  return ApplyEffect(tessera::SplitCurrent(ctx_.doc, state_, ctx_.prompter));
}

unsigned CTranslatePage::ShiftSubtitles() {
  return ApplyEffect(tessera::Shift(ctx_.doc, state_, play_, player_->Position(),
                                    List()->FirstSelectedRow(), ctx_.prompter));
}

unsigned CTranslatePage::StretchSubtitles() {
  return ApplyEffect(tessera::Stretch(ctx_.doc, state_, play_, player_->Position(),
                                      List()->FirstSelectedRow(), ctx_.prompter));
}

unsigned CTranslatePage::AutoDuration() {
  if (!ctx_.doc.IsRow(state_.current)) return kRefreshNothing;
  return ApplyEffect(tessera::AutoDuration(ctx_.doc, state_, ctx_.app, ctx_.prompter));
}

unsigned CTranslatePage::NudgeStart(bool later) {
  return ApplyEffect(tessera::NudgeStart(ctx_.doc, state_, later, ctx_.prompter));
}

unsigned CTranslatePage::NudgeEnd(double step, bool longer) {
  return ApplyEffect(tessera::NudgeEnd(ctx_.doc, state_, step, longer, ctx_.prompter));
}

void CTranslatePage::LineTyped(int line) {
  if (updating_) return;
  for (int i = 0; i < 2; ++i) line_text_[i] = FromQ(line_[i]->text());
  if (!ctx_.doc.IsRow(state_.current)) {
    tessera::EditLine(ctx_.doc, state_, line, line_text_[line], ctx_.prompter);
    return;
  }
  RunTyped(state_.current, line, [this, line]() -> unsigned {
    const MovieEditEffect fx =
        tessera::EditLine(ctx_.doc, state_, line, line_text_[line], ctx_.prompter);
    if (!fx.applied) return kRefreshNothing;
    remaining_[line]->setText(QString::number(RemainingCharacters(ctx_.app, line_text_[line])));
    // The change shows on the paused picture at once.
    player_->SetOverlayLines(line_text_[0], line_text_[1]);
    if (player_->HasGraph()) player_->ShowFrame();
    return kRefreshRows;
  });
}

QLineEdit* CTranslatePage::FocusedLineField() const {
  for (QLineEdit* l : line_)
    if (l->hasFocus()) return l;
  return nullptr;
}

bool CTranslatePage::eventFilter(QObject* watched, QEvent* event) {
  for (int i = 0; i < 2; ++i) {
    if (watched != line_[i]) continue;
    if (event->type() == QEvent::FocusIn) {
      Pause();
      if (i == 0) line_[0]->deselect();
    } else if (event->type() == QEvent::FocusOut) {
      EndTyping();
    }
  }
  return CSheetPage::eventFilter(watched, event);
}

void CTranslatePage::NextField() {
  QLineEdit* focused = FocusedLineField();
  if (focused == line_[0]) {
    line_[1]->setFocus();
    line_[1]->deselect();
  } else if (focused == line_[1]) {
    if (state_.current < ctx_.doc.Count() - 1) {
      ++state_.current;
      SeekToCurrent();
    }
    line_[0]->setFocus();
    line_[0]->deselect();
  }
}

// ---- Search

void CTranslatePage::Find() {
  if (play_ == PlayState::Playing) return;
  RunFindDialog(ctx_.store, ctx_.dialogs, *this);
}

void CTranslatePage::SelectFirstRowIfNone() {
  // Here the test is the current subtitle, and the movie goes to the first one before searching.
  if (state_.current != -1 || ctx_.doc.Count() == 0) return;
  state_.current = 0;
  ctx_.doc.SetCurrentRow(0);
  SelectRow(0);
  SeekToCurrent();
}

void CTranslatePage::SearchNext() {
  if (play_ == PlayState::Playing || search_.text.empty()) return;
  if (!FindNext(ctx_.doc, search_, ctx_.prompter, ctx_.lang)) return;
  // The movie jumps to the subtitle found.
  state_.current = ctx_.doc.CurrentRow();
  SelectRow(state_.current);
  SeekToCurrent();
}

void CTranslatePage::Replace() {
  RunReplaceDialog(ctx_.store, ctx_.dialogs, *this);
}

void CTranslatePage::ShowLinesAgain() {
  // A replacement in the subtitle on screen shows in its fields and over the picture.
  if (!ctx_.doc.IsRow(state_.current)) return;
  line_text_[0] = ctx_.doc.Line(state_.current, 0);
  line_text_[1] = ctx_.doc.Line(state_.current, 1);
  WriteLineFields();
  player_->SetOverlayLines(line_text_[0], line_text_[1]);
}

unsigned CTranslatePage::ShowReplacement(bool) {
  ShowLinesAgain();
  return kRefreshRows;
}

// ---- The sound strip

void CTranslatePage::PlayLine() {
  if (!movie_loaded_ || !ctx_.doc.IsRow(state_.current)) return ctx_.prompter.Beep();
  const int row = state_.current;
  Pause();
  player_->Seek(TimeTextMs(ctx_.doc.Start(row)) * 10000);
  Play();
  play_until_ = TimeTextMs(ctx_.doc.End(row)) * 10000;
}

void CTranslatePage::StripTimingChanged(int row, double start, double end) {
  if (!ctx_.doc.IsRow(row)) return;
  if (timing_row_ != row) {
    timing_row_ = row;
    timing_before_ = {ctx_.doc.Time(row, kStart), ctx_.doc.Time(row, kEnd)};
  }
  // The list and the time fields follow the drag; the undo step is made when it ends.
  ctx_.doc.SetTime(row, kStart, start);
  ctx_.doc.SetTime(row, kEnd, end);
  if (row == state_.current) ShowCurrentTimes();
  Apply(kRefreshRows);
}

void CTranslatePage::StripTimingFinished(int row) {
  if (timing_row_ != row || !ctx_.doc.IsRow(row)) return;
  timing_row_ = -1;
  const SubtitleTimes after{ctx_.doc.Time(row, kStart), ctx_.doc.Time(row, kEnd)};
  ctx_.doc.SetTime(row, kStart, timing_before_.start);
  ctx_.doc.SetTime(row, kEnd, timing_before_.end);
  if (after.start == timing_before_.start && after.end == timing_before_.end) {
    Apply(kRefreshRows);
    return;
  }
  timing_label_ = u"Time line " + FromUtf8(std::to_string(row + 1));
  Run(
      [this, row, after] {
        ctx_.doc.SetTime(row, kStart, after.start);
        ctx_.doc.SetTime(row, kEnd, after.end);
        ctx_.doc.SetChanged(true);
        if (row == state_.current) ShowCurrentTimes();
        return unsigned{kRefreshRows};
      },
      timing_label_.c_str());
}

void CTranslatePage::SoundFinished(const QString& message) {
  if (!message.isEmpty()) ctx_.doc.AppendLog(FromQ(message));
}

// ---- Volume

void CTranslatePage::OnVolumeDragged(int position) {
  volume_->LowestVolume();
  volume_->SetVolume(VolumeForSliderPosition(position, volume_->HighestVolume()));
  SetDisplayText(position_display_, VolumeText(position));
}

void CTranslatePage::VolumeChangedElsewhere(int64_t value) {
  if (volume_slider_->isSliderDown()) return;
  volume_slider_->setValue(VolumeSliderPosition(volume_->HighestVolume(), value));
}

// ---- Page events

void CTranslatePage::OnActivate() {
  if (!shown_) {
    // What the page does when it is first shown: the window opens with the subtitle file of the
    // command line already loaded.
    shown_ = true;
    ResetMarks(ctx_.doc, state_);
    if (ctx_.app.reload_avi) QTimer::singleShot(kReloadMs, this, &CTranslatePage::ReloadMovie);
  }
  state_.current = ctx_.doc.CurrentRow();
  if (ctx_.spelling) ctx_.spelling->Use(ctx_.app.spelling_language, &ctx_.doc.Log());
  CSheetPage::OnActivate();
  for (SpellingMarker* m : markers_) m->Remark();
  ApplyOwnCaptions();
  strip_->SubtitlesChanged();  // other pages may have changed the times
  SeekToCurrent();
  List()->setFocus();
}

void CTranslatePage::OnDeactivate() {
  CSheetPage::OnDeactivate();
  Pause();
}

void CTranslatePage::OnWindowClosing() {
  timer_->stop();
  sound_->Cancel();
  if (player_->HasGraph()) player_->HaltPlayback();
}

}  // namespace tessera
