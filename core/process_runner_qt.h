// The child-process service over QProcess: one program at a time, never through a shell, its
// console output read and dropped.
#pragma once

#include <QProcess>

#include "core/services.h"

namespace tessera {

class QtProcessRunner final : public ProcessRunner {
 public:
  QtProcessRunner();
  ~QtProcessRunner() override;
  bool Start(const std::u16string& program, const std::vector<std::u16string>& arguments) override;
  bool IsRunning() override;
  bool WaitForEnd(int ms) override;
  void Stop() override;

 private:
  QProcess process_;
};

}  // namespace tessera
