import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import path from "node:path";
import { describe, it } from "node:test";
import { fileURLToPath } from "node:url";

const EXTENSION = fileURLToPath(new URL("../../../extension/", import.meta.url));
const LOCALES = path.join(EXTENSION, "_locales");
const REQUIRED = ["en", "de", "fr", "es", "ru", "ja", "zh_CN"];
// The pages a person reads, and the code that fills them.
const PAGE_FOLDERS = ["popup", "options", "pages", "pick"];

const read = (file) => readFileSync(file, "utf8");
const messagesOf = (locale) => JSON.parse(read(path.join(LOCALES, locale, "messages.json")));
const filesIn = (folder, ext) =>
  readdirSync(path.join(EXTENSION, folder)).filter((name) => name.endsWith(ext)).map((name) => path.join(EXTENSION, folder, name));

// The placeholders a message declares, and those its text uses, in order.
function placeholders(entry) {
  return Object.entries(entry.placeholders ?? {}).map(([name, { content }]) => `${name.toLowerCase()}=${content}`).sort();
}
function usedPlaceholders(entry) {
  return [...new Set([...entry.message.matchAll(/\$([A-Za-z0-9_@]+)\$/g)].map((match) => match[1].toLowerCase()))].sort();
}

describe("locales", () => {
  const english = messagesOf("en");

  it("has every language the extension ships, and the manifest's default", () => {
    const present = readdirSync(LOCALES);
    for (const locale of REQUIRED) assert.ok(present.includes(locale), locale);
    const manifest = JSON.parse(read(path.join(EXTENSION, "manifest.json")));
    assert.equal(manifest.default_locale, "en");
    for (const field of ["name", "description"]) assert.ok(english[manifest[field].replace(/^__MSG_(\w+)__$/, "$1")], field);
  });

  it("holds every locale to the same keys and placeholders, each text non-empty and using exactly its placeholders", () => {
    for (const locale of readdirSync(LOCALES)) {
      const messages = messagesOf(locale);
      assert.deepEqual(Object.keys(messages).sort(), Object.keys(english).sort(), `${locale}: keys`);
      for (const [key, entry] of Object.entries(messages)) {
        assert.ok(typeof entry.message === "string" && entry.message.trim() !== "", `${locale} ${key}: empty`);
        assert.deepEqual(placeholders(entry), placeholders(english[key]), `${locale} ${key}: placeholders`);
        assert.deepEqual(usedPlaceholders(entry), Object.keys(entry.placeholders ?? {}).map((name) => name.toLowerCase()).sort(), `${locale} ${key}: used`);
      }
      // The badge has room for about four characters.
      for (const key of ["badgeSent", "badgeOff", "badgeProblem"]) assert.ok([...messages[key].message].length <= 4, `${locale} ${key}`);
    }
  });

  it("is not English under another name: most texts differ from the English", () => {
    for (const locale of readdirSync(LOCALES).filter((name) => name !== "en")) {
      const messages = messagesOf(locale);
      const same = Object.keys(english).filter((key) => messages[key].message === english[key].message);
      assert.ok(same.length <= 3, `${locale}: ${same.join(", ")}`);
    }
  });

  it("finds every message the pages and the code name", () => {
    const named = new Set();
    for (const file of PAGE_FOLDERS.flatMap((folder) => filesIn(folder, ".html"))) {
      for (const match of read(file).matchAll(/data-i18n(?:-[a-z-]+)?="([^"]+)"/g)) named.add(match[1]);
    }
    const code = [...PAGE_FOLDERS, "lib", "background"].flatMap((folder) => filesIn(folder, ".js"));
    for (const file of code) {
      for (const match of read(file).matchAll(/(?:message|getMessage)\("(\w+)"/g)) named.add(match[1]);
    }
    // The keys the status and outcome tables hand to the pages.
    for (const file of ["lib", "background"].flatMap((folder) => filesIn(folder, ".js"))) {
      for (const match of read(file).matchAll(/"((?:host|advice|trevalon|site|private|outcome|badge)[A-Z]\w*)"/g)) named.add(match[1]);
    }
    assert.ok(named.size > 40, `only ${named.size} names found`);
    for (const key of named) assert.ok(english[key], `${key} is not in _locales/en`);
  });

  it("leaves no user-visible text in the pages' HTML", () => {
    for (const file of PAGE_FOLDERS.flatMap((folder) => filesIn(folder, ".html"))) {
      const body = read(file).replace(/<!--[\s\S]*?-->/g, "").replace(/<(script|style)[\s\S]*?<\/\1>/g, "");
      const words = body.replace(/<[^>]*>/g, " ").trim();
      assert.equal(words, "", `${file}: text outside _locales`);
      assert.doesNotMatch(read(file), /<title>|\s(aria-label|title|placeholder|alt)="/, `${file}: an attribute with text`);
    }
  });

  it("leaves no user-visible text in the pages' code", () => {
    for (const file of PAGE_FOLDERS.flatMap((folder) => filesIn(folder, ".js"))) {
      const source = read(file).replace(/^\s*\/\/.*$/gm, "");
      for (const match of source.matchAll(/(["'`])((?:(?!\1)[^\\\n]|\\.)*)\1/g)) {
        const literal = match[2];
        // A sentence: two words of letters or more, and nothing of a selector, a path or a key.
        const sentence = /\p{L}{2,}\s+\p{L}{2,}/u.test(literal) && !/[#.[\]=:/${}]/.test(literal);
        assert.ok(!sentence, `${file}: ${literal}`);
      }
      assert.doesNotMatch(source, /innerHTML|insertAdjacentHTML|document\.write/, `${file}: markup from code`);
    }
  });
});
