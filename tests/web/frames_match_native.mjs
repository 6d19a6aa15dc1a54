// The browser build draws the frames the native build draws: headless
// Chromium (SwiftShader) and Firefox ESR (under Xvfb, on Mesa) play
// build-web/index.html?autoplay with the page's clock frozen and set from
// here, and each frame read back at a chosen time must lie within 4 levels
// (mean absolute difference over all channels) of the native capture of the
// same time; neither browser may report a warning or an error meanwhile.
// Then Chromium meets the page as a guest would: a size of another shape, a
// size the program refuses, the end and playing again, the page opened from
// disk.
//
//   node frames_match_native.mjs BUILD_WEB_DIR NATIVE_BINARY
//
// Exits 77 (skipped) when the browser build is missing. VELMORRA_FIREFOX=0
// leaves Firefox out.
import { spawnSync } from "node:child_process";
import { existsSync, mkdtempSync, realpathSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { Browser, serveDirectory } from "../../web/chromium.mjs";
import { Firefox } from "../../web/firefox.mjs";

// Node 20 has its WebSocket, which the Firefox driver needs, behind a flag.
if (typeof WebSocket === "undefined" && !process.execArgv.includes("--experimental-websocket")) {
  const again = spawnSync(process.execPath, ["--experimental-websocket", "--no-warnings",
                                             ...process.argv.slice(1)], { stdio: "inherit" });
  process.exit(again.status ?? 1);
}

const [webDir, nativeBinary] = process.argv.slice(2);
if (!existsSync(join(webDir, "index.html")) || !existsSync(join(webDir, "velmorra.wasm"))) {
  console.log(`skipped: no browser build in ${webDir} (scripts/web.sh makes it)`);
  process.exit(77);
}

const width = 640, height = 480, limit = 4;
// Picture scenes (hearing, credits, soya) and effect scenes that hold no
// value from frame to frame: display lists with fog and scissored strips
// (twist pillar and room, tunnel), the spike tube, quad-strip spheres and the
// sphere-mapped sheet before its slow-down. The box scene is left out: its
// orbit slows frame by frame, so a jump in time lands elsewhere.
const times = [1800, 7000, 20000, 24000, 40000, 48500, 60000, 84000, 95000, 104000, 113000];

function nativeFrames() {
  const directory = mkdtempSync(join(tmpdir(), "velmorra-native-"));
  const run = spawnSync(nativeBinary, [`--capture=${directory}`, `--shots=${times.join(",")}`,
                                       `--size=${width}x${height}`, "--fps=10"],
                        { env: { ...process.env, SDL_AUDIODRIVER: "dummy" }, encoding: "utf8" });
  if (run.status !== 0) throw new Error(`native capture failed: ${run.stderr}`);
  const frames = new Map();
  for (const t of times) {
    const png = join(directory, String(t).padStart(6, "0") + ".png");
    const raw = spawnSync("ffmpeg", ["-v", "error", "-i", png, "-f", "rawvideo", "-pix_fmt",
                                     "rgb24", "-"], { maxBuffer: 64 << 20 });
    if (raw.status !== 0) throw new Error(`cannot read ${png}: ${raw.stderr}`);
    frames.set(t, raw.stdout);
  }
  rmSync(directory, { recursive: true, force: true });
  return frames;
}

// Runs in the page before its own script: performance.now answers what the
// test sets, and a capture resolves with the sixth frame drawn after it. The
// demo shows each frame a frame time and a half ahead of its clock read, by
// the median of its last nine frame times; frames drawn at a standing clock
// take no time, so after five of them the next jump is shown exactly where it
// lands. The frames before also let a scene build what it keeps.
// Real-time play follows the music as it is heard, and music would play on at
// its own pace, so the page's sound is a stand-in that never asks for a
// chunk: with no sound, the demo waits up to 2 s of the counter at t = 0,
// then follows the counter from there (quietMs covers that wait).
const quietMs = 2100;
const pageClock = `(() => {
  AudioContext.prototype.createScriptProcessor = function (size) {
    return { bufferSize: size, onaudioprocess: null, connect() {}, disconnect() {} };
  };
  const base = 5000;
  let now = base;
  performance.now = () => now;
  const probe = window.velmorraProbe = { frames: 0, pending: null };
  const after = (frames, then) => { probe.pending = { frames, then }; };
  // The first capture first lets the clock stand at its start, then draws
  // past the wait for sound. Past the end only one more frame is drawn, so a
  // capture there takes the first.
  let waited = false;
  probe.capture = (ms, settleFrames = 6) => new Promise((resolve) => {
    const at = () => { now = base + ${quietMs} + ms; after(settleFrames, resolve); };
    if (waited) return at();
    waited = true;
    after(6, () => { now = base + ${quietMs}; after(6, at); });
  });
  addEventListener("velmorra-frame", () => {
    probe.frames++;
    const pending = probe.pending;
    if (!pending || --pending.frames > 0) return;
    probe.pending = null;
    const gl = Module.ctx;
    const w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
    const pixels = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    let text = "";
    for (let i = 0; i < pixels.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
    }
    pending.then({ width: w, height: h, data: btoa(text) });
  });
})();`;

// Mean absolute difference over all channels; the page's rows run bottom up.
function meanDifference(rgba, rgb) {
  let total = 0;
  for (let y = 0; y < height; ++y) {
    const from = (height - 1 - y) * width * 4, to = y * width * 3;
    for (let x = 0; x < width; ++x) {
      for (let c = 0; c < 3; ++c) total += Math.abs(rgba[from + x * 4 + c] - rgb[to + x * 3 + c]);
    }
  }
  return total / (width * height * 3);
}

// VELMORRA_KEEP_FRAMES=DIR keeps both frames of a failing time as PNG.
function keepFrames(t, frame, rgb) {
  const dir = process.env.VELMORRA_KEEP_FRAMES;
  const write = (name, format, data, flip) => spawnSync("ffmpeg", [
    "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", format, "-s", `${width}x${height}`,
    "-i", "-", ...(flip ? ["-vf", "vflip"] : []), join(dir, name)], { input: data });
  write(`${t}-browser.png`, "rgba", Buffer.from(frame.data, "base64"), true);
  write(`${t}-native.png`, "rgb24", rgb, false);
}

// Plays the frame comparison in one browser; returns the number of failures.
async function compareFrames(browser, engine, url) {
  let failed = 0;
  await browser.open(`${url}?autoplay&size=${width}x${height}`, width, height, pageClock);
  // The loading picture is the first frame; the second comes from the main
  // loop, whose clock started at the frozen time.
  await browser.waitFor("window.velmorraProbe && velmorraProbe.frames >= 2", 120000,
                        "the demo to start");
  for (const t of times) {
    const frame = await browser.evaluate(`velmorraProbe.capture(${t})`);
    if (frame.width !== width || frame.height !== height) {
      throw new Error(`the page drew ${frame.width}x${frame.height}, not ${width}x${height}`);
    }
    const difference = meanDifference(Buffer.from(frame.data, "base64"), expected.get(t));
    const ok = difference <= limit;
    if (!ok && process.env.VELMORRA_KEEP_FRAMES) keepFrames(t, frame, expected.get(t));
    if (!ok) ++failed;
    console.log(`${ok ? "ok  " : "FAIL"} ${engine} t=${t} ms: mean difference ` +
                `${difference.toFixed(2)} levels`);
  }
  return failed;
}

// The page as a guest meets it, in Chromium; each case throws what it found
// wrong.
const nativeMessage = (option) =>
  spawnSync(nativeBinary, [option], { encoding: "utf8" }).stderr.split("\n")[0];
const noteText = "document.getElementById('note').textContent";
const pageCases = [
  {
    name: "a wide ?size, upper-case X: the buffer's shape with bars, the picture unstretched",
    query: "?autoplay&size=1280X480", clean: true,
    async check(browser) {
      await browser.waitFor("window.velmorraProbe && velmorraProbe.frames >= 2", 120000, "frames");
      await browser.evaluate("velmorraProbe.capture(1800)");
      const frame = await browser.evaluate("velmorraProbe.capture(1800)");
      const box = await browser.evaluate(
        "(({ x, y, width, height }) => [x, y, width, height])(" +
        "document.getElementById('canvas').getBoundingClientRect())");
      if (frame.width !== 1280 || frame.height !== 480 || box.join() !== "0,120,640,240") {
        throw new Error(`buffer ${frame.width}x${frame.height} in a box at ${box}`);
      }
      // The demo's 4:3 area is the middle 640 columns; the bars are black.
      const rgba = Buffer.from(frame.data, "base64");
      let bar = 0, picture = 0;
      for (let i = 0; i < rgba.length; i += 4) {
        const x = (i / 4) % 1280;
        const sum = rgba[i] + rgba[i + 1] + rgba[i + 2];
        if (x < 320 || x >= 960) bar = Math.max(bar, sum);
        else picture += sum;
      }
      if (bar !== 0 || picture / (640 * 480 * 3) < 8) {
        throw new Error(`bars up to ${bar}, picture mean ${picture / (640 * 480 * 3)}`);
      }
    },
  },
  ...["0x0", "99999x99999", "640x", "-5x3"].map((size) => ({
    name: `?size=${size}: the program's own message on the page`,
    query: `?autoplay&size=${size}`,
    async check(browser) {
      const expected = nativeMessage(`--size=${size}`);
      await browser.waitFor(`${noteText} !== ""`, 60000, "a message");
      const shown = await browser.evaluate(noteText);
      if (shown !== expected) throw new Error(`shows "${shown}", not "${expected}"`);
    },
  })),
  {
    name: "F starts in fullscreen, where Escape ends the demo; a key plays it again to its end",
    query: "?size=320x240", clean: true,
    async check(browser) {
      const closingScreen = async (what) => {
        await browser.waitFor(`${noteText}.includes("play it again")`, 30000, what);
        if (await browser.evaluate("!!document.fullscreenElement")) {
          throw new Error(`still fullscreen after ${what}`);
        }
      };
      await browser.waitFor(`${noteText}.startsWith("Click")`, 60000, "the invitation");
      // Headless Chromium hands a synthetic Escape to the page even in
      // fullscreen, so what is checked is that the page asks for the key.
      await browser.evaluate(`(() => { const lock = navigator.keyboard.lock.bind(navigator.keyboard);
        navigator.keyboard.lock = (keys) => { window.lockedKeys = keys; return lock(keys); }; })()`);
      await browser.press("f");
      await browser.waitFor("window.velmorraProbe && velmorraProbe.frames >= 2 && " +
                            "!!document.fullscreenElement", 120000, "frames in fullscreen");
      if (!(await browser.evaluate("(window.lockedKeys || []).includes('Escape')"))) {
        throw new Error("fullscreen without holding Escape");
      }
      await browser.press("Escape");
      await closingScreen("Escape");
      await browser.press("a");
      await browser.waitFor("performance.getEntriesByType('navigation')[0].type === 'reload' &&" +
                            " window.velmorraProbe && velmorraProbe.frames >= 2", 120000,
                            "the demo to play again");
      await browser.evaluate("velmorraProbe.capture(131500, 1)");
      await closingScreen("the end");
    },
  },
  {
    name: "a server that sends .wasm untyped: one download",
    server: () => serveDirectory(webDir, [".wasm"]), query: "?autoplay&size=320x240", clean: true,
    async check(browser, server) {
      await browser.waitFor("window.velmorraProbe && velmorraProbe.frames >= 2", 120000, "frames");
      const downloads = server.requests.get("/velmorra.wasm");
      if (downloads !== 1) throw new Error(`velmorra.wasm downloaded ${downloads} times`);
    },
  },
  {
    name: "opened from disk: how to serve it",
    url: "file://" + join(realpathSync(webDir), "index.html"), clean: true,
    async check(browser) {
      await browser.waitFor(`${noteText}.includes("python3 -m http.server -d build-web")`,
                            20000, "the sentence");
    },
  },
];

// Warnings and errors in the console. Chromium's deprecation reports (SDL's
// audio uses the ScriptProcessorNode) go to DevTools' issues, not to the
// console, and the stall is Chromium reading the canvas back to composite it
// in software (headless, no GPU), which a page cannot avoid.
function consoleFaults(log) {
  return log.filter(({ text, level }) => (level === "warning" || level === "error") &&
                    !text.startsWith("deprecation: ") && !text.includes("stall due to ReadPixels"));
}

const expected = nativeFrames();
const server = await serveDirectory(webDir);
let failed = 0;
const engines = [["chromium", () => Browser.launch()]];
if (process.env.VELMORRA_FIREFOX !== "0") engines.push(["firefox", () => Firefox.launch()]);
for (const [engine, launch] of engines) {
  const browser = await launch();
  let log = [];
  browser.onConsole((text, level) => log.push({ text, level }));
  try {
    failed += await compareFrames(browser, engine, server.url);
    for (const { text } of consoleFaults(log)) {
      console.log(`FAIL ${engine} console: ${text}`);
      ++failed;
    }
    if (engine !== "chromium") continue;
    for (const pageCase of pageCases) {
      log = [];
      const caseServer = pageCase.server ? await pageCase.server() : server;
      await browser.open(pageCase.url ?? caseServer.url + pageCase.query, width, height,
                         pageClock);
      let fault = await pageCase.check(browser, caseServer).then(() => "", (e) => e.message);
      if (caseServer !== server) caseServer.close();
      if (!fault && pageCase.clean) {
        fault = consoleFaults(log).map(({ text }) => "console: " + text).join("; ");
      }
      console.log(`${fault ? "FAIL" : "ok  "} ${pageCase.name}${fault ? ": " + fault : ""}`);
      if (fault) ++failed;
    }
  } catch (error) {
    console.log(log.slice(-20).map(({ text }) => text).join("\n"));
    throw error;
  } finally {
    await browser.close();
  }
}
server.close();
console.log(failed === 0 ? "all passed" : `${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
