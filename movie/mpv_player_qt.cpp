#include "movie/mpv_player_qt.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QMetaObject>
#include <QThread>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "core/text_util.h"

namespace tessera {
namespace {

constexpr unsigned kFail = 0x80004005;        // a missing object
constexpr unsigned kInvalidArg = 0x80070057;  // a bad argument
// How long opening a file may take before it counts as not openable.
constexpr double kLoadSeconds = 15.0;

double Seconds(int64_t ticks) {
  return static_cast<double>(ticks) / 10000000.0;
}

int64_t Ticks(double seconds) {
  return static_cast<int64_t>(seconds * 10000000.0 + (seconds < 0 ? -0.5 : 0.5));
}

}  // namespace

void CVMR9Graph::FreeBuffer::operator()(unsigned char* p) const {
  std::free(p);
}

CVMR9Graph::CVMR9Graph(std::string audio_output, QObject* parent)
    : QObject(parent), audio_output_(std::move(audio_output)) {}

CVMR9Graph::~CVMR9Graph() {
  TearDown();
}

bool CVMR9Graph::Fail(int line, const char* text, unsigned code, int mpv_error) {
  if (mpv_error < 0)
    last_error_ = Format("[ERROR in VMR9Graph, line %d] %s : COM Error 0x%x, %s", line, text, code,
                         mpv_error_string(mpv_error));
  else
    last_error_ = Format("[ERROR in VMR9Graph, line %d] %s : COM Error 0x%x", line, text, code);
  return false;
}

void CVMR9Graph::OnWakeup(void* self) {
  // Called on one of mpv's threads: nothing but a note to the UI thread.
  auto* graph = static_cast<CVMR9Graph*>(self);
  if (!graph->drain_posted_.exchange(true))
    QMetaObject::invokeMethod(graph, &CVMR9Graph::DrainEvents, Qt::QueuedConnection);
}

void CVMR9Graph::OnRenderUpdate(void* self) {
  auto* graph = static_cast<CVMR9Graph*>(self);
  if (!graph->render_posted_.exchange(true))
    QMetaObject::invokeMethod(graph, &CVMR9Graph::RenderUpdate, Qt::QueuedConnection);
}

bool CVMR9Graph::Build() {
  // libmpv refuses to start under a locale whose numbers are not written the C way.
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (!mpv_) return Fail(__LINE__, "Could not build the VMR, the graph isn't valid", kFail);
  const char* const options[][2] = {
      {"config", "no"},
      {"terminal", "no"},
      {"vo", "libmpv"},
      {"pause", "yes"},
      {"keep-open", "always"},
      {"hr-seek", "yes"},
      {"osc", "no"},
      {"osd-level", "0"},
      {"ytdl", "no"},
      {"load-scripts", "no"},
      {"input-default-bindings", "no"},
      {"input-vo-keyboard", "no"},
      {"sub-auto", "no"},
      {"sid", "no"},
      {"audio-file-auto", "no"},
      {"audio-display", "no"},
      {"hwdec", "no"},
      {"resume-playback", "no"},
      {"video-timing-offset", "0"},
  };
  for (const auto& o : options) mpv_set_option_string(mpv_, o[0], o[1]);
  if (!audio_output_.empty()) mpv_set_option_string(mpv_, "ao", audio_output_.c_str());
  if (int e = mpv_initialize(mpv_); e < 0) {
    TearDown();
    return Fail(__LINE__, "Could not build the VMR, the graph isn't valid", kFail, e);
  }
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  if (int e = mpv_render_context_create(&render_, mpv_, params); e < 0) {
    render_ = nullptr;
    TearDown();
    return Fail(__LINE__, "Could not create an instance ofthe VMR9", kFail, e);
  }
  mpv_render_context_set_update_callback(render_, &CVMR9Graph::OnRenderUpdate, this);
  mpv_set_wakeup_callback(mpv_, &CVMR9Graph::OnWakeup, this);
  return true;
}

bool CVMR9Graph::LoadSource(std::u16string_view path, int layer) {
  if (layer < 0 || layer > 9) return Fail(__LINE__, "Could not load the file", kInvalidArg);
  // Each movie gets a core of its own: nothing of the previous one remains.
  TearDown();
  if (!Build()) return false;
  std::error_code ec;
  // A relative name could be read as one of mpv's protocols ("av://...").
  std::filesystem::path file = std::filesystem::absolute(ToPath(path), ec);
  if (path.empty() || ec) {
    TearDown();
    return Fail(__LINE__, "Could not find a source filter for this file", kFail);
  }
  const std::string name = file.string();
  const char* command[] = {"loadfile", name.c_str(), "replace", nullptr};
  if (int e = mpv_command(mpv_, command); e < 0) {
    TearDown();
    return Fail(__LINE__, "Could not find a source filter for this file", kFail, e);
  }
  // Opening is asynchronous in mpv; the page wants to know at once whether the file plays.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(kLoadSeconds);
  while (true) {
    const double left =
        std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    mpv_event* e = mpv_wait_event(mpv_, left);
    if (e->event_id == MPV_EVENT_FILE_LOADED) {
      ReadVideoSize();
      Changed();
      return true;
    }
    if (e->event_id == MPV_EVENT_END_FILE) {
      const auto* end = static_cast<const mpv_event_end_file*>(e->data);
      const int error = end && end->reason == MPV_END_FILE_REASON_ERROR ? end->error : 0;
      TearDown();
      return Fail(__LINE__, "Could not find a source filter for this file", kFail, error);
    }
    if (e->event_id == MPV_EVENT_SHUTDOWN) break;
    HandleEvent(*e);
  }
  TearDown();
  return Fail(__LINE__, "Could not find a source filter for this file", kFail);
}

bool CVMR9Graph::StartPlayback() {
  if (!mpv_) return Fail(__LINE__, "Can't play, no graph", kFail);
  if (int e = mpv_set_property_string(mpv_, "pause", "no"); e < 0)
    return Fail(__LINE__, "Can't play, no VMR", kFail, e);
  return true;
}

bool CVMR9Graph::Pause() {
  if (!mpv_) return Fail(__LINE__, "Can't return IMediaControl, no graph", kFail);
  return mpv_set_property_string(mpv_, "pause", "yes") >= 0;
}

bool CVMR9Graph::HaltPlayback() {
  // mpv's own "stop" would unload the file; a stopped movie keeps its picture and position.
  if (!mpv_) return Fail(__LINE__, "Can't stop, no graph", kFail);
  return mpv_set_property_string(mpv_, "pause", "yes") >= 0;
}

bool CVMR9Graph::ShowFrame() {
  if (!mpv_) return Fail(__LINE__, "Can't return IMediaControl, no graph", kFail);
  mpv_set_property_string(mpv_, "pause", "yes");
  // A seek on its way shows its frame once it arrives; otherwise a paused exact seek decodes the
  // frame at the position, and mpv then asks for one render.
  if (pending_seek_ >= 0) return true;
  return Seek(Position());
}

bool CVMR9Graph::TearDown() {
  if (render_) {
    // The render context goes first: libmpv requires it gone before the core.
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
    render_ = nullptr;
  }
  if (mpv_) {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    mpv_terminate_destroy(mpv_);
    mpv_ = nullptr;
  }
  const bool had_something = native_width_ || picture_width_ || !upper_.empty() || !lower_.empty();
  native_width_ = native_height_ = 0;
  pending_seek_ = -1;
  picture_width_ = picture_height_ = picture_stride_ = 0;
  upper_.clear();
  lower_.clear();
  if (had_something) Changed();
  return true;
}

int64_t CVMR9Graph::Duration() {
  double d = 0;
  if (!mpv_ || mpv_get_property(mpv_, "duration", MPV_FORMAT_DOUBLE, &d) < 0) return 0;
  return Ticks(d);
}

int64_t CVMR9Graph::Position() {
  // mpv reports the old position until the seek has been carried out.
  if (pending_seek_ >= 0) return pending_seek_;
  double t = 0;
  if (!mpv_ || mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &t) < 0) return 0;
  return Ticks(t);
}

