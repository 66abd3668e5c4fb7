// The core built for the web gives what the native programs give: the same
// line (size or error) and the same bytes of NAME.data and NAME.preview.bmp.
import assert from "node:assert/strict";
import { existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";

import { runCoreJob, warmUp } from "../core_job.js";
import { tileTextFor } from "../tile_text.js";
import { texts } from "../texts.js";
import { dataInputs, pictureInputs } from "./inputs.mjs";
import { runNative } from "./native.mjs";
import { bmp, pixelRows } from "./pictures.mjs";

const createCore = createRequire(import.meta.url)(process.env.BMP2DATA_CORE_JS);
const core = await createCore();


// The whole answer of one job, as the page puts it together: the data text
// is its first line for the label followed by the pieces handed out.
function runJob(options, bytes, label) {
  const pieces = [];
  const result = runCoreJob(core, { maxWidth: 480, maxHeight: 360, size: bytes.length, ...options },
                            { bytes }, (piece) => pieces.push(piece.slice()));
  let file = null;
  if (result.ok && label !== undefined) {
    file = Buffer.concat([Buffer.from(core.dataLine(label, result.width, result.height)), ...pieces]);
  } else if (result.ok) {
    file = Buffer.from(result.file);
  }
  const image = (buffer) => (buffer ? Buffer.from(buffer) : null);
  return { ok: result.ok, failure: result.failure, line: result.line, file,
           shown: [result.shownWidth, result.shownHeight],
           image: image(result.shownImage), preview: image(result.shownPreview) };
}

// As it is: original size, nearest colours, no key colour.
const convertInWeb = (bytes, label, options = {}) => runJob({ kind: "bmp", ...options }, bytes, label);
const previewInWeb = (bytes) => runJob({ kind: "data" }, bytes);

// The web gives the native line, says whether it worked as the native exit
// status does (naming the failure), and a bad input's line is the one in
// the .err file beside it.
function assertSameOutcome(web, native, { name, path }) {
  assert.equal(web.line, native.line, name);
  assert.equal(web.ok, native.status === 0, name);
  assert.equal(web.failure === "", web.ok, name);
  const expected = path.replace(/\.(bmp|data)$/, ".err");
  if (existsSync(expected)) assert.equal(`${web.line}\n`, readFileSync(expected, "utf8"), name);
}

test("every picture gives the native line and data file", () => {
  for (const input of pictureInputs()) {
    const native = runNative("bmp2data", input.path, "bmp", "data");
    const web = convertInWeb(readFileSync(input.path), "pic");
    assertSameOutcome(web, native, input);
    assert.deepEqual(web.file, native.file, input.name);
  }
});

// The worker warms the core up with a BMP of its own making: one the core
// converts, so that the code made fast is a conversion's.
test("the worker's warm-up picture converts", () => {
  const { ok, line } = warmUp(core);
  assert.deepEqual({ ok, line }, { ok: true, line: "size:1024 x 1024" });
});

// A plain BMP taken as it is is converted a block of rows at a time; asked
// for a key colour (which changes nothing in a picture without alpha) it is
// decoded whole.
test("a BMP converted a block of rows at a time gives what it gives whole", () => {
  let compared = 0;
  for (const input of pictureInputs()) {
    const bytes = readFileSync(input.path);
    const byRows = convertInWeb(bytes, "pic");
    const whole = convertInWeb(bytes, "pic", { key: "199" });
    if (!byRows.ok || bytes.readUInt16LE(28) > 24 || bytes.readUInt32LE(30) !== 0) continue;
    compared++;
    assert.deepEqual(byRows, whole, input.name);
  }
  assert.ok(compared > 10, `only ${compared} pictures compared`);
});

// Every failure the page can meet is explained on its cards in both languages.
test("every failure the page can meet has its explanation in both languages", () => {
  const inPage = core.failures().filter((kind) => kind.inPage).map((kind) => kind.name);
  assert.ok(inPage.includes("damaged") && inPage.includes("badHeader"));
  for (const language of ["pt", "en"]) {
    const explained = Object.keys(texts[language].failures);
    assert.deepEqual(inPage.filter((name) => !explained.includes(name)), [], language);
  }
  assert.equal(core.failureLine("cannotRead", "a\nb.png"), "Error: cannot read a\\nb.png");
});

// A sheet's frames, each with its label line, against the native program on
// each frame saved as a BMP of its own; empty frames skipped keep the others'
// numbers.
test("a sheet cut into frames gives bmp2data's text for each frame", () => {
  const [frameWidth, frameHeight, margin, spacing, columns, rows] = [5, 3, 2, 1, 3, 2];
  const width = margin + columns * (frameWidth + spacing) + 1;
  const height = margin + rows * (frameHeight + spacing);
  const colour = (x, y) => [(x * 37 + y * 11) & 255, (x * y * 5) & 255, (x + y * 29) & 255];
  const sheet = bmp(width, height, pixelRows(width, height, colour));
  const frames = Object.fromEntries(Object.entries({ frameWidth, frameHeight, margin, spacing })
    .map(([box, value]) => [box, String(value)]));
  const pieces = [];
  const result = runCoreJob(core, { kind: "bmp", maxWidth: 480, maxHeight: 360, size: sheet.length,
                                    ...frames }, { bytes: sheet }, (piece) => pieces.push(piece.slice()));
  assert.deepEqual([result.frames.made, result.frames.skipped, result.frames.leftoverColumns,
                    result.frames.leftoverRows], [6, 0, 2, 1]);
  const body = Buffer.concat(pieces);
  const ends = [...result.frames.offsets.slice(1), body.length];
  for (let n = 0; n < columns * rows; n++) {
    const [left, top] = [margin + (n % columns) * (frameWidth + spacing),
                         margin + Math.floor(n / columns) * (frameHeight + spacing)];
    const frame = bmp(frameWidth, frameHeight,
                      pixelRows(frameWidth, frameHeight, (x, y) => colour(left + x, top + y)));
    const folder = mkdtempSync(join(tmpdir(), "bmp2data-frame-"));
    const path = join(folder, "frame.bmp");
    writeFileSync(path, frame);
    const native = runNative("bmp2data", path, "bmp", "data", `sheet_${n}`);
    rmSync(folder, { recursive: true, force: true });
    const text = Buffer.concat([Buffer.from(core.dataLine(`sheet_${n}`, result.frames.width,
                                                          result.frames.height)),
                                body.subarray(result.frames.offsets[n], ends[n])]);
    assert.equal(result.frames.numbers[n], n);
    assert.deepEqual(text.toString(), native.file.toString(), `frame ${n}`);
  }
  const bad = runCoreJob(core, { kind: "bmp", size: sheet.length, frameWidth: "5" }, { bytes: sheet },
                         () => {});
  assert.equal(bad.line, "Error: bad frames (give both the frame width and the frame height, or neither)");
});

// The boxes of tests/cases/typed-numbers.txt as the page sends them: the
// text as typed. The native suite runs the same table through the codec.
test("numbers typed in the page's boxes give the table's lines", () => {
  const table = readFileSync(new URL("../../tests/cases/typed-numbers.txt", import.meta.url), "latin1");
  const picture = bmp(32, 20, pixelRows(32, 20, (x, y) => [x * 8, y * 12, 99]));
  let rows = 0;
  for (const row of table.split("\n")) {
    const bar = row.indexOf(" | ");
    if (row.startsWith("#") || bar < 0) continue;
    const boxes = { columns: "64", rows: "40", fit: "stretch" };
    for (const box of row.slice(0, bar).split(" ").filter(Boolean)) {
      const equals = box.indexOf("=");
      const typed = box.slice(equals + 1).replace(/\\x([0-9a-f]{2})/gi,
                                                   (_, hex) => String.fromCharCode(parseInt(hex, 16)));
      boxes[box.slice(0, equals)] = Buffer.from(typed, "latin1").toString("utf8");
    }
    const result = runCoreJob(core, { kind: "bmp", size: picture.length, maxWidth: 480, maxHeight: 360,
                                      ...boxes }, { bytes: picture }, () => {});
    assert.equal(result.line, Buffer.from(row.slice(bar + 3), "latin1").toString("utf8"), row);
    rows++;
  }
  assert.ok(rows > 40, `${rows} rows`);
});

test("every data file gives the native line and preview", () => {
  for (const input of dataInputs()) {
    const native = runNative("data2bmp", input.path, "data", "preview.bmp");
    const web = previewInWeb(readFileSync(input.path));
    assertSameOutcome(web, native, input);
    assert.deepEqual(web.file, native.file, input.name);
  }
});

test("large pictures are shown at the size asked for; one past memory is reported", () => {
  // A 1-bit picture of 27000 x 27000: 91 MB as a file, 2.2 GB of pixels when
  // decoded whole (as fitting or a key colour needs).
  const header = Buffer.alloc(62);
  header.write("BM", 0);
  header.writeUInt32LE(62, 10);
  header.writeUInt32LE(40, 14);
  header.writeInt32LE(27000, 18);
  header.writeUInt16LE(1, 26);
  header.writeUInt16LE(1, 28);
  header.writeUInt32LE(0xffffff, 58); // palette: black, white
  const rows = Buffer.alloc(Math.ceil(27000 / 32) * 4 * 2700);
  header.writeInt32LE(2700, 22);
  const tall = convertInWeb(Buffer.concat([header, rows]), "tall");
  assert.deepEqual([tall.line, tall.shown], ["size:27000 x 2700", [480, 48]]);
  header.writeInt32LE(27000, 22);
  const big = convertInWeb(Buffer.concat([header, Buffer.alloc(rows.length * 10)]), "big",
                           { key: "199" });
  assert.deepEqual([big.ok, big.failure, big.line], [false, "outOfMemory", "Error: Malloc failed"]);
  const sample = readFileSync(new URL("../../examples/sample.bmp", import.meta.url));
  assert.deepEqual(convertInWeb(sample, "sample").shown, [32, 20]);
});

// The job cases of the native suite (tests/jobs): each NAME.job's input and
// choices, and the NAME.data it gives (first line for its label, then the
// text) or the NAME.err line it fails with.
const jobCases = new URL("../../tests/jobs/", import.meta.url);
const jobOptionNames = { "frame width": "frameWidth", "frame height": "frameHeight",
                         "skip empty": "skipEmpty", "tile width": "tileWidth",
                         "tile height": "tileHeight", "mirrored tiles": "mirroredTiles" };
const yesOrNo = new Set(["skip empty", "mirrored tiles"]);

function jobOfFile(text) {
  const options = {};
  for (const line of text.split("\n").filter((each) => each && !each.startsWith("#"))) {
    const equals = line.indexOf(" = ");
    const [key, value] = [line.slice(0, equals), line.slice(equals + 3)];
    options[jobOptionNames[key] ?? key] = yesOrNo.has(key) ? value === "yes" : value;
  }
  return options;
}

test("every job case gives the native suite's data or line", () => {
  const names = readdirSync(jobCases).filter((name) => name.endsWith(".job"));
  assert.ok(names.length >= 12, "the job cases are there");
  for (const name of names) {
    const { input, ...options } = jobOfFile(readFileSync(new URL(name, jobCases), "utf8"));
    const bytes = readFileSync(new URL(input, jobCases));
    const pieces = [];
    const result = runCoreJob(core, { kind: "bmp", name: input, size: bytes.length, ...options },
                              { bytes }, (piece) => pieces.push(piece.slice()));
    const base = new URL(name.replace(/\.job$/, ""), jobCases);
    if (existsSync(`${base.pathname}.err`)) {
      assert.equal(`${result.line}\n`, readFileSync(`${base.pathname}.err`, "utf8"), name);
      continue;
    }
    assert.ok(result.ok, `${name}: ${result.line}`);
    const first = result.frames || result.tiles ? [] : [Buffer.from(core.dataLine(options.label ?? "", result.width,
                                                                  result.height))];
    assert.deepEqual(Buffer.concat([...first, ...pieces]), readFileSync(`${base.pathname}.data`), name);
  }
});

// The numbers of a data text's block after its label line "NAME: .word …",
// read here without the core: the .word numbers and the values.
function blockOf(text, name) {
  const start = text.indexOf(`${name}: .word `);
  const end = text.indexOf("\n\n\n", start);
  const [word, ...rest] = text.slice(start, end).split("\n");
  const numbers = (line) => line.replace(/^.*?(\.word|\.byte|\.half) /, "").split(",")
    .filter((each) => each.trim() !== "").map(Number);
  return { word: numbers(word), values: rest.flatMap(numbers) };
}

// A level drawn again from its tile set and map, as a program on the
// display would: entry bits 15 and 14 mirror where the map is of halves.
function drawnLevel(text, label) {
  const tiles = blockOf(text, `${label}_tiles`);
  const map = blockOf(text, `${label}_map`);
  const [columns, rows, tileWidth, tileHeight] = map.word;
  const mirrorBits = text.includes(`${label}_map: .word ${map.word.join(", ")}\n.half`);
  const width = columns * tileWidth;
  const level = new Uint8Array(width * rows * tileHeight);
  map.values.forEach((entry, at) => {
    const number = mirrorBits ? entry & 0x3fff : entry;
    for (let y = 0; y < tileHeight; y++) {
      for (let x = 0; x < tileWidth; x++) {
        const fromX = mirrorBits && entry & 0x8000 ? tileWidth - 1 - x : x;
        const fromY = mirrorBits && entry & 0x4000 ? tileHeight - 1 - y : y;
        level[((Math.floor(at / columns) * tileHeight) + y) * width + (at % columns) * tileWidth + x] =
          tiles.values[(number * tileHeight + fromY) * tileWidth + fromX];
      }
    }
  });
  return { width, height: rows * tileHeight, level };
}

test("a level cut into tiles is the whole picture again, drawn from its tile set and map", async () => {
  let seed = 7; // xorshift: the same levels every run
  const random = (below) => {
    seed ^= seed << 13; seed ^= seed >>> 17; seed ^= seed << 5;
    return (seed >>> 0) % below;
  };
  for (let round = 0; round < 12; round++) {
    const [tileWidth, tileHeight] = [1 + random(6), 1 + random(6)];
    const [columns, rows] = [1 + random(8), 1 + random(8)];
    const pool = Array.from({ length: 1 + random(5) },
                            () => Array.from({ length: tileWidth * tileHeight },
                                             () => [random(2) * 255, random(2) * 255, 0]));
    const placed = Array.from({ length: columns * rows }, () => [random(pool.length), random(4)]);
    const extra = random(Math.min(tileWidth, tileHeight));
    const [width, height] = [columns * tileWidth + extra, rows * tileHeight + extra];
    const bytes = bmp(width, height, pixelRows(width, height, (x, y) => {
      const [column, row] = [Math.floor(x / tileWidth), Math.floor(y / tileHeight)];
      if (column >= columns || row >= rows) return [0, 0, 255];
      const [tile, mirror] = placed[row * columns + column];
      const fromX = mirror & 1 ? tileWidth - 1 - (x % tileWidth) : x % tileWidth;
      const fromY = mirror & 2 ? tileHeight - 1 - (y % tileHeight) : y % tileHeight;
      return pool[tile][fromY * tileWidth + fromX];
    }));
    const whole = blockOf(runJob({ kind: "bmp", name: "level.bmp" }, bytes, "whole").file.toString(),
                          "whole").values;
    const cropped = whole.filter((_, at) => at % width < columns * tileWidth
                                            && Math.floor(at / width) < rows * tileHeight);
    for (const mirroredTiles of [false, true]) {
      const options = { kind: "bmp", name: "level.bmp", label: "lvl",
                        tileWidth: String(tileWidth), tileHeight: String(tileHeight), mirroredTiles };
      const pieces = [];
      const result = runCoreJob(core, { size: bytes.length, ...options }, { bytes },
                                (piece) => pieces.push(piece.slice()));
      assert.ok(result.ok, result.line);
      const text = Buffer.concat(pieces).toString();
      assert.deepEqual([...drawnLevel(text, "lvl").level], cropped, `round ${round} ${mirroredTiles}`);
      if (mirroredTiles) assert.ok(result.tiles.distinct <= pool.length);
      // Another label: the page's text for it is the core's for it.
      const again = [];
      runCoreJob(core, { size: bytes.length, ...options, label: "x" }, { bytes },
                 (piece) => again.push(piece.slice()));
      const relabelled = tileTextFor(core, new Blob(pieces), result.tiles, "x");
      assert.equal(await relabelled.text(), Buffer.concat(again).toString());
    }
  }
});
