// The page against the native program and against the browser's own floor,
// in each browser configuration that is installed: from picking the file to
// its download being ready, in a warm tab (one that has converted the same
// picture before) and as a tab's first conversion, best and median of
// several runs. The floor is what no conversion
// can beat in that browser: the picked file read where the page reads it,
// then a Blob as large as the text made.
// Usage: node tests/bench.mjs [configuration …] (with BMP2DATA and
// BMP2DATA_PAGE set, as for the tests; default chromium firefox webkit)
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, statSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { decodingOf, launch, missing } from "./browsers.mjs";
import { bmp, pixelRows } from "./pictures.mjs";

const folder = mkdtempSync(join(tmpdir(), "bmp2data-bench-"));
const runs = 5;
const best = (times) => Math.min(...times);
const median = (times) => [...times].sort((a, b) => a - b)[Math.floor(times.length / 2)];
// "best (median)" in seconds.
const spread = (times) => `${best(times).toFixed(3)} (${median(times).toFixed(3)})`;

// In-page: resolves with the ms from the pick to the card's download.
function armConversion() {
  for (const button of document.querySelectorAll(".remove")) button.click();
  window.benchDone = new Promise((resolve) => {
    document.getElementById("files").addEventListener("change", () => {
      const start = performance.now();
      new MutationObserver((changes, observer) => {
        if (document.querySelector(".result[data-done] a.download[href]")) {
          observer.disconnect();
          resolve(performance.now() - start);
        }
      }).observe(document.getElementById("results"), { subtree: true, attributes: true });
    }, { once: true });
  });
}

// In-page: the floor. The pick is kept from the page; a worker of its own
// reads the file (or is handed its bytes, read in slices of 1 MiB as the
// page reads them where it reads files itself) and makes a Blob of the
// text's size.
function armFloor(textSize, readsHere) {
  const source = `onmessage = async ({ data }) => {
    const bytes = data.bytes ?? await data.file.arrayBuffer();
    const text = new Blob([new Uint8Array(${textSize})]);
    postMessage(bytes.byteLength + text.size);
  };`;
  const worker = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
  window.benchDone = new Promise((resolve) => {
    addEventListener("change", async (event) => {
      event.stopImmediatePropagation();
      const start = performance.now();
      const file = event.target.files[0];
      event.target.value = ""; // as the page does, so that the same file can be picked again
      worker.onmessage = () => {
        worker.terminate();
        resolve(performance.now() - start);
      };
      if (readsHere) {
        const bytes = new Uint8Array(file.size);
        for (let at = 0; at < file.size; at += 1 << 20) {
          bytes.set(new Uint8Array(await file.slice(at, at + (1 << 20)).arrayBuffer()), at);
        }
        worker.postMessage({ bytes: bytes.buffer }, [bytes.buffer]);
      } else {
        worker.postMessage({ file });
      }
    }, { once: true, capture: true });
  });
}

// In-page: with the picture converted in the card, resolves with the ms from
// asking for frames or tiles (`group`) of `size` × `size` (or for none, where
// `size` is "") to the new download, and the longest stall of the page's
// thread meanwhile.
function armCut(group, size) {
  window.benchDone = new Promise((resolve) => {
    const card = document.querySelector(".result");
    let longest = 0;
    let last = performance.now();
    let beating = true;
    const beat = () => {
      const now = performance.now();
      longest = Math.max(longest, now - last - 10);
      last = now;
      if (beating) setTimeout(beat, 10);
    };
    setTimeout(beat, 10);
    const start = performance.now();
    const link = card.querySelector("a.download");
    const before = link.href;
    new MutationObserver((changes, observer) => {
      const cut = !card.querySelector(`.${group}-made`).hidden;
      if (link.href && link.href !== before && cut === (size !== "")) {
        observer.disconnect();
        beating = false;
        resolve({ ms: performance.now() - start, longest });
      }
    }).observe(card, { subtree: true, attributes: true, childList: true });
    const side = group === "frames" ? "frame" : "tile";
    card.querySelector(`.${side}-width`).value = size;
    card.querySelector(`.${side}-height`).value = size;
    card.querySelector(`.${side}-height`).dispatchEvent(new Event("change", { bubbles: true }));
  });
}

// Seconds of the best of `runs` cuttings into 16 × 16 frames or tiles, each
// in a tab that has just converted the picture whole; of the best of the
// conversions whole again that follow each in the same tab; and the longest
// stall seen while cutting.
async function timeCut(page, picture, group) {
  const times = [];
  const wholeTimes = [];
  let longest = 0;
  const changed = async (size) => {
    await page.run(armCut, group, size);
    return page.run(() => window.benchDone);
  };
  for (let i = 0; i < runs; i++) {
    await page.reload();
    await decodingOf(page);
    await timeOnce(page, picture, armConversion);
    const { ms, longest: stall } = await changed("16");
    times.push(ms / 1000);
    longest = Math.max(longest, stall);
    wholeTimes.push((await changed("")).ms / 1000);
  }
  return { seconds: best(times), whole: best(wholeTimes), longest };
}

async function timeOnce(page, picture, arm, ...args) {
  await page.run(arm, ...args);
  await page.pick([picture]);
  return (await page.run(() => window.benchDone)) / 1000;
}

// Every timed pick but the cuts' waits this long after the tab's last
// work: in Chromium a conversion picked while the previous one's memory is
// still being given back takes up to half as long again.
const settleMs = 3000;
const settle = () => new Promise((resolve) => setTimeout(resolve, settleMs));

