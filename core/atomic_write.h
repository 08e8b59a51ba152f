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

// A younger temporary may belong to a save that is still under way, in this or another process.
inline constexpr std::chrono::minutes kStaleTemporaryAge{5};

// The name of a temporary of `target_name` is "." + target_name (at most 200 bytes of it) +
// ".tessera-" + six characters.
bool IsTemporaryOf(std::string_view entry_name, std::string_view target_name);

}  // namespace tessera
