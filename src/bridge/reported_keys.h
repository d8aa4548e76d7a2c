// The key combinations as a browser extension can see them: the modifier
// keys a click reports, by their DOM names.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>


namespace vrpph::bridge {

// The combination's keys by DOM name ("alt", "ctrl", "meta", "shift"),
// sorted. None when a click could never match it: a key other than those
// four, or one key named twice (also as its left or right variant), which
// the keyboard rule can never find held either.
std::optional<std::vector<std::string>> KeyNamesOf(std::span<const std::uint8_t> codes);

// True when the reported keys (sorted, no repeats) are exactly the stored
// combination's.
bool ReportedComboHeld(const std::vector<std::string>& reported, std::span<const std::uint8_t> codes);

}  // namespace vrpph::bridge
