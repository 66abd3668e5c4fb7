// The page's language, chosen or the browser's, and what the page says in it.
import { store, stored } from "./storage.js";
import { texts } from "./texts.js";

const languageKey = "bmp2data.language";

function browserLanguage() {
  for (const tag of navigator.languages ?? [navigator.language]) {
    if (/^pt\b/i.test(tag)) return "pt";
    if (/^en\b/i.test(tag)) return "en";
  }
  return "en";
}

export let language = texts[stored(languageKey)] ? stored(languageKey) : browserLanguage();

// Chosen on the page: in force at once, and remembered.
export function chooseLanguage(chosen) {
  language = chosen;
  store(languageKey, language);
}

export function say(key, ...values) {
  const text = texts[language][key];
  return typeof text === "function" ? text(...values) : text;
}

// The fixed texts of the page, or of one card.
export function translate(root) {
  for (const element of root.querySelectorAll("[data-i18n]")) {
    element.textContent = say(element.dataset.i18n);
  }
  // Only the page's own texts, never a file's, are put in as markup.
  for (const element of root.querySelectorAll("[data-i18n-html]")) {
    element.innerHTML = say(element.dataset.i18nHtml);
  }
  for (const element of root.querySelectorAll("[data-i18n-aria-label]")) {
    element.setAttribute("aria-label", say(element.dataset.i18nAriaLabel));
  }
}
