// Where Chromium's time goes while the page converts a 4096² BMP: the same
// conversion (the core on bytes in memory, its text gathered into Blobs)
// timed under Node, on the page's thread and in a worker, in one run; the
// worker reading the picked file itself as the page's worker does; and a
// trace of one conversion by the page, summed by process and thread.
// Usage: node tests/profile.mjs [trace.json] (with BMP2DATA_CORE_JS and
// BMP2DATA_PAGE set, as for the tests)
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { runCoreJob } from "../core_job.js";
import { decodingOf, launch } from "./browsers.mjs";
import { bmp, pixelRows } from "./pictures.mjs";

const runs = 5;
const side = 4096;
const folder = mkdtempSync(join(tmpdir(), "bmp2data-profile-"));
const picture = join(folder, "pic.bmp");
let state = side;
const bytes = bmp(side, side, pixelRows(side, side, () => {
  state = (state * 1103515245 + 12345) >>> 0;
  return [state >>> 24, (state >>> 16) & 255, (state >>> 8) & 255];
}));
writeFileSync(picture, bytes);
const median = (times) => [...times].sort((a, b) => a - b)[Math.floor(times.length / 2)];
const shown = (times) => `best ${Math.min(...times).toFixed(0)} ms, median ${median(times).toFixed(0)} ms`;

// Under Node: the core on the bytes, the text's pieces kept as Blobs.
const core = await createRequire(import.meta.url)(process.env.BMP2DATA_CORE_JS)();
const nodeTimes = [];
const nodeNoBlobs = [];
for (let i = 0; i < runs; i++) {
  const kept = [];
  const before = performance.now();
  runCoreJob(core, { kind: "bmp", name: "pic.bmp", size: bytes.length }, { bytes }, (piece) => kept.push(piece.slice()));
  nodeNoBlobs.push(performance.now() - before);
  const pieces = [];
  const start = performance.now();
  runCoreJob(core, { kind: "bmp", name: "pic.bmp", size: bytes.length }, { bytes },
             (piece) => pieces.push(new Blob([piece])));
  new Blob(pieces);
  nodeTimes.push(performance.now() - start);
}

// In the page: the same core on the same bytes, on the page's thread and in a
// worker; then in a worker reading the picked file in 16 MiB slices with
// FileReaderSync, as the page's worker does.
function timeInPage(count) {
  const source = document.getElementById("core-source").textContent;
  const harness = `
    const corePromise = createCore();
    // The text's pieces each made a Blob ("each"), copied into one kept
    // buffer made a Blob every 16 MiB ("kept", as the page now does), or
    // copied and kept as they are (none).
    const kept = new Uint8Array(16 << 20).fill(1);
    function convert(core, read, size, blobs) {
      const pieces = [];
      let held = 0;
      const flush = () => {
        if (held > 0) pieces.push(new Blob([kept.subarray(0, held)]));
        held = 0;
      };
      core.onPiece = (piece) => {
        if (blobs === "each") pieces.push(new Blob([piece]));
        if (!blobs) pieces.push(piece.slice());
        if (blobs !== "kept") return;
        if (held + piece.length > kept.length) flush();
        kept.set(piece, held);
        held += piece.length;
      };
      core.readInput = (offset, length, pointer) => read(offset, length, core.HEAPU8.subarray(pointer, pointer + length));
      const start = performance.now();
      const result = core.convert({ kind: "bmp", name: "pic.bmp", size });
      flush();
      if (blobs) new Blob(pieces);
      return { ms: performance.now() - start, ok: result.ok };
    }
    function fromBytes(bytes) {
      return (offset, length, target) => { target.set(bytes.subarray(offset, offset + length)); return true; };
    }
    function fromFile(file) {
      const reader = new FileReaderSync();
      return (offset, length, target) => {
        for (let done = 0; done < length;) {
          const part = new Uint8Array(reader.readAsArrayBuffer(
            file.slice(offset + done, offset + Math.min(length, done + (16 << 20)))));
          target.set(part, done);
          done += part.length;
        }
        return true;
      };
    }
    self.timeConversion = async ({ bytes, file, blobs = "each" }) => {
      const core = await corePromise;
      return convert(core, bytes ? fromBytes(bytes) : fromFile(file), bytes ? bytes.length : file.size,
                     blobs);
    };
    if (typeof window === "undefined") {
      onmessage = async (event) => postMessage(await self.timeConversion(event.data));
    }`;
  return (async () => {
    const file = document.getElementById("profile-file").files[0];
    const bytes = new Uint8Array(await file.arrayBuffer());
    (0, eval)(`${source}\n${harness}`);
    const worker = new Worker(URL.createObjectURL(new Blob([source, harness], { type: "text/javascript" })));
    const inWorker = (message) => new Promise((resolve) => {
      worker.onmessage = (event) => resolve(event.data.ms);
      worker.postMessage(message);
    });
    const times = { pageThread: [], pageThreadNoBlobs: [], worker: [], workerNoBlobs: [],
                    workerKept: [], workerReadingFile: [] };
    for (let i = 0; i < count; i++) {
      times.pageThread.push((await self.timeConversion({ bytes })).ms);
      times.pageThreadNoBlobs.push((await self.timeConversion({ bytes, blobs: false })).ms);
      times.workerNoBlobs.push(await inWorker({ bytes, blobs: false }));
      times.worker.push(await inWorker({ bytes }));
      times.workerKept.push(await inWorker({ bytes, blobs: "kept" }));
      times.workerReadingFile.push(await inWorker({ file }));
    }
    worker.terminate();
    return times;
  })();
}

