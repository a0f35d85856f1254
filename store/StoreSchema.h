// The schema of the profile store: 9 tables, each followed by the index on its
// row id where it has one, in creation order. Every statement is
// "IF NOT EXISTS", so running them again changes nothing.
#pragma once

#include <array>

namespace keyloft {

inline constexpr int kSchemaTableCount = 9;
inline constexpr int kSchemaIndexCount = 8;

const std::array<const char*, kSchemaTableCount + kSchemaIndexCount>& SchemaStatements();

}  // namespace keyloft
