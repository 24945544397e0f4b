// Temporary folders, file bytes and test data paths for the unit tests.
#include "tests/support/tempfiles.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace {

void removeTree(const AnsiString& folder, int depth) {
    if (depth > 8) return;  // the tests never nest this deep
    for (const AnsiString& name : filesMatching(folder, "*")) {
        AnsiString path = folder + name;
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            removeTree(path + "\\", depth + 1);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

TempFolder::TempFolder() {
    static int counter = 0;
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    // Process ids repeat, so a folder left by an earlier run is skipped.
    for (int tries = 0; tries < 1000; ++tries) {
        path_ = AnsiString(base) + "nimbora-test-" + AnsiString(std::to_string(GetCurrentProcessId())) + "-" +
                AnsiString(std::to_string(++counter)) + "\\";
        if (CreateDirectoryA(path_.c_str(), nullptr)) return;
    }
    throw std::runtime_error("cannot create " + path_.str());
}

TempFolder::~TempFolder() {
    removeTree(path_, 0);
}

AnsiString TempFolder::write(std::string_view name, std::string_view bytes) const {
    AnsiString path = file(name);
    writeBytes(path, bytes);
    return path;
}

AnsiString TempFolder::folder(std::string_view name) const {
    AnsiString path = file(name) + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::vector<AnsiString> TempFolder::names() const {
    return filesMatching(path_, "*");
}

void writeBytes(const AnsiString& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot write " + path.str());
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

std::string readBytes(const AnsiString& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path.str());
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

AnsiString testPath(std::string_view relative) {
    const char* root = std::getenv("NIMBORA_TEST_DATA");
    if (!root) throw std::runtime_error("NIMBORA_TEST_DATA is not set");
    std::string path = std::string("Z:") + root + "/" + std::string(relative);
    std::replace(path.begin(), path.end(), '/', '\\');
    return AnsiString(path);
}

std::vector<AnsiString> filesMatching(const AnsiString& folder, const char* mask) {
    std::vector<AnsiString> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + mask).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        AnsiString name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}
