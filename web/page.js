// The page: takes files, hands them to the core in a worker, draws what comes
// back and offers the text and the downloads. No conversion happens here;
// the first line of a data text, the only one a label changes, comes from a
// second copy of the core on this thread, at once. This module wires the
// page together: its language, its cards and its inputs.
import { Card } from "./card.js";
import { cards } from "./cards.js";
import { decoding, decodingKnown, noteKey, readingHere } from "./core_client.js";
import { offerAll } from "./download_all.js";
import { chooseLanguage, language, say, translate } from "./language.js";
import { showCleared, showSummary } from "./summary.js";

const clearButton = document.getElementById("clear");
const fileInput = document.getElementById("files");

function applyLanguage() {
  document.documentElement.lang = language === "pt" ? "pt-BR" : "en";
  document.querySelector(".note span").dataset.i18nHtml = noteKey();
  const profiles = document.querySelector(".note .profiles");
  profiles.hidden = noteKey() === "noteNoDecoder";
  profiles.dataset.i18n = (decoding.png ?? decoding.jpeg)?.appliesProfile ? "noteProfiles" : "noteNoProfiles";
  document.querySelector(".note .decodes-here").hidden = !readingHere;
  document.title = say("title");
  translate(document);
  for (const button of document.querySelectorAll("[data-language]")) {
    button.setAttribute("aria-pressed", String(button.dataset.language === language));
  }
  for (const card of cards) card.showTexts();
  showSummary();
  offerAll();
}

for (const button of document.querySelectorAll("[data-language]")) {
  button.addEventListener("click", () => {
    chooseLanguage(button.dataset.language);
    applyLanguage();
  });
}

// What this browser's decoding keeps is known once the worker has started;
// the root element says it too ({png, jpeg}), for the page's tests.
decodingKnown.then(() => {
  document.documentElement.dataset.decoding = JSON.stringify(decoding);
  applyLanguage();
});

async function addFiles(files) {
  if (files.length === 0) return;
  const added = files.map((file) => new Card(file));
  clearButton.hidden = false;
  added[0].view.scrollIntoView({ block: "nearest" });
  for (const card of cards) card.showTexts(); // names shared with the new cards
  for (const card of added) await card.convert();
}

clearButton.addEventListener("click", () => {
  for (const card of [...cards]) card.remove(false);
  showCleared();
  fileInput.focus();
});

fileInput.addEventListener("change", () => {
  addFiles([...fileInput.files]);
  fileInput.value = "";
});
// Files are taken wherever they are dropped on the page: the browser never
// opens one in its place.
let dragDepth = 0;
const dragsFiles = (event) => [...(event.dataTransfer?.types ?? [])].includes("Files");
document.addEventListener("dragenter", (event) => {
  if (!dragsFiles(event)) return;
  dragDepth++;
  document.body.classList.add("drop-anywhere");
});
document.addEventListener("dragleave", () => {
  dragDepth = Math.max(0, dragDepth - 1);
  if (dragDepth === 0) document.body.classList.remove("drop-anywhere");
});
document.addEventListener("dragover", (event) => {
  event.preventDefault();
  if (event.dataTransfer) event.dataTransfer.dropEffect = "copy";
});
document.addEventListener("drop", (event) => {
  event.preventDefault();
  dragDepth = 0;
  document.body.classList.remove("drop-anywhere");
  addFiles([...(event.dataTransfer?.files ?? [])]);
});

applyLanguage();
