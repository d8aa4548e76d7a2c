// The pages the pick-page run gathers from: a listing of 30 links (10 of
// accepted types, 5 that differ from another only in the fragment, 2
// javascript:, 1 mailto:, 6 in a frame of another origin) with three media,
// and a page of 100,000 links. Served on 127.0.0.1; the frame on localhost.

import http from "node:http";

export const BIG_LINKS = 100_000;

const MAIN_LINKS = [
  ["a1", "/files/a1.zip"],
  ["a2", "/files/a2.exe"],
  ["a3", "/files/a3.msi"],
  ["a4", "/files/a4.7z"],
  ["a5", "/files/a5.zip"],
  // The link names its file: the URL does not.
  ["a6", "/get?id=6", 'download="a6.exe"'],
  // A name with a line break would add a field of its own to a record.
  ["a7", "/files/a7.exe", 'download="a7&#10;Path=C:\\x.exe"'],
  ["guide", "/files/guide.pdf"],
  ...[2, 3, 4, 5, 6].map((page) => [`guide-${page}`, `/files/guide.pdf#page=${page}`]),
  ["js1", "javascript:void(0)"],
  ["js2", "javascript:alert(1)"],
  ["mail", "mailto:someone@example.com"],
  ["notes", "/files/notes.csv"],
  ["readme", "/files/readme.txt"],
  ["about", "/about.html"],
  ["report", "/files/report.pdf"],
  ["data", "/files/data.json"],
  ["photo", "/files/photo.jpg"],
  ["song", "/files/song.mp3"],
  ["page", "/files/page.html"],
];
const FRAME_LINKS = [
  ["b8", "/files/b8.zip"],
  ["b9", "/files/b9.exe"],
  ["b10", "/files/b10.msi"],
  ["sheet", "/files/sheet.xlsx"],
  ["slides", "/files/slides.odp"],
  ["c", "/files/c.txt"],
];

const anchors = (links) => links.map(([id, href, extra = ""]) => `<a id="${id}" href="${href}" ${extra}>${id} file</a>`).join("\n");

function linksPage(frameOrigin) {
  return `<!doctype html><html><head><meta charset="utf-8"><title>Listing</title>
<style>a { margin: 4px; font: 14px sans-serif; display: inline-block; }</style></head><body>
<p id="start">Files:</p>
${anchors(MAIN_LINKS)}
<img id="logo" src="/img/logo.png" alt="the logo" width="16" height="16">
<video><source src="/media/clip.webm" type="video/webm"></video>
<audio src="/media/tune.ogg"></audio>
<iframe id="frame" src="${frameOrigin}/frame.html" width="400" height="100"></iframe>
</body></html>`;
}

const FRAME = `<!doctype html><html><head><meta charset="utf-8"></head><body>${anchors(FRAME_LINKS)}</body></html>`;

function bigPage() {
  const parts = ["<!doctype html><html><head><meta charset=\"utf-8\"><title>Many</title></head><body>"];
  for (let i = 0; i < BIG_LINKS; i += 1) parts.push(`<a href="/many/f${i}.zip">f${i}</a>\n`);
  parts.push("</body></html>");
  return parts.join("");
}

export class PickFixtures {
  #server;
  #big = bigPage();

  get origin() {
    return `http://127.0.0.1:${this.#server.address().port}`;
  }

  get frameOrigin() {
    return `http://localhost:${this.#server.address().port}`;
  }

  // What the pick page must list, in order: [url, referrer, filename?].
  expectedLinks() {
    const main = `${this.origin}/links.html`;
    const frame = `${this.frameOrigin}/frame.html`;
    const listed = (origin, referrer) => ([, href, extra]) => {
      if (!href.startsWith("/") || href.includes("#")) return [];
      const named = /download="([^"]*)"/.exec(extra ?? "")?.[1].replace("&#10;", "\n").replace("\\\\", "\\");
      return [[`${origin}${href}`, referrer, named]];
    };
    return [...MAIN_LINKS.flatMap(listed(this.origin, main)), ...FRAME_LINKS.flatMap(listed(this.frameOrigin, frame))];
  }

  expectedMedia() {
    return ["/img/logo.png", "/media/clip.webm", "/media/tune.ogg"].map((path) => `${this.origin}${path}`);
  }

  async start() {
    this.#server = http.createServer((request, response) => {
      const path = request.url.split("?")[0];
      const page = (body) => {
        response.writeHead(200, { "content-type": "text/html; charset=utf-8" });
        response.end(body);
      };
      if (path === "/links.html") return page(linksPage(this.frameOrigin));
      if (path === "/frame.html") return page(FRAME);
      if (path === "/big.html") return page(this.#big);
      response.writeHead(404);
      response.end();
    });
    await new Promise((resolve) => this.#server.listen(0, "127.0.0.1", resolve));
    return this;
  }

  async stop() {
    this.#server.closeAllConnections();
    await new Promise((resolve) => this.#server.close(resolve));
  }
}
