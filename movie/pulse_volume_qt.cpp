#include "movie/pulse_volume_qt.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>

namespace tessera {
namespace {

// How long connecting may take before the volume counts as unavailable.
constexpr pa_usec_t kConnectTimeout = 3 * PA_USEC_PER_SEC;

struct Waiter {
  pa_threaded_mainloop* loop;
  bool ok = false;
  bool timed_out = false;
};

void SignalSuccess(pa_context*, int success, void* data) {
  auto* w = static_cast<Waiter*>(data);
  w->ok = success != 0;
  pa_threaded_mainloop_signal(w->loop, 0);
}

}  // namespace

struct CVolumeOutMaster::SinkState {
  pa_threaded_mainloop* loop = nullptr;
  bool found = false;
  std::string name;
  uint32_t index = 0;
  int channels = 0;
  int64_t volume = -1;
  int64_t steps = -1;
};

CVolumeOutMaster::CVolumeOutMaster(QObject* parent) : QObject(parent) {
  if (!Open()) Close();
}

CVolumeOutMaster::~CVolumeOutMaster() {
  Close();
}

void CVolumeOutMaster::OnContextState(pa_context*, void* self) {
  pa_threaded_mainloop_signal(static_cast<CVolumeOutMaster*>(self)->loop_, 0);
}

bool CVolumeOutMaster::Open() {
  loop_ = pa_threaded_mainloop_new();
  if (!loop_) return false;
  context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "Tessera");
  if (!context_) return false;
  pa_context_set_state_callback(context_, &CVolumeOutMaster::OnContextState, this);
  // Never start a server of our own: without one there is simply no volume control.
  if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
  if (pa_threaded_mainloop_start(loop_) < 0) return false;

  pa_threaded_mainloop_lock(loop_);
  Waiter timeout{loop_};
  pa_time_event* timer = pa_context_rttime_new(
      context_, pa_rtclock_now() + kConnectTimeout,
      [](pa_mainloop_api*, pa_time_event*, const struct timeval*, void* data) {
        auto* w = static_cast<Waiter*>(data);
        w->timed_out = true;
        pa_threaded_mainloop_signal(w->loop, 0);
      },
      &timeout);
  pa_context_state_t state;
  while ((state = pa_context_get_state(context_)) != PA_CONTEXT_READY &&
         PA_CONTEXT_IS_GOOD(state) && !timeout.timed_out)
    pa_threaded_mainloop_wait(loop_);
  if (timer) pa_threaded_mainloop_get_api(loop_)->time_free(timer);
  bool ok = state == PA_CONTEXT_READY;
  SinkState sink;
  if (ok) ok = ReadSink(sink) && sink.found;
  if (ok) {
    sink_name_ = sink.name;
    sink_index_ = sink.index;
    channels_ = sink.channels;
    steps_ = sink.steps;
    known_volume_ = sink.volume;
    pa_context_set_subscribe_callback(
        context_,
        [](pa_context* c, pa_subscription_event_type_t type, uint32_t index, void* self) {
          OnSubscription(c, type, index, self);
        },
        this);
    Waiter subscribed{loop_};
    Wait(pa_context_subscribe(context_,
                              static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                                  PA_SUBSCRIPTION_MASK_SERVER),
                              &SignalSuccess, &subscribed));
    available_ = true;
  }
  pa_threaded_mainloop_unlock(loop_);
  return ok;
}

void CVolumeOutMaster::Close() {
  available_ = false;
  if (loop_) pa_threaded_mainloop_stop(loop_);
  if (context_) {
    pa_context_disconnect(context_);
    pa_context_unref(context_);
    context_ = nullptr;
  }
  if (loop_) {
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
  }
}

bool CVolumeOutMaster::Wait(pa_operation* op) {
  // The main loop is locked; the operation's callback signals it.
  if (!op) return false;
  while (pa_operation_get_state(op) == PA_OPERATION_RUNNING) pa_threaded_mainloop_wait(loop_);
  const bool done = pa_operation_get_state(op) == PA_OPERATION_DONE;
  pa_operation_unref(op);
  return done;
}

bool CVolumeOutMaster::ReadSink(SinkState& sink) {
  // The default sink by name, as the server names it now.
  sink.loop = loop_;
  std::string name;
  struct NameQuery {
    pa_threaded_mainloop* loop;
    std::string* name;
  } query{loop_, &name};
  if (!Wait(pa_context_get_server_info(
          context_,
          [](pa_context*, const pa_server_info* info, void* data) {
            auto* q = static_cast<NameQuery*>(data);
            if (info && info->default_sink_name) *q->name = info->default_sink_name;
            pa_threaded_mainloop_signal(q->loop, 0);
          },
          &query)))
    return false;
  if (name.empty()) return true;
  return Wait(pa_context_get_sink_info_by_name(
      context_, name.c_str(),
      [](pa_context*, const pa_sink_info* info, int eol, void* data) {
        auto* s = static_cast<SinkState*>(data);
        if (eol == 0 && info && !s->found) {
          s->found = true;
          s->name = info->name;
          s->index = info->index;
          s->channels = info->volume.channels;
          s->volume = info->volume.channels > 0 ? info->volume.values[0] : -1;
          s->steps = info->n_volume_steps;
        }
        pa_threaded_mainloop_signal(s->loop, 0);
      },
      &sink));
}

