// The URL rules and the type lists on arbitrary bytes: no crash, every
// bounded result within its bound, each result agreeing with the plain
// reading of the rules in tests/support/decision_oracle and with the other
// rules it implies.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_check.h"
#include "support/decision_oracle.h"
#include "support/fake_text.h"
#include "url/entry_search.h"
#include "url/type_list.h"
#include "url/url_names.h"

namespace {

using namespace vrpph;

bool IsSeparator(char c) { return c == ',' || c == ' '; }

std::vector<std::string> Entries(std::string_view list) {
  std::vector<std::string> entries;
  std::size_t position = ListStartPosition(list);
  std::string_view entry;
  std::size_t before = position;
  while (NextListEntry(list, position, entry)) {
    FUZZ_CHECK(position > before && position <= list.size());
    FUZZ_CHECK(!entry.empty());
    for (char c : entry) FUZZ_CHECK(!IsSeparator(c));
    entries.emplace_back(entry);
    before = position;
  }
  FUZZ_CHECK(position <= list.size());
  return entries;
}

void CheckTypeList(const std::string& list, const std::string& candidate) {
  const std::vector<std::string> entries = Entries(list);
  bool present = false;
  for (const auto& e : entries) present |= e == candidate;
  FUZZ_CHECK(ListContains(list, candidate) == (present && !candidate.empty()));
  FUZZ_CHECK(ListContains(list, candidate) == testing::oracle::ListHas(list, candidate));

  // Removal: canonical, and every other entry kept in order.
  ListRemoval removal = ListRemove(list, candidate);
  FUZZ_CHECK(removal.removed == present);
  std::string canonical;
  for (const auto& e : entries) {
    if (e != candidate) canonical.append(e).append(", ");
  }
  FUZZ_CHECK(removal.list == canonical);

  // Appending a real entry never joins it to the last one and never loses
  // what the list held; a list that starts with two separators reads as
  // empty before and after.
  bool validEntry = !candidate.empty();
  for (char c : candidate) validEntry &= !IsSeparator(c);
  if (!validEntry) return;
  const std::string appended = ListAppend(list, candidate);
  FUZZ_CHECK(appended.compare(0, list.size(), list) == 0);
  std::vector<std::string> after = Entries(appended);
  const bool unreadable = list.size() >= 2 && IsSeparator(list[0]) && IsSeparator(list[1]);
  if (unreadable) {
    FUZZ_CHECK(after.empty());
    return;
  }
  std::vector<std::string> expected = entries;
  expected.push_back(candidate);
  FUZZ_CHECK(after == expected);
}

void CheckUrlRules(const std::string& url, const std::optional<std::string>& accepting,
                   const vrpph::platform::Text& text, std::size_t bound) {
  auto extension = UrlExtension(url);
  FUZZ_CHECK(extension == testing::oracle::Extension(url));
  if (extension) {
    FUZZ_CHECK(extension->find('/') == std::string::npos);
    FUZZ_CHECK(extension->find('.') == std::string::npos);
    FUZZ_CHECK(url.find("." + *extension) != std::string::npos);
  }

  const std::string name = UrlFileName(url);
  FUZZ_CHECK(name == testing::oracle::FileName(url));
  const std::string boundedName = UrlFileName(url, bound);
  FUZZ_CHECK(boundedName.size() + 1 <= (bound ? bound : 1));
  FUZZ_CHECK(name.compare(0, boundedName.size(), boundedName) == 0);

  const std::string host = UrlHost(url, bound);
  FUZZ_CHECK(host.size() + 1 <= (bound ? bound : 1));
  FUZZ_CHECK(host.find('/') == std::string::npos);
  if (!host.empty()) FUZZ_CHECK(url.find(host) != std::string::npos);

  // Both ways of finding the first listed entry give one answer.
  if (accepting) {
    auto search = FirstEntryBySearch(url, *accepting);
    auto automaton = FirstEntryByAutomaton(url, *accepting);
    FUZZ_CHECK(search.has_value() == automaton.has_value());
    if (search) FUZZ_CHECK(search->entry == automaton->entry && search->dot == automaton->dot);
  }

  auto embedded = EmbeddedFileName(url, accepting, text);
  FUZZ_CHECK(embedded == testing::oracle::Embedded(url, accepting, text));
  if (embedded) {
    FUZZ_CHECK(accepting.has_value());
    FUZZ_CHECK(url.find(*embedded) != std::string::npos);
    FUZZ_CHECK(embedded->find('.') != std::string::npos);
  }

  const bool accepted = HasAcceptedExtension(name, accepting, text);
  auto suggested = SuggestedFileName(url, accepting, text);
  FUZZ_CHECK(suggested == (accepted ? std::nullopt : embedded));

  std::string upper = url;
  text.UpperCase(upper);
  FUZZ_CHECK(IsRedirectPage(url, text) == (upper.find("QVREDIR.ASP") != std::string::npos ||
                                           upper.find("QVCATALOG_FETCH.ASP") != std::string::npos));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  vrpph::testing::FakeText text;
  // A double-byte code page now and then: the rules scan bytes either way.
  if (input.ConsumeBool()) text.SetLeadBytes({0x81, 0x82, 0xE0});
  const std::size_t bound = input.ConsumeIntegralInRange<std::size_t>(0, 64);
  const bool hasList = input.ConsumeBool();
  // Texts reach the rules as stored or converted C strings: no NUL inside.
  auto text_of = [](std::string s) { return s.substr(0, s.find('\0')); };
  const std::string list = text_of(input.ConsumeRandomLengthString(512));
  const std::string candidate = text_of(input.ConsumeRandomLengthString(64));
  const std::string url = text_of(input.ConsumeRemainingBytesAsString());

  CheckTypeList(list, candidate);
  CheckUrlRules(url, hasList ? std::optional<std::string>(list) : std::nullopt, text, bound);
  return 0;
}
