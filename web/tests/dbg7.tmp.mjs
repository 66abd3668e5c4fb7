import { launch } from "./browsers.mjs";
const b = await launch(process.env.BROWSER ?? "chromium", "en-US");
const p = await b.open("file:///work/main/build/web/bmp2data.html");
await p.run(async () => { await decodingKnown;
  const orig = toWorker; toWorker = async (...a) => { marks.push(["send", performance.now()]); const r = await orig(...a); marks.push(["reply", performance.now()]); return r; };
  window.marks = [];
  document.getElementById("files").addEventListener("change", () => { marks.length = 0; marks.push(["change", performance.now()]); }, { capture: true });
  new MutationObserver(() => { if (document.querySelector(".result[data-done] a.download[href]") && !marks.find((m) => m[0] === "link")) marks.push(["link", performance.now()]); }).observe(document.getElementById("results"), { subtree: true, attributes: true });
});
for (let i = 0; i < 4; i++) {
  await p.run(() => { for (const b of document.querySelectorAll(".remove")) b.click(); });
  await p.pick(["/tmp/pic.bmp"]);
  while (!(await p.run(() => document.querySelector(".result[data-done] a.download[href]")))) await new Promise((r) => setTimeout(r, 20));
  await new Promise((r) => setTimeout(r, 300));
  console.log(JSON.stringify(await p.run(() => marks.map(([n, t]) => [n, Math.round(t - marks[0][1])]))));
}
await b.close();
