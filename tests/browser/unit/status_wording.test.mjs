import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { describe, it } from "node:test";
import { hostFailure } from "../../../extension/lib/host_failure.js";
import { readHostAnswer } from "../../../extension/lib/host_answer.js";
import { outcomeOf, recentEntry, RECENT_KEPT, withRecent } from "../../../extension/lib/recent.js";
import { effectiveSettings } from "../../../extension/lib/settings.js";
import { buttonState, REGISTER_COMMAND, statusLines } from "../../../extension/lib/status_lines.js";
import { versionsMatch } from "../../../extension/lib/versions.js";

const english = JSON.parse(readFileSync(new URL("../../../extension/_locales/en/messages.json", import.meta.url), "utf8"));

// The English text of [key, ...substitutions], as the browsers fill it in.
function say([key, ...subs]) {
  const entry = english[key];
  assert.ok(entry, `no message ${key}`);
  return entry.message.replace(/\$([A-Za-z_]+)\$/g, (_, name) => {
    const content = entry.placeholders[name.toLowerCase()].content;
    return subs[Number(content.slice(1)) - 1];
  });
}

const extension = { version: "1.0.0", id: "bridge@vrpph", origin: "chrome-extension://abc/" };
const answering = (status, version = "1.0.0.76") => ({ state: "answering", version, status });
const status = (trevalon, catching = {}) => ({ trevalon, catching: { noTypes: false, useCtrlAlt: false, ...catching } });
const noSite = { host: null };

function words(host, { site = noSite, settings = effectiveSettings(), privateAccess = true } = {}) {
  return statusLines({ host, extension, site, settings, privateAccess }).map((line) => ({
    topic: line.topic,
    level: line.level,
    text: say(line.message),
    ...(line.advice ? { advice: say(line.advice) } : {}),
  }));
}

describe("status wording", () => {
  it("tells the host's state in one line, with what to do when it cannot be used", () => {
    const [found] = words(answering(status({ programFound: true, windowFound: true })));
    assert.deepEqual(found, { topic: "host", level: "ok", text: "The host answers (version 1.0.0.76)." });

    const [notFound] = words({ state: "not-found" });
    assert.equal(notFound.text, "The host is not found: it is not registered for this browser.");
    assert.ok(notFound.advice.includes(REGISTER_COMMAND) && notFound.advice.includes("MSI") && notFound.advice.includes("NativeMessagingUserLevelHosts"));

    const [forbidden] = words({ state: "forbidden" });
    assert.equal(forbidden.level, "problem");
    for (const cause of ["NativeMessagingBlocklist", "NativeMessagingAllowlist", "allowed_origins", extension.origin]) assert.ok(forbidden.advice.includes(cause), cause);

    const [either] = words({ state: "not-found-or-forbidden" });
    assert.ok(either.advice.includes(REGISTER_COMMAND) && either.advice.includes("bridge@vrpph"));

    for (const state of ["exited", "broken"]) assert.equal(words({ state })[0].text, "The host started but closed at once.");
    assert.equal(words({ state: "no-answer" })[0].text, "The host does not answer.");
  });

  it("shows a version mismatch past the third number, not a differing build", () => {
    assert.equal(words(answering(null, "1.0.0.99"))[0].level, "ok");
    const [mismatch] = words({ ...answering(null, "1.0.1.2"), statusMissing: "unknown" });
    assert.equal(mismatch.level, "warn");
    assert.equal(mismatch.text, "The host is version 1.0.1.2, but this extension is version 1.0.0.");
    const cases = [["1.0.0.76", "1.0.0", true], ["1.0.0.76", "1.0.0.80", true], ["1.0.1.2", "1.0.0", false], ["1.0", "1.0.0", false],
      ["1.0.0-stub", "1.0.0", false], ["01.0.0", "1.0.0", true], [null, "1.0.0", false], ["x.y.z", "x.y.z", false]];
    for (const [a, b, expected] of cases) assert.equal(versionsMatch(a, b), expected, `${a} ${b}`);
  });

  it("tells Trevalon's state only when the host answers, and why it catches nothing", () => {
    const trevalon = (host) => words(host).filter((line) => line.topic === "trevalon").map((line) => line.text);
    assert.deepEqual(trevalon(answering(status({ programFound: true, windowFound: true }))), ["Trevalon is running."]);
    assert.deepEqual(trevalon(answering(status({ programFound: true, windowFound: false }))), ["Trevalon is installed; it will be started with the next download."]);
    assert.deepEqual(trevalon(answering(status({ programFound: false, windowFound: false }))), ["Trevalon is not installed."]);
    assert.deepEqual(trevalon(answering(status({ programFound: true, windowFound: true }, { noTypes: true, useCtrlAlt: true }))), [
      "Trevalon is running.", "Trevalon catches nothing: its list of file types to take (AcceptingTypes) is empty."]);
    assert.deepEqual(trevalon(answering(status({ programFound: true, windowFound: false }, { useCtrlAlt: true }))), [
      "Trevalon is installed; it will be started with the next download.",
      "Trevalon only takes downloads clicked with the hand-over keys (UseCtrlAlt is TRUE)."]);
    assert.deepEqual(trevalon({ ...answering(null), statusMissing: "unknown" }), ["This host is too old to tell whether Trevalon is there."]);
    assert.deepEqual(trevalon({ ...answering(null), statusMissing: "no-answer" }), ["The host did not say in time whether Trevalon is there."]);
    assert.deepEqual(trevalon({ state: "not-found" }), []);
  });

  it("tells the site's state: no access first, then the switch, then a rule", () => {
    const site = (extra, settings = effectiveSettings()) =>
      words({ state: "no-answer" }, { site: { host: "files.example.com", ...extra }, settings }).find((line) => line.topic === "site");
    assert.equal(site({ access: true }).text, "Downloads from files.example.com go to Trevalon when it takes their file type.");
    assert.equal(site({ access: true, keptBy: "*.example.com" }).text, "Downloads from files.example.com stay in the browser (rule *.example.com).");
    assert.equal(site({ access: true, keptBy: "*.example.com" }, effectiveSettings({ handOver: false })).text, "Handing over is off: downloads stay in the browser.");
    const denied = site({ access: false }, effectiveSettings({ handOver: false }));
    assert.equal(denied.level, "problem");
    assert.ok(denied.text.startsWith("The extension may not read files.example.com"));
    assert.equal(words({ state: "no-answer" }).find((line) => line.topic === "site").text, "This page is not a website: nothing here is handed over.");
    assert.equal(words({ state: "no-answer" }, { privateAccess: false }).at(-1).topic, "private");
    assert.equal(words({ state: "no-answer" }, { privateAccess: null }).at(-1).topic, "site");
  });

  it("sets the button to problem, off or normal", () => {
    const cases = [
      [{ state: "connecting" }, true, "normal"],
      [{ state: "closed" }, false, "off"],
      [answering(status({ programFound: true })), false, "off"],
      [answering(status({ programFound: false, windowFound: false })), true, "problem"],
      [answering(null), true, "normal"],
      [{ state: "not-found" }, false, "problem"],
      [{ state: "exited" }, true, "problem"],
    ];
    for (const [host, handOver, expected] of cases) assert.equal(buttonState(host, handOver), expected, JSON.stringify(host));
  });
});

