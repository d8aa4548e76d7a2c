#include "url/url_names.h"

#include <algorithm>

#include "url/entry_search.h"
#include "url/type_list.h"

namespace vrpph {

namespace {

constexpr auto npos = std::string_view::npos;

bool IsStopCharacter(unsigned char c) {
  if (c < 0x20 || c >= 0x80) return true;
  switch (c) {
    case '"': case '/': case ':': case '*': case '?': case '<': case '>': case '|': case '=':
      return true;
    default:
      return false;
  }
}

}  // namespace

std::optional<std::string> UrlExtension(std::string_view url) {
  std::size_t slash = url.rfind('/');
  if (slash == npos) return std::nullopt;
  // The last '/' belongs to the scheme's "//": no path.
  if (slash >= 2 && url[slash - 1] == '/') return std::nullopt;
  std::size_t dot = url.rfind('.');
  if (dot == npos || dot < slash) return std::nullopt;
  std::size_t query = url.rfind('?');
  std::size_t fragment = url.rfind('#');
  std::size_t end = std::min(query, fragment);
  if (end == npos) end = url.size();
  std::string_view cut = url.substr(0, end);
  std::size_t extensionDot = cut.rfind('.');
  if (extensionDot == npos) return std::nullopt;
  // A dot left of the cut text's last '/' names no file's extension.
  std::size_t cutSlash = cut.rfind('/');
  if (cutSlash != npos && cutSlash > extensionDot) return std::nullopt;
  return std::string(cut.substr(extensionDot + 1));
}

std::optional<std::string> FileNameExtension(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == npos) return std::nullopt;
  return std::string(fileName.substr(dot + 1));
}

std::string UrlFileName(std::string_view url) {
  std::size_t end = url.size() > 1 ? url.rfind('?') : npos;
  if (end == 0 || end == npos) end = url.size();
  std::size_t slash = end > 1 ? url.rfind('/', end - 1) : npos;
  std::size_t start = (slash == npos || slash == 0) ? 0 : slash + 1;
  return std::string(url.substr(start, end - start));
}

std::string UrlFileName(std::string_view url, std::size_t bufferSize) {
  std::string name = UrlFileName(url);
  if (bufferSize == 0) return {};
  if (name.size() > bufferSize - 1) name.resize(bufferSize - 1);
  return name;
}

std::string UrlHost(std::string_view url, std::size_t bufferSize) {
  if (url.size() < 2 || bufferSize == 0) return {};
  std::size_t start = npos;
  std::size_t end = url.size();
  for (std::size_t i = 1; i < url.size(); ++i) {
    char c = url[i];
    if (c == '/' && start != npos) {
      end = i;
      break;
    }
    if (c == '/' && url[i - 1] == '/') start = i + 1;
    if (c == '@') start = i + 1;
  }
  if (start == npos || start >= end) return {};
  return std::string(url.substr(start, std::min(end - start, bufferSize - 1)));
}

bool IsRedirectPage(std::string_view url, const platform::Text& text) {
  std::string upper = platform::UpperCased(url, text);
  return upper.find("QVREDIR.ASP") != npos || upper.find("QVCATALOG_FETCH.ASP") != npos;
}

std::optional<std::string> EmbeddedFileName(std::string_view url,
                                            const std::optional<std::string>& acceptingTypes,
                                            const platform::Text& text) {
  if (!acceptingTypes) return std::nullopt;
  const std::string upper = platform::UpperCased(url, text);
  // The first entry in list order that occurs anywhere decides.
  const std::optional<EntryMatch> match = FirstEntryAfterDot(upper, *acceptingTypes);
  if (!match) return std::nullopt;
  const std::size_t dot = match->dot;
  std::size_t start = dot;
  while (start > 0 && !IsStopCharacter(static_cast<unsigned char>(url[start - 1]))) --start;
  return std::string(url.substr(start, dot + match->entry.size() + 1 - start));
}

bool HasAcceptedExtension(std::string_view fileName, const std::optional<std::string>& acceptingTypes,
                          const platform::Text& text) {
  if (!acceptingTypes) return false;
  const auto extension = FileNameExtension(fileName);
  return extension && ListContains(*acceptingTypes, platform::UpperCased(*extension, text));
}

bool IsExcludedName(std::string_view fileName, const std::optional<std::string>& excludedNames,
                    const platform::Text& text) {
  return excludedNames &&
         ListContains(platform::UpperCased(*excludedNames, text), platform::UpperCased(fileName, text));
}

std::optional<std::string> SuggestedFileName(std::string_view url,
                                             const std::optional<std::string>& acceptingTypes,
                                             const platform::Text& text) {
  if (HasAcceptedExtension(UrlFileName(url), acceptingTypes, text)) return std::nullopt;
  return EmbeddedFileName(url, acceptingTypes, text);
}

}  // namespace vrpph
