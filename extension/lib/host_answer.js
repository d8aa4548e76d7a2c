// Reads one message from the native host into a small tagged object:
//   { kind: "hello", id, settings }            the answer to hello
//   { kind: "status", id, status }             the answer to status
//   { kind: "pending", id }                    the host is deciding
//   { kind: "final", id, state, reason?, sent? } taken, declined or error
//   { kind: "progress", id, outcomes }         a batch's links decided so far;
//                                              more answers follow
//   { kind: "final", id, state: "done", outcomes } a batch's last answer
//   { kind: "invalid" }                        nothing the extension can use
// A final answer of a state the extension does not know counts as an error,
// so the browser goes on rather than waiting for an answer that never comes.

import { helloSettings } from "./hello_settings.js";

const FINAL_STATES = new Set(["taken", "declined", "error", "done"]);
const OUTCOME_STATES = new Set(["taken", "declined", "error"]);

export function readHostAnswer(message) {
  if (message === null || typeof message !== "object" || Array.isArray(message)) {
    return { kind: "invalid" };
  }
  const { id, state } = message;
  if (typeof id !== "string") return { kind: "invalid" };
  if (state === "hello") return { kind: "hello", id, settings: helloSettings(message) };
  if (state === "status") return { kind: "status", id, status: hostStatus(message) };
  if (state === "pending") return { kind: "pending", id };
  if (state === "progress") return { kind: "progress", id, outcomes: batchOutcomes(message.outcomes) };
  const answer = { kind: "final", id, state: FINAL_STATES.has(state) ? state : "error" };
  if (typeof message.reason === "string") answer.reason = message.reason;
  if (answer.state === "taken" && message.sent === false) answer.sent = false;
  if (answer.state === "done") answer.outcomes = batchOutcomes(message.outcomes);
  return answer;
}

// The outcomes of a batch's links, by index; an entry the extension cannot
// read is left out (its link then counts as unanswered), an unknown state is
// an error.
export function batchOutcomes(list) {
  if (!Array.isArray(list)) return [];
  const outcomes = [];
  for (const entry of list) {
    if (entry === null || typeof entry !== "object" || !Number.isInteger(entry.index) || entry.index < 0) continue;
    const outcome = { index: entry.index, state: OUTCOME_STATES.has(entry.state) ? entry.state : "error" };
    if (typeof entry.reason === "string") outcome.reason = entry.reason;
    if (outcome.state === "taken" && entry.sent === false) outcome.sent = false;
    outcomes.push(outcome);
  }
  return outcomes;
}

// The parts of a status answer the popup reads, each flag strictly a
// boolean (anything else counts as false).
function hostStatus(message) {
  const flags = (value, names) => Object.fromEntries(names.map((name) => [name, value?.[name] === true]));
  return {
    version: typeof message.version === "string" ? message.version : null,
    trevalon: flags(message.trevalon, ["programFound", "windowFound"]),
    handler: flags(message.handler, ["registered32", "registered64"]),
    catching: flags(message.catching, ["noTypes", "useCtrlAlt"]),
    lastFailure: message.lastFailure && typeof message.lastFailure === "object" ? message.lastFailure : null,
  };
}
