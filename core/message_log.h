// The one list of progress and error lines of the program run. Only ever appended to.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tessera {

class MessageLog {
 public:
  using Listener = std::function<void(const std::u16string& line)>;

  void Append(std::u16string line);
  const std::vector<std::u16string>& Lines() const { return lines_; }
  int Size() const { return static_cast<int>(lines_.size()); }

  // Called after every append (the CLI prints, log panels show). Returns an id for removal.
  int AddListener(Listener listener);
  void RemoveListener(int id);

 private:
  std::vector<std::u16string> lines_;
  std::vector<std::pair<int, Listener>> listeners_;
  int next_listener_id_ = 1;
};

}  // namespace tessera
