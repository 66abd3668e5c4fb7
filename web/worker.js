// Runs the converter's core away from the page, so that no picture freezes
// it. Requests: {id, kind: "bmp" | "picture" | "data", file, bytes (a
// picture's, where the page read it) or slices (of another file the page
// read, in order), maxWidth, maxHeight, fitting,
// frames ({frameWidth, frameHeight, margin, spacing, skipEmpty}, or none),
// tiles ({tileWidth, tileHeight, mirroredTiles}, or none), label (the
// card's, for the label lines of frames and tiles), firstFrameOnly (of an
// animation)}, or {id, kind:
// "abilities"}. Replies: {id, stage} while working, then {id, done: true,
// ...the core's result (see web_core.cpp), coloursLost, profileApplied,
// animation ({frames, delays in ms, given: whether each frame became a
// block} of a file of several frames),
// body (a Blob of the data text after its first line, or, cut into frames,
// of every frame's label line and rows, or of the tile set's and the
// map's; null if the browser cannot hold it) or, where this worker can read
// no Blob, bodySent (its pieces came before, as {id, piece}), restart}; for
// abilities {png, jpeg, readsBlobs}: {name, keepsTransparent,
// appliesProfile} of the decoding path chosen for each, or null. Buffers are
// transferred, not copied.
import { inspectPicture, mostPicturePixels } from "./containers.js";
import { runCoreJob, warmUp } from "./core_job.js";
import { animationPaths, choosePaths, choosePathsForBitmaps, decodingPaths, PathUnavailable,
         premultipliedLayouts, readsBlobs, viaCanvas } from "./decoding.js";
import { TextBlobs } from "./text_blobs.js";

const corePromise = createCore().then((core) => {
  warmUp(core);
  return core;
});
// Past this much memory the worker asks to be started afresh: a module's
// memory only ever grows.
const restartAbove = 512 * 1024 * 1024;

// The text the core hands out, gathered as this engine makes Blobs best:
// where this worker can read no Blob, sent to the page piece by piece, as
// {id, piece} messages before the request's reply.
let requestId;
const textBlobs = readsBlobs.then((reads) => new TextBlobs(
  reads ? null : (piece) => postMessage({ id: requestId, piece }, [piece.buffer])));
let text;

function takePiece(piece) {
  text.take(piece);
}

// The whole text after its first line: a Blob once the browser holds all
// of it (so that the page never waits for it), or null if it cannot: past
// its storage for Blobs, a Blob cannot be read. "sent" where its pieces
// went to the page, which makes the Blob and checks it.
async function textBody() {
  if (text.send) return "sent";
  const body = text.whole();
  try {
    await body.slice(Math.max(body.size - 1, 0)).arrayBuffer();
    return body;
  } catch {
    return null;
  }
}

// A failure the worker finds, with its line from the core.
function failed(core, failure, name) {
  return { ok: false, failure, line: core.failureLine(failure, name) };
}

// What the core is asked: the request's file, fitting (its numbers as
// typed), frame and tile boxes. Missing, the picture is left as it is.
function optionsOf(request) {
  const { fitting = {} } = request;
  return { kind: request.kind, name: request.file.name,
           size: request.file.size,
           maxWidth: request.maxWidth, maxHeight: request.maxHeight,
           columns: fitting.columns ?? "", rows: fitting.rows ?? "", fit: fitting.fit ?? "original",
           filter: fitting.filter ?? "sharp", colors: fitting.colors ?? "nearest",
           key: fitting.key, ...request.frames, ...request.tiles, label: request.label };
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
  const refuseOnFailure = (failure) => {
    if (failure) throw new Refusal(failure);
  };
  target.size = (columns, rows) => {
    if (columns * rows > mostPicturePixels) throw new Refusal("tooLarge");
    [target.columns, target.rows] = [columns, rows];
    refuseOnFailure(core.startPicture(columns, rows));
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
  target.partlyTransparent = false;
  target.tile = (left, top, columns, rows, layout) => {
    const put = core.putPixels(target.scratch, left, top, columns, rows, layout);
    refuseOnFailure(put.failure);
    target.partlyTransparent ||= put.partlyTransparent;
  };
  return target;
}

// A picture the browser decodes, with its stored colours where the path
// chosen keeps them: no colour profile applied, alpha not premultiplied.
async function convertPicture(core, request, bytes) {
  const picture = inspectPicture(new Uint8Array(bytes));
  const { name } = request.file;
  if (!picture.complete) return failed(core, "damaged", name);
  if (picture.width * picture.height > mostPicturePixels) return failed(core, "tooLarge", name);
  const choice = await pathFor(picture, request);
  if (choice.failure) return failed(core, choice.failure, name);
  const target = pictureTarget(core, request);
  if (choice.premultiplies) {
    const tile = target.tile;
    target.tile = (left, top, columns, rows, layout) =>
      tile(left, top, columns, rows, layout | premultipliedLayouts[choice.premultiplies]);
  }
  const source = { bytes, type: picture.type, bitmap: request.bitmap };
  const animation = { frames: picture.frames, delays: picture.delays, given: false };
  let count = 1;
  try {
    count = picture.frames > 1 && !request.firstFrameOnly
      ? await framesOrNone(animationPaths[choice.name], source, target) : 1;
    if (count === 1) await choice.path(source, target);
  } catch (error) {
    if (error.failure) return failed(core, error.failure, name);
    if (picture.format === null) return failed(core, "unknownFormat", name);
    return failed(core, picture.width * picture.height > largePixels ? "tooLarge" : "damaged", name);
  } finally {
    core._free(target.scratch);
  }
  const options = { ...optionsOf(request), partlyTransparent: target.partlyTransparent };
  if (count > 1) {
    // The frames stand one under another: cut there, and nowhere else.
    Object.assign(options, { frameWidth: String(target.columns),
                             frameHeight: String(target.rows / count), margin: "", spacing: "",
                             skipEmpty: false, tileWidth: "", tileHeight: "" });
    animation.given = true;
  }
  const reply = runCoreJob(core, options, null, takePiece);
  reply.coloursLost = !choice.keepsTransparent && reply.partlyTransparent;
  reply.profileApplied = Boolean(choice.appliesProfile) && picture.profile;
  if (picture.frames > 1) reply.animation = animation;
  return reply;
}

// An animation's frame count through `path` (which stacks its frames), or 1
// where there is no such path or it gives only one frame: then the first
// frame is decoded as a still picture is.
async function framesOrNone(path, source, target) {
  if (!path) return 1;
  try {
    return await path(source, target);
  } catch (error) {
    if (error instanceof PathUnavailable) return 1;
    throw error;
  }
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
                                     appliesProfile: choice.appliesProfile,
                                     premultiplies: choice.premultiplies ?? false };
  return { ok: true, png: of(paths.png), jpeg: of(paths.jpeg), readsBlobs: await readsBlobs };
}

