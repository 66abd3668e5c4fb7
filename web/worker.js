// Runs the converter's core away from the page, so that no picture freezes
// it. Requests: {id, kind: "bmp" | "picture" | "data", file, maxWidth,
// maxHeight}. Replies: {id, stage} while working, then {id, done: true, ok,
// failure, line, width, height, transparent, shownWidth, shownHeight, shownImage,
// shownPreview, body (a Blob of the data text after its first line, or
// null if the browser cannot hold it) or file (a data file's preview BMP),
// restart}. Buffers are transferred, not copied.
"use strict";

const corePromise = createCore();
// Past this much memory the worker asks to be started afresh: a module's
// memory only ever grows.
const restartAbove = 512 * 1024 * 1024;

// The text as the core hands it out: pieces of 1 MiB, gathered into Blobs of
// 64 pieces so that this thread never holds more than 64 MiB of it.
let pieces = [];
let blobs = [];

function takePiece(piece) {
  pieces.push(piece);
  if (pieces.length === 64) {
    blobs.push(new Blob(pieces));
    pieces = [];
  }
}

// The whole text after its first line, once the browser holds all of it
// (so that the page never waits for it), or null if it cannot: past its
// storage for Blobs, a Blob cannot be read.
async function textBody() {
  const body = new Blob([...blobs, ...pieces], { type: "text/plain" });
  blobs = [];
  pieces = [];
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
async function fromBytes(core, request, call) {
  const input = copyIn(core, await request.file.arrayBuffer());
  if (!input) return outOfMemory(core);
  const result = call(input, request.file.size, request.maxWidth, request.maxHeight,
                      ...fittingOf(request));
  core._free(input);
  return takeResult(core, result);
}

// A picture the browser decodes, with its stored colours: no colour profile
// applied and alpha not premultiplied (a 2D canvas would premultiply and lose
// the colour of transparent pixels, so WebGL reads them). Pictures larger
// than a texture are read in tiles straight into the core's picture.
async function convertPicture(core, request) {
  let bitmap;
  try {
    bitmap = await createImageBitmap(request.file, {
      colorSpaceConversion: "none", premultiplyAlpha: "none",
    });
  } catch (error) {
    return failed("cannotDecode", "");
  }
  const { width, height } = bitmap;
  postMessage({ id: request.id, stage: "converting" });
  if (!core._startPicture(width, height)) {
    bitmap.close();
    return outOfMemory(core);
  }
  const gl = new OffscreenCanvas(1, 1).getContext("webgl2", { premultipliedAlpha: false });
  if (!gl) return failed("cannotDecode", "");
  const tile = Math.min(gl.getParameter(gl.MAX_TEXTURE_SIZE), 4096);
  const scratch = core._malloc(Math.min(width, tile) * Math.min(height, tile) * 4) >>> 0;
  if (!scratch) {
    bitmap.close();
    return outOfMemory(core);
  }
  const texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  const framebuffer = gl.createFramebuffer();
  gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
  let readable = true;
  let stored = true;
  for (let top = 0; top < height && readable && stored; top += tile) {
    for (let left = 0; left < width && readable && stored; left += tile) {
      const columns = Math.min(tile, width - left);
      const rows = Math.min(tile, height - top);
      gl.pixelStorei(gl.UNPACK_SKIP_PIXELS, left);
      gl.pixelStorei(gl.UNPACK_SKIP_ROWS, top);
      gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, columns, rows, 0, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
      gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
      gl.readPixels(0, 0, columns, rows, gl.RGBA, gl.UNSIGNED_BYTE,
                    core.HEAPU8.subarray(scratch, scratch + columns * rows * 4));
      readable = gl.getError() === gl.NO_ERROR;
      stored = core._putRgba(scratch, left, top, columns, rows);
    }
  }
  gl.deleteFramebuffer(framebuffer);
  gl.deleteTexture(texture);
  bitmap.close();
  core._free(scratch);
  if (!readable) return failed("cannotDecode", "");
  if (!stored) return outOfMemory(core);
  return takeResult(core, core._finishPicture(request.maxWidth, request.maxHeight,
                                              ...fittingOf(request)));
}

const conversions = {
  bmp: (core, request) => fromBytes(core, request, core._convertBmp),
  data: (core, request) => fromBytes(core, request, core._previewData),
  picture: convertPicture,
};

// One request at a time: they share the core and the text being handed out.
let queue = Promise.resolve();
onmessage = (event) => {
  queue = queue.then(() => handle(event.data));
};

async function handle(request) {
  const core = await corePromise;
  core.onPiece = takePiece;
  let reply;
  try {
    reply = await conversions[request.kind](core, request);
  } catch (error) {
    // The file could not be read (changed or gone since it was chosen).
    reply = failed(error.name === "NotReadableError" || error.name === "NotFoundError"
      ? "cannotRead" : "cannotDecode", "");
  }
  reply.id = request.id;
  reply.done = true;
  const body = await textBody();
  if (request.kind !== "data" && reply.ok) reply.body = body;
  reply.restart = core.HEAPU8.length > restartAbove;
  const transfers = [reply.shownImage, reply.shownPreview, reply.file].filter(Boolean);
  postMessage(reply, transfers);
  // Ended from here, its memory is given back off the page's thread.
  if (reply.restart) close();
}
