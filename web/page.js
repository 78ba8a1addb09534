// The page: a front over window.kv5. It does the tool's commands on
// sessions the core keeps open, shows each as a player would type it, and
// shows what the core answers; it knows nothing of the save or the text
// itself: fields, values, notes, code names and messages all come from the
// core.

import { History, patch } from './history.js';
import { textEditor } from './editor.js';

const { kv5 } = window;
const $ = (id) => document.getElementById(id);

const state = {
  name: '', // the save's file name, which the new save keeps
  original: null, // a session on the bytes as opened, never changed
  current: null, // a session on the bytes with every change applied so far
  slot: 0, // the character shown in the form
  text: '', // the name of the text file shown, once shown
  second: null, // {name, session}: a second save to copy from
  characters: [], // [{slot, name, replay}]: the characters of the current save
  // Where in the history the save last downloaded stands: the same place
  // is the same bytes, and holding no copy of a 5 MB save leaves the core
  // its memory.
  downloaded: undefined,
  shownText: '', // the text as last shown, before the player's edits
  formShape: '', // the fields of the form shown and the codes they offer
};

// Each change that made a new save, for undo and redo: the bytes of the
// slots' entries it changed, before and after.
const history = new History();

// The whole text's editor, made once the page is ready.
let editor;

// Every slot, for a change that may touch any of them.
const kAllSlots = Array.from({ length: 118 }, (_, i) => i + 1);

// The messages pane: each command as a player would type it, then what the
// tool printed. It scrolls to the end once a frame, not at each message: a
// scroll in between would lay out the whole page again.
let scrolling = false;
function say(heading, output = '') {
  const pane = $('messages');
  pane.append(`${heading}\n${output}${output && !output.endsWith('\n') ? '\n' : ''}\n`);
  if (scrolling) return;
  scrolling = true;
  requestAnimationFrame(() => {
    pane.scrollTop = pane.scrollHeight;
    scrolling = false;
  });
}

function commandLine(args) {
  const quoted = (a) => (/[\s"]/.test(a) || a === '' ? JSON.stringify(a) : a);
  return `> kv5save ${args.map(quoted).join(' ')}`;
}

// A file name as an argument: one that begins with "-" would be an option.
const argumentFor = (name) => (name.startsWith('-') ? `./${name}` : name);

// A name for a file put beside the save that is not the save's own.
const besideSave = (name) => (name === state.name ? `other-${name}` : name);

// An outcome with the lines the command prints once it has written the
// new save, when it wrote one.
const withLines = (outcome, lines) =>
  ({ ...outcome, messages: outcome.messages + (outcome.written ? lines : '') });

function download(name, bytes) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(link.href), 60000);
}

// Sets what differs only: a write of the same value still has the browser
// work out the page's style again, and a save's lists and form hold
// hundreds of elements.
function update(node, property, value) {
  if (node[property] !== value) node[property] = value;
}

// [slot, bytes] of each of `slots` whose entry lies in `session`'s save.
const entriesOf = (session, slots) =>
  slots.map((slot) => [slot, session.entry(slot)]).filter(([, bytes]) => bytes);

// Records the step `label` that changed the current save, given the entries
// of the slots it may have changed as they were before it.
function record(label, before) {
  history.record(label, before.map(([slot, bytes]) => ({ key: slot, before: bytes, after: state.current.entry(slot) })));
  showHistory();
}

// Does the work of command `args` on the current save, `work` on its
// session, as the step `label`; `slots` are those it may change. A command
// that wrote into the save shows the save anew.
async function change(label, args, slots, work) {
  const before = entriesOf(state.current, slots);
  const outcome = work(state.current);
  say(commandLine(args), outcome.messages);
  if (outcome.written) {
    record(label, before);
    await refresh();
  }
  return outcome;
}

// The slot a command's entry number argument names, or nothing after the
// command and its error.
function slotOf(args, text) {
  const { slot, messages } = kv5.said.slot(text);
  if (slot === null) say(commandLine(args), messages);
  return slot;
}

