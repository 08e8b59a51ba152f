#include "sound/sound_loader_qt.h"

#include <QMetaObject>
#include <chrono>

namespace tessera {

struct SoundLoader::Job : SampleSink, SoundProgress {
  std::string path;
  uint64_t id = 0;
  std::atomic<bool> cancelled{false};
  std::atomic<bool> ended{false};
  mutable std::mutex mutex;
  SoundAnalysis analysis;
  SoundAnalyzer analyzer{analysis};
  int64_t expected = 0;
  SoundLoader* owner = nullptr;
  std::chrono::steady_clock::time_point last_report;

  void OnStart(int64_t expected_samples) override {
    std::lock_guard lock(mutex);
    expected = expected_samples;
    analyzer.OnStart(expected_samples);
  }
  void OnSamples(const float* samples, size_t count) override {
    std::lock_guard lock(mutex);
    analyzer.OnSamples(samples, count);
  }
  bool Continue(double fraction) override {
    if (cancelled) return false;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_report > std::chrono::milliseconds(200)) {
      last_report = now;
      // The loader outlives every queued call: its destructor joins this thread first.
      QMetaObject::invokeMethod(
          owner,
          [owner = owner, fraction, id = id] {
            if (!owner->job_ || owner->job_->id != id) return;
            owner->fraction_ = fraction;
            emit owner->Progressed();
          },
          Qt::QueuedConnection);
    }
    return true;
  }
};

SoundLoader::SoundLoader(QObject* parent) : QObject(parent) {}

SoundLoader::~SoundLoader() {
  Cancel();
  for (Worker& w : workers_) w.thread.join();
}

void SoundLoader::Cancel() {
  if (job_) job_->cancelled = true;
  job_.reset();
  state_ = State::Empty;
  fraction_ = 0;
  // A cancelled job's thread ends within a packet; those that have ended are joined here.
  std::erase_if(workers_, [](Worker& w) {
    if (!w.job->ended) return false;
    w.thread.join();
    return true;
  });
}

void SoundLoader::Load(const std::string& path) {
  Cancel();
  auto job = std::make_shared<Job>();
  job->path = path;
  job->owner = this;
  job->id = ++next_id_;
  job_ = job;
  state_ = State::Loading;
  std::thread thread([this, job] {
    Work(job);
    job->ended = true;
  });
  workers_.push_back({std::move(thread), job});
}

void SoundLoader::Work(const std::shared_ptr<Job>& job) {
  std::string message;
  SoundStatus status = SoundStatus::Ok;
  SoundAnalysis cached;
  if (ReadSoundCache(job->path, cached)) {
    message = cached.warning;
    std::lock_guard lock(job->mutex);
    job->analysis = std::move(cached);
  } else {
    status = DecodeSound(job->path, *job, message, job.get());
    if (status == SoundStatus::Ok) {
      {
        std::lock_guard lock(job->mutex);
        job->analyzer.Finish();
        job->analysis.warning = message;
      }
      if (!job->cancelled) WriteSoundCache(job->path, job->analysis);
    }
  }
  if (status == SoundStatus::Cancelled || job->cancelled) return;
  QMetaObject::invokeMethod(
      this, [this, job, status, message] { Done(job, status, message); }, Qt::QueuedConnection);
}

void SoundLoader::Done(const std::shared_ptr<Job>& job, SoundStatus status,
                       const std::string& message) {
  if (job != job_) return;
  state_ = status == SoundStatus::Ok ? State::Ready : State::NoSound;
  fraction_ = 1;
  emit Finished(QString::fromStdString(message));
}

double SoundLoader::Seconds() const {
  if (!job_) return 0;
  std::lock_guard lock(job_->mutex);
  const int64_t n = state_ == State::Loading ? std::max(job_->expected, job_->analysis.sample_count)
                                             : job_->analysis.sample_count;
  return double(n) / kAnalysisRate;
}

void SoundLoader::Read(const std::function<void(const SoundAnalysis&)>& read) const {
  if (!job_) return;
  std::lock_guard lock(job_->mutex);
  read(job_->analysis);
}

}  // namespace tessera
