import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { HostPort } from "../../../extension/background/host_port.js";
import { mayAskHost, RequestMethods } from "../../../extension/lib/request_methods.js";

// A clock and timers the test moves by hand.
function methodsAt(options) {
  let time = 1_000_000;
  const due = new Map();
  let serial = 0;
  const timers = {
    set: (run, ms) => due.set(++serial, { at: time + ms, run }) && serial,
    clear: (handle) => due.delete(handle),
  };
  const methods = new RequestMethods(() => time, timers, options);
  const advance = (ms) => {
    time += ms;
    for (const [handle, timer] of [...due]) {
      if (timer.at <= time) {
        due.delete(handle);
        timer.run();
      }
    }
  };
  return { methods, advance, pendingTimers: () => due.size };
}

describe("RequestMethods", () => {
  it("finds the method of a download's request by its final URL", () => {
    const { methods } = methodsAt();
    // A form posted to /submit, answered 303 to the file: the redirect's
    // request is a GET of its own.
    methods.note({ url: "http://h/submit", method: "POST" });
    methods.note({ url: "http://h/files/result.zip", method: "GET" });
    // A 307 keeps the POST on the new URL.
    methods.note({ url: "http://h/export", method: "POST" });
    methods.note({ url: "http://h/files/export.zip", method: "POST" });
    methods.note({ url: "http://h/files/tool.zip#top", method: "get" });
    const cases = [
      ["http://h/files/result.zip", "GET"],
      ["http://h/submit", "POST"],
      ["http://h/files/export.zip", "POST"],
      ["http://h/files/tool.zip", "GET"],
      ["http://h/files/tool.zip#later", "GET"],
      ["http://h/files/other.zip", null],
      ["not a url", null],
    ];
    for (const [url, expected] of cases) assert.equal(methods.methodOf(url), expected, url);
  });

  it("reads a URL asked for both ways lately as the method that is not GET", () => {
    const { methods } = methodsAt();
    methods.note({ url: "http://h/report", method: "POST" });
    methods.note({ url: "http://h/report", method: "GET" });
    assert.equal(methods.methodOf("http://h/report"), "POST");
  });

  it("forgets what is older than the window or beyond its capacity", () => {
    const { methods, advance } = methodsAt({ keptMs: 1000, capacity: 3 });
    methods.note({ url: "http://h/old", method: "POST" });
    advance(1000);
    assert.equal(methods.methodOf("http://h/old"), "POST");
    advance(1);
    assert.equal(methods.methodOf("http://h/old"), null);
    for (const name of ["a", "b", "c", "d"]) methods.note({ url: `http://h/${name}`, method: "GET" });
    assert.equal(methods.methodOf("http://h/a"), null);
    assert.equal(methods.methodOf("http://h/d"), "GET");
  });
});

describe("RequestMethods.methodSoon", () => {
  it("waits for a request told after its download, and no longer than the bound", async () => {
    const { methods, advance, pendingTimers } = methodsAt();
    const posted = methods.methodSoon("http://h/export", 1000);
    const never = methods.methodSoon("http://h/unseen.zip", 1000);
    advance(10);
    methods.note({ url: "http://h/other.zip", method: "GET" });
    methods.note({ url: "http://h/export", method: "POST" });
    assert.equal(await posted, "POST");
    advance(989);
    assert.equal(pendingTimers(), 1, "the unseen one still waits");
    advance(1);
    assert.equal(await never, null);
    assert.equal(pendingTimers(), 0);
    assert.equal(await methods.methodSoon("http://h/other.zip", 1000), "GET", "known: at once");
  });
});

describe("mayAskHost", () => {
  it("keeps a POST from an old host, and every download whose method is not known", () => {
    const cases = [
      ["GET", null, true],
      ["GET", 1, true],
      ["GET", 2, true],
      ["POST", 2, true],
      ["POST", 3, true],
      ["POST", 1, false],
      ["POST", null, false],
      ["PUT", 1, false],
      [null, 2, false],
      [null, 1, false],
    ];
    for (const [method, protocol, expected] of cases) {
      assert.equal(mayAskHost(method, protocol), expected, `${method} with protocol ${protocol}`);
    }
  });
});

// A runtime whose native ports the test answers for.
function fakeRuntime() {
  const ports = [];
  return {
    ports,
    lastError: undefined,
    connectNative() {
      const listeners = { message: [], disconnect: [] };
      const port = {
        sent: [],
        postMessage: (message) => port.sent.push(message),
        onMessage: { addListener: (listener) => listeners.message.push(listener) },
        onDisconnect: { addListener: (listener) => listeners.disconnect.push(listener) },
        answer: (message) => listeners.message.forEach((listener) => listener(message)),
        drop: () => listeners.disconnect.forEach((listener) => listener(port)),
      };
      ports.push(port);
      return port;
    },
  };
}

describe("HostPort", () => {
  it("sends go only to a host that told protocol 2 in this port's hello", () => {
    const runtime = fakeRuntime();
    const host = new HostPort(runtime, { hello() {}, answer() {}, down() {} });
    host.open();
    const [first] = runtime.ports;
    host.confirm("d1");
    first.answer({ id: "h1", state: "hello", version: "1.0.0.70" });
    assert.equal(host.protocol, 1);
    host.confirm("d2");
    assert.deepEqual(first.sent, [{ id: "h1", type: "hello" }], "no go before hello, none to protocol 1");

    first.drop();
    assert.equal(host.protocol, null);
    host.open();
    const second = runtime.ports[1];
    second.answer({ id: "h2", state: "hello", protocol: 2 });
    host.confirm("d3");
    assert.deepEqual(second.sent, [{ id: "h2", type: "hello" }, { id: "d3", type: "go" }]);
  });
});
