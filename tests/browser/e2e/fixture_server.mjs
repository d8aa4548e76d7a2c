// The loopback web server the browsers click on: one page of links and
// forms and the files behind them. It notes every request with its method
// and body, so a driver can tell whether the browser fetched a link at all
// and how often a form was posted.

import http from "node:http";

// Bodies of known size, so a completed download can be told from a partial one.
export const FILES = {
  "/files/tool.zip": { type: "application/zip", size: 48_000 },
  "/files/pack.7z": { type: "application/x-7z-compressed", size: 48_000 },
  "/files/setup.msi": { type: "application/x-msi", size: 48_000 },
  "/files/notes.csv": { type: "text/csv", size: 2_000, attachment: "" },
  // The URL names no file: only the header does. Sent slowly, so Firefox is
  // still writing it when the answer comes.
  "/get?id=4": { type: "application/octet-stream", size: 512_000, attachment: "setup-2.4.exe", chunks: 8, chunkMs: 100 },
  "/manual.pdf": { type: "application/pdf", size: 8_000 },
  "/files/late.zip": { type: "application/zip", size: 48_000 },
  "/files/late.pdf": { type: "application/pdf", size: 8_000 },
  // A form's answer: only a POST gets the file, a GET of the URL gets 405.
  "/export": { type: "application/zip", size: 48_000, attachment: "export.zip", post: true },
  // A form answered 303: the file is then an ordinary GET of its own URL.
  "/export-303": { post: true, seeOther: "/files/report.zip" },
  "/files/report.zip": { type: "application/zip", size: 48_000 },
  // Accepted files of their own for the cases of the switch, the site rule
  // and the policy: a file one case left must not meet another's.
  "/files/switched-off.zip": { type: "application/zip", size: 48_000 },
  "/files/kept-site.zip": { type: "application/zip", size: 48_000 },
  "/files/switched-on.zip": { type: "application/zip", size: 48_000 },
  "/files/policy.zip": { type: "application/zip", size: 48_000 },
  // A name with a letter outside ASCII, escaped in the URL as UTF-8.
  "/files/%C3%9Cbersicht.zip": { type: "application/zip", size: 48_000 },
};

// What each form posts.
export const FORM_BODY = "secret=s3cr3t&n=42";

const PAGE = `<!doctype html>
<html><head><meta charset="utf-8"><title>Downloads</title>
<style>a { display: block; margin: 6px 12px; font: 16px sans-serif; }</style></head>
<body>
<a id="tool-zip" href="/files/tool.zip">tool.zip</a>
<a id="pack-7z" href="/files/pack.7z">pack.7z</a>
<a id="setup-msi" href="/files/setup.msi">setup.msi</a>
<a id="notes-csv" href="/files/notes.csv">notes.csv</a>
<a id="by-header" href="/get?id=4">the latest setup</a>
<a id="guide" href="/guide.html">guide</a>
<a id="manual-pdf" href="/manual.pdf">manual.pdf</a>
<a id="late-zip" href="/files/late.zip">late.zip</a>
<a id="late-pdf" href="/files/late.pdf">late.pdf</a>
<a id="non-ascii-zip" href="/files/%C3%9Cbersicht.zip">Übersicht.zip</a>
<a id="switched-off-zip" href="/files/switched-off.zip">switched-off.zip</a>
<a id="kept-site-zip" href="/files/kept-site.zip">kept-site.zip</a>
<a id="switched-on-zip" href="/files/switched-on.zip">switched-on.zip</a>
<a id="policy-zip" href="/files/policy.zip">policy.zip</a>
<form method="post" action="/export"><input type="hidden" name="secret" value="s3cr3t"><input type="hidden" name="n" value="42"><button id="post-export">export</button></form>
<form method="post" action="/export-303"><input type="hidden" name="secret" value="s3cr3t"><input type="hidden" name="n" value="42"><button id="post-see-other">report</button></form>
</body></html>`;

const GUIDE = "<!doctype html><title>Guide</title><p>A page, not a download.</p>";

export class FixtureServer {
  #server;
  #fetches = [];

  get origin() {
    const { port } = this.#server.address();
    return `http://127.0.0.1:${port}`;
  }

  // Requests seen so far: { path, at, method, body } in arrival order.
  get fetches() {
    return [...this.#fetches];
  }

  fetched(path) {
    return this.#fetches.some((fetch) => fetch.path === path);
  }

  async start() {
    this.#server = http.createServer((request, response) => this.#serve(request, response));
    await new Promise((resolve) => this.#server.listen(0, "127.0.0.1", resolve));
    return this;
  }

  async stop() {
    this.#server.closeAllConnections();
    await new Promise((resolve) => this.#server.close(resolve));
  }

  #serve(request, response) {
    const chunks = [];
    request.on("data", (chunk) => chunks.push(chunk));
    request.on("end", () => this.#answer(request, Buffer.concat(chunks).toString("latin1"), response));
  }

  #answer(request, body, response) {
    this.#fetches.push({ path: request.url, at: Date.now(), method: request.method, body });
    if (request.url === "/" || request.url === "/index.html") return sendText(response, "text/html", PAGE);
    if (request.url === "/guide.html") return sendText(response, "text/html", GUIDE);
    const file = FILES[request.url];
    if (!file) {
      response.writeHead(404).end();
      return;
    }
    if ((request.method === "POST") !== (file.post === true)) {
      response.writeHead(405).end();
      return;
    }
    if (file.seeOther) {
      response.writeHead(303, { location: file.seeOther, "cache-control": "no-store" }).end();
      return;
    }
    const headers = { "content-type": file.type, "content-length": file.size, "cache-control": "no-store" };
    if (file.attachment !== undefined) {
      headers["content-disposition"] = file.attachment ? `attachment; filename="${file.attachment}"` : "attachment";
    }
    response.writeHead(200, headers);
    sendBody(response, file);
  }
}

function sendText(response, type, text) {
  response.writeHead(200, { "content-type": `${type}; charset=utf-8`, "cache-control": "no-store" }).end(text);
}

function sendBody(response, { size, chunks = 1, chunkMs = 0 }) {
  const chunk = Math.ceil(size / chunks);
  let sent = 0;
  const next = () => {
    if (response.destroyed) return;
    const length = Math.min(chunk, size - sent);
    sent += length;
    if (sent >= size) {
      response.end(Buffer.alloc(length, 0x5a));
      return;
    }
    response.write(Buffer.alloc(length, 0x5a));
    setTimeout(next, chunkMs);
  };
  next();
}