bool CVMR9Graph::Seek(int64_t position) {
  if (!mpv_) return false;
  char target[40];
  std::snprintf(target, sizeof target, "%.7f", Seconds(position < 0 ? 0 : position));
  const char* command[] = {"seek", target, "absolute+exact", nullptr};
  if (mpv_command(mpv_, command) < 0) return false;
  pending_seek_ = position < 0 ? 0 : position;
  return true;
}

int64_t CVMR9Graph::IntProperty(const char* name) const {
  int64_t v = -1;
  if (!mpv_ || mpv_get_property(mpv_, name, MPV_FORMAT_INT64, &v) < 0) return -1;
  return v;
}

void CVMR9Graph::ReadVideoSize() {
  int64_t w = IntProperty("dwidth"), h = IntProperty("dheight");
  if (w <= 0 || h <= 0) {
    w = IntProperty("width");
    h = IntProperty("height");
  }
  native_width_ = w > 0 && h > 0 ? static_cast<int>(w) : 0;
  native_height_ = w > 0 && h > 0 ? static_cast<int>(h) : 0;
}

bool CVMR9Graph::NativeVideoRect(int& width, int& height) {
  if (!mpv_) return Fail(__LINE__, "Can't return video size, no VMR", kFail);
  if (!native_width_) ReadVideoSize();
  if (!native_width_) return Fail(__LINE__, "Can't return video size, VMR error", kFail);
  width = native_width_;
  height = native_height_;
  return true;
}

