// window.kv5: the tool's own core compiled to WebAssembly, for the page and
// for its tests. One instance of the core serves the whole page: it holds a
// session for each save the page keeps open, and runs the command line
// itself. Its sessions and runs are kv5.js's, the npm package's too; what is
// here is the page's own: the core it loads, the demo save, the lines of the
// command line the page says itself, and a save's characters in one call.

import { kv5Engine } from './kv5.js';

// The core's script carries its WebAssembly inside: nothing is fetched.
const core = globalThis.createKv5Core();
const engine = kv5Engine(core);

const kv5 = {
  ready: core.then(() => undefined),

  // A session on the save `bytes`, named `name`; rejects with NotASave for
  // bytes that are not a save the tool works on.
  open: engine.open,

  // The command line in the core, from a fresh directory holding `files`:
  // {status, stdout, files, memory}, as kv5.js says.
  run: engine.run,

  // The lines the command line prints about the files it writes, for a
  // page that does its modes on sessions: with them the messages read as
  // the command's. Once kv5.ready.
  said: {
    // {slot, messages}: an entry number argument as the command line reads
    // it; slot null, and messages its error, when it names no slot.
    slot: (text) => cached.slotArgument(String(text)),
    // {file, line}: the file "-x" (or "-xt") writes and its line.
    saved: (slot, thumbnail) => cached.savedLine(slot, thumbnail),
    // The lines of "-rp" (or "-rt") once the new save is written.
    replaced: (slot, name, thumbnail) => cached.replacedLines(slot, name, thumbnail),
    // The line of "-w" once the new save is written.
    wroteSave: () => cached.wroteSaveLine(),
    // {file, line}: the text file "-r" writes for the save `name`, and its
    // line; file null, and line the error, when no such name can be formed.
    textFile: (name) => cached.textFileLine(name),
  },

  // The characters of a save: {characters: [{slot, name, replay}] or null,
  // stdout: the messages of opening it, memory: the bytes of WebAssembly
  // memory with it open}.
  async characters(save, name) {
    let session = null;
    try {
      session = await engine.open(save, name);
      return { characters: session.characters(), stdout: session.messages, memory: cached.HEAPU8.length };
    } catch (error) {
      if (!(error instanceof engine.NotASave)) throw error;
      return { characters: null, stdout: error.messages, memory: cached.HEAPU8.length };
    } finally {
      session?.release();
    }
  },

  // The text that gives the character in slot `slot` the values of
  // `changes`, a list of [field, value].
  editText: engine.editText,

  // The demo save of the command line's demo, made by its own builder.
  async demoSave() {
    return (await core).demoSave();
  },
};

// The core once loaded, for the calls that answer at once.
let cached = null;
core.then((module) => (cached = module));

window.kv5 = kv5;
