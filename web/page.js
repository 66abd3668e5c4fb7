// The page: takes files, hands them to the core in a worker, draws what comes
// back and offers the text and the downloads. No conversion happens here;
// the first line of a data text, the only one a label changes, comes from a
// second copy of the core on this thread, at once.
"use strict";

const results = document.getElementById("results");
const summary = document.getElementById("summary");
const clearButton = document.getElementById("clear");
const fileInput = document.getElementById("files");
const coreSource = document.getElementById("core-source").textContent;

// ---- Language ----

const languageKey = "bmp2data.language";

function stored(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null; // storage may be off for pages opened from disk
  }
}

function store(key, value) {
  try {
    localStorage.setItem(key, value);
  } catch {
    // not remembered, but in force all the same
  }
}

function storedLanguage() {
  return stored(languageKey);
}

function browserLanguage() {
  for (const tag of navigator.languages ?? [navigator.language]) {
    if (/^pt\b/i.test(tag)) return "pt";
    if (/^en\b/i.test(tag)) return "en";
  }
  return "en";
}

let language = texts[storedLanguage()] ? storedLanguage() : browserLanguage();

function say(key, ...values) {
  const text = texts[language][key];
  return typeof text === "function" ? text(...values) : text;
}

const cards = new Set();

// The fixed texts of the page, or of one card.
function translate(root) {
  for (const element of root.querySelectorAll("[data-i18n]")) {
    element.textContent = say(element.dataset.i18n);
  }
  // Only the page's own texts, never a file's, are put in as markup.
  for (const element of root.querySelectorAll("[data-i18n-html]")) {
    element.innerHTML = say(element.dataset.i18nHtml);
  }
  for (const element of root.querySelectorAll("[data-i18n-aria-label]")) {
    element.setAttribute("aria-label", say(element.dataset.i18nAriaLabel));
  }
}

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
    language = button.dataset.language;
    store(languageKey, language);
    applyLanguage();
  });
}

// ---- The core: in a worker for conversions, here for first lines ----

const workerUrl = URL.createObjectURL(new Blob(
  [coreSource, document.getElementById("worker-source").textContent],
  { type: "text/javascript" }));
// "?decoders=canvas,webgl" limits the worker's decoding paths to those
// named ("?decoders=none": none at all), to see the page as a browser
// without them would show it.
const decoders = new URLSearchParams(location.search).get("decoders");
const workerOptions = decoders === null ? {}
  : { name: JSON.stringify({ decoders: decoders.split(",").filter((name) => name !== "none") }) };
let worker;
const pending = new Map();
let nextId = 1;

function startWorker() {
  worker = new Worker(workerUrl, workerOptions);
  worker.onmessage = (event) => {
    const reply = event.data;
    const job = pending.get(reply.id);
    if (!reply.done) {
      job.onStage(reply.stage);
      return;
    }
    pending.delete(reply.id);
    // A module's memory never shrinks: after a large picture the worker
    // ends itself, and a new one takes over.
    if (reply.restart) startWorker();
    job.resolve(reply);
  };
}
startWorker();

function toWorker(request, onStage = () => {}, transfers = []) {
  const id = nextId++;
  return new Promise((resolve) => {
    pending.set(id, { resolve, onStage });
    worker.postMessage({ ...request, id }, transfers);
  });
}

// A picked file read on this thread, in slices of 1 MiB, so that no read or
// copy is one long task.
async function readHere(file) {
  const bytes = new Uint8Array(file.size);
  const slice = 1 << 20;
  for (let at = 0; at < file.size; at += slice) {
    const piece = await file.slice(at, at + slice).arrayBuffer();
    // A file changed or gone since it was chosen may read as nothing.
    if (piece.byteLength !== Math.min(slice, file.size - at)) {
      throw new DOMException("changed since chosen", "NotReadableError");
    }
    bytes.set(new Uint8Array(piece), at);
  }
  return bytes.buffer;
}

// A failure found on this thread, with its line from the core.
async function failureFound(failure, name) {
  return { ok: false, failure, line: (await lineCore).failureLine(failure, name) };
}

function bitmapOf(bytes) {
  return createImageBitmap(new Blob([bytes]), { colorSpaceConversion: "none", premultiplyAlpha: "none" })
    .catch(() => null);
}

// Some browsers let a worker read no picked file, or no Blob at all; there
// this thread reads the files, and decodes pictures into bitmaps for it.
// Which, and what this browser's decoding keeps ({png, jpeg}, each {name,
// keepsTransparent} or null), the worker finds out when it starts.
let readingHere = false;
let decodingHere = false;
let decoding = { png: { keepsTransparent: true }, jpeg: {} };
const decodingKnown = (async () => {
  let reply = await toWorker({ kind: "abilities" });
  if (!reply.readsBlobs) {
    readingHere = true;
    decodingHere = decoders === null || decoders.split(",").includes("canvas");
  }
  if (decodingHere) {
    const bitmaps = { png: await bitmapOf(probePng.bytes), jpeg: await bitmapOf(probeJpeg.bytes),
                      profiled: await bitmapOf(probeProfiledPng.bytes) };
    reply = await toWorker({ kind: "abilities", bitmaps }, undefined,
                           Object.values(bitmaps).filter(Boolean));
  }
  decoding = reply;
  applyLanguage();
})();

