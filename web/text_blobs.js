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
// behind one another and the page stalls until all are made: there the
// pieces are kept as they are and handed to the page, which makes them
// Blobs a few at a time between its other work (see core_client.js); only
// past `heldAtMost` bytes are they made Blobs here, at once.
export class TextBlobs {
  constructor(pageMakesBlobs) {
    this.pageMakesBlobs = pageMakesBlobs;
    this.heldAtMost = (pageMakesBlobs ? 256 : 16) * 1024 * 1024;
    // Made at once and written through, so that the first conversion finds
    // its memory ready: Chromium gives fresh memory slowly, a page at a time
    // as it is first written.
    this.buffer = pageMakesBlobs ? null : new Uint8Array(this.heldAtMost).fill(1);
    this.clear();
  }

  clear() {
    this.blobs = [];
    this.held = [];
    this.heldBytes = 0;
  }

  take(piece) {
    if (this.heldBytes + piece.length > this.heldAtMost) this.makeHeld();
    if (this.pageMakesBlobs) {
      this.held.push(piece.slice());
    } else {
      this.buffer.set(piece, this.heldBytes);
    }
    this.heldBytes += piece.length;
  }

  makeHeld() {
    if (this.pageMakesBlobs) {
      for (const piece of this.held) this.blobs.push(new Blob([piece]));
    } else if (this.heldBytes > 0) {
      this.blobs.push(new Blob([this.buffer.subarray(0, this.heldBytes)])); // a copy
    }
    this.held = [];
    this.heldBytes = 0;
  }

  // The text taken since the last call, in order: its Blobs, then where the
  // page makes the Blobs, the pieces it is to make Blobs of.
  parts() {
    if (!this.pageMakesBlobs) this.makeHeld();
    const parts = [...this.blobs, ...this.held];
    this.clear();
    return parts;
  }
}
