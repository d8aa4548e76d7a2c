// Sits between a browser and a native messaging host and records, for the
// end-to-end drivers, every frame either side sends, with the time it passed
// (epoch milliseconds). The tap ends with the host.
//
//   host_tap.mjs [--drop-answers] LOG -- HOST [HOST_ARGS...] -- [BROWSER_ARGS...]
//
// The host is started with the browser's arguments (the caller's origin
// first) followed by its own. Bytes pass through unchanged, except that
// with --drop-answers the host's answers to anything but hello are recorded
// and kept from the browser, as if the host had hung while deciding.

import { spawn } from "node:child_process";
import { appendFileSync } from "node:fs";
import { FrameReader, frameOf, parseBody } from "./native_frames.mjs";

const args = process.argv.slice(2);
const dropAnswers = args[0] === "--drop-answers";
const [log, marker, ...rest] = dropAnswers ? args.slice(1) : args;
const split = rest.indexOf("--");
if (!log || marker !== "--" || split < 1) {
  process.stderr.write("usage: host_tap.mjs [--drop-answers] LOG -- HOST [ARGS...] -- [BROWSER_ARGS...]\n");
  process.exit(2);
}
const [hostPath, ...hostArgs] = rest.slice(0, split);
const browserArgs = rest.slice(split + 1);

function record(entry) {
  appendFileSync(log, `${JSON.stringify({ t: performance.timeOrigin + performance.now(), pid: process.pid, ...entry })}\n`);
}

// Frames of one direction, each recorded, then given to forward(frame, message).
function frames(direction, forward) {
  const reader = new FrameReader();
  return (chunk) => {
    let bodies;
    try {
      bodies = reader.push(chunk);
    } catch (error) {
      record({ dir: direction, error: error.message });
      return;
    }
    for (const body of bodies) {
      const message = parseBody(body);
      const dropped = dropAnswers && direction === "out" && message?.state !== "hello";
      record({ dir: direction, msg: message ?? body.toString("utf8"), ...(dropped ? { dropped } : {}) });
      if (!dropped) forward(frameOf(body));
    }
  };
}

record({ event: "start", host: hostPath, args: [...browserArgs, ...hostArgs] });
const host = spawn(hostPath, [...browserArgs, ...hostArgs], { stdio: ["pipe", "pipe", "inherit"] });
host.on("error", (error) => {
  record({ event: "error", message: error.message });
  process.exit(1);
});
host.stdin.on("error", () => {});

process.stdin.on("data", frames("in", (frame) => host.stdin.write(frame)));
process.stdin.on("end", () => host.stdin.end());
host.stdout.on("data", frames("out", (frame) => process.stdout.write(frame)));
host.on("exit", (code, signal) => {
  record({ event: "exit", code, signal });
  process.exit(code ?? 1);
});
// Ended by a driver to stand for a crashed host: the browser sees the port drop.
process.on("SIGTERM", () => {
  record({ event: "killed" });
  host.kill("SIGKILL");
  process.exit(143);
});
