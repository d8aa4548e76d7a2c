// Reads the tap's log back as exchanges: each request the extension sent,
// with the host's answers to it in order and when its `go` went (goAt).
// Ids are the extension's and start again with a new service worker, so an
// exchange is keyed by the tap's process as well.

import { existsSync, readFileSync } from "node:fs";

export function readTapLog(file) {
  if (!existsSync(file)) return [];
  return readFileSync(file, "utf8")
    .split("\n")
    .filter((line) => line !== "")
    .flatMap((line) => {
      try {
        return [JSON.parse(line)];
      } catch {
        return []; // a line being written while it was read
      }
    });
}

export function exchanges(entries) {
  const byKey = new Map();
  for (const entry of entries) {
    const id = entry.msg?.id;
    if (typeof id !== "string") continue;
    const key = `${entry.pid}/${id}`;
    if (entry.dir === "in" && entry.msg.type === "go") {
      if (byKey.has(key)) byKey.get(key).goAt ??= entry.t;
    } else if (entry.dir === "in") {
      byKey.set(key, { pid: entry.pid, request: entry.msg, sentAt: entry.t, answers: [] });
    } else if (entry.dir === "out" && byKey.has(key)) {
      byKey.get(key).answers.push({ ...entry.msg, at: entry.t, ...(entry.dropped ? { dropped: true } : {}) });
    }
  }
  return [...byKey.values()];
}

// The first exchange of that type and URL sent at or after a time.
export function exchangeFor(entries, { type, url, after }) {
  return exchanges(entries).find(
    (exchange) => exchange.request.type === type && exchange.request.url === url && exchange.sentAt >= after,
  );
}

// The final answer the browser got (a dropped one never reached it).
export function finalAnswer(exchange) {
  return exchange?.answers.find((answer) => answer.state !== "pending" && !answer.dropped) ?? null;
}

export function hostStarts(entries) {
  return entries.filter((entry) => entry.event === "start");
}

// The tap processes still running: started and neither exited nor killed.
export function liveTapPids(entries) {
  const live = new Set();
  for (const entry of entries) {
    if (entry.event === "start") live.add(entry.pid);
    if (entry.event === "exit" || entry.event === "killed") live.delete(entry.pid);
  }
  return [...live];
}