// --- Undo and redo -----------------------------------------------------

function showHistory() {
  $('undo').disabled = !history.canUndo;
  $('redo').disabled = !history.canRedo;
}

// Undoes ("undo") or makes again ("redo") the last step: each entry it
// changed is put back into the current save, as it was before the step or
// after it, and the save is shown as it then is.
async function stepThrough(direction) {
  const step = history[direction]();
  if (!step) return;
  for (const { key: slot, ranges } of step.parts) {
    const put = state.current.replace(slot, patch(state.current.entry(slot), ranges), `entry${slot}.bin`);
    if (!put.written) throw new Error(`slot ${slot} could not be put back: ${put.messages.trim()}`);
  }
  showHistory();
  await refresh();
  say(`${direction === 'undo' ? 'Undone' : 'Redone'}: ${step.label}.`);
}

// Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo (Cmd on macOS), except in a
// field or the text editor, which have their own undo.
const onMac = /Mac|iPhone|iPad/.test(navigator.platform);

function historyKeys(event) {
  const command = onMac ? event.metaKey : event.ctrlKey;
  if (!command || event.altKey || !state.current) return;
  if (event.target.closest?.('input, textarea, select, [contenteditable], .cm-editor')) return;
  const key = event.key.toLowerCase();
  const direction = key === 'z' ? (event.shiftKey ? 'redo' : 'undo') : key === 'y' ? 'redo' : '';
  if (!direction) return;
  event.preventDefault();
  if ($(direction).disabled) say(`Nothing to ${direction}.`);
  else $(direction).click();
}

// Changes the player would lose by leaving: a save not downloaded, or
// changes in the form or the text not yet applied.
function unsaved() {
  if (!state.current) return false;
  const pending = [...$('fields').querySelectorAll('input')].some(
    (input) => input.value !== input.dataset.original,
  );
  return pending || (state.text && $('text-area').value !== state.shownText.replace(/\r\n?/g, '\n')) ||
    (!state.current.sameBytes(state.original) && state.downloaded !== history.position);
}

// --- Opening -----------------------------------------------------------

// A session on the save, or nothing after the tool's messages.
async function openAs(heading, name, bytes) {
  try {
    const session = await kv5.open(bytes, name);
    say(heading, session.messages);
    return session;
  } catch (refused) {
    if (refused.messages === undefined) throw refused;
    say(heading, refused.messages);
    return null;
  }
}

async function openSave(name, bytes) {
  const session = await openAs(`Opening ${name}`, name, bytes);
  if (!session) {
    say('This file is not a save kv5save can work on; nothing was opened.');
    return;
  }
  state.current?.release();
  state.original?.release();
  Object.assign(state, { name, original: session.copy(), current: session, slot: 0, text: '', downloaded: undefined });
  history.clear();
  showHistory();
  $('save-name').textContent = name;
  $('download-save').textContent = `Download ${name}`;
  $('text-area').value = '';
  state.shownText = '';
  for (const id of ['characters', 'put', 'text', 'compare', 'download']) $(id).hidden = false;
  $('compare-result').replaceChildren();
  $('character').hidden = true;
  showCharacters(session.characters());
}

async function openFile(file, open) {
  await open(file.name, new Uint8Array(await file.arrayBuffer()));
}

// --- The characters ----------------------------------------------------

function characterLabel({ slot, name }) {
  return `Slot ${slot}: ${name ?? '(no name in the text)'}`;
}

const labelOf = (slot) => {
  const character = state.characters.find((c) => c.slot === slot);
  return character ? characterLabel(character) : `Slot ${slot}`;
};

