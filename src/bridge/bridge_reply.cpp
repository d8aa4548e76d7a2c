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

// An answer's state and what goes with it, after the fields already in `reply`.
void AddState(Reply& reply, const DownloadAnswer& answer) {
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
}

Reply AnswerFields(const std::optional<std::string>& id, const DownloadAnswer& answer) {
  Reply reply;
  if (id) {
    reply["id"] = *id;
  } else {
    reply["id"] = nullptr;
  }
  AddState(reply, answer);
  return reply;
}

Reply OutcomesReply(const std::string& id, const char* state, const std::vector<LinkOutcome>& outcomes) {
  Reply list = Reply::array();
  for (const LinkOutcome& outcome : outcomes) {
    Reply entry{{"index", outcome.index}};
    AddState(entry, outcome.answer);
    list.push_back(std::move(entry));
  }
  return Reply{{"id", id}, {"state", state}, {"outcomes", std::move(list)}};
}

}  // namespace

std::string PendingReply(const std::string& id) { return Dump(Reply{{"id", id}, {"state", "pending"}}); }

std::string FinalReply(const std::string& id, const DownloadAnswer& answer) {
  return Dump(AnswerFields(id, answer));
}

std::string ErrorReply(const std::optional<std::string>& id, const std::string& reason) {
  return Dump(AnswerFields(id, DownloadAnswer{DownloadState::Error, true, reason}));
}

std::string ProgressReply(const std::string& id, const std::vector<LinkOutcome>& outcomes) {
  return Dump(OutcomesReply(id, "progress", outcomes));
}

std::string DoneReply(const std::string& id, const std::vector<LinkOutcome>& outcomes) {
  return Dump(OutcomesReply(id, "done", outcomes));
}

std::string HelloReply(const std::string& id, const HelloInfo& hello) {
  Reply reply{{"id", id}, {"state", "hello"}, {"version", hello.version}};
  reply["protocol"] = kProtocolVersion;
  reply["keysToAdd"] = KeyList(hello.keysToAdd);
  reply["keysToIgnore"] = KeyList(hello.keysToIgnore);
  reply["useCtrlAlt"] = hello.useCtrlAlt;
  reply["acceptingTypes"] = hello.acceptingTypes;
  return Dump(reply);
}

std::string StatusReply(const std::string& id, const HostStatus& status,
                        const std::optional<FailureNote>& lastFailure) {
  Reply reply{{"id", id}, {"state", "status"}, {"version", status.version}};
  reply["protocol"] = kProtocolVersion;
  reply["trevalon"] = Reply{{"programFound", status.programFound}, {"windowFound", status.windowFound}};
  reply["handler"] = Reply{{"registered32", status.registered32}, {"registered64", status.registered64}};
  reply["catching"] = Reply{{"noTypes", status.noTypes}, {"useCtrlAlt", status.useCtrlAlt}};
  reply["lastFailure"] = lastFailure ? AnswerFields(lastFailure->id, lastFailure->answer) : Reply(nullptr);
  return Dump(reply);
}

}  // namespace vrpph::bridge
