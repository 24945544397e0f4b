// The file finder: mask matching, character by character (a double-byte
// character is one character), and the recursive search.
#include "host/app/findfile.h"

#include <string_view>
#include <vector>

#include "engine/support/mbstring.h"
#include "ui/application.h"

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

// ==== TFindFile ====

namespace {

// A file time as a local date-time; 0 for a zero time.
TDateTime localDateTime(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME system;
    if ((time.dwLowDateTime == 0 && time.dwHighDateTime == 0) || !FileTimeToLocalFileTime(&time, &local) ||
        !FileTimeToSystemTime(&local, &system))
        return 0;
    return systemTimeToDateTime(system);
}

}  // namespace

const TClassInfo TFindFile::classInfo = makeClassInfo("TFindFile", &TComponent::classInfo);

TFindFile::TFindFile(TComponent* owner) : TComponent(owner), CheckedTime(nowDateTime()) {}

int TFindFile::Execute() {
    if (FolderName.empty() || Searching_) return -1;
    Count_ = 0;
    Abort_ = false;
    Searching_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{Searching_};
    search(FolderName);
    return Count_;
}

void TFindFile::search(AnsiString folder) {
    if (folder.endsWith("\\") || folder.endsWith("/")) folder = folder.substr(0, folder.length() - 1);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    struct Closer {
        HANDLE handle;
        ~Closer() { FindClose(handle); }
    } closer{find};
    do {
        Application->ProcessMessages();
        if (Abort_) return;
        AnsiString name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (IsFindSub && name[0] != '.' && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                search(folder + "\\" + name);
        } else if (wanted(data)) {
            ++Count_;
            OnFind(this, name, folder + "\\", Abort_, data);
        }
    } while (!Abort_ && FindNextFileA(find, &data));
}

bool TFindFile::wanted(const WIN32_FIND_DATAA& data) const {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return false;
    if (FileMask.Count() > 0) {
        bool matched = false;
        for (int i = 0; i < FileMask.Count() && !matched; ++i) matched = matchesMask(data.cFileName, FileMask.Get(i));
        if (!matched) return false;
    }
    if (CheckTimeIs == tmNone) return true;
    const FILETIME& time = CheckTimeKind == tmCreate      ? data.ftCreationTime
                           : CheckTimeKind == tmLastWrite ? data.ftLastWriteTime
                                                          : data.ftLastAccessTime;
    TDateTime when = localDateTime(time);
    return CheckTimeIs == tmOlder ? when < CheckedTime : when > CheckedTime;
}
