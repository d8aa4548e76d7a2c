import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { BATCH_PORT, MENU, menuLink, PickMenus } from "../../../extension/background/pick_menus.js";

const EXTENSION = "chrome-extension://own/";

// A port as the browser hands the background: its messages and listeners.
function fakePort(sender, name = BATCH_PORT) {
  const listeners = { message: [], disconnect: [] };
  return {
    name,
    sender,
    sent: [],
    disconnected: false,
    postMessage(message) {
      this.sent.push(message);
    },
    disconnect() {
      this.disconnected = true;
    },
    onMessage: { addListener: (listener) => listeners.message.push(listener) },
    onDisconnect: { addListener: (listener) => listeners.disconnect.push(listener) },
    receive: (message) => listeners.message.forEach((listener) => listener(message)),
    close: () => listeners.disconnect.forEach((listener) => listener()),
  };
}

const fakeApi = { runtime: { id: "own", getURL: (path) => `${EXTENSION}${path}` } };
const pickSender = { id: "own", url: `${EXTENSION}pick/pick.html#pick-1` };

// Resolves when the port hears `done`.
const doneOn = (port) =>
  new Promise((resolve) => {
    const post = port.postMessage.bind(port);
    port.postMessage = (message) => {
      post(message);
      if (message.done) resolve();
    };
  });

describe("menuLink", () => {
  it("hands over the link, else the medium, with the frame's document as referrer", () => {
    const tab = { url: "https://site.example/page.html" };
    const cases = [
      [{ linkUrl: "https://f.example/a.zip", pageUrl: tab.url }, { url: "https://f.example/a.zip", tabUrl: tab.url, referrer: tab.url }],
      [
        { linkUrl: "https://f.example/a.zip", srcUrl: "https://f.example/thumb.png", frameUrl: "https://frame.example/in.html", pageUrl: tab.url },
        { url: "https://f.example/a.zip", tabUrl: tab.url, referrer: "https://frame.example/in.html" },
      ],
      [{ srcUrl: "ftp://f.example/clip.webm", pageUrl: tab.url }, { url: "ftp://f.example/clip.webm", tabUrl: tab.url, referrer: tab.url }],
      [{ linkUrl: "javascript:void(0)", pageUrl: tab.url }, null],
      [{ srcUrl: "blob:https://site.example/1234", pageUrl: tab.url }, null],
      [{ linkUrl: "mailto:x@site.example", srcUrl: "https://f.example/p.png", pageUrl: tab.url }, null],
    ];
    for (const [info, expected] of cases) assert.deepEqual(menuLink(info, tab), expected, JSON.stringify(info));
  });

  it("asks the host with a forced link for the one-link entry, and nothing for an entry of no use", async () => {
    const asked = [];
    const menus = new PickMenus(fakeApi, (prefix, build) => {
      asked.push(build(`${prefix}1`));
      return Promise.resolve({ state: "taken" });
    });
    await menus.clicked({ menuItemId: MENU.one, linkUrl: "https://f.example/a.pdf", frameUrl: "https://frame.example/", pageUrl: "https://site.example/" }, { url: "https://site.example/" });
    await menus.clicked({ menuItemId: MENU.one, linkUrl: "javascript:x" }, {});
    await menus.clicked({ menuItemId: "someone-else" }, {});
    assert.deepEqual(asked, [{ id: "m1", type: "link", url: "https://f.example/a.pdf", tabUrl: "https://site.example/", referrer: "https://frame.example/" }]);
  });
});

describe("PickMenus' batch port", () => {
  it("serves only the pick page's own port", () => {
    const menus = new PickMenus(fakeApi, () => assert.fail("nothing may be asked"));
    for (const sender of [
      { id: "own", url: "https://evil.example/pick/pick.html" },
      { id: "other", url: pickSender.url },
      { id: "own", url: `${EXTENSION}popup/popup.html` },
      { id: "own", tab: { id: 3 }, url: "https://site.example/" },
    ]) {
      const port = fakePort(sender);
      menus.connected(port);
      assert.equal(port.disconnected, true, JSON.stringify(sender));
    }
  });

  it("sends the links in order, request after request, and tells each outcome as it comes", async () => {
    const requests = [];
    const ask = async (prefix, build, onProgress) => {
      const request = build(`${prefix}${requests.length + 1}`);
      requests.push(request);
      const [first, ...rest] = request.links;
      onProgress([{ index: first.index, state: "taken" }]);
      if (request.id === "b2") return { state: "dropped" };
      return { state: "done", outcomes: [{ index: first.index, state: "taken" }, ...rest.map((link) => ({ index: link.index, state: "error", reason: "url holds a line break" }))] };
    };
    const menus = new PickMenus(fakeApi, ask);
    const port = fakePort(pickSender);
    const done = doneOn(port);
    menus.connected(port);
    const big = "a".repeat(700 * 1024);
    port.receive({
      links: [
        { url: `https://f.example/${big}/1.zip`, referrer: "https://site.example/" },
        { url: "https://f.example/2.zip", filename: "two.zip" },
        { url: "javascript:alert(1)" },
        { url: `https://f.example/${big}/4.zip` },
        { url: "https://f.example/5.zip", referrer: 7 },
      ],
    });
    await done;
    assert.deepEqual(requests, [
      { id: "b1", type: "batch", links: [{ index: 0, url: `https://f.example/${big}/1.zip`, referrer: "https://site.example/" }, { index: 1, url: "https://f.example/2.zip", filename: "two.zip" }] },
      { id: "b2", type: "batch", links: [{ index: 3, url: `https://f.example/${big}/4.zip` }, { index: 4, url: "https://f.example/5.zip" }] },
    ]);
    const told = port.sent.flatMap((message) => message.outcomes ?? []).map(({ index, state, words }) => `${index} ${state} ${words}`);
    assert.deepEqual(told, [
      "2 error pickOutcomeError",
      "0 taken pickOutcomeTaken",
      "0 taken pickOutcomeTaken",
      "1 error pickOutcomeLineBreak",
      "3 taken pickOutcomeTaken",
      // The port dropped under the second request: its links say so.
      "3 error pickOutcomeError",
      "4 error pickOutcomeError",
    ]);
    assert.deepEqual(port.sent.at(-1), { done: true });
  });

  it("sends nothing more once the pick page is closed", async () => {
    const requests = [];
    let port;
    const ask = async (prefix, build) => {
      requests.push(build("b1"));
      port.close();
      return { state: "done", outcomes: [] };
    };
    const menus = new PickMenus(fakeApi, ask);
    port = fakePort(pickSender);
    menus.connected(port);
    const big = "a".repeat(700 * 1024);
    port.receive({ links: [{ url: `https://f.example/${big}/1` }, { url: `https://f.example/${big}/2` }] });
    await new Promise((resolve) => setTimeout(resolve, 20));
    assert.equal(requests.length, 1);
    assert.deepEqual(port.sent, []);
  });
});
