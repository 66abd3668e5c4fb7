// The table of inputs both front ends must treat alike: pictures written by
// real programs, the sample, files that once broke the reader, and bad files
// made from the sample.
import { mkdtempSync, readdirSync, readFileSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

const root = new URL("../..", import.meta.url).pathname;

function filesIn(folder, extension) {
  return readdirSync(join(root, folder))
    .filter((name) => name.endsWith(extension))
    .map((name) => join(root, folder, name));
}

function patched(change) {
  const bytes = Buffer.from(readFileSync(join(root, "examples/sample.bmp")));
  return change(bytes) ?? bytes;
}

const badPictures = {
  "truncated": () => patched((b) => b.subarray(0, b.length - 7)),
  "no signature": () => patched((b) => { b[0] = 0x58; }),
  "negative width": () => patched((b) => { b.writeInt32LE(-3, 18); }),
  "JPEG inside": () => patched((b) => { b.writeUInt32LE(4, 30); }),
  "2 bits per pixel": () => patched((b) => { b.writeUInt16LE(2, 28); }),
  "8 bits, no room for the palette": () => patched((b) => { b.writeUInt16LE(8, 28); }),
  "empty": () => Buffer.alloc(0),
};

const dataTexts = {
  "as written": "logo: .word 2, 2\n.byte 7,255,\n192,56,\n\n\n",
  "CR LF": "logo: .word 1, 2\r\n.byte 7,\r\n9,\r\n",
  "value over 255": "logo: .word 1, 1\n.byte 300,\n",
  "too few values": "logo: .word 2, 2\n.byte 1,2,\n3,\n",
  "no .word line": "",
  "absurd size": "logo: .word 100000, 100000\n.byte 0,\n",
};

// Every input as a file on disk: {name, path}.
export function pictureInputs() {
  const folder = mkdtempSync(join(tmpdir(), "bmp2data-inputs-"));
  const bad = Object.entries(badPictures).map(([name, make]) => {
    const path = join(folder, `${name.replaceAll(" ", "-")}.bmp`);
    writeFileSync(path, make());
    return { name, path };
  });
  const files = [...filesIn("tests/fixtures", ".bmp"), join(root, "examples/sample.bmp"),
                 ...filesIn("fuzz/regressions", ".bmp")];
  return [...files.map((path) => ({ name: path.slice(root.length), path })), ...bad];
}

export function dataInputs() {
  const folder = mkdtempSync(join(tmpdir(), "bmp2data-inputs-"));
  const texts = Object.entries(dataTexts).map(([name, text]) => {
    const path = join(folder, `${name.replaceAll(" ", "-")}.data`);
    writeFileSync(path, text);
    return { name, path };
  });
  const seeds = filesIn("fuzz/data-seeds", ".data");
  return [...seeds.map((path) => ({ name: path.slice(root.length), path })), ...texts];
}
