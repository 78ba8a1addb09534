'use strict';
// kv5save for JavaScript: the tool's core compiled to WebAssembly, the same
// engine the page kv5save.html runs (lib/engine.cjs). One instance of the
// core serves the process: it holds a session for each save opened, and runs
// the command line in memory. Bytes cross as Uint8Array, copied at the
// crossing; text crosses as strings (UTF-8 inside the core).

const createCore = require('./lib/engine.cjs');

const kDirectory = '/home/player';
const encoder = new TextEncoder();

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

let loading = null;
const core = () => (loading ??= startCore());

// An operation of the core has only its C++ exception, a number, when it
// runs out of memory; everything else it reports in its messages.
function guarded(work) {
  try {
    return work();
  } catch (error) {
    if (typeof error === 'number') throw new Error('Out of memory in the core of kv5save.');
    throw error;
  }
}

function bytesOf(content) {
  if (typeof content === 'string') return encoder.encode(content);
  if (content instanceof Uint8Array) return content;
  if (ArrayBuffer.isView(content)) return new Uint8Array(content.buffer, content.byteOffset, content.byteLength);
  if (content instanceof ArrayBuffer) return new Uint8Array(content);
  throw new TypeError('Expected bytes: a Uint8Array, an ArrayBuffer or a string.');
}

// A session left unreleased gives its memory back once collected.
const unreleased =
  typeof FinalizationRegistry === 'function' ? new FinalizationRegistry((native) => native.delete()) : null;

// A save open in the core. Slots are numbered 1 to 118, as the player counts
// them: 1 to 50 hold the player's own characters, 51 to 118 those that came
// with replays. Nothing touches a file: the caller writes bytes() wherever
// it likes.
class Session {
  #native;

  constructor(native, messages) {
    this.#native = native;
    this.messages = messages;
    unreleased?.register(this, native, this);
  }

  #call(method, ...args) {
    if (!this.#native) throw new Error('This kv5save session was released.');
    return guarded(() => this.#native[method](...args));
  }

  get name() {
    return this.#call('name');
  }

  bytes() {
    return this.#call('bytes');
  }

  characters() {
    return this.#call('characters');
  }

  fields(slot) {
    return this.#call('fields', slot);
  }

  text(aligned = false) {
    return this.#call('text', Boolean(aligned));
  }

  check(slot, field, value) {
    return this.#call('check', slot, String(field), String(value));
  }

  apply(text, name = 'text') {
    return this.#call('apply', String(text), String(name));
  }

  extract(slot) {
    return this.#call('extract', slot);
  }

  extractThumbnail(slot) {
    return this.#call('extractThumbnail', slot);
  }

  replace(slot, bytes, name = 'entry') {
    return this.#call('replace', slot, bytesOf(bytes), String(name));
  }

  replaceThumbnail(slot, bytes, name = 'thumbnail') {
    return this.#call('replaceThumbnail', slot, bytesOf(bytes), String(name));
  }

  compare(newer, aligned = false) {
    if (!(newer instanceof Session) || !newer.#native) throw new TypeError('Compare with an open session.');
    return this.#call('compare', newer.#native, Boolean(aligned));
  }

  copy() {
    return new Session(this.#call('copy'), this.messages);
  }

  release() {
    if (!this.#native) return;
    unreleased?.unregister(this);
    this.#native.delete();
    this.#native = null;
  }
}
if (typeof Symbol.dispose === 'symbol') Session.prototype[Symbol.dispose] = Session.prototype.release;

// Bytes that are no save kv5save works on; `messages` says why, as the
// command line would.
class NotASave extends Error {
  constructor(status, messages) {
    super(`Not a save kv5save works on: ${messages.trim()}`);
    this.name = 'NotASave';
    this.status = status;
    this.messages = messages;
  }
}

async function open(bytes, name = 'KV5SaveData') {
  const module = await core();
  const opened = guarded(() => module.openSave(bytesOf(bytes), String(name)));
  if (!opened.session) throw new NotASave(opened.status, opened.messages);
  return new Session(opened.session, opened.messages);
}

async function editText(slot, changes) {
  const module = await core();
  return guarded(() => module.editText(slot, Array.from(changes, ([field, value]) => [String(field), String(value)])));
}

function makeDirectory(FS, directory) {
  let path = '';
  for (const part of directory.split('/').filter(Boolean)) {
    path += `/${part}`;
    if (!FS.analyzePath(path).exists) FS.mkdir(path);
  }
}

// Every path in the core's file system but the devices' and the process's,
// which are the instance's own; what a run made unreadable too.
function allPaths(FS) {
  const permissions = FS.ignorePermissions;
  FS.ignorePermissions = true;
  try {
    return pathsIn(FS);
  } finally {
    FS.ignorePermissions = permissions;
  }
}

function pathsIn(FS, directory = '', paths = []) {
  for (const name of FS.readdir(directory || '/')) {
    const path = `${directory}/${name}`;
    if (name === '.' || name === '..' || path === '/dev' || path === '/proc') continue;
    paths.push(path);
    if (FS.isDir(FS.lstat(path).mode)) pathsIn(FS, path, paths);
  }
  return paths;
}

function removeTree(FS, path) {
  if (FS.isDir(FS.lstat(path).mode)) {
    for (const name of FS.readdir(path)) {
      if (name !== '.' && name !== '..') removeTree(FS, `${path}/${name}`);
    }
    FS.rmdir(path);
  } else {
    FS.unlink(path);
  }
}

// Every file under `directory`, by its name relative to it.
function filesIn(FS, directory) {
  const files = {};
  const walk = (path, prefix) => {
    for (const name of FS.readdir(path).sort()) {
      if (name === '.' || name === '..') continue;
      const mode = FS.stat(`${path}/${name}`).mode;
      if (FS.isDir(mode)) walk(`${path}/${name}`, `${prefix}${name}/`);
      else if (FS.isFile(mode)) files[prefix + name] = FS.readFile(`${path}/${name}`);
    }
  };
  walk(directory, '');
  return files;
}

// The command line, run in memory: `files` are put into a directory of the
// core's own, the tool runs there with `args`, and the files it ends with
// come back, as in the page's engine. Everything the run added goes again
// afterwards: every run starts from the state a new process has.
async function run(args, files = {}, options = {}) {
  const module = await core();
  const { FS } = module;
  const directory = options.directory ?? kDirectory;
  const before = new Set(allPaths(FS));
  try {
    makeDirectory(FS, directory);
    for (const [name, content] of Object.entries(files)) {
      const slash = name.lastIndexOf('/');
      if (slash > 0) makeDirectory(FS, `${directory}/${name.slice(0, slash)}`);
      FS.writeFile(`${directory}/${name}`, bytesOf(content));
    }
    FS.chdir(directory);
    const { status, stdout } = guarded(() => module.runTool(Array.from(args, String)));
    return { status, stdout, files: filesIn(FS, directory), memory: module.HEAPU8.length };
  } finally {
    // Whatever the run and its files added goes, wherever it lies.
    FS.chdir('/');
    const added = allPaths(FS).filter((path) => !before.has(path));
    const permissions = FS.ignorePermissions;
    FS.ignorePermissions = true;
    try {
      for (const path of added) if (FS.analyzePath(path, true).exists) removeTree(FS, path);
    } finally {
      FS.ignorePermissions = permissions;
    }
  }
}

module.exports = { run, open, editText, Session, NotASave };
