import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { describe, it } from "node:test";
import vm from "node:vm";

// The content script is a classic script: run it as the browser would and
// take the one name it defines.
const source = readFileSync(new URL("../../../extension/content/click_keys.js", import.meta.url), "utf8");
const clickKeys = vm.runInNewContext(`${source}\nvrpphClickKeys`);
// Its arrays belong to the script's own realm.
const keysOf = (event) => [...clickKeys.keysOfEvent(event)];

const link = (href, protocol = new URL(href).protocol) => ({ tagName: "A", href, protocol });
const click = (fields) => ({ isTrusted: true, button: 0, altKey: false, ctrlKey: false, metaKey: false, shiftKey: false, ...fields });

describe("click keys", () => {
  it("names the keys held in the host's sorted order", () => {
    assert.deepEqual(keysOf(click({ shiftKey: true, ctrlKey: true, altKey: true, metaKey: true })), ["alt", "ctrl", "meta", "shift"]);
    assert.deepEqual(keysOf(click({ ctrlKey: true, altKey: "yes" })), ["ctrl"]);
    assert.deepEqual(keysOf(click({})), []);
  });

  it("forces a hand-over only for the user's primary click with exactly the keys", () => {
    const force = ["alt", "ctrl"];
    const cases = [
      [click({ ctrlKey: true, altKey: true }), force, true],
      [click({ ctrlKey: true }), force, false],
      [click({ ctrlKey: true, altKey: true, shiftKey: true }), force, false],
      [click({ ctrlKey: true, altKey: true, isTrusted: false }), force, false],
      [click({ ctrlKey: true, altKey: true, button: 1 }), force, false],
      [click({ ctrlKey: true, altKey: true }), null, false],
      [click({}), [], false],
    ];
    for (const [event, forceKeys, expected] of cases) {
      assert.equal(clickKeys.isForcingClick(event, forceKeys), expected, JSON.stringify({ event, forceKeys }));
    }
  });

  it("finds the link around the clicked element, if Trevalon could fetch it", () => {
    const inside = (...path) => ({ composedPath: () => path });
    const span = { tagName: "SPAN" };
    const cases = [
      [inside(span, link("https://a.example/f.zip"), { tagName: "BODY" }), "https://a.example/f.zip"],
      [inside({ tagName: "area", href: "ftp://a.example/f", protocol: "ftp:" }), "ftp://a.example/f"],
      [inside(span, link("javascript:void(0)", "javascript:")), null],
      [inside(span, link("mailto:x@a.example", "mailto:")), null],
      [inside({ tagName: "A", href: "", protocol: ":" }), null],
      [inside(span, { tagName: "DIV" }), null],
      [{}, null],
    ];
    for (const [event, expected] of cases) assert.equal(clickKeys.linkOfEvent(event), expected);
  });
});
