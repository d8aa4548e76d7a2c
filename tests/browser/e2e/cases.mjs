// The clicks of an end-to-end run and what each kind of run expects of them.
//
import { FORM_BODY } from "./fixture_server.mjs";

// Trevalon's site the policy keeps, locked in the options page's list.
export const POLICY = { handOver: true, keptSites: ["locked.example"] };

// The popup's cases (popup: true): the state Trevalon is put in first
// (trevalon), and what the popup's lines say (see ui_cases.mjs).
const POPUP_CASES = [
  {
    name: "popup-trevalon-running",
    popup: true,
    trevalon: "running",
    expect: {
      // After the host run's clicks: each listed with what became of it.
      host: {
        host: "hostAnswering",
        trevalon: ["trevalonRunning"],
        state: "normal",
        recentHas: [
          { file: "switched-on.zip", outcome: "outcomeSent" },
          { file: "kept-site.zip", outcome: "outcomeKeptSite" },
          { file: "switched-off.zip", outcome: "outcomeKeptSwitchOff" },
        ],
      },
      ui: { host: "hostAnswering", trevalon: ["trevalonRunning"], state: "normal" },
    },
  },
  {
    name: "popup-catching-nothing",
    popup: true,
    trevalon: "no-types",
    expect: { ui: { host: "hostAnswering", trevalon: ["trevalonRunning", "trevalonNoTypes"], state: "normal" } },
  },
  {
    name: "popup-trevalon-not-running",
    popup: true,
    trevalon: "installed",
    expect: { ui: { host: "hostAnswering", trevalon: ["trevalonInstalled"], state: "normal" } },
  },
  {
    name: "popup-trevalon-not-installed",
    popup: true,
    trevalon: "missing",
    expect: { ui: { host: "hostAnswering", trevalon: ["trevalonMissing"], state: "problem" } },
  },
  {
    // The ui run's browser asks for German.
    name: "popup-german",
    popup: true,
    trevalon: "running",
    language: "de",
    expect: { ui: { host: "hostAnswering", language: "de" } },
  },
  {
    // Chromium names "not found"; Firefox says the same words when the
    // manifest does not allow the add-on, so it names both causes.
    name: "popup-host-not-registered",
    popup: true,
    expect: {
      missing: {
        host: { chromium: "hostNotFound", firefox: "hostNotFoundOrForbidden" },
        hostAdvice: { chromium: "adviceNotFound", firefox: "adviceNotFoundOrForbidden" },
        trevalon: [],
        state: "problem",
      },
    },
  },
  {
    // Chromium names the refusal; Firefox words it as "not found".
    name: "popup-host-forbidden",
    popup: true,
    expect: {
      forbidden: {
        host: { chromium: "hostForbidden", firefox: "hostNotFoundOrForbidden" },
        hostAdvice: { chromium: "adviceForbidden", firefox: "adviceNotFoundOrForbidden" },
        trevalon: [],
        state: "problem",
      },
    },
  },
  {
    name: "popup-policy",
    popup: true,
    readSites: true,
    expect: {
      policy: {
        host: "hostAnswering",
        switch: { checked: true, disabled: true, hidden: false },
        sites: [{ site: "locked.example", locked: true }],
      },
    },
  },
];

// Runs:
//   host     the host is registered and answers (the test double or the real one)
//   hung     the host answers hello, but its answers to requests never reach
//            the browser: the extension must let the browser go on after 2 s
//   missing  no host is registered: every download completes in the browser
//   forbidden  the host is registered for another extension only: the same
//   ui       the host answers; the popup is read for each state of Trevalon,
//            in German where the browser has its language data
//   policy   the host answers, and a policy (managed storage) locks the
//            switch on and keeps a site
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
      forbidden: { sent: null, download: "completed", newHost: false },
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
    // Switched off in the popup: the host hears nothing of the download.
    name: "switch-off",
    before: "switchOff",
    after: "switchOn",
    link: "switched-off-zip",
    path: "/files/switched-off.zip",
    file: "switched-off.zip",
    expect: { host: { sent: null, download: "completed" } },
  },
  {
    // Switched off, a link clicked with the forcing keys still goes: the
    // user asked for it.
    name: "forced-link-switch-off",
    before: "switchOff",
    after: "switchOn",
    link: "manual-pdf",
    path: "/manual.pdf",
    keys: ["ctrl", "alt"],
    file: "manual.pdf",
    expect: {
      host: { sent: { type: "link", keys: ["alt", "ctrl"] }, final: "taken", download: "none", navigated: false, fetched: false },
    },
  },
  {
    // The site kept by a rule added on the options page: the same.
    name: "kept-site",
    before: "keepSite",
    after: "unkeepSite",
    link: "kept-site-zip",
    path: "/files/kept-site.zip",
    file: "kept-site.zip",
    expect: { host: { sent: null, download: "completed" } },
  },
  {
    // On again, the rule removed: handed over with its whole record.
    name: "switched-on-again",
    link: "switched-on-zip",
    path: "/files/switched-on.zip",
    file: "switched-on.zip",
    expect: {
      host: { sent: { type: "download", filename: "switched-on.zip", method: "GET", keys: PLAIN }, final: "taken", download: "cancelled" },
    },
  },
  {
    // The policy turns handing over on and locks it: the user's own "off"
    // in storage does not count.
    name: "policy-locks-on",
    before: "userSwitchOff",
    link: "policy-zip",
    path: "/files/policy.zip",
    file: "policy.zip",
    expect: {
      policy: { sent: { type: "download", filename: "policy.zip", method: "GET", keys: PLAIN }, final: "taken", download: "cancelled" },
    },
  },
  ...POPUP_CASES,
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

export const RUNS = ["host", "hung", "missing", "forbidden", "ui", "policy"];

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
