// A card's data text: its label, the text shown a piece at a time as it is
// scrolled, its download and copying.
import { offerAll } from "./download_all.js";
import { offer, withdraw } from "./downloads.js";
import { baseName } from "./files.js";
import { lineCore } from "./core_client.js";
import { say } from "./language.js";
import { fixedLabel, labelProblem } from "./labels.js";
import { tileTextFor } from "./tile_text.js";

// What is wrong with a label (labels.js), in the page's language; "" if nothing.
function labelWarning(label) {
  const found = labelProblem(label);
  if (found === null) return "";
  if (found.problem === "character") {
    return say("badCharacter", found.character === " " ? say("space") : `“${found.character}”`);
  }
  return found.problem === "empty" ? say("emptyLabel")
    : found.problem === "leadingDigit" ? say("leadingDigit", found.digit)
      : say("registerName", label);
}

export class CardText {
  constructor(card) {
    this.card = card;
    this.part = card.part;
    this.part(".label").addEventListener("input", () => this.labelChanged());
    this.part(".fix").addEventListener("click", () => {
      this.part(".label").value = fixedLabel(this.part(".label").value);
      this.labelChanged();
      this.part(".label").focus();
    });
    this.part(".copy").addEventListener("click", () => this.copy());
    this.part(".text").addEventListener("scroll", () => this.showMore());
    this.shownBytes = 0;
  }

  // A conversion again replaces the text.
  clear() {
    this.body = null;
    this.tiles = null;
    this.copyStatus = null;
    this.text = null;
    this.generation = (this.generation ?? 0) + 1;
    withdraw(this.part(".text-box a"));
    this.part(".text").replaceChildren();
    this.shownBytes = 0;
    this.midRow = false;
    this.part(".label-row").hidden = true;
    this.part(".text-box").hidden = true;
  }

  // The label the card's text is to have: as typed, or from the file's name.
  labelWanted() {
    return this.labelGiven ? this.part(".label").value : baseName(this.card.file.name);
  }

  // The text as the core handed it out: after its first line, or for a
  // picture cut into frames, each frame's label line and rows, or into
  // tiles, the tile set's and the map's.
  take(body, frames, tiles) {
    this.body = body;
    this.frameStarts = frames;
    this.tiles = tiles;
    if (!this.labelGiven) this.part(".label").value = this.labelWanted();
    this.labelGiven = true;
    this.part(".label-row").hidden = false;
    this.part(".text-box").hidden = false;
    this.labelChanged();
    this.showMore();
  }

  showLabelProblem() {
    const label = this.part(".label").value;
    const problem = labelWarning(label);
    this.part(".warning").textContent = problem;
    const fix = this.part(".fix");
    const fixed = fixedLabel(label);
    fix.hidden = problem === "" || fixed === "";
    fix.textContent = say("useFixed", fixed);
  }

