import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { HostStatus, SETTLE_MS, STATUS_MS } from "../../../extension/background/host_status.js";
import { readHostAnswer } from "../../../extension/lib/host_answer.js";
import { helloSettings } from "../../../extension/lib/hello_settings.js";

// Timers run by hand: fire(ms) runs every timer due within ms.
function manualTimers() {
  let now = 0;
  const pending = new Set();
  return {
    set(run, ms) {
      const timer = { run, at: now + ms };
      pending.add(timer);
      return timer;
    },
    clear(timer) {
      pending.delete(timer);
    },
    fire(ms) {
      now += ms;
      for (const timer of [...pending]) if (timer.at <= now) {
        pending.delete(timer);
        timer.run();
      }
    },
    get count() {
      return pending.size;
    },
  };
}

// A port that records what it was asked to do; open() and post() may be
// given what the host does in answer.
function fakePort(status, { onOpen = () => {}, onPost = () => {}, open = false } = {}) {
  const port = {
    isOpen: open,
    opened: 0,
    posted: [],
    open() {
      port.opened += 1;
      port.isOpen = true;
      status.opening();
      onOpen();
    },
    post(message) {
      port.posted.push(message);
      return onPost(message) ?? true;
    },
  };
  status.attach(port);
  return port;
}

const tick = () => new Promise((resolve) => setImmediate(resolve));
const HELLO = helloSettings({ version: "1.0.0.76", protocol: 2 });

describe("the host's state for the popup", () => {
  it("opens a closed port, then asks the answering host its status", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    const port = fakePort(status, {
      onOpen: () => status.hello(HELLO),
      onPost: (message) => {
        status.answer(readHostAnswer({ id: message.id, state: "status", trevalon: { programFound: true, windowFound: true } }));
      },
    });
    const snapshot = await status.snapshot();
    assert.equal(port.opened, 1);
    assert.deepEqual(port.posted, [{ id: "s1", type: "status" }]);
    assert.equal(snapshot.state, "answering");
    assert.equal(snapshot.version, "1.0.0.76");
    assert.equal(snapshot.status.trevalon.windowFound, true);
    assert.equal(snapshot.statusMissing, null);
    assert.equal(timers.count, 0, "no timer left behind");
  });

  it("tells why the port went down, without asking a status", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    const port = fakePort(status, { onOpen: () => status.down("Specified native messaging host not found.", false) });
    const snapshot = await status.snapshot();
    assert.deepEqual([snapshot.state, port.posted.length, timers.count], ["not-found", 0, 0]);
  });

  it("gives up on a port that neither answers nor drops after its bound", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    fakePort(status);
    const asked = status.snapshot();
    timers.fire(SETTLE_MS - 1);
    await tick();
    let settled = false;
    asked.then(() => (settled = true));
    await tick();
    assert.equal(settled, false, "not before the bound");
    timers.fire(1);
    assert.equal((await asked).state, "no-answer");
  });

  it("tells an older host's refusal from a status that did not come, and a pending from either", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    status.hello(HELLO);
    fakePort(status, {
      open: true,
      onPost: (message) => {
        // An older host: pending, then an error for the unknown type.
        status.answer(readHostAnswer({ id: message.id, state: "pending" }));
        status.answer(readHostAnswer({ id: message.id, state: "error", reason: "unknown type" }));
      },
    });
    assert.equal((await status.snapshot()).statusMissing, "unknown");

    const quiet = new HostStatus(timers);
    quiet.hello(HELLO);
    fakePort(quiet, { open: true });
    const asked = quiet.snapshot();
    await tick();
    timers.fire(STATUS_MS);
    const snapshot = await asked;
    assert.deepEqual([snapshot.state, snapshot.status, snapshot.statusMissing], ["answering", null, "no-answer"]);
  });

  it("answers a waiting popup when the port drops, and does not take answers to other ids", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    status.hello(HELLO);
    fakePort(status, { open: true });
    const asked = status.snapshot();
    await tick();
    assert.equal(status.answer({ kind: "final", id: "d1", state: "taken" }), false);
    status.down("Native host has exited.", true);
    const snapshot = await asked;
    assert.deepEqual([snapshot.statusMissing, status.state], ["no-answer", "exited"]);
    assert.equal(timers.count, 0);
  });

  it("reports a status that could not be sent as not answered, at once", async () => {
    const timers = manualTimers();
    const status = new HostStatus(timers);
    status.hello(HELLO);
    fakePort(status, { open: true, onPost: () => false });
    const snapshot = await status.snapshot();
    assert.equal(snapshot.statusMissing, "no-answer");
    assert.equal(timers.count, 0);
  });
});
