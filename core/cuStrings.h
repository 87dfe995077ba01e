// The ids of every text the user sees. The English table (cuLocalization) holds a text for each.
#pragma once

constexpr int sidFileNotFound = 2066;  // "File not found: %1"
constexpr int sidDataCorrupt = 2327;  // "Data provided are corrupt"
constexpr int sidNewerFormat = 2328;  // "The format of the data provided is of a newer version — perhaps you should update the program version"
constexpr int sidNodeNotRead = 2329;  // "Node "%1" was not read"
constexpr int sidAttributeNotRead = 2330;  // "Attribute "%1" was not read"
constexpr int sidValueMustBeSet = 2331;  // "The value must be [set]"
constexpr int sidUnsupportedElement = 2333;  // "[Unsupported] element "%1" in this editor"
