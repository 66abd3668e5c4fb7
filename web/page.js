// The page: takes files, hands their bytes to the core in a worker, draws
// what comes back and offers the downloads. No conversion happens here.
"use strict";

const results = document.getElementById("results");
const progress = document.getElementById("progress");
const drop = document.getElementById("drop");
const fileInput = document.getElementById("files");

const worker = new Worker(URL.createObjectURL(new Blob(
  [document.getElementById("core-source").textContent,
   document.getElementById("worker-source").textContent],
  { type: "text/javascript" })));
const pending = new Map();
let nextId = 1;

worker.onmessage = (event) => {
  const resolve = pending.get(event.data.id);
  pending.delete(event.data.id);
  resolve(event.data);
};

// Sends one request to the core; shows progress while any is running.
function inWorker(request, what) {
  const id = nextId++;
  progress.hidden = false;
  progress.querySelector("span").textContent = what;
  return new Promise((resolve) => {
    pending.set(id, (reply) => {
      if (pending.size === 0) progress.hidden = true;
      resolve(reply);
    });
    worker.postMessage({ ...request, id });
  });
}

function baseName(name) {
  const dot = name.lastIndexOf(".");
  return dot > 0 ? name.slice(0, dot) : name;
}

function extension(name) {
  return name.slice(name.lastIndexOf(".") + 1).toLowerCase();
}

// Assemblers take letters, digits and "_", not starting with a digit.
function labelWarning(label) {
  if (/^[A-Za-z_][A-Za-z0-9_]*$/.test(label)) return "";
  return "Most assemblers reject this label: use letters, digits and _, not starting with a digit.";
}

// The stored pixels of a PNG, JPEG, GIF or WebP, as the file holds them: no
// colour profile applied and alpha not premultiplied. A 2D canvas would
// premultiply and lose the colour of transparent pixels, so WebGL reads them.
async function storedPixels(file) {
  const bitmap = await createImageBitmap(file, {
    colorSpaceConversion: "none", premultiplyAlpha: "none",
  });
  const { width, height } = bitmap;
  const canvas = document.createElement("canvas");
  const gl = canvas.getContext("webgl2", { premultipliedAlpha: false })
    || canvas.getContext("webgl", { premultipliedAlpha: false });
  if (!gl) throw new Error("this browser offers no WebGL to read stored colours");
  const texture = gl.createTexture();
  gl.bindTexture(gl.TEXTURE_2D, texture);
  gl.pixelStorei(gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, false);
  gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);
  gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, false);
  gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, gl.RGBA, gl.UNSIGNED_BYTE, bitmap);
  const framebuffer = gl.createFramebuffer();
  gl.bindFramebuffer(gl.FRAMEBUFFER, framebuffer);
  gl.framebufferTexture2D(gl.FRAMEBUFFER, gl.COLOR_ATTACHMENT0, gl.TEXTURE_2D, texture, 0);
  const rgba = new Uint8Array(width * height * 4);
  gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
  const failed = gl.getError() !== gl.NO_ERROR;
  gl.deleteFramebuffer(framebuffer);
  gl.deleteTexture(texture);
  bitmap.close();
  if (failed) throw new Error(`the browser cannot read a ${width} x ${height} picture`);
  return { width, height, rgba };
}

// Small pictures are enlarged with crisp pixels.
function draw(canvas, width, height, rgba) {
  canvas.width = width;
  canvas.height = height;
  canvas.getContext("2d").putImageData(
    new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
  const scale = Math.max(1, Math.min(40, Math.floor(256 / Math.max(width, height))));
  canvas.style.width = `${width * scale}px`;
}

function offerDownload(view, name, bytes, type) {
  const link = view.querySelector(".download a");
  if (link.href) URL.revokeObjectURL(link.href);
  link.href = URL.createObjectURL(new Blob([bytes], { type }));
  link.download = name;
  link.textContent = `Download ${name}`;
  view.querySelector(".download").hidden = false;
}

function show(view, reply, downloadName, type) {
  const line = view.querySelector(".line");
  line.textContent = reply.line;
  const failed = !reply.ok;
  line.classList.toggle("error", failed);
  const pictures = view.querySelector(".pictures");
  pictures.hidden = !reply.preview;
  if (reply.image) draw(view.querySelector(".original canvas"), reply.width, reply.height, reply.image);
  view.querySelector(".original").hidden = !reply.image;
  if (reply.preview) draw(view.querySelector(".reduced canvas"), reply.width, reply.height, reply.preview);
  const text = view.querySelector(".text");
  text.hidden = failed || type !== "text/plain";
  if (!text.hidden) {
    // The start of the text, in whole lines.
    const shown = Math.min(reply.file.byteLength, 1200);
    let start = new TextDecoder().decode(new Uint8Array(reply.file, 0, shown));
    if (shown < reply.file.byteLength) start = `${start.slice(0, start.lastIndexOf("\n") + 1)}…`;
    text.textContent = start;
  }
  view.querySelector(".download").hidden = failed;
  if (!failed) offerDownload(view, downloadName, reply.file, type);
}

// A picture: converted again whenever its label changes.
async function addPicture(file, view) {
  const labelInput = view.querySelector(".label");
  const warning = view.querySelector(".warning");
  view.querySelector(".label-row").hidden = false;
  labelInput.value = baseName(file.name);
  let request;
  if (extension(file.name) === "bmp") {
    request = { kind: "bmp", bytes: await file.arrayBuffer() };
  } else {
    try {
      const { width, height, rgba } = await storedPixels(file);
      request = { kind: "rgba", bytes: rgba.buffer, width, height };
    } catch (error) {
      show(view, { ok: false, line: `Error: cannot decode ${file.name}: ${error.message}` });
      return;
    }
  }
  let latest = 0;
  const convert = async () => {
    const label = labelInput.value;
    warning.textContent = labelWarning(label);
    const mine = ++latest;
    // The worker takes the bytes over; keep a copy for the next label.
    const reply = await inWorker({ ...request, bytes: request.bytes.slice(0), label },
                                 `Converting ${file.name}…`);
    if (mine === latest) show(view, reply, `${label}.data`, "text/plain");
  };
  let timer = 0;
  labelInput.addEventListener("input", () => {
    clearTimeout(timer);
    timer = setTimeout(convert, 250);
  });
  await convert();
}

async function addDataFile(file, view) {
  const reply = await inWorker({ kind: "data", bytes: await file.arrayBuffer() },
                               `Reading ${file.name}…`);
  show(view, reply, `${baseName(file.name)}.preview.bmp`, "image/bmp");
}

async function addFiles(files) {
  for (const file of files) {
    const view = document.getElementById("result").content.firstElementChild.cloneNode(true);
    view.querySelector("h2").textContent = file.name;
    view.dataset.name = file.name;
    results.append(view);
    await (extension(file.name) === "data" ? addDataFile(file, view) : addPicture(file, view));
    view.dataset.done = "true";
  }
}

fileInput.addEventListener("change", () => {
  addFiles([...fileInput.files]);
  fileInput.value = "";
});
drop.addEventListener("dragover", (event) => {
  event.preventDefault();
  drop.classList.add("over");
});
drop.addEventListener("dragleave", () => drop.classList.remove("over"));
drop.addEventListener("drop", (event) => {
  event.preventDefault();
  drop.classList.remove("over");
  addFiles([...event.dataTransfer.files]);
});
