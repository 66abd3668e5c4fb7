// Runs the converter's core away from the page, so that large pictures never
// freeze it. Messages in: {id, kind: "bmp" | "rgba" | "data", bytes, width,
// height, label}; out: {id, ok, line, file, width, height, image, preview}.
const corePromise = createCore();

function copyIn(core, bytes) {
  const pointer = core._malloc(Math.max(bytes.byteLength, 1));
  if (pointer) {
    core.HEAPU8.set(new Uint8Array(bytes), pointer);
  }
  return pointer;
}

function labelIn(core, label) {
  return copyIn(core, new TextEncoder().encode(label + "\0"));
}

function copyOut(core, pointer, size) {
  return pointer ? core.HEAPU8.slice(pointer, pointer + size).buffer : null;
}

function outOfMemory(core) {
  return { ok: false, line: core.UTF8ToString(core._outOfMemoryLine()), file: null, width: 0, height: 0 };
}

function run(core, request) {
  const needsLabel = request.kind !== "data";
  const input = copyIn(core, request.bytes);
  const label = needsLabel ? labelIn(core, request.label) : 0;
  if (!input || (needsLabel && !label)) {
    core._free(input);
    core._free(label);
    return outOfMemory(core);
  }
  let result = 0;
  if (request.kind === "bmp") {
    result = core._convertBmp(input, request.bytes.byteLength, label);
  } else if (request.kind === "rgba") {
    result = core._convertRgba(input, request.width, request.height, label);
  } else {
    result = core._previewData(input, request.bytes.byteLength);
  }
  core._free(input);
  core._free(label);
  if (!result) {
    return outOfMemory(core);
  }
  const width = core._resultWidth(result);
  const height = core._resultHeight(result);
  const ok = Boolean(core._resultOk(result));
  const fileSize = core._resultFileSize(result);
  const reply = {
    ok,
    line: core.UTF8ToString(core._resultLine(result)),
    file: ok ? copyOut(core, core._resultFile(result), fileSize) : null,
    width,
    height,
    image: copyOut(core, core._resultImage(result), width * height * 4),
    preview: copyOut(core, core._resultPreview(result), width * height * 4),
  };
  core._freeResult(result);
  return reply;
}

onmessage = async (event) => {
  const core = await corePromise;
  const reply = run(core, event.data);
  reply.id = event.data.id;
  const transfers = [reply.file, reply.image, reply.preview].filter(Boolean);
  postMessage(reply, transfers);
};
