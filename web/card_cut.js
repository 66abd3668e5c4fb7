// What a card's Frames and Tiles groups share: boxes typed for one picture,
// not remembered, but made on every picture card while the same choices
// are made for all. A cut is asked where either of its two sizes is typed.
import { cardsChanged, sameForAll, sharedChoices } from "./card_choices.js";

export class CardCut {
  // `group`: the group's class, and its name among the card's parts and the
  // shared choices; `boxNames`: each box's class by its name in the
  // choices, the two sizes first.
  constructor(card, group, boxNames) {
    this.card = card;
    this.part = card.part;
    this.group = group;
    this.boxNames = boxNames;
    this.part(`.${group}`).addEventListener("change", () => this.changed());
  }

  // The boxes as typed (a tick box as ticked).
  boxes() {
    const boxes = {};
    for (const [name, box] of Object.entries(this.boxNames)) {
      const input = this.part(`.${box}`);
      boxes[name] = input.type === "checkbox" ? input.checked : input.value;
    }
    return boxes;
  }

  // What the core is asked, or undefined where the picture is not cut.
  values() {
    const boxes = this.boxes();
    const [width, height] = Object.keys(this.boxNames);
    return boxes[width].trim() === "" && boxes[height].trim() === "" ? undefined : boxes;
  }

  changed() {
    const boxes = this.boxes();
    if (sameForAll.checked) sharedChoices[this.group] = boxes;
    for (const card of cardsChanged(this.card)) {
      if (card !== this.card) card[this.group].showBoxes(boxes);
      card.showCuts();
      if (card.reply) card.reconvert();
    }
  }

  showBoxes(boxes) {
    for (const [name, box] of Object.entries(this.boxNames)) {
      const input = this.part(`.${box}`);
      input[input.type === "checkbox" ? "checked" : "value"] = boxes[name];
    }
  }
}
