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

// The labels a card defines: its label, or LABEL_N for each of its frames.
function labelsOf(card) {
  const frames = card.text.frameStarts;
  return frames ? Array.from(frames.numbers, (number) => `${card.text.label}_${number}`)
    : [card.text.label];
}

// The first label that two cards (or one card twice) define, as
// [label, first card's name, second card's name], or null.
function labelClash(ready) {
  const owners = new Map();
  for (const card of ready) {
    for (const label of labelsOf(card)) {
      const owner = owners.get(label);
      if (owner) return [label, owner.file.name, card.file.name];
      owners.set(label, card);
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
