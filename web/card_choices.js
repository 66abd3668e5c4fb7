// A card's choices for the display: size, fit, filter, colours and the key
// colour of transparent pixels, with the palette to pick it from.
"use strict";

class CardChoices {
  constructor(card) {
    this.card = card;
    this.part = card.part;
    this.part(".fitting").addEventListener("change", () => this.changed());
    this.part(".palette").addEventListener("toggle", () => this.showPalette(), { once: true });
  }

  values() {
    const choice = (name) => this.part(`.${name}`).value;
    return { size: choice("size"), columns: Number(choice("columns")), rows: Number(choice("rows")),
             fit: choice("fit"), filter: choice("filter"), colors: choice("colors"),
             transparent: choice("transparent"), key: keyByte(choice("key")) };
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
    this.showKey(choices.key);
  }

  async showKey(key) {
    const colours = await byteColours;
    this.part(".swatch").style.background = colours[key];
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

  // A choice changed: remembered, applied to every picture if asked, and the
  // picture converted again (a newer change supersedes an older one).
  changed() {
    const choices = this.values();
    store(fittingKey, JSON.stringify(choices));
    const targets = sameForAll.checked ? [...cards].filter((card) => card.kind !== "data")
      : [this.card];
    for (const card of targets) {
      card.choices.show(choices);
      if (card.reply) card.reconvert();
    }
  }
}
