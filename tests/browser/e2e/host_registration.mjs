// Registers the native host with a browser profile the way an installer
// would, except that the manifest points at a launcher that runs the host
// through the recording tap.

import { createHash } from "node:crypto";
import { mkdirSync, readFileSync, writeFileSync } from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

export const HOST_NAME = "vrpph.bridge";
// The built extension folder (tools/build-extension): extension/ itself
// holds only the icons' vector source.
export const EXTENSION_DIR =
  process.env.VRPPH_EXTENSION_DIR ?? fileURLToPath(new URL("../../../build/extension/", import.meta.url));
const TAP = fileURLToPath(new URL("../host/host_tap.mjs", import.meta.url));

// Chromium's id of an extension is the SHA-256 of its public key, its first
// 32 hex digits written with the letters a to p.
export function extensionIdOfKey(base64Key) {
  const digest = createHash("sha256").update(Buffer.from(base64Key, "base64")).digest("hex");
  return [...digest.slice(0, 32)].map((digit) => String.fromCharCode(97 + parseInt(digit, 16))).join("");
}

export function extensionIds(extensionDir = EXTENSION_DIR) {
  const manifest = JSON.parse(readFileSync(path.join(extensionDir, "manifest.json"), "utf8"));
  // A store package has no key: Chromium then derives the id from the folder.
  return { chromium: manifest.key ? extensionIdOfKey(manifest.key) : null, firefox: manifest.browser_specific_settings.gecko.id };
}

export function hostManifest(browser, launcher, ids = extensionIds()) {
  const common = { name: HOST_NAME, description: "Trevalon bridge", path: launcher, type: "stdio" };
  return browser === "chromium"
    ? { ...common, allowed_origins: [`chrome-extension://${ids.chromium}/`] }
    : { ...common, allowed_extensions: [ids.firefox] };
}

// One word for sh, whatever it holds.
function quote(word) {
  return `'${String(word).replaceAll("'", "'\\''")}'`;
}

// A shell launcher that starts hostCommand (an executable and its own
// arguments) through the tap, which logs to tapLog.
export function writeTapLauncher(file, hostCommand, tapLog, { dropAnswers = false } = {}) {
  const tapArgs = [...(dropAnswers ? ["--drop-answers"] : []), tapLog, "--", ...hostCommand, "--"];
  const script = `#!/bin/sh\nexec ${quote(process.execPath)} ${quote(TAP)} ${tapArgs.map(quote).join(" ")} "$@"\n`;
  writeFileSync(file, script, { mode: 0o755 });
  return file;
}

// A host that starts `seconds` late: the script sleeps, then runs
// hostCommand with the browser's arguments first, as the tap passes them.
export function writeLateHost(file, hostCommand, seconds) {
  const [program, ...own] = hostCommand;
  const script = `#!/bin/sh\nsleep ${seconds}\nexec ${quote(program)} "$@" ${own.map(quote).join(" ")}\n`;
  writeFileSync(file, script, { mode: 0o755 });
  return file;
}

// Where each browser looks for host manifests: Chromium in the profile's
// own folder, Firefox under the (private) home of the user.
export function manifestFolder(browser, { userDataDir, home }) {
  return browser === "chromium"
    ? path.join(userDataDir, "NativeMessagingHosts")
    : path.join(home, ".mozilla", "native-messaging-hosts");
}

// ids: the extensions the manifest allows (by default this one).
export function registerHost(browser, dirs, launcher, ids = extensionIds()) {
  const folder = manifestFolder(browser, dirs);
  mkdirSync(folder, { recursive: true });
  const file = path.join(folder, `${HOST_NAME}.json`);
  writeFileSync(file, `${JSON.stringify(hostManifest(browser, launcher, ids), null, 2)}\n`);
  return file;
}
