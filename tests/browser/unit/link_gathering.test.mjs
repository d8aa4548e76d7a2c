import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { gatherPageLinks } from "../../../extension/content/page_links.js";
import { describe as describeEntry, mergeGathered, passes, typesOf } from "../../../extension/lib/link_list.js";

// Just enough of a document for the walk: elements in document order, a
// tree walker over them, and a selection of some of them.
function fakeElement(localName, fields = {}) {
  const attributes = fields.attributes ?? {};
  return {
    nodeType: 1,
    localName,
    textContent: "",
    ...fields,
    getAttribute: (name) => attributes[name] ?? null,
    closest: () => null,
  };
}

function withDocument(elements, { url = "https://site.example/list.html#top", selected = null } = {}, run) {
  const root = fakeElement("html");
  const saved = { document: globalThis.document, NodeFilter: globalThis.NodeFilter, getSelection: globalThis.getSelection };
  globalThis.NodeFilter = { SHOW_ELEMENT: 1 };
  const tagged = (...tags) => elements.filter((element) => tags.includes(element.localName));
  globalThis.document = {
    URL: url,
    documentElement: root,
    // The page's lists, as the document keeps them.
    links: tagged("a", "area"),
    images: tagged("img"),
    getElementsByTagName: (tag) => tagged(tag),
    createTreeWalker(from) {
      assert.equal(from, root);
      let at = 0;
      return { nextNode: () => elements[at++] ?? null };
    },
  };
  const range = { commonAncestorContainer: root, intersectsNode: (node) => node === root || selected.includes(node) };
  globalThis.getSelection = () => ({ rangeCount: 1, getRangeAt: () => range });
  // The entries cross to the extension as one JSON text.
  return run()
    .then((result) => ({ ...result, entries: JSON.parse(result.entries) }))
    .finally(() => Object.assign(globalThis, saved));
}

const link = (href, fields = {}) => fakeElement("a", { href, ...fields });

describe("gatherPageLinks", () => {
  it("lists each address once without its fragment, only of the schemes the host fetches", async () => {
    const elements = [
      link("https://site.example/a.zip", { textContent: "  the\n zip " }),
      link("https://site.example/a.zip#part2"),
      link("https://site.example/a.zip#part3"),
      link("javascript:void(0)"),
      link("mailto:someone@site.example"),
      link("data:text/plain,x"),
      link("ftp://files.example/b.iso", { attributes: { download: "disc.iso" } }),
      fakeElement("area", { href: "http://site.example/map.pdf" }),
      fakeElement("a", { href: { baseVal: "https://svg.example/x" } }),
      fakeElement("img", { src: "https://cdn.example/p.png", currentSrc: "https://cdn.example/p@2x.png", attributes: { alt: "photo" } }),
      fakeElement("video", { src: "", currentSrc: "" }),
      fakeElement("source", { src: "https://cdn.example/clip.webm" }),
      fakeElement("div", { href: "https://site.example/not-a-link" }),
    ];
    const result = await withDocument(elements, {}, () => gatherPageLinks("page", 100, 10));
    assert.equal(result.documentUrl, "https://site.example/list.html");
    assert.equal(result.truncated, false);
    assert.deepEqual(result.entries, [
      { url: "https://site.example/a.zip", kind: "link", text: "the zip" },
      { url: "ftp://files.example/b.iso", kind: "link", filename: "disc.iso" },
      { url: "http://site.example/map.pdf", kind: "link" },
      { url: "https://cdn.example/p@2x.png", kind: "media", text: "photo" },
      { url: "https://cdn.example/clip.webm", kind: "media" },
    ]);
  });

  it("stops at the cap, and says it stopped only when more was there", async () => {
    const elements = Array.from({ length: 5 }, (_, i) => link(`https://site.example/f${i}.zip`));
    const exact = await withDocument(elements, {}, () => gatherPageLinks("page", 5, 10));
    assert.equal(exact.entries.length, 5);
    assert.equal(exact.truncated, false);
    // A repeat of an entry already listed is no reason to say the list was cut.
    const repeated = await withDocument([...elements, link("https://site.example/f0.zip#x")], {}, () => gatherPageLinks("page", 5, 10));
    assert.equal(repeated.truncated, false);
    const over = await withDocument(elements, {}, () => gatherPageLinks("page", 4, 10));
    assert.deepEqual(over.entries.map((entry) => entry.url), elements.slice(0, 4).map((element) => element.href));
    assert.equal(over.truncated, true);
  });

  it("takes only what the selection touches", async () => {
    const elements = Array.from({ length: 6 }, (_, i) => link(`https://site.example/f${i}.zip`));
    const result = await withDocument(elements, { selected: [elements[1], elements[4]] }, () => gatherPageLinks("selection", 100, 10));
    assert.deepEqual(result.entries.map((entry) => entry.url), ["https://site.example/f1.zip", "https://site.example/f4.zip"]);
  });

  it("gives the page its turn between slices of a long walk", async () => {
    const elements = Array.from({ length: 640 }, (_, i) => link(`https://site.example/f${i}.zip`));
    const original = globalThis.MessageChannel;
    let yields = 0;
    globalThis.MessageChannel = class extends original {
      constructor() {
        super();
        yields += 1;
      }
    };
    try {
      // A slice of 0 ms yields at every check, one each 64 elements.
      await withDocument(elements, {}, () => gatherPageLinks("page", 10_000, 0));
      assert.equal(yields, 10);
      yields = 0;
      await withDocument(elements, {}, () => gatherPageLinks("page", 10_000, 60_000));
      assert.equal(yields, 0);
    } finally {
      globalThis.MessageChannel = original;
    }
  });
});

