// The browsers the page is tested in, behind one small interface, so that
// the same test bodies run in each:
//   const browser = await launch(configuration, locale)
//   const page = await browser.open(url)
//   await page.run(fn, ...args)     fn's result (JSON), run in the page
//   await page.pick(paths)          the files chosen in #files
//   await page.screenshot(path, selector)
//   await page.resize(width, height)  the page's viewport, as near as the browser allows
//   await page.reload(); await page.close(); await browser.close()
// Chromium and Firefox are driven by puppeteer-core (Firefox over WebDriver
// BiDi); WebKitGTK by its WebDriver server, through the few commands of
// classic WebDriver the tests need. No browser is downloaded: each is the
// Debian package's.
import { spawn } from "node:child_process";
import { existsSync, writeFileSync } from "node:fs";
import { once } from "node:events";
import { createServer } from "node:net";

import puppeteer from "puppeteer-core";

const chromiumFlags = ["--no-sandbox", "--disable-background-networking", "--disable-component-update",
                       "--disable-sync", "--no-first-run"];

// Each configuration: the program it needs, and how to start it.
export const configurations = {
  chromium: { program: "/usr/bin/chromium", start: (locale) => viaPuppeteer(chromiumOptions(locale, [])) },
  // No GPU and no software rasterizer: no WebGL.
  "chromium-nogpu": {
    program: "/usr/bin/chromium",
    start: (locale) => viaPuppeteer(chromiumOptions(locale, ["--disable-gpu", "--disable-software-rasterizer"])),
  },
  firefox: {
    program: "/usr/bin/firefox-esr",
    start: (locale) => viaPuppeteer({
      browser: "firefox", executablePath: "/usr/bin/firefox-esr", headless: true,
      extraPrefsFirefox: { "intl.accept_languages": locale, "intl.locale.requested": locale },
    }),
  },
  webkit: { program: "/usr/bin/WebKitWebDriver", start: viaWebKitDriver },
};

// Why this configuration cannot run here, or "".
// What this browser's decoding keeps ({png, jpeg}), which the page says on
// its root element once its worker has chosen its decoding paths.
export function decodingOf(page) {
  return page.run(() => new Promise((resolve) => {
    const root = document.documentElement;
    const look = () => (root.dataset.decoding ? resolve(JSON.parse(root.dataset.decoding))
      : setTimeout(look, 10));
    look();
  }));
}

export function missing(name) {
  const configuration = configurations[name];
  if (!configuration) return `unknown browser configuration "${name}"`;
  if (!existsSync(configuration.program)) return `no ${configuration.program} (Debian's package)`;
  return "";
}

export function launch(name, locale) {
  return configurations[name].start(locale);
}

function chromiumOptions(locale, flags) {
  return {
    browser: "chrome", executablePath: "/usr/bin/chromium", headless: true,
    args: [...chromiumFlags, ...flags, `--accept-lang=${locale}`, `--lang=${locale}`],
    env: { ...process.env, LANGUAGE: locale.replace("-", "_") },
  };
}

// ---- Chromium and Firefox ----

async function viaPuppeteer(options) {
  const browser = await puppeteer.launch({ protocolTimeout: 600000, ...options });
  return {
    async open(url) {
      const page = await browser.newPage();
      await page.setViewport({ width: 1366, height: 768 });
      const errors = [];
      page.on("pageerror", (error) => errors.push(error.message));
      await page.goto(url);
      return {
        errors,
        raw: page, // for what only puppeteer offers (tracing)
        run: (fn, ...args) => page.evaluate(fn, ...args),
        pick: async (paths) => (await page.$("#files")).uploadFile(...paths),
        screenshot: async (path, selector) => {
          const target = selector ? await page.$(selector) : page;
          await target.screenshot({ path, ...(selector ? {} : { fullPage: true }) });
        },
        reload: () => page.reload(),
        resize: (width, height) => page.setViewport({ width, height }),
        close: () => page.close(),
      };
    },
    close: () => browser.close(),
  };
}

// ---- WebKitGTK through its WebDriver server ----

