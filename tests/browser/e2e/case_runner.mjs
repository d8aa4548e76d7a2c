// Clicks one link and watches what follows, in either browser, until it is
// over: the request the extension sent and the host's answers (from the
// tap's log), the browser's download and where it ended (from the browser's
// events and the download folder), and whether the browser fetched the link
// or left the page.

import { existsSync, readdirSync, statSync } from "node:fs";
import path from "node:path";
import { now, waitFor } from "./browser_events.mjs";
import { FILES } from "./fixture_server.mjs";
import { exchanges, finalAnswer, hostStarts, liveTapPids, readTapLog } from "./tap_log.mjs";
import { addSiteByHand, removeSiteByHand, setLocal, setSwitchByHand } from "./extension_pages.mjs";

// The fixture server's site, as a user would type it.
const FIXTURE_SITE = "127.0.0.1";

// Longer than the extension's 2 s bound for a first answer.
const NO_PENDING_MS = 3000;
// How long a host that said pending may take; the test double takes 50 ms.
const DECISION_MS = 20_000;
const SOMETHING_HAPPENS_MS = 8000;
const DOWNLOAD_ENDS_MS = 15_000;
const FILE_SETTLES_MS = 5000;
// After all that, a moment for anything late (a second download, a removal).
const QUIET_MS = 400;

const PARTIAL = /\.(crdownload|part)$/;

// The host's last word on a request, whether or not the browser heard it.
function hostLast(exchange) {
  return exchange?.answers.find((answer) => answer.state !== "pending") ?? null;
}

// ctx: { session, server, tapLog, downloadDir, hostRegistered, useLauncher }
// expectation: what the run expects of the case (a hostReason makes the
// runner wait for the host's last word).
export async function runCase(ctx, testCase, expectation = {}) {
  const { session, server, tapLog, downloadDir } = ctx;
  const url = server.origin + testCase.path;
  await session.open(`${server.origin}/`);
  const startsBefore = hostStarts(readTapLog(tapLog)).length;
  const clickedAt = await session.click(testCase.link, testCase.keys ?? []);

  const exchange = () =>
    exchanges(readTapLog(tapLog)).find((entry) => entry.request.url === url && entry.sentAt >= clickedAt - 50);
  const download = () => session.events.downloadSince(clickedAt);
  // A page being replaced cannot be asked where it is: count it as left.
  const landed = async () => (await session.location().catch(() => null)) !== `${server.origin}/`;
  const opened = () => session.events.pagesOpenedSince(clickedAt).length > 0;
  const fetched = () => server.fetches.some((fetch) => fetch.path === testCase.path && fetch.at >= clickedAt - 50);

  await waitFor(async () => exchange() || download() || opened() || fetched() || (await landed()), SOMETHING_HAPPENS_MS);
  // Firefox begins the download before the extension asks, and a host that
  // is starting afresh may take a while to read the request.
  if (ctx.hostRegistered && download()) await waitFor(exchange, NO_PENDING_MS);
  if (exchange()) {
    await waitFor(() => {
      const current = exchange();
      if (finalAnswer(current)) return true;
      const pending = current.answers.some((answer) => answer.state === "pending" && !answer.dropped);
      return now() - current.sentAt > (pending ? DECISION_MS : NO_PENDING_MS);
    }, DECISION_MS + 1000);
  }
  // A download may begin only once the extension let it go on; and a link
  // the browser fetched becomes a download or a page only a moment later.
  await waitFor(async () => download() || opened() || (fetched() && (await landed())), fetched() ? SOMETHING_HAPPENS_MS : 500);
  // A download Chromium still holds shows as a partial file before its event.
  if (download() || partialFiles(downloadDir).length > 0) {
    await waitFor(() => (download() ? download().state !== "inProgress" : partialFiles(downloadDir).length === 0), DOWNLOAD_ENDS_MS);
  }
  await waitFor(() => partialFiles(downloadDir).length === 0, FILE_SETTLES_MS);
  if (finalAnswer(exchange())?.state === "taken") {
    await waitFor(() => !hasWholeFile(downloadDir, testCase), FILE_SETTLES_MS);
  }
  await new Promise((resolve) => setTimeout(resolve, QUIET_MS));
  if ("hostReason" in expectation && exchange()) await waitFor(() => hostLast(exchange()), DECISION_MS);

  const seen = exchange();
  const final = finalAnswer(seen);
  const begun = download();
  return {
    case: testCase.name,
    url,
    keys: testCase.keys ?? [],
    sent: seen?.request ?? null,
    answers: seen?.answers.map((answer) => (answer.dropped ? `${answer.state} (dropped)` : answer.state)) ?? [],
    final: final?.state ?? null,
    ...(final?.reason ? { reason: final.reason } : {}),
    confirmed: seen ? seen.goAt !== undefined : null,
    hostReason: hostLast(seen)?.reason ?? null,
    ...(testCase.postTo ? { posts: postsTo(server, testCase.postTo, clickedAt) } : {}),
    download: downloadOutcome(begun, downloadDir, testCase),
    browserEnd: begun?.state ?? null,
    file: testCase.file ? (hasWholeFile(downloadDir, testCase) ? "present" : "absent") : null,
    leftovers: partialFiles(downloadDir),
    fetched: fetched(),
    navigated: (await landed()) || opened(),
    newHost: hostStarts(readTapLog(tapLog)).length > startsBefore,
    clickToPendingMs: since(clickedAt, seen?.answers.find((answer) => answer.state === "pending")?.at),
    clickToAnswerMs: since(clickedAt, final?.at),
    clickToDownloadMs: since(clickedAt, begun?.beganAt),
    downloadMs: begun?.endedAt === undefined ? null : Math.round(begun.endedAt - begun.beganAt),
  };
}

