// The page: a front over window.kv5. It does the tool's commands on
// sessions the core keeps open, shows each as a player would type it, and
// shows what the core answers; it knows nothing of the save or the text
// itself: fields, values, notes, code names and messages all come from the
// core.

const { kv5 } = window;
const $ = (id) => document.getElementById(id);

const state = {
  name: '', // the save's file name, which the new save keeps
  original: null, // a session on the bytes as opened, never changed
  current: null, // a session on the bytes with every change applied so far
  slot: 0, // the character shown in the form
  text: '', // the name of the text file shown, once shown
  second: null, // {name, session}: a second save to copy from
  // The characters the list shows, and the rows the form has, so that the
  // page does not build anew what a change or a choice left as it was.
  listed: '',
  form: '',
};

// The messages pane: each command as a player would type it, then what the
// tool printed.
function say(heading, output = '') {
  const pane = $('messages');
  pane.textContent += `${heading}\n${output}${output && !output.endsWith('\n') ? '\n' : ''}\n`;
  pane.scrollTop = pane.scrollHeight;
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

// Does the work of command `args` on the current save, `work` on its
// session; a command that wrote into the save shows the save anew.
async function change(args, work) {
  const outcome = work(state.current);
  say(commandLine(args), outcome.messages);
  if (outcome.written) await refresh();
  return outcome;
}

// The slot a command's entry number argument names, or nothing after the
// command and its error.
function slotOf(args, text) {
  const { slot, messages } = kv5.said.slot(text);
  if (slot === null) say(commandLine(args), messages);
  return slot;
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
  Object.assign(state, { name, original: session.copy(), current: session, slot: 0, text: '' });
  $('save-name').textContent = name;
  $('download-save').textContent = `Download ${name}`;
  $('text-area').value = '';
  for (const id of ['characters', 'put', 'text', 'compare', 'download']) $(id).hidden = false;
  $('compare-result').replaceChildren();
  $('character').hidden = true;
  showCharacters(session.characters());
  showChangeState();
}

async function openFile(file, open) {
  await open(file.name, new Uint8Array(await file.arrayBuffer()));
}

// --- The characters ----------------------------------------------------

function characterLabel({ slot, name }) {
  return `Slot ${slot}: ${name ?? '(no name in the text)'}`;
}

function showCharacters(characters) {
  state.listed = JSON.stringify(characters);
  for (const list of [$('custom-list'), $('replay-list')]) list.replaceChildren();
  for (const character of characters) {
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = characterLabel(character);
    button.dataset.slot = character.slot;
    button.setAttribute('aria-pressed', String(character.slot === state.slot));
    button.addEventListener('click', () => showCharacter(character.slot));
    const item = document.createElement('li');
    item.append(button);
    $(character.replay ? 'replay-list' : 'custom-list').append(item);
  }
}

async function refresh() {
  const characters = state.current.characters();
  if (JSON.stringify(characters) !== state.listed) showCharacters(characters);
  if (state.slot) await showCharacter(state.slot);
  if (state.text) await showText();
  showChangeState();
}

function showChangeState() {
  $('changed-state').textContent = state.current.sameBytes(state.original)
    ? 'Nothing has been changed yet: the new save is the one you opened.'
    : 'The new save holds your changes. The file you opened is unchanged.';
}

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
  const note = noteOf(field);
  const noteSpan = element('span', { id: `${id}-note`, className: 'note', textContent: note });
  noteSpan.dataset.original = note;
  const problem = element('span', { id: `${id}-problem`, className: 'problem' });
  if (editable) input.addEventListener('input', () => checkField(input));
  return element('div', { className: 'field' }, [
    element('label', { htmlFor: id, textContent: field.name }),
    input,
    noteSpan,
    problem,
  ]);
}

