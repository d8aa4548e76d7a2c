// Reads one message from the native host into a small tagged object:
//   { kind: "hello", id, settings }            the answer to hello
//   { kind: "pending", id }                    the host is deciding
//   { kind: "final", id, state, reason?, sent? } taken, declined or error
//   { kind: "invalid" }                        nothing the extension can use
// A final answer of a state the extension does not know counts as an error,
// so the browser goes on rather than waiting for an answer that never comes.

import { helloSettings } from "./hello_settings.js";

const FINAL_STATES = new Set(["taken", "declined", "error"]);

export function readHostAnswer(message) {
  if (message === null || typeof message !== "object" || Array.isArray(message)) {
    return { kind: "invalid" };
  }
  const { id, state } = message;
  if (typeof id !== "string") return { kind: "invalid" };
  if (state === "hello") return { kind: "hello", id, settings: helloSettings(message) };
  if (state === "pending") return { kind: "pending", id };
  const answer = { kind: "final", id, state: FINAL_STATES.has(state) ? state : "error" };
  if (typeof message.reason === "string") answer.reason = message.reason;
  if (answer.state === "taken" && message.sent === false) answer.sent = false;
  return answer;
}
