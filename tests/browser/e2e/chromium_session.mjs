// Headless Chromium with the unpacked extension, driven over the DevTools
// pipe: real mouse input (a script's element.click() lets only a tab's
// first download through in headless Chromium) and the browser's own
// download events.

import { spawn } from "node:child_process";
import { createWriteStream, mkdirSync, writeFileSync } from "node:fs";
import path from "node:path";
import { CdpPipe } from "./cdp_pipe.mjs";
import { BrowserEvents, now, waitFor } from "./browser_events.mjs";
import { extensionIds } from "./host_registration.mjs";

export const CHROMIUM = process.env.VRPPH_CHROMIUM ?? "/usr/bin/chromium";

// The DevTools bits of the modifier keys.
const MODIFIER_BITS = { alt: 1, ctrl: 2, meta: 4, shift: 8 };

// What Chromium says when it cannot start its sandbox.
const NO_SANDBOX = /No usable sandbox|Running as root without --no-sandbox/;

// The network is closed: nothing may try to reach out.
const QUIET_FLAGS = [
  "--headless=new",
  "--disable-gpu",
  "--disable-quic",
  "--no-first-run",
  "--no-default-browser-check",
  "--disable-background-networking",
  "--disable-component-update",
  "--disable-sync",
  "--password-store=basic",
];

export class ChromiumSession {
  #child;
  #cdp;
  #page;
  #worker = null;
  #workerSession = null;
  #extensionId;
  #workerOrigin = null;
  events = new BrowserEvents();

  // Chromium refuses its sandbox to root, and to users where the kernel
  // gives it no namespaces; then it runs without one.
  static #sandbox = process.getuid?.() !== 0;

