// bmp2data.html opened from disk in Chromium, as a user meets it: every
// input gives the native programs' line and bytes, in Portuguese and in
// English; labels, copying, removal, unreadable and misnamed files; no long
// task while large pictures are converted; no accessibility violation.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";
import { after, before, test } from "node:test";

import { chromium } from "playwright-core";

import { dataInputs, pictureInputs } from "./inputs.mjs";
import { runNative } from "./native.mjs";
import { bmp, pixelRows, png } from "./pictures.mjs";

const fixtures = new URL("fixtures/", import.meta.url).pathname;
const sample = new URL("../../examples/sample.bmp", import.meta.url).pathname;
const axePath = createRequire(import.meta.url).resolve("axe-core/axe.min.js");
const chromiumPath = process.env.CHROMIUM ?? "/usr/bin/chromium";
if (!existsSync(chromiumPath)) {
  console.log(`SKIPPED: no Chromium at ${chromiumPath} (Debian's chromium package)`);
  process.exit(77);
}
const folder = mkdtempSync(join(tmpdir(), "bmp2data-page-"));
let browser;
const errors = [];

before(async () => {
  browser = await chromium.launch({
    executablePath: chromiumPath,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run"],
  });
});

after(async () => {
  await browser.close();
  rmSync(folder, { recursive: true, force: true });
  assert.deepEqual(errors, []);
});

// A fresh page in a browser that prefers `locale`, watching for long tasks.
async function openPage(locale) {
  const context = await browser.newContext({
    locale, acceptDownloads: true, viewport: { width: 1366, height: 768 },
  });
  await context.grantPermissions(["clipboard-read", "clipboard-write"]);
  const page = await context.newPage();
  page.on("pageerror", (error) => errors.push(error.message));
  await page.addInitScript(() => {
    window.longestTask = 0;
    new PerformanceObserver((list) => {
      for (const entry of list.getEntries()) {
        window.longestTask = Math.max(window.longestTask, entry.duration);
      }
    }).observe({ type: "longtask", buffered: true });
  });
  await page.goto(`file://${process.env.BMP2DATA_PAGE}`);
  return page;
}

// Picks the files and returns, once all are done, each card's line,
// explanation and download (name and bytes, read inside the page).
async function convert(page, paths) {
  await page.setInputFiles("#files", paths);
  return cardsOf(page, paths.map((path) => basename(path)));
}

async function cardsOf(page, names) {
  await page.waitForFunction(
    (wanted) => wanted.every((name) => document.querySelector(`.result[data-name="${CSS.escape(name)}"][data-done]`)),
    names, { timeout: 240000 });
  return page.evaluate(async (wanted) => {
    const cards = {};
    for (const name of wanted) {
      const card = document.querySelector(`.result[data-name="${CSS.escape(name)}"]`);
      const link = card.querySelector("a.download[href]");
      cards[name] = {
        line: card.querySelector(".line").textContent,
        explain: card.querySelector(".explain").hidden ? "" : card.querySelector(".explain").textContent,
        download: link?.download ?? null,
        file: link ? [...new Uint8Array(await (await fetch(link.href)).arrayBuffer())] : null,
      };
    }
    return cards;
  }, names);
}

async function accessibilityViolations(page) {
  await page.addScriptTag({ path: axePath });
  const found = await page.evaluate(async () => (await axe.run()).violations);
  return found.map(({ id, nodes }) => `${id}: ${nodes.map((node) => node.target).join(" ")}`);
}

test("every input gives the native line and bytes, with a sentence in Portuguese for each error", async () => {
  const page = await openPage("pt-BR");
  assert.deepEqual(await accessibilityViolations(page), []);
  const pictures = pictureInputs();
  const data = dataInputs();
  const cards = await convert(page, [...pictures, ...data].map(({ path }) => path));
  const check = (inputs, program, extension, output, nameOf) => {
    for (const { name, path } of inputs) {
      const native = runNative(program, path, extension, output, nameOf(path));
      const card = cards[basename(path)];
      assert.equal(card.line, native.line, name);
      assert.equal(card.explain !== "", native.status !== 0, name);
      assert.deepEqual(card.file && Buffer.from(card.file), native.file, name);
    }
  };
  check(pictures, "bmp2data", "bmp", "data", (path) => basename(path, ".bmp"));
  check(data, "data2bmp", "data", "preview.bmp", () => "pic");
  assert.equal(await page.getAttribute("html", "lang"), "pt-BR");
  assert.match(cards["last-row-one-byte-short.bmp"].explain, /incompleto/);
  assert.deepEqual(await accessibilityViolations(page), []);
  await page.close();
});

