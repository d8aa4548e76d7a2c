// WebDriver BiDi over a WebSocket: commands with ids, their results, and
// the events the session subscribed to.

import { EventEmitter } from "node:events";
import { NO_CLIENT, webSocketClient } from "./websocket_client.mjs";

export class BidiSocket extends EventEmitter {
  #socket;
  #serial = 0;
  #calls = new Map();

  static connect(url) {
    const client = webSocketClient();
    if (!client) return Promise.reject(new Error(NO_CLIENT));
    return new Promise((resolve, reject) => {
      const socket = new client.WebSocket(url);
      const opened = () => {
        socket.removeEventListener("error", failed);
        resolve(new BidiSocket(socket));
      };
      const failed = () => reject(new Error(`cannot open ${url}`));
      socket.addEventListener("open", opened, { once: true });
      socket.addEventListener("error", failed, { once: true });
    });
  }

  constructor(socket) {
    super();
    this.#socket = socket;
    // A close follows every error; without a listener the ws module would throw.
    socket.addEventListener("error", () => {});
    socket.addEventListener("message", (event) => this.#dispatch(JSON.parse(String(event.data))));
    socket.addEventListener("close", () => {
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
