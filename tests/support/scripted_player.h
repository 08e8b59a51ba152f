// A movie player and a master volume for page tests: no movie, no sound, every call recorded,
// the position and the results set by the test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/text_util.h"
#include "movie/movie_player.h"
#include "movie/volume.h"

namespace tessera::testing {

class ScriptedPlayer final : public MoviePlayer {
 public:
  // What the next LoadSource finds.
  bool loads = true;
  bool has_video = true;
  int64_t duration = 600 * 10000000LL;
  int native_width = 720, native_height = 576;
  // The playback position; Seek sets it.
  int64_t position = 0;
  bool playing = false;
  std::u16string path;
  std::u16string upper, lower;
  // Every call in order: "load", "play", "pause", "halt", "frame", "teardown", "seek <ticks>".
  std::vector<std::string> calls;

  // The calls since the last look, and forgets them.
  std::vector<std::string> TakeCalls() {
    std::vector<std::string> c;
    c.swap(calls);
    return c;
  }

  bool LoadSource(std::u16string_view p, int) override {
    calls.push_back("load");
    path = p;
    loaded_ = loads;
    position = 0;
    if (!loads) error_ = u"Could not find a source filter for this file";
    return loads;
  }
  bool StartPlayback() override {
    calls.push_back("play");
    playing = loaded_;
    return loaded_;
  }
  bool Pause() override {
    calls.push_back("pause");
    playing = false;
    return loaded_;
  }
  bool HaltPlayback() override {
    calls.push_back("halt");
    playing = false;
    return loaded_;
  }
  bool ShowFrame() override {
    calls.push_back("frame");
    playing = false;
    return loaded_;
  }
  bool TearDown() override {
    calls.push_back("teardown");
    loaded_ = playing = false;
    upper.clear();
    lower.clear();
    return true;
  }
  bool HasGraph() const override { return loaded_; }
  int64_t Duration() override { return loaded_ ? duration : 0; }
  int64_t Position() override { return loaded_ ? position : 0; }
  bool Seek(int64_t p) override {
    if (!loaded_) return false;
    calls.push_back("seek " + std::to_string(p));
    position = p;
    return true;
  }
  bool NativeVideoRect(int& w, int& h) override {
    if (!loaded_ || !has_video) return false;
    w = native_width;
    h = native_height;
    return true;
  }
  void SetOverlayLines(const std::u16string& line1, const std::u16string& line2) override {
    if (loaded_) OverlayRows(line1, line2, upper, lower);
  }
  void OverlayLines(std::u16string& u, std::u16string& l) const override {
    u = upper;
    l = lower;
  }
  void SetViewSize(int, int) override {}
  PictureView Picture() const override { return {}; }
  void SetChangeListener(std::function<void()>) override {}
  const std::u16string& LastError() const override { return error_; }

 private:
  bool loaded_ = false;
  std::u16string error_;
};

class ScriptedVolume final : public IVolume {
 public:
  bool available = true;
  int64_t highest = 65535;
  int64_t current = 32767;
  std::vector<uint32_t> set;  // every SetVolume, in order
  Listener listener = nullptr;
  void* listener_context = nullptr;

  // A change made in the desktop's mixer.
  void ChangeOutside(int64_t value) {
    current = value;
    if (listener) listener(value, listener_context);
  }

  bool IsVolumeAvailable() override { return available; }
  bool SwitchLineOn() override { return available; }
  bool SwitchLineOff() override { return available; }
  int64_t VolumeSteps() override { return available ? highest + 1 : -1; }
  int64_t LowestVolume() override { return available ? 0 : -1; }
  int64_t HighestVolume() override { return available ? highest : -1; }
  int64_t CurrentVolume() override { return available ? current : -1; }
  void SetVolume(uint32_t value) override {
    set.push_back(value);
    if (available && value <= highest) current = value;
  }
  void SetVolumeListener(Listener l, void* context) override {
    listener = l;
    listener_context = context;
  }
};

}  // namespace tessera::testing
