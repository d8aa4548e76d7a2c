// Reads the stand-in manager's log: entries of
//
//   <KIND> <number> <length>\n<length bytes, exactly as received>\n
//
// appended one at a time. The bytes are the record as Trevalon got it, in
// the Windows code page (1252 here), so they are kept as bytes and shown as
// latin1 text, one character per byte.

import { existsSync, readFileSync } from "node:fs";

// Every whole entry of the log's bytes: { kind, number, bytes, at } with
// `at` its offset, which names an entry for as long as the log grows. A
// last entry still being written is left for the next read.
export function parseStandinLog(buffer) {
  const entries = [];
  let at = 0;
  while (at < buffer.length) {
    const lineEnd = buffer.indexOf(0x0a, at);
    if (lineEnd < 0) break;
    const header = /^([A-Z]+) (\d+) (\d+)$/.exec(buffer.toString("latin1", at, lineEnd));
    if (!header) throw new Error(`the stand-in's log has no entry at byte ${at}`);
    const start = lineEnd + 1;
    const end = start + Number(header[3]);
    if (end + 1 > buffer.length) break;
    if (buffer[end] !== 0x0a) throw new Error(`the stand-in's entry at byte ${at} does not end where its length says`);
    entries.push({ kind: header[1], number: Number(header[2]), bytes: buffer.subarray(start, end), at });
    at = end + 1;
  }
  return entries;
}

export function readStandinLog(file) {
  return existsSync(file) ? parseStandinLog(readFileSync(file)) : [];
}

// The transfer records whose URL line is exactly `URL=url`.
export function recordsOfUrl(entries, url) {
  const first = `URL=${url}`;
  return entries.filter((entry) => {
    if (entry.kind !== "RECORD") return false;
    const text = entry.bytes.toString("latin1");
    const lineEnd = text.indexOf("\n");
    return (lineEnd < 0 ? text : text.slice(0, lineEnd)) === first;
  });
}
