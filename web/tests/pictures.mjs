// Pictures made for the page's tests and benchmark: the same pixels as a
// BMP (for the native program) and as a PNG (for the browser), 24 bits or,
// with alpha, 32.
import { deflateSync } from "node:zlib";

// Rows of red, green, blue (and alpha, if colourAt gives four values) bytes,
// top row first.
export function pixelRows(width, height, colourAt) {
  const channels = colourAt(0, 0).length;
  const rows = [];
  for (let y = 0; y < height; y++) {
    const row = Buffer.alloc(width * channels);
    for (let x = 0; x < width; x++) row.set(colourAt(x, y), x * channels);
    rows.push(row);
  }
  return rows;
}

const channelsOf = (width, rows) => rows[0].length / width;

export function bmp(width, height, rows) {
  const channels = channelsOf(width, rows);
  const stride = Math.ceil((width * channels) / 4) * 4;
  const header = Buffer.alloc(54);
  header.write("BM", 0);
  header.writeUInt32LE(54 + stride * height, 2);
  header.writeUInt32LE(54, 10);
  header.writeUInt32LE(40, 14);
  header.writeInt32LE(width, 18);
  header.writeInt32LE(height, 22);
  header.writeUInt16LE(1, 26);
  header.writeUInt16LE(channels * 8, 28);
  const body = Buffer.alloc(stride * height);
  rows.forEach((row, y) => {
    const at = (height - 1 - y) * stride;
    for (let x = 0; x < width; x++) {
      const pixel = at + x * channels;
      body[pixel] = row[x * channels + 2];
      body[pixel + 1] = row[x * channels + 1];
      body[pixel + 2] = row[x * channels];
      if (channels === 4) body[pixel + 3] = row[x * 4 + 3];
    }
  });
  return Buffer.concat([header, body]);
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

export function chunk(type, data) {
  const length = Buffer.alloc(4);
  length.writeUInt32BE(data.length);
  const typed = Buffer.concat([Buffer.from(type, "latin1"), data]);
  let crc = 0xffffffff;
  for (const byte of typed) crc = crcTable[(crc ^ byte) & 0xff] ^ (crc >>> 8);
  const sum = Buffer.alloc(4);
  sum.writeUInt32BE((crc ^ 0xffffffff) >>> 0);
  return Buffer.concat([length, typed, sum]);
}

export function png(width, height, rows) {
  const header = Buffer.alloc(13);
  header.writeUInt32BE(width, 0);
  header.writeUInt32BE(height, 4);
  header.set([8, channelsOf(width, rows) === 4 ? 6 : 2, 0, 0, 0], 8); // 8 bits, RGB or RGBA
  const raw = Buffer.concat(rows.flatMap((row) => [Buffer.alloc(1), row]));
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
                        chunk("IHDR", header), chunk("IDAT", deflateSync(raw, { level: 1 })),
                        chunk("IEND", Buffer.alloc(0))]);
}
