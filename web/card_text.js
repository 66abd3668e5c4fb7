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
    withdraw(this.part(".text-box a"));
    this.part(".text").replaceChildren();
    this.shownBytes = 0;
    this.midRow = false;
    this.part(".label-row").hidden = true;
    this.part(".text-box").hidden = true;
  }

  // The text after its first line, as the core handed it out.
  take(body) {
    this.body = body;
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

  // The download always holds the label shown: its first line is made anew
  // at once, the rest is the text the core handed out.
  async labelChanged() {
    const label = this.part(".label").value;
    this.label = label;
    const core = await lineCore;
    if (this.label !== label || !this.body) return; // a newer label is on its way
    this.head = core.dataLine(label, this.card.reply.width, this.card.reply.height);
    this.text = new Blob([this.head, this.body], { type: "text/plain" });
    this.part(".text .head")?.replaceChildren(this.head);
    const link = this.part(".text-box a");
    if (label === "") {
      withdraw(link);
    } else {
      offer(link, `${label}.data`, this.text);
    }
    this.card.showTexts();
  }

  // The text appears a piece at a time as it is scrolled. Each piece is a
  // block of its own of at most 16 KiB, ending after a line or, within a
  // longer row, after a value; a block that goes on with a row is marked.
  // So neither reading nor laying out ever takes in more than one piece,
  // whatever the picture's size. (The text after the first line is ASCII:
  // one byte a character.)
  async showMore() {
    const box = this.part(".text");
    if (this.loading || !this.body) return;
    const nearEnd = box.scrollTop + box.clientHeight > box.scrollHeight - 400;
    if (!nearEnd || this.shownBytes >= this.body.size) return;
    this.loading = true;
    const text = await this.body.slice(this.shownBytes, this.shownBytes + 16384).text();
    let end = text.length;
    if (this.shownBytes + end < this.body.size) {
      const lineEnd = text.lastIndexOf("\n") + 1;
      end = lineEnd > 0 ? lineEnd : text.lastIndexOf(",") + 1;
    }
    const block = document.createElement("div");
    if (!box.firstChild) {
      const head = document.createElement("span");
      head.className = "head";
      head.textContent = this.head ?? "";
      block.append(head);
    }
    block.classList.toggle("continued", this.midRow === true);
    block.append(text.slice(0, end));
    box.append(block);
    this.midRow = !text.slice(0, end).endsWith("\n");
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
