// The extension's requests as the host reads them: one JSON object a
// message, checked field by field before anything else looks at it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrpph::bridge {

// An id is echoed in every answer; a longer one could push an answer past
// the browsers' limit.
constexpr std::size_t kMaxIdBytes = 256;
// Links in one `batch` at most; the extension splits a longer hand-over.
constexpr std::size_t kMaxBatchLinks = 2000;

enum class RequestType {
  Hello,     // what the extension needs before any click
  Download,  // a download the browser started and the extension holds
  Link,      // a link clicked with the keys that force a hand-over
  Go,        // the extension still holds the download of the request `id`
  Status,    // what the host finds of Trevalon and the module, read only
  Batch,     // links the user picked on the pick page, handed over in order
};

// One link of a `batch`, as the extension sent it; each is checked alone
// when its turn comes, so one bad link does not refuse the others.
struct BatchLink {
  std::uint64_t index = 0;  // names the link in the answers
  std::string url;
  std::optional<std::string> referrer;
  std::optional<std::string> filename;
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
  // A `batch`'s links, in the order of the pick list; when the list as a
  // whole is malformed, none and `linksError` says why (answered after the
  // batch's `pending`).
  std::vector<BatchLink> links;
  std::string linksError;
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
