// The context menu's entries and what they start: one link or medium handed
// over as a forced link, or the links of a page or a selection gathered for
// the pick page, whose button then hands them over in batches. Only the
// browser's own menu click starts any of it (menus.onClicked), and only the
// pick page's port may hand a batch over.

import { gatherPageLinks } from "../content/page_links.js";
import { outcomeKey, splitBatch } from "../lib/batch.js";
import { GATHER_SLICE_MS, mergeGathered, PICK_CAP } from "../lib/link_list.js";
import { askHost } from "../lib/request_table.js";
import { isHandOverUrl, linkRequest } from "../lib/requests.js";

export const MENU = Object.freeze({ one: "vrpph-one", page: "vrpph-page", selection: "vrpph-selection" });
export const PICK_PAGE = "pick/pick.html";
export const BATCH_PORT = "vrpph-batch";
// The pick lists kept for their pages, newest last; older ones are dropped.
const PICKS_KEPT = 4;
const KEPT_PICKS = "kept-picks";

// A menu item's context is set once at install; creating the items again
// at every start of the background would fail on their ids, so they are
// removed first.
export function createMenus(menus, message) {
  const items = [
    { id: MENU.one, contexts: ["link", "image", "video", "audio"], title: message("menuDownloadWith") },
    { id: MENU.page, contexts: ["page"], title: message("menuDownloadLinks") },
    { id: MENU.selection, contexts: ["selection"], title: message("menuDownloadSelected") },
  ];
  return menus.removeAll().then(() => {
    for (const item of items) menus.create(item, () => void globalThis.chrome?.runtime?.lastError);
  });
}

// What the one-link entry hands over: the link when the element is one (an
// image inside a link follows the link, as a click would), else the medium.
export function menuLink(info, tab) {
  const url = info.linkUrl ?? info.srcUrl;
  if (!isHandOverUrl(url)) return null;
  return { url, tabUrl: tab?.url ?? info.pageUrl, referrer: info.frameUrl ?? info.pageUrl };
}

export class PickMenus {
  #api;
  #ask;
  #acceptingTypes = [];
  #serial = 0;

  // ask(prefix, build, onProgress): askHost over the bridge's one port.
  constructor(api, ask) {
    this.#api = api;
    this.#ask = ask;
  }

  hello(settings) {
    this.#acceptingTypes = settings.acceptingTypes ?? [];
  }

  // menus.onClicked: (info, tab) as the browser passes them.
  clicked(info, tab) {
    if (info.menuItemId === MENU.one) {
      const link = menuLink(info, tab);
      return link ? this.#ask("m", (id) => linkRequest(id, link)) : Promise.resolve(null);
    }
    if (info.menuItemId === MENU.page) return this.#gather(tab, { allFrames: true }, "page");
    if (info.menuItemId === MENU.selection) return this.#gather(tab, { frameIds: [info.frameId ?? 0] }, "selection");
    return Promise.resolve(null);
  }

  async #gather(tab, frames, scope) {
    if (!tab || typeof tab.id !== "number") return null;
    const started = performance.now();
    let results = [];
    try {
      results = await this.#api.scripting.executeScript({
        target: { tabId: tab.id, ...frames },
        func: gatherPageLinks,
        args: [scope, PICK_CAP, GATHER_SLICE_MS],
      });
    } catch {
      // A page the extension may not script (the browser's own, a store's)
      // gives an empty list, which the pick page says.
    }
    const ordered = [...results].sort((a, b) => Number(b.frameId === 0) - Number(a.frameId === 0));
    const list = mergeGathered(ordered.map((frame) => frame.result));
    const gatheredMs = performance.now() - started;
    // The longest a frame's own walk took, of gatheredMs.
    const pageMs = Math.max(0, ...ordered.map((frame) => frame.result?.ms ?? 0));
    this.#serial += 1;
    const key = `pick-${Date.now()}-${this.#serial}`;
    await this.#keep(key, { ...list, pageUrl: tab.url ?? null, acceptingTypes: this.#acceptingTypes });
    const opened = await this.#api.tabs.create({
      url: this.#api.runtime.getURL(`${PICK_PAGE}#${key}`),
      index: typeof tab.index === "number" ? tab.index + 1 : undefined,
      openerTabId: tab.id,
    });
    return { key, tabId: opened?.id, gatheredMs, pageMs };
  }

  async #keep(key, list) {
    const session = this.#api.storage.session;
    const kept = (await session.get(KEPT_PICKS))[KEPT_PICKS] ?? [];
    const keys = [...kept, key];
    const dropped = keys.splice(0, Math.max(0, keys.length - PICKS_KEPT));
    // One text stores and loads far faster than ten thousand objects.
    await session.set({ [key]: JSON.stringify(list), [KEPT_PICKS]: keys });
    if (dropped.length > 0) await session.remove(dropped);
  }

  // runtime.onConnect: the pick page's port, and no other.
  connected(port) {
    if (port.name !== BATCH_PORT) return;
    const pickUrl = this.#api.runtime.getURL(PICK_PAGE);
    if (port.sender?.id !== this.#api.runtime.id || !String(port.sender?.url ?? "").startsWith(pickUrl)) {
      port.disconnect();
      return;
    }
    let open = true;
    port.onDisconnect.addListener(() => {
      open = false;
    });
    const tell = (outcomes) => {
      if (open) port.postMessage({ outcomes: outcomes.map((outcome) => ({ ...outcome, words: outcomeKey(outcome) })) });
    };
    port.onMessage.addListener((message) => {
      if (!Array.isArray(message?.links)) return;
      this.#handOver(message.links, tell, () => open).then(() => {
        if (open) port.postMessage({ done: true });
      });
    });
  }

  async #handOver(links, tell, stillOpen) {
    const checked = links.map((link) => ({
      url: isHandOverUrl(link?.url) ? link.url : null,
      referrer: typeof link?.referrer === "string" ? link.referrer : undefined,
      filename: typeof link?.filename === "string" ? link.filename : undefined,
    }));
    const refused = checked.flatMap((link, index) => (link.url === null ? [index] : []));
    const { requests, tooLong } = splitBatch(checked.map((link) => (link.url === null ? { ...link, url: "" } : link)));
    const skip = new Set(refused);
    const notSent = [...refused.map((index) => ({ index, state: "error", reason: "not http, https or ftp" })), ...tooLong.map((index) => ({ index, state: "error", reason: "too long" }))];
    if (notSent.length > 0) tell(notSent);
    for (const entries of requests) {
      const sendable = entries.filter((entry) => !skip.has(entry.index));
      if (sendable.length === 0) continue;
      // A page closed meanwhile: what it chose but was not sent stays unsent.
      if (!stillOpen()) return;
      const verdict = await this.#ask("b", (id) => ({ id, type: "batch", links: sendable }), tell);
      if (verdict.state === "done") {
        tell(verdict.outcomes);
        continue;
      }
      // No pending in time, the port dropped, or the host refused the
      // request whole: each link says so.
      const reason = verdict.reason ?? verdict.state;
      tell(sendable.map((entry) => ({ index: entry.index, state: "error", reason })));
    }
  }
}

// askHost with the bridge's table, port and commit step, as PickMenus asks.
export function bridgeAsker(table, post, confirm) {
  return (prefix, build, onProgress = () => {}) => askHost(table, post, prefix, build, confirm, onProgress);
}
