// Runs the converter's core away from the page, so that no picture freezes
// it. Requests: {id, kind: "bmp" | "picture" | "data", file, bytes (the
// file's bytes, where the page read them), maxWidth, maxHeight, fitting}, or
// {id, kind: "abilities"}. Replies: {id, stage} while working, then {id,
// done: true, ok, failure, line, width, height, transparent,
// partlyTransparent, coloursLost, profileApplied, shownWidth, shownHeight, shownImage,
// shownPreview, body (a Blob of the data text after its first line, or null
// if the browser cannot hold it) or file (a data file's preview BMP),
// restart}; for abilities {png, jpeg, readsBlobs}: {name,
// keepsTransparent, appliesProfile} of the
// decoding path chosen for each, or null. Buffers are transferred, not copied.
"use strict";

const corePromise = createCore();
// Past this much memory the worker asks to be started afresh: a module's
// memory only ever grows.
const restartAbove = 512 * 1024 * 1024;

// The text as the core hands it out: pieces of 1 MiB, gathered into Blobs of
// 4 pieces, so that this thread never holds more than 4 MiB of it (and, in
// engines whose page thread takes part in making a Blob, no Blob is large
// enough to stall it).
let pieces = [];
let blobs = [];

function takePiece(piece) {
  pieces.push(piece);
  if (pieces.length === 4) takeBlobs();
}

// The Blobs of the text handed out since they were last taken.
function takeBlobs() {
  if (pieces.length) blobs.push(new Blob(pieces));
  pieces = [];
  const taken = blobs;
  blobs = [];
  return taken;
}

// The whole text after its first line, once the browser holds all of it
// (so that the page never waits for it), or null if it cannot: past its
// storage for Blobs, a Blob cannot be read. Where this worker can read no
// Blob at all, the page checks instead. `parts`: the text's Blobs in order,
// else all handed out since last taken.
async function textBody(parts = takeBlobs()) {
  const body = new Blob(parts, { type: "text/plain" });
  if (!(await readsBlobs)) return body;
  try {
    await body.slice(Math.max(body.size - 1, 0)).arrayBuffer();
    return body;
  } catch {
    return null;
  }
}

function failed(failure, line) {
  return { ok: false, failure, line };
}

function outOfMemory(core) {
  return failed("outOfMemory", core.UTF8ToString(core._outOfMemoryLine()));
}

// Bytes into the module's memory, or 0 if it has no room.
function copyIn(core, bytes) {
  const pointer = core._malloc(Math.max(bytes.byteLength, 1)) >>> 0;
  if (pointer) core.HEAPU8.set(new Uint8Array(bytes), pointer);
  return pointer;
}

function copyOut(core, pointer, size) {
  const start = pointer >>> 0;
  return start ? core.HEAPU8.slice(start, start + size).buffer : null;
}

// What a Result holds, copied out; the Result is freed.
function takeResult(core, result) {
  if (!result) return outOfMemory(core);
  const shownWidth = core._resultShownWidth(result);
  const shownHeight = core._resultShownHeight(result);
  const shownBytes = shownWidth * shownHeight * 4;
  const reply = {
    ok: Boolean(core._resultOk(result)),
    failure: core.UTF8ToString(core._resultFailure(result)),
    line: core.UTF8ToString(core._resultLine(result)),
    width: core._resultWidth(result) >>> 0,
    height: core._resultHeight(result) >>> 0,
    transparent: Boolean(core._resultTransparent(result)),
    partlyTransparent: Boolean(core._resultPartlyTransparent(result)),
    shownWidth,
    shownHeight,
    shownImage: copyOut(core, core._resultShownImage(result), shownBytes),
    shownPreview: copyOut(core, core._resultShownPreview(result), shownBytes),
  };
  const fileSize = core._resultFileSize(result) >>> 0;
  if (fileSize) reply.file = copyOut(core, core._resultFile(result), fileSize);
  core._freeResult(result);
  return reply;
}

// How the page asks a picture to be fitted to the display, as the core's
// last six arguments: {columns, rows, fit, filter, colors, key}, names as in
// fits, filters and colorModes, key a colour byte for transparent pixels or
// absent; missing, the picture is left as it is.
const fits = ["original", "inside", "fill", "stretch"];
const filters = ["sharp", "smooth"];
const colorModes = ["nearest", "ordered", "diffuse"];

function fittingOf({ fitting = {} }) {
  return [fitting.columns ?? 0, fitting.rows ?? 0, Math.max(fits.indexOf(fitting.fit), 0),
          Math.max(filters.indexOf(fitting.filter), 0), Math.max(colorModes.indexOf(fitting.colors), 0),
          fitting.key ?? -1];
}

