// The toolbar popup: what the host and Trevalon say, the current site's
// state, the switch and the site rule, and the last downloads.

import { api, localize, message, text } from "../pages/localize.js";
import { readSettings, withSite, withoutSite } from "../lib/settings.js";
import { hostOf, keepingRule, siteMatches } from "../lib/site_rules.js";
import { statusLines } from "../lib/status_lines.js";
import { RECENT_KEY } from "../lib/recent.js";

// The host's state as the popup last heard it, shown at once the next time.
const LAST_STATE_KEY = "lastHostState";

const $ = (id) => document.getElementById(id);

async function currentSite() {
  const [tab] = await api.tabs.query({ active: true, currentWindow: true }).catch(() => []);
  const url = tab?.url ?? "";
  const host = /^(https?|ftp):/.test(url) ? hostOf(url) : null;
  if (host === null) return { host: null, url };
  // A match pattern names no port.
  const { protocol, hostname } = new URL(url);
  const access = await Promise.resolve(api.permissions.contains({ origins: [`${protocol}//${hostname}/*`] })).catch(() => null);
  return { host, url, access };
}

function privateAccess() {
  return Promise.resolve(api.extension.isAllowedIncognitoAccess()).catch(() => null);
}

function renderLines(lines) {
  const list = $("lines");
  list.replaceChildren(
    ...lines.map((line) => {
      const item = document.createElement("li");
      item.className = `level-${line.level}`;
      item.dataset.topic = line.topic;
      item.dataset.key = line.message[0];
      const main = document.createElement("span");
      main.textContent = text(line.message);
      item.append(main);
      if (line.advice) {
        const advice = document.createElement("span");
        advice.className = "advice";
        advice.dataset.key = line.advice[0];
        advice.textContent = text(line.advice);
        item.append(advice);
      }
      return item;
    }),
  );
}

function renderControls(settings, site) {
  $("handOverRow").hidden = settings.switchHidden;
  $("handOver").checked = settings.handOver;
  $("handOver").disabled = settings.handOverLocked;
  $("handOverLocked").hidden = settings.switchHidden || !settings.handOverLocked;
  const lockedRule = site.host ? keepingRule(settings.lockedSites, [site.url]) : null;
  $("keepSite").checked = site.host !== null && keepingRule(settings.keptSites, [site.url]) !== null;
  $("keepSite").disabled = site.host === null || lockedRule !== null;
  $("keepSiteLocked").hidden = lockedRule === null;
}

function renderRecent(entries) {
  const list = $("recent");
  list.replaceChildren(
    ...entries.map((entry) => {
      const item = document.createElement("li");
      const file = document.createElement("div");
      file.className = "file";
      file.textContent = entry.file;
      const what = document.createElement("div");
      what.className = "what";
      if (entry.outcome.startsWith("outcomeSent")) what.classList.add("sent");
      what.dataset.key = entry.outcome;
      what.textContent = `${entry.site} \u2014 ${message(entry.outcome, entry.detail ? [entry.detail] : [])}`;
      item.append(file, what);
      return item;
    }),
  );
  $("recentNone").hidden = entries.length > 0;
}

async function setKeepSite(site, keep) {
  const settings = await readSettings(api.storage);
  let sites = settings.userSites;
  if (keep) sites = withSite(sites, settings.lockedSites, site.host);
  else for (const pattern of sites.filter((entry) => siteMatches(entry, site.host))) sites = withoutSite(sites, pattern);
  await api.storage.local.set({ keptSites: sites });
}

async function main() {
  // Asked first: the host's answer takes longest. Until it comes the popup
  // shows what the host said when the popup was last opened.
  const asking = api.runtime.sendMessage({ type: "statusOfHost" }).catch(() => null);
  localize();
  document.title = message("extName");
  const [settings, site, incognito, stored, local] = await Promise.all([
    readSettings(api.storage),
    currentSite(),
    privateAccess(),
    api.storage.session?.get([RECENT_KEY, LAST_STATE_KEY]).catch(() => ({})) ?? {},
    api.storage.local.get("cookieNoteSeen").catch(() => ({})),
  ]);
  renderControls(settings, site);
  renderRecent(stored[RECENT_KEY] ?? []);
  $("cookieNote").hidden = local.cookieNoteSeen === true;

  $("handOver").addEventListener("change", (event) => api.storage.local.set({ handOver: event.target.checked }));
  $("keepSite").addEventListener("change", (event) => setKeepSite(site, event.target.checked));
  $("cookieNoteSeen").addEventListener("click", () => {
    $("cookieNote").hidden = true;
    api.storage.local.set({ cookieNoteSeen: true });
  });
  $("openOptions").addEventListener("click", () => api.runtime.openOptionsPage());

  const extension = { version: api.runtime.getManifest().version, id: api.runtime.id, origin: new URL(api.runtime.getURL("/")).href };
  let hostState = stored[LAST_STATE_KEY] ?? null;
  let current = settings;
  const show = () => {
    const keptBy = site.host ? keepingRule(current.keptSites, [site.url]) : null;
    const host = hostState?.host ?? { state: "no-answer" };
    renderLines(statusLines({ host, extension, site: { ...site, keptBy }, settings: current, privateAccess: incognito }));
    document.body.dataset.state = hostState?.button ?? "problem";
  };
  // Times from the page's start (its navigation), as performance.now() counts.
  const stamp = (name) => (document.body.dataset[name] = String(Math.round(performance.now())));
  if (hostState) {
    show();
    stamp("shownMs");
  }
  api.storage.onChanged.addListener(async (changes, area) => {
    if (area === "session") {
      if (changes[RECENT_KEY]) renderRecent(changes[RECENT_KEY].newValue ?? []);
      return;
    }
    current = await readSettings(api.storage);
    renderControls(current, site);
    show();
  });

  hostState = await asking;
  show();
  if (document.body.dataset.shownMs === undefined) stamp("shownMs");
  stamp("freshMs");
  api.storage.session?.set({ [LAST_STATE_KEY]: hostState }).catch(() => {});
}

main();