async function showCharacter(slot) {
  const answer = state.current.fields(slot);
  if (!answer) {
    state.slot = 0;
    $('character').hidden = true;
    return;
  }
  const shown = state.slot === slot;
  const form = formOf(answer);
  const sameForm = form === state.form && !$('character').hidden;
  state.form = form;
  state.slot = slot;
  let title = `Slot ${slot}`;
  for (const button of document.querySelectorAll('.slots button')) {
    const chosen = button.dataset.slot === String(slot);
    button.setAttribute('aria-pressed', String(chosen));
    if (chosen) title = button.textContent;
  }
  $('character-title').textContent = title;
  if (sameForm) {
    answer.groups.flatMap((group) => group.fields).forEach(fillRow);
  } else {
    showForm(answer);
  }
  $('download-entry').textContent = `Download slot ${slot}'s entry file`;
  $('download-thumbnail').textContent = `Download slot ${slot}'s thumbnail file`;
  if (!shown) $('character-title').scrollIntoView({ block: 'nearest' });
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

// The fields a character's form has, and the codes they offer.
const formOf = (answer) => JSON.stringify([answer.editable, answer.choices,
  answer.groups.map((group) => [group.title, group.fields.map((field) => [field.name, field.choices])])]);

// A character whose form has the rows of the one shown, as every custom
// character's has, takes the rows shown: building some two hundred rows
// anew costs more than the core's answer. Puts `field` into row `index`.
function fillRow(field, index) {
  const input = $(`field-${index}`);
  const note = $(`${input.id}-note`);
  if (input.value !== field.value) input.value = field.value;
  input.dataset.original = field.value;
  input.removeAttribute('aria-invalid');
  if (note.textContent !== noteOf(field)) note.textContent = noteOf(field);
  note.dataset.original = noteOf(field);
  $(`${input.id}-problem`).textContent = '';
}

// Marks a value the import would not take as typed, before it is applied.
const pendingChecks = new Map();
async function checkField(input) {
  const asked = input.value;
  pendingChecks.set(input, asked);
  const problem = $(`${input.id}-problem`);
  const note = $(`${input.id}-note`);
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

async function applyFields(event) {
  event.preventDefault();
  const changed = [...$('fields').querySelectorAll('input')].filter(
    (input) => input.value !== input.dataset.original,
  );
  if (changed.length === 0) {
    say('Nothing to apply: no field was changed.');
    return;
  }
  const text = await kv5.editText(
    state.slot,
    changed.map((input) => [input.name, input.value]),
  );
  const name = besideSave('changes.txt');
  await change(['-w', argumentFor(state.name), name], (save) =>
    withLines(save.apply(text, name), kv5.said.wroteSave()));
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

// Puts a file into slot `slot` of the current save: as the character with
// "-rp", as its thumbnail with "-rt".
async function putFile(option, slotText, [fileName, bytes]) {
  const name = besideSave(fileName);
  const args = [option, argumentFor(state.name), String(slotText), name];
  const slot = slotOf(args, String(slotText));
  if (slot === null) return;
  const thumbnail = option === '-rt';
  await change(args, (save) =>
    withLines(thumbnail ? save.replaceThumbnail(slot, bytes, name) : save.replace(slot, bytes, name),
              kv5.said.replaced(slot, name, thumbnail)));
}

async function copyFrom(extractOption, putOption, saveName, session, fromSlot, toSlot) {
  const made = await extract(extractOption, saveName, session, fromSlot);
  if (made) await putFile(putOption, toSlot, made);
}

async function putFromFile(option) {
  const [file] = $('put-file').files;
  if (!file) {
    say('Choose a file to put into the slot first.');
    return;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  await putFile(option, $('put-slot').value, [file.name, bytes]);
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

async function showText() {
  const aligned = $('aligned-text').checked;
  const args = [...(aligned ? ['-t'] : []), argumentFor(state.name)];
  const { file, line } = kv5.said.textFile(state.name);
  const exported = file ? state.current.text(aligned) : { messages: '' };
  say(commandLine(args), exported.messages + line);
  if (!file) return;
  state.text = file;
  $('text-area').value = exported.text;
}

async function applyText() {
  if (!state.text) {
    say('Show the text first, then change it.');
    return;
  }
  const name = besideSave(state.text);
  const text = $('text-area').value;
  await change(['-w', argumentFor(state.name), name], (save) =>
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
  const labels = new Map(
    [...document.querySelectorAll('.slots button')].map((b) => [b.dataset.slot, b.textContent]),
  );
  $('compare-result').replaceChildren(
    ...answer.sections.map(({ slot, text }) =>
      element('section', { className: 'difference' }, [
        element('h3', { textContent: labels.get(String(slot)) ?? `Slot ${slot}` }),
        element('pre', { textContent: text }),
      ]),
    ),
    element('pre', { textContent: answer.closing }),
  );
}

// --- Wiring ------------------------------------------------------------

function when(id, event, action) {
  $(id).addEventListener(event, async (...args) => {
    try {
      await action(...args);
    } catch (error) {
      say(`Something went wrong in the page: ${error}`);
    }
  });
}

function wire() {
  const chosen = (id, open) => () => $(id).files[0] && openFile($(id).files[0], open);
  when('save-file', 'change', chosen('save-file', openSave));
  when('demo', 'click', async () => openSave('KV5SaveData', await kv5.demoSave()));
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
  when('show-text', 'click', showText);
  when('apply-text', 'click', applyText);
  when('download-save', 'click', () => download(state.name, state.current.bytes()));
  when('revert', 'click', async () => {
    state.current.release();
    state.current = state.original.copy();
    say('Back to the save as it was opened.');
    await refresh();
  });
  when('adopt', 'click', () => {
    state.original.release();
    state.original = state.current.copy();
    say('The new save is now the original.');
    showChangeState();
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
wire();
document.body.dataset.ready = 'true';
performance.mark('kv5save ready');