void CVMR9Graph::SetOverlayLines(const std::u16string& line1, const std::u16string& line2) {
  // Without a movie there is no picture to draw on.
  if (!mpv_) return;
  std::u16string upper, lower;
  OverlayRows(line1, line2, upper, lower);
  if (upper == upper_ && lower == lower_) return;
  upper_ = std::move(upper);
  lower_ = std::move(lower);
  Changed();
}

void CVMR9Graph::OverlayLines(std::u16string& upper, std::u16string& lower) const {
  upper = upper_;
  lower = lower_;
}

void CVMR9Graph::SetViewSize(int width, int height) {
  if (width == view_width_ && height == view_height_) return;
  view_width_ = width;
  view_height_ = height;
  // A paused picture is drawn again at the new size.
  if (render_ && picture_width_) Render();
}

PictureView CVMR9Graph::Picture() const {
  if (!buffer_ || !picture_width_) return {};
  return {buffer_.get(), picture_width_, picture_height_, picture_stride_};
}

void CVMR9Graph::SetChangeListener(std::function<void()> listener) {
  listener_ = std::move(listener);
}

void CVMR9Graph::Changed() {
  if (listener_) listener_();
}

void CVMR9Graph::DrainEvents() {
  drain_posted_ = false;
  while (mpv_) {
    mpv_event* e = mpv_wait_event(mpv_, 0);
    if (e->event_id == MPV_EVENT_NONE) break;
    HandleEvent(*e);
  }
}

void CVMR9Graph::HandleEvent(const mpv_event& event) {
  if (event.event_id == MPV_EVENT_PLAYBACK_RESTART) {
    pending_seek_ = -1;
    // mpv drops a frame the UI thread did not take within 200 ms (a slow machine, a modal
    // dialog); a paused picture would then stay wrong. Drawing the current frame again mends it.
    if (render_ && native_width_) Render();
  }
  if (event.event_id == MPV_EVENT_VIDEO_RECONFIG) {
    ReadVideoSize();
    Changed();
  }
}

void CVMR9Graph::RenderUpdate() {
  render_posted_ = false;
  if (!render_) return;
  if (mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) Render();
}

void CVMR9Graph::Render() {
  int w = view_width_ > 0 ? view_width_ : native_width_;
  int h = view_height_ > 0 ? view_height_ : native_height_;
  if (w <= 0 || h <= 0) {
    w = 64;
    h = 48;
  }
  const int stride = (w * 4 + 63) / 64 * 64;
  const size_t bytes = static_cast<size_t>(stride) * static_cast<size_t>(h);
  if (!buffer_ || buffer_bytes_ < bytes) {
    buffer_.reset(static_cast<unsigned char*>(std::aligned_alloc(64, bytes)));
    buffer_bytes_ = buffer_ ? bytes : 0;
    if (!buffer_) return;
  }
  int size[2] = {w, h};
  size_t stride_bytes = static_cast<size_t>(stride);
  int block = 0;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_SW_SIZE, size},
      {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("bgr0")},
      {MPV_RENDER_PARAM_SW_STRIDE, &stride_bytes},
      {MPV_RENDER_PARAM_SW_POINTER, buffer_.get()},
      // The UI thread never waits for a frame's display time: mpv calls back when it is due.
      {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  const auto start = std::chrono::steady_clock::now();
  const int rendered = mpv_render_context_render(render_, params);
  render_seconds_ +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (rendered < 0) return;
  picture_width_ = w;
  picture_height_ = h;
  picture_stride_ = stride;
  ++frames_rendered_;
  Changed();
}

}  // namespace tessera
