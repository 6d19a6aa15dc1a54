// The browser version's frame rates and download size: headless Chromium
// (SwiftShader, no GPU) plays build-web/index.html?autoplay&stats at 640x480
// in real time with the frame-rate limit lifted, and the demo's own --stats
// report (frames per second per scene) is printed when it ends, after the
// sizes of what the page loads, as served and gzip-compressed.
//
//   node bench/web/web_frame_rates.mjs [BUILD_WEB_DIR]    (about 2.5 minutes)
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
const browser = await Browser.launch(["--disable-frame-rate-limit", "--disable-gpu-vsync"]);
const report = [];
let ended = false;
browser.onConsole((line) => {
  if (line.startsWith("velmorra: stats") || report.length > 0) report.push(line);
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
