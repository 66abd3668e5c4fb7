// The ways this browser may decode PNG, JPEG, GIF and WebP in a worker, and
// the choice among them by what each gives, tried on tiny pictures when the
// worker starts. Browsers differ: one path hands out premultiplied colours,
// another JPEG as YUV, another is missing altogether. No browser is told
// apart by its name.
//
// A path is async ({bytes, type, bitmap}, target) => void, where bitmap, if
// given, is the picture already decoded (on the page's thread, in browsers
// whose workers cannot read the bytes as a Blob). It calls
// target.size(width, height) once, then target.tile(left, top, columns, rows, layout) for tiles
// that cover the picture, each time after writing the tile's pixels to
// target.pixels(columns * rows * 4), rows top first; layout says the byte
// order (see pixelLayouts). It throws when it cannot decode the bytes.
// A path whose probe comes back premultiplied by alpha says how
// (premultiplies: "nearest" or "up", as the product was rounded), and its
// tiles are handed on with that flag added: the core divides their colours
// by alpha again.
import { probeJpeg, probePng, probeProfiledPng } from "./probes.js";

const pixelLayouts = { RGBA: 0, BGRA: 1, RGBX: 2, BGRX: 3 };
export const premultipliedLayouts = { nearest: 4, up: 8 };
// Tiles of at most this many pixels: 64 MiB of pixels at a time.
const tilePixels = 1 << 24;

class PathUnavailable extends Error {}

function rowsPerBand(width) {
  return Math.max(1, Math.floor(tilePixels / Math.max(width, 1)));
}

// A WebCodecs ImageDecoder of the file's bytes, its colours as stored.
function openDecoder({ bytes, type }, preferAnimation) {
  if (typeof ImageDecoder === "undefined" || !bytes) throw new PathUnavailable();
  const decoder = new ImageDecoder({ data: bytes, type, colorSpaceConversion: "none",
                                     premultiplyAlpha: "none", preferAnimation });
  // Unobserved, these reject as page errors in some engines.
  decoder.completed.catch(() => {});
  decoder.tracks.ready.catch(() => {});
  return decoder;
}

// WebCodecs' ImageDecoder, in the frame's own pixel format (asking for RGBA
// loses the colour of transparent pixels in some engines). A frame in YUV is
// refused: converting it here would not give the picture's RGB decode.
async function viaImageDecoder(source, target) {
  const decoder = openDecoder(source, false);
  try {
    const { image } = await decoder.decode({ frameIndex: 0, completeFramesOnly: true });
    try {
      if (pixelLayouts[image.format] === undefined) throw new PathUnavailable();
      target.size(image.visibleRect.width, image.visibleRect.height);
      await copyFrame(image, target, 0);
    } finally {
      image.close();
    }
  } finally {
    decoder.close();
  }
}

// A decoded frame's pixels handed to `target` in bands, from row `top` of
// the picture on.
async function copyFrame(image, target, top) {
  const layout = pixelLayouts[image.format];
  if (layout === undefined) throw new PathUnavailable();
  const { x, y, width, height } = image.visibleRect;
  const band = rowsPerBand(width);
  for (let done = 0; done < height; done += band) {
    const rows = Math.min(band, height - done);
    await image.copyTo(target.pixels(width * rows * 4), {
      rect: { x, y: y + done, width, height: rows }, layout: [{ offset: 0, stride: width * 4 }],
    });
    target.tile(0, top + done, width, rows, layout);
  }
}

// An animation's frames as the browser shows them (each drawn over the ones
// before it as the file says), one under another: a picture as wide as a
// frame and `count` frames high. Answers the frame count; throws
// PathUnavailable, before anything reaches the target, where the browser
// gives only one frame.
async function framesViaImageDecoder(source, target) {
  const decoder = openDecoder(source, true);
  try {
    await decoder.tracks.ready;
    await decoder.completed; // the frame count is final once the data is all read
    const track = decoder.tracks.selectedTrack;
    const count = track?.animated ? track.frameCount : 1;
    if (count < 2) throw new PathUnavailable();
    let size = null;
    for (let index = 0; index < count; index++) {
      const { image } = await decoder.decode({ frameIndex: index, completeFramesOnly: true });
      try {
        const { width, height } = image.visibleRect;
        if (size === null) {
          if (pixelLayouts[image.format] === undefined) throw new PathUnavailable();
          size = [width, height];
          target.size(width, height * count);
        } else if (width !== size[0] || height !== size[1]) {
          throw new Error("an animation's frames differ in size");
        }
        await copyFrame(image, target, index * height);
      } finally {
        image.close();
      }
    }
    return count;
  } finally {
    decoder.close();
  }
}

