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
  const pointer = core._malloc(Math.max(bytes.length, 1));
  core.HEAPU8.set(bytes, pointer);
  return pointer;
}

function takeResult(result) {
  const ok = Boolean(core._resultOk(result));
  const line = core.UTF8ToString(core._resultLine(result));
  const start = core._resultFile(result);
  const file = Buffer.from(core.HEAPU8.slice(start, start + core._resultFileSize(result)));
  core._freeResult(result);
  return { ok, line, file: ok ? file : null };
}

// The web gives the native line, says whether it worked as the native exit
// status does, and a bad input's line is the one in the .err file beside it.
function assertSameOutcome(web, native, { name, path }) {
  assert.equal(web.line, native.line, name);
  assert.equal(web.ok, native.status === 0, name);
  const expected = path.replace(/\.(bmp|data)$/, ".err");
  if (existsSync(expected)) assert.equal(`${web.line}\n`, readFileSync(expected, "utf8"), name);
}

function convertInWeb(bytes, label) {
  const input = inHeap(bytes);
  const labelText = inHeap(Buffer.from(`${label}\0`));
  const result = takeResult(core._convertBmp(input, bytes.length, labelText));
  core._free(input);
  core._free(labelText);
  return result;
}

function previewInWeb(bytes) {
  const input = inHeap(bytes);
  const result = takeResult(core._previewData(input, bytes.length));
  core._free(input);
  return result;
}

test("every picture gives the native line and data file", () => {
  for (const input of pictureInputs()) {
    const native = runNative("bmp2data", input.path, "bmp", "data");
    const web = convertInWeb(readFileSync(input.path), "pic");
    assertSameOutcome(web, native, input);
    assert.deepEqual(web.file, native.file, input.name);
  }
});

test("every data file gives the native line and preview", () => {
  for (const input of dataInputs()) {
    const native = runNative("data2bmp", input.path, "data", "preview.bmp");
    const web = previewInWeb(readFileSync(input.path));
    assertSameOutcome(web, native, input);
    assert.deepEqual(web.file, native.file, input.name);
  }
});

test("a picture too large for memory is reported and the core goes on", () => {
  // 20000 x 20000 pixels need 1.2 GB beside the file's 1.2 GB: past the ceiling.
  const header = Buffer.from(readFileSync(new URL("../../examples/sample.bmp", import.meta.url)))
    .subarray(0, 54);
  header.writeInt32LE(20000, 18);
  header.writeInt32LE(20000, 22);
  const file = Buffer.concat([header, Buffer.alloc(60000 * 20000)]);
  assert.equal(convertInWeb(file, "big").line, "Error: Malloc failed");
  assert.equal(convertInWeb(readFileSync(new URL("../../examples/sample.bmp", import.meta.url)),
                            "sample").line, "size:32 x 20");
});
