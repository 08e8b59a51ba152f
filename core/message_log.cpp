#include "core/message_log.h"

#include <algorithm>

namespace tessera {

void MessageLog::Append(std::u16string line) {
  lines_.push_back(std::move(line));
  if (listeners_.empty()) return;
  // Copies: a listener may append in turn (moving lines_) or add and remove listeners.
  const std::u16string appended = lines_.back();
  auto listeners = listeners_;
  for (auto& [id, fn] : listeners) fn(appended);
}

int MessageLog::AddListener(Listener listener) {
  listeners_.emplace_back(next_listener_id_, std::move(listener));
  return next_listener_id_++;
}

void MessageLog::RemoveListener(int id) {
  std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

}  // namespace tessera
