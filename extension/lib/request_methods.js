// The HTTP method of the request behind each download. Neither browser's
// download item tells it, so the extension watches the requests that can
// become downloads (navigations of a tab or a frame, objects, and the
// browser's own fetches) without holding any of them, and looks a download
// up by its final URL.
//
// A redirect is a request of its own to its new URL: a 303 answering a POST
// is a GET there, an ordinary download; a 307 or 308 keeps the POST. Neither
// family's download item names its tab, so the URL and the time decide.

import { clickKey } from "./click_memory.js";

// The request types a download can come from, in both families' names.
export const WATCHED_TYPES = Object.freeze(["main_frame", "sub_frame", "object", "other"]);
// A download begins once its response headers came: a slow server may take
// a while, and what is older than this counts as not learnt.
export const METHOD_KEPT_MS = 120_000;
export const METHODS_KEPT = 512;
// Firefox may tell of a download before it tells of the request behind it:
// how long a download whose request was not seen yet waits for it.
export const METHOD_WAIT_MS = 1000;

export class RequestMethods {
  #seen = [];
  #waiting = new Set();
  #now;
  #timers;
  #keptMs;
  #capacity;

  // timers: { set(fn, ms) -> handle, clear(handle) }, as RequestTable's.
  constructor(now, timers, { keptMs = METHOD_KEPT_MS, capacity = METHODS_KEPT } = {}) {
    this.#now = now;
    this.#timers = timers;
    this.#keptMs = keptMs;
    this.#capacity = capacity;
  }

  // details: a webRequest event's { url, method }.
  note({ url, method }) {
    const key = clickKey(url);
    if (key === null || typeof method !== "string") return;
    this.#seen.push({ key, method: method.toUpperCase(), at: this.#now() });
    if (this.#seen.length > this.#capacity) this.#seen.shift();
    for (const waiter of [...this.#waiting]) if (waiter.key === key) waiter.wake();
  }

  // The method as methodOf tells it, once a request to `url` is seen or
  // `withinMs` passed (then null).
  methodSoon(url, withinMs = METHOD_WAIT_MS) {
    const known = this.methodOf(url);
    const key = clickKey(url);
    if (known !== null || key === null) return Promise.resolve(known);
    return new Promise((resolve) => {
      const waiter = {
        key,
        wake: () => {
          this.#waiting.delete(waiter);
          this.#timers.clear(timer);
          resolve(this.methodOf(url));
        },
      };
      const timer = this.#timers.set(() => waiter.wake(), withinMs);
      this.#waiting.add(waiter);
    });
  }

  // The method of the request behind a download of `url`: "GET" when every
  // request to it seen lately was a GET, the other method when one was not
  // (two tabs may ask for the same URL, one of them with a form), and null
  // when none was seen.
  methodOf(url) {
    const key = clickKey(url);
    const since = this.#now() - this.#keptMs;
    let method = null;
    for (const seen of this.#seen) {
      if (seen.key !== key || seen.at < since) continue;
      if (seen.method !== "GET") return seen.method;
      method = "GET";
    }
    return method;
  }
}

// Whether a download may be put to the host at all. One whose method was
// not learnt might be a POST, whose body no record can carry: handing it
// over would lose it, keeping it only leaves it to the browser. A host of
// protocol 1 (or one whose hello has not come yet) would take a POST like
// any download; one of protocol 2 declines it itself.
export function mayAskHost(method, hostProtocol) {
  if (method === null) return false;
  if (method === "GET") return true;
  return (hostProtocol ?? 1) >= 2;
}
