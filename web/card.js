// A card for one file: its conversion, its pictures and what it says; its
// choices, frames and text are parts of their own.
import { CardAnimation } from "./card_animation.js";
import { CardChoices, defaultChoices, fittingFor, keyByte, sharedChoices } from "./card_choices.js";
import { CardFrames, crossSkipped, drawFrameGrid } from "./card_frames.js";
import { CardText } from "./card_text.js";
import { CardTiles } from "./card_tiles.js";
import { cardName, cards } from "./cards.js";
import { decoding, failureFound, inWorker } from "./core_client.js";
import { offerAll } from "./download_all.js";
import { offer, withdraw } from "./downloads.js";
import { baseName, kindOf, startOf } from "./files.js";
import { say, translate } from "./language.js";
import { showSummary } from "./summary.js";

const results = document.getElementById("results");
const template = document.getElementById("result").content.firstElementChild;
const shownSize = { maxWidth: 480, maxHeight: 360 };

// A picture drawn at the largest whole zoom that fits the preview's bounds,
// with crisp pixels: a small picture or sheet is enlarged on the canvas
// itself, so that what is drawn over it (a frame grid, its numbers) is
// sharp too.
function draw(canvas, width, height, rgba) {
  const zoom = Math.max(1, Math.min(Math.floor(shownSize.maxWidth / width),
                                    Math.floor(shownSize.maxHeight / height)));
  const picture = new ImageData(new Uint8ClampedArray(rgba), width, height);
  canvas.width = width * zoom;
  canvas.height = height * zoom;
  const context = canvas.getContext("2d");
  if (zoom === 1) {
    context.putImageData(picture, 0, 0);
    return;
  }
  const unzoomed = document.createElement("canvas");
  [unzoomed.width, unzoomed.height] = [width, height];
  unzoomed.getContext("2d").putImageData(picture, 0, 0);
  context.imageSmoothingEnabled = false;
  context.drawImage(unzoomed, 0, 0, canvas.width, canvas.height);
}

// A card for one file: its conversion, its pictures and what it says; its
// choices (card_choices.js) and its text (card_text.js) are parts of their own.
export class Card {
  constructor(file) {
    this.file = file;
    // Asked now, the size fixes the file as it was chosen: some browsers
    // look at a picked file only when first asked, and would read one that
    // was deleted since as empty rather than as gone.
    this.chosenSize = file.size;
    this.view = template.cloneNode(true);
    this.view.dataset.name = file.name;
    this.part = (selector) => this.view.querySelector(selector);
    this.part("h2").textContent = file.name;
    this.part(".remove").addEventListener("click", () => this.remove(true));
    this.choices = new CardChoices(this);
    this.frames = new CardFrames(this);
    this.tiles = new CardTiles(this);
    this.animation = new CardAnimation(this);
    this.text = new CardText(this);
    // As the command line converts, or as the other cards are while the same
    // choices are made for all.
    this.choices.show(sharedChoices.choices ?? defaultChoices);
    if (sharedChoices.frames) this.frames.showBoxes(sharedChoices.frames);
    if (sharedChoices.tiles) this.tiles.showBoxes(sharedChoices.tiles);
    this.showCuts();
    this.generation = 0;
    this.stage = "reading";
    results.append(this.view);
    cards.add(this);
    this.showTexts();
    offerAll();
  }

  async convert() {
    try {
      ({ kind: this.kind, head: this.head, unknown: this.unknown } = await kindOf(this.file));
      this.stage = this.kind === "picture" ? "decoding" : "converting";
      this.showTexts();
      const reply = await inWorker(this.request(),
                                   (stage) => { this.stage = stage; this.showTexts(); });
      this.show(reply);
    } catch (error) {
      this.show(await failureFound("cannotRead", this.file.name));
    }
    this.view.dataset.done = "true";
    return this.reply.ok;
  }

  request() {
    const fitting = this.kind === "data" ? undefined : fittingFor(this.choices.values());
    this.fitted = fitting !== undefined && fitting.fit !== "original";
    this.askedFrames = this.kind === "data" ? undefined : this.frames.values();
    const tiles = this.kind === "data" ? undefined : this.tiles.values();
    return { kind: this.kind, file: this.file, ...shownSize, fitting, frames: this.askedFrames, tiles,
             firstFrameOnly: this.animation.firstFrameOnly(),
             label: this.kind === "data" ? undefined : this.text.labelWanted() };
  }

  async reconvert() {
    const mine = ++this.generation;
    this.stage = "converting";
    this.showTexts();
    showSummary();
    offerAll();
    const reply = await inWorker(this.request(), () => {});
    if (mine === this.generation) this.show(reply);
  }

