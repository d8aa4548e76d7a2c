// Headless Firefox driven over WebDriver BiDi: the add-on installed
// temporarily (it is unsigned), real input through input.performActions and
// the browser's own download events. Firefox reads host manifests under
// $HOME, so it runs with a private home.

import { spawn } from "node:child_process";
import { createWriteStream, mkdirSync, writeFileSync } from "node:fs";
import path from "node:path";
import { BidiSocket } from "./bidi_socket.mjs";
import { BrowserEvents, now, waitFor } from "./browser_events.mjs";

export const FIREFOX = process.env.VRPPH_FIREFOX ?? "/usr/bin/firefox-esr";

// The internal UUID of the add-on's pages (moz-extension://UUID/), fixed so
// that the driver can open them.
export const EXTENSION_UUID = "5b0f3f2e-6d1c-4a57-9d33-1b8a4f2c7e01";
const ADDON_ID = "bridge@vrpph";

// WebDriver's codes of the modifier keys.
const KEY_CODES = { alt: "\uE00A", ctrl: "\uE009", meta: "\uE03D", shift: "\uE008" };

// Downloads go to one folder without asking, and nothing reaches for the
// closed network (the remote agent sets most such preferences itself).
function preferences(downloadDir, language) {
  return {
    "extensions.webextensions.uuids": JSON.stringify({ [ADDON_ID]: EXTENSION_UUID }),
    // The language pack a system package installs is an add-on of the
    // application's scope, which Firefox leaves disabled unless told.
    ...(language ? { "intl.locale.requested": language, "extensions.autoDisableScopes": 0, "extensions.enabledScopes": 15 } : {}),
    "browser.download.dir": downloadDir,
    "browser.download.folderList": 2,
    "browser.download.useDownloadDir": true,
    "browser.download.always_ask_before_handling_new_types": false,
    "browser.download.start_downloads_in_tmp_dir": false,
    "browser.safebrowsing.downloads.enabled": false,
    "browser.safebrowsing.downloads.remote.enabled": false,
    "browser.shell.checkDefaultBrowser": false,
    "datareporting.policy.dataSubmissionEnabled": false,
  };
}

export class FirefoxSession {
  #child;
  #bidi;
  #tab;
  // The id Firefox installed the extension under.
  extensionId = null;
  events = new BrowserEvents();

  // language: the language Firefox asks for (its language pack must be
  // installed), or undefined for the system's. extensionArchive (an XPI) is
  // installed instead of extensionDir when given.
  static async launch({ profileDir, home, downloadDir, extensionDir, extensionArchive, logFile, language }) {
    mkdirSync(profileDir, { recursive: true });
    mkdirSync(home, { recursive: true });
    const prefs = Object.entries(preferences(downloadDir, language))
      .map(([name, value]) => `user_pref(${JSON.stringify(name)}, ${JSON.stringify(value)});\n`)
      .join("");
    writeFileSync(path.join(profileDir, "user.js"), prefs);
    // System access lets the driver open the add-on's own pages
    // (moz-extension:), which Firefox 153 and later refuse a driver otherwise.
    const args = ["--headless", "--no-remote", "--profile", profileDir, "--remote-debugging-port", "0", "--remote-allow-system-access"];
    const child = spawn(FIREFOX, args, {
      stdio: ["ignore", "ignore", "pipe"],
      env: { ...process.env, HOME: home, MOZ_CRASHREPORTER_DISABLE: "1" },
    });
    const log = createWriteStream(logFile);
    const url = await new Promise((resolve, reject) => {
      let seen = "";
      const timer = setTimeout(() => {
        child.kill("SIGKILL");
        reject(new Error("Firefox did not start its BiDi server in 60 s"));
      }, 60_000);
      child.stderr.on("data", (chunk) => {
        log.write(chunk);
        if (seen.length < 64 * 1024) seen += chunk;
        const found = /WebDriver BiDi listening on (ws:\/\/\S+)/.exec(seen);
        if (found) {
          clearTimeout(timer);
          resolve(found[1]);
        }
      });
      child.once("exit", (code) => reject(new Error(`Firefox exited (${code}) before its BiDi server started`)));
    });
    try {
      const session = new FirefoxSession(child, await BidiSocket.connect(`${url}/session`));
      await session.#start(extensionArchive ? { type: "archivePath", path: extensionArchive } : { type: "path", path: extensionDir });
      return session;
    } catch (error) {
      child.kill("SIGKILL");
      throw error;
    }
  }

  constructor(child, bidi) {
    this.#child = child;
    this.#bidi = bidi;
  }

