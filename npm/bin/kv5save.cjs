#!/usr/bin/env node
'use strict';
// kv5save on Node.js: the command line, the same C++ as the native program,
// working on the real files from the current directory. Its output is the
// native program's byte for byte, and so is its exit status, set as
// process.exitCode so that all of the output is written before Node exits.
//
// Node's file system cannot give every guarantee the native program gives;
// what it cannot do safely and can be told beforehand is refused here, before
// the core starts, with a line that says why and the status of a save
// refused (2 for -d, 1 otherwise): a save that is a
// pipe (the native program opens it without waiting, Node.js cannot), an
// argument Node.js could not pass on whole, a Windows path the WebAssembly
// build's paths cannot hold.

const fs = require('node:fs');

// What a run does, as the command line takes its arguments: options first
// (the last mode named wins), then the save, then for -d the second save.
// `saves` are the files it loads as saves; `replacesSave` tells whether it
// writes a new save onto the first.
const kModes = {
  '-r': 'read', '-read': 'read', '-w': 'write', '-write': 'write', '-x': 'extract', '-extract': 'extract',
  '-rp': 'replace', '-replace': 'replace', '-xt': 'extract', '-extractthumbnail': 'extract',
  '-rt': 'replace', '-replacethumbnail': 'replace', '-d': 'compare', '-diff': 'compare',
};

function readArguments(args) {
  let first = 0;
  let mode = 'read';
  let intoDirectories = false;
  for (; first < args.length && args[first].startsWith('-'); ++first) {
    mode = kModes[args[first]] ?? mode;
    intoDirectories ||= args[first] === '-p' || args[first] === '-path';
  }
  const compare = mode === 'compare';
  return {
    saves: args.slice(first, compare ? first + 2 : first + 1),
    compare,
    replacesSave: (mode === 'write' || mode === 'replace') && !intoDirectories,
  };
}

// Why the run cannot be made safely here, or null.
function refusal(args, platform = process.platform) {
  for (const arg of args) {
    // Node.js passes arguments on as UTF-8, any other byte as U+FFFD.
    if (arg.includes('\uFFFD')) {
      return `${arg} holds bytes that are not UTF-8, which Node.js cannot pass on; use the native kv5save.`;
    }
    if (platform === 'win32' && /^([A-Za-z]:|[\\/]{2})/.test(arg)) {
      return `${arg} names a drive or a network share, which the WebAssembly build's paths cannot hold; use a path relative to the current directory, or kv5save.exe.`;
    }
  }
  for (const name of readArguments(args).saves) {
    let status;
    try {
      status = fs.statSync(name);
    } catch {
      continue; // the core reports what is missing or unreadable
    }
    if (!status.isFile() && !status.isDirectory()) {
      return `${name} is no regular file but a pipe, a device or a socket. Node.js cannot open it without waiting on it, and a save can only be a regular file.`;
    }
  }
  return null;
}

function alive(pid) {
  try {
    process.kill(pid, 0);
    return true;
  } catch (error) {
    return error.code === 'EPERM';
  }
}

// Node.js locks no file, and two runs that replace one save at once would
// write the same new file ("SAVE.new") together, mixing their bytes. A run
// that replaces the save holds a lock file for its length instead, beside
// where the save really is, with its process number in it; a run that finds
// one waits, as the native program waits for the save's lock, until it goes
// or its process is gone. Native runs do not see it.
function lockSave(save) {
  let lock;
  try {
    lock = `${fs.realpathSync(save)}.kv5save-lock`;
  } catch {
    return null; // no save to replace: the core says so
  }
  const pause = new Int32Array(new SharedArrayBuffer(4));
  for (;;) {
    try {
      fs.writeFileSync(lock, `${process.pid}\n`, { flag: 'wx' });
      return lock;
    } catch (error) {
      if (error.code !== 'EEXIST') return null; // a directory it may not write: the core reports it
    }
    // A lock is stale when its process is gone, or when it was left empty,
    // its process stopped between making it and writing to it.
    let stale = false;
    try {
      const holder = parseInt(fs.readFileSync(lock, 'utf8'), 10);
      stale = Number.isNaN(holder) ? Date.now() - fs.statSync(lock).mtimeMs > 5000 : !alive(holder);
    } catch {}
    if (stale) fs.rmSync(lock, { force: true });
    else Atomics.wait(pause, 0, 0, 50);
  }
}

function main(args) {
  const refused = refusal(args);
  if (refused !== null) {
    process.stdout.write(`Error: ${refused}\n`);
    process.exitCode = readArguments(args).compare ? 2 : 1;
    return;
  }
  // A reader that went away takes no more output; the run itself goes on
  // to its end, as its files must.
  let writing = true;
  process.stdout.on('error', () => (writing = false));
  require('../lib/tool.cjs')({
    thisProgram: 'kv5save',
    printBytes: (bytes) => writing && process.stdout.write(Buffer.from(bytes)),
  }).then((tool) => {
    const { saves, replacesSave } = readArguments(args);
    const lock = replacesSave ? lockSave(saves[0]) : null;
    try {
      process.exitCode = tool.callMain(args);
    } finally {
      if (lock) fs.rmSync(lock, { force: true });
    }
  });
}

if (require.main === module) main(process.argv.slice(2));
module.exports = { refusal };
