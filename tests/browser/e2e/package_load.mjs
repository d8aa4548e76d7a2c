// Loads the extension's packages as a user or a store gets them: the
// Chromium-family store ZIP unpacked into a folder and loaded in headless
// Chromium, the Firefox XPI installed in headless Firefox ESR as a temporary
// add-on. Chromium passes when it starts the extension's service worker under
// the id of that folder (the ZIP holds no key, so the folder names it);
// Firefox when it installs the XPI under the extension's gecko id.
//
//   node package_load.mjs --zip FILE --xpi FILE --out DIR [--browsers chromium,firefox]
//
// One line per browser, then exit 0 when every browser named loaded its
// package.

import { execFileSync } from "node:child_process";
import { createHash } from "node:crypto";
import { mkdirSync, readFileSync, realpathSync, rmSync } from "node:fs";
import path from "node:path";
import { parseArgs } from "node:util";
import { now, waitFor } from "./browser_events.mjs";
import { ChromiumSession } from "./chromium_session.mjs";
import { FirefoxSession } from "./firefox_session.mjs";
import { extensionIdOfKey } from "./host_registration.mjs";

const { values: options } = parseArgs({
  options: { zip: { type: "string" }, xpi: { type: "string" }, out: { type: "string" }, browsers: { type: "string", default: "chromium,firefox" } },
});
if (!options.out) throw new Error("package_load: --out DIR is needed");
const outDir = path.resolve(options.out);

// Chromium's id of an unpacked extension without a key: the SHA-256 of its
// folder's absolute path, its first 32 hex digits written with a to p.
function extensionIdOfPath(folder) {
  const digest = createHash("sha256").update(folder).digest("hex");
  return [...digest.slice(0, 32)].map((digit) => String.fromCharCode(97 + parseInt(digit, 16))).join("");
}

function manifestOf(archive) {
  return JSON.parse(execFileSync("unzip", ["-p", archive, "manifest.json"], { encoding: "utf8" }));
}

async function chromium() {
  const zip = path.resolve(options.zip);
  const manifest = manifestOf(zip);
  if ("key" in manifest) return "the store ZIP's manifest holds a key";
  const runDir = path.join(outDir, "chromium");
  rmSync(runDir, { recursive: true, force: true });
  const unpacked = path.join(runDir, "unpacked");
  mkdirSync(unpacked, { recursive: true });
  execFileSync("unzip", ["-q", zip, "-d", unpacked]);
  const folder = realpathSync(unpacked);
  const downloadDir = path.join(runDir, "downloads");
  mkdirSync(downloadDir, { recursive: true });
  const started = now();
  const session = await ChromiumSession.launch({
    userDataDir: path.join(runDir, "profile"), downloadDir, extensionDir: folder, logFile: path.join(runDir, "browser.log"),
  });
  try {
    if (!(await waitFor(() => session.extensionOrigin !== null, 15_000))) {
      return `no service worker of the extension started in 15 s (${runDir}/browser.log)`;
    }
    const expected = `chrome-extension://${extensionIdOfPath(folder)}`;
    if (session.extensionOrigin !== expected) return `the worker runs as ${session.extensionOrigin}, not as ${expected}`;
    return { detail: `the unpacked store ZIP runs its service worker as ${expected}/ in ${Math.round(now() - started)} ms` };
  } finally {
    await session.close();
  }
}

async function firefox() {
  const xpi = path.resolve(options.xpi);
  const manifest = manifestOf(xpi);
  if ("key" in manifest) return "the XPI's manifest holds a key";
  const gecko = manifest.browser_specific_settings?.gecko?.id;
  const runDir = path.join(outDir, "firefox");
  rmSync(runDir, { recursive: true, force: true });
  const downloadDir = path.join(runDir, "downloads");
  mkdirSync(downloadDir, { recursive: true });
  const started = now();
  const session = await FirefoxSession.launch({
    profileDir: path.join(runDir, "profile"), home: path.join(runDir, "home"), downloadDir,
    extensionArchive: xpi, logFile: path.join(runDir, "browser.log"),
  });
  try {
    if (session.extensionId !== gecko) return `installed as ${session.extensionId}, not as its gecko id ${gecko}`;
    return { detail: `the XPI installed as a temporary add-on under ${gecko} in ${Math.round(now() - started)} ms` };
  } finally {
    await session.close();
  }
}

// The key's id stays the unpacked source's; the store's is another.
const sourceManifest = JSON.parse(readFileSync(new URL("../../../extension/manifest.json", import.meta.url), "utf8"));
console.log(`package: the source's key pins chrome-extension://${extensionIdOfKey(sourceManifest.key)}/; the packages carry no key`);

let failed = 0;
for (const browser of options.browsers.split(",").filter(Boolean)) {
  const load = { chromium, firefox }[browser];
  if (!load) throw new Error(`package_load: unknown browser ${browser}`);
  let outcome;
  try {
    outcome = await load();
  } catch (error) {
    outcome = `${error.message}${error.stderr ? `: ${error.stderr.trim().split("\n").slice(-3).join(" | ")}` : ""}`;
  }
  if (typeof outcome === "string") {
    failed += 1;
    console.log(`package ${browser}: FAILED, ${outcome}`);
  } else {
    console.log(`package ${browser}: loaded, ${outcome.detail}`);
  }
}
process.exit(failed ? 1 : 0);
