// The page's undo history, on random saves and random steps: every state
// comes back byte for byte, backwards and forwards, from steps that keep
// only what they changed, part by part.
//     node --test tests/web/history_test.mjs

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { History, differences, patch } from '../../web/history.js';

// A small deterministic generator, so that a failure repeats.
function random(seed) {
  return (below) => {
    seed = (seed * 1103515245 + 12345) >>> 0;
    return (seed >>> 8) % below;
  };
}

// A new part from `bytes`: a few runs of changed bytes, near and far apart,
// at the ends and at odd offsets; every byte of a run differs.
function changed(bytes, next) {
  const after = bytes.slice();
  for (let run = next(4); run >= 0; run -= 1) {
    const at = next(3) === 0 ? [0, after.length - 1][next(2)] : next(after.length);
    for (let i = at; i < Math.min(after.length, at + 1 + next(40)); i += 1) after[i] += 1 + next(255);
  }
  return after;
}

// Undoes or makes again `step` on `parts` (key -> bytes), as the page does
// on the save's entries.
const apply = (parts, step) => step.parts.forEach(({ key, ranges }) => patch(parts[key], ranges));

test('undo and redo give every save back, keeping only the changed bytes', () => {
  for (let seed = 1; seed <= 40; seed += 1) {
    const next = random(seed);
    const keys = [1, 2, 3, 4, 5];
    const saves = [Object.fromEntries(keys.map((key) => [key, Uint8Array.from({ length: 700 + next(7) }, () => next(256))]))];
    const history = new History();
    const positions = [history.position];
    for (let i = 0; i < 30; i += 1) {
      const before = saves.at(-1);
      const touched = keys.filter(() => next(3) === 0).concat([keys[next(keys.length)]]);
      const after = { ...before };
      for (const key of touched) after[key] = changed(before[key], next);
      saves.push(after);
      history.record(`step ${i}`, touched.map((key) => ({ key, before: before[key], after: after[key] })));
      positions.push(history.position);
    }
    assert.ok(history.size < 30 * 6 * 2 * 5 * 60, `seed ${seed}: ${history.size} bytes kept`);
    assert.equal(new Set(positions).size, positions.length, 'each step its own place in the history');

    const parts = Object.fromEntries(keys.map((key) => [key, saves.at(-1)[key].slice()]));
    for (let i = saves.length - 2; i >= 0; i -= 1) {
      const undone = history.undo();
      assert.equal(undone.label, `step ${i}`);
      apply(parts, undone);
      assert.deepEqual(parts, saves[i], `seed ${seed}: undoing step ${i}`);
      assert.equal(history.position, positions[i]);
    }
    assert.equal(history.undo(), null);
    for (let i = 1; i < saves.length; i += 1) {
      apply(parts, history.redo());
      assert.deepEqual(parts, saves[i], `seed ${seed}: redoing step ${i - 1}`);
      assert.equal(history.position, positions[i]);
    }
    assert.equal(history.redo(), null);

    // A new step after an undo drops what was undone.
    apply(parts, history.undo());
    history.record('another', [{ key: 1, before: parts[1], after: changed(parts[1], next) }]);
    assert.ok(history.canUndo && !history.canRedo);
  }
});

test('a step keeps copies of its ranges, only of the parts it changed', () => {
  const before = new Uint8Array(1 << 20);
  const after = before.slice();
  after.set([1, 2, 3], 1000);
  after[1017] = 9; // near enough to join the range before it
  after[500000] = 7;
  const ranges = differences(before, after);
  assert.deepEqual(ranges.map(({ at, after: bytes }) => [at, bytes.length]), [[1000, 18], [500000, 1]]);
  for (const range of ranges) assert.equal(range.before.buffer.byteLength, range.before.length);
  const history = new History();
  history.record('nothing', [{ key: 1, before, after: before.slice() }]);
  assert.ok(!history.canUndo, 'a step that changed nothing is no step');
  history.record('one part', [{ key: 1, before, after: before.slice() }, { key: 2, before, after }]);
  const done = history.position;
  assert.deepEqual(history.undo().parts.map(({ key, ranges: kept }) => [key, kept.length]), [[2, 2]]);
  assert.ok(history.position === null && done !== null, 'no step done, no place in the history');
  history.redo();
  assert.equal(history.position, done, 'a step made again stands where it stood');
  assert.throws(() => differences(before, after.subarray(1)), RangeError);
});
