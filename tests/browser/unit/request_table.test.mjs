import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { askHost, RequestTable } from "../../../extension/lib/request_table.js";

// A clock the test moves by hand.
function manualTimers() {
  let time = 0;
  const due = new Map();
  let serial = 0;
  return {
    set(run, ms) {
      serial += 1;
      due.set(serial, { at: time + ms, run });
      return serial;
    },
    clear(handle) {
      due.delete(handle);
    },
    advance(ms) {
      time += ms;
      for (const [handle, timer] of [...due]) {
        if (timer.at <= time) {
          due.delete(handle);
          timer.run();
        }
      }
    },
  };
}

function tableWithLog(options) {
  const timers = manualTimers();
  const table = new RequestTable(timers, options);
  const settled = [];
  const open = (prefix = "d") => table.open(prefix, (verdict) => settled.push({ verdict }));
  return { timers, table, settled, open };
}

describe("RequestTable", () => {
  it("lets the browser go on when no pending comes within the bound, and not before", () => {
    const { timers, settled, open } = tableWithLog();
    open();
    timers.advance(1999);
    assert.equal(settled.length, 0);
    timers.advance(1);
    assert.deepEqual(settled, [{ verdict: { action: "goOn", state: "timeout" } }]);
  });

  it("holds a pending request past the bound until its final answer", () => {
    const { timers, table, settled, open } = tableWithLog();
    const taken = open();
    const declined = open();
    table.answer({ kind: "pending", id: taken });
    table.answer({ kind: "pending", id: declined });
    timers.advance(60_000);
    assert.equal(settled.length, 0);
    table.answer({ kind: "final", id: taken, state: "taken", sent: false });
    table.answer({ kind: "final", id: declined, state: "declined", reason: "not-accepted" });
    assert.deepEqual(
      settled.map(({ verdict }) => verdict),
      [
        { action: "cancel", state: "taken", sent: false },
        { action: "goOn", state: "declined", reason: "not-accepted" },
      ],
    );
  });

  it("settles each request once: a late, repeated or foreign answer changes nothing", () => {
    const { timers, table, settled, open } = tableWithLog();
    const id = open();
    timers.advance(2000);
    assert.equal(table.answer({ kind: "final", id, state: "taken" }), false);
    assert.equal(table.answer({ kind: "final", id: "d99", state: "taken" }), false);
    table.dropAll();
    assert.deepEqual(settled, [{ verdict: { action: "goOn", state: "timeout" } }]);
    assert.equal(table.size, 0);
  });

  it("keeps a batch open through its progress answers, heard only after its pending", () => {
    const { timers, table, settled } = tableWithLog();
    const heard = [];
    const id = table.open("b", (verdict) => settled.push({ verdict }), () => {}, (outcomes) => heard.push(outcomes));
    // Before its pending the host was not told to go on: no progress counts.
    assert.equal(table.answer({ kind: "progress", id, outcomes: [{ index: 0, state: "taken" }] }), false);
    table.answer({ kind: "pending", id });
    timers.advance(10_000);
    assert.equal(table.answer({ kind: "progress", id, outcomes: [{ index: 0, state: "taken" }] }), true);
    assert.equal(table.answer({ kind: "progress", id, outcomes: [{ index: 1, state: "error" }] }), true);
    assert.equal(settled.length, 0);
    assert.equal(table.size, 1);
    const outcomes = [{ index: 0, state: "taken" }, { index: 1, state: "error" }];
    table.answer({ kind: "final", id, state: "done", outcomes });
    assert.deepEqual(heard, [[{ index: 0, state: "taken" }], [{ index: 1, state: "error" }]]);
    assert.deepEqual(settled, [{ verdict: { action: "goOn", state: "done", outcomes } }]);
    assert.equal(table.answer({ kind: "progress", id, outcomes: [] }), false);
    assert.equal(heard.length, 2);
  });

  it("lets every open request go on when the port drops, pending or not", () => {
    const { timers, table, settled, open } = tableWithLog();
    const first = open();
    open("l");
    table.answer({ kind: "pending", id: first });
    table.dropAll();
    timers.advance(5000);
    assert.deepEqual(
      settled.map(({ verdict }) => verdict),
      [
        { action: "goOn", state: "dropped" },
        { action: "goOn", state: "dropped" },
      ],
    );
  });

  it("confirms a request once, only while it still holds it", () => {
    const timers = manualTimers();
    const table = new RequestTable(timers);
    const confirmed = [];
    const open = () => table.open("d", () => {}, (id) => confirmed.push(id));
    const inTime = open();
    const late = open();
    const dropped = open();
    timers.advance(1999);
    table.answer({ kind: "pending", id: inTime });
    table.answer({ kind: "pending", id: inTime });
    timers.advance(1);
    // The browser went on with the others: their pending changes nothing.
    table.answer({ kind: "pending", id: late });
    table.dropAll();
    table.answer({ kind: "pending", id: dropped });
    assert.deepEqual(confirmed, [inTime]);
  });

  it("lets a request beyond the bound of requests in flight go on at once", () => {
    const { settled, open } = tableWithLog({ maxInFlight: 2 });
    open();
    open();
    assert.equal(open(), null);
    assert.deepEqual(settled, [{ verdict: { action: "goOn", state: "busy" } }]);
  });
});

describe("askHost", () => {
  it("sends the built request and resolves with its verdict", async () => {
    const table = new RequestTable(manualTimers());
    const posted = [];
    const verdict = askHost(table, (message) => posted.push(message) > 0, "d", (id) => ({ id, type: "download" }));
    table.answer({ kind: "final", id: posted[0].id, state: "taken" });
    assert.deepEqual(posted, [{ id: "d1", type: "download" }]);
    assert.deepEqual(await verdict, { action: "cancel", state: "taken" });
  });

  it("goes on at once, and leaves nothing open, when the request cannot be sent", async () => {
    const table = new RequestTable(manualTimers());
    const verdict = await askHost(table, () => false, "d", (id) => ({ id }));
    assert.deepEqual(verdict, { action: "goOn", state: "unsent" });
    assert.equal(table.size, 0);
  });
});
