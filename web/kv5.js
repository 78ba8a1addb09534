// The engine's JavaScript side, the same for the page (engine.js) and for the
// npm package (npm/index.cjs): sessions on saves held in the core, and the
// command line run in the core's own in-memory file system. Save, entry and
// thumbnail bytes cross as Uint8Array, copied at the crossing; text crosses
// as strings (UTF-8 inside the core). Nothing here depends on where it runs:
// what only the browser or only Node.js needs stays with each of them.

const kDirectory = '/home/player';
const encoder = new TextEncoder();

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

// Makes `directory` with every missing parent.
function makeDirectory(FS, directory) {
  let path = '';
  for (const part of directory.split('/').filter(Boolean)) {
    path += `/${part}`;
    if (!FS.analyzePath(path).exists) FS.mkdir(path);
  }
}

// Every path in the core's file system, parents before their children, but
// the devices' and the process's, which are the instance's own; what a run
// made unreadable too.
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

// Removes whatever is in the file system now and was not among `before`,
// wherever it lies, unreadable or not.
function removeAdded(FS, before) {
  const added = allPaths(FS).filter((path) => !before.has(path));
  const permissions = FS.ignorePermissions;
  FS.ignorePermissions = true;
  try {
    for (const path of added) if (FS.analyzePath(path, true).exists) removeTree(FS, path);
  } finally {
    FS.ignorePermissions = permissions;
  }
}

// Bytes that are no save kv5save works on; `messages` says why, as the
// command line would.
export class NotASave extends Error {
  constructor(status, messages) {
    super(`Not a save kv5save works on: ${messages.trim()}`);
    this.name = 'NotASave';
    this.status = status;
    this.messages = messages;
  }
}

// The engine over `core`: the core's module, a promise of it, or a function
// that gives either, called when the engine is first used.
// Answers {run, open, editText, Session, NotASave}.
export function kv5Engine(core) {
  let loading = null;
  const loaded = () => (loading ??= Promise.resolve(typeof core === 'function' ? core() : core));

  // A session left unreleased gives its memory back once collected.
  const unreleased =
    typeof FinalizationRegistry === 'function' ? new FinalizationRegistry((native) => native.delete()) : null;

  // A save open in the core. Slots are numbered 1 to 118, as the player
  // counts them: 1 to 50 hold the player's own characters, 51 to 118 those
  // that came with replays. Release it once done: the core keeps its bytes
  // until then. Nothing touches a file: the caller keeps bytes() wherever
  // it likes.
  class Session {
    #native;

    constructor(native, messages) {
      this.#native = native;
      // What opening it said: "Save data loaded." and the edition line.
      this.messages = messages;
      unreleased?.register(this, native, this);
    }

    #call(method, ...args) {
      if (!this.#native) throw new Error('This kv5save session was released.');
      return guarded(() => this.#native[method](...args));
    }

    // The native session of `other`, an open session of the same engine.
    static #nativeOf(other) {
      if (!(other instanceof Session) || !other.#native) throw new TypeError('Compare with an open session.');
      return other.#native;
    }

    // The name that stands for the save in messages.
    get name() {
      return this.#call('name');
    }

    // The save as it now is; its length never changes.
    bytes() {
      return this.#call('bytes');
    }

    // Whether `other` holds the same bytes.
    sameBytes(other) {
      return this.#call('sameBytes', Session.#nativeOf(other));
    }

    // A copy of the bytes of slot `slot`'s whole entry as they lie in the
    // save, an empty slot's too; null for a slot outside the save. Put back
    // with replace, they undo whatever was done to the slot.
    entry(slot) {
      return this.#call('entry', slot);
    }

    // The slots whose entry bytes differ from `other`'s, in order.
    changedSlots(other) {
      return this.#call('changedSlots', Session.#nativeOf(other));
    }

    // [{slot, name, replay}]: the slots that hold a character; the name is
    // null where the text leaves it out.
    characters() {
      return this.#call('characters');
    }

    // The character in `slot`: {slot, editable, groups: [{title, fields:
    // [{name, value, note, shown, choices}]}], choices: [[{value, note}]]},
    // or null for an empty slot. "choices" of a field is the index of the
    // list of codes it can take by name, or -1.
    fields(slot) {
      return this.#call('fields', slot);
    }

    // {messages, text}: the text the read mode writes; `aligned` as "-t".
    text(aligned = false) {
      return this.#call('text', Boolean(aligned));
    }

    // What the write mode would make of the line that gives `field` the
    // value `value` in slot `slot`: {problem, applied, stored, note}.
    check(slot, field, value) {
      return this.#call('check', slot, String(field), String(value));
    }

    // The write mode: {ok, written, messages}; `name` names the text.
    apply(text, name = 'text') {
      return this.#call('apply', String(text), String(name));
    }

    // {ok, bytes, messages}: a copy of the slot's entry, or of its thumbnail.
    extract(slot) {
      return this.#call('extract', slot);
    }

    extractThumbnail(slot) {
      return this.#call('extractThumbnail', slot);
    }

    // {ok, written, messages}: `bytes` become the slot's entry, or its
    // thumbnail; `name` names them.
    replace(slot, bytes, name = 'entry') {
      return this.#call('replace', slot, bytesOf(bytes), String(name));
    }

    replaceThumbnail(slot, bytes, name = 'thumbnail') {
      return this.#call('replaceThumbnail', slot, bytesOf(bytes), String(name));
    }

    // What differs from this save, the old one, to `newer`, as the compare
    // mode prints it: {differ, sections: [{slot, text}], closing}.
    compare(newer, aligned = false) {
      return this.#call('compare', Session.#nativeOf(newer), Boolean(aligned));
    }

    // A session of its own on the same bytes.
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

  // A session on the save `bytes`, named `name` in messages; rejects with
  // NotASave for bytes that are no save the tool works on.
  async function open(bytes, name = 'KV5SaveData') {
    const module = await loaded();
    const opened = guarded(() => module.openSave(bytesOf(bytes), String(name)));
    if (!opened.session) throw new NotASave(opened.status, opened.messages);
    return new Session(opened.session, opened.messages);
  }

  // The text that gives the character in slot `slot` the values of
  // `changes`, a list of [field, value], for apply.
  async function editText(slot, changes) {
    const module = await loaded();
    return guarded(() => module.editText(slot, Array.from(changes, ([field, value]) => [String(field), String(value)])));
  }

  // Runs the tool as its command line would, with `args` after the program
  // name, in a fresh directory holding `files` (relative name -> bytes or
  // string); options.directory names the directory. Nothing of one run
  // reaches the next: whatever it added to the file system goes again
  // afterwards, as every run starts from the state a new process has, and
  // the tool keeps nothing between runs. Answers {status, stdout, files},
  // and memory: the bytes of WebAssembly memory when it ended.
  async function run(args, files = {}, options = {}) {
    const module = await loaded();
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
      FS.chdir('/');
      removeAdded(FS, before);
    }
  }

  return { run, open, editText, Session, NotASave };
}
