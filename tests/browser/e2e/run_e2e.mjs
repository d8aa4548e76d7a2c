// End-to-end run of the extension in one real, headless browser.
//
//   node run_e2e.mjs --browser chromium|firefox --host LAUNCHER [--host-arg ARG]...
//                    [--runs host,hung,missing] [--cases NAME,...] [--out DIR] [--check MODULE]
//
// LAUNCHER is the native host's launcher, as a host manifest would name it
// (tests/browser/host/stub-host for the test double). Each run starts a
// fresh browser profile, except a hung run right after the host run, which
// keeps its browser and restarts the host; see cases.mjs for the runs and
// the clicks. --cases keeps only the cases named (all by default).
//
// For each case it prints a line, then `RESULT {json}`: the URL, the request
// the extension sent, the host's answers, what became of the browser's
// download. --check MODULE adds checks of a caller's own: the module exports
// `check(result, context)`, returning a list of failures (strings), with
// context { browser, run, testCase, origin, outDir, tapLog, downloadDir }.
// The exit code is 0 when every case passed.

import { spawnSync } from "node:child_process";
import { mkdirSync, mkdtempSync, readdirSync, rmSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";
import { pathToFileURL } from "node:url";
import { now, waitFor } from "./browser_events.mjs";
import { casesOfRun, POLICY, RUNS, sessionsOf } from "./cases.mjs";
import { installPolicy } from "./policy_setup.mjs";
import { popupDifferences, runPopupCase } from "./ui_cases.mjs";
import { prepare, runCase, stopHost, unprepare } from "./case_runner.mjs";
import { ChromiumSession } from "./chromium_session.mjs";
import { differences } from "./expectations.mjs";
import { FirefoxSession } from "./firefox_session.mjs";
import { FixtureServer } from "./fixture_server.mjs";
import { EXTENSION_DIR, registerHost, writeLateHost, writeTapLauncher } from "./host_registration.mjs";

// An extension the forbidden run's host manifest allows instead of this one.
const OTHER_EXTENSION = { chromium: "a".repeat(32), firefox: "other@vrpph" };
import { readTapLog } from "./tap_log.mjs";

function helloAnswered(entries) {
  return entries.some((entry) => entry.dir === "out" && entry.msg?.state === "hello");
}

const { values: options } = parseArgs({
  options: {
    browser: { type: "string" },
    host: { type: "string" },
    "host-arg": { type: "string", multiple: true, default: [] },
    runs: { type: "string", default: RUNS.join(",") },
    cases: { type: "string" },
    out: { type: "string" },
    check: { type: "string" },
    "trevalon-control": { type: "string" },
  },
});
const chosenCases = options.cases ? options.cases.split(",") : null;

const browser = options.browser;
const runs = options.runs.split(",");
if (!["chromium", "firefox"].includes(browser) || runs.some((run) => !RUNS.includes(run))) {
  console.error("usage: run_e2e.mjs --browser chromium|firefox --host LAUNCHER [--runs host,hung,missing] [--cases NAME,...] [--out DIR] [--check MODULE]");
  process.exit(2);
}
if (!options.host && runs.some((run) => run !== "missing")) {
  console.error("run_e2e: --host LAUNCHER is needed for the host and hung runs");
  process.exit(2);
}

const outDir = options.out ? path.resolve(options.out) : mkdtempSync(path.join(os.tmpdir(), `vrpph-e2e-${browser}-`));
const extraCheck = options.check ? (await import(pathToFileURL(path.resolve(options.check)).href)).check : null;

// Trevalon's state as the host sees it: a command for the real host
// (--trevalon-control STATE), else a file the test double reads.
const STUB_STATES = {
  running: { programFound: true, windowFound: true },
  installed: { programFound: true, windowFound: false },
  missing: { programFound: false, windowFound: false },
  "no-types": { programFound: true, windowFound: true, noTypes: true },
};
process.env.VRPPH_STUB_TREVALON ??= path.join(outDir, "stub-trevalon.json");
function setTrevalon(state) {
  if (options["trevalon-control"]) {
    const done = spawnSync(path.resolve(options["trevalon-control"]), [state], { stdio: ["ignore", "ignore", "inherit"], timeout: 120_000 });
    return done.status === 0;
  }
  mkdirSync(path.dirname(process.env.VRPPH_STUB_TREVALON), { recursive: true });
  writeFileSync(process.env.VRPPH_STUB_TREVALON, JSON.stringify(STUB_STATES[state]));
  return true;
}

function runFolders(runDir) {
  const downloadDir = path.join(runDir, "downloads");
  mkdirSync(downloadDir, { recursive: true });
  const logFile = path.join(runDir, "browser.log");
  const dirs = { userDataDir: path.join(runDir, "profile"), home: path.join(runDir, "home"), downloadDir };
  return { dirs, downloadDir, logFile };
}

async function startBrowser({ dirs, downloadDir, logFile }, language) {
  return browser === "chromium"
    ? ChromiumSession.launch({ userDataDir: dirs.userDataDir, downloadDir, extensionDir: EXTENSION_DIR, logFile, language })
    : FirefoxSession.launch({ profileDir: dirs.userDataDir, home: dirs.home, downloadDir, extensionDir: EXTENSION_DIR, logFile, language });
}

async function oneSession(runsOfSession, server) {
  const runDir = path.join(outDir, runsOfSession.join("+"));
  rmSync(runDir, { recursive: true, force: true });
  mkdirSync(runDir, { recursive: true });
  const setup = runFolders(runDir);
  const tapLog = path.join(runDir, "host.log");
  // A run without a host, or with one whose manifest allows another extension.
  const hosted = !["missing", "forbidden"].includes(runsOfSession[0]);
  const hostCommand = [path.resolve(options.host ?? ""), ...options["host-arg"]];
  // A late host is the same host started 3 s after the browser asked.
  const lateHost = [writeLateHost(path.join(runDir, "host-late"), hostCommand, 3)];
  const writeLauncher = (run, { late = false } = {}) =>
    writeTapLauncher(path.join(runDir, "host-launcher"), late ? lateHost : hostCommand, tapLog, { dropAnswers: run === "hung" });
  if (hosted) registerHost(browser, setup.dirs, writeLauncher(runsOfSession[0]));
  if (runsOfSession[0] === "forbidden") registerHost(browser, setup.dirs, writeLauncher("forbidden"), OTHER_EXTENSION);
  // The policy is in place before the browser starts, and only as long as it runs.
  const policy = runsOfSession[0] === "policy" ? installPolicy(browser, POLICY, setup.dirs) : null;
  if (policy?.skipped) {
    console.log(`-- ${browser}, run "policy": no policy can be set (${policy.skipped})`);
    return casesOfRun("policy").map((testCase) => skip("policy", testCase, policy.skipped));
  }
  const startedAt = now();
  let session;
  try {
    session = await startBrowser(setup, runsOfSession[0] === "ui" ? "de" : undefined);
  } catch (error) {
    policy?.remove();
    throw error;
  }
  console.log(`-- ${browser}, run "${runsOfSession[0]}": browser up in ${Math.round(now() - startedAt)} ms (${runDir})`);
  if (hosted) {
    // The background opens its port as it starts: the cases begin from a
    // warm host that has told the pages its forcing keys.
    const greeted = await waitFor(() => helloAnswered(readTapLog(tapLog)), 15_000);
    console.log(`   ${greeted ? `host answered hello ${Math.round(now() - startedAt)} ms after the launch` : "no hello from the host in 15 s"}`);
  }
  const ctx = { session, server, tapLog, downloadDir: setup.downloadDir, hostRegistered: hosted, useLauncher: null, setTrevalon };
  const results = [];
  try {
    for (const [index, run] of runsOfSession.entries()) {
      ctx.useLauncher = (options) => writeLauncher(run, options);
      if (index > 0) {
        writeLauncher(run);
        const stopped = await stopHost(tapLog);
        emptyFolder(setup.downloadDir);
        const how = run === "hung" ? ", its answers now kept from the browser" : "";
        console.log(`-- ${browser}, run "${run}": the same browser, its host ${stopped ? "stopped" : "NOT stopped"}${how}`);
      }
      ctx.run = run;
      results.push(...(await casesOfOneRun(run, ctx, runDir)));
    }
  } finally {
    // The ui run leaves Trevalon as the other runs expect it.
    if (runsOfSession.includes("ui")) setTrevalon("running");
    await session.close();
    policy?.remove();
  }
  return results;
}

function skip(run, testCase, reason) {
  console.log(`SKIP ${browser} ${run} ${testCase.name}: ${reason}`);
  return { skipped: true };
}

// A later run's files must not meet an earlier run's under the same name.
function emptyFolder(folder) {
  for (const name of readdirSync(folder)) rmSync(path.join(folder, name), { recursive: true, force: true });
}

async function casesOfOneRun(run, ctx, runDir) {
  const results = [];
  for (const testCase of casesOfRun(run)) {
    if (chosenCases && !chosenCases.includes(testCase.name)) continue;
    if (!(await prepare(ctx, testCase))) {
      console.log(`SKIP ${browser} ${run} ${testCase.name}: ${browser} cannot be put in that state`);
      results.push({ skipped: true });
      continue;
    }
    if (testCase.popup) {
      const result = await popupCase(run, ctx, testCase);
      results.push(result);
      continue;
    }
    const observed = await runCase(ctx, testCase, testCase.expect[run]);
    const restored = await unprepare(ctx, testCase);
    const context = { browser, run, testCase, origin: ctx.server.origin, outDir: runDir, tapLog: ctx.tapLog, downloadDir: ctx.downloadDir };
    const failures = differences(observed, testCase.expect[run], observed.url);
    if (!restored) failures.push(`could not put back what the case changed (${testCase.after})`);
    if (extraCheck) failures.push(...(await extraCheck(observed, context)));
    const result = { browser, run, ...observed, passed: failures.length === 0, failures };
    results.push(result);
    report(result);
  }
  return results;
}

// A popup case: German only where the browser came up in German.
async function popupCase(run, ctx, testCase) {
  const observed = await runPopupCase(ctx, testCase);
  const expected = testCase.expect[run];
  if (expected.language && observed.lang && !observed.lang.startsWith(expected.language)) {
    return skip(run, testCase, `${browser} did not come up in "${expected.language}" (its language is "${observed.lang}"): its language data is missing (Debian package ${browser === "chromium" ? "chromium-l10n" : `firefox-esr-l10n-${expected.language}`})`);
  }
  const failures = popupDifferences(observed, expected, browser);
  const result = { browser, run, ...observed, passed: failures.length === 0, failures };
  console.log(`${result.passed ? "PASS" : "FAIL"} ${browser} ${run} ${testCase.name}: host ${observed.host}, trevalon ${JSON.stringify(observed.trevalon)}, ` +
    `button ${observed.state}, shown ${observed.shownMs} ms after the popup opened (${observed.openMs} ms for the driver)`);
  for (const failure of failures) console.log(`     ${failure}`);
  console.log(`RESULT ${JSON.stringify(result)}`);
  return result;
}

function report(result) {
  const answer = result.final ?? (result.sent ? "no answer" : "not sent");
  const timing = result.clickToAnswerMs === null ? "" : `, answer ${result.clickToAnswerMs} ms after the click`;
  console.log(
    `${result.passed ? "PASS" : "FAIL"} ${result.browser} ${result.run} ${result.case}: ` +
      `${result.sent ? result.sent.type : "no request"}, ${answer}, download ${result.download}${timing}`,
  );
  for (const failure of result.failures) console.log(`     ${failure}`);
  console.log(`RESULT ${JSON.stringify(result)}`);
}

const server = await new FixtureServer().start();
const all = [];
try {
  for (const runsOfSession of sessionsOf(runs)) all.push(...(await oneSession(runsOfSession, server)));
} finally {
  await server.stop();
}
const passed = all.filter((result) => result.passed).length;
const failed = all.filter((result) => result.passed === false).length;
const skipped = all.filter((result) => result.skipped).length;
console.log(`e2e ${browser}: ${passed} passed, ${failed} failed, ${skipped} skipped (logs in ${outDir})`);
process.exit(failed === 0 && passed > 0 ? 0 : 1);
