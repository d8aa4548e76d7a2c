// The clicks of an end-to-end run and what each kind of run expects of them.
//
import { FORM_BODY } from "./fixture_server.mjs";

// Runs:
//   host     the host is registered and answers (the test double or the real one)
//   hung     the host answers hello, but its answers to requests never reach
//            the browser: the extension must let the browser go on after 2 s
//   missing  no host is registered: every download completes in the browser
//
// An expectation lists what must be observed; a field it leaves out is not
// checked. `sent` is matched field by field against the request the
// extension sent (null: no request at all); its `url` is always the link's.
// `final` is the final answer the browser got (null: none reached it).
// `download`: "cancelled" (begun, then no file left), "completed" (the whole
// file in the download folder) or "none" (the browser never began one).
// `confirmed`: whether the extension sent the request's `go`; `hostReason`:
// the reason of the host's last word, whether or not the browser heard it.
// `posts`: the bodies of the POSTs the server got to the case's postTo.

const PLAIN = [];
const POSTED = [FORM_BODY];

export const CASES = [
  {
    name: "accepted-file",
    link: "tool-zip",
    path: "/files/tool.zip",
    file: "tool.zip",
    expect: {
      host: { sent: { type: "download", filename: "tool.zip", mime: "application/zip", keys: PLAIN }, final: "taken", download: "cancelled" },
      hung: { sent: { type: "download", filename: "tool.zip" }, final: null, download: "completed" },
      missing: { sent: null, download: "completed" },
    },
  },
  {
    name: "name-from-header",
    link: "by-header",
    path: "/get?id=4",
    file: "setup-2.4.exe",
    expect: {
      host: { sent: { type: "download", filename: "setup-2.4.exe", keys: PLAIN }, final: "taken", download: "cancelled" },
      missing: { sent: null, download: "completed" },
    },
  },
  {
    name: "declined-file",
    link: "notes-csv",
    path: "/files/notes.csv",
    file: "notes.csv",
    expect: {
      host: { sent: { type: "download", filename: "notes.csv", keys: PLAIN }, final: "declined", download: "completed" },
      missing: { sent: null, download: "completed" },
    },
  },
  {
    name: "page",
    link: "guide",
    path: "/guide.html",
    expect: {
      host: { sent: null, download: "none", navigated: true },
      missing: { sent: null, download: "none", navigated: true },
    },
  },
  {
    name: "forced-link",
    link: "manual-pdf",
    path: "/manual.pdf",
    keys: ["ctrl", "alt"],
    file: "manual.pdf",
    expect: {
      // Stopped in the page: the browser neither fetches nor opens it.
      host: { sent: { type: "link", keys: ["alt", "ctrl"] }, final: "taken", download: "none", navigated: false, fetched: false },
      // No answer: the page goes on to the link itself.
      hung: { sent: { type: "link", keys: ["alt", "ctrl"] }, final: null, fetched: true },
      // No host, so no forcing keys: an ordinary click the browser handles.
      missing: { sent: null, fetched: true },
    },
  },
  {
    name: "after-host-restart",
    before: "restartHost",
    link: "pack-7z",
    path: "/files/pack.7z",
    file: "pack.7z",
    expect: {
      host: { sent: { type: "download", filename: "pack.7z" }, final: "taken", download: "cancelled", newHost: true },
    },
  },
  {
    name: "after-worker-restart",
    before: "restartWorker",
    link: "setup-msi",
    path: "/files/setup.msi",
    file: "setup.msi",
    expect: {
      host: { sent: { type: "download", filename: "setup.msi" }, final: "taken", download: "cancelled", newHost: true },
    },
  },
  {
    // The body cannot travel to Trevalon, nor may the form be posted twice:
    // the browser keeps the download and the server sees one POST.
    name: "form-post",
    link: "post-export",
    path: "/export",
    postTo: "/export",
    file: "export.zip",
    expect: {
      host: { sent: { type: "download", method: "POST", filename: "export.zip" }, final: "declined", hostReason: "post", download: "completed", posts: POSTED },
      hung: { sent: { type: "download", method: "POST" }, final: null, download: "completed", posts: POSTED },
      missing: { sent: null, download: "completed", posts: POSTED },
    },
  },
  {
    // Answered 303: the file is a GET of its own URL, an ordinary download.
    name: "form-see-other",
    link: "post-see-other",
    path: "/files/report.zip",
    postTo: "/export-303",
    file: "report.zip",
    expect: {
      host: { sent: { type: "download", method: "GET", filename: "report.zip" }, final: "taken", confirmed: true, download: "cancelled", posts: POSTED },
    },
  },
  {
    // The record names the same resource: the URL keeps its escapes, and
    // the readable name travels in FileName, in the code page.
    name: "non-ascii-name",
    link: "non-ascii-zip",
    path: "/files/%C3%9Cbersicht.zip",
    file: "\u00dcbersicht.zip",
    expect: {
      host: { sent: { type: "download", filename: "\u00dcbersicht.zip", method: "GET" }, final: "taken", download: "cancelled" },
      missing: { sent: null, download: "completed" },
    },
  },
  {
    // The host starts 3 s after the request: the browser has gone on at 2 s,
    // and the host, hearing no go, sends nothing.
    name: "late-host-download",
    before: "lateHost",
    link: "late-zip",
    path: "/files/late.zip",
    file: "late.zip",
    expect: {
      host: { sent: { type: "download", method: "GET" }, confirmed: false, hostReason: "not-confirmed", download: "completed", newHost: true },
    },
  },
  {
    // The forcing keys must be known when the late host's port opens: a
    // worker restart keeps them, a dropped port would clear them.
    name: "late-host-link",
    before: "lateWorker",
    link: "late-pdf",
    path: "/files/late.pdf",
    keys: ["ctrl", "alt"],
    expect: {
      host: { sent: { type: "link", keys: ["alt", "ctrl"] }, confirmed: false, hostReason: "not-confirmed", fetched: true, newHost: true },
    },
  },
];

export const RUNS = ["host", "hung", "missing"];

export function casesOfRun(run) {
  return CASES.filter((testCase) => testCase.expect[run] !== undefined);
}

// Runs that share one browser: a hung host is the same host started again
// with its answers kept from the browser. A run without a host has a
// browser of its own, so the extension starts with no host at all.
export function sessionsOf(runs) {
  const sessions = [];
  for (const run of runs) {
    const last = sessions.at(-1);
    if (run === "hung" && last?.at(-1) === "host") last.push(run);
    else sessions.push([run]);
  }
  return sessions;
}
