// The sectioned key = value settings file, read once and edited in memory.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tessera {

class SettingsStore {
 public:
  explicit SettingsStore(std::filesystem::path file = {});

  const std::filesystem::path& FilePath() const { return file_; }

  int GetInt(std::u16string_view section, std::u16string_view key, int default_value) const;
  std::u16string GetString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view default_value = {}) const;
  // Whether the key is present at all.
  bool Has(std::u16string_view section, std::u16string_view key) const;
  void WriteInt(std::u16string_view section, std::u16string_view key, int value);
  void WriteString(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  // Writes the text as UTF-16LE (FF FE, text, one zero character). Returns false on failure.
  bool SaveSettings();

  // The whole in-memory text (CR LF lines).
  const std::u16string& Text() const;
  // Replaces the store's content as if it had been read from a file.
  void LoadFromText(std::u16string text);

 private:
  // The file is read on first use, by a getter as well.
  void LoadSettings() const;
  void Adopt(std::u16string text) const;
  bool GetValue(std::u16string_view section, std::u16string_view key, std::u16string& value) const;
  void SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  // Position of the line "CR LF key[blanks]=" in [from, until), or npos.
  size_t FindKeyLine(std::u16string_view lower_key, size_t from, size_t until) const;

  std::filesystem::path file_;
  mutable std::u16string text_;
  mutable std::u16string lower_;  // lower-case copy of text_, kept in step
  mutable bool loaded_ = false;
};

// The program's settings file: "tessera.cfg" in the executable's folder, or
// $XDG_CONFIG_HOME/tessera/tessera.cfg when that folder is not writable.
std::filesystem::path DefaultSettingsPath();

}  // namespace tessera