// One request at a time: they share the core and the text being handed out.
let queue = Promise.resolve();
onmessage = (event) => {
  queue = queue.then(() => handle(event.data));
};

// A file of at most this size is read ahead, into a buffer kept from one
// conversion to the next: Chromium gives large reads in fresh memory, which
// costs it about as much as the reading. A larger file the core reads as it
// goes.
const readAheadAtMost = 64 * 1024 * 1024;
let readAhead = new Uint8Array(0);

function inputBuffer(size) {
  if (size > readAheadAtMost) return new Uint8Array(size);
  if (readAhead.length < size) readAhead = new Uint8Array(size);
  return readAhead.subarray(0, size);
}

// What the core reads: the slices the page read, put together, or the file,
// read ahead where it is small enough.
async function inputOf({ slices, file }) {
  if (slices) {
    const bytes = inputBuffer(file.size);
    let at = 0;
    for (const slice of slices) {
      bytes.set(new Uint8Array(slice), at);
      at += slice.byteLength;
    }
    return { bytes };
  }
  if (file.size > readAheadAtMost) return { file };
  const bytes = inputBuffer(file.size);
  const reader = file.stream().getReader();
  let at = 0;
  for (let part = await reader.read(); !part.done; part = await reader.read()) {
    if (at + part.value.length > file.size) {
      await reader.cancel();
      break;
    }
    bytes.set(part.value, at);
    at += part.value.length;
  }
  // A file changed or gone since it was chosen may read as more or less.
  if (at !== file.size) throw new DOMException("changed since chosen", "NotReadableError");
  return { bytes };
}

// {reply, body} for a file. The core reads a BMP or a data file itself, as
// it needs it; a picture is read whole for the browser to decode.
async function convertFile(core, request) {
  try {
    let reply;
    if (request.kind === "picture") {
      const bytes = request.bytes ?? await request.file.arrayBuffer();
      // A file gone since it was chosen may also read as nothing.
      if (bytes.byteLength !== request.file.size) throw new DOMException("changed", "NotReadableError");
      reply = await convertPicture(core, request, bytes);
    } else {
      const input = await inputOf(request);
      reply = runCoreJob(core, optionsOf(request), input, takePiece);
    }
    if (!reply.ok) text.clear(); // what was handed out of a failed job
    return { reply, body: reply.ok ? await textBody() : null };
  } catch {
    // Not readable from a worker in this browser, or changed or gone since
    // it was chosen.
    text.clear();
    return { reply: failed(core, "cannotRead", request.file.name) };
  }
}

// The file's bytes: sent by the page where this worker could not read the
// picked file itself (some engines allow that only on the page's thread).
async function handle(request) {
  const core = await corePromise;
  text = await textBlobs;
  requestId = request.id;
  let reply;
  let body;
  if (request.kind === "abilities") {
    reply = await abilities(request);
  } else {
    ({ reply, body } = await convertFile(core, request));
  }
  reply.id = request.id;
  reply.done = true;
  if ((request.kind === "bmp" || request.kind === "picture") && reply.ok) {
    if (body === "sent") reply.bodySent = true;
    else reply.body = body;
  }
  reply.restart = core.HEAPU8.length > restartAbove;
  const transfers = [reply.shownImage, reply.shownPreview, reply.file, reply.frames?.numbers.buffer,
                     reply.frames?.lineStarts.buffer, reply.frames?.offsets.buffer,
                     reply.frames?.skippedNumbers.buffer].filter(Boolean);
  postMessage(reply, transfers);
  // Ended from here, its memory is given back off the page's thread.
  if (reply.restart) close();
}
