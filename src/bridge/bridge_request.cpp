#include "bridge/bridge_request.h"

#include <algorithm>
#include <array>
#include <cctype>

#include <nlohmann/json.hpp>

namespace vrpph::bridge {
namespace {

using nlohmann::json;

constexpr std::array<std::string_view, 4> kKeyNames = {"alt", "ctrl", "meta", "shift"};

ParsedRequest Refused(std::optional<std::string> id, std::string why) {
  ParsedRequest parsed;
  parsed.id = std::move(id);
  parsed.error = std::move(why);
  return parsed;
}

// A string field that may be absent or null; false when it has another type.
bool OptionalText(const json& message, const char* name, std::optional<std::string>& out) {
  const auto field = message.find(name);
  if (field == message.end() || field->is_null()) return true;
  if (!field->is_string()) return false;
  out = field->get<std::string>();
  return true;
}

bool ReadKeys(const json& message, std::optional<std::vector<std::string>>& out) {
  const auto field = message.find("keys");
  if (field == message.end() || field->is_null()) return true;
  if (!field->is_array()) return false;
  std::vector<std::string> keys;
  for (const json& key : *field) {
    if (!key.is_string()) return false;
    const auto& name = key.get_ref<const std::string&>();
    if (std::find(kKeyNames.begin(), kKeyNames.end(), name) == kKeyNames.end()) return false;
    keys.push_back(name);
  }
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
  out = std::move(keys);
  return true;
}

std::optional<RequestType> TypeNamed(const std::string& name) {
  if (name == "hello") return RequestType::Hello;
  if (name == "download") return RequestType::Download;
  if (name == "link") return RequestType::Link;
  if (name == "go") return RequestType::Go;
  if (name == "status") return RequestType::Status;
  if (name == "batch") return RequestType::Batch;
  return std::nullopt;
}

// A batch's list: empty with the reason when it is malformed as a whole.
std::string ReadLinks(const json& message, std::vector<BatchLink>& out) {
  const auto field = message.find("links");
  if (field == message.end() || !field->is_array() || field->empty()) return "links is not a list of links";
  if (field->size() > kMaxBatchLinks) return "more than 2000 links";
  std::vector<BatchLink> links;
  links.reserve(field->size());
  for (const json& entry : *field) {
    if (!entry.is_object()) return "links is not a list of links";
    // A negative number parses as signed: an index counts from 0.
    const auto index = entry.find("index");
    if (index == entry.end() || !index->is_number_unsigned()) return "a link without an integer index";
    const auto url = entry.find("url");
    if (url == entry.end() || !url->is_string()) return "a link without a string url";
    BatchLink link;
    link.index = index->get<std::uint64_t>();
    link.url = url->get<std::string>();
    if (!OptionalText(entry, "referrer", link.referrer)) return "a link's referrer is not a string";
    if (!OptionalText(entry, "filename", link.filename)) return "a link's filename is not a string";
    links.push_back(std::move(link));
  }
  out = std::move(links);
  return {};
}

}  // namespace

bool IsHandledScheme(std::string_view url) {
  for (std::string_view scheme : {"http://", "https://", "ftp://"}) {
    if (url.size() >= scheme.size() &&
        std::equal(scheme.begin(), scheme.end(), url.begin(),
                   [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); })) {
      return true;
    }
  }
  return false;
}

ParsedRequest ParseRequest(std::string_view message) {
  // No exceptions: a message that is not JSON (invalid UTF-8 included)
  // comes back discarded.
  const json parsed = json::parse(message.begin(), message.end(), nullptr, false);
  if (parsed.is_discarded()) return Refused(std::nullopt, "not JSON");
  if (!parsed.is_object()) return Refused(std::nullopt, "not an object");
  const auto id = parsed.find("id");
  if (id == parsed.end() || !id->is_string()) return Refused(std::nullopt, "no string id");
  if (id->get_ref<const std::string&>().size() > kMaxIdBytes) return Refused(std::nullopt, "id too long");

  BridgeRequest request;
  request.id = id->get<std::string>();
  const auto type = parsed.find("type");
  if (type == parsed.end() || !type->is_string()) return Refused(request.id, "no string type");
  const auto known = TypeNamed(type->get<std::string>());
  if (!known) return Refused(request.id, "unknown type");
  request.type = *known;
  if (request.type == RequestType::Hello || request.type == RequestType::Go || request.type == RequestType::Status) {
    return ParsedRequest{std::move(request), std::nullopt, {}};
  }
  if (request.type == RequestType::Batch) {
    request.linksError = ReadLinks(parsed, request.links);
    return ParsedRequest{std::move(request), std::nullopt, {}};
  }

  const auto url = parsed.find("url");
  if (url == parsed.end() || !url->is_string()) return Refused(request.id, "no string url");
  request.url = url->get<std::string>();
  if (!IsHandledScheme(request.url)) return Refused(request.id, "url is not http, https or ftp");
  if (!OptionalText(parsed, "tabUrl", request.tabUrl)) return Refused(request.id, "tabUrl is not a string");
  if (!OptionalText(parsed, "referrer", request.referrer)) return Refused(request.id, "referrer is not a string");
  if (!OptionalText(parsed, "filename", request.filename)) return Refused(request.id, "filename is not a string");
  if (!OptionalText(parsed, "mime", request.mime)) return Refused(request.id, "mime is not a string");
  if (!ReadKeys(parsed, request.keys)) return Refused(request.id, "keys is not a list of modifier keys");
  if (!OptionalText(parsed, "method", request.method)) return Refused(request.id, "method is not a string");
  return ParsedRequest{std::move(request), std::nullopt, {}};
}

}  // namespace vrpph::bridge
