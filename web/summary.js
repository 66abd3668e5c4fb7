// The line that sums up the page: how many cards are done, failed and
// waiting, or that they were cleared.
import { cards } from "./cards.js";
import { say } from "./language.js";

const summary = document.getElementById("summary");

// What is on the page: every card's state, once anything changes.
let summaryCleared = false;
export function showSummary() {
  if (cards.size === 0) {
    summary.textContent = summaryCleared ? say("cleared") : "";
    return;
  }
  summaryCleared = false;
  const all = [...cards];
  const failed = all.filter((card) => card.reply && !card.reply.ok && !card.stage).length;
  const done = all.filter((card) => card.reply?.ok && !card.stage).length;
  summary.textContent = say("summary", done, failed, all.length - done - failed);
}

// Every card removed at once: the summary says so, until the next card.
export function showCleared() {
  summaryCleared = true;
  showSummary();
}