  // The host manifest, if any, is already in userDataDir/NativeMessagingHosts.
  static async launch(options) {
    try {
      return await ChromiumSession.#launch(options, ChromiumSession.#sandbox);
    } catch (error) {
      if (!ChromiumSession.#sandbox || !NO_SANDBOX.test(error.stderr ?? "")) throw error;
      ChromiumSession.#sandbox = false;
      console.log("   chromium has no usable sandbox here: running it with --no-sandbox");
      return ChromiumSession.#launch(options, false);
    }
  }

  // language: the browser's language (LANGUAGE, as Chromium on Linux reads
  // it), or undefined for the system's.
  static async #launch({ userDataDir, downloadDir, extensionDir, logFile, language }, sandbox) {
    mkdirSync(path.join(userDataDir, "Default"), { recursive: true });
    writeFileSync(
      path.join(userDataDir, "Default", "Preferences"),
      JSON.stringify({ download: { default_directory: downloadDir, prompt_for_download: false } }),
    );
    const args = [
      ...QUIET_FLAGS,
      ...(sandbox ? [] : ["--no-sandbox"]),
      `--user-data-dir=${userDataDir}`,
      `--load-extension=${extensionDir}`,
      `--disable-extensions-except=${extensionDir}`,
      "--remote-debugging-pipe",
      "about:blank",
    ];
    const env = language ? { ...process.env, LANGUAGE: language, LANG: `${language}.UTF-8`, LC_ALL: "" } : process.env;
    if (language) args.splice(-1, 0, `--lang=${language}`);
    const child = spawn(CHROMIUM, args, { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"], env });
    const log = createWriteStream(logFile);
    let stderr = "";
    child.stderr.on("data", (chunk) => {
      log.write(chunk);
      if (stderr.length < 64 * 1024) stderr += chunk;
    });
    const session = new ChromiumSession(child, extensionDir);
    try {
      await session.#start();
    } catch (error) {
      child.kill("SIGKILL");
      // Its last words may still be on the way.
      await Promise.race([new Promise((resolve) => child.once("close", resolve)), new Promise((resolve) => setTimeout(resolve, 2000))]);
      error.stderr = stderr;
      throw error;
    }
    return session;
  }

  constructor(child, extensionDir) {
    this.#child = child;
    this.#extensionId = extensionIds(extensionDir).chromium;
    this.#cdp = new CdpPipe(child.stdio[3], child.stdio[4]);
  }

  async #start() {
    const cdp = this.#cdp;
    const guids = new Map();
    cdp.on("Browser.downloadWillBegin", ({ guid, url }) => {
      guids.set(guid, url);
      this.events.downloadBegan(url);
    });
    cdp.on("Browser.downloadProgress", ({ guid, state }) => {
      if (state === "completed") this.events.downloadEnded(guids.get(guid), "completed");
      if (state === "canceled") this.events.downloadEnded(guids.get(guid), "canceled");
    });
    cdp.on("Target.targetCreated", ({ targetInfo }) => {
      if (targetInfo.type === "page") this.events.pageOpened(targetInfo.url);
      if (targetInfo.type === "service_worker" && targetInfo.url.startsWith("chrome-extension://")) {
        this.#worker = targetInfo.targetId;
        // URL's origin of a scheme it does not know is "null".
        this.#workerOrigin = /^chrome-extension:\/\/[^/]+/.exec(targetInfo.url)[0];
      }
    });
    cdp.on("Target.targetDestroyed", ({ targetId }) => {
      if (targetId === this.#worker) {
        this.#worker = null;
        this.#workerSession = null;
      }
    });
    await cdp.send("Target.setDiscoverTargets", { discover: true });
    // "default" leaves downloads to the browser (and so to the extension);
    // the events are all the driver wants.
    await cdp.send("Browser.setDownloadBehavior", { behavior: "default", eventsEnabled: true });
    const { targetInfos } = await cdp.send("Target.getTargets");
    const tab = targetInfos.find((target) => target.type === "page");
    const { sessionId } = await cdp.send("Target.attachToTarget", { targetId: tab.targetId, flatten: true });
    this.#page = sessionId;
    await cdp.send("Page.enable", {}, sessionId);
    this.events.ignorePagesSoFar();
  }

  get hasWorker() {
    return this.#worker !== null;
  }

  // The origin of the extension whose service worker last started.
  get extensionOrigin() {
    return this.#workerOrigin;
  }

  async open(url) {
    const loaded = new Promise((resolve) => {
      const onLoad = (params, sessionId) => {
        if (sessionId !== this.#page) return;
        this.#cdp.off("Page.loadEventFired", onLoad);
        resolve();
      };
      this.#cdp.on("Page.loadEventFired", onLoad);
    });
    await this.#cdp.send("Page.navigate", { url }, this.#page);
    await loaded;
  }

  async location() {
    return this.#evaluate("location.href");
  }

  // The address of one of the extension's own pages.
  extensionUrl(page) {
    return `${this.#extensionId ? `chrome-extension://${this.#extensionId}` : this.#workerOrigin}/${page}`;
  }

  // An expression's value in the tab, a promise's once it settles.
  async evaluate(expression) {
    return this.#evaluate(expression, true);
  }

  // A PNG of the tab's page at this size (CSS pixels; no height: as tall
  // as the page is at that width), light or dark.
  async screenshot({ width, height, dark = false }) {
    const metrics = (tall) => this.#cdp.send("Emulation.setDeviceMetricsOverride", { width, height: tall, deviceScaleFactor: 1, mobile: false }, this.#page);
    await this.#cdp.send("Emulation.setEmulatedMedia", { features: [{ name: "prefers-color-scheme", value: dark ? "dark" : "light" }] }, this.#page);
    await metrics(height ?? 200);
    if (height === undefined) await metrics(await this.#evaluate("Math.ceil(document.documentElement.scrollHeight)"));
    const { data } = await this.#cdp.send("Page.captureScreenshot", { format: "png" }, this.#page);
    return Buffer.from(data, "base64");
  }

  // A real left click in the middle of the element, with keys held.
  async click(elementId, keys = []) {
    const box = await this.#evaluate(
      `(() => { const r = document.getElementById(${JSON.stringify(elementId)}).getBoundingClientRect();
               return { x: r.x + r.width / 2, y: r.y + r.height / 2 }; })()`,
    );
    const modifiers = keys.reduce((bits, key) => bits | MODIFIER_BITS[key], 0);
    const mouse = { x: box.x, y: box.y, modifiers };
    await this.#cdp.send("Input.dispatchMouseEvent", { type: "mouseMoved", ...mouse }, this.#page);
    await this.#cdp.send("Input.dispatchMouseEvent", { type: "mousePressed", button: "left", clickCount: 1, ...mouse }, this.#page);
    // The click event fires on the release.
    const at = now();
    await this.#cdp.send("Input.dispatchMouseEvent", { type: "mouseReleased", button: "left", clickCount: 1, ...mouse }, this.#page);
    return at;
  }

  // Stops the extension's service worker, as Chromium does to an idle one;
  // the next event starts it again. False when it cannot be done.
  async stopWorker() {
    if (!this.#worker) return false;
    await this.#cdp.send("Target.closeTarget", { targetId: this.#worker });
    return waitFor(() => this.#worker === null, 5000);
  }

  // Evaluates an expression in the extension's service worker (awaiting a
  // promise it gives), for the drivers that act as the browser would there.
  async evaluateInWorker(expression) {
    if (!this.#worker) throw new Error("the extension's service worker is not running");
    this.#workerSession ??= (await this.#cdp.send("Target.attachToTarget", { targetId: this.#worker, flatten: true })).sessionId;
    return this.#evaluateOn(this.#workerSession, expression);
  }

  // Attaches to the first page whose URL starts with prefix, within timeoutMs;
  // returns an object that evaluates in it, clicks in it and captures it.
  async attachPage(prefix, timeoutMs = 5000) {
    let target;
    await waitFor(async () => {
      const { targetInfos } = await this.#cdp.send("Target.getTargets");
      target = targetInfos.find((info) => info.type === "page" && info.url.startsWith(prefix));
      return target !== undefined;
    }, timeoutMs);
    if (!target) throw new Error(`no page at ${prefix}`);
    const { sessionId } = await this.#cdp.send("Target.attachToTarget", { targetId: target.targetId, flatten: true });
    await this.#cdp.send("Page.enable", {}, sessionId);
    const cdp = this.#cdp;
    return {
      evaluate: (expression) => this.#evaluateOn(sessionId, expression),
      clickAt: (box) => ChromiumSession.#mouseClick(cdp, sessionId, box),
      send: (method, params = {}) => cdp.send(method, params, sessionId),
    };
  }

  // The tab the driver opened pages in, as an object like attachPage's.
  get tab() {
    const sessionId = this.#page;
    return {
      evaluate: (expression) => this.#evaluateOn(sessionId, expression),
      send: (method, params = {}) => this.#cdp.send(method, params, sessionId),
    };
  }

  static async #mouseClick(cdp, sessionId, { x, y }) {
    const mouse = { x, y, modifiers: 0 };
    await cdp.send("Input.dispatchMouseEvent", { type: "mouseMoved", ...mouse }, sessionId);
    await cdp.send("Input.dispatchMouseEvent", { type: "mousePressed", button: "left", clickCount: 1, ...mouse }, sessionId);
    await cdp.send("Input.dispatchMouseEvent", { type: "mouseReleased", button: "left", clickCount: 1, ...mouse }, sessionId);
  }

  async #evaluateOn(sessionId, expression) {
    const { result, exceptionDetails } = await this.#cdp.send(
      "Runtime.evaluate",
      { expression, returnByValue: true, awaitPromise: true },
      sessionId,
    );
    if (exceptionDetails) throw new Error(`${expression.slice(0, 200)}: ${exceptionDetails.exception?.description ?? exceptionDetails.text}`);
    return result.value;
  }

  async close() {
    const exited = this.#child.exitCode !== null ? Promise.resolve() : new Promise((resolve) => this.#child.once("exit", resolve));
    await this.#cdp.send("Browser.close").catch(() => {});
    const timer = setTimeout(() => this.#child.kill("SIGKILL"), 5000);
    await exited;
    clearTimeout(timer);
  }

  async #evaluate(expression, awaitPromise = false) {
    const { result, exceptionDetails } = await this.#cdp.send(
      "Runtime.evaluate",
      { expression, returnByValue: true, awaitPromise },
      this.#page,
    );
    if (exceptionDetails) throw new Error(`${expression}: ${exceptionDetails.text}`);
    return result.value;
  }
}
