// Compares what a click led to with what its run expects (see cases.mjs).
// Returns the differences as plain sentences; none means the case passed.

import { isDeepStrictEqual } from "node:util";

export function differences(observed, expected, url) {
  const found = [];
  if (expected.sent === null && observed.sent !== null) {
    found.push(`expected no request, the extension sent ${JSON.stringify(observed.sent)}`);
  }
  if (expected.sent) {
    if (observed.sent === null) found.push(`expected a ${expected.sent.type} request, none was sent`);
    else {
      for (const [field, value] of Object.entries({ ...expected.sent, url })) {
        if (!isDeepStrictEqual(observed.sent[field], value)) {
          found.push(`request ${field}: expected ${JSON.stringify(value)}, sent ${JSON.stringify(observed.sent[field])}`);
        }
      }
    }
  }
  for (const field of ["final", "hostReason", "confirmed", "download", "navigated", "fetched", "newHost", "posts"]) {
    if (field in expected && !isDeepStrictEqual(observed[field], expected[field])) {
      found.push(`${field}: expected ${JSON.stringify(expected[field])}, observed ${JSON.stringify(observed[field])}`);
    }
  }
  if (observed.leftovers?.length > 0) found.push(`partial files left: ${observed.leftovers.join(", ")}`);
  return found;
}
