// The table of inputs both front ends must treat alike: pictures written by
// real programs, the sample, files that once broke the reader, the bad
// inputs with their messages (tests/bad), and data files.
import { readdirSync } from "node:fs";
import { join } from "node:path";

const root = new URL("../..", import.meta.url).pathname;

function filesIn(folder, extension) {
  return readdirSync(join(root, folder))
    .filter((name) => name.endsWith(extension))
    .map((path) => ({ name: join(folder, path), path: join(root, folder, path) }));
}

// Every picture as a file on disk: {name, path}.
export function pictureInputs() {
  return [...filesIn("tests/fixtures", ".bmp"), ...filesIn("examples", ".bmp"),
          ...filesIn("fuzz/regressions", ".bmp"), ...filesIn("tests/bad", ".bmp")];
}

export function dataInputs() {
  return [...filesIn("fuzz/data-seeds", ".data"), ...filesIn("tests/bad", ".data")];
}
