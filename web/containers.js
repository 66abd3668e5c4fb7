// What a picture file's own structure says before any decoder sees it: its
// format, the size it declares and whether it is all there. Some browsers
// decode a file that is cut short without complaint, filling in the rows it
// lacks, so the page walks each container to its end itself.

const pictureFormats = {
  png: { type: "image/png", magic: [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a] },
  jpeg: { type: "image/jpeg", magic: [0xff, 0xd8, 0xff] },
  gif: { type: "image/gif", magic: [0x47, 0x49, 0x46, 0x38] },
  webp: { type: "image/webp", magic: [0x52, 0x49, 0x46, 0x46] },
};

function startsWith(bytes, magic, at = 0) {
  return bytes.length >= at + magic.length && magic.every((value, i) => bytes[at + i] === value);
}

// "png", "jpeg", "gif", "webp" or null, from the first bytes.
function pictureFormat(bytes) {
  for (const [name, { magic }] of Object.entries(pictureFormats)) {
    if (!startsWith(bytes, magic)) continue;
    if (name !== "webp" || startsWith(bytes, [0x57, 0x45, 0x42, 0x50], 8)) return name;
  }
  return null;
}

const bigEndian32 = (bytes, at) => ((bytes[at] << 24) | (bytes[at + 1] << 16) | (bytes[at + 2] << 8)
  | bytes[at + 3]) >>> 0;
const bigEndian16 = (bytes, at) => (bytes[at] << 8) | bytes[at + 1];
const littleEndian16 = (bytes, at) => bytes[at] | (bytes[at + 1] << 8);
const littleEndian24 = (bytes, at) => littleEndian16(bytes, at) | (bytes[at + 2] << 16);
const littleEndian32 = (bytes, at) => (littleEndian24(bytes, at) | (bytes[at + 3] << 24)) >>> 0;

// Each walker returns {width, height, complete, profile}; width and height
// are 0 where the file ends before it says them; profile: whether the file
// carries an ICC colour profile.

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function crc32(bytes) {
  let crc = 0xffffffff;
  for (let i = 0; i < bytes.length; i++) crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
  return (crc ^ 0xffffffff) >>> 0;
}

// Chunks from the signature to IEND, each wholly inside the file and
// matching its checksum (some browsers decode corrupt data without a word).
function walkPng(bytes) {
  const found = { width: 0, height: 0, complete: false, profile: false, frames: 1, delays: [] };
  let at = 8;
  while (at + 12 <= bytes.length) {
    const length = bigEndian32(bytes, at);
    const type = String.fromCharCode(...bytes.subarray(at + 4, at + 8));
    const end = at + 12 + length;
    if (end > bytes.length || crc32(bytes.subarray(at + 4, end - 4)) !== bigEndian32(bytes, end - 4)) {
      return found;
    }
    if (type === "iCCP") found.profile = true;
    // An animated PNG: its frame count, and each frame's delay (a fraction of a second).
    if (type === "acTL" && length >= 8) found.frames = Math.max(1, bigEndian32(bytes, at + 8));
    if (type === "fcTL" && length >= 26) {
      const [numerator, denominator] = [bigEndian16(bytes, at + 28), bigEndian16(bytes, at + 30)];
      found.delays.push(Math.round((numerator * 1000) / (denominator || 100)));
    }
    if (type === "IHDR" && length >= 8) {
      found.width = bigEndian32(bytes, at + 8);
      found.height = bigEndian32(bytes, at + 12);
    }
    if (type === "IEND") return { ...found, complete: true };
    at = end;
  }
  return found;
}

// Markers from SOI to EOI. Inside entropy-coded data a 0xFF byte is followed
// by 0x00 (a stuffed byte) or a restart marker, so the first other marker
// there ends the scan; progressive files have several scans.
function walkJpeg(bytes) {
  const found = { width: 0, height: 0, complete: false, profile: false };
  let at = 2;
  while (at + 2 <= bytes.length) {
    if (bytes[at] !== 0xff) return found;
    const marker = bytes[at + 1];
    if (marker === 0xff) { // fill bytes before a marker
      at += 1;
      continue;
    }
    if (marker === 0xd9) return { ...found, complete: true };
    if (marker === 0x01 || (marker >= 0xd0 && marker <= 0xd7)) { // no length follows
      at += 2;
      continue;
    }
    if (at + 4 > bytes.length) return found;
    const end = at + 2 + bigEndian16(bytes, at + 2);
    if (end > bytes.length) return found;
    if (marker === 0xe2 && String.fromCharCode(...bytes.subarray(at + 4, at + 15)) === "ICC_PROFILE") {
      found.profile = true;
    }
    const frame = marker >= 0xc0 && marker <= 0xcf && ![0xc4, 0xc8, 0xcc].includes(marker);
    if (frame && end - at >= 9) {
      found.height = bigEndian16(bytes, at + 5);
      found.width = bigEndian16(bytes, at + 7);
    }
    at = end;
    if (marker === 0xda) { // a scan's coded data runs to the next marker
      while (at + 1 < bytes.length
             && !(bytes[at] === 0xff && bytes[at + 1] !== 0 && (bytes[at + 1] < 0xd0 || bytes[at + 1] > 0xd7))) {
        at += 1;
      }
      if (at + 1 >= bytes.length) return found;
    }
  }
  return found;
}

