// A card's frames: the grid a sprite sheet is cut along, as typed in its
// boxes, what the cut made, and the grid drawn over the picture.
import { CardCut } from "./card_cut.js";
import { say } from "./language.js";

export class CardFrames extends CardCut {
  constructor(card) {
    super(card, "frames", { frameWidth: "frame-width", frameHeight: "frame-height", margin: "margin",
                            spacing: "spacing", skipEmpty: "skip-empty" });
  }

  // What the cut made, in the page's language.
  showTexts(reply) {
    const made = this.part(".frames-made");
    const frames = reply?.ok ? reply.frames : undefined;
    made.hidden = !frames;
    if (frames) {
      const skipped = [...frames.skippedNumbers.subarray(0, skippedNamed)].join(", ");
      made.textContent = [
        say("framesMade", frames.made, frames.skipped, frames.leftoverColumns, frames.leftoverRows),
        frames.made > 0 ? say("frameWord", frames.width, frames.height) : "",
        frames.skipped > 0 ? say("skippedNumbers", skipped, frames.skipped - skippedNamed) : "",
      ].filter(Boolean).join(" ");
    }
  }
}

// How many skipped frames a card names by number.
const skippedNamed = 8;

// Each skipped frame's cell crossed out on `canvas`, which shows a picture
// `width` pixels wide.
export function crossSkipped(canvas, width, frames) {
  const context = canvas.getContext("2d");
  const scale = canvas.width / width;
  context.lineWidth = Math.max(1, Math.min(3, scale));
  context.strokeStyle = "rgba(230, 20, 40, 0.9)";
  context.beginPath();
  for (const number of frames.skippedNumbers) {
    const column = number % frames.columns;
    const row = Math.floor(number / frames.columns);
    const left = (frames.margin + column * (frames.frameWidth + frames.spacing)) * scale;
    const top = (frames.margin + row * (frames.frameHeight + frames.spacing)) * scale;
    const [right, bottom] = [left + frames.frameWidth * scale, top + frames.frameHeight * scale];
    context.moveTo(left, top);
    context.lineTo(right, bottom);
    context.moveTo(right, top);
    context.lineTo(left, bottom);
  }
  context.stroke();
}

// The grid the core cut a picture of width × height along (`frames`),
// drawn on `canvas` at its shown size: each frame's edges as lines across
// the whole grid (so their count grows with columns and rows, not with
// frames), numbered where asked and legible. Drawn a slice at a time.
export async function drawFrameGrid(canvas, width, height, frames, numbered = true) {
  const context = canvas.getContext("2d");
  const scale = canvas.width / width;
  const margin = frames.margin * scale;
  const [across, down] = [(frames.frameWidth + frames.spacing) * scale,
                          (frames.frameHeight + frames.spacing) * scale];
  const [frameWidth, frameHeight] = [frames.frameWidth * scale, frames.frameHeight * scale];
  const [right, bottom] = [margin + (frames.columns - 1) * across + frameWidth,
                           margin + (frames.rows - 1) * down + frameHeight];
  context.lineWidth = 1;
  context.strokeStyle = "rgba(255, 64, 160, 0.9)";
  const slice = 32;
  for (let first = 0; first < Math.max(frames.columns, frames.rows); first += slice) {
    context.beginPath();
    for (let i = first; i < Math.min(first + slice, frames.columns); i++) {
      for (const x of [margin + i * across, margin + i * across + frameWidth]) {
        context.moveTo(Math.round(x) + 0.5, margin);
        context.lineTo(Math.round(x) + 0.5, bottom);
      }
    }
    for (let i = first; i < Math.min(first + slice, frames.rows); i++) {
      for (const y of [margin + i * down, margin + i * down + frameHeight]) {
        context.moveTo(margin, Math.round(y) + 0.5);
        context.lineTo(right, Math.round(y) + 0.5);
      }
    }
    context.stroke();
    await new Promise((resolve) => setTimeout(resolve, 0));
  }
  crossSkipped(canvas, width, frames);
  // Numbers where they would be legible.
  if (!numbered || frameWidth < 18 || frameHeight < 12) return;
  context.fillStyle = "rgba(255, 255, 255, 0.95)";
  context.font = "10px sans-serif";
  context.textBaseline = "top";
  for (let row = 0; row < frames.rows; row++) {
    for (let column = 0; column < frames.columns; column++) {
      context.fillText(String(row * frames.columns + column), margin + column * across + 2,
                       margin + row * down + 2);
    }
  }
}
