// Whole-file reading and the file error texts.
#include "rtl/fileio.h"

#include "rtl/exceptions.h"

AnsiString fileErrorText(const char* what, const AnsiString& path) {
    AnsiString reason = SysErrorMessage(GetLastError());
    AnsiString text = AnsiString(what) + " \"" + path + "\"";
    if (!reason.empty()) text += ". " + reason;
    return text;
}

std::string readFileBytes(const AnsiString& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw EFOpenError(fileErrorText("Cannot open file", path));
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr)) {
            throw EReadError(fileErrorText("Cannot read file", path));
        }
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return bytes;
}

void writeFileBytes(const AnsiString& path, std::string_view bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw EFCreateError(fileErrorText("Cannot create file", path));
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        throw EWriteError(fileErrorText("Cannot write file", path));
}
