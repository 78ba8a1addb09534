// The package as a user gets it: the tarball installed with npm into a fresh
// directory, checked against the native tool.
// 1. Its kv5save command on files on disk: every run the native session
//    runner writes down (tests/support/run_record.h) and the cases where
//    Node's file system differs from the system's, run by both programs in
//    the same directory: the same output, status and files, permissions too.
// 2. run() on the same runs, and open()'s sessions against the native modes;
//    the package bundled for the browser.
// 3. The README's example runs, and type-checks against the declarations.
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { after, describe, test } from 'node:test';

const { KV5SAVE_SOURCE: source, KV5SAVE_NATIVE_BUILD: native, KV5SAVE_TARBALL: tarball } = process.env;
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kv5save-npm-'));
after(() => fs.rmSync(work, { recursive: true, force: true }));
// A copy of the native tool that another user may run too, wherever the
// build lies.
const nativeTool = path.join(work, 'kv5save');

function call(command, args, options = {}) {
  const result = spawnSync(command, args, { timeout: 120000, maxBuffer: 1 << 28, ...options });
  if (result.error) throw result.error;
  return result;
}

function check(command, args, options) {
  const result = call(command, args, { stdio: ['ignore', 'pipe', 'inherit'], ...options });
  assert.equal(result.status, 0, `${command} ${args.join(' ')}`);
  return result.stdout;
}

// The native tool, its session runner and save builder, up to date; then
// the runs the sessions make, written down.
if (!fs.existsSync(path.join(native, 'CMakeCache.txt'))) {
  check('cmake', ['-S', source, '-B', native, '-DCMAKE_BUILD_TYPE=RelWithDebInfo', '-DKV5SAVE_BUILD_TESTS=ON']);
}
check('cmake', ['--build', native, '-j2', '--target', 'kv5save', 'session_cases', 'make_full_save'], { timeout: 1200000 });
fs.copyFileSync(path.join(native, 'kv5save'), nativeTool);
const record = path.join(work, 'record');
check(path.join(native, 'tests', 'session_cases'), ['--gtest_brief=1'],
      { env: { ...process.env, KV5SAVE_RECORD_RUNS: record }, timeout: 600000 });
const hex = (text) => Buffer.from(text, 'hex');
const blob = (name) => fs.readFileSync(path.join(record, 'blobs', name));
const runs = fs.readdirSync(path.join(record, 'runs')).sort().map((name) => {
  const run = { name, args: [], before: [], after: [] };
  for (const line of fs.readFileSync(path.join(record, 'runs', name), 'latin1').trim().split('\n')) {
    const [word, value, content] = line.split(' ');
    if (word === 'argument') run.args.push(hex(value).toString());
    else if (word === 'before' || word === 'after') run[word].push([hex(value).toString(), blob(content)]);
    else if (word === 'status') run.status = Number(value);
    else if (word === 'stdout') run.stdout = blob(value).toString('latin1');
    else run[word] = hex(value).toString();
  }
  return run;
}).filter((run) => !run.skipped);

// The package, installed from the tarball with nothing fetched.
const app = path.join(work, 'app');
fs.mkdirSync(app);
fs.writeFileSync(path.join(app, 'package.json'), '{"private": true, "type": "module"}');
check('npm', ['install', '--offline', '--no-audit', '--no-fund', tarball], { cwd: app });
const bin = path.join(app, 'node_modules', '.bin', 'kv5save');
const kv5 = await import(path.join(app, 'node_modules', 'kv5save', 'index.mjs'));

const save = path.join(work, 'KV5SaveData');
check(path.join(native, 'tools', 'make_full_save'), [save]);
check(path.join(native, 'tools', 'make_full_save'), [`${save}.changed`, '1', 'changed']);

// Every entry under `dir`: its kind, permission bits and content's digest.
function snapshot(dir, prefix = '') {
  const entries = {};
  for (const name of fs.readdirSync(path.join(dir, prefix)).sort()) {
    const file = path.join(dir, prefix, name);
    const status = fs.lstatSync(file);
    const mode = (status.mode & 0o7777).toString(8);
    if (status.isDirectory()) Object.assign(entries, { [prefix + name]: `dir ${mode}` }, snapshot(dir, `${prefix}${name}/`));
    else if (status.isSymbolicLink()) entries[prefix + name] = `link ${fs.readlinkSync(file)}`;
    else if (status.isFile()) entries[prefix + name] = `${mode} ${createHash('sha256').update(fs.readFileSync(file)).digest('hex')}`;
    else entries[prefix + name] = 'other';
  }
  return entries;
}

