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

import { mkdirSync, mkdtempSync, readdirSync, rmSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { parseArgs } from "node:util";
import { pathToFileURL } from "node:url";
import { now, waitFor } from "./browser_events.mjs";
import { casesOfRun, RUNS, sessionsOf } from "./cases.mjs";
import { prepare, runCase, stopHost, unprepare } from "./case_runner.mjs";
import { ChromiumSession } from "./chromium_session.mjs";
import { differences } from "./expectations.mjs";
import { FirefoxSession } from "./firefox_session.mjs";
import { FixtureServer } from "./fixture_server.mjs";
import { EXTENSION_DIR, registerHost, writeLateHost, writeTapLauncher } from "./host_registration.mjs";
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

function runFolders(runDir) {
  const downloadDir = path.join(runDir, "downloads");
  mkdirSync(downloadDir, { recursive: true });
  const logFile = path.join(runDir, "browser.log");
  const dirs = { userDataDir: path.join(runDir, "profile"), home: path.join(runDir, "home"), downloadDir };
  return { dirs, downloadDir, logFile };
}

async function startBrowser({ dirs, downloadDir, logFile }) {
  return browser === "chromium"
    ? ChromiumSession.launch({ userDataDir: dirs.userDataDir, downloadDir, extensionDir: EXTENSION_DIR, logFile })
    : FirefoxSession.launch({ profileDir: dirs.userDataDir, home: dirs.home, downloadDir, extensionDir: EXTENSION_DIR, logFile });
}

async function oneSession(runsOfSession, server) {
  const runDir = path.join(outDir, runsOfSession.join("+"));
  rmSync(runDir, { recursive: true, force: true });
  mkdirSync(runDir, { recursive: true });
  const setup = runFolders(runDir);
  const tapLog = path.join(runDir, "host.log");
  const hosted = runsOfSession[0] !== "missing";
  const hostCommand = [path.resolve(options.host ?? ""), ...options["host-arg"]];
  // A late host is the same host started 3 s after the browser asked.
  const lateHost = [writeLateHost(path.join(runDir, "host-late"), hostCommand, 3)];
  const writeLauncher = (run, { late = false } = {}) =>
    writeTapLauncher(path.join(runDir, "host-launcher"), late ? lateHost : hostCommand, tapLog, { dropAnswers: run === "hung" });
  if (hosted) registerHost(browser, setup.dirs, writeLauncher(runsOfSession[0]));
  const startedAt = now();
  const session = await startBrowser(setup);
  console.log(`-- ${browser}, run "${runsOfSession[0]}": browser up in ${Math.round(now() - startedAt)} ms (${runDir})`);
  if (hosted) {
    // The background opens its port as it starts: the cases begin from a
    // warm host that has told the pages its forcing keys.
    const greeted = await waitFor(() => helloAnswered(readTapLog(tapLog)), 15_000);
    console.log(`   ${greeted ? `host answered hello ${Math.round(now() - startedAt)} ms after the launch` : "no hello from the host in 15 s"}`);
  }
  const ctx = { session, server, tapLog, downloadDir: setup.downloadDir, hostRegistered: hosted, useLauncher: null };
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
      results.push(...(await casesOfOneRun(run, ctx, runDir)));
    }
  } finally {
    await session.close();
  }
  return results;
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
    const observed = await runCase(ctx, testCase, testCase.expect[run]);
    unprepare(ctx, testCase);
    const context = { browser, run, testCase, origin: ctx.server.origin, outDir: runDir, tapLog: ctx.tapLog, downloadDir: ctx.downloadDir };
    const failures = differences(observed, testCase.expect[run], observed.url);
    if (extraCheck) failures.push(...(await extraCheck(observed, context)));
    const result = { browser, run, ...observed, passed: failures.length === 0, failures };
    results.push(result);
    report(result);
  }
  return results;
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
