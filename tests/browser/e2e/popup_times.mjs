// How soon the popup shows its state with a warm host: opens the popup
// page ROUNDS times in one browser whose host already answered hello, and
// prints each time from the page's start to its first lines (the last
// opening's state, data-shown-ms) and to the host's fresh answer
// (data-fresh-ms), then the median, lowest and highest.
//
//   node popup_times.mjs --browser chromium|firefox --host LAUNCHER [--rounds 20]

import { mkdirSync, mkdtempSync, rmSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";
import { waitFor } from "./browser_events.mjs";
import { ChromiumSession } from "./chromium_session.mjs";
import { readPopup } from "./extension_pages.mjs";
import { FirefoxSession } from "./firefox_session.mjs";
import { EXTENSION_DIR, registerHost, writeTapLauncher } from "./host_registration.mjs";
import { readTapLog } from "./tap_log.mjs";

const { values: options } = parseArgs({
  options: { browser: { type: "string" }, host: { type: "string" }, rounds: { type: "string", default: "20" } },
});
const work = mkdtempSync(path.join(os.tmpdir(), "vrpph-popup-times-"));
const dirs = { userDataDir: path.join(work, "profile"), home: path.join(work, "home"), downloadDir: path.join(work, "downloads") };
mkdirSync(dirs.downloadDir, { recursive: true });
const tapLog = path.join(work, "host.log");
registerHost(options.browser, dirs, writeTapLauncher(path.join(work, "launcher"), [path.resolve(options.host)], tapLog));
const logFile = path.join(work, "browser.log");
const session =
  options.browser === "chromium"
    ? await ChromiumSession.launch({ ...dirs, extensionDir: EXTENSION_DIR, logFile })
    : await FirefoxSession.launch({ profileDir: dirs.userDataDir, home: dirs.home, downloadDir: dirs.downloadDir, extensionDir: EXTENSION_DIR, logFile });
try {
  const warm = await waitFor(() => readTapLog(tapLog).some((entry) => entry.msg?.state === "hello"), 30_000);
  if (!warm) throw new Error("the host did not answer hello in 30 s");
  // The first opening loads the page's code: not counted.
  await readPopup(session);
  const shown = [];
  const fresh = [];
  for (let round = 0; round < Number(options.rounds); round += 1) {
    const popup = await readPopup(session);
    if (popup === null || popup.lines[0]?.key !== "hostAnswering") throw new Error(`round ${round}: ${JSON.stringify(popup?.lines[0])}`);
    shown.push(popup.shownMs);
    fresh.push(popup.freshMs);
  }
  const summary = (name, times) => {
    const sorted = [...times].sort((a, b) => a - b);
    console.log(`${options.browser} ${name}: ${times.join(" ")} ms`);
    console.log(`${options.browser} ${name}: median ${sorted[Math.floor(sorted.length / 2)]} ms, lowest ${sorted[0]}, highest ${sorted.at(-1)} (${sorted.length} openings)`);
  };
  summary("state shown", shown);
  summary("host's fresh answer shown", fresh);
} finally {
  await session.close();
  rmSync(work, { recursive: true, force: true });
}