  show(reply) {
    this.reply = reply;
    this.stage = null;
    this.tooLarge = false;
    this.text.clear();
    this.part(".pictures").hidden = true;
    const line = this.part(".line");
    line.textContent = reply.line;
    line.hidden = reply.line === "";
    line.classList.toggle("error", !reply.ok);
    if (reply.ok && reply.shownImage) {
      const data = this.kind === "data";
      draw(this.part(".original canvas"), reply.shownWidth, reply.shownHeight, reply.shownImage);
      draw(this.part(".reduced canvas"), reply.shownWidth, reply.shownHeight, reply.shownPreview);
      if (reply.frames) {
        drawFrameGrid(this.part(".original canvas"), reply.width, reply.height, reply.frames);
        crossSkipped(this.part(".reduced canvas"), reply.width, reply.frames);
      }
      if (reply.tiles) {
        const grid = { ...reply.tiles, frameWidth: reply.tiles.tileWidth,
                       frameHeight: reply.tiles.tileHeight, margin: 0, spacing: 0,
                       skippedNumbers: [] };
        drawFrameGrid(this.part(".original canvas"), reply.width, reply.height, grid, false);
      }
      this.part(".original").hidden = data;
      this.part(".pictures").hidden = false;
    }
    if (reply.ok && this.kind === "data") {
      offer(this.part(".download-only a"), `${baseName(this.file.name)}.preview.bmp`,
            new Blob([reply.file], { type: "image/bmp" }));
      this.part(".download-only").hidden = false;
    } else if (reply.ok && reply.body) {
      this.text.take(reply.body, reply.frames, reply.tiles);
    } else if (reply.ok) {
      this.tooLarge = true; // converted, but the browser cannot hold its text
    }
    // The choices stay where they can mend what failed: a size out of range.
    const mendable = reply.ok || ["badSize", "badKey", "badFrames", "badTiles"]
      .includes(reply.failure);
    for (const group of [".fitting", ".frames", ".tiles"]) {
      this.part(group).hidden = this.kind === "data" || !mendable;
    }
    this.choices.show(this.choices.values());
    this.showCuts();
    this.showTexts();
    showSummary();
    offerAll();
  }

  // Everything the card says in the page's language.
  showTexts() {
    const name = cardName(this);
    translate(this.view);
    this.part("h2").textContent = name;
    this.part(".remove").setAttribute("aria-label", say("removeNamed", name));
    this.part(".working").hidden = !this.stage;
    if (this.stage) this.part(".working span").textContent = say(this.stage, name);
    const explain = this.part(".explain");
    // What the browser changed in a picture it decoded, if anything.
    const changes = [this.reply?.coloursLost && say("coloursLost"),
                     this.reply?.profileApplied && say("profileApplied")].filter(Boolean);
    explain.hidden = !this.reply || (this.reply.ok && !this.tooLarge && changes.length === 0);
    if (!explain.hidden) {
      explain.textContent = this.tooLarge ? say("textTooLarge")
        : this.reply.ok ? changes.join(" ") : say("failures")[this.reply.failure];
      // A file of no kind the page knows, that the browser could not decode either.
      if (!this.reply.ok && this.unknown && this.head?.length > 0) {
        explain.textContent += ` ${say("startsWith", startOf(this.head))}`;
      }
    }
    // Where this browser cannot give the colour under a transparent pixel,
    // the choice to keep it says what is kept instead.
    if (this.kind === "picture" && decoding.png?.keepsTransparent === false) {
      this.part('.transparent option[value="keep"]').textContent = say("transparentKeepLost");
    }
    this.frames.showTexts(this.animation.cutsFrames() ? undefined : this.reply);
    this.animation.showTexts(this.reply, this.text.label ?? this.text.labelWanted());
    this.tiles.showTexts(this.reply, this.choices.values().colors);
    // Opaque pixels that already have the key colour are skipped with it.
    const keyNote = this.part(".key-note");
    const lookalikes = this.reply?.ok ? this.reply.opaqueKey : 0;
    keyNote.hidden = !(lookalikes > 0);
    if (lookalikes > 0) keyNote.textContent = say("opaqueKey", lookalikes, keyByte(this.choices.values().key));
    this.part(".original figcaption").textContent = say(this.fitted ? "fitted" : "asRead");
    this.part(".reduced figcaption").textContent =
      say(this.kind === "data" ? "dataColours" : "reduced");
    this.part(".text").setAttribute("aria-label", say("textOf", `${this.text.label ?? ""}.data`));
    if (this.reply?.ok) this.text.showLabelProblem();
    this.part(".copied").textContent = this.text.copyStatus ? say(this.text.copyStatus) : "";
    this.choices.showOffer();
    for (const link of this.view.querySelectorAll("a.download[download]")) {
      link.textContent = say("download", link.download);
    }
  }

  // A picture is cut into frames or into tiles: while one group has sizes,
  // the other is closed, and says why; both are, where an animation's
  // frames are taken.
  showCuts() {
    const animated = this.animation.cutsFrames() && !this.animation.firstFrameOnly();
    const framed = this.frames.values() !== undefined;
    const tiled = !framed && this.tiles.values() !== undefined;
    for (const [group, closed] of [[".frames", tiled], [".tiles", framed]]) {
      this.part(group).disabled = closed || animated;
      this.part(`${group} .excluded:not(.animated)`).hidden = !closed || animated;
      this.part(`${group} .excluded.animated`).hidden = !animated;
    }
  }

  remove(moveFocus) {
    const next = [...cards][[...cards].indexOf(this) + 1];
    for (const link of this.view.querySelectorAll("a.download")) withdraw(link);
    this.view.remove();
    cards.delete(this);
    for (const card of cards) card.showTexts(); // names it shared
    showSummary();
    offerAll();
    document.getElementById("clear").hidden = cards.size === 0;
    if (moveFocus) (next ? next.part(".remove") : document.getElementById("files")).focus();
  }
}