// The lists, each character marked "changed" when its bytes differ from
// the save as opened; the count of those stands by the download. A save
// with the same slots filled keeps the buttons, only their labels and
// marks change: the focus and the place in the lists stay.
function showCharacters(characters) {
  state.characters = characters;
  const changed = new Set(state.current.changedSlots(state.original));
  const listOf = (character) => (character.replay ? 'replay-list' : 'custom-list');
  let buttons = [...document.querySelectorAll('.slots button')];
  if (buttons.length !== characters.length || characters.some((character, i) =>
    buttons[i].dataset.slot !== String(character.slot) || buttons[i].closest('ul').id !== listOf(character))) {
    const focused = document.activeElement?.closest('.slots') && document.activeElement.dataset.slot;
    for (const list of [$('custom-list'), $('replay-list')]) list.replaceChildren();
    buttons = characters.map((character) => {
      const button = element('button', { type: 'button' });
      button.dataset.slot = character.slot;
      $(listOf(character)).append(element('li', {}, [button]));
      return button;
    });
    if (focused) document.querySelector(`.slots button[data-slot="${focused}"]`)?.focus();
  }
  characters.forEach((character, i) => {
    const label = characterLabel(character);
    const mark = changed.has(character.slot);
    const button = buttons[i];
    if (button.firstChild?.nodeValue !== label || Boolean(button.querySelector('.mark')) !== mark) {
      button.replaceChildren(label, ...(mark ? [' ', element('span', { className: 'mark', textContent: 'changed' })] : []));
    }
    update(button, 'ariaPressed', String(character.slot === state.slot));
    update(button.parentElement.dataset, 'name', (character.name ?? '').toLowerCase());
  });
  filterCharacters();
  const count = changed.size;
  update($('changed-count'), 'textContent',
    count === 0 ? 'No character changed' : `${count} character${count === 1 ? '' : 's'} changed`);
  showChangeState();
}

async function refresh() {
  showCharacters(state.current.characters());
  if (state.slot) await showCharacter(state.slot);
  if (state.text) await showText({ keepPlace: true });
}

function showChangeState() {
  update($('changed-state'), 'textContent', state.current.sameBytes(state.original)
    ? 'Nothing has been changed yet: the new save is the one you opened.'
    : 'The new save holds your changes. The file you opened is unchanged.');
}

// Narrows the lists to the characters whose slot number or name holds what
// is typed in the filter, letter case ignored.
function filterCharacters() {
  const typed = $('character-filter').value.toLowerCase();
  const items = [...document.querySelectorAll('.slots li')];
  for (const item of items) {
    update(item, 'hidden', !(item.firstChild.dataset.slot.includes(typed) || item.dataset.name.includes(typed)));
  }
  const shown = items.filter((item) => !item.hidden).length;
  update($('filter-state'), 'textContent', typed ? `${shown} of ${items.length} characters shown` : '');
  setTabStop();
}

// The characters the player can move through, in order.
const shownButtons = () => [...document.querySelectorAll('.slots li:not([hidden]) > button')];

// The lists take one place in the tab order, the chosen character's (or the
// first shown); the arrow keys, Home and End move between the characters.
function setTabStop(stop) {
  const buttons = shownButtons();
  const target = stop ?? buttons.find((b) => b.dataset.slot === String(state.slot)) ?? buttons[0];
  for (const button of document.querySelectorAll('.slots button')) {
    update(button, 'tabIndex', button === target ? 0 : -1);
  }
}

function moveInLists(event) {
  const buttons = shownButtons();
  const at = buttons.indexOf(event.target);
  const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: buttons.length - 1 }[event.key];
  if (at < 0 || to === undefined || event.altKey || event.ctrlKey || event.metaKey) return;
  event.preventDefault();
  buttons[Math.max(0, Math.min(to, buttons.length - 1))].focus();
}

