// Pictures made for the page's tests and benchmark: the same pixels as a
// 24-bit BMP (for the native program) and as a PNG (for the browser).
import { deflateSync } from "node:zlib";

// Rows of width × 3 bytes, red, green, blue, top row first.
export function pixelRows(width, height, colourAt) {
  const rows = [];
  for (let y = 0; y < height; y++) {
    const row = Buffer.alloc(width * 3);
    for (let x = 0; x < width; x++) row.set(colourAt(x, y), x * 3);
    rows.push(row);
  }
  return rows;
}

export function bmp(width, height, rows) {
  const stride = Math.ceil((width * 3) / 4) * 4;
  const header = Buffer.alloc(54);
  header.write("BM", 0);
  header.writeUInt32LE(54 + stride * height, 2);
  header.writeUInt32LE(54, 10);
  header.writeUInt32LE(40, 14);
  header.writeInt32LE(width, 18);
  header.writeInt32LE(height, 22);
  header.writeUInt16LE(1, 26);
  header.writeUInt16LE(24, 28);
  const body = Buffer.alloc(stride * height);
  rows.forEach((row, y) => {
    const at = (height - 1 - y) * stride;
    for (let x = 0; x < width; x++) {
      body[at + x * 3] = row[x * 3 + 2];
      body[at + x * 3 + 1] = row[x * 3 + 1];
      body[at + x * 3 + 2] = row[x * 3];
    }
  });
  return Buffer.concat([header, body]);
}

const crcTable = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});

function chunk(type, data) {
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
  header.set([8, 2, 0, 0, 0], 8); // 8 bits, RGB
  const raw = Buffer.concat(rows.flatMap((row) => [Buffer.alloc(1), row]));
  return Buffer.concat([Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]),
                        chunk("IHDR", header), chunk("IDAT", deflateSync(raw, { level: 1 })),
                        chunk("IEND", Buffer.alloc(0))]);
}
