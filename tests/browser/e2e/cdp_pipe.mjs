// The DevTools protocol over Chromium's --remote-debugging-pipe: the browser
// reads commands on its fd 3 and writes answers and events on its fd 4, each
// a JSON text ended by a NUL byte. No port, so nothing else can connect.

import { EventEmitter } from "node:events";

const MAX_MESSAGE_BYTES = 64 * 1024 * 1024;

export class CdpPipe extends EventEmitter {
  #out;
  #serial = 0;
  #calls = new Map();
  #buffered = Buffer.alloc(0);

  // toBrowser and fromBrowser: the child's fd 3 and fd 4 streams.
  constructor(toBrowser, fromBrowser) {
    super();
    this.#out = toBrowser;
    fromBrowser.on("data", (chunk) => this.#receive(chunk));
    fromBrowser.on("close", () => this.#closeAll(new Error("the browser closed its DevTools pipe")));
    // A browser that dies resets both pipes; the close above answers the calls.
    fromBrowser.on("error", () => {});
    toBrowser.on("error", () => {});
  }

  // One command; sessionId addresses an attached target.
  send(method, params = {}, sessionId = undefined) {
    this.#serial += 1;
    const id = this.#serial;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.#calls.set(id, { resolve, reject, method });
      this.#out.write(`${JSON.stringify(message)}\0`);
    });
  }

  #receive(chunk) {
    this.#buffered = Buffer.concat([this.#buffered, chunk]);
    if (this.#buffered.length > MAX_MESSAGE_BYTES) throw new Error("DevTools message over the bound");
    let end;
    while ((end = this.#buffered.indexOf(0)) >= 0) {
      const message = JSON.parse(this.#buffered.subarray(0, end).toString("utf8"));
      this.#buffered = this.#buffered.subarray(end + 1);
      this.#dispatch(message);
    }
  }

  #dispatch(message) {
    if (message.id !== undefined) {
      const call = this.#calls.get(message.id);
      if (!call) return;
      this.#calls.delete(message.id);
      if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
      return;
    }
    this.emit("event", message);
    this.emit(message.method, message.params, message.sessionId);
  }

  #closeAll(error) {
    for (const call of this.#calls.values()) call.reject(error);
    this.#calls.clear();
    this.emit("close");
  }
}