// Puts the extension in the state a case starts from. False when this
// browser cannot be put in it.
export async function prepare(ctx, testCase) {
  // Only the ui run changes Trevalon: the others may share it with another browser.
  if (testCase.popup) return testCase.trevalon && ctx.run === "ui" ? ctx.setTrevalon(testCase.trevalon) : true;
  if (testCase.before === "switchOff") return setSwitchByHand(ctx.session, false);
  if (testCase.before === "keepSite") return addSiteByHand(ctx.session, FIXTURE_SITE);
  if (testCase.before === "userSwitchOff") {
    await setLocal(ctx.session, { handOver: false });
    return true;
  }
  if (testCase.before === "restartHost") return stopHost(ctx.tapLog);
  if (testCase.before === "lateHost") {
    ctx.useLauncher({ late: true });
    return stopHost(ctx.tapLog);
  }
  if (testCase.before === "lateWorker") {
    if (!ctx.session.hasWorker) return false;
    ctx.useLauncher({ late: true });
    return stopWorkerAndHost(ctx);
  }
  if (testCase.before === "restartWorker") return stopWorkerAndHost(ctx);
  return true;
}

// Puts back what prepare changed for the cases after this one. False
// when it could not.
export async function unprepare(ctx, testCase) {
  if (testCase.before === "lateHost" || testCase.before === "lateWorker") ctx.useLauncher({ late: false });
  if (testCase.after === "switchOn") return setSwitchByHand(ctx.session, true);
  if (testCase.after === "unkeepSite") return removeSiteByHand(ctx.session, FIXTURE_SITE);
  return true;
}

async function stopWorkerAndHost(ctx) {
  if (!(await ctx.session.stopWorker())) return false;
  // The host's port closed with the worker.
  return waitFor(() => liveTapPids(readTapLog(ctx.tapLog)).length === 0, 5000);
}

function postsTo(server, postPath, clickedAt) {
  return server.fetches
    .filter((fetch) => fetch.method === "POST" && fetch.path === postPath && fetch.at >= clickedAt - 50)
    .map((fetch) => fetch.body);
}

// Ends every host the browser started, as a crash would: the extension's
// port drops and its next request starts the host again. False when one
// outlived the wait.
export async function stopHost(tapLog) {
  for (const pid of liveTapPids(readTapLog(tapLog))) {
    try {
      process.kill(pid, "SIGTERM");
    } catch {
      // already gone
    }
  }
  return waitFor(() => liveTapPids(readTapLog(tapLog)).length === 0, 5000);
}

function downloadOutcome(begun, downloadDir, testCase) {
  if (!begun) return "none";
  if (testCase.file && hasWholeFile(downloadDir, testCase)) return "completed";
  return partialFiles(downloadDir).length === 0 ? "cancelled" : "unfinished";
}

function hasWholeFile(downloadDir, testCase) {
  const file = path.join(downloadDir, testCase.file);
  return existsSync(file) && statSync(file).size === FILES[testCase.path].size;
}

function partialFiles(downloadDir) {
  return readdirSync(downloadDir).filter((name) => PARTIAL.test(name));
}

function since(start, end) {
  return end === undefined ? null : Math.round(end - start);
}
