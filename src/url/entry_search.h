// Which entry of a type list, in list order, is the first to occur in a text
// right after a '.', and where it first occurs: the search behind
// EmbeddedFileName.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace vrpph {

struct EntryMatch {
  std::string_view entry;  // a view into the list
  std::size_t dot = 0;     // position in the text of the '.' before its first occurrence
};

// Entries are compared byte for byte, as stored.
std::optional<EntryMatch> FirstEntryAfterDot(std::string_view text, std::string_view list);

// The same answer two ways. A search of the text per entry costs their
// product: nothing for the short lists and URLs of daily use, seconds for a
// megabyte of each. One pass of an automaton of all entries costs the text
// plus the list, at the price of building it.
std::optional<EntryMatch> FirstEntryBySearch(std::string_view text, std::string_view list);
std::optional<EntryMatch> FirstEntryByAutomaton(std::string_view text, std::string_view list);

}  // namespace vrpph
