// What a file is, from its first bytes, and how the page names and shows
// what comes from it.
import { lineCore } from "./core_client.js";

export function baseName(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? name.slice(0, dot) : name;
}

// What a file is comes from its first bytes (the core tells BMP, PNG, JPEG,
// GIF, WebP and data texts apart): a BMP goes to the core's reader, the
// browser's picture formats to the browser, a data text to the data
// reader. Only what none of these is goes by its name, as the command line
// would take it; anything else goes to the browser. A file that cannot be
// read at all says so here. {kind, head}: head, the first bytes.
export async function kindOf(file) {
  const head = new Uint8Array(await file.slice(0, 512).arrayBuffer());
  if (head.length === 0 && file.size > 0) throw new DOMException("gone", "NotReadableError");
  const kind = (await lineCore).kindOfStart(head);
  if (kind === "bmp" || kind === "data") return { kind, head };
  if (kind !== "other") return { kind: "picture", head };
  const byName = { bmp: "bmp", data: "data" }[file.name.split(".").pop().toLowerCase()];
  return { kind: byName ?? "picture", head, unknown: byName === undefined };
}

// The first bytes of a file, as the card shows them: in hexadecimal, and as
// text where they are printable.
export function startOf(head) {
  const first = [...head.subarray(0, 8)];
  const hex = first.map((byte) => byte.toString(16).toUpperCase().padStart(2, "0")).join(" ");
  const text = first.map((byte) => (byte >= 0x20 && byte < 0x7f ? String.fromCharCode(byte) : "."))
    .join("");
  return `${hex} (${text})`;
}

// The colour of each colour byte, as CSS, from the core.
export const byteColours = lineCore.then((core) => Array.from(
  { length: 256 }, (_, value) => `#${core.colorOfByte(value).toString(16).padStart(6, "0")}`));
