// The popup's list of the last downloads asked about, in storage.session:
// it lasts as long as the browser runs and is never written to disk.
// Additions are made one after the other, so none is lost to another.

import { RECENT_KEY, recentEntry, withRecent } from "../lib/recent.js";

export class RecentLog {
  #area;
  #queue = Promise.resolve();

  constructor(area) {
    this.#area = area;
  }

  add(item, verdict) {
    if (!this.#area || item.incognito) return;
    const entry = recentEntry(item, verdict, Date.now());
    this.#queue = this.#queue
      .then(async () => {
        const stored = await this.#area.get(RECENT_KEY);
        await this.#area.set({ [RECENT_KEY]: withRecent(stored[RECENT_KEY], item, entry) });
      })
      .catch(() => {});
  }
}
