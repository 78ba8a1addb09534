// window.kv5: the tool's own core compiled to WebAssembly, for the page and
// for its tests. One instance of the core serves the whole page: it holds a
// session for each save the page keeps open, and runs the command line
// itself. Save, entry and thumbnail bytes cross as Uint8Array, copied at the
// crossing; text crosses as strings.

const kDirectory = '/home/player';
const encoder = new TextEncoder();

// The core's script carries its WebAssembly inside: nothing is fetched.
const core = globalThis.createKv5Core();

// The core reports running out of memory as the command line does; an
// operation of a session has only its exception, which reaches JavaScript
// as a number.
function guarded(work) {
  try {
    return work();
  } catch (error) {
    if (typeof error === 'number') throw new Error('Out of memory in the core.');
    throw error;
  }
}

// A save open in the core. Slots are numbered 1 to 118, as the player counts
// them. Release it once done: the core keeps its bytes until then.
class Session {
  #native;

  constructor(native, messages) {
    this.#native = native;
    // What opening it said: "Save data loaded." and the edition line.
    this.messages = messages;
  }

  #call(method, ...args) {
    if (!this.#native) throw new Error('The session was released.');
    return guarded(() => this.#native[method](...args));
  }

  // The name that stands for the save in messages.
  get name() {
    return this.#call('name');
  }

  // The save as it now is.
  bytes() {
    return this.#call('bytes');
  }

  // Whether `other` holds the same bytes.
  sameBytes(other) {
    return this.#call('sameBytes', other.#native);
  }

  // A session of its own on the same bytes.
  copy() {
    return new Session(this.#call('copy'), this.messages);
  }

  // A copy of the bytes of slot `slot`'s whole entry as they lie in the
  // save, an empty slot's too; null for a slot outside the save. Put back
  // with replace, they undo whatever was done to the slot.
  entry(slot) {
    return this.#call('entry', slot);
  }

  // The slots whose entry bytes differ from `other`'s, in order.
  changedSlots(other) {
    return this.#call('changedSlots', other.#native);
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
    return this.#call('text', aligned);
  }

  // What the write mode would make of the line that gives `field` the value
  // `value` in slot `slot`: {problem, applied, stored, note}.
  check(slot, field, value) {
    return this.#call('check', slot, field, value);
  }

  // The write mode: {ok, written, messages}; `name` names the text.
  apply(text, name) {
    return this.#call('apply', text, name);
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
  replace(slot, bytes, name) {
    return this.#call('replace', slot, bytes, name);
  }

  replaceThumbnail(slot, bytes, name) {
    return this.#call('replaceThumbnail', slot, bytes, name);
  }

  // What differs from this save to `newer`, as the compare mode prints it:
  // {differ, sections: [{slot, text}], closing}.
  compare(newer, aligned = false) {
    return this.#call('compare', newer.#native, aligned);
  }

  release() {
    this.#native?.delete();
    this.#native = null;
  }
}

// Refused bytes: `messages` says why, as the command line would.
class NotASave extends Error {
  constructor(status, messages) {
    super(`Not a save kv5save works on: ${messages.trim()}`);
    Object.assign(this, { name: 'NotASave', status, messages });
  }
}

// Makes `directory` with every missing parent.
function makeDirectory(FS, directory) {
  let path = '';
  for (const part of directory.split('/').filter(Boolean)) {
    path += `/${part}`;
    if (!FS.analyzePath(path).exists) FS.mkdir(path);
  }
}

// Every path in the file system, parents before their children, but the
// devices' and the process's, which are the instance's own; what a run
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

// Sessions on `saves` ([bytes, name] each) for the length of `work`, which
// gets each as a Session, or null for bytes the tool does not work on, and
// what opening them said.
async function withSessions(saves, work) {
  const module = await core;
  const opened = [];
  try {
    for (const [bytes, name] of saves) opened.push(guarded(() => module.openSave(bytes, name)));
    return work(opened.map((o) => o.session && new Session(o.session, o.messages)), opened);
  } finally {
    for (const { session } of opened) session?.delete();
  }
}

const kv5 = {
  ready: core.then(() => undefined),

  // A session on the save `bytes`, named `name`; rejects with NotASave for
  // bytes that are not a save the tool works on.
  async open(bytes, name) {
    const module = await core;
    const opened = guarded(() => module.openSave(bytes, name));
    if (!opened.session) throw new NotASave(opened.status, opened.messages);
    return new Session(opened.session, opened.messages);
  },

  // Runs the tool as its command line would, with `args` after the program
  // name, in a fresh directory holding `files` (relative name -> Uint8Array
  // or string); options.directory names the directory. Nothing of one run
  // reaches the next: whatever it added to the file system goes again
  // afterwards, as every run starts from the state a new process has, and
  // the tool keeps nothing between runs. Answers {status, stdout,
  // files}, and memory: the bytes of WebAssembly memory when it ended.
  async run(args, files = {}, options = {}) {
    const module = await core;
    const { FS } = module;
    const directory = options.directory ?? kDirectory;
    const before = new Set(allPaths(FS));
    try {
      makeDirectory(FS, directory);
      for (const [name, content] of Object.entries(files)) {
        const slash = name.lastIndexOf('/');
        if (slash > 0) makeDirectory(FS, `${directory}/${name.slice(0, slash)}`);
        FS.writeFile(`${directory}/${name}`, typeof content === 'string' ? encoder.encode(content) : content);
      }
      FS.chdir(directory);
      const { status, stdout } = module.runTool(args.map(String));
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
  },

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
  // stdout: the messages of opening it}.
  async characters(save, name) {
    return withSessions([[save, name]], ([session], [opened]) => ({
      characters: session ? session.characters() : null,
      stdout: opened.messages,
      memory: cached.HEAPU8.length,
    }));
  },

  // The fields of the character in slot `slot`, as Session.fields gives
  // them, or {slot, groups: null}.
  async fields(save, name, slot) {
    return withSessions([[save, name]], ([session]) => session?.fields(slot) ?? { slot, groups: null });
  },

  // What the import would report about giving field `field` the value
  // `value` in slot `slot`: {problem, applied, stored, note}. The import
  // reads the line alone; any save will do to ask, the demo save here.
  async check(slot, field, value) {
    const demo = await kv5.demoSave();
    return withSessions([[demo, 'demo']], ([session]) => session.check(slot, field, value));
  },

  // What the compare mode prints for the old save `before` and the new one
  // `after`, a section for each slot that differs: {sections: [{slot,
  // text}], closing} or {sections: null} when either is not a save to work on.
  async compare(before, after) {
    return withSessions([[before, 'before'], [after, 'after']], ([old, newer]) =>
      old && newer ? old.compare(newer) : { sections: null });
  },

  // The text that gives the character in slot `slot` the values of
  // `changes`, a list of [field, value].
  async editText(slot, changes) {
    return (await core).editText(slot, changes);
  },

  // The demo save of the command line's demo, made by its own builder.
  async demoSave() {
    return (await core).demoSave();
  },
};

// The core once loaded, for the calls that answer at once.
let cached = null;
core.then((module) => (cached = module));

window.kv5 = kv5;
