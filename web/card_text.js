// A card's data text: its label, the text shown a piece at a time as it is
// scrolled, its download and copying.
"use strict";

function offer(link, name, blob) {
  withdraw(link);
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.textContent = say("download", name);
}

function withdraw(link) {
  if (link.href) URL.revokeObjectURL(link.href);
  link.removeAttribute("href");
  link.removeAttribute("download");
  link.textContent = "";
}

class CardText {
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
    this.text = null;
    this.generation = (this.generation ?? 0) + 1;
    withdraw(this.part(".text-box a"));
    this.part(".text").replaceChildren();
    this.shownBytes = 0;
    this.midRow = false;
    this.part(".label-row").hidden = true;
    this.part(".text-box").hidden = true;
  }

  // The text as the core handed it out: after its first line, or for a
  // picture cut into frames, each frame's rows without its label line.
  take(body, frames) {
    this.body = body;
    this.frameStarts = frames;
    if (!this.labelGiven) this.part(".label").value = baseName(this.card.file.name);
    this.labelGiven = true;
    this.part(".label-row").hidden = false;
    this.part(".text-box").hidden = false;
    this.labelChanged();
    this.showMore();
  }

  showLabelProblem() {
    const label = this.part(".label").value;
    const problem = labelProblem(label);
    this.part(".warning").textContent = problem;
    const fix = this.part(".fix");
    const fixed = fixedLabel(label);
    fix.hidden = problem === "" || fixed === "";
    fix.textContent = say("useFixed", fixed);
  }

  // The text's parts for `label`: its label line and the rest, or each
  // frame's label line (LABEL_N) and rows.
  partsFor(core, label) {
    const frames = this.frameStarts;
    if (!frames) return [core.dataLine(label, this.card.reply.width, this.card.reply.height), this.body];
    const parts = [];
    for (let i = 0; i < frames.numbers.length; i++) {
      const end = i + 1 < frames.offsets.length ? frames.offsets[i + 1] : this.body.size;
      parts.push(core.dataLine(`${label}_${frames.numbers[i]}`, frames.width, frames.height),
                 this.body.slice(frames.offsets[i], end));
    }
    return parts;
  }

  // The download always holds the label shown: its label lines are made
  // anew at once, the rest is the text the core handed out.
  async labelChanged() {
    const label = this.part(".label").value;
    this.label = label;
    const core = await lineCore;
    if (this.label !== label || !this.body) return; // a newer label is on its way
    this.text = new Blob(this.partsFor(core, label), { type: "text/plain" });
    this.generation = (this.generation ?? 0) + 1;
    this.part(".text").replaceChildren();
    this.shownBytes = 0;
    this.midRow = false;
    this.loading = false;
    this.showMore();
    const link = this.part(".text-box a");
    if (label === "") {
      withdraw(link);
    } else {
      offer(link, `${label}.data`, this.text);
    }
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
    status.textContent = "";
    try {
      await navigator.clipboard.write([new ClipboardItem({ "text/plain": this.text })]);
      status.textContent = say("copied");
    } catch {
      status.textContent = say("copyFailed");
    }
  }
}
