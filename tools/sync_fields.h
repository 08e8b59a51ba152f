// The Synchronize page's five number fields read as the operations and the buttons need them.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "tools/synchronize.h"

namespace tessera {

inline constexpr int kSyncFieldCount = 5;
// Indexed by SyncField.
using SyncFieldTexts = std::array<std::u16string, kSyncFieldCount>;
using SyncFieldValues = std::array<int, kSyncFieldCount>;

// Every field as a whole number, or nothing when one is not ("Enter an integer.").
std::optional<SyncFieldValues> ReadSyncFields(const SyncFieldTexts& texts);

MoveAmount MovementOf(const SyncFieldValues& values, bool later);
StretchAmount StretchOf(const SyncFieldValues& values, bool negative);

// Whether the Move and the Stretch buttons are enabled: the amount is not 0. A field that is not
// a whole number counts as 0 here; the operation itself then refuses it.
bool HasMovement(const SyncFieldTexts& texts);
bool HasStretch(const SyncFieldTexts& texts);

}  // namespace tessera