// A file whose bytes the core reads itself: a BMP (convertBmp) or a data
// file (previewData).
function fromBytes(core, request, bytes, call) {
  const input = copyIn(core, bytes);
  if (!input) return outOfMemory(core);
  const result = call(input, bytes.byteLength, request.maxWidth, request.maxHeight,
                      ...fittingOf(request));
  core._free(input);
  return takeResult(core, result);
}

// A BMP converted while its file is read, where its rows need nothing but
// themselves and the picture is taken as it is: each block of rows becomes
// text while the next is read. A bottom-up file holds the picture's last row
// first, so its blocks' texts are put together last block first. Null where
// the file must be read whole (the core then says why, if anything is
// wrong); {reply, body} otherwise.
async function convertWhileReading(core, request) {
  const { file } = request;
  const [, , fit, , colors, key] = fittingOf(request);
  if (!file || request.bytes || fit !== 0 || colors !== 0 || key !== -1) return null;
  const head = copyIn(core, await file.slice(0, 4096).arrayBuffer());
  const job = head ? core._startRowBlocks(head, Math.min(file.size, 4096), file.size,
                                          request.maxWidth, request.maxHeight) : 0;
  core._free(head);
  if (!job) return null;
  const offset = core._rowBlockOffset(job);
  const stride = core._rowBlockStride(job);
  const rows = core._rowBlockRows(job);
  const blockRows = core._rowBlockCount(job);
  const scratch = core._malloc(blockRows * stride) >>> 0;
  const counts = [];
  for (let first = 0; first < rows; first += blockRows) counts.push(Math.min(blockRows, rows - first));
  const reader = file.slice(offset, offset + rows * stride).stream().getReader();
  const blocks = [];
  let whole = scratch !== 0;
  let chunk = new Uint8Array(0);
  try {
    for (let i = 0; whole && i < counts.length; i++) {
      // The block's bytes, straight into the core's memory as they arrive.
      const size = counts[i] * stride;
      for (let filled = 0; filled < size;) {
        if (chunk.length === 0) {
          const { value, done } = await reader.read();
          if (done) throw new DOMException("changed", "NotReadableError");
          chunk = value;
        }
        const part = chunk.subarray(0, size - filled);
        core.HEAPU8.set(part, scratch + filled);
        filled += part.length;
        chunk = chunk.subarray(part.length);
      }
      whole = Boolean(core._putRowBlock(job, scratch, counts[i]));
      blocks.push(takeBlobs());
    }
  } catch (error) {
    core._dropRowBlocks(job); // the file could not be read to its end
    throw error;
  } finally {
    reader.cancel().catch(() => {});
    core._free(scratch);
  }
  if (!whole) {
    core._dropRowBlocks(job);
    takeBlobs();
    return null;
  }
  const topDown = core._rowBlocksTopDown(job);
  const reply = takeResult(core, core._finishRowBlocks(job));
  const parts = (topDown ? blocks : blocks.reverse()).flat();
  return { reply, body: await textBody([...parts, ...takeBlobs()]) };
}

// The paths this browser decodes pictures by, chosen once per worker. The
// page may name the paths to try in the worker's name (for tests: none).
const allowedPaths = self.name ? JSON.parse(self.name).decoders : Object.keys(decodingPaths);
const pathsPromise = choosePaths(allowedPaths);

// A decoder that fails on a picture this large has most likely run out of room.
const largePixels = 2 ** 26;

class Refusal extends Error {
  constructor(failure) {
    super(failure);
    this.failure = failure;
  }
}

// Where a decoding path puts the pixels: straight into the core's picture,
// a tile at a time through one buffer in the core's memory.
function pictureTarget(core, request) {
  const target = { scratch: 0, scratchSize: 0 };
  target.size = (columns, rows) => {
    if (columns * rows > mostPicturePixels) throw new Refusal("tooLarge");
    if (!core._startPicture(columns, rows)) throw new Refusal("outOfMemory");
    postMessage({ id: request.id, stage: "converting" });
  };
  target.pixels = (count) => {
    if (count > target.scratchSize) {
      core._free(target.scratch);
      target.scratch = core._malloc(count) >>> 0;
      target.scratchSize = target.scratch ? count : 0;
      if (!target.scratch) throw new Refusal("outOfMemory");
    }
    return core.HEAPU8.subarray(target.scratch, target.scratch + count);
  };
  target.tile = (left, top, columns, rows, layout) => {
    if (!core._putPixels(target.scratch, left, top, columns, rows, layout)) {
      throw new Refusal("outOfMemory");
    }
  };
  return target;
}

