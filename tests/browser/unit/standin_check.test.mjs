// The real-host checks' own judgement: the stand-in's log read byte for
// byte, the record each click should have sent, and the count of records
// per click. A fault here would let a host that sends nothing, or sends
// twice, pass in a real browser.

import assert from "node:assert/strict";
import { appendFileSync, mkdtempSync, writeFileSync } from "node:fs";
import os from "node:os";
import path from "node:path";
import { describe, it } from "node:test";
import { expectedRecord, lastSegment } from "../real_host/expected_record.mjs";
import { makeCheck } from "../real_host/standin_check.mjs";
import { parseStandinLog, recordsOfUrl } from "../real_host/standin_log.mjs";

const ORIGIN = "http://127.0.0.1:4321";
const REMEMBERED = { ZIP: 0, EXE: 1, PDF: 0 };

function entry(kind, number, text) {
  const bytes = Buffer.from(text, "latin1");
  return Buffer.concat([Buffer.from(`${kind} ${number} ${bytes.length}\n`), bytes, Buffer.from("\n")]);
}

describe("the stand-in's log", () => {
  it("reads entries by their lengths, line breaks and code-page bytes included", () => {
    const log = Buffer.concat([
      entry("START", 0, ""),
      entry("CLAIM", 0, `${ORIGIN}/a.zip`),
      entry("RECORD", 42, "URL=http://h/r\xe9sum\xe9.zip\nReferer=http://h/\nPath=OPEN"),
    ]);
    const entries = parseStandinLog(log);
    assert.deepEqual(
      entries.map((e) => [e.kind, e.number, e.bytes.length]),
      [["START", 0, 0], ["CLAIM", 0, `${ORIGIN}/a.zip`.length], ["RECORD", 42, 51]],
    );
    assert.equal(entries[2].bytes[14], 0xe9);
    assert.equal(entries[1].at, entry("START", 0, "").length);
  });

  it("leaves an entry still being written for the next read", () => {
    const whole = entry("CLAIM", 1, "http://h/x.zip");
    const record = entry("RECORD", 7, "URL=http://h/x.zip\nPath=OPEN");
    for (const cut of [1, 10, record.length - 1]) {
      const entries = parseStandinLog(Buffer.concat([whole, record.subarray(0, cut)]));
      assert.deepEqual(entries.map((e) => e.kind), ["CLAIM"], `cut at ${cut}`);
    }
  });

  it("refuses a log whose entries do not end where their lengths say", () => {
    assert.throws(() => parseStandinLog(Buffer.from("RECORD 1 3\nabcd\n")), /does not end/);
    assert.throws(() => parseStandinLog(Buffer.from("garbage\n")), /no entry at byte 0/);
  });

  it("finds records by their whole URL line only", () => {
    const entries = parseStandinLog(
      Buffer.concat([
        entry("CLAIM", 0, "URL=http://h/a.zip"),
        entry("RECORD", 1, "URL=http://h/a.zip\nPath=OPEN"),
        entry("RECORD", 1, "URL=http://h/a.zip2\nPath=OPEN"),
        entry("RECORD", 1, "URL=http://h/a.zip"),
        entry("RECORD", 1, "Referer=http://h/\nURL=http://h/a.zip"),
      ]),
    );
    assert.equal(recordsOfUrl(entries, "http://h/a.zip").length, 2);
  });
});

describe("the expected record", () => {
  it("takes Path from the type's remembered action", () => {
    const base = { url: `${ORIGIN}/files/tool.zip`, referer: `${ORIGIN}/`, remembered: REMEMBERED };
    assert.equal(expectedRecord({ ...base, fileName: "tool.zip" }), `URL=${ORIGIN}/files/tool.zip\nReferer=${ORIGIN}/\nPath=OPEN`);
    assert.equal(
      expectedRecord({ ...base, url: `${ORIGIN}/files/tool.exe`, fileName: "tool.exe" }),
      `URL=${ORIGIN}/files/tool.exe\nReferer=${ORIGIN}/\nPath=`,
    );
    assert.equal(expectedRecord({ ...base, url: `${ORIGIN}/notes.csv`, fileName: "notes.csv" }), null);
  });

  it("names the file only when the browser's name is not the URL's", () => {
    const url = `${ORIGIN}/get?id=4`;
    assert.equal(lastSegment(url), "get");
    assert.equal(
      expectedRecord({ url, referer: `${ORIGIN}/`, fileName: "setup-2.4.exe", remembered: REMEMBERED }),
      `URL=${url}\nReferer=${ORIGIN}/\nPath=\nFileName=setup-2.4.exe`,
    );
    // A link has no name of the browser's: the URL's type decides.
    assert.equal(
      expectedRecord({ url: `${ORIGIN}/manual.pdf`, referer: `${ORIGIN}/`, remembered: REMEMBERED }),
      `URL=${ORIGIN}/manual.pdf\nReferer=${ORIGIN}/\nPath=OPEN`,
    );
  });
});