  // The text for `label`: its label line and the rest, or for a picture cut
  // into frames, each frame's label line (LABEL_N) and rows. The core wrote
  // those lines with the label of its request; for another, they are put
  // together again as bytes, a few thousand frames a task, each batch
  // reading only its own stretch of the core's text: a Blob part for each
  // frame, or text decoded and joined as strings, would take the page's
  // thread for seconds at 65,536 frames in some engines. Null if a newer
  // label or conversion came meanwhile.
  async textFor(core, label) {
    const frames = this.frameStarts;
    const { width, height } = this.card.reply;
    const type = "text/plain";
    if (this.tiles) return tileTextFor(core, this.body, this.tiles, label);
    if (!frames) return new Blob([core.dataLine(label, width, height), this.body], { type });
    if (label !== "" && label === frames.label) return this.body;
    const generation = this.generation;
    // Every frame has the same size, so its line is the label line made once,
    // with the frame's number after "LABEL_" (the line starts with its label).
    const encoder = new TextEncoder();
    const prefix = encoder.encode(`${label}_`);
    const rest = encoder.encode(core.dataLine(`${label}_`, frames.width, frames.height))
      .subarray(prefix.length);
    const chunks = [];
    const count = frames.numbers.length;
    const endOf = (i) => (i + 1 < count ? frames.lineStarts[i + 1] : this.body.size);
    for (let first = 0; first < count; first += 2048) {
      const last = Math.min(first + 2048, count) - 1;
      const from = frames.offsets[first];
      const rows = new Uint8Array(await this.body.slice(from, endOf(last)).arrayBuffer());
      if (generation !== this.generation) return null;
      const mostDigits = 10; // of a frame's number
      const lineBytes = prefix.length + mostDigits + rest.length;
      const chunk = new Uint8Array(rows.length + (last - first + 1) * lineBytes);
      let at = 0;
      for (let i = first; i <= last; i++) {
        chunk.set(prefix, at);
        at += prefix.length;
        at += encoder.encodeInto(String(frames.numbers[i]), chunk.subarray(at)).written;
        chunk.set(rest, at);
        at += rest.length;
        chunk.set(rows.subarray(frames.offsets[i] - from, endOf(i) - from), at);
        at += endOf(i) - frames.offsets[i];
      }
      chunks.push(new Blob([chunk.subarray(0, at)])); // in some engines, copied here
      await new Promise((resolve) => setTimeout(resolve, 0));
      if (generation !== this.generation) return null;
    }
    return new Blob(chunks, { type });
  }

  // The download always holds the label shown: the old one is withdrawn at
  // once, and the text with the new label lines follows, the rest being the
  // text the core handed out.
  async labelChanged() {
    const label = this.part(".label").value;
    this.label = label;
    const link = this.part(".text-box a");
    withdraw(link);
    this.text = null;
    this.generation = (this.generation ?? 0) + 1;
    const generation = this.generation;
    const core = await lineCore;
    if (generation !== this.generation || !this.body) return; // a newer label is on its way
    const text = await this.textFor(core, label);
    if (!text || generation !== this.generation) return;
    this.text = text;
    this.part(".text").replaceChildren();
    this.shownBytes = 0;
    this.midRow = false;
    this.loading = false;
    this.showMore();
    if (label !== "") offer(link, `${label}.data`, this.text);
    this.card.showTexts();
    offerAll();
  }

  // The text appears a piece at a time as it is scrolled. Each piece is a
  // block of its own of at most 16 KiB, ending after a line or, within a
  // longer row, after a value; a block that goes on with a row is marked.
  // So neither reading nor laying out ever takes in more than one piece,
  // whatever the picture's size. A label change starts the text again.
  // (Only the labels may be more than one byte a character.)
  async showMore() {
    const box = this.part(".text");
    if (this.loading || !this.text) return;
    const nearEnd = box.scrollTop + box.clientHeight > box.scrollHeight - 400;
    if (!nearEnd || this.shownBytes >= this.text.size) return;
    this.loading = true;
    const generation = this.generation;
    const bytes = new Uint8Array(await this.text.slice(this.shownBytes, this.shownBytes + 16384)
      .arrayBuffer());
    if (generation !== this.generation) return; // a new label started the text again
    let end = bytes.length;
    if (this.shownBytes + end < this.text.size) {
      const lineEnd = bytes.lastIndexOf(10) + 1;
      end = lineEnd > 0 ? lineEnd : bytes.lastIndexOf(44) + 1;
    }
    const text = new TextDecoder().decode(bytes.subarray(0, end));
    const block = document.createElement("div");
    block.classList.toggle("continued", this.midRow === true);
    block.append(text);
    box.append(block);
    this.midRow = !text.endsWith("\n");
    this.shownBytes += end;
    this.loading = false;
    this.showMore();
  }

  async copy() {
    const status = this.part(".copied");
    this.copyStatus = null;
    status.textContent = "";
    try {
      await navigator.clipboard.write([new ClipboardItem({ "text/plain": this.text })]);
      this.copyStatus = "copied";
    } catch {
      this.copyStatus = "copyFailed";
    }
    status.textContent = say(this.copyStatus); // said again in another language
  }
}