test("English follows the browser; the language switch is remembered", async () => {
  const page = await openPage("en-US");
  assert.equal(await page.getAttribute("html", "lang"), "en");
  const cards = await convert(page, [join(fixtures, "alpha.png")]);
  assert.equal(cards["alpha.png"].download, "alpha.data");
  assert.equal(await page.textContent(".result a.download"), "Download alpha.data");
  await page.click("button[data-language=pt]");
  assert.equal(await page.textContent(".result a.download"), "Baixar alpha.data");
  await page.reload();
  assert.equal(await page.getAttribute("html", "lang"), "pt-BR");
  await page.close();
});

test("labels are fixed in one click, an empty one cannot be downloaded, a new one is downloaded at once, copying gives the download", async () => {
  const page = await openPage("pt-BR");
  await convert(page, [sample]);
  const fixes = [["meu desenho", /espaço/, "meu_desenho"], ["café", /“é”/, "cafe"],
                 ["2fundo", /dígito \(2\)/, "_2fundo"]];
  for (const [label, warning, fixed] of fixes) {
    await page.fill(".label", label);
    assert.match(await page.textContent(".warning"), warning);
    await page.click(".fix");
    assert.equal(await page.inputValue(".label"), fixed);
    assert.equal(await page.textContent(".warning"), "");
  }
  await page.fill(".label", "");
  assert.equal(await page.locator("a.download[href]").count(), 0);
  assert.match(await page.textContent(".warning"), /rótulo/);
  await page.fill(".label", "novo");
  const [download] = await Promise.all([page.waitForEvent("download"), page.click("a.download")]);
  assert.equal(download.suggestedFilename(), "novo.data");
  const saved = readFileSync(await download.path());
  assert.deepEqual(saved, runNative("bmp2data", sample, "bmp", "data", "novo").file);
  await page.focus(".copy");
  await page.keyboard.press("Enter");
  await page.waitForFunction(() => document.querySelector(".copied").textContent !== "");
  assert.equal(await page.evaluate(() => navigator.clipboard.readText()), saved.toString());
  assert.deepEqual(await accessibilityViolations(page), []);

  // A longer text is shown as it is scrolled, to its last byte.
  const photo = join(folder, "photo.bmp");
  writeFileSync(photo, bmp(700, 500, pixelRows(700, 500, (x, y) => [x, y, x ^ y])));
  await page.click("#clear");
  await convert(page, [photo]);
  const shown = await page.evaluate(async () => {
    const box = document.querySelector(".text");
    for (let height = -1; height !== box.scrollHeight;) {
      height = box.scrollHeight;
      box.scrollTop = height;
      await new Promise((resolve) => setTimeout(resolve, 200));
    }
    return box.textContent;
  });
  assert.equal(shown, runNative("bmp2data", photo, "bmp", "data", "photo").file.toString());
  await page.close();
});

// A landscape of smooth gradients, where reducing colours shows bands:
// sky, sun, hills.
function scene(x, y) {
  const mix = (from, to, t) => from.map((value, i) => Math.round(value + (to[i] - value) * t));
  const hill = 330 + 40 * Math.sin(x / 70) + 20 * Math.sin(x / 23);
  if (y > hill) return mix([88, 160, 72], [24, 70, 40], (y - hill) / (480 - hill));
  if ((x - 460) ** 2 + (y - 150) ** 2 < 55 ** 2) return [255, 236, 170];
  return mix([28, 78, 140], [245, 170, 95], y / 360);
}

