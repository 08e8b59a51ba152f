// Saving files so that a crash, a power cut, a full disk or an odd target never leaves a partial,
// lost or replaced file behind.
#pragma once

#include <chrono>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace tessera {

// A file to write and its bytes.
struct FileBytes {
  std::filesystem::path path;
  std::string_view bytes;
};

// Writes all the files or none of them. Each goes to a temporary file beside its target (a
// symbolic link is followed, also to a file that does not exist yet), flushed to disk; only when
// every one is ready are they renamed over their targets, and the folder is flushed after. A
// target that exists but is not a regular file, or is write-protected, is refused. Temporaries
// that an interrupted save of the same target left behind are removed once they are older than
// kStaleTemporaryAge. Returns -1 when every file was written, else the index of the file that
// failed, with the system's reason ("No space left on device") in `reason`.
int WriteFilesAtomically(std::span<const FileBytes> files, std::string* reason = nullptr);

// One file, as WriteFilesAtomically writes it.
bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* reason = nullptr);

// One file written in pieces: the bytes go to a temporary beside the target (as
// WriteFilesAtomically writes it) and replace the target only at Commit, so a save that fails or
// is abandoned half way leaves the old file as it was. The temporary goes with the object unless
// it was committed. After the first failure every call does nothing and returns false.
class AtomicFile {
 public:
  explicit AtomicFile(const std::filesystem::path& path);
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Write(std::string_view bytes);
  // Drops what was written so far, for a writer that starts its text again.
  bool Restart();
  // Flushes the bytes to disk and closes the temporary, ready to take the target's place.
  bool Close();
  // Renames the closed temporary over the target and flushes the folder.
  bool Place();
  bool Commit() { return Close() && Place(); }

  bool Ok() const { return reason_.empty(); }
  // Why the file could not be written, in the system's words.
  const std::string& Reason() const { return reason_; }
  // Removes the placed target again when this save created it (a set written only in part).
  void RemoveIfCreated();

 private:
  bool Fail(std::string reason);
  std::filesystem::path target_;
  std::string temporary_;  // empty once renamed or removed
  int fd_ = -1;
  bool existed_ = false;
  bool placed_ = false;
  std::string reason_;
};

// A younger temporary may belong to a save that is still under way, in this or another process.
inline constexpr std::chrono::minutes kStaleTemporaryAge{5};

// The name of a temporary of `target_name` is "." + target_name (at most 200 bytes of it) +
// ".tessera-" + six characters.
bool IsTemporaryOf(std::string_view entry_name, std::string_view target_name);

}  // namespace tessera
