// The FFmpeg sound decoder as a module of its own, loaded by the command that decodes a movie's
// sound: every other command starts without FFmpeg's libraries.
#include "sound/sound_decoder.h"

extern "C" __attribute__((visibility("default"))) tessera::SoundStatus TesseraDecodeSound(
    const std::string& path, tessera::SampleSink& sink, std::string& message,
    tessera::SoundProgress* progress) {
  return tessera::DecodeSound(path, sink, message, progress);
}
