// The steps that made each new save, for undo and redo. A step keeps only
// the ranges of bytes it changed, with their old and new bytes, never a
// whole save: a hundred steps on a 5 MB save cost about what they changed.
// A step is recorded as parts, each with a key (the page's: a slot, for
// the slot's entry), and undone or made again part by part.

// Differing bytes closer than this are kept as one range: fewer, slightly
// longer ranges cost less than many tiny ones.
const kJoin = 16;

// The first index from `from` on below `to` where `a` and `b` differ, or
// `to`. Compares four bytes at a time where both arrays allow it.
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

// The ranges where `after` differs from `before`, two arrays of one length,
// as [{at, before, after}] with copies of their bytes.
export function differences(before, after) {
  if (before.length !== after.length) throw new RangeError('a part keeps its length');
  const ranges = [];
  for (let at = firstDifference(before, after, 0, before.length); at < before.length;) {
    let end = at + 1;
    for (let i = end; i < before.length && i - end < kJoin; i += 1) {
      if (before[i] !== after[i]) end = i + 1;
    }
    ranges.push({ at, before: before.slice(at, end), after: after.slice(at, end) });
    at = firstDifference(before, after, end, before.length);
  }
  return ranges;
}

// Writes `ranges` ([{at, bytes}]) over `bytes`, in place, and gives it.
export function patch(bytes, ranges) {
  for (const { at, bytes: part } of ranges) bytes.set(part, at);
  return bytes;
}

// A step's parts with one side ('before' or 'after') of their ranges.
const sideOf = (step, side) => ({
  label: step.label,
  parts: step.parts.map(({ key, ranges }) =>
    ({ key, ranges: ranges.map((range) => ({ at: range.at, bytes: range[side] })) })),
});

export class History {
  #done = [];
  #undone = [];

  // Records the step `label` that turned each part's `before` bytes into
  // its `after` bytes: `parts` is [{key, before, after}]. A step that
  // changed nothing is not one. A new step drops what was undone.
  record(label, parts) {
    const changed = parts.map(({ key, before, after }) => ({ key, ranges: differences(before, after) }))
      .filter(({ ranges }) => ranges.length > 0);
    if (changed.length === 0) return;
    this.#done.push({ label, parts: changed });
    this.#undone = [];
  }

  get canUndo() {
    return this.#done.length > 0;
  }

  get canRedo() {
    return this.#undone.length > 0;
  }

  // The last step, to be undone: {label, parts: [{key, ranges: [{at,
  // bytes}]}]}, the bytes each part had before it; null when there is none.
  undo() {
    const step = this.#done.pop();
    if (!step) return null;
    this.#undone.push(step);
    return sideOf(step, 'before');
  }

  // The last step undone, to be made again, with the bytes it wrote; null
  // when there is none.
  redo() {
    const step = this.#undone.pop();
    if (!step) return null;
    this.#done.push(step);
    return sideOf(step, 'after');
  }

  // The last step done, or null before any: wherever it is the same, the
  // save is the same.
  get position() {
    return this.#done.at(-1) ?? null;
  }

  clear() {
    this.#done = [];
    this.#undone = [];
  }

  // The bytes the steps keep, old and new.
  get size() {
    let total = 0;
    for (const step of [...this.#done, ...this.#undone]) {
      for (const { ranges } of step.parts) {
        for (const range of ranges) total += range.before.length + range.after.length;
      }
    }
    return total;
  }
}
