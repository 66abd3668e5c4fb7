// One job of the core (see web_core.cpp): the one script that reads the
// core's results, for the worker and for the tests that run the core under
// Node. The input is read into the core's memory as the core asks for it,
// from bytes at hand or from a file read synchronously (in a worker); the
// data text's pieces go to `takePiece` (views of the core's memory, to be
// copied during the call if kept); the pictures and the file in the
// result come as buffers of their own.

// Files are read in slices of this size, so that no read needs memory
// beside the core's for more than a slice.
const readSlice = 16 * 1024 * 1024;

// (offset, size, target) => whether `target` now holds those bytes.
function inputReader({ bytes, file }) {
  if (bytes) {
    const all = new Uint8Array(bytes.buffer ?? bytes, bytes.byteOffset ?? 0, bytes.byteLength);
    return (offset, size, target) => {
      if (offset + size > all.length) return false;
      target.set(all.subarray(offset, offset + size));
      return true;
    };
  }
  const reader = new FileReaderSync();
  return (offset, size, target) => {
    for (let done = 0; done < size;) {
      const end = offset + Math.min(size, done + readSlice);
      const part = new Uint8Array(reader.readAsArrayBuffer(file.slice(offset + done, end)));
      if (part.length === 0) return false; // changed or gone since it was chosen
      target.set(part, done);
      done += part.length;
    }
    return true;
  };
}

// The core's answer to `options`; `input` is {bytes} or {file}, or nothing
// for a picture already given in tiles. A picture cut into frames has, in
// `frames`, each frame's number and where its rows start in the text, and
// the frames' size; frames and tiles have the label their text was written
// with.
export function runCoreJob(core, options, input, takePiece) {
  const read = input ? inputReader(input) : () => false;
  core.onPiece = takePiece;
  core.readInput = (offset, size, pointer) => {
    try {
      return read(offset, size, core.HEAPU8.subarray(pointer, pointer + size));
    } catch {
      return false; // nothing may be thrown through the core
    }
  };
  // Where each frame's label line and rows start among the text's bytes,
  // for another label.
  const numbers = [];
  const lineStarts = [];
  const offsets = [];
  let frameSize = [0, 0];
  core.onFrame = (number, width, height, lineStart, rowsStart) => {
    numbers.push(number);
    lineStarts.push(lineStart);
    offsets.push(rowsStart);
    frameSize = [width, height];
  };
  const result = core.convert(options);
  for (const name of ["shownImage", "shownPreview", "file"]) {
    result[name] = result[name] ? result[name].buffer : null;
  }
  if (result.tiles) result.tiles.label = options.label ?? "";
  if (result.frames) {
    Object.assign(result.frames, { numbers: Uint32Array.from(numbers),
                                   lineStarts: Float64Array.from(lineStarts),
                                   offsets: Float64Array.from(offsets), label: options.label ?? "",
                                   width: frameSize[0], height: frameSize[1] });
  }
  return result;
}

// A 1024 × 1024 BMP converted, its text dropped. A module's code runs first
// as compiled for a quick start, and is compiled again for speed as it
// runs; and the core's memory grows to what a large BMP's conversion uses.
// Done as the worker starts, this has both done before the first picture
// the user picks.
export function warmUp(core) {
  const side = 1024;
  const bytes = new Uint8Array(54 + side * side * 3).map((_, i) => i * 7);
  const header = new DataView(bytes.buffer);
  bytes.set([66, 77]); // "BM"
  for (const [at, value] of [[2, bytes.length], [10, 54], [14, 40], [18, side], [22, side], [30, 0]]) {
    header.setUint32(at, value, true);
  }
  header.setUint32(26, 1 | (24 << 16), true); // one plane, 24 bits a pixel
  return runCoreJob(core, { kind: "bmp", name: "warm-up.bmp", size: bytes.length }, { bytes }, () => {});
}
