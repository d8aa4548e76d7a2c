// What the background knows of the host for the popup: whether the port's
// host answers (and its version), or why it could not be used, and, asked
// afresh when the popup opens, the host's own `status`.

import { hostFailure } from "../lib/host_failure.js";

// The popup waits this long for the port to settle, and for a status answer.
export const SETTLE_MS = 2500;
export const STATUS_MS = 1500;

export class HostStatus {
  #port;
  #timers;
  state = "connecting";
  version = null;
  reason = null;
  #waiters = new Set();
  #statuses = new Map();
  #serial = 0;

  // timers: { set(fn, ms), clear(handle) }. The HostPort attached routes
  // its events here (opening, hello, status, down, and answers to the ids
  // this object asked).
  constructor(timers) {
    this.#timers = timers;
  }

  attach(port) {
    this.#port = port;
  }

  opening() {
    this.state = "connecting";
  }

  hello(settings) {
    this.state = "answering";
    this.version = settings.version;
    this.reason = null;
    this.#wake();
  }

  down(reason, answered) {
    this.state = hostFailure(reason, answered);
    this.reason = reason;
    for (const resolve of this.#statuses.values()) resolve({ status: null, missing: "no-answer" });
    this.#statuses.clear();
    this.#wake();
  }

  // An answer to a status request (or an older host's error for it): true
  // when it was one. A pending is no answer: a host that knows no status
  // may say pending before its error.
  answer(answer) {
    const resolve = this.#statuses.get(answer.id);
    if (!resolve || answer.kind === "pending") return Boolean(resolve);
    this.#statuses.delete(answer.id);
    if (answer.kind === "status") resolve({ status: answer.status, missing: null });
    else resolve({ status: null, missing: answer.kind === "final" ? "unknown" : "no-answer" });
    return true;
  }

  // What the popup shows: the port opened if it is closed, then the host's
  // status asked when it answers. Never takes much longer than the bounds.
  async snapshot() {
    if (!this.#port.isOpen) this.#port.open();
    if (this.state === "connecting") await this.#settled(SETTLE_MS);
    if (this.state !== "answering") {
      return { state: this.state === "connecting" ? "no-answer" : this.state, version: null, status: null, reason: this.reason };
    }
    const { status, missing } = await this.#askStatus();
    return { state: this.state, version: this.version, status, statusMissing: missing, reason: null };
  }

  #settled(withinMs) {
    return new Promise((resolve) => {
      const done = () => {
        this.#waiters.delete(done);
        this.#timers.clear(timer);
        resolve();
      };
      const timer = this.#timers.set(done, withinMs);
      this.#waiters.add(done);
    });
  }

  #wake() {
    for (const done of [...this.#waiters]) done();
  }

  #askStatus() {
    this.#serial += 1;
    const id = `s${this.#serial}`;
    return new Promise((resolve) => {
      const timer = this.#timers.set(() => this.answer({ id, kind: "timeout" }), STATUS_MS);
      this.#statuses.set(id, (outcome) => {
        this.#timers.clear(timer);
        resolve(outcome);
      });
      if (!this.#port.post({ id, type: "status" })) this.answer({ id, kind: "unsent" });
    });
  }
}
