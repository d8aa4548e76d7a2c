// Test double of the native messaging host: speaks the bridge protocol with
// a fixed rule instead of Trevalon's settings. A download whose file name
// (or, without one, the URL's last segment) ends in an accepted extension
// is taken, others are declined; a link is always taken. Every request gets
// `pending` first, as the real host answers while it decides.
//
//   stub_host.mjs [--accept zip,exe] [--decide-ms N] [--mute]
// --mute answers hello but never a request, as a hung host would.

import { encodeFrame, FrameReader, parseBody } from "./native_frames.mjs";

const HELLO = { version: "0.0.0-stub", keysToAdd: ["alt", "ctrl"], keysToIgnore: ["shift"], useCtrlAlt: false };

function stubAnswers(request, accepted) {
  const id = typeof request?.id === "string" ? request.id : null;
  if (id === null) return [{ id, state: "error", reason: "no id" }];
  if (request.type === "hello") return [{ id, state: "hello", ...HELLO }];
  const pending = { id, state: "pending" };
  if (request.type === "link") return [pending, { id, state: "taken" }];
  if (request.type !== "download" || typeof request.url !== "string") {
    return [pending, { id, state: "error", reason: "bad request" }];
  }
  const name = request.filename ?? new URL(request.url).pathname.split("/").pop();
  const extension = name.includes(".") ? name.split(".").pop().toLowerCase() : "";
  return accepted.includes(extension)
    ? [pending, { id, state: "taken" }]
    : [pending, { id, state: "declined", reason: "not-accepted" }];
}

function option(name, fallback) {
  const at = process.argv.indexOf(name);
  return at > 0 && at + 1 < process.argv.length ? process.argv[at + 1] : fallback;
}

function main() {
  const accepted = option("--accept", "zip,exe,msi,7z").split(",");
  const decideMs = Number(option("--decide-ms", "50"));
  const mute = process.argv.includes("--mute");
  const reader = new FrameReader();
  const write = (message) => process.stdout.write(encodeFrame(message));

  process.stdin.on("data", (chunk) => {
    for (const body of reader.push(chunk)) {
      const request = parseBody(body);
      const [first, ...rest] = stubAnswers(request, accepted);
      if (mute && request?.type !== "hello") continue;
      write(first);
      // The final answer comes a little later, as a decision would.
      for (const answer of rest) setTimeout(() => write(answer), decideMs);
    }
  });
  process.stdin.on("end", () => process.exit(0));
}

main();
