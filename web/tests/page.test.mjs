// bmp2data.html opened from disk in Chromium: files given through the file
// input and by a drop give the native programs' lines, data files and
// previews; other formats give their stored colours.
import assert from "node:assert/strict";
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { basename, join } from "node:path";
import { after, before, test } from "node:test";

import { chromium } from "playwright-core";

import { dataInputs, pictureInputs } from "./inputs.mjs";
import { runNative } from "./native.mjs";

const fixtures = new URL("fixtures/", import.meta.url).pathname;
const chromiumPath = process.env.CHROMIUM ?? "/usr/bin/chromium";
if (!existsSync(chromiumPath)) {
  console.log(`SKIPPED: no Chromium at ${chromiumPath} (Debian's chromium package)`);
  process.exit(77);
}
let browser;
let page;

before(async () => {
  browser = await chromium.launch({
    executablePath: chromiumPath,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--no-first-run"],
  });
  page = await browser.newPage({ acceptDownloads: true, viewport: { width: 1100, height: 900 } });
  const errors = [];
  page.on("pageerror", (error) => errors.push(error.message));
  await page.goto(`file://${process.env.BMP2DATA_PAGE}`);
  page.errors = errors;
});

after(async () => {
  assert.deepEqual(page.errors, []);
  await browser.close();
});

// Waits for the views of these files and returns, for each, its line and
// the bytes its download link offers (read inside the page).
async function viewsOf(names) {
  await page.waitForFunction(
    (wanted) => wanted.every((name) => document.querySelector(`.result[data-name="${name}"][data-done]`)),
    names, { timeout: 60000 });
  return page.evaluate(async (wanted) => {
    const views = {};
    for (const name of wanted) {
      const view = document.querySelector(`.result[data-name="${name}"]`);
      const link = view.querySelector(".download a");
      let file = null;
      if (!view.querySelector(".download").hidden) {
        file = [...new Uint8Array(await (await fetch(link.href)).arrayBuffer())];
      }
      views[name] = { line: view.querySelector(".line").textContent, file, download: link.download };
    }
    return views;
  }, names);
}

async function clearResults() {
  await page.evaluate(() => { document.getElementById("results").textContent = ""; });
}

test("pictures picked with the file input give the native text", async () => {
  const inputs = pictureInputs().filter(({ path }) => !path.includes("regressions"));
  await page.setInputFiles("#files", inputs.map(({ path }) => path));
  const views = await viewsOf(inputs.map(({ path }) => basename(path)));
  for (const { name, path } of inputs) {
    const label = basename(path, ".bmp");
    const native = runNative("bmp2data", path, "bmp", "data", label.replace(/[^A-Za-z0-9_]/g, "_"));
    const view = views[basename(path)];
    assert.equal(view.line, native.line, name);
    if (native.file) {
      // The label is the file's name; the native run used a safe copy of it.
      const expected = native.file.toString().replace(/^[^:]*:/, `${label}:`);
      assert.equal(Buffer.from(view.file).toString(), expected, name);
      assert.equal(view.download, `${label}.data`, name);
    } else {
      assert.equal(view.file, null, name);
    }
  }
  await clearResults();
});

