// The end-to-end harness's own judgement: a fault here would let a broken
// extension pass in a real browser.

import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { sessionsOf } from "../e2e/cases.mjs";
import { differences } from "../e2e/expectations.mjs";
import { exchanges, finalAnswer } from "../e2e/tap_log.mjs";
import { encodeFrame, FrameReader } from "../host/native_frames.mjs";

const URL_ = "http://127.0.0.1:1/files/tool.zip";
const takenAndCancelled = {
  sent: { id: "d1", type: "download", url: URL_, filename: "tool.zip", keys: [] },
  final: "taken",
  download: "cancelled",
  navigated: false,
  leftovers: [],
};
const expected = { sent: { type: "download", filename: "tool.zip", keys: [] }, final: "taken", download: "cancelled", navigated: false };

describe("differences", () => {
  it("passes a click that did what its run expects", () => {
    assert.deepEqual(differences(takenAndCancelled, expected, URL_), []);
  });

  it("names every way a click can differ from its expectation", () => {
    const cases = [
      [{ sent: null }, /expected a download request, none was sent/],
      [{ sent: { ...takenAndCancelled.sent, url: `${URL_}?x` } }, /request url/],
      [{ sent: { ...takenAndCancelled.sent, keys: ["alt"] } }, /request keys/],
      [{ final: null }, /final: expected "taken", observed null/],
      [{ download: "completed" }, /download/],
      [{ navigated: true }, /navigated/],
      [{ leftovers: ["tool.zip.crdownload"] }, /partial files left/],
    ];
    for (const [change, message] of cases) {
      const found = differences({ ...takenAndCancelled, ...change }, expected, URL_);
      assert.equal(found.length, 1, JSON.stringify(change));
      assert.match(found[0], message);
    }
    assert.match(differences(takenAndCancelled, { sent: null }, URL_)[0], /expected no request/);
  });
});

describe("tap log", () => {
  it("pairs answers with their request per host process, and skips dropped ones as final", () => {
    const entries = [
      { pid: 1, t: 1, dir: "in", msg: { id: "d1", type: "download", url: URL_ } },
      { pid: 1, t: 2, dir: "out", msg: { id: "d1", state: "pending" } },
      { pid: 1, t: 3, dir: "out", msg: { id: "d1", state: "taken" }, dropped: true },
      { pid: 2, t: 4, dir: "in", msg: { id: "d1", type: "download", url: URL_ } },
      { pid: 2, t: 5, dir: "out", msg: { id: "d1", state: "pending" } },
      // A go belongs to its request; one for an id never sent is nothing.
      { pid: 2, t: 6, dir: "in", msg: { id: "d1", type: "go" } },
      { pid: 2, t: 7, dir: "in", msg: { id: "d9", type: "go" } },
      { pid: 2, t: 8, dir: "out", msg: { id: "d1", state: "declined" } },
    ];
    const [first, second, ...others] = exchanges(entries);
    assert.deepEqual(first.answers.map((answer) => answer.state), ["pending", "taken"]);
    assert.equal(finalAnswer(first), null);
    assert.equal(first.goAt, undefined);
    assert.equal(finalAnswer(second).state, "declined");
    assert.equal(second.request.type, "download");
    assert.equal(second.goAt, 6);
    assert.deepEqual(others, []);
  });
});

describe("FrameReader", () => {
  it("reads frames split and joined across chunks, and refuses one over the bound", () => {
    const bytes = Buffer.concat([encodeFrame({ id: "a" }), encodeFrame({ id: "ü" })]);
    const reader = new FrameReader();
    const bodies = [...bytes].flatMap((byte) => reader.push(Buffer.from([byte])));
    assert.deepEqual(bodies.map((body) => JSON.parse(body)), [{ id: "a" }, { id: "ü" }]);
    assert.equal(reader.pendingBytes, 0);
    assert.throws(() => new FrameReader(8).push(encodeFrame({ id: "longer" })), /over the bound/);
  });
});

describe("sessionsOf", () => {
  it("lets only a hung run that follows the host run share its browser", () => {
    assert.deepEqual(sessionsOf(["host", "hung", "missing"]), [["host", "hung"], ["missing"]]);
    assert.deepEqual(sessionsOf(["hung", "host"]), [["hung"], ["host"]]);
    assert.deepEqual(sessionsOf(["host", "missing", "hung"]), [["host"], ["missing"], ["hung"]]);
    assert.deepEqual(sessionsOf(["missing"]), [["missing"]]);
  });
});

describe("the test double's batch", () => {
  it("decides each link alone and in order, with progress before the one last answer", async () => {
    const { BatchRun } = await import("../host/batch_answers.mjs");
    const records = [];
    const run = new BatchRun({ claims: (url) => url.endsWith("/held.zip"), deliver: (record) => records.push(record) });
    const links = [
      { index: 0, url: "https://f.example/a.zip", referrer: "https://f.example/list" },
      { index: 1, url: "https://f.example/held.zip" },
      { index: 2, url: "https://f.example/b\r\nPath=C:\\x.zip" },
      { index: 3, url: "https://f.example/get?id=1", filename: "named.exe" },
      { index: 4, url: "https://f.example/same.zip", filename: "same.zip" },
      { index: 5, url: "mailto:x@f.example" },
      { index: 6, url: "https://f.example/c.zip", filename: "c\n.zip" },
    ];
    const written = [];
    run.run({ id: "b1", type: "batch", links }, (message) => written.push(message));
    assert.deepEqual(written.map((message) => message.state), ["progress", "done"]);
    assert.deepEqual(written[0].outcomes.map((outcome) => outcome.index), [0, 1, 2, 3, 4]);
    assert.deepEqual(written[1].outcomes, [
      { index: 0, state: "taken" },
      { index: 1, state: "taken", sent: false },
      { index: 2, state: "error", reason: "url holds a line break" },
      { index: 3, state: "taken" },
      { index: 4, state: "taken" },
      { index: 5, state: "error", reason: "url is not http, https or ftp" },
      { index: 6, state: "error", reason: "filename holds a line break" },
    ]);
    assert.deepEqual(records, [
      { URL: "https://f.example/a.zip", Referer: "https://f.example/list", Path: "" },
      { URL: "https://f.example/get?id=1", Path: "", FileName: "named.exe" },
      { URL: "https://f.example/same.zip", Path: "" },
    ]);
    assert.deepEqual(BatchRun.unconfirmed({ id: "b2", links: [{ index: 3 }] }), { id: "b2", state: "done", outcomes: [{ index: 3, state: "declined", reason: "not-confirmed" }] });
  });
});
