// "Download all": one .data file holding every ready picture card's text,
// one after another in the cards' order. It waits while a card is still
// converting, leaves out failed cards and cards without a label (and names
// them), and is withheld while two labels in it would be equal, since
// assemblers refuse a label defined twice. Withheld, it says why.
import { cardName, cards } from "./cards.js";
import { offer, withdraw } from "./downloads.js";
import { say } from "./language.js";

const allPart = document.getElementById("all");
const allLink = allPart.querySelector("a");
const allName = allPart.querySelector("input");
const allStatus = allPart.querySelector(".all-status");
let allNameEdited = false;

allName.addEventListener("input", () => {
  allNameEdited = true;
  offerAll();
});

// Whether a card cut into frames defines LABEL_number (frames keep their
// numbers when empty ones are skipped; the numbers are in order).
function definesFrame(card, number) {
  const numbers = card.text.frameStarts.numbers;
  let [low, high] = [0, numbers.length];
  while (low < high) {
    const middle = (low + high) >> 1;
    if (numbers[middle] < number) low = middle + 1;
    else high = middle;
  }
  return numbers[low] === number;
}

// The labels a card not cut into frames defines: its label, or cut into
// tiles, LABEL_tiles and LABEL_map.
function labelsOf(card) {
  const label = card.text.label;
  return card.text.tiles ? [`${label}_tiles`, `${label}_map`] : [label];
}

// The first label that two cards define, as [label, first card's name,
// second card's name], or null. A card cut into frames defines LABEL_N for
// each frame; such a label can only meet another card's label of that form
// (frame numbers are digits alone), so no frame's label is listed.
function labelClash(ready) {
  const listed = new Map();
  const framed = new Map();
  for (const card of ready) {
    if (card.text.frameStarts) {
      const owner = framed.get(card.text.label);
      if (owner) return [`${card.text.label}_…`, cardName(owner), cardName(card)];
      framed.set(card.text.label, card);
      continue;
    }
    for (const label of labelsOf(card)) {
      const owner = listed.get(label);
      if (owner) return [label, cardName(owner), cardName(card)];
      listed.set(label, card);
    }
  }
  for (const [label, card] of listed) {
    const [, base, number] = /^(.*)_(\d+)$/s.exec(label) ?? [];
    const sheet = base === undefined ? undefined : framed.get(base);
    if (sheet && String(Number(number)) === number && definesFrame(sheet, Number(number))) {
      return [label, cardName(sheet), cardName(card)];
    }
  }
  return null;
}

// The file's name as typed, ending in ".data".
function allFileName() {
  const name = allName.value.trim();
  return name === "" || /\.data$/i.test(name) ? name : `${name}.data`;
}

// Called whenever a card, its label or the language changes.
export function offerAll() {
  if (!allNameEdited) allName.value = say("allName");
  const pictures = [...cards].filter((card) => card.kind !== "data");
  allPart.hidden = pictures.length === 0;
  const converted = pictures.filter((card) => card.reply?.ok && card.text.text && !card.stage);
  const unlabelled = converted.filter((card) => card.text.label === "");
  const ready = converted.filter((card) => card.text.label !== "");
  const failed = pictures.filter((card) => card.reply && !card.reply.ok && !card.stage);
  const waiting = pictures.length - converted.length - failed.length;
  const clash = waiting === 0 ? labelClash(ready) : null;
  const names = (list) => list.map(cardName).join(", ");
  const says = [];
  if (waiting > 0) says.push(say("allWaiting", converted.length, pictures.length));
  if (failed.length > 0) says.push(say("allLeftOut", names(failed)));
  if (unlabelled.length > 0) says.push(say("allNoLabel", names(unlabelled)));
  if (clash) says.push(say("allClash", ...clash));
  if (waiting === 0 && ready.length === 0) says.push(say("allNothing"));
  if (allFileName() === "") says.push(say("allNoName"));
  allStatus.textContent = says.join(" ");
  if (waiting > 0 || clash || ready.length === 0 || allFileName() === "") {
    withdraw(allLink);
    allLink.textContent = say("downloadAll");
    allLink.setAttribute("aria-disabled", "true");
    return;
  }
  offer(allLink, allFileName(), new Blob(ready.map((card) => card.text.text), { type: "text/plain" }));
  allLink.textContent = say("downloadAll");
  allLink.removeAttribute("aria-disabled");
}
