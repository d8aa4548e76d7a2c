// The link clicks the pages reported, kept a short while so that the
// download a click starts can be sent with the keys held and the page's URL.
// The download arrives after the response headers, some time after the click.

export const CLICK_KEPT_MS = 30_000;
export const CLICKS_KEPT = 64;

// The same address with or without its fragment: the download drops it.
export function clickKey(url) {
  try {
    const parsed = new URL(url);
    parsed.hash = "";
    return parsed.href;
  } catch {
    return null;
  }
}

export class ClickMemory {
  #clicks = new Map();
  #now;
  #keptMs;
  #capacity;

  constructor(now, { keptMs = CLICK_KEPT_MS, capacity = CLICKS_KEPT } = {}) {
    this.#now = now;
    this.#keptMs = keptMs;
    this.#capacity = capacity;
  }

  note(url, { keys, tabUrl }) {
    const key = clickKey(url);
    if (key === null) return;
    this.#clicks.delete(key);
    this.#clicks.set(key, { keys, tabUrl, at: this.#now() });
    // A Map iterates in insertion order: the first entry is the oldest.
    while (this.#clicks.size > this.#capacity) this.#clicks.delete(this.#clicks.keys().next().value);
  }

  // The click that started a download of url, once: a second download of
  // the same URL without a new click gets none.
  take(url) {
    const key = clickKey(url);
    const click = key === null ? undefined : this.#clicks.get(key);
    if (!click) return undefined;
    this.#clicks.delete(key);
    if (this.#now() - click.at > this.#keptMs) return undefined;
    return { keys: click.keys, tabUrl: click.tabUrl };
  }
}
