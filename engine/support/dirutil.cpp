// Folder helpers: FindFirstFileA listings with the attribute filter of the
// classic directory search, path creation from the top down, SHFileOperationA
// deletion and SHBrowseForFolderA.
#include "engine/support/dirutil.h"

#include <shellapi.h>
#include <shlobj.h>
#include <winnetwk.h>

#include <string>
#include <vector>

#include "engine/support/mbstring.h"
#include "rtl/filepath.h"

namespace {

// A drive ("C:") or the root of the current drive: nothing to create.
bool isRootPart(const AnsiString& dir) {
    return dir == "\\" || (dir.length() == 2 && dir[1] == ':');
}

// The attribute mask of each listing kind.
DWORD kindMask(int kind) {
    switch (kind) {
    case lkFiles: return 39;
    case lkDirectories: return 16;
    case lkVolumeLabel: return 8;
    case lkEverything: return 63;
    default: return 0;
    }
}

// Calls found(data) for every entry of pattern that the attribute mask lets
// through: hidden, system, volume-label and folder entries only when the mask
// asks for them.
template <typename Found>
void findEntries(const AnsiString& pattern, DWORD mask, Found found) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (matchesAttributeMask(data.dwFileAttributes, mask) && !found(data)) break;
    } while (FindNextFileA(search, &data));
    FindClose(search);
}

}  // namespace

AnsiString withoutTrailingBackslash(const AnsiString& path) {
    return mbcsEndsWith(path, '\\') ? path.substr(0, path.length() - 1) : path;
}

AnsiString withTrailingBackslash(const AnsiString& path) {
    return mbcsEndsWith(path, '\\') ? path : path + "\\";
}

AnsiString expandUncFileName(const AnsiString& path) {
    char full[MAX_PATH * 2];
    char* namePart = nullptr;
    DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, &namePart);
    if (n == 0 || n >= sizeof full) return path;
    union {
        UNIVERSAL_NAME_INFOA info;
        char bytes[MAX_PATH * 2 + sizeof(UNIVERSAL_NAME_INFOA)];
    } universal;
    DWORD size = sizeof universal;
    if (full[1] == ':' && WNetGetUniversalNameA(full, UNIVERSAL_NAME_INFO_LEVEL, &universal, &size) == NO_ERROR)
        return universal.info.lpUniversalName;
    return AnsiString(full, n);
}

bool matchesAttributeMask(DWORD attributes, DWORD mask) {
    const DWORD special = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 8 | FILE_ATTRIBUTE_DIRECTORY;
    return (attributes & ~mask & special) == 0;
}

bool DirExists(const AnsiString& path) {
    if (namesAnotherPath(path)) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Walks up to the first folder that exists, then creates the missing ones
// from the top down. A name without any parent part is created where it is.
bool ForceDirs(const AnsiString& path) {
    if (path.empty()) throw EInOutError("Cannot Create Dir");
    std::vector<AnsiString> missing;
    for (AnsiString dir = withoutTrailingBackslash(path); !dir.empty() && !isRootPart(dir) && !DirExists(dir);) {
        missing.push_back(dir);
        size_t cut = mbcsFindLastOf(dir, "\\");
        dir = cut == std::string_view::npos ? AnsiString() : dir.substr(0, cut);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!CreateDirectoryA(it->c_str(), nullptr) && !DirExists(*it)) return false;
    }
    return true;
}

uint64_t GetFileSizeByName(const AnsiString& path) {
    uint64_t size = 0;
    findEntries(path, 39, [&](const WIN32_FIND_DATAA& data) {
        size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
        return false;
    });
    return size;
}

void ListDirectory(const AnsiString& dir, const AnsiString& mask, int kind, TStrings* dirs, TStrings& files) {
    if (!DirExists(dir)) return;
    files.Clear();
    if (dirs) dirs->Clear();
    AnsiString base = withTrailingBackslash(dir);
    findEntries(base + (mask.empty() ? AnsiString("*.*") : mask), kindMask(kind), [&](const WIN32_FIND_DATAA& data) {
        std::string_view name = data.cFileName;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (dirs && name != "." && name != "..") dirs->Add(base + name);
        } else if (!(data.dwFileAttributes & 8)) {
            files.Add(base + name);
        }
        return true;
    });
}

void ListSubDirectories(const AnsiString& dir, TStrings& dirs) {
    TStringList scratch;
    ListDirectory(dir, "*.*", lkDirectories, &dirs, scratch);
}

bool ShellDeleteFiles(HWND owner, const TStrings& paths, bool toRecycleBin, bool silently) {
    std::string list;
    for (int i = 0; i < paths.Count(); ++i) {
        AnsiString path = paths.Get(i);
        if (path.empty()) continue;
        list += expandUncFileName(path).view();
        list += '\0';
    }
    if (list.empty()) return true;
    list += '\0';
    SHFILEOPSTRUCTA operation{};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>((toRecycleBin ? FOF_ALLOWUNDO : 0) |
                                                 (silently ? FOF_SILENT | FOF_NOCONFIRMATION : 0));
    return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

void ClearDirectory(HWND owner, const AnsiString& dir, bool toRecycleBin, bool silently, bool itself) {
    if (!DirExists(dir)) return;
    TStringList paths;
    if (itself) {
        paths.Add(withoutTrailingBackslash(dir));
    } else {
        TStringList dirs;
        ListDirectory(dir, "*.*", lkEverything, &dirs, paths);
        paths.AddStrings(dirs);
    }
    ShellDeleteFiles(owner, paths, toRecycleBin, silently);
}

// ==== Folder dialog ====

namespace {

// Runs inside the shell's dialog: nothing here may throw.
int CALLBACK selectInitialFolder(HWND dialog, UINT message, LPARAM, LPARAM folder) noexcept {
    if (message == BFFM_INITIALIZED) SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, folder);
    return 0;
}

void freeItemList(LPITEMIDLIST items) {
    IMalloc* allocator = nullptr;
    if (items && SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(items);
        allocator->Release();
    }
}

LPITEMIDLIST parseRootFolder(HWND owner, const WideString& root) {
    if (root.empty()) return nullptr;
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    std::wstring name = root;
    LPITEMIDLIST items = nullptr;
    if (FAILED(desktop->ParseDisplayName(owner, nullptr, name.data(), nullptr, &items, nullptr))) items = nullptr;
    desktop->Release();
    return items;
}

}  // namespace

bool ShowFolderDialog(HWND owner, const AnsiString& title, const WideString& root, AnsiString& folder) {
    if (!DirExists(folder)) folder.clear();
    char chosen[MAX_PATH + 1] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pidlRoot = parseRootFolder(owner, root);
    browse.pszDisplayName = chosen;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!folder.empty()) {
        browse.lpfn = selectInitialFolder;
        browse.lParam = reinterpret_cast<LPARAM>(folder.c_str());
    }
    UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    LPITEMIDLIST items = SHBrowseForFolderA(&browse);
    SetErrorMode(errorMode);
    freeItemList(const_cast<LPITEMIDLIST>(browse.pidlRoot));
    if (!items) return false;
    bool found = SHGetPathFromIDListA(items, chosen);
    freeItemList(items);
    if (found) folder = chosen;
    return found;
}
