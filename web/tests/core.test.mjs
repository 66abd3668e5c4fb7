// The core built for the web gives what the native programs give: the same
// line (size or error) and the same bytes of NAME.data and NAME.preview.bmp.
import assert from "node:assert/strict";
import { existsSync, readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { test } from "node:test";

import { dataInputs, pictureInputs } from "./inputs.mjs";
import { runNative } from "./native.mjs";

const createCore = createRequire(import.meta.url)(process.env.BMP2DATA_CORE_JS);
const core = await createCore();

function inHeap(bytes) {
  const pointer = core._malloc(Math.max(bytes.length, 1)) >>> 0;
  core.HEAPU8.set(bytes, pointer);
  return pointer;
}

let pieces = [];
core.onPiece = (piece) => pieces.push(piece);

// The whole answer of one call, as the page puts it together: the data text
// is its first line for the label followed by the pieces handed out.
function takeResult(result, label) {
  const ok = Boolean(core._resultOk(result));
  const width = core._resultWidth(result);
  const height = core._resultHeight(result);
  let file = null;
  if (ok && label !== undefined) {
    const labelText = inHeap(Buffer.from(`${label}\0`));
    const head = core.UTF8ToString(core._dataLine(labelText, width, height));
    core._free(labelText);
    file = Buffer.concat([Buffer.from(head), ...pieces]);
  } else if (ok) {
    const start = core._resultFile(result) >>> 0;
    file = Buffer.from(core.HEAPU8.slice(start, start + core._resultFileSize(result)));
  }
  const answer = {
    ok,
    failure: core.UTF8ToString(core._resultFailure(result)),
    line: core.UTF8ToString(core._resultLine(result)),
    file,
    shown: [core._resultShownWidth(result), core._resultShownHeight(result)],
  };
  // The pictures drawn: as read and with reduced colours.
  const shownBytes = answer.shown[0] * answer.shown[1] * 4;
  for (const [name, pointer] of [["image", core._resultShownImage(result)],
                                 ["preview", core._resultShownPreview(result)]]) {
    answer[name] = pointer ? Buffer.from(core.HEAPU8.slice(pointer >>> 0, (pointer >>> 0) + shownBytes)) : null;
  }
  core._freeResult(result);
  pieces = [];
  return answer;
}

function convertInWeb(bytes, label) {
  const input = inHeap(bytes);
  // As it is: original size, nearest colours, no key colour.
  const result = takeResult(core._convertBmp(input, bytes.length, 480, 360, 0, 0, 0, 0, 0, -1),
                            label);
  core._free(input);
  return result;
}

function previewInWeb(bytes) {
  const input = inHeap(bytes);
  const result = takeResult(core._previewData(input, bytes.length, 480, 360));
  core._free(input);
  return result;
}

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

// A BMP given a block of rows at a time, as the page does while reading it
// (blocks of `blockRows`, or the core's own size): null where the core
// takes only the whole file; else its answer, with the text put together as
// the page puts it (a bottom-up file's blocks last first) and the pictures.
function convertInBlocks(bytes, label, blockRows) {
  const head = inHeap(bytes.subarray(0, 4096));
  const job = core._startRowBlocks(head, Math.min(bytes.length, 4096), bytes.length, 480, 360);
  core._free(head);
  if (!job) return null;
  const stride = core._rowBlockStride(job);
  const rows = core._rowBlockRows(job);
  const step = Math.min(blockRows ?? core._rowBlockCount(job), core._rowBlockCount(job));
  const blocks = [];
  for (let first = 0; first < rows; first += step) {
    const count = Math.min(step, rows - first);
    const start = core._rowBlockOffset(job) + first * stride;
    const block = inHeap(bytes.subarray(start, start + count * stride));
    const whole = core._putRowBlock(job, block, count);
    core._free(block);
    blocks.push(pieces);
    pieces = [];
    if (!whole) {
      core._dropRowBlocks(job);
      return null;
    }
  }
  if (!core._rowBlocksTopDown(job)) blocks.reverse();
  const result = core._finishRowBlocks(job);
  pieces = [...blocks.flat(), ...pieces];
  return takeResult(result, label);
}

test("a BMP converted a block of rows at a time gives what it gives whole", () => {
  let streamed = 0;
  for (const input of pictureInputs()) {
    const bytes = readFileSync(input.path);
    for (const blockRows of [1, 3, undefined]) {
      const inBlocks = convertInBlocks(bytes, "pic", blockRows);
      if (!inBlocks) continue;
      streamed++;
      const whole = convertInWeb(bytes, "pic");
      assert.deepEqual(inBlocks, whole, `${input.name} in blocks of ${blockRows ?? "the core's size"}`);
    }
  }
  assert.ok(streamed > 30, `only ${streamed} conversions in blocks`);
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
  // A 1-bit picture of 27000 x 27000: 91 MB as a file, 2.2 GB of pixels as read.
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
  const big = convertInWeb(Buffer.concat([header, Buffer.alloc(rows.length * 10)]), "big");
  assert.deepEqual([big.ok, big.failure, big.line], [false, "outOfMemory", "Error: Malloc failed"]);
  const sample = readFileSync(new URL("../../examples/sample.bmp", import.meta.url));
  assert.deepEqual(convertInWeb(sample, "sample").shown, [32, 20]);
});
