// The requests in flight to the native host, each settled exactly once.
//
// A request that gets no `pending` within the bound, or whose port drops,
// settles as "go on", so the browser never loses a download to a missing or
// hung host. A `pending` that comes while the request is open is confirmed
// (the caller sends `go`): the download is still held, and from then on the
// host may be showing a prompt, so the request waits for its final answer
// however long that takes. A `pending` after the bound finds nothing open
// and is confirmed never: the browser has already gone on.

export const PENDING_WITHIN_MS = 2000;
export const MAX_IN_FLIGHT = 256;

// What the extension does with a settled request: "cancel" the browser's
// download (the host took it) or let the browser "go on".
export function verdictOf(state, extra = {}) {
  return { action: state === "taken" ? "cancel" : "goOn", state, ...extra };
}

export class RequestTable {
  #open = new Map();
  #serial = 0;
  #timers;
  #pendingWithinMs;
  #maxInFlight;

  // timers: { set(fn, ms) -> handle, clear(handle) }, the clock to count on.
  constructor(timers, { pendingWithinMs = PENDING_WITHIN_MS, maxInFlight = MAX_IN_FLIGHT } = {}) {
    this.#timers = timers;
    this.#pendingWithinMs = pendingWithinMs;
    this.#maxInFlight = maxInFlight;
  }

  get size() {
    return this.#open.size;
  }

  // Opens a request and returns its id, or null when too many are in flight,
  // in which case onSettle has already been told to go on. onPending(id) is
  // called once, when its `pending` comes in time; onProgress(outcomes) for
  // each `progress` of a batch after that, which leaves it open.
  open(prefix, onSettle, onPending = () => {}, onProgress = () => {}) {
    if (this.#open.size >= this.#maxInFlight) {
      onSettle(verdictOf("busy"));
      return null;
    }
    this.#serial += 1;
    const id = `${prefix}${this.#serial}`;
    const timer = this.#timers.set(() => this.#settle(id, verdictOf("timeout")), this.#pendingWithinMs);
    this.#open.set(id, { onSettle, onPending, onProgress, timer, pending: false });
    return id;
  }

  // Applies one classified answer of the host (see host_answer.js). Answers
  // to ids not open (late, repeated, foreign) are ignored.
  answer(answer) {
    const entry = this.#open.get(answer.id);
    if (!entry) return false;
    if (answer.kind === "pending") {
      if (entry.pending) return true;
      this.#timers.clear(entry.timer);
      entry.pending = true;
      entry.onPending(answer.id);
      return true;
    }
    if (answer.kind === "progress") {
      // Only after the pending that opened the wait: before it the host has
      // not been told to go on, and a progress then is no answer to trust.
      if (!entry.pending) return false;
      entry.onProgress(answer.outcomes);
      return true;
    }
    if (answer.kind !== "final") return false;
    const extra = {};
    if (answer.reason !== undefined) extra.reason = answer.reason;
    if (answer.sent !== undefined) extra.sent = answer.sent;
    if (answer.outcomes !== undefined) extra.outcomes = answer.outcomes;
    this.#settle(answer.id, verdictOf(answer.state, extra));
    return true;
  }

  // Settles one request that could not be sent at all.
  fail(id, state) {
    this.#settle(id, verdictOf(state));
  }

  // The port went away: every open request, pending or not, goes on.
  dropAll(state = "dropped") {
    for (const id of [...this.#open.keys()]) this.#settle(id, verdictOf(state));
  }

  #settle(id, verdict) {
    const entry = this.#open.get(id);
    if (!entry) return;
    this.#open.delete(id);
    this.#timers.clear(entry.timer);
    entry.onSettle(verdict);
  }
}

// Puts one request to the host and resolves with its verdict. post(message)
// sends it and says whether it could; build(id) makes the message;
// confirm(id) sends its `go` when the host wants one; progress(outcomes)
// hears a batch's answers before its last.
export function askHost(table, post, prefix, build, confirm = () => {}, progress = () => {}) {
  return new Promise((resolve) => {
    const id = table.open(prefix, resolve, confirm, progress);
    if (id !== null && !post(build(id))) table.fail(id, "unsent");
  });
}
