// The background of the bridge. Every listener is registered at the top
// level, in the first turn of the script: a Manifest V3 service worker that
// went idle is started again by the event it missed, and only listeners
// present at once receive it.

import { ClickMemory } from "../lib/click_memory.js";
import { RequestMethods, WATCHED_TYPES, mayAskHost } from "../lib/request_methods.js";
import { RequestTable, askHost, verdictOf } from "../lib/request_table.js";
import { downloadRequest, downloadUrl, isHandOverUrl, linkRequest, wantsHandOver } from "../lib/requests.js";
import { HostPort } from "./host_port.js";
import { bridgeAsker, createMenus, PickMenus } from "./pick_menus.js";
import { watchChromiumDownloads } from "./chromium_downloads.js";
import { watchFirefoxDownloads } from "./firefox_downloads.js";

const api = globalThis.browser ?? globalThis.chrome;

const timers = { set: (run, ms) => setTimeout(run, ms), clear: (timer) => clearTimeout(timer) };
const table = new RequestTable(timers);
const clicks = new ClickMemory(Date.now);
const methods = new RequestMethods(Date.now, timers);
const host = new HostPort(api.runtime, {
  hello(settings) {
    picks.hello(settings);
    setForceKeys(settings.keysToAdd);
  },
  answer(answer) {
    table.answer(answer);
  },
  down() {
    table.dropAll();
    setForceKeys(null);
  },
});

// The pages read the forcing keys from storage before any click.
function setForceKeys(keys) {
  api.storage.local.set({ forceKeys: keys }).catch(() => {});
}

const post = (message) => host.post(message);
const confirm = (id) => host.confirm(id);
const picks = new PickMenus(api, bridgeAsker(table, post, confirm));

// Null when the browser keeps the download without asking; else the
// verdict to come.
function askAboutDownload(item) {
  if (!wantsHandOver(item, api.runtime.id)) return null;
  const url = downloadUrl(item);
  const method = methods.methodOf(url);
  if (method !== null) return askWithMethod(item, method);
  return methods.methodSoon(url).then((learnt) => askWithMethod(item, learnt) ?? verdictOf("kept"));
}

function askWithMethod(item, method) {
  if (!mayAskHost(method, host.protocol)) return null;
  const click = clicks.take(item.url) ?? (item.finalUrl ? clicks.take(item.finalUrl) : undefined);
  return askHost(table, post, "d", (id) => downloadRequest(id, item, click, method), confirm);
}

function askAboutLink(message, sender) {
  if (!isHandOverUrl(message.url)) return Promise.resolve({ action: "goOn", state: "not-sent" });
  const tabUrl = sender.tab?.url ?? message.pageUrl;
  const keys = message.keys;
  return askHost(table, post, "l", (id) => linkRequest(id, { url: message.url, tabUrl, keys }), confirm);
}

api.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (sender.id !== api.runtime.id || typeof message?.url !== "string") return false;
  if (message.type === "click") {
    clicks.note(message.url, { keys: message.keys, tabUrl: sender.tab?.url ?? message.pageUrl });
    return false;
  }
  if (message.type !== "link") return false;
  askAboutLink(message, sender).then((verdict) => sendResponse({ goOn: verdict.action !== "cancel" }));
  return true;
});

// Only watched, never held: the method is all that is wanted.
api.webRequest.onBeforeRequest.addListener((details) => methods.note(details), {
  urls: ["<all_urls>"],
  types: [...WATCHED_TYPES],
});

// The context menu acts only on the browser's own click in it; the pick
// page's button reaches the host through its own port.
const menus = api.menus ?? api.contextMenus;
const makeMenus = () => createMenus(menus, (key) => api.i18n.getMessage(key)).catch(() => {});
api.runtime.onInstalled.addListener(makeMenus);
api.runtime.onStartup.addListener(makeMenus);
menus.onClicked.addListener((info, tab) => {
  picks.clicked(info, tab);
});
api.runtime.onConnect.addListener((port) => picks.connected(port));
// For the browser tests only: a headless browser opens no context menu, so
// they call the menu's handler here, in the background, with the info and
// tab the browser would pass. No page can reach the background's globals.
globalThis.vrpphMenuClicked = (info, tab) => picks.clicked(info, tab);

if (api.downloads.onDeterminingFilename) watchChromiumDownloads(api.downloads, askAboutDownload);
else watchFirefoxDownloads(api.downloads, askAboutDownload);

// Starting the host now means the first click finds it warm, and the pages
// learn the forcing keys from its hello.
api.runtime.onStartup.addListener(() => host.open());
host.open();
