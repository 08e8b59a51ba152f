// The movie player over libmpv: one mpv core per loaded movie, the picture rendered in software
// into memory on the UI thread, sound through mpv's own audio output.
//
// libmpv's wakeup and render-update callbacks come from mpv's threads; they only post a queued
// call to this object, which then drains the events or renders on the UI thread.
#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <string>

#include "movie/movie_player.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;

namespace tessera {

class CVMR9Graph final : public QObject, public MoviePlayer {
  Q_OBJECT
 public:
  // `audio_output` is mpv's "ao" option ("null" plays silently); empty lets mpv choose.
  explicit CVMR9Graph(std::string audio_output = {}, QObject* parent = nullptr);
  ~CVMR9Graph() override;

  bool LoadSource(std::u16string_view path, int layer = 0) override;
  bool StartPlayback() override;
  bool Pause() override;
  bool HaltPlayback() override;
  bool ShowFrame() override;
  bool TearDown() override;
  bool HasGraph() const override { return mpv_ != nullptr; }

  int64_t Duration() override;
  int64_t Position() override;
  bool Seek(int64_t position) override;

  bool NativeVideoRect(int& width, int& height) override;
  void SetOverlayLines(const std::u16string& line1, const std::u16string& line2) override;
  void OverlayLines(std::u16string& upper, std::u16string& lower) const override;

  void SetViewSize(int width, int height) override;
  PictureView Picture() const override;
  void SetChangeListener(std::function<void()> listener) override;

  const std::u16string& LastError() const override { return last_error_; }

  // An integer property of the playing core (e.g. "frame-drop-count"); -1 when there is none.
  int64_t IntProperty(const char* name) const;
  // Pictures rendered since the player was made, and the UI thread's time spent rendering them.
  int64_t FramesRendered() const { return frames_rendered_; }
  double RenderSeconds() const { return render_seconds_; }

 private:
  bool Fail(int line, const char* text, unsigned code, int mpv_error = 0);
  bool Build();
  void DrainEvents();
  void HandleEvent(const mpv_event& event);
  void RenderUpdate();
  void Render();
  void ReadVideoSize();
  void Changed();
  static void OnWakeup(void* self);
  static void OnRenderUpdate(void* self);

  std::string audio_output_;
  mpv_handle* mpv_ = nullptr;
  mpv_render_context* render_ = nullptr;
  std::atomic<bool> drain_posted_{false};
  std::atomic<bool> render_posted_{false};

  int native_width_ = 0, native_height_ = 0;
  int view_width_ = 0, view_height_ = 0;
  // The rendered picture; rows aligned for libmpv's fast paths.
  struct FreeBuffer {
    void operator()(unsigned char* p) const;
  };
  std::unique_ptr<unsigned char, FreeBuffer> buffer_;
  size_t buffer_bytes_ = 0;
  int picture_width_ = 0, picture_height_ = 0, picture_stride_ = 0;
  int64_t frames_rendered_ = 0;
  double render_seconds_ = 0;
  // Where the last seek goes until mpv reports playback restarted there; -1 when none is pending.
  int64_t pending_seek_ = -1;

  std::u16string upper_, lower_;
  std::function<void()> listener_;
  std::u16string last_error_;
};

}  // namespace tessera