test("a photo fitted to 320 × 240 with error diffusion gives the codec's bytes; choices apply to all and are remembered", async () => {
  const page = await openPage("en-US");
  const photo = pixelRows(640, 480, scene);
  const [png1, png2, twin] = ["photo.png", "other.png", "photo.bmp"].map((name) => join(folder, name));
  writeFileSync(png1, png(640, 480, photo));
  writeFileSync(png2, png(640, 480, photo));
  writeFileSync(twin, bmp(640, 480, photo));
  const before = await convert(page, [png1, png2]);
  assert.deepEqual(Buffer.from(before["photo.png"].file),
                   runNative("bmp2data", twin, "bmp", "data", "photo").file);
  await page.check("#same-for-all");
  const settled = () => page.waitForFunction(
    () => [...document.querySelectorAll(".result .working")].every((working) => working.hidden));
  await page.selectOption('.result[data-name="photo.png"] .size', "320x240");
  await settled();
  await page.selectOption('.result[data-name="photo.png"] .colors', "diffuse");
  await settled();
  const after = await cardsOf(page, ["photo.png", "other.png"]);
  // The README's before and after, in both languages.
  const pictures = page.locator('.result[data-name="photo.png"] .pictures');
  const shots = process.env.BEFORE_AFTER ?? join(folder, "before-after");
  await pictures.screenshot({ path: `${shots}.en.png` });
  await page.click('[data-language="pt"]');
  assert.equal(await page.textContent('.result[data-name="photo.png"] .original figcaption'),
               "ajustada ao display");
  await pictures.screenshot({ path: `${shots}.pt-BR.png` });
  await page.click('[data-language="en"]');
  const expected = join(folder, "photo.data");
  execFileSync(process.env.FIT_DATA, [twin, expected, "photo", "320", "240", "inside", "smooth", "diffuse"]);
  assert.equal(after["photo.png"].line, "size:320 x 240");
  assert.deepEqual(Buffer.from(after["photo.png"].file), readFileSync(expected));
  assert.equal(Buffer.from(after["other.png"].file).toString(),
               readFileSync(expected, "utf8").replace(/^photo:/, "other:"));
  await page.reload();
  await convert(page, [png1]);
  assert.equal(await page.inputValue(".colors"), "diffuse");
  assert.equal(await page.textContent(".line"), "size:320 x 240");
  // A size out of range is refused on the card, whose choices stay to mend it.
  await page.selectOption(".size", "custom");
  await settled();
  await page.fill(".columns", "0");
  await page.locator(".columns").blur();
  await settled();
  assert.equal(await page.textContent(".line"), "Error: bad size (0 x 240: each side must be 1 to 8192)");
  assert.match(await page.textContent(".explain"), /8192/);
  assert.equal(await page.isVisible(".fitting"), true);
  await page.close();
});

test("a sprite keeps its stored colours by default; a key colour from the palette replaces its transparent pixels as the codec does", async () => {
  const page = await openPage("pt-BR");
  // A disc on a transparent ground whose hidden colours differ from pixel to pixel.
  const sprite = pixelRows(40, 30, (x, y) => {
    const inside = (x - 19.5) ** 2 + (y - 14.5) ** 2 < 12 ** 2;
    return [x * 6, y * 8, 255 - x * 3, inside ? 255 : 0];
  });
  const [drawn, twin] = ["sprite.png", "sprite.bmp"].map((name) => join(folder, name));
  writeFileSync(drawn, png(40, 30, sprite));
  writeFileSync(twin, bmp(40, 30, sprite));
  const card = '.result[data-name="sprite.png"]';
  const before = await convert(page, [drawn]);
  assert.deepEqual(Buffer.from(before["sprite.png"].file),
                   runNative("bmp2data", twin, "bmp", "data", "sprite").file);
  assert.equal(await page.isVisible(`${card} .transparent`), true);
  assert.equal(await page.isVisible(`${card} .key`), false);
  const settled = () => page.waitForFunction(
    () => [...document.querySelectorAll(".result .working")].every((working) => working.hidden));
  await page.selectOption(`${card} .size`, "128x128");
  await settled();
  await page.selectOption(`${card} .colors`, "diffuse");
  await settled();
  await page.selectOption(`${card} .transparent`, "key");
  await settled();
  await page.click(`${card} .palette summary`);
  await page.click(`${card} .swatches button[aria-label="Cor 227"]`);
  await settled();
  assert.equal(await page.inputValue(`${card} .key`), "227");
  assert.equal(await page.getAttribute(`${card} .swatches button[value="227"]`, "aria-pressed"), "true");
  assert.equal(await page.textContent(`${card} .original figcaption`), "ajustada ao display");
  const after = await cardsOf(page, ["sprite.png"]);
  const expected = join(folder, "sprite.data");
  execFileSync(process.env.FIT_DATA,
               [twin, expected, "sprite", "128", "128", "inside", "smooth", "diffuse", "227"]);
  assert.equal(after["sprite.png"].line, "size:128 x 96");
  assert.deepEqual(Buffer.from(after["sprite.png"].file), readFileSync(expected));
  assert.match(readFileSync(expected, "utf8"), /\b227\b/);
  // The picture shown "as read" lets the page through its transparent pixels.
  const corner = await page.$eval(`${card} .original canvas`,
    (canvas) => canvas.getContext("2d").getImageData(0, 0, 1, 1).data[3]);
  assert.equal(corner, 0);
  assert.deepEqual(await accessibilityViolations(page), []);
  await page.close();
});

