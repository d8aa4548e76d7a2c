// Watches the page's link clicks. Each one is noted to the background, so
// that a download it starts is sent with its keys; one made with the keys
// that force a hand-over is stopped here and sent as a link instead.
//
// The forcing keys must be known before the click, since the browser's own
// navigation can only be stopped synchronously: the background stores them
// once the host has answered hello, and clears them when the host is gone.

(() => {
  const api = globalThis.browser ?? globalThis.chrome;
  let forceKeys = null;

  api.storage.local.get("forceKeys").then(
    (stored) => {
      forceKeys = stored.forceKeys ?? null;
    },
    () => {},
  );
  api.storage.onChanged.addListener((changes, area) => {
    if (area === "local" && "forceKeys" in changes) forceKeys = changes.forceKeys.newValue ?? null;
  });

  // The capture phase on the window runs before any handler of the page.
  window.addEventListener("click", onClick, true);

  function onClick(event) {
    const url = vrpphClickKeys.linkOfEvent(event);
    if (url === null || !event.isTrusted) return;
    const keys = vrpphClickKeys.keysOfEvent(event);
    if (!vrpphClickKeys.isForcingClick(event, forceKeys)) {
      send({ type: "click", url, keys, pageUrl: location.href });
      return;
    }
    event.preventDefault();
    event.stopImmediatePropagation();
    send({ type: "link", url, keys, pageUrl: location.href }).then((reply) => {
      // The host did not take it: do what the click would have done.
      if (reply?.goOn !== false) location.assign(url);
    });
  }

  function send(message) {
    // The background may be restarting; a lost message must not break the page.
    return api.runtime.sendMessage(message).catch(() => undefined);
  }
})();
