// The ES module entry: the CommonJS one, imported as such (Emscripten's own
// ES module output does not run under Node.js 20).
import kv5save from './index.cjs';

export const { run, open, editText, Session, NotASave } = kv5save;
