import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { frameBytes, HOST_FRAME_LIMIT, outcomeKey, splitBatch } from "../../../extension/lib/batch.js";

const ID = "x".repeat(16);
const utf8 = (message) => Buffer.byteLength(JSON.stringify(message), "utf8");
// The frame of one request, as the extension would send it with the longest id.
const requestBytes = (links) => utf8({ id: ID, type: "batch", links });
// A link whose request, alone, takes exactly `bytes` bytes.
function linkOfRequestBytes(bytes) {
  const base = "https://files.example/";
  const short = { index: 0, url: base };
  return { url: base + "a".repeat(bytes - requestBytes([short])) };
}

describe("frameBytes", () => {
  it("counts UTF-8 bytes, and the escapes one family writes for <, U+2028 and U+2029", () => {
    const cases = [
      [{ url: "abc" }, 13],
      [{ url: "Übersicht 日本" }, utf8({ url: "Übersicht 日本" })],
      // "<" is 1 byte as written, 6 as \u003C; U+2028 is 3 bytes, 6 escaped.
      [{ url: "a<b" }, utf8({ url: "a<b" }) + 5],
      [{ url: "a\u2028\u2029" }, utf8({ url: "a\u2028\u2029" }) + 6],
      [{ url: "line\nbreak" }, utf8({ url: "line\nbreak" })],
    ];
    for (const [message, expected] of cases) assert.equal(frameBytes(message), expected, JSON.stringify(message));
  });
});

describe("splitBatch", () => {
  it("keeps the order and each link exactly once, indices counting the whole hand-over", () => {
    const links = Array.from({ length: 7 }, (_, i) => ({ url: `https://f.example/${i}.zip`, referrer: "https://f.example/", filename: i === 2 ? "named.zip" : "" }));
    const { requests, tooLong } = splitBatch(links, { perRequest: 3 });
    assert.deepEqual(tooLong, []);
    assert.deepEqual(requests.map((list) => list.map((entry) => entry.index)), [[0, 1, 2], [3, 4, 5], [6]]);
    assert.deepEqual(requests[0][2], { index: 2, url: "https://f.example/2.zip", referrer: "https://f.example/", filename: "named.zip" });
    assert.deepEqual(requests[0][1], { index: 1, url: "https://f.example/1.zip", referrer: "https://f.example/" });
    assert.deepEqual(splitBatch([]), { requests: [], tooLong: [] });
  });

  it("sends a request one byte under the host's limit whole, and never one that reaches it", () => {
    const under = linkOfRequestBytes(HOST_FRAME_LIMIT - 1);
    assert.equal(requestBytes([{ index: 0, url: under.url }]), HOST_FRAME_LIMIT - 1);
    assert.deepEqual(splitBatch([under]).requests.map((list) => list.length), [1]);
    // At the limit a link cannot travel at all: it alone is kept back.
    const at = linkOfRequestBytes(HOST_FRAME_LIMIT);
    const small = { url: "https://f.example/s.zip" };
    const kept = splitBatch([small, at, small]);
    assert.deepEqual(kept.tooLong, [1]);
    assert.deepEqual(kept.requests.map((list) => list.map((entry) => entry.index)), [[0, 2]]);
  });

  it("splits two links exactly where their shared request would reach the limit", () => {
    const second = { url: "https://f.example/second.zip" };
    const secondBytes = utf8({ index: 1, url: second.url }) + 1; // and its comma
    for (const [total, lists] of [[HOST_FRAME_LIMIT - 1, [[0, 1]]], [HOST_FRAME_LIMIT, [[0], [1]]]]) {
      const first = linkOfRequestBytes(total - secondBytes);
      const { requests } = splitBatch([first, second]);
      assert.deepEqual(requests.map((list) => list.map((entry) => entry.index)), lists, `total ${total}`);
      for (const list of requests) assert.ok(requestBytes(list) < HOST_FRAME_LIMIT);
      if (lists.length === 1) assert.equal(requestBytes(requests[0]), total);
    }
  });

  it("keeps every frame of a large batch under the limit, escapes counted", () => {
    const links = Array.from({ length: 1500 }, (_, i) => ({ url: `https://f.example/${"<\u2028é".repeat(100)}${i}`, referrer: `https://f.example/${"p".repeat(300)}` }));
    const { requests, tooLong } = splitBatch(links);
    assert.deepEqual(tooLong, []);
    assert.ok(requests.length > 1);
    assert.deepEqual(requests.flat().map((entry) => entry.index), links.map((_, i) => i));
    for (const list of requests) assert.ok(frameBytes({ id: ID, type: "batch", links: list }) < HOST_FRAME_LIMIT);
  });
});

describe("outcomeKey", () => {
  it("names each outcome in the pick page's words", () => {
    const cases = [
      [undefined, "pickOutcomeNoAnswer"],
      [{ state: "taken" }, "pickOutcomeTaken"],
      [{ state: "taken", sent: false }, "pickOutcomeClaimed"],
      [{ state: "declined", reason: "unreachable" }, "pickOutcomeUnreachable"],
      [{ state: "declined", reason: "not-confirmed" }, "pickOutcomeDeclined"],
      [{ state: "error", reason: "url holds a line break" }, "pickOutcomeLineBreak"],
      [{ state: "error", reason: "bad" }, "pickOutcomeError"],
      [{ state: "error" }, "pickOutcomeError"],
    ];
    for (const [outcome, key] of cases) assert.equal(outcomeKey(outcome), key, JSON.stringify(outcome));
  });
});
