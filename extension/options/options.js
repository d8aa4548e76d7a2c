// The options page: the switch and the site list, kept in storage.local;
// what a policy sets is shown and cannot be changed here.

import { api, localize, message } from "../pages/localize.js";
import { readSettings, withSite, withoutSite } from "../lib/settings.js";
import { normalizeSitePattern } from "../lib/site_rules.js";

const $ = (id) => document.getElementById(id);

function siteRow(pattern, locked) {
  const item = document.createElement("li");
  const name = document.createElement("span");
  name.className = "pattern";
  name.textContent = pattern;
  item.append(name);
  if (locked) {
    const note = document.createElement("span");
    note.className = "locked";
    note.textContent = message("sitesLocked");
    item.append(note);
  } else {
    const remove = document.createElement("button");
    remove.type = "button";
    remove.textContent = message("sitesRemove");
    remove.setAttribute("aria-label", message("sitesRemoveLabel", [pattern]));
    remove.addEventListener("click", () => removeSite(pattern));
    item.append(remove);
  }
  return item;
}

async function render() {
  const settings = await readSettings(api.storage);
  $("switchSection").hidden = settings.switchHidden;
  $("handOver").checked = settings.handOver;
  $("handOver").disabled = settings.handOverLocked;
  $("handOverLocked").hidden = !settings.handOverLocked;
  const rows = [...settings.lockedSites.map((site) => siteRow(site, true)), ...settings.userSites.map((site) => siteRow(site, false))];
  $("sites").replaceChildren(...rows);
  $("sitesNone").hidden = rows.length > 0;
}

async function addSite(input) {
  const pattern = normalizeSitePattern(input);
  $("siteError").hidden = pattern !== null;
  if (pattern === null) return false;
  const settings = await readSettings(api.storage);
  await api.storage.local.set({ keptSites: withSite(settings.userSites, settings.lockedSites, pattern) });
  return true;
}

async function removeSite(pattern) {
  const settings = await readSettings(api.storage);
  await api.storage.local.set({ keptSites: withoutSite(settings.userSites, pattern) });
  $("siteInput").focus();
}

localize();
document.title = message("optionsTitle");
$("handOver").addEventListener("change", (event) => api.storage.local.set({ handOver: event.target.checked }));
$("addSite").addEventListener("submit", async (event) => {
  event.preventDefault();
  if (await addSite($("siteInput").value)) $("siteInput").value = "";
});
api.storage.onChanged.addListener((changes, area) => {
  if (area === "managed" || "handOver" in changes || "keptSites" in changes) render();
});
render().then(() => {
  document.body.dataset.ready = "1";
});
