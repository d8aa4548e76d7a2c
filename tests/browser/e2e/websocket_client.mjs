// The WebSocket client the Firefox driver speaks WebDriver BiDi through:
// Node's own where it has one (Node 22, or Node 20 with
// --experimental-websocket), else the ws module, from Debian's node-ws or a
// node_modules folder. Both offer the same EventTarget face.

import { createRequire } from "node:module";

// Where Debian's node-* packages live; Node from elsewhere does not look there.
const DEBIAN_MODULES = "/usr/share/nodejs";

export function webSocketClient() {
  if (typeof globalThis.WebSocket === "function") return { WebSocket: globalThis.WebSocket, source: "Node's own" };
  const require = createRequire(import.meta.url);
  for (const request of ["ws", `${DEBIAN_MODULES}/ws`]) {
    try {
      return { WebSocket: require(request), source: require.resolve(request) };
    } catch {
      // not there: try the next
    }
  }
  return null;
}

export const NO_CLIENT =
  "no WebSocket client for Node: run node with --experimental-websocket (Node 20.10 or later) or install Debian's node-ws";