// Seconds of each of `runs` rounds, each in a tab just loaded: the page's
// first conversion there, then the same picture again (warm), then the
// floor in the tab loaded again.
async function timePage(page, picture, textSize) {
  const first = [];
  const conversion = [];
  const floor = [];
  for (let i = 0; i < runs; i++) {
    await page.reload();
    await decodingOf(page);
    await settle();
    first.push(await timeOnce(page, picture, armConversion));
    await settle();
    conversion.push(await timeOnce(page, picture, armConversion));
    await page.reload();
    const { readsBlobs } = await decodingOf(page);
    await settle();
    floor.push(await timeOnce(page, picture, armFloor, textSize, !readsBlobs));
  }
  return { first, conversion, floor };
}

function timeNative(program, args, options = {}) {
  const times = [];
  for (let i = 0; i < runs; i++) {
    const start = process.hrtime.bigint();
    execFileSync(program, args, options);
    times.push(Number(process.hrtime.bigint() - start) / 1e9);
  }
  return best(times);
}

// A 4096² BMP of noise (the native program's text of it gives the text's
// size), and a 4000 × 3000 JPEG photo-like scene that Pillow writes.
const side = 4096;
const picture = join(folder, "pic.bmp");
let state = side;
writeFileSync(picture, bmp(side, side, pixelRows(side, side, () => {
  state = (state * 1103515245 + 12345) >>> 0;
  return [state >>> 24, (state >>> 16) & 255, (state >>> 8) & 255];
})));
const native = timeNative(process.env.BMP2DATA, ["pic"], { cwd: folder });
const bmpText = statSync(join(folder, "pic.data")).size;
const jpeg = join(folder, "photo.jpg");
execFileSync("/usr/bin/python3", ["-c", `
from PIL import Image, ImageDraw
import sys
image = Image.linear_gradient("L").resize((4000, 3000)).convert("RGB")
image = Image.merge("RGB", (image.getchannel(0), image.getchannel(0).rotate(90, expand=False), image.getchannel(0).transpose(Image.FLIP_TOP_BOTTOM)))
ImageDraw.Draw(image).ellipse((2380, 680, 3220, 1520), fill=(255, 243, 176))
image.save(sys.argv[1], quality=90)
Image.open(sys.argv[1]).convert("RGB").save(sys.argv[1] + ".bmp")`, jpeg]);
execFileSync(process.env.BMP2DATA, ["photo.jpg"], { cwd: folder });
const jpegText = statSync(join(folder, "photo.jpg.data")).size;
// A 4096² level of 16 × 16 tiles, 40 kinds of them, placed at random.
const level = join(folder, "level.bmp");
const tileColour = (kind, x, y) => [(kind * 37 + x * 5) & 255, (kind * 91 + y * 7) & 255, (kind * 13 + x * y) & 255];
const kinds = Array.from({ length: 256 * 256 }, () => {
  state = (state * 1103515245 + 12345) >>> 0;
  return (state >>> 16) % 40;
});
writeFileSync(level, bmp(side, side, pixelRows(side, side, (x, y) =>
  tileColour(kinds[(y >> 4) * 256 + (x >> 4)], x & 15, y & 15))));

const configurations = process.argv.slice(2).length ? process.argv.slice(2) : ["chromium", "firefox", "webkit"];
console.log(`pick to download ready, best (median) of ${runs} in seconds; native bmp2data ${native.toFixed(3)} s`);
console.log("browser         picture           warm tab        first use       floor           "
            + "warm/floor  first/floor  warm/native");
for (const configuration of configurations) {
  if (missing(configuration)) {
    console.log(`${configuration}: skipped, ${missing(configuration)}`);
    continue;
  }
  const browser = await launch(configuration, "en-US");
  for (const [name, path, textSize] of [["4096 x 4096 BMP", picture, bmpText],
                                        ["4000 x 3000 JPEG", jpeg, jpegText]]) {
    const page = await browser.open(`file://${process.env.BMP2DATA_PAGE}`);
    await decodingOf(page);
    const { first, conversion, floor } = await timePage(page, path, textSize);
    await page.close();
    const ratio = (times) => `${(best(times) / best(floor)).toFixed(2)} x`;
    const nativeRatio = path === picture ? `${(best(conversion) / native).toFixed(1)} x` : "-";
    console.log(`${configuration.padEnd(14)}  ${name.padEnd(16)}  ${spread(conversion)}  ${spread(first)}  `
                + `${spread(floor)}  ${ratio(conversion).padEnd(10)}  ${ratio(first).padEnd(11)}  ${nativeRatio}`);
  }
  // The same BMP cut into 16 × 16 frames (65,536 of them), and a level cut
  // into 16 × 16 tiles, each against it whole again in the same tab.
  for (const [name, path, group] of [["65,536 frames", picture, "frames"],
                                     ["65,536 tiles", level, "tiles"]]) {
    const page = await browser.open(`file://${process.env.BMP2DATA_PAGE}`);
    const cut = await timeCut(page, path, group);
    await page.close();
    console.log(`${configuration.padEnd(14)}  ${name.padEnd(16)}  ${cut.seconds.toFixed(3)} s  `
                + `${(cut.seconds / cut.whole).toFixed(2)} x whole in the tab (${cut.whole.toFixed(3)} s); longest stall `
                + `${cut.longest.toFixed(0)} ms`);
  }
  await browser.close();
}
rmSync(folder, { recursive: true, force: true });
