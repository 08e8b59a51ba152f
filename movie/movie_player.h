// The movie player as the Play Movie page sees it: one movie at a time, positions in
// 100-nanosecond units, the picture and the two overlay lines for the panel that shows them.
// The libmpv implementation lives in mpv_player_qt.h; page tests use a scripted one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessera {

// A rendered picture: 32-bit pixels 0xffRRGGBB, rows `stride` bytes apart. Valid until the next
// call into the player.
struct PictureView {
  const unsigned char* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;
  bool Empty() const { return pixels == nullptr || width <= 0 || height <= 0; }
};

class MoviePlayer {
 public:
  virtual ~MoviePlayer() = default;

  // Loads `path` in place of whatever was loaded (layer 0 is the only one). False, with the last
  // error set, when the file is no movie or sound the player can open; the player is then empty.
  virtual bool LoadSource(std::u16string_view path, int layer = 0) = 0;
  // Plays from the current position.
  virtual bool StartPlayback() = 0;
  // The picture stays and the position is kept.
  virtual bool Pause() = 0;
  // Stops playing; the position and the picture stay.
  virtual bool HaltPlayback() = 0;
  // Pauses and shows the exact frame at the current position.
  virtual bool ShowFrame() = 0;
  // Releases the movie and everything that came with it.
  virtual bool TearDown() = 0;
  // A movie (or sound file) is loaded.
  virtual bool HasGraph() const = 0;

  virtual int64_t Duration() = 0;
  virtual int64_t Position() = 0;
  // An exact seek; the stop position stays.
  virtual bool Seek(int64_t position) = 0;

  // The size of the movie's picture; false for a file without one.
  virtual bool NativeVideoRect(int& width, int& height) = 0;
  // The two subtitle rows over the picture. A single line (empty line 2) goes to the lower row.
  virtual void SetOverlayLines(const std::u16string& line1, const std::u16string& line2) = 0;
  // The rows as the overlay draws them: upper, lower.
  virtual void OverlayLines(std::u16string& upper, std::u16string& lower) const = 0;

  // The panel's picture area in pixels; the player renders the picture at that size.
  virtual void SetViewSize(int width, int height) = 0;
  virtual PictureView Picture() const = 0;
  // Called on the UI thread whenever the picture or the overlay changed.
  virtual void SetChangeListener(std::function<void()> listener) = 0;

  // The text of the most recent failure; never shown, kept for whoever debugs.
  virtual const std::u16string& LastError() const = 0;
};

// The overlay's rule for one-line subtitles: line 2 empty puts line 1 into the lower row.
inline void OverlayRows(const std::u16string& line1, const std::u16string& line2,
                        std::u16string& upper, std::u16string& lower) {
  if (line2.empty()) {
    upper.clear();
    lower = line1;
  } else {
    upper = line1;
    lower = line2;
  }
}

}  // namespace tessera
