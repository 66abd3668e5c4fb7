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

// A Blob's bytes, read 1 MiB at a time: in some engines a read is work of
// the page's thread.
async function bytesOf(blob) {
  const bytes = new Uint8Array(blob.size);
  for (let at = 0; at < blob.size; at += 1 << 20) {
    bytes.set(new Uint8Array(await blob.slice(at, at + (1 << 20)).arrayBuffer()), at);
  }
  return bytes;
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
    this.bodyBytes = null;
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
    this.bodyBytes = null;
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

  // The text for `label`: its label line and the rest, or for a picture cut
  // into frames, each frame's label line (LABEL_N) and rows. Those are put
  // together a few thousand frames a task, as text: a Blob of a Blob slice
  // for each frame would take the page's thread for seconds at 65,536.
  // Null if a newer label or conversion came meanwhile.
  async textFor(core, label) {
    const frames = this.frameStarts;
    const { width, height } = this.card.reply;
    if (!frames) return new Blob([core.dataLine(label, width, height), this.body]);
    const generation = this.generation;
    this.bodyBytes ??= await bytesOf(this.body);
    const bytes = this.bodyBytes;
    // Every frame has the same size, so its line is the label line made once,
    // with the frame's number after "LABEL_" (the line starts with its label).
    const prefix = `${label}_`;
    const rest = core.dataLine(prefix, frames.width, frames.height).slice(prefix.length);
    const decoder = new TextDecoder();
    const chunks = [];
    for (let first = 0; first < frames.numbers.length; first += 2048) {
      const parts = [];
      for (let i = first; i < Math.min(first + 2048, frames.numbers.length); i++) {
        const end = i + 1 < frames.offsets.length ? frames.offsets[i + 1] : bytes.length;
        parts.push(prefix + frames.numbers[i] + rest,
                   decoder.decode(bytes.subarray(frames.offsets[i], end)));
      }
      chunks.push(parts.join(""));
      await new Promise((resolve) => setTimeout(resolve, 0));
      if (generation !== this.generation) return null;
    }
    return new Blob(chunks);
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
    this.text = new Blob([text], { type: "text/plain" });
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
    status.textContent = "";
    try {
      await navigator.clipboard.write([new ClipboardItem({ "text/plain": this.text })]);
      status.textContent = say("copied");
    } catch {
      status.textContent = say("copyFailed");
    }
  }
}
