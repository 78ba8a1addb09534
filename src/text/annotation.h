#pragma once

#include <string>

#include "values/value_store.h"

namespace kv5 {

// Appends the note the export writes after a field's value: " (name)" for a
// code the code name tables know, with ", label" for equipment that belongs
// to a slot; what a model type code stands for. Nothing for most fields, and
// nothing for a code that matches only a record no registration filled.
void AppendAnnotation(std::string& out, int field, const ValueRecord& value);

}  // namespace kv5
