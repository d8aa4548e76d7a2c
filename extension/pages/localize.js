// Puts the texts of _locales into a page: an element's data-i18n names the
// message for its text, data-i18n-aria-label (and -title, -placeholder)
// those for its attributes. The page's language and direction follow.

export const api = globalThis.browser ?? globalThis.chrome;

export function message(key, substitutions) {
  return api.i18n.getMessage(key, substitutions) || key;
}

const ATTRIBUTES = ["aria-label", "title", "placeholder"];

export function localize(root = document) {
  for (const element of root.querySelectorAll("[data-i18n]")) element.textContent = message(element.dataset.i18n);
  for (const name of ATTRIBUTES) {
    const data = `data-i18n-${name}`;
    for (const element of root.querySelectorAll(`[${data}]`)) element.setAttribute(name, message(element.getAttribute(data)));
  }
  if (root === document) {
    document.documentElement.lang = api.i18n.getUILanguage();
    document.documentElement.dir = message("@@bidi_dir");
  }
}

// A line of text from a message key and its substitutions ([key, ...subs]).
export function text([key, ...substitutions]) {
  return message(key, substitutions.map(String));
}
