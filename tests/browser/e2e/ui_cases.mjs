// The popup's cases: what it shows for a state of the host and of
// Trevalon, in which language, and under a policy. The popup is opened as a
// page of its own (the toolbar's popup cannot be opened by a driver), so its
// "current site" is the popup itself: no website.

import { readFileSync } from "node:fs";
import path from "node:path";
import { isDeepStrictEqual } from "node:util";
import { readPopup, readSiteList } from "./extension_pages.mjs";
import { EXTENSION_DIR } from "./host_registration.mjs";

const messagesOf = (locale) => JSON.parse(readFileSync(path.join(EXTENSION_DIR, "_locales", locale, "messages.json"), "utf8"));

// ctx: { session, browser, setTrevalon(state) }. Returns what the popup
// showed, or { skipped: reason }.
export async function runPopupCase(ctx, testCase) {
  const popup = await readPopup(ctx.session);
  if (popup === null) return { case: testCase.name, popup: null };
  const observed = {
    case: testCase.name,
    host: popup.lines.find((line) => line.topic === "host")?.key ?? null,
    hostAdvice: popup.lines.find((line) => line.topic === "host")?.advice ?? null,
    trevalon: popup.lines.filter((line) => line.topic === "trevalon").map((line) => line.key),
    state: popup.state,
    switch: popup.handOver,
    lang: popup.lang,
    shownMs: popup.shownMs,
    openMs: popup.openMs,
    lines: popup.lines,
    recent: popup.recent,
    title: popup.title,
    switchLabel: popup.switchLabel,
  };
  if (testCase.readSites) observed.sites = await readSiteList(ctx.session);
  return observed;
}

// Whether the popup came up in `locale`: its title and switch in that
// language's words, and every line's text that of its key there.
export function languageDifferences(observed, locale) {
  const messages = messagesOf(locale);
  const english = messagesOf("en");
  const found = [];
  if (observed.title !== messages.extName.message) found.push(`title: ${JSON.stringify(observed.title)}`);
  if (observed.switchLabel !== messages.switchHandOver.message) found.push(`switch: ${JSON.stringify(observed.switchLabel)}`);
  for (const line of observed.lines) {
    const own = messages[line.key];
    const theirs = english[line.key];
    if (!own.placeholders && line.text !== own.message) found.push(`${line.key}: ${JSON.stringify(line.text)}`);
    if (line.text === theirs.message && own.message !== theirs.message) found.push(`${line.key} is in English`);
  }
  return found;
}

export function popupDifferences(observed, expected, browser) {
  if (observed.popup === null) return ["the popup did not show its state within 8 s"];
  const found = [];
  const wanted = (value) => (value && typeof value === "object" && !Array.isArray(value) && browser in value ? value[browser] : value);
  for (const field of ["host", "hostAdvice", "trevalon", "state", "switch", "sites"]) {
    if (!(field in expected)) continue;
    const value = wanted(expected[field]);
    if (!isDeepStrictEqual(observed[field], value)) {
      found.push(`${field}: expected ${JSON.stringify(value)}, observed ${JSON.stringify(observed[field])}`);
    }
  }
  if (expected.language) found.push(...languageDifferences(observed, expected.language));
  // Entries the recent list must hold, in words of their outcome.
  for (const entry of expected.recentHas ?? []) {
    if (!observed.recent.some((seen) => isDeepStrictEqual(seen, entry))) {
      found.push(`recent downloads: no ${JSON.stringify(entry)} in ${JSON.stringify(observed.recent)}`);
    }
  }
  return found;
}