async function freePort() {
  const server = createServer().listen(0, "127.0.0.1");
  await once(server, "listening");
  const { port } = server.address();
  server.close();
  return port;
}

// An X server of its own for MiniBrowser; its display number.
async function startXvfb() {
  const xvfb = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1366x768x24", "-nolisten", "tcp"],
                     { stdio: ["ignore", "ignore", "ignore", "pipe"] });
  const [chunk] = await once(xvfb.stdio[3], "data");
  return { xvfb, display: `:${chunk.toString().trim()}` };
}

async function viaWebKitDriver(locale) {
  const { xvfb, display } = await startXvfb();
  const port = await freePort();
  // WebKitGTK takes its languages from the locale (see `locale -a`).
  const posixLocale = `${locale.replace("-", "_")}.UTF-8`;
  const driver = spawn("/usr/bin/WebKitWebDriver", [`--port=${port}`], {
    stdio: "ignore", env: { ...process.env, DISPLAY: display, LANG: posixLocale, LC_ALL: posixLocale },
  });
  const stop = () => {
    driver.kill();
    xvfb.kill();
  };
  const base = `http://127.0.0.1:${port}`;
  async function command(method, path, body) {
    const response = await fetch(base + path, {
      method, headers: { "content-type": "application/json" }, body: body && JSON.stringify(body),
    });
    const { value } = await response.json();
    if (value?.error) throw new Error(`WebDriver ${path}: ${value.error}: ${value.message}`);
    return value;
  }
  for (let tries = 0; ; tries++) {
    try {
      await command("GET", "/status");
      break;
    } catch (error) {
      if (tries === 50) {
        stop();
        throw error;
      }
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
  }
  const sessions = new Set();
  return {
    async open(url) {
      // The driver holds one session at a time: one a failed test left goes.
      for (const left of sessions) await command("DELETE", `/session/${left}`).catch(() => {});
      sessions.clear();
      const { sessionId } = await command("POST", "/session", {
        capabilities: { alwaysMatch: { "webkitgtk:browserOptions": {
          binary: "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser", args: ["--automation"] } } },
      });
      sessions.add(sessionId);
      const session = (path, body, method = "POST") => command(method, `/session/${sessionId}${path}`, body);
      await session("/timeouts", { script: 600000, pageLoad: 120000 });
      await session("/window/rect", { width: 1366, height: 768 }).catch(() => {});
      await session("/url", { url });
      await session("/execute/sync", { script: collectErrors, args: [] });
      const element = async (selector) => Object.values(
        await session("/element", { using: "css selector", value: selector }))[0];
      const errors = [];
      return {
        errors,
        run: async (fn, ...args) => {
          const { value, error } = await session("/execute/async", {
            script: `const done = arguments[arguments.length - 1];
              Promise.resolve().then(() => (${fn})(...arguments[0]))
                .then((value) => done({ value }), (error) => done({ error: String(error?.stack ?? error) }));`,
            args: [args],
          });
          if (error) throw new Error(error);
          return value;
        },
        pick: async (paths) => session(`/element/${await element("#files")}/value`, { text: paths.join("\n") }),
        screenshot: async (path, selector) => {
          const shot = await session(selector ? `/element/${await element(selector)}/screenshot` : "/screenshot",
                                     undefined, "GET");
          writeFileSync(path, Buffer.from(shot, "base64"));
        },
        resize: (width, height) => session("/window/rect", { width, height }),
        reload: async () => {
          await session("/refresh", {});
          await session("/execute/sync", { script: collectErrors, args: [] });
        },
        async close() {
          errors.push(...await session("/execute/sync", { script: "return window.pageErrors ?? []", args: [] }));
          await session("", undefined, "DELETE");
          sessions.delete(sessionId);
        },
      };
    },
    async close() {
      for (const sessionId of sessions) await command("DELETE", `/session/${sessionId}`).catch(() => {});
      stop();
    },
  };
}

// Classic WebDriver has no page-error events: the page keeps its own list.
const collectErrors = `window.pageErrors = [];
  addEventListener("error", (event) => pageErrors.push(event.message));
  addEventListener("unhandledrejection", (event) => pageErrors.push(String(event.reason)));`;
