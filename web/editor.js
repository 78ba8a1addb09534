// The whole save's text in an editor (CodeMirror): line numbers, search and
// replace (Ctrl+F), its own undo, and the parts of the text highlighted:
// section headers, the #REPLAY line and other comments, field names, values
// and the notes in parentheses the reader ignores.
//
// The editor's container answers .value as the textarea it stands in for
// did: the whole text with line feeds as line ends, CR LF read as one line
// end; setting it shows a new text, with an undo history of its own.
// update(text) shows the text a new save gives where the player was.

import { EditorState, Transaction } from '@codemirror/state';
import {
  EditorView, highlightActiveLine, highlightActiveLineGutter, keymap, lineNumbers,
} from '@codemirror/view';
import { defaultKeymap, history, historyKeymap } from '@codemirror/commands';
import { highlightSelectionMatches, search, searchKeymap } from '@codemirror/search';
import { HighlightStyle, StreamLanguage, syntaxHighlighting } from '@codemirror/language';
import { tags } from '@lezer/highlight';

// The text line by line: a header or a comment is a whole line; a field's
// line is its name, "=", the value, and maybe a note in parentheses.
const saveText = StreamLanguage.define({
  name: 'kv5save text',
  startState: () => ({ part: 'name' }),
  copyState: ({ part }) => ({ part }),
  token(stream, state) {
    if (stream.sol()) {
      state.part = 'name';
      // The reader takes a header behind a "#" too.
      const whole = stream.match(/^#?\[entry\d/i, false) ? 'heading'
        : stream.match(/^#REPLAY\b/, false) ? 'meta'
          : stream.peek() === '#' ? 'comment' : null;
      if (whole) {
        stream.skipToEnd();
        return whole;
      }
    }
    switch (state.part) {
      case 'name':
        state.part = 'equals';
        if (stream.peek() !== '=') {
          if (!stream.skipTo('=')) stream.skipToEnd();
          return 'propertyName';
        }
      // falls through
      case 'equals':
        stream.next();
        state.part = 'value';
        return 'operator';
      case 'value': {
        state.part = 'note';
        const note = stream.string.slice(stream.pos).search(/\s+\(.*\)\s*$/);
        if (note !== 0) {
          if (note > 0) stream.pos += note;
          else stream.skipToEnd();
          return 'literal';
        }
      }
      // falls through
      default:
        if (stream.eatSpace()) return null;
        stream.skipToEnd();
        return 'annotation';
    }
  },
});

// Colours that keep a contrast of at least 4.5:1 on the editor's white and
// on the tint of the line with the cursor.
const colours = HighlightStyle.define([
  { tag: tags.heading, color: '#0b5cad', fontWeight: 'bold' },
  { tag: tags.meta, color: '#7a1f8f', fontWeight: 'bold' },
  { tag: tags.comment, color: '#595959', fontStyle: 'italic' },
  { tag: tags.propertyName, color: '#6b3c00' },
  { tag: tags.operator, color: '#595959' },
  { tag: tags.literal, color: '#0a6331' },
  { tag: tags.annotation, color: '#595959', fontStyle: 'italic' },
]);

const look = EditorView.theme({
  '&': { height: '32rem', maxHeight: '70vh', border: '1px solid #8a8a8a', backgroundColor: '#fff' },
  '.cm-scroller': { fontFamily: 'ui-monospace, monospace' },
  '.cm-gutters': { color: '#595959' },
  '&.cm-focused': { outline: '3px solid #e08a00', outlineOffset: '2px' },
});

// How many characters `a` and `b` have in common at their starts (at their
// ends with `fromEnd`), at most `most`: compared a block at a time, as the
// browser compares strings, not a character at a time.
function inCommon(a, b, most, fromEnd) {
  const part = fromEnd ? (s, at, n) => s.slice(s.length - at - n, s.length - at)
    : (s, at, n) => s.slice(at, at + n);
  let length = 0;
  for (let block = 4096; block >= 1; block >>= 4) {
    while (length + block <= most && part(a, length, block) === part(b, length, block)) length += block;
  }
  return length;
}

// How many CR LF line ends `text` has before `at`.
function lineEndsBefore(text, at) {
  let count = 0;
  for (let i = text.indexOf('\r\n'); i !== -1 && i + 2 <= at; i = text.indexOf('\r\n', i + 2)) count += 1;
  return count;
}

// Makes `container` the editor, its text box named by the element with the
// id `labelledBy`; gives {view, update}.
export function textEditor(container, labelledBy) {
  const extensions = [
    lineNumbers(),
    highlightActiveLineGutter(),
    highlightActiveLine(),
    history(),
    search({ top: true }),
    highlightSelectionMatches(),
    saveText,
    syntaxHighlighting(colours),
    look,
    keymap.of([...defaultKeymap, ...historyKeymap, ...searchKeymap]),
    // The tab index tells checkers what browsers do anyway: the editable
    // text, and so its scrolling box, takes the focus from the keyboard.
    EditorView.contentAttributes.of({ 'aria-labelledby': labelledBy, spellcheck: 'false', tabindex: '0' }),
  ];
  const view = new EditorView({ parent: container });
  // The text last shown, as given, and the document it made: while the
  // player has not changed it, the text need not be read back from the
  // editor, nor its line ends made line feeds.
  let shown = { text: '', doc: null };
  const show = (text) => {
    view.setState(EditorState.create({ doc: String(text), extensions }));
    shown = { text: String(text), doc: view.state.doc };
  };
  show('');
  Object.defineProperty(container, 'value', {
    get: () => view.state.doc.toString(),
    set: show,
    configurable: true,
  });

  // Shows `text` as one change from the text shown, left out of the undo
  // history: the view stays where it was, and the player's own undo goes on
  // over the new text. The texts are compared as given, CR LF and all: the
  // document has a line feed for each CR LF before a place, one character
  // less.
  function update(text) {
    let [before, after] = [shown.text, String(text)];
    if (shown.doc !== view.state.doc) {
      [before, after] = [view.state.doc.toString(), after.replace(/\r\n?/g, '\n')];
    }
    const most = Math.min(before.length, after.length);
    let start = inCommon(before, after, most, false);
    let end = inCommon(before, after, most - start, true);
    if (start < before.length || before.length !== after.length) {
      // Neither end of the change between the CR and the LF of a line end.
      if (start > 0 && before[start - 1] === '\r') start -= 1;
      if (end > 0 && before[before.length - end] === '\n') end -= 1;
      view.dispatch({
        changes: {
          from: start - lineEndsBefore(before, start),
          to: before.length - end - lineEndsBefore(before, before.length - end),
          insert: after.slice(start, after.length - end),
        },
        annotations: Transaction.addToHistory.of(false),
      });
    }
    shown = { text: after, doc: view.state.doc };
  }
  return { view, update };
}