// Blocks from the screen descriptor to the trailer (0x3B).
function walkGif(bytes) {
  if (bytes.length < 13) return { width: 0, height: 0, complete: false, frames: 1, delays: [] };
  const found = { width: littleEndian16(bytes, 6), height: littleEndian16(bytes, 8), complete: false,
                  profile: false, frames: 0, delays: [] };
  let delay = 0; // of the next image, from its graphic control extension (hundredths)
  const tableSize = (flags) => (flags & 0x80 ? 3 << ((flags & 7) + 1) : 0);
  // Sub-blocks, each led by its length, up to the empty one; where they end.
  const skipSubBlocks = (from) => {
    let at = from;
    while (at < bytes.length && bytes[at] !== 0) at += bytes[at] + 1;
    return at + 1;
  };
  let at = 13 + tableSize(bytes[10]);
  while (at < bytes.length) {
    const block = bytes[at];
    if (block === 0x3b) return { ...found, frames: Math.max(found.frames, 1), complete: true };
    if (block === 0x21) {
      if (bytes[at + 1] === 0xf9 && at + 6 <= bytes.length) delay = littleEndian16(bytes, at + 4);
      at = skipSubBlocks(at + 2);
    } else if (block === 0x2c && at + 10 <= bytes.length) {
      found.frames += 1;
      found.delays.push(delay * 10);
      delay = 0;
      at = skipSubBlocks(at + 10 + tableSize(bytes[at + 9]) + 1);
    } else {
      return { ...found, frames: Math.max(found.frames, 1) };
    }
  }
  return { ...found, frames: Math.max(found.frames, 1) };
}

// The RIFF size covers the whole file, and the first chunk says the size.
function walkWebp(bytes) {
  const found = { width: 0, height: 0, complete: false, profile: false, frames: 1, delays: [] };
  if (bytes.length < 30) return found;
  const chunk = String.fromCharCode(...bytes.subarray(12, 16));
  if (chunk === "VP8X") {
    found.profile = (bytes[20] & 0x20) !== 0;
    found.width = littleEndian24(bytes, 24) + 1;
    found.height = littleEndian24(bytes, 27) + 1;
  } else if (chunk === "VP8L") {
    const bits = littleEndian32(bytes, 21);
    found.width = (bits & 0x3fff) + 1;
    found.height = ((bits >>> 14) & 0x3fff) + 1;
  } else if (chunk === "VP8 ") {
    found.width = littleEndian16(bytes, 26) & 0x3fff;
    found.height = littleEndian16(bytes, 28) & 0x3fff;
  }
  found.complete = 8 + littleEndian32(bytes, 4) <= bytes.length;
  // An animation's frames (ANMF chunks, each with its duration in ms).
  if (chunk === "VP8X" && bytes[20] & 0x02) {
    found.frames = 0;
    for (let at = 12; at + 8 <= bytes.length;) {
      const size = littleEndian32(bytes, at + 4);
      if (String.fromCharCode(...bytes.subarray(at, at + 4)) === "ANMF" && at + 23 <= bytes.length) {
        found.frames += 1;
        found.delays.push(littleEndian24(bytes, at + 20));
      }
      at += 8 + size + (size & 1);
    }
    found.frames = Math.max(found.frames, 1);
  }
  return found;
}

// More pixels than the core's memory could hold as a picture.
export const mostPicturePixels = 2 ** 29;

const walkers = { png: walkPng, jpeg: walkJpeg, gif: walkGif, webp: walkWebp };

// {format, type, width, height, complete, profile, frames, delays} of a
// picture file's bytes: frames, how many an animation has (1 for a still
// picture), delays, each frame's in ms where the file says; format null
// where it is none of the four.
export function inspectPicture(bytes) {
  const format = pictureFormat(bytes);
  if (format === null) {
    return { format, type: "", width: 0, height: 0, complete: bytes.length > 0, profile: false,
             frames: 1, delays: [] };
  }
  return { format, type: pictureFormats[format].type, frames: 1, delays: [], ...walkers[format](bytes) };
}

