// Sums up how long the browsers waited for the host: reads the RESULT lines
// of end-to-end logs (tools/browser-test writes build/browser-test/*.log)
// and prints, per browser and case, the click-to-pending and click-to-answer
// times over all runs: median, lowest and highest.
//
//   node answer_times.mjs LOG...

import { readFileSync } from "node:fs";

export function resultsOf(text) {
  return text
    .split("\n")
    .filter((line) => line.startsWith("RESULT "))
    .map((line) => JSON.parse(line.slice("RESULT ".length)));
}

export function spread(values) {
  const sorted = values.filter((value) => typeof value === "number").sort((a, b) => a - b);
  if (sorted.length === 0) return null;
  const middle = Math.floor(sorted.length / 2);
  const median = sorted.length % 2 ? sorted[middle] : Math.round((sorted[middle - 1] + sorted[middle]) / 2);
  return { median, low: sorted[0], high: sorted.at(-1), count: sorted.length };
}

// One row per browser, run and case that got an answer.
export function answerTimes(results) {
  const groups = new Map();
  for (const result of results) {
    if (result.clickToAnswerMs === null || result.clickToAnswerMs === undefined) continue;
    const key = `${result.browser} ${result.run} ${result.case}`;
    if (!groups.has(key)) groups.set(key, []);
    groups.get(key).push(result);
  }
  return [...groups].map(([key, group]) => ({
    key,
    pending: spread(group.map((result) => result.clickToPendingMs)),
    answer: spread(group.map((result) => result.clickToAnswerMs)),
  }));
}

function show(figure) {
  return figure ? `${figure.median} ms (${figure.low} to ${figure.high}, ${figure.count} clicks)` : "none";
}

if (import.meta.url === `file://${process.argv[1]}`) {
  const results = process.argv.slice(2).flatMap((file) => resultsOf(readFileSync(file, "utf8")));
  for (const row of answerTimes(results)) {
    console.log(`${row.key}: pending ${show(row.pending)}; answer ${show(row.answer)}`);
  }
}
