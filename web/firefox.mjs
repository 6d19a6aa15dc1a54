// Drives Firefox ESR for the browser test, with the same calls as chromium.mjs:
// a private X server (Xvfb, so WebGL runs on the system's Mesa), one Firefox
// with a fresh profile, and its WebDriver BiDi remote agent over a WebSocket.
//
// Node's WebSocket is global from version 22; version 20 needs
// --experimental-websocket.
import { spawn } from "node:child_process";
import { mkdtempSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { Browser } from "./chromium.mjs";

// Sound may start without a click, as Chromium's autoplay flag allows, and
// is silent; nothing on start-up goes to the network.
const preferences = {
  "media.autoplay.default": 0,
  "media.autoplay.blocking_policy": 0,
  "media.volume_scale": "0.0",
  "browser.shell.checkDefaultBrowser": false,
  "browser.startup.homepage_override.mstone": "ignore",
  "datareporting.policy.dataSubmissionEnabled": false,
  "toolkit.telemetry.reportingpolicy.firstRun": false,
  "app.update.disabledForTesting": true,
  "network.captive-portal-service.enabled": false,
  "browser.safebrowsing.update.enabled": false,
};

// Resolves with the first match of pattern in what child writes to stream,
// or rejects after timeoutMs or when the child cannot be started.
function firstMatch(child, stream, pattern, timeoutMs, what) {
  return new Promise((resolve, reject) => {
    child.on("error", (error) => reject(new Error(`${what}: ${error.message} ` +
                                                  "(scripts/setup-deps.sh installs it)")));
    let text = "";
    const timer = setTimeout(() => reject(new Error(`no ${what} after ${timeoutMs} ms: ${text}`)),
                             timeoutMs);
    stream.on("data", (chunk) => {
      text = (text + chunk).slice(-8000);
      const match = pattern.exec(text);
      if (match) {
        clearTimeout(timer);
        resolve(match);
      }
    });
  });
}

export class Firefox {
  static async launch() {
    if (typeof WebSocket === "undefined") throw new Error("this node has no WebSocket");
    const xvfb = spawn("Xvfb", ["-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten",
                                "tcp"], { stdio: ["ignore", "ignore", "ignore", "pipe"] });
    const [, display] = await firstMatch(xvfb, xvfb.stdio[3], /(\d+)\n/, 20000, "Xvfb");
    const profile = mkdtempSync(join(tmpdir(), "velmorra-firefox-"));
    writeFileSync(join(profile, "user.js"), Object.entries(preferences)
      .map(([name, value]) => `user_pref(${JSON.stringify(name)}, ${JSON.stringify(value)});\n`)
      .join(""));
    const binary = process.env.FIREFOX || "firefox-esr";
    const child = spawn(binary, ["--remote-debugging-port", "0", "--profile", profile,
                                 "--no-remote", "--new-instance", "about:blank"],
                        { env: { ...process.env, DISPLAY: `:${display}` },
                          stdio: ["ignore", "ignore", "pipe"] });
    const firefox = new Firefox(child, xvfb, profile);
    try {
      const [, address] = await firstMatch(child, child.stderr,
                                           /WebDriver BiDi listening on (ws:\S+)/, 60000, binary);
      await firefox.attach(address);
    } catch (error) {
      await firefox.close();
      throw error;
    }
    return firefox;
  }

  constructor(child, xvfb, profile) {
    this.child = child;
    this.xvfb = xvfb;
    this.profile = profile;
    this.nextId = 1;
    this.pending = new Map();
    this.listeners = [];
    this.exited = new Promise((resolve) => child.on("exit", resolve));
  }

  async attach(address) {
    this.socket = new WebSocket(`${address}/session`);
    await new Promise((resolve, reject) => {
      this.socket.onopen = resolve;
      this.socket.onerror = () => reject(new Error(`cannot connect to ${address}`));
    });
    this.socket.onmessage = (event) => this.dispatch(JSON.parse(event.data));
    this.socket.onclose = () => {
      for (const { reject } of this.pending.values()) reject(new Error("firefox closed"));
      this.pending.clear();
    };
    await this.send("session.new", { capabilities: {} });
    const { contexts } = await this.send("browsingContext.getTree", {});
    this.context = contexts[0].context;
    await this.send("session.subscribe", { events: ["log.entryAdded"] });
  }

  dispatch(message) {
    if (message.id === undefined) {
      for (const listener of this.listeners) listener(message);
      return;
    }
    const waiter = this.pending.get(message.id);
    this.pending.delete(message.id);
    if (!waiter) return;
    if (message.type === "error") waiter.reject(new Error(`${waiter.method}: ${message.message}`));
    else waiter.resolve(message.result);
  }

  send(method, params) {
    const id = this.nextId++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject, method });
      this.socket.send(JSON.stringify({ id, method, params }));
    });
  }

  // Console lines and uncaught errors of the page, as handler(text, level).
  onConsole(handler) {
    this.listeners.push((message) => {
      if (message.method === "log.entryAdded") {
        const { level, text } = message.params;
        handler(text, { warn: "warning", debug: "log" }[level] ?? level);
      }
    });
  }

  // Opens url in a viewport of width x height CSS pixels at one device pixel
  // each, with script run in the page before its own.
  async open(url, width, height, script = "") {
    await this.send("browsingContext.setViewport",
                    { context: this.context, viewport: { width, height }, devicePixelRatio: 1 });
    if (this.pageScript) {
      await this.send("script.removePreloadScript", { script: this.pageScript });
      this.pageScript = null;
    }
    if (script) {
      const added = await this.send("script.addPreloadScript",
                                    { functionDeclaration: `() => { ${script} }` });
      this.pageScript = added.script;
    }
    await this.send("browsingContext.navigate", { context: this.context, url, wait: "none" });
  }

  // Evaluates expression in the page, awaiting a promise it returns; the
  // value crosses as JSON.
  async evaluate(expression) {
    const answer = await this.send("script.evaluate", {
      expression: `(async () => JSON.stringify(await (${expression})))()`,
      target: { context: this.context }, awaitPromise: true, resultOwnership: "none",
    });
    if (answer.type === "exception") throw new Error(answer.exceptionDetails.text);
    return answer.result.type === "string" ? JSON.parse(answer.result.value) : undefined;
  }

  async close() {
    try {
      if (this.socket?.readyState === WebSocket.OPEN) {
        await Promise.race([this.send("browser.close", {}),
                            new Promise((resolve) => setTimeout(resolve, 3000))]);
      }
    } catch {
      // Already gone.
    }
    if (this.child.pid !== undefined) {  // it was started
      if (this.child.exitCode === null) this.child.kill("SIGKILL");
      await this.exited;
    }
    this.xvfb.kill();
    rmSync(this.profile, { recursive: true, force: true });
  }
}
Firefox.prototype.waitFor = Browser.prototype.waitFor;