describe("the check per click", () => {
  const zipUrl = `${ORIGIN}/files/tool.zip`;
  const zipRecord = `URL=${zipUrl}\nReferer=${ORIGIN}/\nPath=OPEN`;
  const testCase = { name: "accepted-file", file: "tool.zip" };

  // A fresh tap log and stand-in log, and a check over them that waits little.
  function setting() {
    const dir = mkdtempSync(path.join(os.tmpdir(), "standin-check-"));
    const tapLog = path.join(dir, "host.log");
    const log = path.join(dir, "events.log");
    writeFileSync(tapLog, "");
    writeFileSync(log, entry("START", 0, ""));
    const check = makeCheck({ log, remembered: REMEMBERED }, { decideMs: 100, landMs: 100 });
    const context = { origin: ORIGIN, tapLog, testCase };
    let pid = 100;
    return {
      // One request the host got, with its answers (state or [state, extra]).
      exchange(request, ...answers) {
        const lines = [{ t: 1, pid, dir: "in", msg: request }];
        for (const answer of answers) lines.push({ t: 2, pid, dir: "out", ...answer, msg: { id: request.id, ...answer.msg } });
        appendFileSync(tapLog, lines.map((line) => `${JSON.stringify(line)}\n`).join(""));
        pid += 1;
      },
      record: (text) => appendFileSync(log, entry("RECORD", 5, text)),
      run: (url = zipUrl, ctx = context) => check({ url }, ctx),
    };
  }
  const download = { id: "d1", type: "download", url: zipUrl, filename: "tool.zip" };
  const pending = { msg: { state: "pending" } };
  const taken = { msg: { state: "taken" } };

  it("passes a taken click with its one exact record", async () => {
    const s = setting();
    s.exchange(download, pending, taken);
    s.record(zipRecord);
    assert.deepEqual(await s.run(), []);
  });

  it("fails a taken click with no record, a second record or other bytes", async () => {
    const none = setting();
    none.exchange(download, pending, taken);
    assert.match((await none.run()).join(), /expected 1 record\(s\).*received 0/);

    const twice = setting();
    twice.exchange(download, pending, taken);
    twice.record(zipRecord);
    twice.record(zipRecord);
    assert.match((await twice.run()).join(), /expected 1 record\(s\).*received 2/);

    const other = setting();
    other.exchange(download, pending, taken);
    other.record(`${zipRecord}\nFileName=tool.zip`);
    assert.match((await other.run()).join(), /stand-in record: expected/);
  });

  it("expects a record for an answer kept from the browser", async () => {
    const s = setting();
    s.exchange(download, { ...pending, dropped: true }, { ...taken, dropped: true });
    assert.match((await s.run()).join(), /expected 1 record/);
    s.exchange({ ...download, id: "d2" }, { ...pending, dropped: true }, { ...taken, dropped: true });
    s.record(zipRecord);
    assert.deepEqual(await s.run(), []);
  });

  it("wants no record for a decline, an unsent take, a host that never decided, or no request", async () => {
    const declined = setting();
    declined.exchange(download, pending, { msg: { state: "declined", reason: "not-accepted" } });
    assert.deepEqual(await declined.run(), []);
    declined.exchange({ ...download, id: "d2" }, pending, { msg: { state: "declined", reason: "not-accepted" } });
    declined.record(zipRecord);
    assert.match((await declined.run()).join(), /expected 0 record\(s\).*received 1/);

    const unsent = setting();
    unsent.exchange(download, pending, { msg: { state: "taken", sent: false } });
    assert.deepEqual(await unsent.run(), []);

    const undecided = setting();
    undecided.exchange(download, pending);
    assert.match((await undecided.run()).join(), /no final answer/);

    const page = setting();
    assert.deepEqual(await page.run(`${ORIGIN}/guide.html`), []);
    page.record(`URL=${ORIGIN}/guide.html\nReferer=${ORIGIN}/\nPath=OPEN`);
    assert.match((await page.run(`${ORIGIN}/guide.html`)).join(), /expected 0 record/);
  });

  it("counts each record and each request for one click only", async () => {
    const s = setting();
    s.exchange(download, pending, taken);
    s.record(zipRecord);
    assert.deepEqual(await s.run(), []);
    // The same link again with no host: the earlier record is not this click's.
    assert.deepEqual(await s.run(), []);
    s.record(zipRecord);
    assert.match((await s.run()).join(), /expected 0 record\(s\).*received 1/);
  });
});
