// Drives headless Chromium over its DevTools protocol for the browser test
// and the benchmark: a static server for build-web/ on a loopback port, one
// browser speaking the protocol over --remote-debugging-pipe (fds 3 and 4,
// NUL-terminated JSON), and one page session.
import { spawn } from "node:child_process";
import { createServer } from "node:http";
import { mkdtempSync, readFileSync, rmSync, statSync } from "node:fs";
import { tmpdir } from "node:os";
import { extname, join, normalize } from "node:path";

const types = {
  ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
  ".data": "application/octet-stream", ".jpg": "image/jpeg", ".png": "image/png",
};

// Serves the files of root on 127.0.0.1 at a port the system picks, counting
// the requests for each path. untyped lists extensions sent without a
// Content-Type, as some small servers do.
export async function serveDirectory(root, untyped = []) {
  const requests = new Map();
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    requests.set(path, (requests.get(path) ?? 0) + 1);
    const file = join(root, path === "/" ? "index.html" : path);
    try {
      if (!file.startsWith(root) || !statSync(file).isFile()) throw new Error("missing");
      const type = types[extname(file)] || "application/octet-stream";
      response.writeHead(200, untyped.includes(extname(file)) ? {} : { "Content-Type": type });
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  return { url: `http://127.0.0.1:${server.address().port}/`, requests,
           close: () => server.close() };
}

export class Browser {
  // Starts Chromium with a fresh profile. extraFlags go after the defaults.
  static async launch(extraFlags = []) {
    const profile = mkdtempSync(join(tmpdir(), "velmorra-chromium-"));
    const binary = process.env.CHROMIUM || "chromium";
    const flags = [
      "--headless", "--no-sandbox", "--disable-gpu", "--use-angle=swiftshader",
      "--enable-unsafe-swiftshader", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
      "--autoplay-policy=no-user-gesture-required", "--mute-audio",
      `--user-data-dir=${profile}`, "--remote-debugging-pipe", ...extraFlags, "about:blank",
    ];
    const child = spawn(binary, flags, { stdio: ["ignore", "ignore", "pipe", "pipe", "pipe"] });
    const browser = new Browser(child, profile);
    await browser.attach();
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.stderr = "";
    this.exited = new Promise((resolve) => child.on("exit", resolve));
    child.stderr.on("data", (chunk) => { this.stderr = (this.stderr + chunk).slice(-4000); });
    let buffered = "";
    child.stdio[4].on("data", (chunk) => {
      buffered += chunk.toString("utf8");
      let end;
      while ((end = buffered.indexOf("\0")) >= 0) {
        this.dispatch(JSON.parse(buffered.slice(0, end)));
        buffered = buffered.slice(end + 1);
      }
    });
    this.exited.then(() => {
      for (const { reject } of this.pending.values()) {
        reject(new Error("chromium exited: " + this.stderr));
      }
      this.pending.clear();
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const waiter = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (!waiter) return;
      if (message.error) waiter.reject(new Error(`${waiter.method}: ${message.error.message}`));
      else waiter.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  // One protocol command, to the page session unless browserLevel.
  send(method, params = {}, browserLevel = false) {
    const id = this.nextId++;
    const message = { id, method, params };
    if (!browserLevel) message.sessionId = this.sessionId;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + "\0");
    });
  }

  async attach() {
    const { targetId } = await this.send("Target.createTarget", { url: "about:blank" }, true);
    const { sessionId } = await this.send("Target.attachToTarget", { targetId, flatten: true }, true);
    this.sessionId = sessionId;
    await this.send("Page.enable");
    await this.send("Runtime.enable");
    await this.send("Log.enable");
  }

  // Collects the page's console lines (the demo's stdout and stderr, the
  // browser's own warnings and errors, uncaught exceptions) as
  // handler(text, level), level one of log, info, warning, error.
  onConsole(handler) {
    this.listeners.push((message) => {
      if (message.sessionId !== this.sessionId) return;
      const { method, params } = message;
      if (method === "Runtime.consoleAPICalled") {
        const level = { warn: "warning", debug: "log" }[params.type] ?? params.type;
        handler(params.args.map((arg) => arg.value ?? arg.description ?? "").join(" "), level);
      } else if (method === "Runtime.exceptionThrown") {
        handler("exception: " + params.exceptionDetails.text + " " +
                (params.exceptionDetails.exception?.description ?? ""), "error");
      } else if (method === "Log.entryAdded") {
        handler(`${params.entry.source}: ${params.entry.text}`, params.entry.level);
      }
    });
  }

  // A click at (x, y) or a key press, as the user's own.
  async click(x, y) {
    for (const type of ["mousePressed", "mouseReleased"]) {
      await this.send("Input.dispatchMouseEvent", { type, x, y, button: "left", clickCount: 1 });
    }
  }
  async press(key) {
    const letter = /^[a-z]$/i.test(key);
    const code = letter ? "Key" + key.toUpperCase() : key;
    const windowsVirtualKeyCode = letter ? key.toUpperCase().charCodeAt(0) : { Escape: 27 }[key];
    const text = letter ? key : undefined;
    await this.send("Input.dispatchKeyEvent",
                    { type: "keyDown", key, code, text, windowsVirtualKeyCode });
    await this.send("Input.dispatchKeyEvent", { type: "keyUp", key, code, windowsVirtualKeyCode });
  }

  // Opens url in a viewport of width x height CSS pixels at one device pixel
  // each, with script run in the page (and in its reloads) before its own.
  async open(url, width, height, script = "") {
    await this.send("Emulation.setDeviceMetricsOverride",
                    { width, height, deviceScaleFactor: 1, mobile: false });
    if (this.pageScript) {
      await this.send("Page.removeScriptToEvaluateOnNewDocument", { identifier: this.pageScript });
      this.pageScript = null;
    }
    if (script) {
      const { identifier } = await this.send("Page.addScriptToEvaluateOnNewDocument",
                                             { source: script });
      this.pageScript = identifier;
    }
    await this.send("Page.navigate", { url });
  }

  // Evaluates expression in the page, awaiting a promise it returns.
  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send("Runtime.evaluate",
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) {
      throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
    }
    return result.value;
  }

  // Polls predicate (an expression) until it is true or timeoutMs passes; a
  // page that is between documents counts as false.
  async waitFor(predicate, timeoutMs, what) {
    const end = Date.now() + timeoutMs;
    while (Date.now() < end) {
      if (await this.evaluate(predicate).catch(() => false)) return;
      await new Promise((resolve) => setTimeout(resolve, 100));
    }
    throw new Error(`timed out after ${timeoutMs} ms waiting for ${what}`);
  }

  async close() {
    try {
      await Promise.race([this.send("Browser.close", {}, true),
                          new Promise((resolve) => setTimeout(resolve, 3000))]);
    } catch {
      // Already gone.
    }
    if (this.child.exitCode === null) this.child.kill("SIGKILL");
    await this.exited;
    // Chromium's helper processes may still write into the profile for a
    // while after the browser has gone; a profile left in /tmp is no failure.
    for (let attempt = 0; attempt < 10; ++attempt) {
      try {
        rmSync(this.profile, { recursive: true, force: true });
        return;
      } catch {
        await new Promise((resolve) => setTimeout(resolve, 500));
      }
    }
  }
}
