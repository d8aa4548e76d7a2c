// Native messaging frames: a 4-byte little-endian length, then that many
// bytes of UTF-8 JSON. Used by the test double of the host and by the tap
// that records a host's traffic.

export const MAX_FRAME_BYTES = 1024 * 1024;

export function encodeFrame(message) {
  return frameOf(Buffer.from(JSON.stringify(message), "utf8"));
}

export function frameOf(body) {
  const head = Buffer.alloc(4);
  head.writeUInt32LE(body.length, 0);
  return Buffer.concat([head, body]);
}

// Collects chunks of a stream and hands out whole frames' bodies, as bytes.
// A length over the bound throws: the stream cannot be trusted past it.
export class FrameReader {
  #buffered = Buffer.alloc(0);
  #maxBytes;

  constructor(maxBytes = MAX_FRAME_BYTES) {
    this.#maxBytes = maxBytes;
  }

  // Bytes received that do not yet make a whole frame.
  get pendingBytes() {
    return this.#buffered.length;
  }

  push(chunk) {
    this.#buffered = this.#buffered.length === 0 ? chunk : Buffer.concat([this.#buffered, chunk]);
    const bodies = [];
    while (this.#buffered.length >= 4) {
      const length = this.#buffered.readUInt32LE(0);
      if (length > this.#maxBytes) throw new Error(`frame of ${length} bytes is over the bound`);
      if (this.#buffered.length < 4 + length) break;
      bodies.push(this.#buffered.subarray(4, 4 + length));
      this.#buffered = this.#buffered.subarray(4 + length);
    }
    return bodies;
  }
}

// A body as JSON, or undefined for one that is not.
export function parseBody(body) {
  try {
    return JSON.parse(body.toString("utf8"));
  } catch {
    return undefined;
  }
}