// Runs `args(dir)` with both programs, each in `dir` as `setup(dir)` leaves
// it, from its subdirectory `cwd`, and as the user `uid` when given.
function bothAgree(setup, args, { cwd = '', uid } = {}) {
  const dir = path.join(work, 'run');
  const outcomes = [nativeTool, bin].map((program) => {
    fs.rmSync(dir, { recursive: true, force: true });
    fs.mkdirSync(dir);
    setup(dir);
    const { status, stdout } = call(program, args(dir), { cwd: path.join(dir, cwd), uid, gid: uid });
    return { status, stdout: stdout.toString('latin1'), files: snapshot(dir) };
  });
  assert.deepEqual(outcomes[1], outcomes[0]);
}

function put(dir, files) {
  for (const [name, content] of files) {
    fs.mkdirSync(path.dirname(path.join(dir, name)), { recursive: true });
    fs.writeFileSync(path.join(dir, name), content);
  }
}

const edit = '[ENTRY3]\r\nName=Zed\r\nVoice Pitch=12\r\n';
const withSave = (more = () => {}) => (dir) => {
  fs.copyFileSync(save, path.join(dir, 'KV5SaveData'));
  fs.writeFileSync(path.join(dir, 'edit.txt'), edit);
  more(dir);
};

describe('the kv5save command against the native one', () => {
  test('every recorded run', () => {
    assert.ok(runs.length > 50, `${runs.length} runs recorded`);
    for (const run of runs) {
      const inside = (dir) => run.args.map((arg) => (arg.startsWith(`${run.directory}/`) ? dir + arg.slice(run.directory.length) : arg));
      bothAgree((dir) => put(dir, run.before), inside);
    }
  });

  const long = 'a'.repeat(255);
  const cases = {
    'a save reached through a link, an edit': [withSave((d) => {
      fs.mkdirSync(path.join(d, 'real'));
      fs.renameSync(path.join(d, 'KV5SaveData'), path.join(d, 'real', 'KV5SaveData'));
      fs.symlinkSync('real/KV5SaveData', path.join(d, 'KV5SaveData'));
      fs.symlinkSync('real/text', path.join(d, 'KV5SaveData.txt'));
    }), ['-w', 'KV5SaveData', 'edit.txt'], ['-r', 'KV5SaveData']],
    'permission bits of the save and of a file replaced': [withSave((d) => {
      fs.chmodSync(path.join(d, 'KV5SaveData'), 0o604);
      fs.writeFileSync(path.join(d, 'entry3.bin'), '');
      fs.chmodSync(path.join(d, 'entry3.bin'), 0o600);
    }), ['-w', 'KV5SaveData', 'edit.txt'], ['-x', 'KV5SaveData', '3']],
    'absolute paths, and relative ones from below': [withSave((d) => fs.mkdirSync(path.join(d, 'sub'))),
      (d) => ['-t', '-r', `${d}/KV5SaveData`], (d) => ['-rp', `${d}/KV5SaveData`, '4', `${d}/KV5SaveData`],
      { cwd: 'sub', args: ['-xt', '../KV5SaveData', '3'] }, { cwd: 'sub', args: ['-d', '-p', '../KV5SaveData', '../KV5SaveData'] }],
    'a temporary name a run before left': [withSave((d) => fs.writeFileSync(path.join(d, '.kv5save-42-0.tmp'), 'x')),
      ['-x', 'KV5SaveData', '5'], ['-w', 'KV5SaveData', 'edit.txt']],
    'names of 255 bytes and more are not cut': [withSave((d) => {
      fs.renameSync(path.join(d, 'KV5SaveData'), path.join(d, long));
      fs.copyFileSync(path.join(d, long), path.join(d, 'é'.repeat(126)));
    }), ['-r', `${long}b`], ['-r', long], ['-w', 'é'.repeat(126), 'edit.txt'], ['-r', 'é'.repeat(127)]],
    'a read-only file to replace': [withSave((d) => fs.writeFileSync(path.join(d, 'KV5SaveData.txt'), '', { mode: 0o444 })),
      ['-r', 'KV5SaveData']],
    'every slot differs, a long output': [withSave((d) => fs.copyFileSync(`${save}.changed`, path.join(d, 'new'))),
      ['-d', '-t', 'KV5SaveData', 'new']],
    'a device to write to, a directory to read': [withSave((d) => {
      fs.symlinkSync('/dev/full', path.join(d, 'entry3.bin'));
      fs.mkdirSync(path.join(d, 'folder'));
    }), ['-x', 'KV5SaveData', '3'], ['-r', 'folder'], ['-w', 'KV5SaveData', 'folder']],
  };
  for (const [name, [setup, ...runs]] of Object.entries(cases)) {
    test(name, () => {
      for (const run of runs) {
        const { cwd, args } = Array.isArray(run) || typeof run === 'function' ? { args: run } : run;
        bothAgree(setup, typeof args === 'function' ? args : () => args, { cwd });
      }
    });
  }

  test('as a user who may not write a file or the directory', { skip: process.getuid() !== 0 && 'not root' }, () => {
    fs.chmodSync(work, 0o755);
    // The text is root's, and writable only by root; the directory is the user's.
    const othersText = withSave((d) => {
      fs.writeFileSync(path.join(d, 'KV5SaveData.txt'), 'old', { mode: 0o644 });
      fs.chownSync(d, 65534, 65534);
    });
    bothAgree(othersText, () => ['-r', 'KV5SaveData'], { uid: 65534 });
    bothAgree(withSave((d) => fs.chmodSync(d, 0o555)), () => ['-w', 'KV5SaveData', 'edit.txt'], { uid: 65534 });
  });

  test('runs that replace one save at once take turns', async () => {
    const dir = path.join(work, 'turns');
    const edits = ['[ENTRY3]\r\nName=Aaa\r\n', '[ENTRY4]\r\nName=Bbb\r\n', '[ENTRY5]\r\nVoice Pitch=01\r\n'];
    put(dir, edits.map((text, i) => [`${i}.txt`, text]).concat([['KV5SaveData', fs.readFileSync(save)]]));
    edits.forEach((_, i) => check(nativeTool, ['-w', 'KV5SaveData', `${i}.txt`], { cwd: dir }));
    const expected = fs.readFileSync(path.join(dir, 'KV5SaveData'));
    // Each round finds a lock that a run killed before left: of a process
    // gone, empty and old, or none.
    const lock = path.join(dir, 'KV5SaveData.kv5save-lock');
    const stale = [
      () => fs.writeFileSync(lock, `${2 ** 22 + 1}\n`),
      () => fs.writeFileSync(lock, '') || fs.utimesSync(lock, 0, 0),
      () => {},
    ];
    for (let round = 0; round < 3; ++round) {
      fs.copyFileSync(save, path.join(dir, 'KV5SaveData'));
      stale[round]();
      const statuses = await Promise.all(edits.map((_, i) => new Promise((done) =>
        spawn(bin, ['-w', 'KV5SaveData', `${i}.txt`], { cwd: dir, stdio: 'ignore', timeout: 60000 }).on('exit', done))));
      assert.deepEqual(statuses, [0, 0, 0]);
      assert.ok(expected.equals(fs.readFileSync(path.join(dir, 'KV5SaveData'))), `round ${round}`);
    }
    assert.deepEqual(fs.readdirSync(dir).sort(), ['0.txt', '1.txt', '2.txt', 'KV5SaveData']);
  });

  test('what Node.js cannot do safely is refused, with the status of a refused save', () => {
    const dir = path.join(work, 'refused');
    fs.mkdirSync(dir);
    call('mkfifo', [path.join(dir, 'pipe')]);
    const refused = (args, status, words) => {
      const result = call(bin, args, { cwd: dir, timeout: 20000 });
      assert.equal(result.status, status, args.join(' '));
      assert.match(result.stdout.toString(), words);
    };
    refused(['-r', 'pipe'], 1, /^Error: pipe is no regular file but a pipe/);
    refused(['-w', '/dev/zero', 'pipe'], 1, /^Error: \/dev\/zero is no regular file/);
    refused(['-d', save, 'pipe'], 2, /^Error: pipe is no regular file/);
    const bytes = call('bash', ['-c', `exec "${bin}" -r "$(printf 'KV5\\xff')"`], { cwd: dir });
    assert.equal(bytes.status, 1);
    assert.match(bytes.stdout.toString(), /bytes that are not UTF-8/);
    const { refusal } = createRequire(import.meta.url)(path.join(app, 'node_modules', 'kv5save', 'bin', 'kv5save.cjs'));
    assert.match(refusal(['-r', 'C:\\saves\\KV5SaveData'], 'win32'), /drive or a network share/);
    assert.match(refusal(['-r', '//server/share/KV5SaveData'], 'win32'), /drive or a network share/);
    assert.equal(refusal(['-r', 'C:\\saves\\KV5SaveData'], 'linux'), null);
  });
});

