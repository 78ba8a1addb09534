'use strict';
// kv5save for JavaScript: the tool's core compiled to WebAssembly, the same
// engine the page kv5save.html runs (lib/engine.cjs), and the same sessions
// and runs over it (web/kv5.js). One instance of the core serves the
// process: it holds a session for each save opened, and runs the command
// line in memory. The build bundles this file with web/kv5.js into the
// package's index.cjs; lib/engine.cjs stays a file of its own beside it.

const { kv5Engine } = require('../web/kv5.js');
const createCore = require('./lib/engine.cjs');

// Emscripten's script listens to the process's uncaught exceptions and
// rejections when it starts under Node.js; a library leaves them to the
// program, so the listeners it added go again.
async function startCore() {
  const events = ['uncaughtException', 'unhandledRejection'];
  const node = typeof process === 'object' && typeof process.listeners === 'function';
  const before = node ? events.map((event) => process.listeners(event)) : [];
  try {
    return await createCore();
  } finally {
    if (node) {
      events.forEach((event, i) => {
        for (const listener of process.listeners(event)) {
          if (!before[i].includes(listener)) process.removeListener(event, listener);
        }
      });
    }
  }
}

// {run, open, editText, Session, NotASave}; the core starts when first
// used, not when the package is loaded.
module.exports = kv5Engine(startCore);
