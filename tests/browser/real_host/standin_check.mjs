// A --check module of the end-to-end run (see ../e2e/run_e2e.mjs) for the
// real host: each click the host took must have reached the stand-in
// manager as exactly one transfer record, byte for byte; a click it did not
// take (declined, a page, no host) must have reached it not at all.
//
// VRPPH_STANDIN names the standin.json prepare-host wrote (by default
// build/real-host/standin.json): where the stand-in logs, and the action
// each type remembers.
//
// The host decides whether or not the browser hears it (a hung run keeps
// its answers from the browser), so what it took is read from the tap's
// log, dropped answers included. Both browsers' hosts share one stand-in;
// each driver's pages have an origin of their own, so the URL tells whose
// record it is. Records are counted once: a later click on the same link
// finds only records that came after.

import { readFileSync } from "node:fs";
import { fileURLToPath } from "node:url";
import { waitFor } from "../e2e/browser_events.mjs";
import { exchanges, readTapLog } from "../e2e/tap_log.mjs";
import { expectedRecord } from "./expected_record.mjs";
import { readStandinLog, recordsOfUrl } from "./standin_log.mjs";

// How long a host's answer or its record may lag behind the browser's end
// of the click: a hung run stops waiting after 3 s.
const HOST_DECIDES_MS = 15_000;
// A record is on disk before the host says taken; a moment for the reader.
const RECORD_LANDS_MS = 2000;

const DEFAULT_INFO = fileURLToPath(new URL("../../../build/real-host/standin.json", import.meta.url));

export function standinInfo(file = process.env.VRPPH_STANDIN || DEFAULT_INFO) {
  return JSON.parse(readFileSync(file, "utf8"));
}

// The host's last word on a request, whether or not the browser got it.
export function hostFinal(exchange) {
  return exchange.answers.find((answer) => answer.state !== "pending") ?? null;
}

export function makeCheck(info, { decideMs = HOST_DECIDES_MS, landMs = RECORD_LANDS_MS } = {}) {
  // What earlier clicks accounted for: requests by tap process and id,
  // records by their offset in the log.
  const seenExchanges = new Set();
  const seenRecords = new Set();
  return async function check(result, context) {
    const ofClick = () =>
      exchanges(readTapLog(context.tapLog)).filter(
        (exchange) => exchange.request.url === result.url && !seenExchanges.has(`${exchange.pid}/${exchange.request.id}`),
      );
    if (ofClick().length > 0) await waitFor(() => ofClick().every(hostFinal), decideMs);
    const clicked = ofClick();
    for (const exchange of clicked) seenExchanges.add(`${exchange.pid}/${exchange.request.id}`);
    const undecided = clicked.filter((exchange) => !hostFinal(exchange));
    const took = clicked.filter((exchange) => {
      const final = hostFinal(exchange);
      return final?.state === "taken" && final.sent !== false;
    });

    const fresh = () => recordsOfUrl(readStandinLog(info.log), result.url).filter((entry) => !seenRecords.has(entry.at));
    if (took.length > 0) await waitFor(() => fresh().length >= took.length, landMs);
    const records = fresh();
    for (const entry of records) seenRecords.add(entry.at);

    const failures = [];
    if (undecided.length > 0) failures.push(`stand-in: the host gave no final answer within ${decideMs} ms`);
    if (records.length !== took.length) {
      failures.push(`stand-in: expected ${took.length} record(s) for ${result.url}, received ${records.length}`);
    }
    if (took.length !== 1 || records.length !== 1) return failures;
    const download = took[0].request.type === "download";
    const expected = expectedRecord({
      url: result.url,
      referer: `${context.origin}/`,
      fileName: download ? context.testCase.file : undefined,
      remembered: info.remembered,
    });
    const received = records[0].bytes.toString("latin1");
    if (received !== expected) {
      failures.push(`stand-in record: expected ${JSON.stringify(expected)}, received ${JSON.stringify(received)}`);
    }
    return failures;
  };
}

let defaultCheck = null;
export function check(result, context) {
  defaultCheck ??= makeCheck(standinInfo());
  return defaultCheck(result, context);
}