// Puts the form's title in view and, in a wide window where the lists
// scroll in their own column beside the form, the chosen character in the
// visible part of that column, the title at the top when both were not
// in view already.
function bringIntoView(slot) {
  const title = $('character-title');
  const button = document.querySelector(`.slots button[data-slot="${slot}"]`);
  const inView = (box, top, bottom) => box.top >= top && box.bottom <= bottom;
  const titleShown = () => inView(title.getBoundingClientRect(), 0, innerHeight);
  if (!sideBySide() || !button) {
    if (!titleShown()) title.scrollIntoView({ block: 'nearest' });
    return;
  }
  const lists = $('lists');
  const visible = () => {
    const box = lists.getBoundingClientRect();
    return [Math.max(box.top, 0), Math.min(box.bottom, innerHeight)];
  };
  if (titleShown() && inView(button.getBoundingClientRect(), ...visible())) return;
  title.scrollIntoView({ block: 'start' });
  const [top, bottom] = visible();
  const place = button.getBoundingClientRect();
  if (place.top < top) lists.scrollTop -= top - place.top;
  else if (place.bottom > bottom) lists.scrollTop += place.bottom - bottom;
}

// As page.css has it.
const sideBySide = () => matchMedia('(min-width: 64rem)').matches;

// --- A character's fields ----------------------------------------------

function element(tag, properties = {}, children = []) {
  const node = Object.assign(document.createElement(tag), properties);
  node.append(...children);
  return node;
}

function choiceList(index, choices) {
  return element(
    'datalist',
    { id: `choices-${index}` },
    choices.map(({ value, note }) => element('option', { value, label: note })),
  );
}

const noteOf = (field) => (field.shown ? field.note : `${field.note} (not in the text)`.trim());

function fieldRow(field, index, editable) {
  const id = `field-${index}`;
  const input = element('input', {
    id,
    name: field.name,
    value: field.value,
    readOnly: !editable,
    spellcheck: false,
    autocomplete: 'off',
  });
  input.dataset.original = field.value;
  if (field.choices >= 0) input.setAttribute('list', `choices-${field.choices}`);
  input.setAttribute('aria-describedby', `${id}-note ${id}-problem`);
  // Marks the field while its value differs from the save's, until applied.
  const mark = element('span', { id: `${id}-changed`, className: 'mark', textContent: 'changed', hidden: true });
  const note = noteOf(field);
  const noteSpan = element('span', { id: `${id}-note`, className: 'note', textContent: note });
  noteSpan.dataset.original = note;
  const problem = element('span', { id: `${id}-problem`, className: 'problem' });
  if (editable) input.addEventListener('input', () => checkField(input));
  return element('div', { className: 'field' }, [
    element('label', { htmlFor: id }, [field.name, ' ', mark]),
    input,
    noteSpan,
    problem,
  ]);
}

// Shows the value `field` has in the save in the form's row `index`, as
// not changed. Only what differs is written: each write would have the
// page laid out anew.
function fillRow(field, index) {
  const input = $(`field-${index}`);
  const note = $(`${input.id}-note`);
  update(input, 'value', field.value);
  update(input.dataset, 'original', field.value);
  update(note.dataset, 'original', noteOf(field));
  update(note, 'textContent', note.dataset.original);
  if (input.hasAttribute('aria-invalid')) input.removeAttribute('aria-invalid');
  update($(`${input.id}-problem`), 'textContent', '');
  update($(`${input.id}-changed`), 'hidden', true);
  pendingChecks.delete(input);
}

// The fields a character's form has, and the codes they offer.
const formShape = (answer) => JSON.stringify([answer.editable, answer.choices,
  answer.groups.map((group) => [group.title, group.fields.map((field) => [field.name, field.choices])])]);

