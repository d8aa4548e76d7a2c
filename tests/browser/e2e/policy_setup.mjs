// Puts a policy in place for one browser session, as an administrator
// would, and takes it away again.
//   Chromium reads the extension's policy from the "3rdparty" part of a
//   JSON file in its managed policy folder; only root may write there, and
//   every Chromium on the machine reads it, so the file lives exactly as
//   long as the session (removed on exit and on a signal too).
//   Firefox reads managed storage from a managed-storage manifest under the
//   user's home when it starts: the run's private home.

import { existsSync, mkdirSync, rmdirSync, rmSync, writeFileSync, readdirSync } from "node:fs";
import path from "node:path";
import { extensionIds } from "./host_registration.mjs";

export const CHROMIUM_POLICY_DIR = process.env.VRPPH_CHROMIUM_POLICY_DIR ?? "/etc/chromium/policies/managed";

// Returns { remove() } once in place, or { skipped: reason }.
export function installPolicy(browser, data, { home }) {
  const ids = extensionIds();
  if (browser === "firefox") {
    const folder = path.join(home, ".mozilla", "managed-storage");
    mkdirSync(folder, { recursive: true });
    const file = path.join(folder, `${ids.firefox}.json`);
    writeFileSync(file, `${JSON.stringify({ name: ids.firefox, description: "vrpph test policy", type: "storage", data }, null, 2)}\n`);
    return { remove: () => rmSync(file, { force: true }) };
  }
  if (process.getuid?.() !== 0) return { skipped: `only root may write Chromium's policy folder ${CHROMIUM_POLICY_DIR}` };
  const made = [];
  for (let folder = CHROMIUM_POLICY_DIR; !existsSync(folder); folder = path.dirname(folder)) made.unshift(folder);
  mkdirSync(CHROMIUM_POLICY_DIR, { recursive: true });
  const file = path.join(CHROMIUM_POLICY_DIR, `vrpph-e2e-${process.pid}.json`);
  let removed = false;
  const remove = () => {
    if (removed) return;
    removed = true;
    rmSync(file, { force: true });
    // The folders this run made, and only if nothing else came into them.
    for (const folder of made.reverse()) {
      if (existsSync(folder) && readdirSync(folder).length === 0) rmdirSync(folder);
    }
    process.off("exit", remove);
    for (const signal of SIGNALS) process.off(signal, onSignal);
  };
  const onSignal = (signal) => {
    remove();
    process.kill(process.pid, signal);
  };
  process.on("exit", remove);
  for (const signal of SIGNALS) process.once(signal, onSignal);
  writeFileSync(file, `${JSON.stringify({ "3rdparty": { extensions: { [ids.chromium]: data } } }, null, 2)}\n`);
  return { remove };
}

const SIGNALS = ["SIGINT", "SIGTERM", "SIGHUP"];
