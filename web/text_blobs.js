// The data text as the core hands it out, in pieces of 1 MiB (views of the
// core's memory, valid only while it hands them out), gathered for the
// download.
//
// Chromium makes one Blob of much text several times faster than a Blob of
// each piece, and fresh memory costs it about as much as the Blobs: there
// the pieces are copied into one buffer of `heldAtMost` bytes, kept from
// one conversion to the next, that becomes a Blob whenever it is full and
// at the end. Where the page's thread makes the Blobs a worker asks for (in
// the engines whose workers cannot read Blobs), a worker's Blobs queue up
// behind one another and the page stalls until all are made: there each
// piece is sent to the page (`send`) as it comes, and the page makes the
// Blobs a few at a time between its other work (see core_client.js).
const heldAtMost = 16 * 1024 * 1024;

export class TextBlobs {
  constructor(send) {
    this.send = send;
    // Made at once and written through, so that the first conversion finds
    // its memory ready: Chromium gives fresh memory slowly, a page at a time
    // as it is first written.
    this.buffer = send ? null : new Uint8Array(heldAtMost).fill(1);
    this.clear();
  }

  clear() {
    this.blobs = [];
    this.heldBytes = 0;
  }

  take(piece) {
    if (this.send) {
      this.send(piece.slice());
      return;
    }
    if (this.heldBytes + piece.length > heldAtMost) this.makeHeld();
    this.buffer.set(piece, this.heldBytes);
    this.heldBytes += piece.length;
  }

  makeHeld() {
    if (this.heldBytes > 0) this.blobs.push(new Blob([this.buffer.subarray(0, this.heldBytes)])); // a copy
    this.heldBytes = 0;
  }

  // The text taken since the last call, as one Blob (none where it was sent).
  whole() {
    this.makeHeld();
    const body = new Blob(this.blobs, { type: "text/plain" });
    this.clear();
    return body;
  }
}
