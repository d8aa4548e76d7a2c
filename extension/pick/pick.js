// The pick page: the links a menu entry gathered, filtered by type and text,
// chosen one by one, and handed over by this page's own button alone.

import { describe, passes, typesOf, PICK_CAP } from "../lib/link_list.js";
import { api, localize, message as localMessage } from "../pages/localize.js";

const BATCH_PORT = "vrpph-batch";
const message = (key, substitutions = []) => localMessage(key, substitutions.map(String));
const byId = (id) => document.getElementById(id);

// One line of the list: its entry, what is shown of it, and its elements.
function makeRow(entry, kind, serial) {
  const described = describe(entry);
  const row = document.createElement("li");
  const box = document.createElement("input");
  box.type = "checkbox";
  box.id = `pick-${serial}`;
  const cells = ["check", "name", "type", "host", "outcome"].map((name) => {
    const cell = document.createElement("span");
    cell.className = name;
    row.append(cell);
    return cell;
  });
  cells[0].append(box);
  const label = document.createElement("label");
  label.htmlFor = box.id;
  label.textContent = described.name || entry.url;
  label.title = entry.url;
  cells[1].append(label);
  cells[2].textContent = described.type;
  cells[3].textContent = described.host;
  return { entry, kind, described, row, box, outcome: cells[4], shown: true };
}

function header(head) {
  for (const key of ["", "pickColumnFile", "pickColumnType", "pickColumnHost", "pickColumnOutcome"]) {
    const cell = document.createElement("span");
    cell.textContent = key ? message(key) : "";
    head.append(cell);
  }
}

class PickPage {
  #rows = [];
  #typeBoxes = new Map();
  #sending = false;

  constructor(list) {
    const entries = [...list.links.map((entry) => [entry, "links"]), ...list.media.map((entry) => [entry, "media"])];
    this.#rows = entries.map(([entry, kind], serial) => makeRow(entry, kind, serial));
    if (list.pageUrl) byId("from").textContent = message("pickFrom", [list.pageUrl]);
    if (list.truncated) {
      byId("capped").textContent = message("pickCapped", [PICK_CAP]);
      byId("capped").hidden = false;
    }
    if (this.#rows.length === 0) {
      byId("empty").hidden = false;
      return;
    }
    this.#types(list.acceptingTypes ?? []);
    for (const kind of ["links", "media"]) {
      const list = byId(kind);
      const rows = this.#rows.filter((row) => row.kind === kind);
      byId(`${kind}-group`).hidden = rows.length === 0;
      header(list.previousElementSibling);
      const fragment = document.createDocumentFragment();
      for (const row of rows) fragment.append(row.row);
      list.append(fragment);
    }
    byId("filters").hidden = false;
    byId("chooser").hidden = false;
    byId("filters").addEventListener("submit", (event) => event.preventDefault());
    byId("filters").addEventListener("input", () => this.#filter());
    byId("all").addEventListener("click", () => this.#selectShown(true));
    byId("none").addEventListener("click", () => this.#selectShown(false));
    byId("links").addEventListener("change", () => this.#count());
    byId("media").addEventListener("change", () => this.#count());
    byId("hand-over").addEventListener("click", (event) => this.#handOver(event));
    this.#filter();
  }

  // The list's types, accepted ones first and checked; when the list holds
  // no accepted type at all, every type is checked, so it never opens empty.
  #types(acceptingTypes) {
    const types = typesOf(this.#rows.map((row) => row.described), acceptingTypes);
    const anyAccepted = types.some((type) => type.accepted);
    for (const { type, accepted } of types) {
      const label = document.createElement("label");
      const box = document.createElement("input");
      box.type = "checkbox";
      box.checked = accepted || !anyAccepted;
      box.dataset.type = type;
      label.append(box, ` ${type || message("pickNoType")}`);
      byId("types").append(label);
      this.#typeBoxes.set(type, box);
    }
  }

  #filter() {
    const types = new Set([...this.#typeBoxes].filter(([, box]) => box.checked).map(([type]) => type));
    const filters = { types, text: byId("text").value };
    for (const row of this.#rows) {
      row.shown = passes(row.entry, row.described, filters);
      row.row.hidden = !row.shown;
    }
    this.#count();
  }

  #selectShown(selected) {
    if (this.#sending) return;
    for (const row of this.#rows) if (row.shown) row.box.checked = selected;
    this.#count();
  }

  #chosen() {
    return this.#rows.filter((row) => row.shown && row.box.checked);
  }

  #count() {
    const shown = this.#rows.filter((row) => row.shown).length;
    const chosen = this.#chosen().length;
    byId("count").textContent = message("pickCount", [chosen, shown]);
    const button = byId("hand-over");
    button.textContent = message("pickHandOver", [chosen]);
    button.disabled = this.#sending || chosen === 0;
  }

  // Only the user's own press of this button hands anything over.
  #handOver(event) {
    if (!event.isTrusted || this.#sending) return;
    const chosen = this.#chosen();
    if (chosen.length === 0) return;
    this.#sending = true;
    for (const row of this.#rows) row.box.disabled = true;
    this.#count();
    byId("progress").textContent = message("pickSending");
    const port = api.runtime.connect({ name: BATCH_PORT });
    // What got no outcome by the end says so.
    const finish = () => {
      for (const row of chosen) {
        if (row.outcome.textContent !== "") continue;
        row.outcome.textContent = message("pickOutcomeNoAnswer");
        row.row.className = "failed";
      }
      const taken = chosen.filter((row) => row.sent).length;
      byId("progress").textContent = message("pickFinished", [taken, chosen.length]);
    };
    port.onDisconnect.addListener(finish);
    port.onMessage.addListener((answer) => {
      for (const outcome of answer.outcomes ?? []) {
        const row = chosen[outcome.index];
        if (!row) continue;
        row.outcome.textContent = message(outcome.words);
        row.outcome.title = outcome.reason ?? "";
        row.row.className = outcome.state === "taken" ? "taken" : "failed";
        // The last answer repeats what progress told: a row counts once.
        row.sent = outcome.state === "taken" && outcome.sent !== false;
      }
      if (answer.done) {
        finish();
        port.disconnect();
      }
    });
    port.postMessage({ links: chosen.map(({ entry }) => ({ url: entry.url, referrer: entry.referrer, filename: entry.filename })) });
  }
}

function readList(text) {
  try {
    const list = typeof text === "string" ? JSON.parse(text) : null;
    return Array.isArray(list?.links) && Array.isArray(list?.media) ? list : null;
  } catch {
    return null;
  }
}

async function start() {
  localize();
  document.title = message("pickTitle");
  const key = decodeURIComponent(location.hash.slice(1));
  const stored = key ? readList((await api.storage.session.get(key))[key]) : null;
  if (!stored) {
    byId("gone").hidden = false;
    return;
  }
  new PickPage(stored);
  performance.mark("list-built");
}

start();