void CVolumeOutMaster::OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* self) {
  // The sink's volume now; the default sink may also have become another one.
  if (eol != 0 || !info || info->volume.channels == 0) return;
  auto* m = static_cast<CVolumeOutMaster*>(self);
  m->sink_name_ = info->name;
  m->sink_index_ = info->index;
  m->channels_ = info->volume.channels;
  m->steps_ = info->n_volume_steps;
  m->OnSinkEvent(info->volume.values[0]);
}

void CVolumeOutMaster::OnSubscription(pa_context* c, unsigned type, uint32_t index, void* self) {
  // On the main loop's thread, locked. Reads the sink's volume again and hands it on.
  auto* master = static_cast<CVolumeOutMaster*>(self);
  const unsigned facility = type & PA_SUBSCRIPTION_EVENT_FACILITY_MASK;
  if ((type & PA_SUBSCRIPTION_EVENT_TYPE_MASK) != PA_SUBSCRIPTION_EVENT_CHANGE) return;
  pa_operation* op = nullptr;
  if (facility == PA_SUBSCRIPTION_EVENT_SINK && index == master->sink_index_) {
    op = pa_context_get_sink_info_by_index(c, index, &CVolumeOutMaster::OnSinkInfo, master);
  } else if (facility == PA_SUBSCRIPTION_EVENT_SERVER) {
    op = pa_context_get_server_info(
        c,
        [](pa_context* ctx, const pa_server_info* info, void* data) {
          auto* m = static_cast<CVolumeOutMaster*>(data);
          if (!info || !info->default_sink_name || m->sink_name_ == info->default_sink_name) return;
          if (pa_operation* next = pa_context_get_sink_info_by_name(
                  ctx, info->default_sink_name, &CVolumeOutMaster::OnSinkInfo, m))
            pa_operation_unref(next);
        },
        master);
  }
  if (op) pa_operation_unref(op);
}

void CVolumeOutMaster::OnSinkEvent(int64_t volume) {
  // Locked, on the main loop's thread. A sink reports many changes; only a new volume that this
  // program did not set itself is news.
  if (volume == known_volume_) return;
  known_volume_ = volume;
  if (volume == last_set_) {
    last_set_ = -1;
    return;
  }
  last_set_ = -1;
  QMetaObject::invokeMethod(
      this, [this, volume] { Notify(volume); }, Qt::QueuedConnection);
}

void CVolumeOutMaster::Notify(int64_t volume) {
  if (listener_ && volume != -1) listener_(volume, listener_context_);
}

bool CVolumeOutMaster::IsVolumeAvailable() {
  return available_;
}

bool CVolumeOutMaster::SetMute(bool mute) {
  if (!available_) return false;
  pa_threaded_mainloop_lock(loop_);
  Waiter w{loop_};
  const bool done =
      Wait(pa_context_set_sink_mute_by_index(context_, sink_index_, mute, &SignalSuccess, &w));
  pa_threaded_mainloop_unlock(loop_);
  return done && w.ok;
}

bool CVolumeOutMaster::SwitchLineOn() {
  return SetMute(false);
}

bool CVolumeOutMaster::SwitchLineOff() {
  return SetMute(true);
}

int64_t CVolumeOutMaster::VolumeSteps() {
  if (!available_) return -1;
  pa_threaded_mainloop_lock(loop_);
  const int64_t steps = steps_;
  pa_threaded_mainloop_unlock(loop_);
  return steps;
}

int64_t CVolumeOutMaster::LowestVolume() {
  return available_ ? int64_t{PA_VOLUME_MUTED} : -1;
}

int64_t CVolumeOutMaster::HighestVolume() {
  return available_ ? int64_t{PA_VOLUME_NORM} : -1;
}

int64_t CVolumeOutMaster::CurrentVolume() {
  if (!available_) return -1;
  pa_threaded_mainloop_lock(loop_);
  SinkState sink;
  sink.loop = loop_;
  const bool ok = Wait(pa_context_get_sink_info_by_index(
                      context_, sink_index_,
                      [](pa_context*, const pa_sink_info* info, int eol, void* data) {
                        auto* s = static_cast<SinkState*>(data);
                        if (eol == 0 && info && info->volume.channels > 0) {
                          s->found = true;
                          s->volume = info->volume.values[0];
                        }
                        pa_threaded_mainloop_signal(s->loop, 0);
                      },
                      &sink)) &&
                  sink.found;
  pa_threaded_mainloop_unlock(loop_);
  return ok ? sink.volume : -1;
}

void CVolumeOutMaster::SetVolume(uint32_t value) {
  if (!available_ || value > PA_VOLUME_NORM) return;
  pa_threaded_mainloop_lock(loop_);
  pa_cvolume volume;
  pa_cvolume_set(&volume, static_cast<unsigned>(channels_), value);
  last_set_ = value;
  Waiter w{loop_};
  Wait(pa_context_set_sink_volume_by_index(context_, sink_index_, &volume, &SignalSuccess, &w));
  pa_threaded_mainloop_unlock(loop_);
}

void CVolumeOutMaster::SetVolumeListener(Listener listener, void* context) {
  listener_ = listener;
  listener_context_ = context;
}

}  // namespace tessera
