// The ids of every text the user sees. The English table (cuLocalization) holds a text for each.
#pragma once

constexpr int sidFileNotFound = 2066;  // "File not found: %1"
constexpr int sidPathNotFound = 2067;  // "Path not found: %1"
constexpr int sidApplicationTitle = 4000;  // "Quillnote"
