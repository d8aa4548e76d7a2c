// The one long-lived port to the native host. It is opened when the
// background starts and again whenever a request needs it after the host
// went away (the worker or the host restarted); each new port starts with
// hello, whose answer tells what this host understands. While it is open it
// also keeps Chromium's service worker alive.

import { readHostAnswer } from "../lib/host_answer.js";

export const HOST_NAME = "vrpph.bridge";

export class HostPort {
  #runtime;
  #events;
  #port = null;
  #hellos = 0;
  // The protocol this port's host told in hello; null until it did.
  #protocol = null;

  // events: { opening(), hello(settings), answer(answer), status(answer),
  // down(reason, answered) }: answered tells whether the port's host had
  // answered hello.
  constructor(runtime, events) {
    this.#runtime = runtime;
    this.#events = events;
  }

  get isOpen() {
    return this.#port !== null;
  }

  get protocol() {
    return this.#protocol;
  }

  open() {
    if (this.#port) return;
    let port;
    this.#events.opening?.();
    try {
      port = this.#runtime.connectNative(HOST_NAME);
    } catch (error) {
      this.#events.down(String(error?.message ?? error), false);
      return;
    }
    this.#port = port;
    this.#protocol = null;
    port.onMessage.addListener((message) => this.#receive(message));
    port.onDisconnect.addListener((gone) => {
      // Chromium reports why in runtime.lastError, Firefox on the port.
      const reason = this.#runtime.lastError?.message ?? gone?.error?.message ?? "disconnected";
      if (this.#port !== port) return;
      const answered = this.#protocol !== null;
      this.#port = null;
      this.#protocol = null;
      this.#events.down(reason, answered);
    });
    this.#hellos += 1;
    this.#postNow({ id: `h${this.#hellos}`, type: "hello" });
  }

  // Sends one message, opening the port first when needed. False when it
  // could not be sent: the caller lets the browser go on.
  post(message) {
    this.open();
    return this.#postNow(message);
  }

  // Tells the host that the request `id` is still held and may go on. Only
  // on the port that said pending (a new one would not know the id), and
  // only to a host that waits for it.
  confirm(id) {
    if (this.#protocol !== null && this.#protocol >= 2) this.#postNow({ id, type: "go" });
  }

  #postNow(message) {
    if (!this.#port) return false;
    try {
      this.#port.postMessage(message);
      return true;
    } catch {
      return false;
    }
  }

  #receive(message) {
    const answer = readHostAnswer(message);
    if (answer.kind === "hello") {
      this.#protocol = answer.settings.protocol;
      this.#events.hello(answer.settings);
    } else if (answer.kind === "status") {
      this.#events.status?.(answer);
    } else if (answer.kind !== "invalid") this.#events.answer(answer);
  }
}
