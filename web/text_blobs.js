// The data text as the core hands it out, in pieces of 1 MiB (views of the
// core's memory, valid only while it hands them out), gathered into one
// Blob for the download.
//
// Chromium makes one Blob of much text several times faster than a Blob of
// each piece, and fresh memory costs it about as much as the Blobs: here
// the pieces are copied into one buffer of `heldAtMost` bytes, kept from
// one conversion to the next, that becomes a Blob whenever it is full and
// at the end. Where the page's thread makes the Blobs a worker asks for (in
// the engines whose workers cannot read Blobs), Blobs made back to back
// stall the page for as long as they all take: there each piece becomes a
// Blob of its own, with a short pause after each, once the core is done (no
// pause can be taken while it runs). Either way this thread holds at most
// `heldAtMost` bytes of the text besides its Blobs.
const pauseAfterEach = 2; // ms

const pause = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

export class TextBlobs {
  constructor(paced) {
    this.paced = paced;
    this.heldAtMost = (paced ? 256 : 16) * 1024 * 1024;
    // Made at once and written through, so that the first conversion finds
    // its memory ready: Chromium gives fresh memory slowly, a page at a time
    // as it is first written.
    this.buffer = paced ? null : new Uint8Array(this.heldAtMost).fill(1);
    this.clear();
  }

  clear() {
    this.blobs = [];
    this.held = [];
    this.heldBytes = 0;
  }

  take(piece) {
    if (this.heldBytes + piece.length > this.heldAtMost) this.makeHeld();
    if (this.paced) {
      this.held.push(piece.slice());
    } else {
      this.buffer.set(piece, this.heldBytes);
    }
    this.heldBytes += piece.length;
  }

  // Past what may be held, even where Blobs are paced, they are made at once.
  makeHeld() {
    if (this.paced) {
      for (const piece of this.held) this.blobs.push(new Blob([piece]));
    } else if (this.heldBytes > 0) {
      this.blobs.push(new Blob([this.buffer.subarray(0, this.heldBytes)])); // a copy
    }
    this.held = [];
    this.heldBytes = 0;
  }

  // The Blob of all the text taken since the last one.
  async whole() {
    if (this.paced) {
      for (const piece of this.held) {
        this.blobs.push(new Blob([piece]));
        await pause(pauseAfterEach);
      }
      this.held = [];
    } else {
      this.makeHeld();
    }
    const body = new Blob(this.blobs, { type: "text/plain" });
    this.clear();
    return body;
  }
}
