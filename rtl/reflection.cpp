// Class records and published properties: the class chain, lookup of
// properties by name (the class's own first, any case), name lists, reads and writes
// through the descriptors, and enumeration and set texts.
#include "rtl/reflection.h"

#include <array>

const TClassInfo TObject::classInfo = makeClassInfo("TObject", nullptr);

static const char* const booleanNames[] = {"False", "True"};
const TEnumInfo BooleanTypeInfo{"Boolean", booleanNames, 2};

const char* TObject::ClassName() const { return ClassType()->ClassName; }

bool TObject::InheritsFrom(const TClassInfo* ancestor) const {
    return ClassType()->InheritsFrom(ancestor);
}

bool TClassInfo::InheritsFrom(const TClassInfo* ancestor) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == ancestor) return true;
    return false;
}

bool TClassInfo::HasGlobalInstance() const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c->GlobalInstance != TGlobalInstance::Inherit) return c->GlobalInstance == TGlobalInstance::Yes;
    return true;
}

namespace {

unsigned char lowerAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; }

}  // namespace

bool SameName(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

// ==== Property tables ====

namespace {

// The class chain from the root down; class trees are shallow, a deeper one is
// a broken record.
struct Chain {
    std::array<const TClassInfo*, 64> items;
    int count = 0;
    explicit Chain(const TClassInfo* cls) {
        for (const TClassInfo* c = cls; c && count < static_cast<int>(items.size()); c = c->Parent)
            items[count++] = c;
    }
    template <class F>
    bool each(F&& visit) const {  // root first; stops when visit answers true
        for (int i = count - 1; i >= 0; --i)
            for (int p = 0; p < items[i]->PropertyCount; ++p)
                if (visit(&items[i]->Properties[p])) return true;
        return false;
    }
};

}  // namespace

// A descendant may publish a property again under its ancestor's name: its
// own answers.
const TPropInfo* GetPropInfo(const TClassInfo* cls, std::string_view name) {
    unsigned char first = name.empty() ? 0 : lowerAscii(name[0]);
    for (const TClassInfo* c = cls; c; c = c->Parent)
        for (int p = 0; p < c->PropertyCount; ++p) {
            const char* candidate = c->Properties[p].Name;
            // The first byte turns most away before the name's length is counted.
            if (lowerAscii(candidate[0]) == first && SameName(candidate, name)) return &c->Properties[p];
        }
    return nullptr;
}

std::vector<const TPropInfo*> GetPropInfos(const TClassInfo* cls) {
    std::vector<const TPropInfo*> result;
    Chain(cls).each([&](const TPropInfo* p) { result.push_back(p); return false; });
    return result;
}

std::vector<AnsiString> GetPropNames(const TClassInfo* cls, bool methodsOnly) {
    std::vector<AnsiString> result;
    Chain(cls).each([&](const TPropInfo* p) {
        if (p->isMethod() == methodsOnly) result.emplace_back(p->Name);
        return false;
    });
    return result;
}

bool ReadProp(const TObject* instance, const TPropInfo* prop, TPropValue& value) {
    if (!prop || !prop->Get) return false;
    prop->Get(instance, value);
    return true;
}

bool WriteProp(TObject* instance, const TPropInfo* prop, const TPropValue& value) {
    if (!prop || !prop->Set) return false;
    prop->Set(instance, value);
    return true;
}

// ==== Enumerations and sets ====

AnsiString GetEnumName(const TEnumInfo* type, int64_t ordinal) {
    if (!type || ordinal < 0 || ordinal >= type->Count) return {};
    return AnsiString(type->Names[ordinal]);
}

int GetEnumValue(const TEnumInfo* type, std::string_view name) {
    if (!type) return -1;
    for (int i = 0; i < type->Count; ++i)
        if (SameName(type->Names[i], name)) return i;
    return -1;
}

uint32_t SetMask(const TSetInfo* type) {
    int bits = type->Width * 8;
    if (type->Elements && type->Elements->Count < bits) bits = type->Elements->Count;
    return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
}

AnsiString SetToString(const TSetInfo* type, uint32_t bits, bool brackets) {
    AnsiString text;
    if (brackets) text += '[';
    bits &= SetMask(type);
    bool first = true;
    for (int i = 0; i < type->Elements->Count && i < 32; ++i) {
        if (!(bits & (1u << i))) continue;
        if (!first) text += ',';
        text += type->Elements->Names[i];
        first = false;
    }
    if (brackets) text += ']';
    return text;
}

bool StringToSet(const TSetInfo* type, std::string_view text, uint32_t& bits) {
    bits = 0;
    bool allKnown = true;
    auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '[' || c == ']'; };
    size_t i = 0;
    while (i < text.size()) {
        if (separator(text[i])) { ++i; continue; }
        size_t start = i;
        while (i < text.size() && !separator(text[i])) ++i;
        int ordinal = GetEnumValue(type->Elements, text.substr(start, i - start));
        if (ordinal < 0 || ordinal >= 32) allKnown = false;
        else bits |= 1u << ordinal;
    }
    bits &= SetMask(type);
    return allKnown;
}
