// The clicks of an end-to-end run and what each kind of run expects of them.
//
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

const PLAIN = [];

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
