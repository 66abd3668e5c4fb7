// The cards on the page, in their order.
import { say } from "./language.js";

export const cards = new Set();

// A card's name as the page says it: its file's, and where two cards hold
// files of one name, its place among them.
export function cardName(card) {
  const namesakes = [...cards].filter((other) => other.file.name === card.file.name);
  return namesakes.length < 2 ? card.file.name
    : say("cardNumbered", card.file.name, namesakes.indexOf(card) + 1);
}
