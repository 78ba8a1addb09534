#pragma once

#include <string>

#include "values/value_store.h"

namespace kv5 {

// The note the export writes after a field's value: " (name)" for a code the
// code name tables know, with ", label" for equipment that belongs to a slot;
// what a model type code stands for. Empty for most fields, and for a code
// that matches only a record no registration filled.
std::string Annotation(int field, const ValueRecord& value);

}  // namespace kv5