test("a batch goes on past an unreadable file; a BMP is read as BMP whatever its name; cards can be removed", async () => {
  const page = await openPage("pt-BR");
  const vanishing = join(folder, "vanishing.bmp");
  copyFileSync(sample, vanishing);
  const misnamed = join(folder, "drawing.png");
  copyFileSync(sample, misnamed);
  const beyond = join(folder, "beyond.gif");
  copyFileSync(new URL("../../tests/bad/colour-index-beyond-the-palette.bmp", import.meta.url), beyond);
  // A first picture large enough to keep the batch busy while one queued behind it is deleted.
  const busy = join(folder, "busy.bmp");
  writeFileSync(busy, bmp(2048, 2048, pixelRows(2048, 2048, (x, y) => [x & 255, y & 255, 0])));
  await page.setInputFiles("#files", [busy, sample, vanishing, misnamed, beyond]);
  rmSync(vanishing); // changed on disk while queued: the browser can no longer read it
  const cards = await cardsOf(page, ["sample.bmp", "vanishing.bmp", "drawing.png", "beyond.gif"]);
  await page.click('.result[data-name="busy.bmp"] .remove');
  assert.equal(cards["vanishing.bmp"].line, "");
  assert.match(cards["vanishing.bmp"].explain, /não conseguiu ler/);
  assert.equal(cards["drawing.png"].line, "size:32 x 20");
  assert.equal(cards["drawing.png"].download, "drawing.data");
  assert.equal(cards["beyond.gif"].line, "Error: bad BMP pixel data (colour index beyond the palette)");
  assert.match(await page.textContent("#summary"), /3 arquivos prontos, 2 com erro/);
  await page.fill('.result[data-name="drawing.png"] .label', "meu desenho");
  await page.screenshot({ path: process.env.SCREENSHOT ?? join(folder, "page.png"), fullPage: true });
  await page.click('.result[data-name="sample.bmp"] .remove');
  assert.equal(await page.locator(".result").count(), 3);
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute("aria-label")),
               "Remover vanishing.bmp");
  await page.click("#clear");
  assert.equal(await page.locator(".result").count(), 0);
  await page.close();
});

// Converts one large picture in a page of its own; the card's line, whether
// its text is offered, and the longest main-thread task meanwhile.
async function convertLarge(path) {
  const page = await openPage("en-US");
  // Only the tasks from the pick on count, not the page's start.
  await page.waitForTimeout(1000);
  await page.evaluate(() => { window.longestTask = 0; });
  await page.setInputFiles("#files", path);
  await page.waitForSelector(".result[data-done]", { timeout: 240000 });
  const card = await page.evaluate(() => ({
    line: document.querySelector(".line").textContent,
    offered: document.querySelector("a.download[href]") !== null,
    explain: document.querySelector(".explain").textContent,
    preview: document.querySelector(".reduced canvas").width,
    longest: window.longestTask,
  }));
  await page.close();
  return card;
}

test("no long task while an 8192² BMP converts or a 10000² PNG is decoded; pictures past 8192 convert", async () => {
  const gradient = (x, y) => [x & 255, y & 255, (x + y) >> 6 & 255];
  const wide = pixelRows(9000, 6, gradient);
  writeFileSync(join(folder, "wide.png"), png(9000, 6, wide));
  writeFileSync(join(folder, "wide.bmp"), bmp(9000, 6, wide));
  const page = await openPage("en-US");
  const cards = await convert(page, [join(folder, "wide.png")]);
  const native = runNative("bmp2data", join(folder, "wide.bmp"), "bmp", "data", "wide");
  assert.deepEqual(Buffer.from(cards["wide.png"].file), native.file);
  await page.close();
  const pictures = {
    "big.bmp": () => bmp(8192, 8192, pixelRows(8192, 8192, gradient)),
    "huge.png": () => png(10000, 10000, pixelRows(10000, 10000, gradient)),
  };
  for (const [name, make] of Object.entries(pictures)) {
    writeFileSync(join(folder, name), make());
    const card = await convertLarge(join(folder, name));
    rmSync(join(folder, name));
    assert.match(card.line, /^size:(8192 x 8192|10000 x 10000)$/, name);
    assert.equal(card.preview, 360, name); // drawn at the size shown
    assert.ok(card.longest < 100, `${name}: longest main-thread task ${card.longest} ms`);
  }
});

// Its text is 1.1 GB: where the browser cannot keep that much for a Blob,
// the card says so and points to the command line. Afterwards the worker,
// 2.3 GB large, ends and a new one starts: that teardown stalls the page
// once (about 0.2 s here), so no long-task limit is set for this picture.
test("a 16384 x 16384 BMP (768 MiB of pixels) converts", async () => {
  const huge = join(folder, "huge.bmp");
  const header = bmp(16384, 1, [Buffer.alloc(16384 * 3)]).subarray(0, 54);
  header.writeInt32LE(16384, 22);
  writeFileSync(huge, header);
  writeFileSync(huge, Buffer.alloc(16384 * 3 * 16384, 0x80), { flag: "a" });
  const card = await convertLarge(huge);
  rmSync(huge);
  assert.equal(card.line, "size:16384 x 16384");
  assert.equal(card.preview, 360);
  assert.ok(card.offered || /command-line/.test(card.explain), card.explain);
});
