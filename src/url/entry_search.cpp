#include "url/entry_search.h"

#include <cstdint>
#include <string>
#include <vector>

#include "url/type_list.h"

namespace vrpph {

namespace {

// A search step (a byte that memchr passes over) costs about a thousandth
// of what building the automaton costs per byte of list: the automaton pays
// off once entries times text exceeds this many times list plus text.
constexpr std::size_t kBuildCostPerSearchStep = 1000;

// Patterns ".ENTRY" for every entry of `list`, in list order.
class DotPatterns {
 public:
  explicit DotPatterns(std::string_view list) : list_(list), position_(ListStartPosition(list)) {}
  bool Next(std::string_view& entry) { return NextListEntry(list_, position_, entry); }

 private:
  std::string_view list_;
  std::size_t position_;
};

// Aho-Corasick over the patterns: a trie whose children are kept as sibling
// chains (no allocation per node), failure links, and for each node the
// nearest pattern end along its failure chain.
class PatternAutomaton {
 public:
  explicit PatternAutomaton(std::string_view list) {
    nodes_.emplace_back();
    DotPatterns patterns(list);
    std::string_view entry;
    for (int index = 0; patterns.Next(entry); ++index) {
      int node = Step(0, '.', true);
      for (char c : entry) node = Step(node, static_cast<unsigned char>(c), true);
      // A repeated entry keeps its first place in the list.
      if (nodes_[node].entry < 0) {
        nodes_[node].entry = index;
        entries_.push_back(entry);
      } else {
        entries_.push_back({});
      }
    }
    LinkFailures();
  }

  std::optional<EntryMatch> FirstListed(std::string_view text) const {
    std::vector<std::size_t> firstEnd(entries_.size(), std::string_view::npos);
    std::vector<bool> reported(nodes_.size(), false);
    int state = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
      const unsigned char c = static_cast<unsigned char>(text[at]);
      int next = Child(state, c);
      while (next < 0 && state != 0) {
        state = nodes_[state].fail;
        next = Child(state, c);
      }
      state = next < 0 ? 0 : next;
      // Every pattern ending here, along the chain; a node reported before
      // had its whole chain reported then.
      for (int node = nodes_[state].entry >= 0 ? state : nodes_[state].output; node > 0 && !reported[node];
           node = nodes_[node].output) {
        reported[node] = true;
        firstEnd[static_cast<std::size_t>(nodes_[node].entry)] = at;
      }
    }
    for (std::size_t index = 0; index < entries_.size(); ++index) {
      if (firstEnd[index] == std::string_view::npos) continue;
      const std::string_view entry = entries_[index];
      return EntryMatch{entry, firstEnd[index] - entry.size()};
    }
    return std::nullopt;
  }

 private:
  struct Node {
    std::int32_t child = -1;
    std::int32_t sibling = -1;
    std::int32_t fail = 0;
    std::int32_t output = 0;  // nearest pattern end on the failure chain; 0 for none
    std::int32_t entry = -1;  // list index of the pattern ending here
    unsigned char byte = 0;
  };

  int Child(int node, unsigned char byte) const {
    for (int child = nodes_[static_cast<std::size_t>(node)].child; child >= 0;
         child = nodes_[static_cast<std::size_t>(child)].sibling) {
      if (nodes_[static_cast<std::size_t>(child)].byte == byte) return child;
    }
    return -1;
  }

  int Step(int node, unsigned char byte, bool create) {
    int child = Child(node, byte);
    if (child >= 0 || !create) return child;
    Node fresh;
    fresh.byte = byte;
    fresh.sibling = nodes_[static_cast<std::size_t>(node)].child;
    nodes_.push_back(fresh);
    child = static_cast<int>(nodes_.size() - 1);
    nodes_[static_cast<std::size_t>(node)].child = child;
    return child;
  }

  // Breadth first, so that every failure target is linked before it is used.
  void LinkFailures() {
    std::vector<int> queue;
    for (int child = nodes_[0].child; child >= 0; child = nodes_[static_cast<std::size_t>(child)].sibling) {
      queue.push_back(child);
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
      const int parent = queue[head];
      for (int child = nodes_[static_cast<std::size_t>(parent)].child; child >= 0;
           child = nodes_[static_cast<std::size_t>(child)].sibling) {
        const unsigned char byte = nodes_[static_cast<std::size_t>(child)].byte;
        int fail = nodes_[static_cast<std::size_t>(parent)].fail;
        int target = Child(fail, byte);
        while (target < 0 && fail != 0) {
          fail = nodes_[static_cast<std::size_t>(fail)].fail;
          target = Child(fail, byte);
        }
        Node& node = nodes_[static_cast<std::size_t>(child)];
        node.fail = target < 0 ? 0 : target;
        const Node& failNode = nodes_[static_cast<std::size_t>(node.fail)];
        node.output = failNode.entry >= 0 ? node.fail : failNode.output;
        queue.push_back(child);
      }
    }
  }

  std::vector<Node> nodes_;
  std::vector<std::string_view> entries_;  // by list index; empty for a repeat
};

}  // namespace

std::optional<EntryMatch> FirstEntryBySearch(std::string_view text, std::string_view list) {
  DotPatterns patterns(list);
  std::string_view entry;
  std::string pattern;
  while (patterns.Next(entry)) {
    pattern.assign(".").append(entry);
    const std::size_t dot = text.find(pattern);
    if (dot != std::string_view::npos) return EntryMatch{entry, dot};
  }
  return std::nullopt;
}

std::optional<EntryMatch> FirstEntryByAutomaton(std::string_view text, std::string_view list) {
  return PatternAutomaton(list).FirstListed(text);
}

std::optional<EntryMatch> FirstEntryAfterDot(std::string_view text, std::string_view list) {
  std::size_t entries = 0;
  DotPatterns patterns(list);
  for (std::string_view entry; patterns.Next(entry);) ++entries;
  const std::size_t automatonCost = kBuildCostPerSearchStep * (list.size() + text.size());
  if (text.empty() || entries <= automatonCost / text.size()) return FirstEntryBySearch(text, list);
  return FirstEntryByAutomaton(text, list);
}

}  // namespace vrpph