  async #start(extensionData) {
    const bidi = this.#bidi;
    await bidi.send("session.new", { capabilities: {} });
    bidi.on("browsingContext.downloadWillBegin", ({ url }) => this.events.downloadBegan(url));
    bidi.on("browsingContext.downloadEnd", ({ url, status }) =>
      this.events.downloadEnded(url, status === "complete" ? "completed" : "canceled"),
    );
    bidi.on("browsingContext.contextCreated", ({ parent, url }) => {
      if (parent === null) this.events.pageOpened(url);
    });
    await bidi.send("session.subscribe", {
      events: ["browsingContext.downloadWillBegin", "browsingContext.downloadEnd", "browsingContext.contextCreated"],
    });
    ({ extension: this.extensionId } = await bidi.send("webExtension.install", { extensionData }));
    const { contexts } = await bidi.send("browsingContext.getTree", { maxDepth: 0 });
    this.#tab = contexts[0].context;
    this.events.ignorePagesSoFar();
  }

  // Firefox's background scripts are no service worker the driver can stop.
  get hasWorker() {
    return false;
  }

  async stopWorker() {
    return false;
  }

  async open(url) {
    await this.#bidi.send("browsingContext.navigate", { context: this.#tab, url, wait: "complete" });
  }

  async location() {
    return this.#evaluate("location.href");
  }

  // The address of one of the add-on's own pages.
  extensionUrl(page) {
    return `moz-extension://${EXTENSION_UUID}/${page}`;
  }

  // An expression's value in the tab, a promise's once it settles; only
  // what JSON can carry.
  async evaluate(expression) {
    const json = await this.#evaluate(`(async () => JSON.stringify(await (${expression})))()`, true);
    return json === undefined ? undefined : JSON.parse(json);
  }

  // A real left click in the middle of the element, with keys held: the key
  // and pointer sources act in the same ticks, so the keys are down when
  // the button is.
  async click(elementId, keys = []) {
    const box = await this.#evaluate(
      `JSON.stringify((() => { const r = document.getElementById(${JSON.stringify(elementId)}).getBoundingClientRect();
               return { x: Math.round(r.x + r.width / 2), y: Math.round(r.y + r.height / 2) }; })())`,
    );
    const { x, y } = JSON.parse(box);
    const codes = keys.map((key) => KEY_CODES[key]);
    const pauses = (count) => Array.from({ length: count }, () => ({ type: "pause" }));
    const keyboard = [...codes.map((value) => ({ type: "keyDown", value })), ...pauses(3), ...codes.map((value) => ({ type: "keyUp", value }))];
    const pointer = [
      ...pauses(codes.length),
      { type: "pointerMove", x, y, origin: "viewport" },
      { type: "pointerDown", button: 0 },
      { type: "pointerUp", button: 0 },
    ];
    const at = now();
    await this.#bidi.send("input.performActions", {
      context: this.#tab,
      actions: [
        { type: "key", id: "keyboard", actions: keyboard },
        { type: "pointer", id: "mouse", parameters: { pointerType: "mouse" }, actions: pointer },
      ],
    });
    await this.#bidi.send("input.releaseActions", { context: this.#tab });
    return at;
  }

  // The tab the driver opened pages in, as an object like attachPage's.
  get tab() {
    return this.#page(this.#tab);
  }

  // Opens url in a new tab; returns an object like attachPage's.
  async openTab(url) {
    const { context } = await this.#bidi.send("browsingContext.create", { type: "tab" });
    await this.#bidi.send("browsingContext.navigate", { context, url, wait: "complete" });
    return this.#page(context);
  }

  // The first top-level page whose URL starts with prefix, within
  // timeoutMs, as an object that evaluates in it and clicks in it.
  async attachPage(prefix, timeoutMs = 5000) {
    let found;
    await waitFor(async () => {
      const { contexts } = await this.#bidi.send("browsingContext.getTree", { maxDepth: 0 });
      found = contexts.find((context) => context.url.startsWith(prefix));
      return found !== undefined;
    }, timeoutMs);
    if (!found) throw new Error(`no page at ${prefix}`);
    const page = this.#page(found.context);
    await waitFor(() => page.evaluate(`document.readyState === "complete"`), timeoutMs);
    return page;
  }

  #page(context) {
    return {
      evaluate: async (expression) => {
        const json = await this.#evaluate(`(async () => JSON.stringify(await (${expression})))()`, true, context);
        return json === undefined ? undefined : JSON.parse(json);
      },
      clickAt: (box) => this.#clickAt(context, box),
    };
  }

  // A real left click at a point of the context's viewport.
  async #clickAt(context, { x, y }) {
    await this.#bidi.send("input.performActions", {
      context,
      actions: [{
        type: "pointer", id: "mouse", parameters: { pointerType: "mouse" },
        actions: [{ type: "pointerMove", x: Math.round(x), y: Math.round(y), origin: "viewport" }, { type: "pointerDown", button: 0 }, { type: "pointerUp", button: 0 }],
      }],
    });
    await this.#bidi.send("input.releaseActions", { context });
  }

  async close() {
    const exited = this.#child.exitCode !== null ? Promise.resolve() : new Promise((resolve) => this.#child.once("exit", resolve));
    await this.#bidi.send("browser.close").catch(() => {});
    this.#bidi.close();
    const timer = setTimeout(() => this.#child.kill("SIGKILL"), 10_000);
    await exited;
    clearTimeout(timer);
  }

  async #evaluate(expression, awaitPromise = false, context = this.#tab) {
    const { result, exceptionDetails } = await this.#bidi.send("script.evaluate", {
      expression,
      target: { context },
      awaitPromise,
    });
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
    return result.value;
  }
}
