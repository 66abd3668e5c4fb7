// The core: in a worker for conversions, and on this thread for first
// lines, failure lines and colours. The core's script (the compiled core,
// put into the page) defines createCore, the one name it adds.
import { inspectPicture, mostPicturePixels } from "./containers.js";
import { probeJpeg, probePng, probeProfiledPng } from "./probes.js";

const coreSource = document.getElementById("core-source").textContent;

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
    if (reply.piece) {
      (job.text ??= new PieceBlobs()).take(reply.piece);
      return;
    }
    if (!reply.done) {
      job.onStage(reply.stage);
      return;
    }
    pending.delete(reply.id);
    // A module's memory never shrinks: after a large picture the worker
    // ends itself, and a new one takes over.
    if (reply.restart) startWorker();
    if (reply.bodySent) reply.text = job.text ?? new PieceBlobs();
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

// A picked file read on this thread, in slices of 1 MiB, so that no read is
// one long task. The slices go to the worker as they are: one buffer of the
// file's size, made and filled here, would take this thread for as long.
async function readHere(file) {
  const slices = [];
  const slice = 1 << 20;
  for (let at = 0; at < file.size; at += slice) {
    const piece = await file.slice(at, at + slice).arrayBuffer();
    // A file changed or gone since it was chosen may read as nothing.
    if (piece.byteLength !== Math.min(slice, file.size - at)) {
      throw new DOMException("changed since chosen", "NotReadableError");
    }
    slices.push(piece);
  }
  return slices;
}

// The slices as one buffer, for a picture this thread decodes.
function joined(slices) {
  const bytes = new Uint8Array(slices.reduce((size, slice) => size + slice.byteLength, 0));
  let at = 0;
  for (const slice of slices) {
    bytes.set(new Uint8Array(slice), at);
    at += slice.byteLength;
  }
  return bytes.buffer;
}

// A failure found on this thread, with its line from the core.
export async function failureFound(failure, name) {
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
export let readingHere = false;
let decodingHere = false;
export let decoding = { png: { keepsTransparent: true }, jpeg: {} };
export const decodingKnown = (async () => {
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
})();

// The worker's reply for a file. A file the worker could not read is read
// here, and from then on every file.
export async function inWorker(request, onStage) {
  await decodingKnown;
  if (!readingHere) {
    const reply = await toWorker(request, onStage);
    if (reply.failure !== "cannotRead") return withBody(reply);
  }
  let slices;
  try {
    slices = await readHere(request.file);
  } catch {
    return failureFound("cannotRead", request.file.name); // changed or gone since it was chosen
  }
  readingHere = true;
  if (request.kind !== "picture") return withBody(await toWorker({ ...request, slices }, onStage, slices));
  const bytes = joined(slices);
  const decoded = decodingHere ? await decodedHere(bytes) : {};
  const reply = await toWorker({ ...request, bytes, ...decoded }, onStage,
                               [bytes, decoded.bitmap].filter(Boolean));
  return withBody(reply);
}

// A reply whose text came in pieces, with the text as one Blob (or null).
async function withBody(reply) {
  if (reply.bodySent) reply.body = await reply.text.whole();
  delete reply.text;
  return reply;
}

// Where a worker's Blobs would be made on this thread, queued behind one
// another, the worker sends the text's pieces here as the core hands them
// out (see text_blobs.js). Each becomes a Blob of its own while the core
// goes on, and after every few this thread waits (without blocking) until
// the browser has stored them, so that none of its tasks waits on that
// storage.
const piecesBetweenWaits = 4;

class PieceBlobs {
  constructor() {
    this.blobs = [];
    this.stored = true;
    this.made = Promise.resolve();
  }

  take(piece) {
    this.made = this.made.then(async () => {
      if (!this.stored) return;
      this.blobs.push(new Blob([piece]));
      if (this.blobs.length % piecesBetweenWaits > 0) return;
      try {
        await this.blobs.at(-1).slice(0, 1).arrayBuffer();
      } catch {
        this.stored = false; // past the browser's storage
      }
    });
  }

  // The text's Blob if this browser can hold it all, else null.
  async whole() {
    await this.made;
    return this.stored ? readable(new Blob(this.blobs, { type: "text/plain" })) : null;
  }
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
export function noteKey() {
  if (!decoding.png && !decoding.jpeg) return "noteNoDecoder";
  return decoding.png?.keepsTransparent === false ? "noteColoursLost" : "note";
}

export const lineCore = new Promise((resolve) => {
  const script = document.createElement("script");
  script.src = URL.createObjectURL(new Blob([coreSource], { type: "text/javascript" }));
  script.onload = () => resolve(createCore());
  document.head.append(script);
});
