#pragma once

#include <string>
#include <vector>

#include "values/value_store.h"

namespace kv5 {

// The code name table whose names the export writes beside a field's values.
enum class CodeTable { kNone, kModelType, kVoiceSet, kFightingStyle, kEquipment };
CodeTable CodeTableOf(int field);

// Appends the note the export writes after a field's value: " (name)" for a
// code the code name tables know, with ", label" for equipment that belongs
// to a slot; what a model type code stands for. Nothing for most fields, and
// nothing for a code that matches only a record no registration filled.
void AppendAnnotation(std::string& out, int field, const ValueRecord& value);

// Every value of `field` to which AppendAnnotation gives a note from a table,
// each once, in table order: the codes a front end can offer by name. The
// same for every field of one table and length; none for a field without
// codes, and for equipment only in the four-byte fields.
std::vector<ValueRecord> AnnotatedValues(int field);

}  // namespace kv5