async function showCharacter(slot) {
  const answer = state.current.fields(slot);
  if (!answer) {
    state.slot = 0;
    $('character').hidden = true;
    return;
  }
  const shown = state.slot === slot;
  state.slot = slot;
  for (const button of document.querySelectorAll('.slots button')) {
    update(button, 'ariaPressed', String(button.dataset.slot === String(slot)));
  }
  setTabStop();
  update($('character-title'), 'textContent', labelOf(slot));
  // A character whose form has the rows of the one shown, as every custom
  // character's has, takes the rows shown: building some two hundred rows
  // anew costs more than the core's answer.
  const shape = formShape(answer);
  if (shape === state.formShape && !$('character').hidden) {
    answer.groups.flatMap((group) => group.fields).forEach(fillRow);
  } else {
    state.formShape = shape;
    showForm(answer);
  }
  update($('download-entry'), 'textContent', `Download slot ${slot}'s entry file`);
  update($('download-thumbnail'), 'textContent', `Download slot ${slot}'s thumbnail file`);
  if (!shown) bringIntoView(slot);
}

function showForm(answer) {
  let index = 0;
  $('groups').replaceChildren(
    ...answer.choices.map((choices, i) => choiceList(i, choices)),
    ...answer.groups.map((group) =>
      element('fieldset', {}, [
        element('legend', { textContent: group.title }),
        ...group.fields.map((field) => fieldRow(field, index++, answer.editable)),
      ]),
    ),
  );
  $('apply-fields').hidden = !answer.editable;
  $('fields').querySelector('[type=reset]').hidden = !answer.editable;
  $('character').hidden = false;
}

// Marks a value the import would not take as typed, before it is applied.
const pendingChecks = new Map();
async function checkField(input) {
  const asked = input.value;
  pendingChecks.set(input, asked);
  const problem = $(`${input.id}-problem`);
  const note = $(`${input.id}-note`);
  $(`${input.id}-changed`).hidden = asked === input.dataset.original;
  if (asked === input.dataset.original) {
    input.removeAttribute('aria-invalid');
    problem.textContent = '';
    note.textContent = note.dataset.original;
    return;
  }
  const answer = state.current.check(state.slot, input.name, asked);
  if (pendingChecks.get(input) !== asked) return;
  const trouble = answer.problem || (answer.applied ? '' : 'This value would not be stored.');
  if (trouble) input.setAttribute('aria-invalid', 'true');
  else input.removeAttribute('aria-invalid');
  problem.textContent = trouble.trim();
  note.textContent = answer.applied ? `stored as ${answer.stored} ${answer.note}`.trim() : '';
}

async function applyFields() {
  const changed = [...$('fields').querySelectorAll('input')].filter(
    (input) => input.value !== input.dataset.original,
  );
  if (changed.length === 0) {
    say('Nothing to apply: no field was changed.');
    return;
  }
  const slot = state.slot;
  const text = await kv5.editText(slot, changed.map((input) => [input.name, input.value]));
  const name = besideSave('changes.txt');
  await change(`the changes to slot ${slot}'s fields`, ['-w', argumentFor(state.name), name], [slot],
    (save) => withLines(save.apply(text, name), kv5.said.wroteSave()));
}

// --- Copying -----------------------------------------------------------

// Does an extracting command on a save's session and gives the file it
// would write, [name, bytes].
async function extract(option, saveName, session, slotText) {
  const args = [option, argumentFor(saveName), String(slotText)];
  const slot = slotOf(args, String(slotText));
  if (slot === null) return undefined;
  const thumbnail = option === '-xt';
  const taken = thumbnail ? session.extractThumbnail(slot) : session.extract(slot);
  const { file, line } = kv5.said.saved(slot, thumbnail);
  say(commandLine(args), taken.messages + (taken.ok ? line : ''));
  return taken.ok ? [file, taken.bytes] : undefined;
}

async function downloadPart(option) {
  const made = await extract(option, state.name, state.current, state.slot);
  if (made) download(...made);
}

const partName = (option) => (option.endsWith('t') ? 'thumbnail' : 'character');

// Puts a file into slot `slot` of the current save: as the character with
// "-rp", as its thumbnail with "-rt"; `label` names the step.
async function putFile(option, slotText, [fileName, bytes], label) {
  const name = besideSave(fileName);
  const args = [option, argumentFor(state.name), String(slotText), name];
  const slot = slotOf(args, String(slotText));
  if (slot === null) return;
  const thumbnail = option === '-rt';
  await change(label, args, [slot], (save) =>
    withLines(thumbnail ? save.replaceThumbnail(slot, bytes, name) : save.replace(slot, bytes, name),
              kv5.said.replaced(slot, name, thumbnail)));
}