// The paths that can give an animation's frames, by the name of the path
// that decodes the format's still pictures: the frames come with that
// path's colours.
export const animationPaths = { imageDecoder: framesViaImageDecoder };
export { PathUnavailable };

// The picture decoded with its stored colours: no colour profile applied,
// alpha not premultiplied (where the browser keeps to that).
function decodedBitmap({ bytes, type, bitmap }) {
  return bitmap ?? createImageBitmap(new Blob([bytes], { type }),
                                     { colorSpaceConversion: "none", premultiplyAlpha: "none" });
}

// WebGL2 textures read back in tiles: stored colours, alpha not premultiplied.
async function viaWebGl(source, target) {
  const gl = typeof OffscreenCanvas === "undefined" ? null
    : new OffscreenCanvas(1, 1).getContext("webgl2", { premultipliedAlpha: false });
  if (!gl) throw new PathUnavailable();
  const bitmap = await decodedBitmap(source);
  const texture = gl.createTexture();
  const framebuffer = gl.createFramebuffer();
  try {
    const { width, height } = bitmap;
    target.size(width, height);
    const tile = Math.min(gl.getParameter(gl.MAX_TEXTURE_SIZE), 4096);
    gl.bindTexture(gl.TEXTURE_2D, texture);
    gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
    gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
    gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
    for (let top = 0; top < height; top += tile) {
      for (let left = 0; left < width; left += tile) {
        const columns = Math.min(tile, width - left);
        const rows = Math.min(tile, height - top);
        gl.pixelStorei(gl.UNPACK_SKIP_PIXELS, left);
        gl.pixelStorei(gl.UNPACK_SKIP_ROWS, top);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, columns, rows, 0, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
        gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
        gl.readPixels(0, 0, columns, rows, gl.RGBA, gl.UNSIGNED_BYTE, target.pixels(columns * rows * 4));
        if (gl.getError() !== gl.NO_ERROR) throw new Error("WebGL could not read the picture");
        target.tile(left, top, columns, rows, pixelLayouts.RGBA);
      }
    }
  } finally {
    gl.deleteFramebuffer(framebuffer);
    gl.deleteTexture(texture);
    bitmap.close();
    gl.getExtension("WEBGL_lose_context")?.loseContext();
  }
}

// A 2D canvas in bands. Its pixels are premultiplied, so the colour under
// alpha 0 is lost and partly transparent colours are rounded.
export async function viaCanvas(source, target) {
  if (typeof OffscreenCanvas === "undefined") throw new PathUnavailable();
  const bitmap = await decodedBitmap(source);
  try {
    const { width, height } = bitmap;
    target.size(width, height);
    const columns = Math.min(width, 4096);
    const band = Math.min(height, rowsPerBand(columns));
    const canvas = new OffscreenCanvas(columns, band);
    const context = canvas.getContext("2d", { willReadFrequently: true });
    if (!context) throw new PathUnavailable();
    context.globalCompositeOperation = "copy";
    for (let top = 0; top < height; top += band) {
      for (let left = 0; left < width; left += columns) {
        const tileColumns = Math.min(columns, width - left);
        const rows = Math.min(band, height - top);
        context.clearRect(0, 0, columns, band);
        context.drawImage(bitmap, -left, -top);
        const { data } = context.getImageData(0, 0, tileColumns, rows);
        target.pixels(data.length).set(data);
        target.tile(left, top, tileColumns, rows, pixelLayouts.RGBA);
      }
    }
  } finally {
    bitmap.close();
  }
}

export const decodingPaths = { imageDecoder: viaImageDecoder, webgl: viaWebGl, canvas: viaCanvas };

// ---- Choosing a path ----

// Decodes a probe whole (from its bytes, or from `bitmap`); its RGBA bytes,
// or null if the path failed.
async function decodeProbe(path, { bytes, type }, bitmap) {
  let pixels = null;
  let width = 0;
  let buffer;
  const target = {
    size: (columns, rows) => {
      width = columns;
      pixels = new Uint8Array(columns * rows * 4);
    },
    pixels: (count) => (buffer = new Uint8Array(count)),
    tile: (left, top, columns, rows, layout) => {
      for (let i = 0; i < columns * rows; i++) {
        const at = ((top + Math.floor(i / columns)) * width + left + (i % columns)) * 4;
        const blueFirst = layout & 1;
        pixels.set([buffer[i * 4 + (blueFirst ? 2 : 0)], buffer[i * 4 + 1],
                    buffer[i * 4 + (blueFirst ? 0 : 2)], layout & 2 ? 255 : buffer[i * 4 + 3]], at);
      }
    },
  };
  try {
    await path({ bytes: bitmap ? null : bytes.slice(), type, bitmap }, target);
    return pixels;
  } catch {
    return null;
  }
}

