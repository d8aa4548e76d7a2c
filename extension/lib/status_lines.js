// The popup's lines, in words from _locales: each is a message key and its
// substitutions, a level ("ok", "info", "warn", "problem") and, for
// anything to fix, one sentence of advice.

import { versionsMatch } from "./versions.js";

export const REGISTER_COMMAND = "vrpph-bridge.exe --register";

const line = (topic, level, message, advice = null) => ({ topic, level, message, advice });

// host: { state: "answering" | "not-found" | "forbidden" | "not-found-or-forbidden"
//         | "exited" | "broken" | "closed" | "no-answer", version, status,
//         statusMissing: why status is null ("unknown": the host refused the
//         question; "no-answer") }
function hostLines(host, extension) {
  switch (host.state) {
    case "answering": {
      const version = host.version ?? "?";
      if (!versionsMatch(version, extension.version)) {
        return [line("host", "warn", ["hostVersionMismatch", version, extension.version], ["adviceVersionMismatch"])];
      }
      return [line("host", "ok", ["hostAnswering", version])];
    }
    case "not-found":
      return [line("host", "problem", ["hostNotFound"], ["adviceNotFound", REGISTER_COMMAND])];
    case "forbidden":
      return [line("host", "problem", ["hostForbidden"], ["adviceForbidden", extension.origin])];
    case "not-found-or-forbidden":
      return [line("host", "problem", ["hostNotFoundOrForbidden"], ["adviceNotFoundOrForbidden", REGISTER_COMMAND, extension.id])];
    case "exited":
    case "broken":
      return [line("host", "problem", ["hostExited"], ["adviceExited"])];
    default:
      return [line("host", "problem", ["hostNoAnswer"], ["adviceNoAnswer"])];
  }
}

function trevalonLines(host) {
  if (host.state !== "answering") return [];
  const status = host.status;
  // An older host refuses the question; a busy or hung one does not answer it.
  if (!status && host.statusMissing === "unknown") return [line("trevalon", "info", ["trevalonUnknown"], ["adviceVersionMismatch"])];
  if (!status) return [line("trevalon", "warn", ["trevalonNoStatus"], ["adviceNoAnswer"])];
  const lines = [];
  if (status.trevalon?.windowFound) lines.push(line("trevalon", "ok", ["trevalonRunning"]));
  else if (status.trevalon?.programFound) lines.push(line("trevalon", "ok", ["trevalonInstalled"]));
  else lines.push(line("trevalon", "problem", ["trevalonMissing"], ["adviceTrevalonMissing"]));
  if (status.catching?.noTypes) lines.push(line("trevalon", "warn", ["trevalonNoTypes"], ["adviceNoTypes"]));
  else if (status.catching?.useCtrlAlt) lines.push(line("trevalon", "warn", ["trevalonCtrlAlt"], ["adviceCtrlAlt"]));
  return lines;
}

// site: { host (null: no web page), keptBy (a rule or null), access (false:
// the extension may not read it) }; settings: effectiveSettings().
function siteLines(site, settings) {
  if (!site.host) return [line("site", "info", ["siteNone"])];
  const lines = [];
  if (site.access === false) {
    lines.push(line("site", "problem", ["siteNoAccess", site.host], ["adviceSiteAccess"]));
  } else if (!settings.handOver) {
    lines.push(line("site", "info", ["siteSwitchOff"]));
  } else if (site.keptBy) {
    lines.push(line("site", "info", ["siteKept", site.host, site.keptBy]));
  } else {
    lines.push(line("site", "ok", ["siteHandedOver", site.host]));
  }
  return lines;
}

// facts: { host, extension: { version, id, origin }, site, settings,
// privateAccess (false: not allowed in private windows; null: unknown) }
export function statusLines(facts) {
  const lines = [...hostLines(facts.host, facts.extension), ...trevalonLines(facts.host), ...siteLines(facts.site, facts.settings)];
  if (facts.privateAccess === false) lines.push(line("private", "info", ["privateNoAccess"], ["advicePrivateAccess"]));
  return lines;
}

// What the button shows at a glance: "problem" when the host cannot be used
// or Trevalon is missing, else "off" when handing over is switched off, else
// "normal".
export function buttonState(host, handOver) {
  // Not known yet, or gone after it worked (the next request starts it
  // again): no problem to show.
  const settled = !["connecting", "closed", "answering"].includes(host.state);
  if (settled) return "problem";
  if (host.state === "answering" && host.status && !host.status.trevalon?.programFound && !host.status.trevalon?.windowFound) {
    return "problem";
  }
  return handOver ? "normal" : "off";
}
