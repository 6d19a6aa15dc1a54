// The browser build draws the frames the native build draws: headless
// Chromium (SwiftShader) plays build-web/index.html?autoplay with the page's
// clock frozen and set from here, and each frame read back at a chosen time
// must lie within 4 levels (mean absolute difference over all channels) of
// the native capture of the same time.
//
//   node frames_match_native.mjs BUILD_WEB_DIR NATIVE_BINARY
//
// Exits 77 (skipped) when the browser build is missing.
import { spawnSync } from "node:child_process";
import { existsSync, mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { Browser, serveDirectory } from "../../web/chromium.mjs";

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
// test sets, and a capture resolves with the first frame drawn after it.
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
  probe.capture = (ms) => new Promise((resolve) => { now = base + ${quietMs} + ms; probe.pending = resolve; });
  addEventListener("velmorra-frame", () => {
    probe.frames++;
    const resolve = probe.pending;
    if (!resolve) return;
    probe.pending = null;
    const gl = Module.ctx;
    const w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;
    const pixels = new Uint8Array(w * h * 4);
    gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
    let text = "";
    for (let i = 0; i < pixels.length; i += 0x8000) {
      text += String.fromCharCode.apply(null, pixels.subarray(i, i + 0x8000));
    }
    resolve({ width: w, height: h, data: btoa(text) });
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

const expected = nativeFrames();
const server = await serveDirectory(webDir);
const browser = await Browser.launch();
const log = [];
browser.onConsole((line) => log.push(line));
let failed = 0;
try {
  await browser.open(`${server.url}?autoplay&size=${width}x${height}`, width, height, pageClock);
  // The loading picture is the first frame; the second comes from the main
  // loop, whose clock started at the frozen time.
  await browser.waitFor("window.velmorraProbe && velmorraProbe.frames >= 2", 120000,
                        "the demo to start");
  // Past the wait for sound that never comes: the clock turns to the counter.
  await browser.evaluate("velmorraProbe.capture(0)");
  await browser.evaluate("velmorraProbe.capture(0)");
  for (const t of times) {
    // The first frame at a time may still build what a scene keeps (the
    // spheres' table is true on its first frame); the second is compared.
    await browser.evaluate(`velmorraProbe.capture(${t})`);
    const frame = await browser.evaluate(`velmorraProbe.capture(${t})`);
    if (frame.width !== width || frame.height !== height) {
      throw new Error(`the page drew ${frame.width}x${frame.height}, not ${width}x${height}`);
    }
    const difference = meanDifference(Buffer.from(frame.data, "base64"), expected.get(t));
    const ok = difference <= limit;
    if (!ok && process.env.VELMORRA_KEEP_FRAMES) keepFrames(t, frame, expected.get(t));
    if (!ok) ++failed;
    console.log(`${ok ? "ok  " : "FAIL"} t=${t} ms: mean difference ${difference.toFixed(2)} levels`);
  }
} catch (error) {
  console.log(log.slice(-20).join("\n"));
  throw error;
} finally {
  await browser.close();
  server.close();
}
console.log(`${times.length - failed} passed, ${failed} failed`);
process.exit(failed === 0 ? 0 : 1);
