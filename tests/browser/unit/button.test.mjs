import assert from "node:assert/strict";
import { describe, it } from "node:test";
import { Button, SENT_BADGE_MS } from "../../../extension/background/button.js";

// An action API that records the badge and icon, and rejects setIcon as a
// browser does while the icon files are missing.
function fakeAction() {
  const seen = { text: null, color: null, icons: [] };
  return {
    seen,
    setBadgeText: ({ text }) => {
      seen.text = text;
      return Promise.resolve();
    },
    setBadgeBackgroundColor: ({ color }) => {
      seen.color = color;
      return Promise.resolve();
    },
    setIcon: ({ path }) => {
      seen.icons.push(path);
      return Promise.reject(new Error("Failed to fetch"));
    },
  };
}

function timers() {
  const due = [];
  return {
    set: (run, ms) => {
      const timer = { run, ms };
      due.push(timer);
      return timer;
    },
    clear: (timer) => {
      const at = due.indexOf(timer);
      if (at >= 0) due.splice(at, 1);
    },
    runAll: () => due.splice(0).forEach((timer) => timer.run()),
    due,
  };
}

const MESSAGES = { badgeSent: "sent", badgeOff: "off", badgeProblem: "!" };

describe("the toolbar button", () => {
  it("shows off, problem and normal by its badge and its icon of that state", () => {
    const action = fakeAction();
    const button = new Button(action, (key) => MESSAGES[key], timers());
    for (const [state, text] of [["off", "off"], ["problem", "!"], ["normal", ""]]) {
      button.show(state);
      assert.equal(action.seen.text, text, state);
      assert.equal(action.seen.icons.at(-1)[16], `/icons/vrpph-${state}-16.png`);
      assert.deepEqual(Object.keys(action.seen.icons.at(-1)), ["16", "32", "48", "128"]);
    }
  });

  it("says sent for a few seconds, then the state it has by then; a second hand-over restarts the time", () => {
    const action = fakeAction();
    const clock = timers();
    const button = new Button(action, (key) => MESSAGES[key], clock);
    button.show("normal");
    button.sent();
    assert.equal(action.seen.text, "sent");
    assert.equal(clock.due[0].ms, SENT_BADGE_MS);
    button.sent();
    assert.equal(clock.due.length, 1, "one timer, not two");
    // The state changes while the badge says sent: it waits its turn.
    button.show("off");
    assert.equal(action.seen.text, "sent");
    clock.runAll();
    assert.equal(action.seen.text, "off");
  });

  it("works without an action API at all", () => {
    const button = new Button(undefined, (key) => MESSAGES[key], timers());
    button.show("problem");
    button.sent();
  });
});
