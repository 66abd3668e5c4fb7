// A card's choices for the display: size, fit, filter, colours and the key
// colour of transparent pixels, with the palette to pick it from. A new card
// starts as the command line converts; the last choices made are remembered
// and offered, never applied unasked. While "same choices for all" is
// ticked, a change on one card is made on every picture card, and a card
// added later starts with the changes last made.
import { cards } from "./cards.js";
import { byteColours } from "./files.js";
import { say } from "./language.js";
import { store, stored } from "./storage.js";

const fittingKey = "bmp2data.fitting";
export const defaultChoices = { size: "original", columns: "320", rows: "240", fit: "inside",
                         filter: "smooth", colors: "nearest", transparent: "keep", key: "199" };
export const sameForAll = document.getElementById("same-for-all");
// What "same choices for all" last gave every card: {choices, frames, tiles}.
export const sharedChoices = {};

sameForAll.addEventListener("change", () => {
  if (!sameForAll.checked) {
    delete sharedChoices.choices;
    delete sharedChoices.frames;
    delete sharedChoices.tiles;
  }
});

// The choices last made on any card, as typed, or null where none differ
// from the command line's.
function rememberedChoices() {
  try {
    const remembered = JSON.parse(stored(fittingKey) ?? "null");
    if (remembered === null || typeof remembered !== "object") return null;
    const choices = Object.fromEntries(Object.entries(defaultChoices).map(
      ([name, value]) => [name, name in remembered ? String(remembered[name]) : value]));
    return sameChoices(choices, defaultChoices) ? null : choices;
  } catch {
    return null;
  }
}

function sameChoices(one, other) {
  return Object.keys(defaultChoices).every((name) => String(one[name]) === String(other[name]));
}

// The choices in words, for the button that offers them.
function choicesInWords(choices) {
  const option = (name, value) => say(`${name}${value[0].toUpperCase()}${value.slice(1)}`);
  const words = [];
  if (choices.size === "original") {
    words.push(say("sizeOriginalWords"));
  } else {
    const [columns, rows] = choices.size === "custom" ? [choices.columns, choices.rows]
      : choices.size.split("x");
    words.push(`${columns.trim()} × ${rows.trim()}`, option("fit", choices.fit),
               option("filter", choices.filter));
  }
  words.push(option("colors", choices.colors));
  if (choices.transparent === "key") words.push(say("keyWords", choices.key.trim()));
  return words.join(", ");
}

// What the worker is asked for: {columns, rows, fit, filter, colors, key},
// the numbers as typed; key absent where transparent pixels keep their colour.
export function fittingFor(choices) {
  const [columns, rows] = choices.size === "custom" ? [choices.columns, choices.rows]
    : choices.size === "original" ? ["", ""] : choices.size.split("x");
  return { columns, rows, fit: choices.size === "original" ? "original" : choices.fit,
           filter: choices.filter, colors: choices.colors,
           key: choices.transparent === "key" ? choices.key : undefined };
}

// A key colour as typed, as a colour byte; null where it is none.
export function keyByte(typed) {
  return /^\s*\d{1,3}\s*$/.test(typed) && Number(typed) <= 255 ? Number(typed) : null;
}

export class CardChoices {
  constructor(card) {
    this.card = card;
    this.part = card.part;
    this.part(".fitting").addEventListener("change", (event) => {
      if (!event.target.closest(".use-last")) this.changed();
    });
    this.part(".palette").addEventListener("toggle", () => this.showPalette(), { once: true });
    this.part(".use-last").addEventListener("click", () => {
      const remembered = rememberedChoices();
      if (remembered) this.changed(remembered);
    });
  }

  values() {
    const choice = (name) => this.part(`.${name}`).value;
    return Object.fromEntries(Object.keys(defaultChoices).map((name) => [name, choice(name)]));
  }

  show(choices) {
    for (const [name, value] of Object.entries(choices)) this.part(`.${name}`).value = value;
    const shown = (selector, visible) => {
      for (const part of this.card.view.querySelectorAll(`.fitting ${selector}`)) part.hidden = !visible;
    };
    shown(".resized", choices.size !== "original");
    shown(".custom", choices.size === "custom");
    // The transparency choice is offered for pictures that have transparent pixels.
    const transparent = Boolean(this.card.reply?.transparent);
    shown(".has-transparency", transparent);
    if (transparent) shown(".keyed", choices.transparent === "key");
    this.showKey(keyByte(choices.key));
    this.showOffer();
  }

  // The last choices, offered where they differ from the card's.
  showOffer() {
    const remembered = rememberedChoices();
    const button = this.part(".use-last");
    button.hidden = !remembered || sameChoices(remembered, this.values());
    if (!button.hidden) button.textContent = say("useLast", choicesInWords(remembered));
  }

  async showKey(key) {
    const colours = await byteColours;
    this.part(".swatch").style.background = key === null ? "transparent" : colours[key];
    this.part(".swatch").classList.toggle("none", key === null);
    for (const button of this.part(".swatches").children) {
      button.setAttribute("aria-pressed", String(Number(button.value) === key));
    }
  }

  // The 256 colour bytes, made when first opened.
  async showPalette() {
    const colours = await byteColours;
    const key = keyByte(this.part(".key").value);
    this.part(".swatches").replaceChildren(...colours.map((colour, value) => {
      const button = document.createElement("button");
      button.type = "button";
      button.value = value;
      button.style.background = colour;
      button.title = String(value);
      button.setAttribute("aria-label", say("paletteColour", value));
      button.setAttribute("aria-pressed", String(value === key));
      button.addEventListener("click", () => {
        this.part(".key").value = value;
        this.part(".key").dispatchEvent(new Event("change", { bubbles: true }));
      });
      return button;
    }));
  }

  // A choice changed (or `choices` given at once): remembered, made on every
  // picture card where asked, and the picture converted again (a newer change
  // supersedes an older one).
  changed(choices = this.values()) {
    store(fittingKey, JSON.stringify(choices));
    if (sameForAll.checked) sharedChoices.choices = choices;
    for (const card of cardsChanged(this.card)) {
      card.choices.show(choices);
      if (card.reply) card.reconvert();
    }
    for (const card of cards) card.choices?.showOffer();
  }
}

// The cards a change on `card` is made on.
export function cardsChanged(card) {
  return sameForAll.checked ? [...cards].filter((other) => other.kind !== "data") : [card];
}