describe("mergeGathered", () => {
  const frame = (documentUrl, entries, truncated = false) => ({ documentUrl, entries: JSON.stringify(entries), truncated });

  it("merges frames, links before media, each address once, the frame as its referrer", () => {
    const merged = mergeGathered([
      frame("https://site.example/", [
        { url: "https://site.example/a.zip", kind: "link" },
        { url: "https://cdn.example/p.png", kind: "media" },
      ]),
      frame("https://frame.example/inner.html#x", [
        { url: "https://site.example/a.zip#again", kind: "link" },
        { url: "https://frame.example/b.msi", kind: "link", text: "b", filename: "setup.msi" },
        // A frame's word is checked again: it is the page's DOM speaking.
        { url: "javascript:alert(1)", kind: "link" },
        { url: 42, kind: "link" },
        null,
      ]),
      frame("about:blank", [{ url: "https://blank.example/c.7z", kind: "link" }]),
      null,
      // What is no list of entries gives none.
      { documentUrl: "https://x.example/", entries: "[{" },
      { documentUrl: "https://x.example/", entries: '{"url": "https://x.example/y.zip"}' },
      { documentUrl: "https://x.example/", entries: [{ url: "https://x.example/z.zip", kind: "link" }] },
    ]);
    assert.deepEqual(merged, {
      links: [
        { url: "https://site.example/a.zip", referrer: "https://site.example/" },
        { url: "https://frame.example/b.msi", referrer: "https://frame.example/inner.html", text: "b", filename: "setup.msi" },
        { url: "https://blank.example/c.7z" },
      ],
      media: [{ url: "https://cdn.example/p.png", referrer: "https://site.example/" }],
      truncated: false,
    });
  });

  it("caps the whole list, and keeps a frame's own note that it was cut", () => {
    const entries = (host, n) => Array.from({ length: n }, (_, i) => ({ url: `https://${host}/f${i}`, kind: "link" }));
    const atCap = mergeGathered([frame("https://a.example/", entries("a.example", 3)), frame("https://b.example/", entries("a.example", 3))], 3);
    assert.equal(atCap.links.length, 3);
    assert.equal(atCap.truncated, false);
    const over = mergeGathered([frame("https://a.example/", entries("a.example", 2)), frame("https://b.example/", entries("b.example", 2))], 3);
    assert.deepEqual(over.links.map((entry) => entry.url), ["https://a.example/f0", "https://a.example/f1", "https://b.example/f0"]);
    assert.equal(over.truncated, true);
    assert.equal(mergeGathered([frame("https://a.example/", entries("a.example", 1), true)], 3).truncated, true);
  });
});

describe("the pick list's descriptions and filters", () => {
  it("names, types and hosts an entry", () => {
    const cases = [
      [{ url: "https://h.example/dir/%C3%9Cbersicht.zip?x=1" }, { name: "Übersicht.zip", type: "ZIP", host: "h.example" }],
      [{ url: "https://h.example:8080/get?id=4", filename: "setup-2.4.exe" }, { name: "setup-2.4.exe", type: "EXE", host: "h.example:8080" }],
      [{ url: "https://h.example/dir/" }, { name: "", type: "", host: "h.example" }],
      [{ url: "https://h.example/.profile" }, { name: ".profile", type: "", host: "h.example" }],
      [{ url: "https://h.example/trailing." }, { name: "trailing.", type: "", host: "h.example" }],
      [{ url: "https://h.example/bad%E0%A4%A.tar.gz" }, { name: "bad%E0%A4%A.tar.gz", type: "GZ", host: "h.example" }],
    ];
    for (const [entry, expected] of cases) assert.deepEqual(describeEntry(entry), expected, entry.url);
  });

  it("filters by type and by text, and orders the accepted types first", () => {
    const entry = { url: "https://h.example/files/tool.zip", text: "Latest Tool" };
    const described = describeEntry(entry);
    assert.equal(passes(entry, described, { types: new Set(["ZIP"]), text: "" }), true);
    assert.equal(passes(entry, described, { types: new Set(["EXE", ""]), text: "" }), false);
    for (const text of ["TOOL.z", "h.EXAMPLE", "/files/", "latest", "  tool  "]) {
      assert.equal(passes(entry, described, { types: new Set(["ZIP"]), text }), true, text);
    }
    assert.equal(passes(entry, described, { types: new Set(["ZIP"]), text: "manual" }), false);
    const types = typesOf([{ type: "PDF" }, { type: "" }, { type: "ZIP" }, { type: "PDF" }, { type: "EXE" }], ["ZIP", "EXE", "MSI"]);
    assert.deepEqual(types, [
      { type: "EXE", accepted: true },
      { type: "ZIP", accepted: true },
      { type: "", accepted: false },
      { type: "PDF", accepted: false },
    ]);
  });
});
