// Two versions match when their first three numbers match: the fourth is
// the build, which may differ between the host and the extension.
export function versionsMatch(a, b) {
  const first = (version) => {
    if (typeof version !== "string") return null;
    const parts = version.split(".");
    if (parts.length < 3 || !parts.slice(0, 3).every((part) => /^\d+$/.test(part))) return null;
    return parts.slice(0, 3).map(Number).join(".");
  };
  const left = first(a);
  return left !== null && left === first(b);
}
