// Runs the native programs on a file, as a user would, for comparison.
import { execFileSync } from "node:child_process";
import { copyFileSync, existsSync, mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";

export const programs = {
  bmp2data: process.env.BMP2DATA,
  data2bmp: process.env.DATA2BMP,
  fit_data: process.env.FIT_DATA,
};

// Without the native programs there is nothing to compare with: skipped.
for (const [name, path] of Object.entries(programs)) {
  if (!path || !existsSync(path)) {
    console.log(`SKIPPED: no native ${name} at ${path} (build the default preset first)`);
    process.exit(77);
  }
}

// Copies `input` to NAME.EXTENSION in a new folder, runs the program on NAME
// there and returns its exit status, its output (on failure its last line,
// the error) and the file it wrote, if any.
export function runNative(program, input, extension, output, name = "pic") {
  const folder = mkdtempSync(join(tmpdir(), "bmp2data-web-"));
  try {
    copyFileSync(input, join(folder, `${name}.${extension}`));
    let stdout = "";
    let status = 0;
    try {
      stdout = execFileSync(programs[program], [name], { cwd: folder }).toString();
    } catch (error) {
      stdout = error.stdout.toString();
      status = error.status;
    }
    const lines = stdout.trimEnd().split("\n");
    const written = join(folder, `${name}.${output}`);
    return {
      status,
      line: status === 0 ? lines.join("\n") : lines[lines.length - 1],
      file: existsSync(written) ? readFileSync(written) : null,
    };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}
