// Binding a statement's phrases to a command's argument pattern by their particles.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace yume {

class TYumeBase;
class THashNode;

// The particles of a pattern: "?の,?行目を" -> {"の", "行目を"}; "" -> none; "?" -> {""}.
std::vector<std::string> PatternParticles(std::string_view pattern);
// The same as views into the pattern, the first max of them in out; returns how many there are.
size_t PatternSlotViews(std::string_view pattern, std::string_view* out, size_t max);

// True when a phrase may fill a slot with the given particle: its ending equals the particle,
// or an equivalent one ("を" for "と" and "の"; "と" and "の" for "を"; "へ" for "に" and back).
// len receives the length of the ending that matched.
bool ParticleMatches(std::string_view phrase, std::string_view particle, size_t* len = nullptr);

// Matches the argument stack to the word's pattern: on return the stack holds the arguments in
// slot order, last slot on top, particles removed; phrases that matched no slot stay below.
// With one argument too few, それ fills the first slot (y.OmittedFilled is set). Returns the
// number of slots.
size_t BindArguments(TYumeBase& y, const THashNode& word);

}  // namespace yume
