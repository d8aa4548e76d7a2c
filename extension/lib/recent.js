// The last downloads the extension asked about, for the popup: newest
// first, at most RECENT_KEPT, never one of a private window.

import { hostOf } from "./site_rules.js";
import { baseName } from "./requests.js";

export const RECENT_KEPT = 10;
// Where the list lives in storage.session.
export const RECENT_KEY = "recent";

// Why a download stayed in the browser, or where it went, as a message key
// of _locales.
const DECLINED = {
  "not-accepted": "outcomeKeptType",
  excluded: "outcomeKeptExcluded",
  "ignore-keys": "outcomeKeptKeys",
  "keys-required": "outcomeKeptKeysRequired",
  unreachable: "outcomeKeptUnreachable",
  post: "outcomeKeptPost",
  "not-confirmed": "outcomeKeptNoAnswer",
  "input-ended": "outcomeKeptNoAnswer",
};
const LOCAL = {
  "switch-off": "outcomeKeptSwitchOff",
  "kept-site": "outcomeKeptSite",
  kept: "outcomeKeptMethod",
  timeout: "outcomeKeptNoAnswer",
  dropped: "outcomeKeptNoAnswer",
  unsent: "outcomeKeptNoAnswer",
  busy: "outcomeKeptNoAnswer",
};

// verdict: what the download's request settled as (request_table.js), or
// one of the extension's own reasons to keep it without asking.
export function outcomeOf(verdict) {
  const { state, reason, sent } = verdict ?? {};
  if (state === "taken") return { key: sent === false ? "outcomeSentNotNeeded" : "outcomeSent", sent: true };
  if (state === "declined") return { key: DECLINED[reason] ?? "outcomeKeptOther", sent: false };
  if (state === "error") return { key: "outcomeError", sent: false, detail: typeof reason === "string" ? reason : "" };
  return { key: LOCAL[state] ?? "outcomeKeptOther", sent: false };
}

export function recentEntry(item, verdict, at) {
  const outcome = outcomeOf(verdict);
  const url = item.finalUrl || item.url;
  return {
    at,
    file: baseName(item.filename) ?? baseName(hostOf(url) === null ? null : new URL(url).pathname) ?? "",
    site: hostOf(url) ?? "",
    outcome: outcome.key,
    ...(outcome.detail ? { detail: outcome.detail } : {}),
  };
}

// The list with one entry more; nothing from a private window.
export function withRecent(list, item, entry) {
  if (item.incognito) return Array.isArray(list) ? list : [];
  return [entry, ...(Array.isArray(list) ? list : [])].slice(0, RECENT_KEPT);
}
