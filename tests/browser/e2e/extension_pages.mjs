// The extension's own pages in the driver's tab: the popup opened as a
// page, the options page, and the extension's storage through them.

import { waitFor } from "./browser_events.mjs";

const API = "(globalThis.browser ?? globalThis.chrome)";

export async function openPage(session, page) {
  await session.open(session.extensionUrl(page));
}

// Stores values in the extension's storage.local, as its pages do.
export async function setLocal(session, values) {
  await openPage(session, "options/options.html");
  await session.evaluate(`${API}.storage.local.set(${JSON.stringify(values)}).then(() => true)`);
}

export async function removeLocal(session, keys) {
  await openPage(session, "options/options.html");
  await session.evaluate(`${API}.storage.local.remove(${JSON.stringify(keys)}).then(() => true)`);
}

// Adds a site on the options page the way a user does: typed into the
// field and submitted.
export async function addSiteByHand(session, site) {
  await openPage(session, "options/options.html");
  await waitFor(() => session.evaluate(`document.body.dataset.ready === "1"`), 5000);
  await session.evaluate(`(() => {
    document.getElementById("siteInput").value = ${JSON.stringify(site)};
    document.getElementById("addSite").requestSubmit();
    return true; })()`);
  return waitFor(
    () => session.evaluate(`[...document.querySelectorAll("#sites .pattern")].map((e) => e.textContent).includes(${JSON.stringify(site)})`),
    5000,
  );
}

// What the popup shows once it has the host's fresh answer: each line's
// message key and text, the advice's, the switch, and how long it took
// (shownMs: the first state shown, the last opening's until the fresh one
// comes; freshMs: the fresh one).
export async function readPopup(session) {
  const openedAt = performance.now();
  await openPage(session, "popup/popup.html");
  // The lines the host's fresh answer gave, not those remembered from the
  // last opening.
  const shown = await waitFor(() => session.evaluate(`document.body.dataset.freshMs !== undefined`), 8000);
  if (!shown) return null;
  const popup = await session.evaluate(`(() => {
    const $ = (id) => document.getElementById(id);
    return {
      shownMs: Number(document.body.dataset.shownMs),
      freshMs: Number(document.body.dataset.freshMs),
      state: document.body.dataset.state,
      lang: document.documentElement.lang,
      lines: [...document.querySelectorAll("#lines li")].map((li) => ({
        topic: li.dataset.topic, level: li.className.replace("level-", ""), key: li.dataset.key,
        text: li.firstElementChild.textContent, advice: li.querySelector(".advice")?.dataset.key ?? null })),
      handOver: { checked: $("handOver").checked, disabled: $("handOver").disabled, hidden: $("handOverRow").hidden },
      recent: [...document.querySelectorAll("#recent li")].map((li) => ({
        file: li.querySelector(".file").textContent, outcome: li.querySelector(".what").dataset.key })),
      title: document.querySelector("h1").textContent,
      switchLabel: document.querySelector("label[for=handOver]").textContent,
    }; })()`);
  return { ...popup, openMs: Math.round(performance.now() - openedAt) };
}

// Turns the popup's switch to `on` with a click, as a user does. False
// when it could not be (hidden, locked, or it did not stick).
export async function setSwitchByHand(session, on) {
  await openPage(session, "popup/popup.html");
  const ready = await waitFor(() => session.evaluate(`document.body.dataset.freshMs !== undefined`), 8000);
  if (!ready) return false;
  await session.evaluate(`(() => { const box = document.getElementById("handOver");
    if (!box.disabled && box.checked !== ${on}) box.click(); return true; })()`);
  return waitFor(() => session.evaluate(`${API}.storage.local.get("handOver").then((v) => v.handOver === ${on})`), 5000);
}

// Removes a site with its button on the options page.
export async function removeSiteByHand(session, site) {
  await openPage(session, "options/options.html");
  await waitFor(() => session.evaluate(`document.body.dataset.ready === "1"`), 5000);
  await session.evaluate(`(() => { for (const row of document.querySelectorAll("#sites li"))
    if (row.querySelector(".pattern").textContent === ${JSON.stringify(site)}) row.querySelector("button")?.click();
    return true; })()`);
  return waitFor(
    () => session.evaluate(`${API}.storage.local.get("keptSites").then((v) => !(v.keptSites ?? []).includes(${JSON.stringify(site)}))`),
    5000,
  );
}

// The options page's site list: each entry and whether a policy locks it.
export async function readSiteList(session) {
  await openPage(session, "options/options.html");
  await waitFor(() => session.evaluate(`document.body.dataset.ready === "1"`), 5000);
  return session.evaluate(`[...document.querySelectorAll("#sites li")].map((row) => ({
    site: row.querySelector(".pattern").textContent, locked: row.querySelector("button") === null }))`);
}
