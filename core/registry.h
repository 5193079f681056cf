// The built-in vocabulary: command words with their patterns and handler numbers, system
// variables and constants. Entered into the dictionary at every run start.
#pragma once

namespace yume {

class TYumeBase;

// Enters every built-in word into the (cleared) global table and sets the references the
// interpreter keeps to some of them.
void RegisterAll(TYumeBase& y);

}  // namespace yume
