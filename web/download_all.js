// "Download all": one .data file holding every ready picture card's text,
// one after another in the cards' order. It waits while a card is still
// converting, leaves failed cards out (and names them), and is withheld
// while two labels in it would be equal, since assemblers refuse a label
// defined twice.
"use strict";

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

// The first label that two cards define, as [label, first card's name,
// second card's name], or null. A card defines its label, or, cut into
// frames, LABEL_N for each frame; such a label can only meet another card's
// plain label (frame numbers are digits alone), so no label is listed.
function labelClash(ready) {
  const plain = new Map();
  const framed = new Map();
  for (const card of ready) {
    const owners = card.text.frameStarts ? framed : plain;
    const owner = owners.get(card.text.label);
    if (owner) return [card.text.frameStarts ? `${card.text.label}_…` : card.text.label,
                       owner.file.name, card.file.name];
    owners.set(card.text.label, card);
  }
  for (const [label, card] of plain) {
    const [, base, number] = /^(.*)_(\d+)$/s.exec(label) ?? [];
    const sheet = base === undefined ? undefined : framed.get(base);
    if (sheet && String(Number(number)) === number && definesFrame(sheet, Number(number))) {
      return [label, sheet.file.name, card.file.name];
    }
  }
  return null;
}

// Called whenever a card, its label or the language changes.
function offerAll() {
  if (!allNameEdited) allName.value = say("allName");
  const pictures = [...cards].filter((card) => card.kind !== "data");
  allPart.hidden = pictures.length === 0;
  const ready = pictures.filter((card) => card.reply?.ok && card.text.text && !card.stage);
  const failed = pictures.filter((card) => card.reply && !card.reply.ok && !card.stage);
  const waiting = pictures.length - ready.length - failed.length;
  const clash = waiting === 0 ? labelClash(ready) : null;
  const says = [];
  if (waiting > 0) says.push(say("allWaiting", ready.length, pictures.length));
  if (failed.length > 0) says.push(say("allLeftOut", failed.map((card) => card.file.name).join(", ")));
  if (clash) says.push(say("allClash", ...clash));
  allStatus.textContent = says.join(" ");
  if (waiting > 0 || clash || ready.length === 0 || allName.value === "") {
    withdraw(allLink);
    allLink.textContent = say("downloadAll");
    return;
  }
  offer(allLink, allName.value, new Blob(ready.map((card) => card.text.text), { type: "text/plain" }));
  allLink.textContent = say("downloadAll");
}
