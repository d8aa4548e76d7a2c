// The transfer record Trevalon should receive for a click the host took:
// the URL; the page the user was on as Referer; Path=OPEN for a type whose
// remembered action is open, an empty Path for save; and FileName only
// where the browser's name differs from the URL's last path segment.

export function lastSegment(url) {
  return new URL(url).pathname.split("/").pop();
}

function extensionOf(name) {
  const dot = name.lastIndexOf(".");
  return dot < 0 ? "" : name.slice(dot + 1).toUpperCase();
}

// remembered: { TYPE: 0 (open) | 1 (save) }, as prepare-host stored them.
// Null when the type has no remembered action: the host would prompt.
export function expectedRecord({ url, referer, fileName, remembered }) {
  const name = fileName ?? lastSegment(url);
  const action = remembered[extensionOf(name)];
  if (action !== 0 && action !== 1) return null;
  const lines = [`URL=${url}`, `Referer=${referer}`, `Path=${action === 0 ? "OPEN" : ""}`];
  if (fileName && fileName !== lastSegment(url)) lines.push(`FileName=${fileName}`);
  return lines.join("\n");
}