async function copyFrom(extractOption, putOption, saveName, session, fromSlot, toSlot) {
  const made = await extract(extractOption, saveName, session, fromSlot);
  const from = saveName === state.name ? '' : ` of ${saveName}`;
  const label = `slot ${fromSlot}${from}'s ${partName(putOption)} copied into slot ${toSlot}`;
  if (made) await putFile(putOption, toSlot, made, label);
}

async function putFromFile(option) {
  const [file] = $('put-file').files;
  if (!file) {
    say('Choose a file to put into the slot first.');
    return;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  const slot = $('put-slot').value;
  await putFile(option, slot, [file.name, bytes], `${file.name} put into slot ${slot} as its ${partName(option)}`);
}

async function openSecond(name, bytes) {
  const session = await openAs(`Opening the second save ${name}`, name, bytes);
  state.second?.session.release();
  state.second = session ? { name, session } : null;
  $('second-slot').replaceChildren(
    ...(session?.characters() ?? []).map((character) =>
      element('option', { value: character.slot, textContent: characterLabel(character) }),
    ),
  );
}

async function copyFromSecond(extractOption, putOption) {
  if (!state.second || !$('second-slot').value) {
    say('Open a second save to copy from first.');
    return;
  }
  const { name, session } = state.second;
  const [from, to] = [$('second-slot').value, $('put-slot').value];
  await copyFrom(extractOption, putOption, name, session, from, to);
}

// --- The whole text ----------------------------------------------------

// Shows the text of the current save; { keepPlace: true } for the same
// text after a change, shown where the player was.
async function showText({ keepPlace = false } = {}) {
  const aligned = $('aligned-text').checked;
  const args = [...(aligned ? ['-t'] : []), argumentFor(state.name)];
  const { file, line } = kv5.said.textFile(state.name);
  const exported = file ? state.current.text(aligned) : { messages: '' };
  say(commandLine(args), exported.messages + line);
  if (!file) return;
  state.text = file;
  // The editor reads CR LF as one line end, as a textarea would.
  if (keepPlace) editor.update(exported.text);
  else $('text-area').value = exported.text;
  state.shownText = exported.text;
}

async function applyText() {
  if (!state.text) {
    say('Show the text first, then change it.');
    return;
  }
  const name = besideSave(state.text);
  const text = $('text-area').value;
  await change('the text applied', ['-w', argumentFor(state.name), name], kAllSlots, (save) =>
    withLines(save.apply(text, name), kv5.said.wroteSave()));
}

// --- Comparing ---------------------------------------------------------

// Compares `before` with `after` (each [name, session]) as "-d" does: its
// output goes to the messages, and each character's part of it is shown
// under the character.
async function compare(before, after) {
  const answer = before[1].compare(after[1]);
  say(commandLine(['-d', argumentFor(before[0]), argumentFor(after[0])]),
      answer.sections.map(({ text }) => text).join('') + answer.closing);
  $('compare-result').replaceChildren(
    ...answer.sections.map(({ slot, text }) =>
      element('section', { className: 'difference' }, [
        element('h3', { textContent: labelOf(slot) }),
        element('pre', { textContent: text }),
      ]),
    ),
    element('pre', { textContent: answer.closing }),
  );
}

// --- Wiring ------------------------------------------------------------

// What the player asks for runs in turn, one thing after the other: an undo
// pressed twice quickly undoes two steps, each shown in full.
let turn = Promise.resolve();

function when(id, event, action) {
  $(id).addEventListener(event, (...args) => {
    turn = turn.then(async () => {
      try {
        await action(...args);
      } catch (error) {
        say(`Something went wrong in the page: ${error}`);
      }
    });
  });
}

function wire() {
  const chosen = (id, open) => () => $(id).files[0] && openFile($(id).files[0], open);
  when('save-file', 'change', chosen('save-file', openSave));
  when('demo', 'click', async () => openSave('KV5SaveData', await kv5.demoSave()));
  // The form's submit must be stopped at once, not in its turn.
  $('fields').addEventListener('submit', (event) => event.preventDefault());
  when('fields', 'submit', applyFields);
  when('fields', 'reset', () =>
    setTimeout(() => $('fields').querySelectorAll('input').forEach(checkField)));
  when('download-entry', 'click', () => downloadPart('-x'));
  when('download-thumbnail', 'click', () => downloadPart('-xt'));
  when('copy-entry', 'click', () =>
    copyFrom('-x', '-rp', state.name, state.current, state.slot, $('copy-slot').value));
  when('copy-thumbnail', 'click', () =>
    copyFrom('-xt', '-rt', state.name, state.current, state.slot, $('copy-slot').value));
  when('put-entry', 'click', () => putFromFile('-rp'));
  when('put-thumbnail', 'click', () => putFromFile('-rt'));
  when('second-file', 'change', chosen('second-file', openSecond));
  when('second-entry', 'click', () => copyFromSecond('-x', '-rp'));
  when('second-thumbnail', 'click', () => copyFromSecond('-xt', '-rt'));
  when('compare-original', 'click', () =>
    compare([`original/${state.name}`, state.original], [state.name, state.current]));
  when('compare-second', 'click', () =>
    state.second
      ? compare([state.name, state.current], [`second/${state.second.name}`, state.second.session])
      : say('Open a second save to compare with first.'));
  when('show-text', 'click', () => showText());
  when('apply-text', 'click', applyText);
  when('download-save', 'click', () => {
    download(state.name, state.current.bytes());
    state.downloaded = history.position;
  });
  when('revert', 'click', async () => {
    const before = entriesOf(state.current, kAllSlots);
    state.current.release();
    state.current = state.original.copy();
    record('going back to the original', before);
    say('Back to the save as it was opened.');
    await refresh();
  });
  when('adopt', 'click', () => {
    state.original.release();
    state.original = state.current.copy();
    history.clear();
    showHistory();
    say('The new save is now the original.');
    showCharacters(state.characters);
  });
  when('undo', 'click', () => stepThrough('undo'));
  when('redo', 'click', () => stepThrough('redo'));
  document.addEventListener('keydown', historyKeys);
  if (onMac) $('history-keys').textContent = 'or Cmd+Z, Cmd+Shift+Z';
  window.addEventListener('beforeunload', (event) => {
    if (unsaved()) event.preventDefault();
  });

  // The lists: a click chooses a character, the arrow keys move between them.
  for (const list of [$('custom-list'), $('replay-list')]) {
    when(list.id, 'click', (event) => {
      const button = event.target.closest('button');
      return button && showCharacter(Number(button.dataset.slot));
    });
    list.addEventListener('keydown', moveInLists);
    list.addEventListener('focusin', (event) => setTabStop(event.target));
  }
  $('character-filter').addEventListener('input', filterCharacters);
  $('character-filter').addEventListener('keydown', (event) => {
    if (event.key !== 'Escape' || !event.target.value) return;
    event.preventDefault();
    event.target.value = '';
    filterCharacters();
  });

  // Dropping a file anywhere on the page opens it.
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    $('drop-hint').hidden = false;
  });
  document.addEventListener('dragleave', () => ($('drop-hint').hidden = true));
  document.addEventListener('drop', async (event) => {
    event.preventDefault();
    $('drop-hint').hidden = true;
    const [file] = event.dataTransfer.files;
    if (file) await openFile(file, openSave);
  });
}

await kv5.ready;
editor = textEditor($('text-area'), 'text-area-label');
wire();
document.body.dataset.ready = 'true';
performance.mark('kv5save ready');
