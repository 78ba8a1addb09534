// window.kv5: the tool's own core compiled to WebAssembly, for the page and
// for its tests. Every call starts a fresh instance of the core, as every
// command starts a new process: nothing of one call lives on into the next.
// The files of a call are put into an in-memory directory of its own.

const kDirectory = '/home/player';
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The core's script carries its WebAssembly inside, as a data URL. Compiled
// here once, it gives every command a fresh instance, with nothing fetched.
const compiled = (() => {
  const source = String(globalThis.createKv5Core);
  // "AGFzbQ" is the start of every module, its magic number "\0asm".
  const prefix = 'data:application/octet-stream;base64,';
  const start = source.indexOf(`${prefix}AGFzbQ`) + prefix.length;
  const base64 = source.slice(start, source.indexOf('"', start));
  return WebAssembly.compile(Uint8Array.from(atob(base64), (c) => c.charCodeAt(0)));
})();

// One core with `files` (relative name -> Uint8Array or string) in its
// directory, and everything it prints collected.
async function startCore(files, directory = kDirectory) {
  const printed = [];
  const core = await globalThis.createKv5Core({
    thisProgram: 'kv5save',
    preRun: [(module) => module.FS.init(null, (byte) => printed.push(byte), () => {})],
    instantiateWasm(imports, receive) {
      compiled.then(async (module) => {
        receive(await WebAssembly.instantiate(module, imports), module);
      });
      return {};
    },
  });
  core.FS.mkdirTree(directory);
  core.FS.chdir(directory);
  for (const [name, content] of Object.entries(files)) {
    const slash = name.lastIndexOf('/');
    if (slash > 0) core.FS.mkdirTree(`${directory}/${name.slice(0, slash)}`);
    const bytes = typeof content === 'string' ? encoder.encode(content) : content;
    core.FS.writeFile(name, bytes);
  }
  const takePrinted = () => {
    core._fflush(0);
    const text = decoder.decode(new Uint8Array(printed));
    printed.length = 0;
    return text;
  };
  return { core, directory, takePrinted };
}

// Every file under `directory`, by its name relative to it.
function filesIn(core, directory) {
  const files = {};
  const walk = (path, prefix) => {
    for (const name of core.FS.readdir(path).sort()) {
      if (name === '.' || name === '..') continue;
      const mode = core.FS.stat(`${path}/${name}`).mode;
      if (core.FS.isDir(mode)) walk(`${path}/${name}`, `${prefix}${name}/`);
      else if (core.FS.isFile(mode)) files[prefix + name] = core.FS.readFile(`${path}/${name}`);
    }
  };
  walk(directory, '');
  return files;
}

// Calls a function of the core's binding that answers in JSON.
function ask(core, name, types, args) {
  return JSON.parse(core.ccall(name, 'string', types, args));
}

const kv5 = {
  ready: compiled.then(() => undefined),

  // Runs the tool as its command line would, with `args` after the program
  // name, in a fresh directory holding `files`; options.directory names the
  // directory. Answers {status, stdout, files}, and memory: the bytes of
  // WebAssembly memory the run ended with.
  async run(args, files = {}, options = {}) {
    const { core, directory, takePrinted } = await startCore(files, options.directory);
    const status = core.callMain(args.map(String));
    const stdout = takePrinted();
    return { status, stdout, files: filesIn(core, directory), memory: core.HEAPU8.length };
  },

  // The characters of a save: {characters: [{slot, name, replay}] or null,
  // stdout: the messages of loading it}.
  async characters(save, name) {
    const { core, takePrinted } = await startCore({ [name]: save });
    const answer = ask(core, 'kv5_list_characters', ['string'], [name]);
    return { ...answer, stdout: takePrinted(), memory: core.HEAPU8.length };
  },

  // The fields of the character in slot `slot`, grouped, with their values,
  // notes and the codes they can take by name.
  async fields(save, name, slot) {
    const { core } = await startCore({ [name]: save });
    return ask(core, 'kv5_character_fields', ['string', 'number'], [name, slot]);
  },

  // What the import would report about giving field `field` the value
  // `value` in slot `slot`: {problem, applied}.
  async check(slot, field, value) {
    const { core } = await startCore({});
    return ask(core, 'kv5_check_field_line', ['number', 'string', 'string'], [slot, field, value]);
  },

  // What the compare mode prints for the old save `before` and the new one
  // `after`, a section for each slot that differs: {sections: [{slot,
  // text}], closing} or {sections: null} when either is not a save to work on.
  async compare(before, after) {
    const { core } = await startCore({ before, after });
    return ask(core, 'kv5_compare', ['string', 'string'], ['before', 'after']);
  },

  // The text that gives the character in slot `slot` the values of
  // `changes`, a list of [field, value].
  async editText(slot, changes) {
    const { core } = await startCore({});
    const lines = changes.map(([field, value]) => `${field}\n${value}`).join('\n');
    return core.ccall('kv5_edit_text', 'string', ['number', 'string'], [slot, lines]);
  },

  // The demo save of the command line's demo, made by its own builder.
  async demoSave() {
    const { core, directory } = await startCore({});
    core.ccall('kv5_write_demo_save', 'number', ['string'], ['demo']);
    return filesIn(core, directory).demo;
  },
};

window.kv5 = kv5;
