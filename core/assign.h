// The assignment statements: name は value, name = value, element and item assignment.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/expr.h"
#include "core/hash.h"

namespace yume {

class TYumeBase;
struct TNameRef;
struct TExprCode;

// name (the phrase without its "は", or before "="); the value is the rest of the statement
// from pos in text. With phrases on the argument stack it is an item assignment (X の name).
void AssignStatement(TYumeBase& y, const std::string& name, std::string_view text, size_t& pos);
// The same once the value's text has been read (y.Cur already after it). A caller that assigns
// to the same name again and again may keep what it means in ref (prepared without folding),
// and the value's split in code.
void AssignValue(TYumeBase& y, const std::string& name, std::string_view valueText,
                 TNameRef* ref = nullptr, const TExprCode* code = nullptr);

// Whether "name は valueText" is a plain assignment once and for all: a name that is neither
// refused nor an element ("#"), and a value that cannot be appended in place. Such a statement
// may be run by AssignPlain, which skips those checks.
bool PlainAssignment(std::string_view name, std::string_view valueText);
void AssignPlain(TYumeBase& y, const std::string& name, std::string_view valueText, TNameRef& ref,
                 const TExprCode* code = nullptr);

// Whether "name は valueText", valueText split as code, is "name & term & ..." (see
// AppendToVariable).
bool IsAppendStatement(std::string_view name, const TExprCode* code);
// "X は、X & term & ..." with X a plain variable: the terms are worked out and appended to X's
// value where it is, whatever they are, so that building a text piece by piece stays linear. The
// outcome is what evaluating the whole and storing it gives: should the terms change X (a call
// writing it), X's value from before is kept aside when it is first written, and the whole is
// stored as any value is. False (nothing done) when X is no plain variable.
bool AppendToVariable(TYumeBase& y, const std::string& name, TNameRef* ref,
                      std::string_view valueText, const TExprCode& code);

// Stores a number a calculation has just made (y.LastType "e") under name, as AssignPlain stores
// a value.
void StoreNumber(TYumeBase& y, const std::string& name, long double number, TNameRef& ref);

// Sets the line "key=value" of a name=value text (keys compared ignoring ASCII case); an empty
// value removes the line. Every line of the result ends in CR LF.
std::string SetNameValueLine(std::string_view lines, std::string_view key, std::string_view value);

}  // namespace yume