// The worker's reply for a file. A file the worker could not read is read
// here, and from then on every file.
async function inWorker(request, onStage) {
  await decodingKnown;
  if (!readingHere) {
    const reply = await toWorker(request, onStage);
    if (reply.failure !== "cannotRead") return reply;
  }
  let bytes;
  try {
    bytes = await readHere(request.file);
  } catch {
    return failureFound("cannotRead", request.file.name); // changed or gone since it was chosen
  }
  readingHere = true;
  const decoded = request.kind === "picture" && decodingHere ? await decodedHere(bytes) : {};
  const reply = await toWorker({ ...request, bytes, ...decoded }, onStage,
                               [bytes, decoded.bitmap].filter(Boolean));
  if (reply.body && reply.bodyUnchecked) reply.body = await readable(reply.body);
  return reply;
}

// A picture decoded here for the worker, unless its own structure shows it
// damaged or too large (the worker then says which).
async function decodedHere(bytes) {
  const picture = inspectPicture(new Uint8Array(bytes));
  const fits = picture.complete && picture.width * picture.height <= mostPicturePixels;
  return { decodedHere: true, keepsTransparent: decoding.png?.keepsTransparent === true,
           appliesProfile: decoding.png?.appliesProfile === true, bitmap: fits ? await bitmapOf(bytes) : null };
}

// The text's Blob if this browser can read it all, else null.
async function readable(body) {
  try {
    await body.slice(Math.max(body.size - 1, 0)).arrayBuffer();
    return body;
  } catch {
    return null;
  }
}

// The page's note says what this browser keeps of the pictures it decodes.
function noteKey() {
  if (!decoding.png && !decoding.jpeg) return "noteNoDecoder";
  return decoding.png?.keepsTransparent === false ? "noteColoursLost" : "note";
}

const lineCore = new Promise((resolve) => {
  const script = document.createElement("script");
  script.src = URL.createObjectURL(new Blob([coreSource], { type: "text/javascript" }));
  script.onload = () => resolve(createCore());
  document.head.append(script);
});

// ---- Labels ----

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

// ---- Reading files ----

function baseName(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? name.slice(0, dot) : name;
}

// What a file is comes from its first bytes (the core tells BMP, PNG, JPEG,
// GIF, WebP and data texts apart): a BMP goes to the core's reader, the
// browser's picture formats to the browser, a data text to the data
// reader. Only what none of these is goes by its name, as the command line
// would take it; anything else goes to the browser. A file that cannot be
// read at all says so here. {kind, head}: head, the first bytes.
async function kindOf(file) {
  const head = new Uint8Array(await file.slice(0, 512).arrayBuffer());
  if (head.length === 0 && file.size > 0) throw new DOMException("gone", "NotReadableError");
  const kind = (await lineCore).kindOfStart(head);
  if (kind === "bmp" || kind === "data") return { kind, head };
  if (kind !== "other") return { kind: "picture", head };
  const byName = { bmp: "bmp", data: "data" }[file.name.split(".").pop().toLowerCase()];
  return { kind: byName ?? "picture", head, unknown: byName === undefined };
}

// The first bytes of a file, as the card shows them: in hexadecimal, and as
// text where they are printable.
function startOf(head) {
  const first = [...head.subarray(0, 8)];
  const hex = first.map((byte) => byte.toString(16).toUpperCase().padStart(2, "0")).join(" ");
  const text = first.map((byte) => (byte >= 0x20 && byte < 0x7f ? String.fromCharCode(byte) : "."))
    .join("");
  return `${hex} (${text})`;
}

// The colour of each colour byte, as CSS, from the core.
const byteColours = lineCore.then((core) => Array.from(
  { length: 256 }, (_, value) => `#${core.colorOfByte(value).toString(16).padStart(6, "0")}`));

// ---- Cards ----

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
class Card {
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
    this.text = new CardText(this);
    // As the command line converts, or as the other cards are while the same
    // choices are made for all.
    this.choices.show(sharedChoices.choices ?? defaultChoices);
    if (sharedChoices.frames) this.frames.showBoxes(sharedChoices.frames);
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
    return { kind: this.kind, file: this.file, ...shownSize, fitting, frames: this.askedFrames,
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
      this.part(".original").hidden = data;
      this.part(".pictures").hidden = false;
    }
    if (reply.ok && this.kind === "data") {
      offer(this.part(".download-only a"), `${baseName(this.file.name)}.preview.bmp`,
            new Blob([reply.file], { type: "image/bmp" }));
      this.part(".download-only").hidden = false;
    } else if (reply.ok && reply.body) {
      this.text.take(reply.body, reply.frames);
    } else if (reply.ok) {
      this.tooLarge = true; // converted, but the browser cannot hold its text
    }
    // The choices stay where they can mend what failed: a size out of range.
    const mendable = reply.ok || ["badSize", "badKey", "badFrames"].includes(reply.failure);
    this.part(".fitting").hidden = this.kind === "data" || !mendable;
    this.part(".frames").hidden = this.kind === "data" || !mendable;
    this.choices.show(this.choices.values());
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
    this.frames.showTexts(this.reply);
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

  remove(moveFocus) {
    const next = [...cards][[...cards].indexOf(this) + 1];
    for (const link of this.view.querySelectorAll("a.download")) withdraw(link);
    this.view.remove();
    cards.delete(this);
    for (const card of cards) card.showTexts(); // names it shared
    showSummary();
    offerAll();
    clearButton.hidden = cards.size === 0;
    if (moveFocus) (next ? next.part(".remove") : fileInput).focus();
  }
}

// A card's name as the page says it: its file's, and where two cards hold
// files of one name, its place among them.
function cardName(card) {
  const namesakes = [...cards].filter((other) => other.file.name === card.file.name);
  return namesakes.length < 2 ? card.file.name
    : say("cardNumbered", card.file.name, namesakes.indexOf(card) + 1);
}

// What is on the page: every card's state, once anything changes.
let summaryCleared = false;
function showSummary() {
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
  summaryCleared = true;
  showSummary();
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
