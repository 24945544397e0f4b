// Mask matching of the file finder, character by character (a double-byte
// character is one character).
#include "host/findfile.h"

#include <string_view>
#include <vector>

#include "engine/support/mbstring.h"

namespace {

using Characters = std::vector<std::string_view>;

Characters charactersOf(std::string_view text) {
    Characters characters;
    for (size_t i = 0; i < text.size();) {
        size_t width = mbcsCharWidth(text, i);
        characters.push_back(text.substr(i, width));
        i += width;
    }
    return characters;
}

struct Parts {
    Characters base;
    Characters extension;
};

// The parts view the text's bytes: the text must outlive them.
Parts splitAtLastDot(std::string_view text) {
    Characters characters = charactersOf(text);
    size_t dot = characters.size();
    for (size_t i = 0; i < characters.size(); ++i)
        if (characters[i] == ".") dot = i;
    Parts parts{Characters(characters.begin(), characters.begin() + dot), {}};
    if (dot < characters.size()) parts.extension.assign(characters.begin() + dot + 1, characters.end());
    return parts;
}

bool sameCharacter(std::string_view maskCharacter, std::string_view nameCharacter) {
    return maskCharacter == "?" || maskCharacter == nameCharacter;
}

// Characters between the stars of a mask are not compared: after the first
// "*" only the mask's tail after its last "*" is read, backward from the
// end. The tail must fit after the part before the first "*" (a longer tail
// does not match).
bool partMatches(const Characters& name, const Characters& mask) {
    size_t i = 0;
    for (; i < mask.size() && mask[i] != "*"; ++i)
        if (i >= name.size() || !sameCharacter(mask[i], name[i])) return false;
    if (i == mask.size()) return name.size() == mask.size();
    size_t m = mask.size(), n = name.size();
    for (; mask[m - 1] != "*"; --m, --n)
        if (n <= i || !sameCharacter(mask[m - 1], name[n - 1])) return false;
    return true;
}

}  // namespace

bool matchesMask(const AnsiString& name, const AnsiString& mask) {
    const AnsiString upperName = upperCaseAscii(name), upperMask = upperCaseAscii(mask);
    Parts nameParts = splitAtLastDot(upperName), maskParts = splitAtLastDot(upperMask);
    if (nameParts.base.empty() || maskParts.base.empty()) return false;
    if (mask == "*" || mask == "*.*") return true;
    return partMatches(nameParts.base, maskParts.base) && partMatches(nameParts.extension, maskParts.extension);
}
