// kv5save: the tool's core in WebAssembly. Slots are numbered 1 to 118, as
// the player counts them: 1 to 50 hold the player's own characters, 51 to
// 118 those that came with replays. Every text is what the command line
// prints or writes for the same work, byte for byte.

/** Bytes as the package takes them; a string is taken as UTF-8. */
export type Content = Uint8Array | ArrayBuffer | ArrayBufferView | string;

export interface RunOptions {
  /** The in-memory directory the run starts in; "/home/player" by default. */
  directory?: string;
}

export interface RunResult {
  /** The exit status the command line gives. */
  status: number;
  /** What it printed, as UTF-8 text. */
  stdout: string;
  /** Every file the directory holds afterwards, by its relative name. */
  files: Record<string, Uint8Array>;
  /** The bytes of WebAssembly memory the core holds after the run. */
  memory: number;
}

/**
 * Runs the command line in memory with `args` (after the program's name), in
 * a directory holding `files` (relative name: content); nothing of one run
 * reaches the next.
 */
export function run(args: readonly (string | number)[], files?: Record<string, Content>,
                    options?: RunOptions): Promise<RunResult>;

/** Opens the save `bytes`; `name` stands for it in messages. Rejects with NotASave. */
export function open(bytes: Content, name?: string): Promise<Session>;

/** The text that gives the character in `slot` the values of `changes`, for Session.apply. */
export function editText(slot: number, changes: Iterable<readonly [string, string]>): Promise<string>;

export interface Character {
  slot: number;
  /** Null where the text leaves the name out. */
  name: string | null;
  /** In a replay slot (51 to 118), never written back. */
  replay: boolean;
}

export interface Choice {
  value: string;
  note: string;
}

export interface Field {
  /** The key of its line in the text. */
  name: string;
  /** After the "="; empty when the entry holds none. */
  value: string;
  note: string;
  /** The text writes the line. */
  shown: boolean;
  /** Index into CharacterFields.choices, or -1. */
  choices: number;
}

export interface CharacterFields {
  slot: number;
  /** A custom slot: the write mode changes it. */
  editable: boolean;
  groups: { title: string; fields: Field[] }[];
  choices: Choice[][];
}

export interface Exported {
  /** "Processing save data." and the count of entries. */
  messages: string;
  /** The text the read mode writes into its text file. */
  text: string;
}

export interface FieldCheck {
  /** What the import reports; empty when it takes the line quietly. */
  problem: string;
  applied: boolean;
  stored: string;
  note: string;
}

export interface Changed {
  /** The operation did its whole work and reported no problem. */
  ok: boolean;
  /** It wrote into the save. */
  written: boolean;
  messages: string;
}

export interface Extracted {
  ok: boolean;
  /** Null unless ok. */
  bytes: Uint8Array | null;
  messages: string;
}

export interface Comparison {
  differ: boolean;
  /** A "[ENTRY<n>]" section for each slot that differs. */
  sections: { slot: number; text: string }[];
  /** The counts after the sections. */
  closing: string;
}

/** A save held in memory. Release it once done: the core keeps its bytes until then. */
export class Session {
  private constructor();
  /** What opening it said: "Save data loaded." and the edition line. */
  readonly messages: string;
  /** The name that stands for the save in messages. */
  readonly name: string;
  /** The save as it now is; its length never changes. */
  bytes(): Uint8Array;
  /** The slots that hold a character, in slot order. */
  characters(): Character[];
  /** The character in `slot`, or null for an empty slot. */
  fields(slot: number): CharacterFields | null;
  /** The read mode's text; `aligned` as the option -t. */
  text(aligned?: boolean): Exported;
  /** What the write mode would make of the line `field = value` in the section of `slot`. */
  check(slot: number, field: string, value: string): FieldCheck;
  /** The write mode: puts the values of `text` into the save; `name` names the text. */
  apply(text: string, name?: string): Changed;
  /** The extract modes: a copy of the slot's entry, or of its thumbnail. */
  extract(slot: number): Extracted;
  extractThumbnail(slot: number): Extracted;
  /** The replace modes: `bytes` become the slot's entry, or its thumbnail. */
  replace(slot: number, bytes: Content, name?: string): Changed;
  replaceThumbnail(slot: number, bytes: Content, name?: string): Changed;
  /** What differs from this save, the old one, to `newer`, as the compare mode prints it. */
  compare(newer: Session, aligned?: boolean): Comparison;
  /** A session of its own on the same bytes. */
  copy(): Session;
  /** Gives the save's memory back; the session cannot be used afterwards. */
  release(): void;
}

/** Bytes that are no save kv5save works on; `messages` says why, as the command line would. */
export class NotASave extends Error {
  readonly status: 'unreadable' | 'not edition five';
  readonly messages: string;
}
