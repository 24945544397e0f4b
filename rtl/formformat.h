// The two form formats and the tree they both read into and write from. A
// form is a TFormObject (class, name, properties, child objects); the text
// format ("object Button1: TButton ... end") and the binary one (the "TPF0"
// signature and tagged values) are read by bounded parsers that raise
// EParserError (text) or EReadError (binary) and never read past their input.
// rtl/filer.cpp maps the tree onto components; the bridge converts between
// the formats through ObjectTextToBinary and ObjectBinaryToText.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/exceptions.h"
#include "rtl/stream.h"

RTL_EXCEPTION(EParserError, EConvertError);

struct TFormProperty;

// The binary format's value tags.
enum TValueType : uint8_t {
    vaNull, vaList, vaInt8, vaInt16, vaInt32, vaExtended, vaString, vaIdent, vaFalse, vaTrue, vaBinary, vaSet,
    vaLString, vaNil, vaCollection, vaSingle, vaCurrency, vaDate, vaWString, vaInt64, vaUTF8String,
};

// One property value. Texts are code page 932 bytes: wide and UTF-8 strings
// of a binary stream and "#nnnn" characters of a text are converted on reading.
struct TFormValue {
    enum Kind : uint8_t { Integer, Float, String, Ident, False, True, Nil, Binary, Set, List, Collection };
    // One item of a collection: its properties, with an order number when
    // the stream gave one.
    struct Item {
        bool HasOrder = false;
        int64_t Order = 0;
        std::vector<TFormProperty> Properties;
    };

    Kind Type = Nil;
    TValueType FloatType = vaExtended;  // Float: vaExtended, vaSingle, vaCurrency or vaDate
    int64_t Int = 0;                    // Integer
    double Number = 0;                  // Float
    std::string Text;                   // String, Ident, Binary
    std::vector<std::string> Names;     // Set
    std::vector<TFormValue> Items;      // List
    std::vector<Item> CollectionItems;  // Collection

    static TFormValue integer(int64_t value);
    static TFormValue string(std::string_view text);
    static TFormValue ident(std::string_view name);
    static TFormValue boolean(bool value) { TFormValue v; v.Type = value ? True : False; return v; }
};

struct TFormProperty {
    std::string Name;  // dotted for a sub-object's property ("Font.Name")
    TFormValue Value;
};

// Header flags of an object.
enum : uint8_t { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

struct TFormObject {
    uint8_t Flags = 0;
    int64_t Position = 0;  // with ffChildPos
    std::string ClassName, Name;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
    int Line = 0;  // where a text object began, 0 for a binary one
};

// Object headers and values nest at most this deep in either format (a
// window nested far deeper than forms ever are strains the platform).
inline constexpr int MaxFormNesting = 32;

// ==== Binary format ====

// Whether the bytes begin with the binary signature "TPF0".
bool isBinaryForm(std::string_view bytes);
// The form from the stream's position on; EReadError for a stream that is
// cut short, bears no signature, nests too deep or holds an unknown tag.
TFormObject readBinaryForm(TStream& stream);
void writeBinaryForm(TStream& stream, const TFormObject& form);

// ==== Text format ====

// EParserError "<what> on line N" for text that is not a form.
TFormObject readTextForm(TStream& stream);
// Two blanks of indent a level, CR LF line ends.
void writeTextForm(TStream& stream, const TFormObject& form);

// ==== Conversion ====

// From the input's position on to the output's.
void ObjectTextToBinary(TStream& input, TStream& output);
void ObjectBinaryToText(TStream& input, TStream& output);
