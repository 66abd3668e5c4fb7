// The page against the native program on a 2048 x 2048 BMP: from picking the
// file to the download being ready, in Chromium, best of several runs.
// Usage: node tests/bench.mjs (with BMP2DATA and BMP2DATA_PAGE set, as for the tests)
import { execFileSync } from "node:child_process";
import { mkdtempSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

import { chromium } from "playwright-core";

const side = 2048;
const folder = mkdtempSync(join(tmpdir(), "bmp2data-bench-"));
const picture = join(folder, "pic.bmp");

// A 24-bit BMP of random pixels (rows of 6144 bytes need no filler).
const header = Buffer.alloc(54);
header.write("BM", 0);
header.writeUInt32LE(54 + side * side * 3, 2);
header.writeUInt32LE(54, 10);
header.writeUInt32LE(40, 14);
header.writeInt32LE(side, 18);
header.writeInt32LE(side, 22);
header.writeUInt16LE(1, 26);
header.writeUInt16LE(24, 28);
const pixels = Buffer.alloc(side * side * 3);
let state = 12345;
for (let i = 0; i < pixels.length; i++) {
  state = (state * 1103515245 + 12345) >>> 0;
  pixels[i] = state >>> 24;
}
writeFileSync(picture, Buffer.concat([header, pixels]));

function best(times) {
  return Math.min(...times);
}

const nativeTimes = [];
for (let i = 0; i < 5; i++) {
  const start = process.hrtime.bigint();
  execFileSync(process.env.BMP2DATA, ["pic"], { cwd: folder });
  nativeTimes.push(Number(process.hrtime.bigint() - start) / 1e9);
}

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--no-first-run"],
});
const page = await browser.newPage();
await page.goto(`file://${process.env.BMP2DATA_PAGE}`);
const pageTimes = [];
for (let i = 0; i < 5; i++) {
  await page.evaluate(() => {
    document.getElementById("results").textContent = "";
    window.benchDone = new Promise((resolve) => {
      document.getElementById("files").addEventListener("change", () => {
        const start = performance.now();
        new MutationObserver((changes, observer) => {
          if (document.querySelector(".result[data-done]")) {
            observer.disconnect();
            resolve(performance.now() - start);
          }
        }).observe(document.getElementById("results"), { subtree: true, attributes: true });
      }, { once: true });
    });
  });
  await page.setInputFiles("#files", picture);
  pageTimes.push((await page.evaluate(() => window.benchDone)) / 1000);
}
await browser.close();

const nativeBest = best(nativeTimes);
const pageBest = best(pageTimes);
console.log(`${side} x ${side} BMP, file pick to download ready (best of 5):`);
console.log(`  native bmp2data   ${nativeBest.toFixed(3)} s (whole process)`);
console.log(`  page in Chromium  ${pageBest.toFixed(3)} s (${(pageBest / nativeBest).toFixed(1)}x native)`);
