// What a link click means for the bridge, from the click event alone.
// A classic script (content scripts cannot be modules): its one name is
// shared with click_watch.js, which the manifest loads after it.

const vrpphClickKeys = (() => {
  // Sorted, as the host sorts a key combination.
  const MODIFIERS = [
    ["alt", "altKey"],
    ["ctrl", "ctrlKey"],
    ["meta", "metaKey"],
    ["shift", "shiftKey"],
  ];
  const LINK_SCHEMES = ["http:", "https:", "ftp:"];

  function keysOfEvent(event) {
    return MODIFIERS.filter(([, flag]) => event[flag] === true).map(([name]) => name);
  }

  // combination is the host's sorted list, or null for one that never
  // matches; so is an empty one, which would claim every plain click.
  function sameKeys(keys, combination) {
    if (!Array.isArray(combination) || combination.length === 0) return false;
    if (combination.length !== keys.length) return false;
    return keys.every((key, index) => key === combination[index]);
  }

  // The address of the link the click landed on (the click's target may be
  // an element inside the link), or null when it is no link Trevalon could
  // fetch.
  function linkOfEvent(event) {
    const path = typeof event.composedPath === "function" ? event.composedPath() : [];
    const link = path.find((node) => isLinkElement(node));
    if (!link) return null;
    return LINK_SCHEMES.includes(link.protocol) ? link.href : null;
  }

  function isLinkElement(node) {
    const tag = typeof node?.tagName === "string" ? node.tagName.toUpperCase() : "";
    return (tag === "A" || tag === "AREA") && typeof node.href === "string" && node.href !== "";
  }

  // Only the user's own primary click can force a hand-over: a page cannot
  // fake one with a scripted event.
  function isForcingClick(event, forceKeys) {
    return event.isTrusted === true && event.button === 0 && sameKeys(keysOfEvent(event), forceKeys);
  }

  return Object.freeze({ keysOfEvent, sameKeys, linkOfEvent, isForcingClick });
})();
