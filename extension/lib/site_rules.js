// Site rules: the sites whose downloads stay in the browser. An entry is a
// host name ("example.com", only that name) or a pattern ("*.example.com",
// that name and every name below it), kept in lower case.

// The host of a URL in the form an entry takes, or null when it has none.
export function hostOf(url) {
  if (typeof url !== "string" || url === "") return null;
  try {
    const host = new URL(url).hostname.toLowerCase();
    return host === "" ? null : host.replace(/\.$/, "");
  } catch {
    return null;
  }
}

const LABEL = /^(?!-)[a-z0-9_-]{1,63}(?<!-)$/;
const MAX_ENTRY = 253;

// What a user typed, as an entry: a scheme, port, path or user part is
// dropped; null when it names no host. "*." may lead, once.
export function normalizeSitePattern(input) {
  if (typeof input !== "string") return null;
  let text = input.trim().toLowerCase();
  if (text === "") return null;
  let wildcard = false;
  if (text.startsWith("*.")) {
    wildcard = true;
    text = text.slice(2);
  }
  // The URL parser takes care of schemes, ports, paths and IDN names.
  const host = hostOf(/^[a-z][a-z0-9+.-]*:\/\//.test(text) ? text : `http://${text}`);
  if (host === null || host.length > MAX_ENTRY || host.includes("*")) return null;
  if (host.startsWith("[")) return wildcard ? null : host;
  if (!host.split(".").every((label) => LABEL.test(label))) return null;
  // "*.com" would keep a whole top-level domain: a pattern needs two labels.
  if (wildcard && !host.includes(".")) return null;
  return wildcard ? `*.${host}` : host;
}

export function siteMatches(pattern, host) {
  if (typeof pattern !== "string" || typeof host !== "string") return false;
  if (!pattern.startsWith("*.")) return pattern === host;
  const base = pattern.slice(2);
  return host === base || host.endsWith(`.${base}`);
}

// The first entry that keeps a download of any of these URLs (the tab's,
// the referrer's, the download's own), or null.
export function keepingRule(patterns, urls) {
  const hosts = urls.map(hostOf).filter((host) => host !== null);
  for (const pattern of patterns) if (hosts.some((host) => siteMatches(pattern, host))) return pattern;
  return null;
}

// A list of entries without repeats, each normalized; what is no entry is
// left out.
export function cleanSiteList(value) {
  if (!Array.isArray(value)) return [];
  const seen = new Set();
  for (const entry of value) {
    const pattern = normalizeSitePattern(entry);
    if (pattern !== null) seen.add(pattern);
  }
  return [...seen];
}
