// The request messages the extension sends the host, built from what either
// browser family tells about a download or a clicked link.

export const HAND_OVER_SCHEMES = new Set(["http:", "https:", "ftp:"]);

// Only these schemes can reach Trevalon; blob:, data: and file: downloads
// stay with the browser without asking.
export function isHandOverUrl(url) {
  if (typeof url !== "string") return false;
  try {
    return HAND_OVER_SCHEMES.has(new URL(url).protocol);
  } catch {
    return false;
  }
}

// The file's name without its folder; either browser may give a full path.
export function baseName(path) {
  if (typeof path !== "string") return null;
  const name = path.split(/[\\/]/).pop();
  return name === "" ? null : name;
}

// The URL a download is fetched from: Chromium's finalUrl after redirects,
// else the URL it started with.
export function downloadUrl(item) {
  return nonEmpty(item.finalUrl) ?? item.url;
}

// Whether a download the browser started should be put to the host: one of
// our own downloads, or one of a scheme Trevalon cannot fetch, is not.
export function wantsHandOver(item, ownExtensionId) {
  if (ownExtensionId && item.byExtensionId === ownExtensionId) return false;
  return isHandOverUrl(downloadUrl(item));
}

// item: a DownloadItem of either family; click: what the page noted about
// the click that started it ({ keys, tabUrl }), when known; method: the
// HTTP method of its request, when learnt.
export function downloadRequest(id, item, click, method) {
  const request = { id, type: "download", url: downloadUrl(item) };
  copyText(request, "method", method);
  copyText(request, "tabUrl", click?.tabUrl);
  copyText(request, "referrer", item.referrer);
  copyText(request, "filename", baseName(item.filename));
  copyText(request, "mime", item.mime);
  if (Array.isArray(click?.keys)) request.keys = [...click.keys];
  return request;
}

// referrer: the document the link is in, when it is not the tab's (a link
// in a frame, picked from the context menu).
export function linkRequest(id, { url, tabUrl, referrer, keys }) {
  const request = { id, type: "link", url };
  copyText(request, "tabUrl", tabUrl);
  copyText(request, "referrer", referrer);
  if (Array.isArray(keys)) request.keys = [...keys];
  return request;
}

function nonEmpty(value) {
  return typeof value === "string" && value !== "" ? value : null;
}

function copyText(request, field, value) {
  const text = nonEmpty(value);
  if (text !== null) request[field] = text;
}
