// The update check's reading of the version page and its decision. Fetching the page and
// opening the browser belong to the window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessera {

// Only the beginning of the version page is read.
inline constexpr int kVersionPageLimit = 750;

// The version announced by the page's version meta tag, in hundredths (72 for "0.72"), or
// nothing when the first 750 characters hold no tag.
std::optional<int> AnnouncedVersion(std::u16string_view page);

// The question to ask when the page announces a version newer than ours, else nothing.
std::optional<std::u16string> UpdateQuestion(std::u16string_view page);

}  // namespace tessera
