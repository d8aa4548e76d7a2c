// Gathers the links of a page or of its selection, for the pick page. Not a
// content script: the background runs it (scripting.executeScript) in the
// frames of a tab only when the user chose a menu entry, so a page pays
// nothing on load. It is serialised into the page's isolated world: it must
// name nothing outside itself.
//
// A page may hold a hundred thousand links: the walk runs in slices of
// sliceMs and yields to the page between them, so no task of the page's
// main thread grows long, and it stops at `cap` distinct entries.

export async function gatherPageLinks(scope, cap, sliceMs) {
  const LINK_TAGS = new Set(["a", "area"]);
  const MEDIA_TAGS = new Set(["img", "video", "audio", "source"]);
  const SCHEMES = ["http:", "https:", "ftp:"];
  const TEXT_CHARS = 120;
  const entries = [];
  const seen = new Set();
  let truncated = false;
  const started = performance.now();
  let sliceStart = started;

  // A message to itself comes back at once; a timer may be held back by
  // the browser's throttling.
  const yieldToPage = () =>
    new Promise((resolve) => {
      const channel = new MessageChannel();
      channel.port1.onmessage = () => {
        channel.port1.close();
        resolve();
      };
      channel.port2.postMessage(0);
    });
  const withoutFragment = (url) => {
    const hash = url.indexOf("#");
    return hash < 0 ? url : url.slice(0, hash);
  };
  const documentUrl = withoutFragment(String(document.URL));

  // False once the cap is passed: the walk stops.
  const note = (element) => {
    const tag = element.localName;
    const isLink = LINK_TAGS.has(tag);
    if (!isLink && !MEDIA_TAGS.has(tag)) return true;
    const raw = isLink ? element.href : element.currentSrc || element.src;
    // An SVG link's href is an object, not a string.
    if (typeof raw !== "string" || !SCHEMES.some((scheme) => raw.startsWith(scheme))) return true;
    const url = withoutFragment(raw);
    if (seen.has(url)) return true;
    if (entries.length >= cap) {
      truncated = true;
      return false;
    }
    seen.add(url);
    const entry = { url, kind: isLink ? "link" : "media" };
    const text = isLink ? element.textContent : element.getAttribute("alt") ?? element.getAttribute("title");
    if (typeof text === "string") {
      const trimmed = text.slice(0, TEXT_CHARS * 4).replace(/\s+/g, " ").trim().slice(0, TEXT_CHARS);
      if (trimmed) entry.text = trimmed;
    }
    const named = isLink ? element.getAttribute("download") : null;
    if (typeof named === "string" && named.trim() !== "") entry.filename = named.trim();
    entries.push(entry);
    return true;
  };

  // Walks root's elements (and root itself), those the range touches when
  // one is given.
  const walk = async (root, range) => {
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_ELEMENT);
    let node = root.nodeType === 1 ? root : walker.nextNode();
    let count = 0;
    while (node) {
      if ((!range || range.intersectsNode(node)) && !note(node)) return false;
      count += 1;
      if ((count & 63) === 0 && performance.now() - sliceStart > sliceMs) {
        await yieldToPage();
        sliceStart = performance.now();
      }
      node = walker.nextNode();
    }
    return true;
  };

  if (scope === "selection") {
    const selection = getSelection();
    for (let i = 0; selection && i < selection.rangeCount; i += 1) {
      const range = selection.getRangeAt(i);
      let root = range.commonAncestorContainer;
      if (root.nodeType !== 1) root = root.parentElement;
      if (!root) continue;
      // A selection inside one link's text is that link.
      const around = root.closest("a[href], area[href]");
      if (around && around !== root && !note(around)) break;
      if (!(await walk(root, range))) break;
    }
  } else {
    // The document's own lists: a page's links are a small part of its
    // elements, and these skip the rest.
    const lists = [document.links, document.images, ...["video", "audio", "source"].map((tag) => document.getElementsByTagName(tag))];
    let count = 0;
    for (const list of lists) {
      // A live list: what the page adds meanwhile is met, a repeat dropped.
      for (let i = 0; i < list.length; i += 1) {
        if (!note(list[i])) return done();
        count += 1;
        if ((count & 63) === 0 && performance.now() - sliceStart > sliceMs) {
          await yieldToPage();
          sliceStart = performance.now();
        }
      }
    }
  }
  return done();

  // One string crosses to the extension far faster than ten thousand objects.
  function done() {
    return { documentUrl, entries: JSON.stringify(entries), truncated, ms: performance.now() - started };
  }
}
