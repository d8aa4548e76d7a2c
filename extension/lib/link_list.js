// The pick page's list: what the frames gathered, merged, checked again and
// described (file name, type, host), and the filters over it.

import { HAND_OVER_SCHEMES } from "./requests.js";

// At most this many entries, whatever the page holds; the page says so.
export const PICK_CAP = 10_000;
// The longest a gathering slice runs before it yields to the page.
export const GATHER_SLICE_MS = 10;

// The entries of one frame's gathering: the page's world sends a JSON text.
export function frameEntries(frame) {
  if (typeof frame?.entries !== "string") return [];
  try {
    const entries = JSON.parse(frame.entries);
    return Array.isArray(entries) ? entries : [];
  } catch {
    return [];
  }
}

// frames: what gatherPageLinks returned in each frame, the top frame first.
// A URL that differs only in its fragment is listed once; links come before
// media, each in the order found. The frames' word is checked again here:
// only URLs the host can fetch, and only as many as the cap.
export function mergeGathered(frames, cap = PICK_CAP) {
  const seen = new Set();
  const links = [];
  const media = [];
  let truncated = false;
  for (const frame of frames) {
    if (!frame) continue;
    if (frame.truncated === true) truncated = true;
    const referrer = handOverAddress(frame.documentUrl) ?? undefined;
    for (const entry of frameEntries(frame)) {
      const url = handOverAddress(entry?.url);
      if (url === null || seen.has(url)) continue;
      if (links.length + media.length >= cap) {
        truncated = true;
        break;
      }
      seen.add(url);
      const item = { url };
      if (referrer) item.referrer = referrer;
      if (typeof entry.text === "string" && entry.text !== "") item.text = entry.text;
      if (typeof entry.filename === "string" && entry.filename !== "") item.filename = entry.filename;
      (entry.kind === "media" ? media : links).push(item);
    }
  }
  return { links, media, truncated };
}

// The URL without its fragment when the host can fetch it, else null; one
// parse, for ten thousand entries.
function handOverAddress(url) {
  if (typeof url !== "string") return null;
  let parsed;
  try {
    parsed = new URL(url);
  } catch {
    return null;
  }
  if (!HAND_OVER_SCHEMES.has(parsed.protocol)) return null;
  parsed.hash = "";
  return parsed.href;
}

// What the list shows of an entry: the file's name (the link's own, else the
// URL's last path segment, decoded where it decodes), its type (the name's
// extension as AcceptingTypes spells it, upper-case; "" for none) and host.
export function describe(entry) {
  const parsed = new URL(entry.url);
  let name = entry.filename ?? parsed.pathname.split("/").pop();
  if (entry.filename === undefined) {
    try {
      name = decodeURIComponent(name);
    } catch {
      // Left as the URL spells it.
    }
  }
  const dot = name.lastIndexOf(".");
  const type = dot > 0 && dot < name.length - 1 ? name.slice(dot + 1).toUpperCase() : "";
  return { name, type, host: parsed.host };
}

// Whether an entry passes the filters: its type among the chosen ones (""
// stands for "no type") and the text, when there is one, in its name, host,
// URL or link text, case aside.
export function passes(entry, described, { types, text }) {
  if (!types.has(described.type)) return false;
  const needle = text.trim().toLowerCase();
  if (needle === "") return true;
  return [described.name, described.host, entry.url, entry.text ?? ""].some((field) => field.toLowerCase().includes(needle));
}

// The types of the list, accepted ones first, each once, in a stable order.
export function typesOf(described, acceptingTypes) {
  const present = new Set(described.map((entry) => entry.type));
  const accepted = new Set(acceptingTypes);
  const order = [...present].sort((a, b) => Number(accepted.has(b)) - Number(accepted.has(a)) || a.localeCompare(b));
  return order.map((type) => ({ type, accepted: accepted.has(type) }));
}
