// Disk identity and SMART attributes read through the IDE driver's control
// codes: the model, serial number and size of the first device of a drive
// that answers IDENTIFY, and its attribute table with the thresholds. Failures
// give false and a description for diagnosis only.
#pragma once

#include <cstdint>
#include <vector>

#include "rtl/ansistring.h"

struct TDriveIdentity {
    AnsiString Model;
    AnsiString Serial;
    uint64_t Size = 0;  // bytes
};

struct TSmartAttribute {
    uint8_t Id = 0;
    uint8_t Value = 0;  // the current normalised value
    uint8_t Worst = 0;
    uint8_t Threshold = 0;
    uint64_t Raw = 0;  // 48 bits
};

bool GetDriveIdentity(int drive, TDriveIdentity& identity, AnsiString& error);
bool GetSmartAttributes(int drive, std::vector<TSmartAttribute>& attributes, AnsiString& error);

// The name of an attribute id ("Unknown" outside the two known ranges).
AnsiString SmartAttributeName(uint8_t id);
// "0x" and the 48-bit raw value as twelve upper-case hexadecimal digits.
AnsiString SmartRawText(uint64_t raw);
// An identify text: the two bytes of every pair swapped, blanks trimmed.
AnsiString SwapAtaString(const uint8_t* bytes, size_t count);
// The attribute table of a READ ATTRIBUTES result and, by position, the
// thresholds of a READ THRESHOLDS result (each from the driver's 16-byte
// header on): at most 30 entries, up to the first id 0.
std::vector<TSmartAttribute> ParseSmartTables(const uint8_t* attributes, const uint8_t* thresholds);