describe("host failures as the browsers word them", () => {
  it("tells apart what the words allow", () => {
    const cases = [
      ["Specified native messaging host not found.", false, "not-found"],
      ["Access to the specified native messaging host is forbidden.", false, "forbidden"],
      ["Native host has exited.", false, "exited"],
      ["Native host has exited.", true, "exited"],
      ["Failed to start native messaging host.", false, "exited"],
      ["Error when communicating with the native messaging host.", true, "broken"],
      ["No such native application vrpph.bridge", false, "not-found-or-forbidden"],
      ["disconnected", false, "exited"],
      ["disconnected", true, "closed"],
      [undefined, false, "exited"],
    ];
    for (const [reason, answered, expected] of cases) assert.equal(hostFailure(reason, answered), expected, `${reason} ${answered}`);
  });

  it("reads a status answer strictly, every flag a boolean", () => {
    const answer = readHostAnswer({ id: "s1", state: "status", version: "1.0.0.76", trevalon: { programFound: true, windowFound: "yes" },
      catching: { noTypes: 1 }, lastFailure: { id: "d3", state: "declined", reason: "unreachable" } });
    assert.deepEqual(answer, { kind: "status", id: "s1", status: {
      version: "1.0.0.76", trevalon: { programFound: true, windowFound: false }, handler: { registered32: false, registered64: false },
      catching: { noTypes: false, useCtrlAlt: false }, lastFailure: { id: "d3", state: "declined", reason: "unreachable" } } });
    // An older host's error for it is a final answer the status waiter takes.
    assert.deepEqual(readHostAnswer({ id: "s2", state: "error", reason: "unknown type" }), { kind: "final", id: "s2", state: "error", reason: "unknown type" });
  });
});

describe("recent downloads", () => {
  it("words every outcome, and an unknown reason as kept", () => {
    const cases = [
      [{ state: "taken" }, "Sent to Trevalon."],
      [{ state: "taken", sent: false }, "Removed from the browser: Trevalon already had it, or you cancelled in its window."],
      [{ state: "declined", reason: "not-accepted" }, "Kept in the browser: Trevalon does not take this file type."],
      [{ state: "declined", reason: "post" }, "Kept in the browser: it came from a form, which Trevalon cannot send again."],
      [{ state: "declined", reason: "brand-new" }, "Kept in the browser."],
      [{ state: "switch-off" }, "Kept in the browser: handing over is off."],
      [{ state: "kept-site" }, "Kept in the browser: a site rule keeps it."],
      [{ state: "timeout" }, "Kept in the browser: the host did not answer in time."],
      [{ state: "error", reason: "bad url" }, "Kept in the browser: the host reported an error (bad url)."],
    ];
    for (const [verdict, expected] of cases) {
      const outcome = outcomeOf(verdict);
      assert.equal(say([outcome.key, outcome.detail ?? ""]), expected, JSON.stringify(verdict));
    }
    for (const reason of ["excluded", "ignore-keys", "keys-required", "unreachable", "not-confirmed", "input-ended"]) {
      assert.notEqual(outcomeOf({ state: "declined", reason }).key, "outcomeKeptOther", reason);
    }
  });

  it("keeps the last ten, newest first, and nothing of a private window", () => {
    const item = (n, incognito = false) => ({ url: `https://s${n}.test/f${n}.zip`, filename: `/home/u/f${n}.zip`, incognito });
    let list = [];
    for (let n = 1; n <= RECENT_KEPT + 2; n += 1) list = withRecent(list, item(n), recentEntry(item(n), { state: "taken" }, n));
    assert.equal(list.length, RECENT_KEPT);
    assert.deepEqual([list[0].file, list[0].site, list.at(-1).file], ["f12.zip", "s12.test", "f3.zip"]);
    assert.equal(withRecent(list, item(99, true), recentEntry(item(99, true), { state: "taken" }, 99)), list);
    assert.equal(recentEntry({ url: "https://a.test/dl/setup.exe" }, { state: "kept" }, 1).file, "setup.exe");
  });
});
