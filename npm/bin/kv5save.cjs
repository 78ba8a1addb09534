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

// The saves a run loads, as the command line takes its arguments: options
// first (the last mode named wins), then the save, then for -d the second.
function savesLoaded(args) {
  let first = 0;
  let compare = false;
  for (; first < args.length && args[first].startsWith('-'); ++first) {
    if (/^-(r|read|w|write|x|extract|rp|replace|xt|extractthumbnail|rt|replacethumbnail)$/.test(args[first])) compare = false;
    if (args[first] === '-d' || args[first] === '-diff') compare = true;
  }
  return { saves: args.slice(first, compare ? first + 2 : first + 1), compare };
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
  for (const name of savesLoaded(args).saves) {
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

function main(args) {
  const refused = refusal(args);
  if (refused !== null) {
    process.stdout.write(`Error: ${refused}\n`);
    process.exitCode = savesLoaded(args).compare ? 2 : 1;
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
    process.exitCode = tool.callMain(args);
  });
}

if (require.main === module) main(process.argv.slice(2));
module.exports = { refusal };
