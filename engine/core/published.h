// Script access to published properties: reading and writing a property of
// any reflected object (script objects, and GUI objects through their
// wrappers) by name as script values, listing them, clearing event handlers,
// and the texts of sets and enumerations.
#pragma once

#include <vector>

#include "engine/core/value.h"
#include "rtl/reflection.h"

// The names of the published properties, ancestors first: only the event
// (method) properties with eventsOnly, otherwise all the others.
void ListPublishedProperties(const TObject* instance, std::vector<AnsiString>& list, bool eventsOnly);
// Reads the first property of that name (any case); false when there is none
// or it cannot be read. Class properties of GUI objects read as their wrapper
// made in the engine.
bool ReadPublishedProperty(const TObject* instance, const AnsiString& name, TJValue& value, TJRuntime* runtime);
// Writes the first property of that name; false when there is none, it is
// read-only, or the value does not suit its type (nothing is written then).
// An event takes a vtEvent only when methodType is the property's own type.
bool WritePublishedProperty(TObject* instance, const AnsiString& name, const TJValue& value,
                            const TMethodTypeInfo* methodType);
// Sets every writable event property to nil (with data, only those whose
// handler is bound to that data); faults are swallowed.
void ClearEventProperties(TObject* instance, const void* data = nullptr);

// The element names present, joined by "," ("akLeft,akTop").
AnsiString SetToNameList(const TSetInfo* type, uint32_t bits);
// Reads a name list (blanks, "," and brackets separate; unknown names skipped).
uint32_t NameListToSet(const TSetInfo* type, std::string_view text);
// A numeric value is the ordinal, any other the text of an element name;
// false for an unknown name or an ordinal outside the enumeration.
bool ValueToEnum(const TEnumInfo* type, const TJValue& value, int& ordinal);
// The element's name, a bool for False/True (any case), false without a name.
void EnumToValue(const TEnumInfo* type, int64_t ordinal, TJValue& value);
