// Test double of the native messaging host: speaks the bridge protocol with
// a fixed rule instead of Trevalon's settings. A download whose file name
// (or, without one, the URL's last segment) ends in an accepted extension
// is taken, others are declined; a link is always taken. Every request gets
// `pending` first, as the real host answers while it decides, and one it
// would take waits for the extension's `go` (protocol 2): without one
// within 10 s it is declined "not-confirmed". A POST is declined "post".
// A batch is answered as the real host answers one (batch_answers.mjs).
//
//   stub_host.mjs [--accept zip,exe] [--decide-ms N] [--mute] [--records FILE] [--claimed URL,...]
// --mute answers hello but never a request, as a hung host would.
// --records appends each record a batch would hand to Trevalon to FILE, one
// JSON line each; --claimed names URLs Trevalon already claims.
//
// `status` tells of a Trevalon that is installed and running, unless the
// JSON file VRPPH_STUB_TREVALON names says otherwise ({ programFound,
// windowFound, noTypes, useCtrlAlt }); it is read afresh for each request.

import { appendFileSync, readFileSync } from "node:fs";
import { BatchRun } from "./batch_answers.mjs";
import { encodeFrame, FrameReader, parseBody } from "./native_frames.mjs";

const GO_WITHIN_MS = 10_000;
const HELLO = { version: "1.0.0.0", protocol: 2, keysToAdd: ["alt", "ctrl"], keysToIgnore: ["shift"], useCtrlAlt: false };

function stubAnswers(request, accepted) {
  const id = typeof request?.id === "string" ? request.id : null;
  if (id === null) return [{ id, state: "error", reason: "no id" }];
  if (request.type === "hello") return [{ id, state: "hello", ...HELLO }];
  if (request.type === "go") return [];
  if (request.type === "status") return [{ id, state: "status", ...stubStatus() }];
  const pending = { id, state: "pending" };
  if (request.type === "link") return [pending, { id, state: "taken" }];
  if (request.type === "batch") return [pending, { id, state: "batch" }];
  if (request.type !== "download" || typeof request.url !== "string") {
    return [pending, { id, state: "error", reason: "bad request" }];
  }
  const name = request.filename ?? new URL(request.url).pathname.split("/").pop();
  const extension = name.includes(".") ? name.split(".").pop().toLowerCase() : "";
  if (!accepted.includes(extension)) return [pending, { id, state: "declined", reason: "not-accepted" }];
  if (request.method !== undefined && request.method !== "GET") return [pending, { id, state: "declined", reason: "post" }];
  return [pending, { id, state: "taken" }];
}

function stubStatus() {
  let trevalon = { programFound: true, windowFound: true, noTypes: false, useCtrlAlt: false };
  try {
    if (process.env.VRPPH_STUB_TREVALON) trevalon = { ...trevalon, ...JSON.parse(readFileSync(process.env.VRPPH_STUB_TREVALON, "utf8")) };
  } catch {
    // No file yet: the default.
  }
  return {
    version: HELLO.version,
    protocol: HELLO.protocol,
    trevalon: { programFound: trevalon.programFound, windowFound: trevalon.windowFound },
    handler: { registered32: false, registered64: true },
    catching: { noTypes: trevalon.noTypes, useCtrlAlt: trevalon.useCtrlAlt },
    lastFailure: null,
  };
}

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at > 0 && at + 1 < process.argv.length ? process.argv[at + 1] : fallback;
}

function main() {
  const accepted = option("--accept", "zip,exe,msi,7z").split(",");
  const decideMs = Number(option("--decide-ms", "50"));
  const mute = process.argv.includes("--mute");
  const records = option("--records", null);
  const claimed = new Set(option("--claimed", "").split(",").filter(Boolean));
  const batches = new BatchRun({
    claims: (url) => claimed.has(url),
    deliver: (record) => {
      if (records) appendFileSync(records, `${JSON.stringify(record)}\n`);
    },
  });
  const hello = { ...HELLO, acceptingTypes: accepted.map((type) => type.toUpperCase()) };
  const reader = new FrameReader();
  const write = (message) => process.stdout.write(encodeFrame(message));
  // Requests that would be taken, by id, until their go comes.
  const awaitingGo = new Map();

  process.stdin.on("data", (chunk) => {
    for (const body of reader.push(chunk)) {
      const request = parseBody(body);
      if (request?.type === "go") {
        awaitingGo.get(request.id)?.();
        continue;
      }
      const [first, final] = stubAnswers(request, accepted);
      if (mute && request?.type !== "hello") continue;
      if (first.state === "hello") {
        write({ ...first, ...hello });
        continue;
      }
      write(first);
      if (!final) continue;
      // The final answer comes a little later, as a decision would; a take
      // only once the extension said go.
      if (final.state !== "taken" && final.state !== "batch") {
        setTimeout(() => write(final), decideMs);
        continue;
      }
      const expire = setTimeout(() => {
        awaitingGo.delete(final.id);
        write(final.state === "batch" ? BatchRun.unconfirmed(request) : { id: final.id, state: "declined", reason: "not-confirmed" });
      }, GO_WITHIN_MS);
      awaitingGo.set(final.id, () => {
        clearTimeout(expire);
        awaitingGo.delete(final.id);
        if (final.state === "batch") batches.run(request, write);
        else setTimeout(() => write(final), decideMs);
      });
    }
  });
  process.stdin.on("end", () => process.exit(0));
}

main();
