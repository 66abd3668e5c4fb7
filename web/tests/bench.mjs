// The page against the native program on 2048² and 4096² BMPs: from picking
// the file to its download being ready, in Chromium, in a tab that has
// converted before (warm) and in a fresh one (first use), best of several
// runs each, beside the native program's whole process; then photos fitted
// to a display and diffused.
// Usage: node tests/bench.mjs (with BMP2DATA and BMP2DATA_PAGE set, as for the tests)
import { execFileSync } from "node:child_process";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { chromium } from "playwright-core";

import { bmp, pixelRows } from "./pictures.mjs";

const folder = mkdtempSync(join(tmpdir(), "bmp2data-bench-"));
const runs = 5;
const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run"],
});

async function openPage() {
  const page = await browser.newPage();
  await page.goto(`file://${process.env.BMP2DATA_PAGE}`);
  return page;
}

// Seconds from the pick to the card's download being offered.
async function pickToDownload(page, picture) {
  await page.evaluate(() => {
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
  });
  await page.setInputFiles("#files", picture);
  return (await page.evaluate(() => window.benchDone)) / 1000;
}

// Seconds of each of `runs` runs of a native program.
function timeNative(program, args, options = {}) {
  const times = [];
  for (let i = 0; i < runs; i++) {
    const start = process.hrtime.bigint();
    execFileSync(program, args, options);
    times.push(Number(process.hrtime.bigint() - start) / 1e9);
  }
  return times;
}

// Pick-to-download times in a tab that has converted the picture once
// (warm), and in fresh tabs (first use).
async function timePage(open, picture) {
  const warm = [];
  const page = await open();
  await pickToDownload(page, picture);
  for (let i = 0; i < runs; i++) warm.push(await pickToDownload(page, picture));
  await page.close();
  const first = [];
  for (let i = 0; i < runs; i++) {
    const fresh = await open();
    first.push(await pickToDownload(fresh, picture));
    await fresh.close();
  }
  return { warm, first };
}

console.log("file pick to download ready, best of 5:");
console.log("picture      native    page, warm tab      page, first use");
for (const side of [2048, 4096]) {
  const picture = join(folder, "pic.bmp");
  let state = side;
  writeFileSync(picture, bmp(side, side, pixelRows(side, side, () => {
    state = (state * 1103515245 + 12345) >>> 0;
    return [state >>> 24, (state >>> 16) & 255, (state >>> 8) & 255];
  })));
  const native = timeNative(process.env.BMP2DATA, ["pic"], { cwd: folder });
  const { warm, first } = await timePage(openPage, picture);
  const best = (times) => Math.min(...times);
  const column = (times) => `${best(times).toFixed(3)} s (${(best(times) / best(native)).toFixed(1)}x)`;
  console.log(`${side} x ${side}  ${best(native).toFixed(3)} s  ${column(warm).padEnd(18)}  ${column(first)}`);
}
// Photos fitted to 320 × 240, smooth and diffused, chosen before the pick
// (remembered choices): a 4096 × 3072 BMP, against the codec doing the same
// natively, and a 4000 × 3000 JPEG (made by Chromium), which only the page reads.
const fitted = { size: "320x240", columns: 320, rows: 240, fit: "inside", filter: "smooth",
                 colors: "diffuse" };
async function openFittingPage() {
  const page = await openPage();
  await page.evaluate((choices) => localStorage.setItem("bmp2data.fitting", JSON.stringify(choices)),
                      fitted);
  await page.reload();
  return page;
}

const photo = join(folder, "photo.bmp");
writeFileSync(photo, bmp(4096, 3072, pixelRows(4096, 3072, (x, y) => [x >> 4, y >> 4, (x ^ y) & 255])));
const jpeg = join(folder, "photo.jpg");
const maker = await openPage();
writeFileSync(jpeg, Buffer.from(await maker.evaluate(async () => {
  const canvas = new OffscreenCanvas(4000, 3000);
  const context = canvas.getContext("2d");
  const sky = context.createLinearGradient(0, 0, 0, 3000);
  sky.addColorStop(0, "#1d4e89");
  sky.addColorStop(1, "#f4a259");
  context.fillStyle = sky;
  context.fillRect(0, 0, 4000, 3000);
  context.fillStyle = "#fff3b0";
  context.beginPath();
  context.arc(2800, 1100, 420, 0, 2 * Math.PI);
  context.fill();
  const bytes = new Uint8Array(await (await canvas.convertToBlob({ type: "image/jpeg", quality: 0.9 })).arrayBuffer());
  return [...bytes];
})));
await maker.close();

const fitNative = timeNative(process.env.FIT_DATA, [photo, join(folder, "photo.data"), "photo",
                                                     "320", "240", "inside", "smooth", "diffuse"]);
console.log("\nfitted to 320 x 240, smooth, diffuse, best of 5:");
console.log("picture           native (fit_data)  page, warm tab  page, first use");
for (const [name, picture, native] of [["4096 x 3072 BMP", photo, fitNative],
                                       ["4000 x 3000 JPEG", jpeg, null]]) {
  const { warm, first } = await timePage(openFittingPage, picture);
  const best = (times) => `${Math.min(...times).toFixed(3)} s`;
  console.log(`${name.padEnd(16)}  ${(native ? best(native) : "-").padEnd(17)}  `
              + `${best(warm).padEnd(14)}  ${best(first)}`);
}
await browser.close();
rmSync(folder, { recursive: true, force: true });
