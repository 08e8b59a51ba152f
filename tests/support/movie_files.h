// Small movies made at test time with the ffmpeg command, and waiting for the player's threads.
#pragma once

#include <QCoreApplication>
#include <QThread>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "tests/support/test_util.h"

namespace tessera::testing {

inline bool HaveProgram(const std::string& name) {
  return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs ffmpeg quietly with `arguments` and returns the output path (empty on failure).
inline std::filesystem::path MakeMovie(const std::filesystem::path& out,
                                       const std::string& arguments) {
  const std::string command =
      "ffmpeg -nostdin -v error -y " + arguments + " " + Quote(out.string()) + " 2>&1";
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(out)) return {};
  return out;
}

// Frame n of this movie is a flat grey of luma 16 + 4 * (n mod 50), so the picture tells which
// frame is shown. MPEG-4 in AVI with PCM sound, 25 frames per second.
inline std::filesystem::path MakeCountingMovie(const std::filesystem::path& out, int seconds = 10,
                                               const char* size = "160x120") {
  return MakeMovie(out, "-f lavfi -i \"color=c=black:s=" + std::string(size) +
                            ":r=25:d=" + std::to_string(seconds) +
                            ",format=gray,geq=lum='16+4*mod(N\\,50)',format=yuv420p\" "
                            "-f lavfi -i \"sine=frequency=440:duration=" +
                            std::to_string(seconds) +
                            "\" -c:v mpeg4 -q:v 2 -c:a pcm_s16le -shortest");
}

// The frame a counting-movie picture of this grey shows, modulo 50 (the grey of the full-range
// picture is the luma written).
inline int CountedFrame(int grey) {
  return (grey - 16 + 2) / 4;
}

// Runs the event loop until `done` or `ms` have passed; the result of `done`.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 10000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

}  // namespace tessera::testing
