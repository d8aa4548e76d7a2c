import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { keyCombination } from "../../../extension/lib/hello_settings.js";
import { readHostAnswer } from "../../../extension/lib/host_answer.js";

describe("readHostAnswer", () => {
  it("reads each kind of answer, and nothing from what is no answer", () => {
    const cases = [
      [{ id: "d1", state: "pending" }, { kind: "pending", id: "d1" }],
      [{ id: "d1", state: "taken" }, { kind: "final", id: "d1", state: "taken" }],
      [{ id: "d1", state: "taken", sent: false }, { kind: "final", id: "d1", state: "taken", sent: false }],
      [{ id: "d1", state: "declined", reason: "excluded" }, { kind: "final", id: "d1", state: "declined", reason: "excluded" }],
      [{ id: "l2", state: "error", reason: "bad url" }, { kind: "final", id: "l2", state: "error", reason: "bad url" }],
      // A state the extension does not know must not leave a download held.
      [{ id: "d1", state: "maybe" }, { kind: "final", id: "d1", state: "error" }],
      [{ id: "d1" }, { kind: "final", id: "d1", state: "error" }],
      [{ id: null, state: "error", reason: "no id" }, { kind: "invalid" }],
      [{ id: 7, state: "taken" }, { kind: "invalid" }],
      [["d1", "taken"], { kind: "invalid" }],
      ["taken", { kind: "invalid" }],
      [null, { kind: "invalid" }],
    ];
    for (const [message, expected] of cases) {
      assert.deepEqual(readHostAnswer(message), expected, JSON.stringify(message));
    }
  });

  it("takes a host that does not say its protocol, or says it oddly, for protocol 1", () => {
    const cases = [[2, 2], [3, 3], [undefined, 1], [null, 1], ["2", 1], [2.5, 1], [0, 1], [-2, 1]];
    for (const [protocol, expected] of cases) {
      assert.equal(readHostAnswer({ id: "h", state: "hello", protocol }).settings.protocol, expected, String(protocol));
    }
  });

  it("reads hello's settings, each field checked on its own", () => {
    assert.deepEqual(
      readHostAnswer({ id: "h1", state: "hello", version: "1.0.0.76", keysToAdd: ["ctrl", "alt"], keysToIgnore: ["shift"], useCtrlAlt: true,
        acceptingTypes: ["ZIP", 7, "exe"] }),
      { kind: "hello", id: "h1", settings: { version: "1.0.0.76", protocol: 1, keysToAdd: ["alt", "ctrl"], keysToIgnore: ["shift"], useCtrlAlt: true,
        acceptingTypes: ["ZIP", "exe"] } },
    );
    assert.deepEqual(readHostAnswer({ id: "h2", state: "hello", version: 1, keysToAdd: null, useCtrlAlt: "TRUE" }).settings, {
      version: null,
      protocol: 1,
      keysToAdd: null,
      keysToIgnore: null,
      useCtrlAlt: false,
      acceptingTypes: null,
    });
  });
});

describe("a batch's answers", () => {
  it("reads progress as not final, and the last answer with every outcome it can read", () => {
    const outcomes = [
      { index: 0, state: "taken" },
      { index: 1, state: "taken", sent: false },
      { index: 2, state: "declined", reason: "unreachable" },
      { index: 3, state: "error", reason: "url holds a line break" },
      { index: 4, state: "maybe" },
      { index: -1, state: "taken" },
      { index: "5", state: "taken" },
      { index: 6.5, state: "taken" },
      null,
      { index: 7, state: "declined", sent: false },
    ];
    const read = [
      { index: 0, state: "taken" },
      { index: 1, state: "taken", sent: false },
      { index: 2, state: "declined", reason: "unreachable" },
      { index: 3, state: "error", reason: "url holds a line break" },
      { index: 4, state: "error" },
      { index: 7, state: "declined" },
    ];
    assert.deepEqual(readHostAnswer({ id: "b1", state: "progress", outcomes }), { kind: "progress", id: "b1", outcomes: read });
    assert.deepEqual(readHostAnswer({ id: "b1", state: "done", outcomes }), { kind: "final", id: "b1", state: "done", outcomes: read });
    assert.deepEqual(readHostAnswer({ id: "b1", state: "progress" }), { kind: "progress", id: "b1", outcomes: [] });
    assert.deepEqual(readHostAnswer({ id: "b1", state: "done", outcomes: {} }), { kind: "final", id: "b1", state: "done", outcomes: [] });
    // Only a batch's last answer carries outcomes.
    assert.deepEqual(readHostAnswer({ id: "d1", state: "taken", outcomes }), { kind: "final", id: "d1", state: "taken" });
  });
});

describe("keyCombination", () => {
  it("keeps a list of known keys, sorted, and never matches anything else", () => {
    const cases = [
      [["shift", "alt"], ["alt", "shift"]],
      [["meta"], ["meta"]],
      [[], null], // would claim every plain click
      [["alt", "alt"], null],
      [["alt", "f12"], null],
      [["Alt"], null],
      ["alt", null],
      [null, null],
    ];
    for (const [value, expected] of cases) assert.deepEqual(keyCombination(value), expected, JSON.stringify(value));
  });
});
