// A batch of picked links as `batch` requests to the host, each frame kept
// under the host's input limit, and the outcomes of its answers.

// The host ends itself on a frame longer than this; no batch frame reaches it.
export const HOST_FRAME_LIMIT = 1024 * 1024;
// Few enough links per request that the host's answer listing an outcome
// for each stays far below the browsers' 1 MB limit on what a host sends.
export const LINKS_PER_REQUEST = 2000;

const encoder = new TextEncoder();

// The bytes a message takes in its frame. Chromium writes its JSON itself
// and spells "<", U+2028 and U+2029 as six-byte escapes where JSON.stringify
// (Firefox) writes them as they are: count the longer spelling, so a frame
// fits in either family.
export function frameBytes(message) {
  return jsonBytes(JSON.stringify(message));
}

function jsonBytes(json) {
  let bytes = encoder.encode(json).length;
  for (let at = json.indexOf("<"); at >= 0; at = json.indexOf("<", at + 1)) bytes += 5;
  for (const char of json) if (char === "\u2028" || char === "\u2029") bytes += 3;
  return bytes;
}

// link: { url, referrer?, filename? } as the pick page hands it over; index
// is its place in the whole hand-over, so outcomes find their line.
export function batchEntry(link, index) {
  const entry = { index, url: link.url };
  if (typeof link.referrer === "string" && link.referrer !== "") entry.referrer = link.referrer;
  if (typeof link.filename === "string" && link.filename !== "") entry.filename = link.filename;
  return entry;
}

// Splits links into the `links` lists of consecutive requests, in order, so
// that each request `{ id, type: "batch", links }` with an id of up to
// idBytes bytes stays below limit bytes. A link that cannot fit alone is
// returned in `tooLong` (by index) and never sent.
export function splitBatch(links, { limit = HOST_FRAME_LIMIT, perRequest = LINKS_PER_REQUEST, idBytes = 16 } = {}) {
  const envelope = frameBytes({ id: "x".repeat(idBytes), type: "batch", links: [] });
  const requests = [];
  const tooLong = [];
  let current = [];
  let size = envelope;
  links.forEach((link, index) => {
    const entry = batchEntry(link, index);
    const bytes = frameBytes(entry);
    // Every entry but a list's first brings a comma.
    if (envelope + bytes >= limit) {
      tooLong.push(index);
      return;
    }
    const added = current.length === 0 ? bytes : bytes + 1;
    if (size + added >= limit || current.length >= perRequest) {
      requests.push(current);
      current = [];
      size = envelope;
      size += bytes;
    } else size += added;
    current.push(entry);
  });
  if (current.length > 0) requests.push(current);
  return { requests, tooLong };
}

// Words for a link's outcome, as the pick page names its messages.
export function outcomeKey(outcome) {
  if (!outcome) return "pickOutcomeNoAnswer";
  if (outcome.state === "taken") return outcome.sent === false ? "pickOutcomeClaimed" : "pickOutcomeTaken";
  if (outcome.state === "declined") return outcome.reason === "unreachable" ? "pickOutcomeUnreachable" : "pickOutcomeDeclined";
  return outcome.reason?.includes("line break") ? "pickOutcomeLineBreak" : "pickOutcomeError";
}
