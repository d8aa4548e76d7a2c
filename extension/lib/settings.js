// The settings in force: the user's (storage.local) under the
// administrator's (storage.managed), where a managed value always wins.
// docs/extension-settings.md describes the keys.

import { cleanSiteList } from "./site_rules.js";

export const SETTING_KEYS = Object.freeze(["handOver", "keptSites"]);

// local, managed: what the two storage areas hold (managed: {} when there is
// no policy). The result says for each setting whether a policy fixed it.
// Firefox hands a policy's REG_DWORD (what the templates write) over as the
// number 0 or 1, unchecked by any schema: those count as false and true.
function policyFlag(value) {
  if (typeof value === "boolean") return value;
  return value === 0 || value === 1 ? value === 1 : null;
}

export function effectiveSettings(local = {}, managed = {}) {
  const managedHandOver = policyFlag(managed.handOver);
  const userHandOver = typeof local.handOver === "boolean" ? local.handOver : true;
  const lockedSites = cleanSiteList(managed.keptSites);
  const userSites = cleanSiteList(local.keptSites).filter((site) => !lockedSites.includes(site));
  return {
    handOver: managedHandOver ?? userHandOver,
    handOverLocked: managedHandOver !== null,
    switchHidden: policyFlag(managed.hideSwitch) === true,
    keptSites: [...lockedSites, ...userSites],
    lockedSites,
    userSites,
  };
}

// Managed storage without a policy (or without support for it, as on a
// browser that lacks the schema) rejects or is empty: no policy.
export async function readManaged(storage) {
  try {
    const managed = await storage?.managed?.get(null);
    return managed && typeof managed === "object" ? managed : {};
  } catch {
    return {};
  }
}

export async function readSettings(storage) {
  const [local, managed] = await Promise.all([storage.local.get(SETTING_KEYS).catch(() => ({})), readManaged(storage)]);
  return effectiveSettings(local, managed);
}

// The user's own list after adding or removing one entry; an entry a policy
// keeps is never removed, and is not stored twice.
export function withSite(userSites, lockedSites, pattern) {
  if (lockedSites.includes(pattern) || userSites.includes(pattern)) return userSites;
  return [...userSites, pattern];
}

export function withoutSite(userSites, pattern) {
  return userSites.filter((site) => site !== pattern);
}
