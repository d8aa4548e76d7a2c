// The background of the bridge. Every listener is registered at the top
// level, in the first turn of the script: a Manifest V3 service worker that
// went idle is started again by the event it missed, and only listeners
// present at once receive it.

import { ClickMemory } from "../lib/click_memory.js";
import { RequestMethods, WATCHED_TYPES, mayAskHost } from "../lib/request_methods.js";
import { RequestTable, askHost, verdictOf } from "../lib/request_table.js";
import { downloadRequest, downloadUrl, isHandOverUrl, linkRequest, wantsHandOver } from "../lib/requests.js";
import { readSettings } from "../lib/settings.js";
import { keepingRule } from "../lib/site_rules.js";
import { buttonState } from "../lib/status_lines.js";
import { Button } from "./button.js";
import { HostPort } from "./host_port.js";
import { bridgeAsker, createMenus, PickMenus } from "./pick_menus.js";
import { HostStatus } from "./host_status.js";
import { RecentLog } from "./recent_log.js";
import { watchChromiumDownloads } from "./chromium_downloads.js";
import { watchFirefoxDownloads } from "./firefox_downloads.js";

const api = globalThis.browser ?? globalThis.chrome;

const timers = { set: (run, ms) => setTimeout(run, ms), clear: (timer) => clearTimeout(timer) };
const table = new RequestTable(timers);
const clicks = new ClickMemory(Date.now);
const methods = new RequestMethods(Date.now, timers);
const button = new Button(api.action, (key) => api.i18n.getMessage(key), timers);
const recent = new RecentLog(api.storage.session);
const hostStatus = new HostStatus(timers);
let forceKeys = null;
const host = new HostPort(api.runtime, {
  opening() {
    hostStatus.opening();
  },
  hello(settings) {
    picks.hello(settings);
    hostStatus.hello(settings);
    setForceKeys(settings.keysToAdd);
    showState();
  },
  answer(answer) {
    if (!hostStatus.answer(answer)) table.answer(answer);
  },
  status(answer) {
    hostStatus.answer(answer);
  },
  down(reason, answered) {
    hostStatus.down(reason, answered);
    table.dropAll();
    setForceKeys(null);
    showState();
  },
});
hostStatus.attach(host);

// The settings in force, read again whenever the user or a policy changes
// them; a download that comes first waits for them.
let settings = readSettings(api.storage);
api.storage.onChanged.addListener((changes, area) => {
  if (area !== "local" && area !== "managed") return;
  if (area === "local" && !("handOver" in changes) && !("keptSites" in changes)) return;
  settings = readSettings(api.storage);
  showState();
});

function showState() {
  settings.then((current) => button.show(buttonState(hostStatus, current.handOver)));
}

// The pages read the forcing keys from storage before any click.
function setForceKeys(keys) {
  forceKeys = keys;
  api.storage.local.set({ forceKeys: keys }).catch(() => {});
}

const post = (message) => host.post(message);
const confirm = (id) => host.confirm(id);
const picks = new PickMenus(api, bridgeAsker(table, post, confirm));

function sameKeys(keys, wanted) {
  if (!Array.isArray(keys) || !Array.isArray(wanted)) return false;
  return [...keys].sort().join(",") === wanted.join(",");
}

// Null when the browser keeps the download without asking; else the
// verdict to come.
function askAboutDownload(item) {
  if (!wantsHandOver(item, api.runtime.id)) return null;
  const asked = decideDownload(item);
  asked.then((verdict) => {
    recent.add(item, verdict);
    if (verdict.action === "cancel") button.sent();
  });
  return asked;
}

async function decideDownload(item) {
  const url = downloadUrl(item);
  const click = clicks.take(item.url) ?? (item.finalUrl ? clicks.take(item.finalUrl) : undefined);
  const current = await settings;
  // A click with the forcing keys asks explicitly: neither the switch nor a
  // site rule keeps it.
  if (!sameKeys(click?.keys, forceKeys)) {
    if (!current.handOver) return verdictOf("switch-off");
    if (keepingRule(current.keptSites, [click?.tabUrl, item.referrer, url]) !== null) return verdictOf("kept-site");
  }
  const method = methods.methodOf(url) ?? (await methods.methodSoon(url));
  if (!mayAskHost(method, host.protocol)) return verdictOf("kept");
  return askHost(table, post, "d", (id) => downloadRequest(id, item, click, method), confirm);
}

function askAboutLink(message, sender) {
  if (!isHandOverUrl(message.url)) return Promise.resolve({ action: "goOn", state: "not-sent" });
  const tabUrl = sender.tab?.url ?? message.pageUrl;
  const keys = message.keys;
  return askHost(table, post, "l", (id) => linkRequest(id, { url: message.url, tabUrl, keys }), confirm);
}

// The popup's question: what the host says now.
async function popupState() {
  const snapshot = await hostStatus.snapshot();
  const current = await settings;
  return { host: snapshot, button: buttonState(snapshot, current.handOver) };
}

api.runtime.onMessage.addListener((message, sender, sendResponse) => {
  if (sender.id !== api.runtime.id) return false;
  if (message?.type === "statusOfHost") {
    popupState().then(sendResponse, () => sendResponse(null));
    return true;
  }
  if (typeof message?.url !== "string") return false;
  if (message.type === "click") {
    clicks.note(message.url, { keys: message.keys, tabUrl: sender.tab?.url ?? message.pageUrl });
    return false;
  }
  if (message.type !== "link") return false;
  askAboutLink(message, sender).then((verdict) => {
    if (verdict.action === "cancel") button.sent();
    sendResponse({ goOn: verdict.action !== "cancel" });
  });
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
  picks.clicked(info, tab).then((verdict) => {
    if (verdict?.action === "cancel") button.sent();
  });
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
showState();
