// The extension's requests as the host reads them: one JSON object a
// message, checked field by field before anything else looks at it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrpph::bridge {

// An id is echoed in every answer; a longer one could push an answer past
// the browsers' limit.
constexpr std::size_t kMaxIdBytes = 256;

enum class RequestType {
  Hello,     // what the extension needs before any click
  Download,  // a download the browser started and the extension holds
  Link,      // a link clicked with the keys that force a hand-over
  Go,        // the extension still holds the download of the request `id`
  Status,    // what the host finds of Trevalon and the module, read only
};

struct BridgeRequest {
  std::string id;
  RequestType type = RequestType::Hello;
  // UTF-8, as the browser reported them; url is http, https or ftp.
  std::string url;
  std::optional<std::string> tabUrl;
  std::optional<std::string> referrer;
  std::optional<std::string> filename;
  std::optional<std::string> mime;
  // The modifier keys of the click ("alt", "ctrl", "shift", "meta"), sorted
  // and without repeats; none when the extension does not know them.
  std::optional<std::vector<std::string>> keys;
  // The HTTP method of the request that fetched the download ("GET",
  // "POST"), as the browser saw it; none when the extension did not learn
  // it, and for links, which are followed with a GET.
  std::optional<std::string> method;
};

struct ParsedRequest {
  std::optional<BridgeRequest> request;
  // When there is no request: the id to answer under (none when the message
  // had no usable one) and why the message was refused.
  std::optional<std::string> id;
  std::string error;
};

ParsedRequest ParseRequest(std::string_view message);

// True for an http, https or ftp URL (the scheme in any case).
bool IsHandledScheme(std::string_view url);

}  // namespace vrpph::bridge
