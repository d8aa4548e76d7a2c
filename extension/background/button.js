// The toolbar button: its icon and badge show normal, off or a problem at
// a glance, and for a few seconds after a hand-over the badge says so.

export const SENT_BADGE_MS = 4000;
const ICON_SIZES = [16, 32, 48, 128];
const BADGE_KEYS = { off: "badgeOff", problem: "badgeProblem", normal: "" };
const BADGE_COLORS = { off: "#6b6b6b", problem: "#b3261e", normal: "#1b6e3a", sent: "#1b6e3a" };

export class Button {
  #action;
  #message;
  #timers;
  #state = "normal";
  #flash = null;

  // action: the browser's action API; message(key): a text of _locales.
  constructor(action, message, timers) {
    this.#action = action;
    this.#message = message;
    this.#timers = timers;
  }

  show(state) {
    this.#state = state;
    const path = Object.fromEntries(ICON_SIZES.map((size) => [size, `/icons/vrpph-${state}-${size}.png`]));
    // The icons come with the built extension; without them the browser keeps its own.
    Promise.resolve(this.#action?.setIcon?.({ path })).catch(() => {});
    if (this.#flash === null) this.#badge(state);
  }

  sent() {
    if (this.#flash !== null) this.#timers.clear(this.#flash);
    this.#badge("sent");
    this.#flash = this.#timers.set(() => {
      this.#flash = null;
      this.#badge(this.#state);
    }, SENT_BADGE_MS);
  }

  #badge(kind) {
    const key = kind === "sent" ? "badgeSent" : BADGE_KEYS[kind];
    const text = key ? this.#message(key) : "";
    Promise.resolve(this.#action?.setBadgeText?.({ text })).catch(() => {});
    Promise.resolve(this.#action?.setBadgeBackgroundColor?.({ color: BADGE_COLORS[kind] })).catch(() => {});
  }
}
