// What a browser reported doing, in the terms both drivers share: downloads
// begun and ended, and pages (tabs) opened.

export function now() {
  return performance.timeOrigin + performance.now();
}

// Polls predicate until it holds or the time is up; says which.
export async function waitFor(predicate, timeoutMs, intervalMs = 25) {
  const deadline = now() + timeoutMs;
  for (;;) {
    if (await predicate()) return true;
    if (now() >= deadline) return false;
    await new Promise((resolve) => setTimeout(resolve, intervalMs));
  }
}

export class BrowserEvents {
  #downloads = [];
  #pages = [];
  #pagesFrom = 0;

  downloadBegan(url) {
    this.#downloads.push({ url, beganAt: now(), state: "inProgress" });
  }

  // Ends the latest download of that URL still in progress.
  downloadEnded(url, state) {
    const download = this.#downloads.findLast((entry) => entry.url === url && entry.state === "inProgress");
    if (download) Object.assign(download, { state, endedAt: now() });
  }

  pageOpened(url) {
    this.#pages.push({ url, at: now() });
  }

  // The tabs the browser started with are not opened by a click.
  ignorePagesSoFar() {
    this.#pagesFrom = this.#pages.length;
  }

  // The first download begun at or after a time (a click starts one).
  downloadSince(time) {
    return this.#downloads.find((entry) => entry.beganAt >= time);
  }

  pagesOpenedSince(time) {
    return this.#pages.slice(this.#pagesFrom).filter((page) => page.at >= time);
  }
}
