// WebDriver BiDi over a WebSocket (npm's ws): commands with ids, their
// results, and the events the session subscribed to.

import { EventEmitter } from "node:events";
import WebSocket from "ws";

export class BidiSocket extends EventEmitter {
  #socket;
  #serial = 0;
  #calls = new Map();

  static connect(url) {
    return new Promise((resolve, reject) => {
      const socket = new WebSocket(url, { maxPayload: 64 * 1024 * 1024 });
      socket.once("open", () => resolve(new BidiSocket(socket)));
      socket.once("error", reject);
    });
  }

  constructor(socket) {
    super();
    this.#socket = socket;
    socket.on("message", (data) => this.#dispatch(JSON.parse(data.toString("utf8"))));
    socket.on("close", () => {
      for (const call of this.#calls.values()) call.reject(new Error("the browser closed its BiDi socket"));
      this.#calls.clear();
      this.emit("close");
    });
  }

  send(method, params = {}) {
    this.#serial += 1;
    const id = this.#serial;
    return new Promise((resolve, reject) => {
      this.#calls.set(id, { resolve, reject, method });
      this.#socket.send(JSON.stringify({ id, method, params }));
    });
  }

  close() {
    this.#socket.close();
  }

  #dispatch(message) {
    if (message.type === "event") {
      this.emit("event", message);
      this.emit(message.method, message.params);
      return;
    }
    const call = this.#calls.get(message.id);
    if (!call) return;
    this.#calls.delete(message.id);
    if (message.type === "error") call.reject(new Error(`${call.method}: ${message.error}: ${message.message}`));
    else call.resolve(message.result);
  }
}