const browser = await launch("chromium", "en-US");
const page = await browser.open(`file://${process.env.BMP2DATA_PAGE}`);
await decodingOf(page);
await page.pick([picture]);
await page.run(() => new Promise((resolve) => {
  const look = () => (document.querySelector(".result[data-done]") ? resolve() : setTimeout(look, 20));
  look();
}));
// The same file in an input of the harness's own: the page empties its own
// after taking the files.
await page.run(() => {
  const input = document.createElement("input");
  Object.assign(input, { type: "file", id: "profile-file", hidden: true });
  document.body.append(input);
});
await (await page.raw.$("#profile-file")).uploadFile(picture);
const times = await page.run(timeInPage, runs);
console.log(`the core on a 4096² BMP's bytes, its text into Blobs (${runs} runs each):`);
console.log(`  Node                        ${shown(nodeTimes)}`);
console.log(`    the pieces not made Blobs ${shown(nodeNoBlobs)}`);
console.log(`  Chromium, page's thread     ${shown(times.pageThread)}`);
console.log(`    the pieces not made Blobs ${shown(times.pageThreadNoBlobs)}`);
console.log(`  Chromium, worker            ${shown(times.worker)}`);
console.log(`    the pieces not made Blobs ${shown(times.workerNoBlobs)}`);
console.log(`    a kept buffer's Blobs     ${shown(times.workerKept)}`);
console.log(`  Chromium, worker, from file ${shown(times.workerReadingFile)}`);

// One conversion by the page itself (a second card of the same file, in the
// warm tab), traced: each thread's busy time, from its outermost events.
const tracePath = process.argv[2] ?? join(folder, "trace.json");
const raw = page.raw;
await raw.tracing.start({ path: tracePath, categories: [
  "toplevel", "v8", "v8.execute", "blink", "devtools.timeline", "disabled-by-default-devtools.timeline",
  "loading", "mojom", "ipc", "base", "disabled-by-default-v8.gc"] });
const started = Date.now();
await page.pick([picture]);
await page.run(() => new Promise((resolve) => {
  const look = () => (document.querySelectorAll(".result[data-done]").length === 2
    && document.querySelectorAll(".result a.download[href]").length === 2 ? resolve() : setTimeout(look, 5));
  look();
}));
const wall = Date.now() - started;
await raw.tracing.stop();
await browser.close();

const events = JSON.parse(readFileSync(tracePath, "utf8")).traceEvents ?? [];
const names = new Map();
for (const event of events) {
  if (event.ph === "M" && event.name === "thread_name") names.set(`${event.pid}:${event.tid}`, event.args.name);
  if (event.ph === "M" && event.name === "process_name") names.set(`${event.pid}`, event.args.name);
}
// Busy time: the union of each thread's complete events.
const spans = new Map();
for (const event of events) {
  if (event.ph !== "X" || !event.dur) continue;
  const key = `${event.pid}:${event.tid}`;
  if (!spans.has(key)) spans.set(key, []);
  spans.get(key).push([event.ts, event.ts + event.dur]);
}
const busy = [];
for (const [key, list] of spans) {
  list.sort((a, b) => a[0] - b[0]);
  let total = 0;
  let [from, to] = list[0];
  for (const [start, end] of list.slice(1)) {
    if (start > to) {
      total += to - from;
      [from, to] = [start, end];
    } else {
      to = Math.max(to, end);
    }
  }
  total += to - from;
  const [pid] = key.split(":");
  busy.push([`${names.get(pid) ?? pid} / ${names.get(key) ?? key}`, total / 1000]);
}
busy.sort((a, b) => b[1] - a[1]);
console.log(`one conversion by the page, pick to download ready: ${wall} ms; busy time by thread:`);
for (const [name, ms] of busy.slice(0, 14)) console.log(`  ${ms.toFixed(0).padStart(6)} ms  ${name}`);
console.log(`trace: ${tracePath}`);
if (!process.argv[2]) rmSync(folder, { recursive: true, force: true });
