// The browser version's frame rates, download size and start-up: the sizes
// of what the page loads, as served and gzip-compressed; then, over a link
// throttled to 20 Mbit/s with 20 ms latency and no cache, the times from
// navigation to the first paint, the program's first frame (its loading
// picture) and the demo's first frame (median of three loads); then headless
// Chromium (SwiftShader, no GPU) plays build-web/index.html?autoplay&stats at
// 640x480 in real time with the frame-rate limit lifted, and the demo's own
// --stats report (frames per second per scene) is printed when it ends.
//
//   node bench/web/web_frame_rates.mjs [BUILD_WEB_DIR]    (about 3 minutes)
//
// Prints figures only; it asserts nothing about them.
import { readFileSync, readdirSync } from "node:fs";
import { join } from "node:path";
import { gzipSync } from "node:zlib";
import { Browser, serveDirectory } from "../../web/chromium.mjs";

const webDir = process.argv[2] || new URL("../../build-web", import.meta.url).pathname;

let served = 0, compressed = 0;
console.log("velmorra-web: what the page loads");
for (const name of readdirSync(webDir).sort()) {
  const bytes = readFileSync(join(webDir, name));
  const packed = gzipSync(bytes, { level: 9 }).length;
  served += bytes.length;
  compressed += packed;
  console.log(`  ${name.padEnd(16)} ${(bytes.length / 1e6).toFixed(2).padStart(6)} MB` +
              `  (${(packed / 1e6).toFixed(2)} MB gzip)`);
}
console.log(`  ${"total".padEnd(16)} ${(served / 1e6).toFixed(2).padStart(6)} MB` +
            `  (${(compressed / 1e6).toFixed(2)} MB gzip)`);

const server = await serveDirectory(webDir);

// Milliseconds from navigation start to the first paint, the program's first
// frame and the second (the first of the demo), for one load.
async function startUp(browser) {
  await browser.open(`${server.url}?autoplay&size=640x480`, 640, 480, `
    window.velmorraFrameTimes = [];
    addEventListener("velmorra-frame", () => velmorraFrameTimes.push(performance.now()));`);
  await browser.waitFor("window.velmorraFrameTimes && velmorraFrameTimes.length >= 2", 60000,
                        "the demo's first frame");
  return browser.evaluate(`[performance.getEntriesByName("first-paint")[0]?.startTime ?? NaN,
                            ...velmorraFrameTimes.slice(0, 2)]`);
}
{
  const browser = await Browser.launch();
  try {
    await browser.send("Network.enable");
    await browser.send("Network.setCacheDisabled", { cacheDisabled: true });
    await browser.send("Network.emulateNetworkConditions", {
      offline: false, latency: 20, downloadThroughput: 20e6 / 8, uploadThroughput: 20e6 / 8 });
    const runs = [];
    for (let run = 0; run < 3; ++run) runs.push(await startUp(browser));
    const median = (k) => runs.map((r) => r[k]).sort((a, b) => a - b)[1].toFixed(0);
    console.log("velmorra-web: start-up at 20 Mbit/s, 20 ms latency, no cache (median of 3," +
                " ms from navigation)");
    console.log(`  first paint ${median(0)}, program's first frame ${median(1)},` +
                ` demo's first frame ${median(2)}`);
    console.log(`  runs: ${runs.map((r) => r.map((v) => v.toFixed(0)).join("/")).join("  ")}`);
  } finally {
    await browser.close();
  }
}

const browser = await Browser.launch(["--disable-frame-rate-limit", "--disable-gpu-vsync"]);
const report = [];
const noise = new Map();  // console warnings and errors over the run, by text
let ended = false;
browser.onConsole((line, level) => {
  if (line.startsWith("velmorra: stats") || report.length > 0) report.push(line);
  else if (level === "warning" || level === "error") noise.set(line, (noise.get(line) ?? 0) + 1);
});
try {
  await browser.open(`${server.url}?autoplay&stats&size=640x480`, 640, 480,
                     "addEventListener('velmorra-ended', () => { window.velmorraEnded = true; });");
  console.log("velmorra-web: playing the whole demo in headless Chromium (SwiftShader) at 640x480");
  await browser.waitFor("window.velmorraEnded === true", 240000, "the demo to end");
  await new Promise((resolve) => setTimeout(resolve, 500));
  ended = true;
} finally {
  await browser.close();
  server.close();
}
if (ended) console.log(report.join("\n"));
const lines = [...noise.values()].reduce((a, b) => a + b, 0);
console.log(`velmorra-web: ${lines} console warning and error lines over the run`);
for (const [line, count] of noise) console.log(`  ${String(count).padStart(4)} x ${line.slice(0, 150)}`);
