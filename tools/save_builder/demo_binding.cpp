// The demo save for the page's engine: the page offers it to a player who
// has no save at hand. Built into the engine only, beside the core's own
// binding, so that the core needs nothing of the builder.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "save_builder/demo_save.h"

namespace {

// The demo save as a Uint8Array of JavaScript's own.
emscripten::val DemoSave() {
  const std::vector<std::uint8_t> save = kv5::builder::BuildDemoSave();
  return emscripten::val(emscripten::typed_memory_view(save.size(), save.data()))
      .call<emscripten::val>("slice");
}

}  // namespace

EMSCRIPTEN_BINDINGS(kv5_demo_save) { emscripten::function("demoSave", &DemoSave); }
