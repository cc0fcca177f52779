// Put first into the page by the tests and the benchmark (tools/serve-site
// --inject), before anything of the page runs: it counts the work the page
// schedules, notes when the program first draws, and keeps what the
// program says on the console. Read as window.vorarid_probe.
//
// It also keeps what the page has asked to run next (a timeout without a
// delay, an animation frame) and has not yet run: how Qt goes on with an
// input it took, posted events first, then drawing. Once none is left, the
// page shows what that input brought about.
(() => {
  const probe = { scheduled: {}, ran: {}, firstDraw: null, console: [], recent: [], next: new Set() };
  window.vorarid_probe = probe;
  const count = (table, name) => { table[name] = (table[name] || 0) + 1; };
  // Every way a page can ask to run later: each asking and each run counts.
  const wrap = (owner, name, position, next) => {
    const original = owner[name];
    owner[name] = function (...args) {
      // WebKit's WebDriver runs the tests' own scripts with a timer of the
      // page's: not the page's work.
      const stack = new Error().stack || "";
      if (stack.includes("evaluateJavaScriptFunction")) return original.apply(this, args);
      count(probe.scheduled, name);
      // Who asked, for a failure to name: the last few only.
      probe.recent = [...probe.recent.slice(-4),
                      `${Math.round(performance.now())} ms: ${name} ${args[position + 1] ?? ""}: ${stack}`];
      const callback = args[position];
      let key = null;
      if (typeof callback === "function")
        args[position] = function (...inner) {
          count(probe.ran, name);
          probe.next.delete(key);
          return callback.apply(this, inner);
        };
      const id = original.apply(this, args);
      if (next && next(args)) probe.next.add(key = `${name} ${id}`);
      return id;
    };
  };
  const forget = (owner, name, asked) => {
    const original = owner[name];
    owner[name] = function (id) {
      probe.next.delete(`${asked} ${id}`);
      return original.apply(this, [id]);
    };
  };
  wrap(window, "setTimeout", 0, args => !(args[1] > 0));
  wrap(window, "setInterval", 0);
  wrap(window, "requestAnimationFrame", 0, () => true);
  wrap(window, "requestIdleCallback", 0);
  wrap(window, "queueMicrotask", 0);
  forget(window, "clearTimeout", "setTimeout");
  forget(window, "cancelAnimationFrame", "requestAnimationFrame");
  const post = MessagePort.prototype.postMessage;
  MessagePort.prototype.postMessage = function (...args) { count(probe.scheduled, "postMessage"); return post.apply(this, args); };
  // The program draws a window by putting its pixels into the window's canvas.
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (probe.firstDraw === null) probe.firstDraw = performance.now();
    count(probe.ran, "draw");
    return put.apply(this, args);
  };
  window.addEventListener("error", event => probe.console.push(`uncaught: ${event.message}`));
  window.addEventListener("unhandledrejection", event => probe.console.push(`unhandled: ${event.reason}`));
  for (const level of ["log", "info", "warn", "error"]) {
    const original = console[level];
    console[level] = function (...args) { probe.console.push(`${level}: ${args.join(" ")}`); return original.apply(this, args); };
  }
})();
