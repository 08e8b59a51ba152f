// The master volume over the PulseAudio client API (PipeWire desktops serve it too): the default
// sink's volume, 0 to PA_VOLUME_NORM, and a subscription that reports changes made elsewhere
// (the desktop's mixer). No server, or no sink, means no volume control.
#pragma once

#include <QObject>
#include <cstdint>
#include <string>

#include "movie/volume.h"

struct pa_threaded_mainloop;
struct pa_context;
struct pa_operation;
struct pa_sink_info;

namespace tessera {

class CVolumeOutMaster final : public QObject, public IVolume {
  Q_OBJECT
 public:
  // Connects to the default server (PULSE_SERVER or the session's own); never starts one.
  explicit CVolumeOutMaster(QObject* parent = nullptr);
  ~CVolumeOutMaster() override;

  bool IsVolumeAvailable() override;
  bool SwitchLineOn() override;
  bool SwitchLineOff() override;
  int64_t VolumeSteps() override;
  int64_t LowestVolume() override;
  int64_t HighestVolume() override;
  int64_t CurrentVolume() override;
  void SetVolume(uint32_t value) override;
  void SetVolumeListener(Listener listener, void* context) override;

 private:
  struct SinkState;
  bool Open();
  void Close();
  bool Wait(pa_operation* op);
  bool ReadSink(SinkState& sink);
  bool SetMute(bool mute);
  void OnSinkEvent(int64_t volume);
  void Notify(int64_t volume);

  static void OnContextState(pa_context* c, void* self);
  static void OnSubscription(pa_context* c, unsigned type, uint32_t index, void* self);
  static void OnSinkInfo(pa_context* c, const pa_sink_info* info, int eol, void* self);

  pa_threaded_mainloop* loop_ = nullptr;
  pa_context* context_ = nullptr;
  bool available_ = false;
  // The default sink; read and written with the main loop locked.
  std::string sink_name_;
  uint32_t sink_index_ = 0;
  int channels_ = 0;
  int64_t steps_ = -1;
  int64_t known_volume_ = -1;
  int64_t last_set_ = -1;
  Listener listener_ = nullptr;
  void* listener_context_ = nullptr;
};

}  // namespace tessera
