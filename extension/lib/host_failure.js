// What the browsers say when a native host cannot be used, told apart as
// far as their words allow:
//   Chromium (runtime.lastError on the port's disconnect):
//     "Specified native messaging host not found."            not-found
//     "Access to the specified native messaging host is forbidden."  forbidden
//     "Native host has exited."                                exited
//     "Failed to start native messaging host."                 exited
//     "Error when communicating with the native messaging host." broken
//   Firefox (the port's error): "No such native application NAME" both when
//   no manifest is found and when its allowed_extensions lacks this add-on
//   (only its console tells them apart), so there it is not-found-or-forbidden;
//   a host that ends leaves the port's error empty.

const RULES = [
  [/native messaging host not found/i, "not-found"],
  [/No such native application/i, "not-found-or-forbidden"],
  [/forbidden|does not have permission/i, "forbidden"],
  [/Failed to start native messaging host|Native host has exited/i, "exited"],
  [/Error when communicating with the native messaging host/i, "broken"],
];

// reason: the browser's words (or "disconnected" when it gave none);
// answered: whether this port's host had answered hello.
export function hostFailure(reason, answered) {
  const text = typeof reason === "string" ? reason : "";
  for (const [pattern, kind] of RULES) if (pattern.test(text)) return kind;
  // A host that answered and then went away is restarted by the next
  // request; one that never answered closed at once.
  return answered ? "closed" : "exited";
}