describe('the API against the native tool', () => {
  test('run() on every recorded run', async () => {
    for (const run of runs) {
      const result = await kv5.run(run.args, Object.fromEntries(run.before), { directory: run.directory });
      assert.deepEqual({ status: result.status, stdout: Buffer.from(result.stdout).toString('latin1'), files: result.files },
                       { status: run.status, stdout: run.stdout, files: Object.fromEntries(run.after.map(([n, c]) => [n, new Uint8Array(c)])) },
                       run.name);
    }
  });

  test("open(): a session's text, edit, extract and compare are the native modes'", async () => {
    const dir = path.join(work, 'native');
    fs.mkdirSync(dir);
    fs.copyFileSync(save, path.join(dir, 'KV5SaveData'));
    const nativeRun = (...args) => call(nativeTool, args, { cwd: dir }).stdout.toString();
    const session = await kv5.open(fs.readFileSync(save), 'KV5SaveData');
    const loaded = nativeRun('-r', 'KV5SaveData');
    assert.ok(loaded.startsWith(session.messages + session.text().messages));
    nativeRun('-t', '-r', 'KV5SaveData');
    assert.equal(session.text(true).text, fs.readFileSync(path.join(dir, 'KV5SaveData.txt'), 'utf8'));
    assert.equal(session.characters().length, (loaded.match(/Found (\d+) custom/) ?? [])[1] * 1);
    nativeRun('-x', 'KV5SaveData', '7');
    assert.deepEqual(session.extract(7).bytes, new Uint8Array(fs.readFileSync(path.join(dir, 'entry7.bin'))));

    const before = session.copy();
    const text = await kv5.editText(3, [['Name', 'Zed'], ['Voice Pitch', '12']]);
    assert.equal(text, edit);
    assert.deepEqual(session.apply(text, 'edit.txt'), { ok: true, written: true, messages: 'Text file loaded.\nProcessing save data.\nFound 118 custom character entries. 68 of those are from replays.\nModified 1 entries.\n' });
    fs.writeFileSync(path.join(dir, 'edit.txt'), edit);
    fs.copyFileSync(save, path.join(dir, 'old'));
    nativeRun('-w', 'KV5SaveData', 'edit.txt');
    assert.deepEqual(session.bytes(), new Uint8Array(fs.readFileSync(path.join(dir, 'KV5SaveData'))));
    const comparison = before.compare(session);
    assert.ok(nativeRun('-d', 'old', 'KV5SaveData').endsWith(comparison.sections.map((s) => s.text).join('') + comparison.closing));
    assert.match(session.check(3, 'Nonsense', '1').problem, /^Invalid variable name/);

    before.release();
    session.release();
    assert.throws(() => session.bytes(), /released/);
    await assert.rejects(kv5.open(new Uint8Array(64), 'short'), (error) => error instanceof kv5.NotASave && error.messages.length > 0);
  });

  const esbuild = path.join(source, 'npm', 'node_modules', '.bin', 'esbuild');
  test('bundles for the browser, the WebAssembly inside', { skip: !fs.existsSync(esbuild) && 'no esbuild: npm ci in npm/' }, () => {
    fs.writeFileSync(path.join(app, 'page.mjs'), "import { run, open } from 'kv5save'; globalThis.kv5 = { run, open };");
    const out = call(esbuild, ['page.mjs', '--bundle', '--platform=browser', '--format=esm', '--outfile=page.js', '--log-level=warning'], { cwd: app });
    assert.deepEqual([out.status, out.stderr.toString()], [0, '']);
    const bundle = fs.readFileSync(path.join(app, 'page.js'), 'utf8');
    assert.match(bundle, /data:application\/octet-stream;base64,AGFzbQ/);
    assert.doesNotMatch(bundle, /\.wasm\b/);
  });

  test('require() gives the same API as import', () => {
    const script = "const k = require('kv5save'); k.run(['-x']).then((r) => console.log(Object.keys(k).join(), r.status))";
    assert.equal(check(process.execPath, ['-e', script], { cwd: app }).toString(), 'run,open,editText,Session,NotASave 0\n');
  });
});

describe("the README's example", () => {
  const readme = fs.readFileSync(path.join(app, 'node_modules', 'kv5save', 'README.md'), 'utf8');
  const example = path.join(app, 'example.mjs');
  fs.writeFileSync(example, readme.slice(readme.indexOf('## Example')).match(/```js\n([^]*?)```/)[1]);

  test('lists the characters of a save', async () => {
    const session = await kv5.open(fs.readFileSync(save), 'KV5SaveData');
    const expected = session.characters().map(({ slot, name, replay }) => `${slot}\t${name ?? '(no name)'}${replay ? '\t(replay)' : ''}\n`);
    session.release();
    assert.equal(check(process.execPath, [example, save], { cwd: app }).toString(), expected.join(''));
  });

  const tsc = path.join(source, 'npm', 'node_modules', '.bin', 'tsc');
  test('type-checks against the declarations', { skip: !fs.existsSync(tsc) && 'no TypeScript: npm ci in npm/' }, () => {
    check(tsc, ['--noEmit', '--strict', '--allowJs', '--checkJs', '--module', 'node16', '--target', 'es2022',
                '--typeRoots', path.join(source, 'npm', 'node_modules', '@types'), '--types', 'node', example], { cwd: app });
  });
});
