// Reads a movie's sound for the waveform strip on a worker thread: from the cache at once, else
// decoded in pieces that show as they arrive. Another Load, Cancel or the destructor stops the
// work at once.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sound/sound_analysis.h"

namespace tessera {

class SoundLoader : public QObject {
  Q_OBJECT
 public:
  enum class State { Empty, Loading, Ready, NoSound };

  explicit SoundLoader(QObject* parent = nullptr);
  ~SoundLoader() override;

  // Starts reading the sound of `path` in place of whatever was read or being read.
  void Load(const std::string& path);
  // Stops the work and forgets the sound (no movie).
  void Cancel();

  State GetState() const { return state_; }
  double Fraction() const { return fraction_; }
  // The sound's length as far as known (the container's length while decoding), in seconds.
  double Seconds() const;
  // Runs `read` with the analysis as far as it has arrived, locked against the worker.
  void Read(const std::function<void(const SoundAnalysis&)>& read) const;

 signals:
  // More of the sound arrived (at most a few times a second).
  void Progressed();
  // The work ended: Ready or NoSound. `message` is the line to log, empty when all went well.
  void Finished(const QString& message);

 private:
  struct Job;
  struct Worker {
    std::thread thread;
    std::shared_ptr<Job> job;
  };
  void Work(const std::shared_ptr<Job>& job);
  void Done(const std::shared_ptr<Job>& job, SoundStatus status, const std::string& message);

  std::shared_ptr<Job> job_;
  std::vector<Worker> workers_;
  uint64_t next_id_ = 0;
  State state_ = State::Empty;
  double fraction_ = 0;
};

}  // namespace tessera
