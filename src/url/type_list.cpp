#include "url/type_list.h"

namespace vrpph {

namespace {

bool IsSeparator(char c) { return c == ',' || c == ' '; }

// True when the reader must stop here: at the end, or after skipping a run.
bool SkipSeparators(std::string_view list, std::size_t& position) {
  if (position >= list.size()) return true;
  std::size_t start = position;
  while (position < list.size() && IsSeparator(list[position])) ++position;
  return position != start;
}

}  // namespace

std::size_t ListStartPosition(std::string_view list) {
  return !list.empty() && IsSeparator(list.front()) ? 1 : 0;
}

bool NextListEntry(std::string_view list, std::size_t& position, std::string_view& entry) {
  std::size_t start = position;
  std::size_t count = 0;
  while (!SkipSeparators(list, position)) {
    if (count == 0) start = position;
    ++position;
    ++count;
  }
  entry = list.substr(count ? start : position, count);
  return count > 0;
}

bool ListContains(std::string_view list, std::string_view candidate) {
  if (candidate.empty()) return false;
  std::size_t position = ListStartPosition(list);
  std::string_view entry;
  while (NextListEntry(list, position, entry)) {
    if (entry == candidate) return true;
  }
  return false;
}

ListRemoval ListRemove(std::string_view list, std::string_view candidate) {
  ListRemoval result;
  std::size_t position = ListStartPosition(list);
  std::string_view entry;
  while (NextListEntry(list, position, entry)) {
    if (entry == candidate) {
      result.removed = true;
    } else {
      result.list.append(entry).append(", ");
    }
  }
  return result;
}

std::string ListAppend(std::string_view list, std::string_view entry) {
  std::string result(list);
  if (!result.empty() && !IsSeparator(result.back())) result += ", ";
  return result.append(entry).append(", ");
}

}  // namespace vrpph
