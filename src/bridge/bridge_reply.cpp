#include "bridge/bridge_reply.h"

#include <nlohmann/json.hpp>

namespace vrpph::bridge {
namespace {

// Fields in the order the protocol shows them.
using Reply = nlohmann::ordered_json;

// Texts that came in as JSON are valid UTF-8; replacing instead of throwing
// keeps any other text from ending the host.
std::string Dump(const Reply& reply) { return reply.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace); }

Reply KeyList(const std::optional<std::vector<std::string>>& keys) {
  if (!keys) return nullptr;
  return Reply(*keys);
}

}  // namespace

std::string PendingReply(const std::string& id) { return Dump(Reply{{"id", id}, {"state", "pending"}}); }

std::string FinalReply(const std::string& id, const DownloadAnswer& answer) {
  Reply reply{{"id", id}};
  switch (answer.state) {
    case DownloadState::Taken:
      reply["state"] = "taken";
      if (!answer.sent) reply["sent"] = false;
      break;
    case DownloadState::Declined:
      reply["state"] = "declined";
      reply["reason"] = answer.reason;
      break;
    case DownloadState::Error:
      reply["state"] = "error";
      reply["reason"] = answer.reason;
      break;
  }
  return Dump(reply);
}

std::string ErrorReply(const std::optional<std::string>& id, const std::string& reason) {
  Reply reply;
  if (id) {
    reply["id"] = *id;
  } else {
    reply["id"] = nullptr;
  }
  reply["state"] = "error";
  reply["reason"] = reason;
  return Dump(reply);
}

std::string HelloReply(const std::string& id, const HelloInfo& hello) {
  Reply reply{{"id", id}, {"state", "hello"}, {"version", hello.version}};
  reply["protocol"] = kProtocolVersion;
  reply["keysToAdd"] = KeyList(hello.keysToAdd);
  reply["keysToIgnore"] = KeyList(hello.keysToIgnore);
  reply["useCtrlAlt"] = hello.useCtrlAlt;
  return Dump(reply);
}

}  // namespace vrpph::bridge
