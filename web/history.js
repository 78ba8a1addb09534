// The steps that made each new save, for undo and redo. A step keeps only
// the ranges of bytes it changed, with their old and new bytes, never a
// whole save: a hundred steps on a 5 MB save cost about what they changed.

// Differing bytes closer than this are kept as one range: fewer, slightly
// longer ranges cost less than many tiny ones.
const kJoin = 16;

// The first index from `from` on below `to` where `a` and `b` differ, or
// `to`. Compares four bytes at a time where both arrays allow it: a full
// save is 5.3 MB.
export function firstDifference(a, b, from, to) {
  let i = from;
  if (a.byteOffset % 4 === 0 && b.byteOffset % 4 === 0) {
    while (i < to && i % 4 !== 0) {
      if (a[i] !== b[i]) return i;
      i += 1;
    }
    const words = (to - i) >> 2;
    if (words > 0) {
      const wa = new Int32Array(a.buffer, a.byteOffset + i, words);
      const wb = new Int32Array(b.buffer, b.byteOffset + i, words);
      let w = 0;
      while (w < words && wa[w] === wb[w]) w += 1;
      i += w * 4;
    }
  }
  while (i < to && a[i] === b[i]) i += 1;
  return i;
}

// The ranges where `after` differs from `before`, as [{at, before, after}]
// with copies of their bytes. A change of length is one last range from
// the shorter length on.
export function differences(before, after) {
  const common = Math.min(before.length, after.length);
  const ranges = [];
  for (let at = firstDifference(before, after, 0, common); at < common;) {
    let end = at + 1;
    for (let i = end; i < common && i - end < kJoin; i += 1) {
      if (before[i] !== after[i]) end = i + 1;
    }
    ranges.push({ at, before: before.slice(at, end), after: after.slice(at, end) });
    at = firstDifference(before, after, end, common);
  }
  if (before.length !== after.length) {
    ranges.push({ at: common, before: before.slice(common), after: after.slice(common) });
  }
  return ranges;
}

// `bytes` with one side ('before' or 'after') of `ranges` written over it,
// `length` bytes long: `bytes` itself, changed in place, when its length
// stays; a copy of a 5 MB save would cost more than all the rest of a step.
function patched(bytes, ranges, side, length) {
  let result = bytes;
  if (length !== bytes.length) {
    result = new Uint8Array(length);
    result.set(bytes.subarray(0, length));
  }
  for (const range of ranges) result.set(range[side], range.at);
  return result;
}

export class History {
  #done = [];
  #undone = [];

  // Records the step `label` that turned `before` into `after`; a step
  // that changed nothing is not one. A new step drops what was undone.
  record(label, before, after) {
    const ranges = differences(before, after);
    if (ranges.length === 0) return;
    this.#done.push({ label, ranges, lengths: [before.length, after.length] });
    this.#undone = [];
  }

  get canUndo() {
    return this.#done.length > 0;
  }

  get canRedo() {
    return this.#undone.length > 0;
  }

  // The save `bytes` with the last step undone, and that step's label; null
  // when there is none. `bytes` is changed in place where it can be: it
  // must be no one else's.
  undo(bytes) {
    const step = this.#done.pop();
    if (!step) return null;
    this.#undone.push(step);
    return { label: step.label, bytes: patched(bytes, step.ranges, 'before', step.lengths[0]) };
  }

  // The save `bytes` with the last step undone made again, and its label;
  // null when there is none. As undo, it changes `bytes` in place.
  redo(bytes) {
    const step = this.#undone.pop();
    if (!step) return null;
    this.#done.push(step);
    return { label: step.label, bytes: patched(bytes, step.ranges, 'after', step.lengths[1]) };
  }

  clear() {
    this.#done = [];
    this.#undone = [];
  }

  // The bytes the steps keep, old and new.
  get size() {
    let total = 0;
    for (const step of [...this.#done, ...this.#undone]) {
      for (const range of step.ranges) total += range.before.length + range.after.length;
    }
    return total;
  }
}
