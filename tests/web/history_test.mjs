// The page's undo history, on random saves and random steps: every state
// comes back byte for byte, backwards and forwards, from steps that keep
// only what they changed.
//     node --test tests/web/history_test.mjs

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { History, differences } from '../../web/history.js';

// A small deterministic generator, so that a failure repeats.
function random(seed) {
  return (below) => {
    seed = (seed * 1103515245 + 12345) >>> 0;
    return (seed >>> 8) % below;
  };
}

// A new save from `bytes`: a few runs of changed bytes, near and far apart,
// at the ends, at odd offsets, and now and then another length; every byte
// of a run differs, so that each step is one.
function step(bytes, next) {
  const length = next(10) === 0 ? bytes.length + next(9) - 4 : bytes.length;
  const after = new Uint8Array(length);
  after.set(bytes.subarray(0, length));
  for (let run = next(4); run >= 0; run -= 1) {
    const at = next(3) === 0 ? [0, length - 1][next(2)] : next(length);
    for (let i = at; i < Math.min(length, at + 1 + next(40)); i += 1) after[i] += 1 + next(255);
  }
  return after;
}

test('undo and redo give every save back, keeping only the changed bytes', () => {
  for (let seed = 1; seed <= 40; seed += 1) {
    const next = random(seed);
    const saves = [Uint8Array.from({ length: 4096 + next(7) }, () => next(256))];
    const history = new History();
    for (let i = 0; i < 30; i += 1) {
      saves.push(step(saves.at(-1), next));
      history.record(`step ${i}`, saves.at(-2), saves.at(-1));
    }
    const kept = differences(saves[0], saves.at(-1)).length;
    assert.ok(history.size < 30 * 2 * 5 * 60, `seed ${seed}: ${history.size} bytes kept`);
    assert.ok(kept > 0);

    let bytes = saves.at(-1).slice();
    for (let i = saves.length - 2; i >= 0; i -= 1) {
      const undone = history.undo(bytes);
      assert.equal(undone.label, `step ${i}`);
      assert.deepEqual(undone.bytes, saves[i], `seed ${seed}: undoing step ${i}`);
      bytes = undone.bytes;
    }
    assert.equal(history.undo(bytes), null);
    for (let i = 1; i < saves.length; i += 1) {
      bytes = history.redo(bytes).bytes;
      assert.deepEqual(bytes, saves[i], `seed ${seed}: redoing step ${i - 1}`);
    }
    assert.equal(history.redo(bytes), null);

    // A new step after an undo drops what was undone.
    bytes = history.undo(bytes).bytes;
    history.record('another', bytes, step(bytes, next));
    assert.ok(history.canUndo && !history.canRedo);
  }
});

test('a step keeps copies of its ranges, not views of a whole save', () => {
  const before = new Uint8Array(1 << 20);
  const after = before.slice();
  after.set([1, 2, 3], 1000);
  after[1017] = 9; // near enough to join the range before it
  after[500000] = 7;
  const ranges = differences(before, after);
  assert.deepEqual(ranges.map(({ at, after: bytes }) => [at, bytes.length]), [[1000, 18], [500000, 1]]);
  for (const range of ranges) assert.equal(range.before.buffer.byteLength, range.before.length);
  const history = new History();
  history.record('nothing', before, before.slice());
  assert.ok(!history.canUndo, 'a step that changed nothing is no step');
});
