// Lists of words kept as one text: entries separated by runs of ',' and ' ',
// canonically each followed by ", " ("ZIP, EXE, "). Comparisons are exact;
// callers decide about case.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vrpph {

// Where every reader starts: past one leading separator character, so a
// list that begins with two separators yields no entries at all.
std::size_t ListStartPosition(std::string_view list);

// Takes the entry at `position` and the separator run behind it. A call that
// starts on a separator run consumes the run and finds nothing.
bool NextListEntry(std::string_view list, std::size_t& position, std::string_view& entry);

bool ListContains(std::string_view list, std::string_view candidate);

struct ListRemoval {
  std::string list;  // canonical, whatever separators the input used
  bool removed = false;
};
// Every entry equal to `candidate` is dropped.
ListRemoval ListRemove(std::string_view list, std::string_view candidate);

// The stored text, then the entry and ", ". A stored text that does not end
// in a separator gets ", " first, so its last entry stays whole.
std::string ListAppend(std::string_view list, std::string_view entry);

}  // namespace vrpph