// "exact": every colour as stored; "opaque": opaque pixels exact, the colour
// of transparent ones lost; null: unusable. A JPEG's colours may differ from
// another decoder's by rounding, but not by a colour conversion of their own.
async function grade(decoding, { rgba }, tolerance) {
  const decoded = await decoding;
  if (!decoded || decoded.length !== rgba.length) return null;
  let opaqueExact = true;
  let allExact = true;
  for (let at = 0; at < rgba.length; at += 4) {
    for (let k = 0; k < 4; k++) {
      const close = Math.abs(decoded[at + k] - rgba[at + k]) <= tolerance;
      allExact &&= close;
      if (rgba[at + 3] === 255) opaqueExact &&= close;
    }
  }
  return allExact ? "exact" : opaqueExact ? "opaque" : null;
}

// Whether a probe's partly transparent pixel came back with its colour
// multiplied by its alpha: "nearest" or "up", as the product was rounded,
// or false.
function premultiplied(decoded, { rgba }) {
  const at = 4; // (100, 150, 200) at alpha 128
  const alpha = rgba[at + 3];
  const rounded = (round) => decoded[at + 3] === alpha
    && [0, 1, 2].every((k) => decoded[at + k] === round((rgba[at + k] * alpha) / 255));
  return rounded(Math.round) ? "nearest" : rounded(Math.ceil) ? "up" : false;
}

// For the PNG family (PNG, GIF, WebP) and for JPEG: {name, path,
// keepsTransparent, appliesProfile} of the first path that keeps stored
// colours, else of the first that keeps opaque ones, else null. `allowed`
// names the paths that may be tried.
export async function choosePaths(allowed) {
  const choices = { png: null, jpeg: null };
  for (const name of allowed) {
    const path = decodingPaths[name];
    if (!path) continue;
    const appliesProfile = () => grade(decodeProbe(path, probeProfiledPng), probeProfiledPng, 0)
      .then((graded) => graded === null);
    const decoded = await decodeProbe(path, probePng);
    const png = await grade(decoded, probePng, 0);
    if (png && (!choices.png || (!choices.png.keepsTransparent && png === "exact"))) {
      choices.png = { name, path, keepsTransparent: png === "exact", appliesProfile: await appliesProfile(),
                      premultiplies: png === "opaque" && premultiplied(decoded, probePng) };
    }
    if (!choices.jpeg && await grade(decodeProbe(path, probeJpeg), probeJpeg, 4)) {
      choices.jpeg = { name, path, keepsTransparent: true, appliesProfile: await appliesProfile() };
    }
  }
  // A format this page does not know is left to the browser's own sniffing,
  // which ImageDecoder lacks: it needs a type.
  const sniffing = [choices.png, choices.jpeg].find((choice) => choice && choice.name !== "imageDecoder")
    ?? (allowed.includes("canvas") && (choices.png || choices.jpeg)
      ? { name: "canvas", path: viaCanvas, keepsTransparent: false } : null);
  return { png: choices.png, gif: choices.png, webp: choices.png, jpeg: choices.jpeg, other: sniffing };
}

// The same choice where the page's thread decodes: only a canvas can take its
// bitmaps, of the probes (each null where the page could not decode it).
export async function choosePathsForBitmaps(bitmaps) {
  const png = bitmaps.png && await grade(decodeProbe(viaCanvas, probePng, bitmaps.png), probePng, 0);
  const jpeg = bitmaps.jpeg && await grade(decodeProbe(viaCanvas, probeJpeg, bitmaps.jpeg), probeJpeg, 4);
  const appliesProfile = !bitmaps.profiled
    || (await grade(decodeProbe(viaCanvas, probeProfiledPng, bitmaps.profiled), probeProfiledPng, 0)) === null;
  const canvas = (keepsTransparent) => ({ name: "pageCanvas", path: viaCanvas, keepsTransparent, appliesProfile });
  const choice = png ? canvas(png === "exact") : null;
  return { png: choice, gif: choice, webp: choice, jpeg: jpeg ? canvas(true) : null, other: choice };
}

// Whether this worker can read a Blob's bytes: some engines refuse every
// read in a worker of a page opened from disk.
export const readsBlobs = new Blob([new Uint8Array(1)]).arrayBuffer().then(() => true, () => false);
