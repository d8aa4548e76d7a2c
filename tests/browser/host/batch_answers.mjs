// How the test double answers a `batch`, after its `go`, as the real host
// is to: each link in order, alone (one bad link does not stop the rest),
// Trevalon started once when needed, a `progress` answer every few links and
// one `done` listing every link's outcome by index.

const PROGRESS_EVERY = 5;
const SCHEMES = ["http:", "https:", "ftp:"];

function schemeOk(url) {
  try {
    return SCHEMES.includes(new URL(url).protocol);
  } catch {
    return false;
  }
}

const breaks = (text) => typeof text === "string" && /[\r\n\0]/.test(text);

// The record's FileName only when the link names the file otherwise than its URL.
function fileNameOf(link) {
  if (typeof link.filename !== "string" || link.filename === "") return undefined;
  const last = new URL(link.url).pathname.split("/").pop();
  return link.filename === last ? undefined : link.filename;
}

export class BatchRun {
  #claims;
  #deliver;
  #started = false;

  // claims(url): Trevalon already has it; deliver(record): hands it over.
  constructor({ claims, deliver }) {
    this.#claims = claims;
    this.#deliver = deliver;
  }

  // Whether Trevalon had to be started, over the life of the host.
  get started() {
    return this.#started;
  }

  static unconfirmed(request) {
    const links = Array.isArray(request.links) ? request.links : [];
    return { id: request.id, state: "done", outcomes: links.map((link) => ({ index: link?.index, state: "declined", reason: "not-confirmed" })) };
  }

  outcomeOf(link) {
    if (link === null || typeof link !== "object" || typeof link.url !== "string") return { state: "error", reason: "link without url" };
    if (breaks(link.url)) return { state: "error", reason: "url holds a line break" };
    if (breaks(link.filename)) return { state: "error", reason: "filename holds a line break" };
    if (!schemeOk(link.url)) return { state: "error", reason: "url is not http, https or ftp" };
    if (this.#claims(link.url)) return { state: "taken", sent: false };
    this.#started = true;
    const record = { URL: link.url };
    if (typeof link.referrer === "string") record.Referer = link.referrer;
    record.Path = "";
    const name = fileNameOf(link);
    if (name !== undefined) record.FileName = name;
    this.#deliver(record);
    return { state: "taken" };
  }

  run(request, write) {
    const { id } = request;
    if (!Array.isArray(request.links) || request.links.length === 0) {
      write({ id, state: "error", reason: "links is not a list of links" });
      return;
    }
    const all = [];
    let unsent = [];
    for (const link of request.links) {
      const outcome = { index: link?.index, ...this.outcomeOf(link) };
      all.push(outcome);
      unsent.push(outcome);
      if (unsent.length === PROGRESS_EVERY) {
        write({ id, state: "progress", outcomes: unsent });
        unsent = [];
      }
    }
    write({ id, state: "done", outcomes: all });
  }
}
