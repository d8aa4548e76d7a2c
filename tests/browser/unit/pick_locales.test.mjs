// The menus' and the pick page's texts: every key they name is in every
// locale, with the same placeholders, and no locale leaves one empty.

import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import { describe, it } from "node:test";

const EXTENSION = new URL("../../../extension/", import.meta.url);
const read = (path) => readFileSync(new URL(path, EXTENSION), "utf8");
const locales = readdirSync(new URL("_locales/", EXTENSION));

// The keys the pick page, the menus and the outcomes name.
function usedKeys() {
  const keys = new Set();
  for (const match of read("pick/pick.html").matchAll(/data-i18n="([^"]+)"/g)) keys.add(match[1]);
  for (const file of ["pick/pick.js", "background/pick_menus.js", "lib/batch.js"]) {
    for (const match of read(file).matchAll(/"((?:pick|menu)[A-Z]\w+)"/g)) keys.add(match[1]);
  }
  return keys;
}

describe("the pick page's and menus' texts", () => {
  it("stand in every locale, with the same placeholders, none empty", () => {
    const keys = usedKeys();
    assert.ok(keys.size >= 25, `only ${keys.size} keys found`);
    assert.deepEqual(locales.sort(), ["de", "en", "es", "fr", "ja", "ru", "zh_CN"]);
    const english = JSON.parse(read("_locales/en/messages.json"));
    for (const locale of locales) {
      const messages = JSON.parse(read(`_locales/${locale}/messages.json`));
      for (const key of keys) {
        const entry = messages[key];
        assert.ok(entry && entry.message.trim() !== "", `${locale}: ${key} missing`);
        const names = (text) => [...text.matchAll(/\$(\w+)\$/g)].map((match) => match[1].toLowerCase()).sort();
        assert.deepEqual([...new Set(names(entry.message))], Object.keys(english[key].placeholders ?? {}).sort(), `${locale}: ${key}`);
        assert.deepEqual(entry.placeholders ?? {}, english[key].placeholders ?? {}, `${locale}: ${key}`);
      }
    }
  });
});