// A picture the browser decodes, with its stored colours where the path
// chosen keeps them: no colour profile applied, alpha not premultiplied.
async function convertPicture(core, request, bytes) {
  const picture = inspectPicture(new Uint8Array(bytes));
  if (!picture.complete) return failed("damaged", "");
  if (picture.width * picture.height > mostPicturePixels) return failed("tooLarge", "");
  const choice = await pathFor(picture, request);
  if (choice.failure) return failed(choice.failure, "");
  const target = pictureTarget(core, request);
  try {
    await choice.path({ bytes, type: picture.type, bitmap: request.bitmap }, target);
  } catch (error) {
    if (error.failure === "outOfMemory") return outOfMemory(core);
    if (error.failure) return failed(error.failure, "");
    if (picture.format === null) return failed("unknownFormat", "");
    return failed(picture.width * picture.height > largePixels ? "tooLarge" : "damaged", "");
  } finally {
    core._free(target.scratch);
  }
  const reply = takeResult(core, core._finishPicture(request.maxWidth, request.maxHeight,
                                                     ...fittingOf(request)));
  reply.coloursLost = !choice.keepsTransparent && reply.partlyTransparent;
  reply.profileApplied = Boolean(choice.appliesProfile) && picture.profile;
  return reply;
}

// The path for a picture, or {failure} where there is none. A picture the
// page decoded comes as a bitmap (none: the page's decoder refused it).
async function pathFor(picture, request) {
  if (request.decodedHere) {
    if (request.bitmap) {
      return { path: viaCanvas, keepsTransparent: request.keepsTransparent,
               appliesProfile: request.appliesProfile };
    }
    return { failure: picture.format === null ? "unknownFormat" : "damaged" };
  }
  const paths = await pathsPromise;
  const choice = paths[picture.format ?? "other"];
  if (choice) return choice;
  const none = Object.values(paths).every((path) => path === null);
  return { failure: picture.format === null && !none ? "unknownFormat" : "noDecoder" };
}

// What the paths chosen can do, for the page's texts; with `bitmaps`, the
// probes as the page's thread decoded them.
async function abilities(request) {
  const paths = request.bitmaps ? await choosePathsForBitmaps(request.bitmaps) : await pathsPromise;
  const of = (choice) => choice && { name: choice.name, keepsTransparent: choice.keepsTransparent,
                                     appliesProfile: choice.appliesProfile };
  return { ok: true, png: of(paths.png), jpeg: of(paths.jpeg), readsBlobs: await readsBlobs };
}

const conversions = {
  bmp: (core, request, bytes) => fromBytes(core, request, bytes, core._convertBmp),
  data: (core, request, bytes) => fromBytes(core, request, bytes, core._previewData),
  picture: convertPicture,
};

// One request at a time: they share the core and the text being handed out.
let queue = Promise.resolve();
onmessage = (event) => {
  queue = queue.then(() => handle(event.data));
};

// {reply, body} for a file: read while converted where it can be, else
// read whole first.
async function convertFile(core, request) {
  try {
    const streamed = request.kind === "bmp" ? await convertWhileReading(core, request) : null;
    if (streamed) return streamed;
    const bytes = request.bytes ?? await request.file.arrayBuffer();
    // A file gone since it was chosen may also read as nothing.
    if (bytes.byteLength !== request.file.size) throw new DOMException("changed", "NotReadableError");
    const reply = await conversions[request.kind](core, request, bytes);
    return { reply, body: await textBody() };
  } catch {
    // Not readable from a worker in this browser, or changed or gone since
    // it was chosen.
    takeBlobs();
    return { reply: failed("cannotRead", "") };
  }
}

// The file's bytes: sent by the page where this worker could not read the
// picked file itself (some engines allow that only on the page's thread).
async function handle(request) {
  const core = await corePromise;
  core.onPiece = takePiece;
  let reply;
  let body;
  if (request.kind === "abilities") {
    reply = await abilities(request);
  } else {
    ({ reply, body } = await convertFile(core, request));
  }
  reply.id = request.id;
  reply.done = true;
  if ((request.kind === "bmp" || request.kind === "picture") && reply.ok) reply.body = body;
  reply.bodyUnchecked = !(await readsBlobs);
  reply.restart = core.HEAPU8.length > restartAbove;
  const transfers = [reply.shownImage, reply.shownPreview, reply.file].filter(Boolean);
  postMessage(reply, transfers);
  // Ended from here, its memory is given back off the page's thread.
  if (reply.restart) close();
}
