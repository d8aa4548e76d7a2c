// What the host's hello answer tells the extension before any click.

// The modifier keys a click reports, as the host names them, in sorted order.
export const MODIFIER_KEYS = Object.freeze(["alt", "ctrl", "meta", "shift"]);

// A key combination as a sorted list of modifier names, or null when it can
// never match a click: not a list, an unknown or repeated key, or no key at
// all (an empty combination would claim every plain click).
export function keyCombination(value) {
  if (!Array.isArray(value) || value.length === 0) return null;
  if (!value.every((key) => MODIFIER_KEYS.includes(key))) return null;
  if (new Set(value).size !== value.length) return null;
  return [...value].sort();
}

// What the host understands: a host that does not say speaks protocol 1
// (no `method`, no `go`).
export function protocolOf(value) {
  return Number.isInteger(value) && value >= 1 ? value : 1;
}

export function helloSettings(message) {
  return {
    version: typeof message.version === "string" ? message.version : null,
    protocol: protocolOf(message.protocol),
    keysToAdd: keyCombination(message.keysToAdd),
    keysToIgnore: keyCombination(message.keysToIgnore),
    useCtrlAlt: message.useCtrlAlt === true,
    // Null from a host older than the field.
    acceptingTypes: Array.isArray(message.acceptingTypes) ? message.acceptingTypes.filter((type) => typeof type === "string") : null,
  };
}