test("data files give the native preview, also when dropped", async () => {
  const inputs = dataInputs();
  // A drop, as from a file manager.
  await page.evaluate(async (files) => {
    const transfer = new DataTransfer();
    for (const { name, bytes } of files) {
      transfer.items.add(new File([new Uint8Array(bytes)], name));
    }
    document.getElementById("drop").dispatchEvent(
      new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, inputs.map(({ path }) => ({ name: basename(path), bytes: [...readFileSync(path)] })));
  const views = await viewsOf(inputs.map(({ path }) => basename(path)));
  for (const { name, path } of inputs) {
    const native = runNative("data2bmp", path, "data", "preview.bmp");
    const view = views[basename(path)];
    assert.equal(view.line, native.line, name);
    assert.deepEqual(view.file && Buffer.from(view.file), native.file, name);
  }
  await clearResults();
});

// The pixels of a 24-bit BMP, top row first, as RGBA.
function bmpPixels(bytes) {
  const offset = bytes.readUInt32LE(10);
  const width = bytes.readInt32LE(18);
  const height = bytes.readInt32LE(22);
  const stride = Math.ceil((width * 3) / 4) * 4;
  const rgba = [];
  for (let y = height - 1; y >= 0; y--) {
    for (let x = 0; x < width; x++) {
      const at = offset + y * stride + x * 3;
      rgba.push(bytes[at + 2], bytes[at + 1], bytes[at], 255);
    }
  }
  return rgba;
}

test("the reduced-colour preview shows the pixels data2bmp writes; downloads work", async () => {
  const sample = new URL("../../examples/sample.bmp", import.meta.url).pathname;
  await page.setInputFiles("#files", [sample]);
  await viewsOf(["sample.bmp"]);
  const shown = await page.evaluate(() => {
    const canvas = document.querySelector('.result[data-name="sample.bmp"] .reduced canvas');
    return [...canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data];
  });
  const data = runNative("bmp2data", sample, "bmp", "data").file;
  const dataFile = join(mkdtempSync(join(tmpdir(), "bmp2data-page-")), "sample.data");
  writeFileSync(dataFile, data);
  const preview = runNative("data2bmp", dataFile, "data", "preview.bmp").file;
  assert.deepEqual(shown, bmpPixels(preview));

  // A real download, as a user gets it.
  const [download] = await Promise.all([
    page.waitForEvent("download"),
    page.click('.result[data-name="sample.bmp"] .download a'),
  ]);
  assert.equal(download.suggestedFilename(), "sample.data");
  const saved = readFileSync(await download.path());
  assert.deepEqual(saved, runNative("bmp2data", sample, "bmp", "data", "sample").file);

  // The label can be edited; the text follows it.
  await page.fill('.result[data-name="sample.bmp"] .label', "9lives");
  await page.waitForFunction(() => document.querySelector(".result .download a").download === "9lives.data");
  assert.match(await page.textContent(".result .warning"), /reject/);
  await clearResults();
});

test("PNG, GIF and WebP give their stored colours: no colour profile, no premultiplication", async () => {
  const pairs = ["icc.png", "alpha.png", "few.gif", "lossless.webp"];
  await page.setInputFiles("#files", [...pairs.map((name) => join(fixtures, name)), join(fixtures, "photo.jpg")]);
  const views = await viewsOf([...pairs, "photo.jpg"]);
  for (const name of pairs) {
    const twin = join(fixtures, `${name.split(".")[0]}.bmp`);
    const label = name.split(".")[0];
    const native = runNative("bmp2data", twin, "bmp", "data", label);
    assert.equal(views[name].line, native.line, name);
    assert.equal(Buffer.from(views[name].file).toString(), native.file.toString(), name);
  }
  assert.equal(views["photo.jpg"].line, "size:16 x 12");
});

test("it works with the keyboard, and the screenshot is taken", async () => {
  await page.reload();
  await page.keyboard.press("Tab");
  assert.equal(await page.evaluate(() => document.activeElement.id), "files");
  await page.setInputFiles("#files", [new URL("../../examples/sample.bmp", import.meta.url).pathname,
                                      join(fixtures, "alpha.png")]);
  await viewsOf(["sample.bmp", "alpha.png"]);
  // From the file input on: the first label, then (past the scrollable
  // text, which the keyboard can scroll) its download link.
  await page.focus("#files");
  await page.keyboard.press("Tab");
  assert.equal(await page.evaluate(() => document.activeElement.className), "label");
  const reached = [];
  for (let i = 0; i < 3 && reached.at(-1) !== "A"; i++) {
    await page.keyboard.press("Tab");
    reached.push(await page.evaluate(() => document.activeElement.tagName));
  }
  assert.equal(reached.at(-1), "A", reached.join(" "));
  assert.equal(await page.evaluate(() => document.activeElement.download), "sample.data");
  await page.screenshot({ path: process.env.SCREENSHOT ?? "bmp2data-page.png", fullPage: true });
});
