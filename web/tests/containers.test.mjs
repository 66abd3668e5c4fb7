// The page's own reading of picture containers: format, declared size, and
// whether the file is all there, on the fixtures whole, cut short and
// corrupted.
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { test } from "node:test";

import { inspectPicture } from "../containers.js";
import { pixelRows, png } from "./pictures.mjs";

const fixture = (name) => readFileSync(new URL(`fixtures/${name}`, import.meta.url));

const cut = (bytes, count) => bytes.subarray(0, bytes.length - count);
const flipped = (bytes, from) => {
  const copy = Buffer.from(bytes);
  copy[copy.length - from] ^= 0x10;
  return copy;
};
const made = png(300, 200, pixelRows(300, 200, (x, y) => [x & 255, y, 7]));

// name: [bytes, format, width, height, complete]
const cases = {
  "PNG": [fixture("alpha.png"), "png", 6, 4, true],
  "PNG without its IEND": [cut(fixture("alpha.png"), 12), "png", 6, 4, false],
  "PNG cut inside a chunk": [cut(fixture("icc.png"), 30), "png", 6, 4, false],
  "PNG with a byte changed": [flipped(fixture("icc.png"), 20), "png", 6, 4, false],
  "PNG made here": [made, "png", 300, 200, true],
  "JPEG": [fixture("photo.jpg"), "jpeg", 16, 12, true],
  "JPEG without its EOI": [cut(fixture("photo.jpg"), 2), "jpeg", 16, 12, false],
  "JPEG cut in its scan": [cut(fixture("photo.jpg"), 60), "jpeg", 16, 12, false],
  "JPEG cut in its header": [fixture("photo.jpg").subarray(0, 100), "jpeg", 0, 0, false],
  "GIF": [fixture("few.gif"), "gif", 6, 4, true],
  "GIF without its trailer": [cut(fixture("few.gif"), 1), "gif", 6, 4, false],
  "GIF cut in its image": [cut(fixture("few.gif"), 8), "gif", 6, 4, false],
  "lossless WebP": [fixture("lossless.webp"), "webp", 6, 4, true],
  "WebP cut short": [cut(fixture("lossless.webp"), 4), "webp", 6, 4, false],
  "empty file": [Buffer.alloc(0), null, 0, 0, false],
  "TIFF": [Buffer.from("II*\0\x08\0\0\0", "latin1"), null, 0, 0, true],
  "RIFF that is not WebP": [Buffer.from("RIFF\x04\0\0\0WAVE", "latin1"), null, 0, 0, true],
};

test("each container's format, declared size and completeness", () => {
  for (const [name, [bytes, format, width, height, complete]] of Object.entries(cases)) {
    const found = inspectPicture(new Uint8Array(bytes));
    assert.deepEqual([found.format, found.width, found.height, found.complete],
                     [format, width, height, complete], name);
  }
});

test("an animation's frame count and delays, in each format that has them; a still picture has one frame", () => {
  for (const extension of ["gif", "png", "webp"]) {
    const found = inspectPicture(new Uint8Array(fixture(`three-frames.${extension}`)));
    assert.deepEqual([found.width, found.height, found.frames, found.delays, found.complete],
                     [8, 6, 3, [100, 200, 300], true], extension);
  }
  for (const still of ["few.gif", "alpha.png", "lossless.webp", "photo.jpg"]) {
    assert.equal(inspectPicture(new Uint8Array(fixture(still))).frames, 1, still);
  }
});

test("every cut of a PNG, a JPEG and a GIF past its signature is found incomplete", () => {
  for (const name of ["alpha.png", "photo.jpg", "few.gif"]) {
    const bytes = fixture(name);
    for (let length = 8; length < bytes.length; length++) { // past the signatures
      assert.equal(inspectPicture(new Uint8Array(bytes.subarray(0, length))).complete, false,
                   `${name} cut to ${length} bytes`);
    }
  }
});

test("a colour profile is seen where the file carries one", () => {
  assert.equal(inspectPicture(new Uint8Array(fixture("icc.png"))).profile, true);
  for (const name of ["alpha.png", "photo.jpg", "few.gif", "lossless.webp"]) {
    assert.equal(inspectPicture(new Uint8Array(fixture(name))).profile, false, name);
  }
});
