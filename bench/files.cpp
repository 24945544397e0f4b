// File object speed through its registered methods: `readln` over 10 MB of
// 80-byte lines (each call reads 4 KB and puts the position back after the
// line feed). Prints lines/s and MB/s.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "engine/core/function.h"
#include "engine/core/valuelist.h"
#include "stdlib/fileobject.h"

namespace {

using Clock = std::chrono::steady_clock;

// 10 MB of lines of 78 bytes and CR LF in a temporary file.
std::string makeFile() {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    std::string path = std::string(folder) + "nimbora-bench-lines.txt";
    std::string line(78, 'x');
    line += "\r\n";
    std::string bytes;
    while (bytes.size() < 10u * 1024 * 1024) bytes += line;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

TJValue call(TJObject* object, const char* name, TJValueList* args = nullptr) {
    TJValue f, result;
    object->GetValue(name, false, f);
    CallNativeMethod(f.FuncValue.get(), args, result);
    return result;
}

}  // namespace

int main() {
    std::string path = makeFile();
    TJValueList args;
    args.AddString(path.c_str());
    auto* file = createObject<TJFileObject>(nullptr, false, &args);
    file->IncRef();
    call(file, "open");
    size_t lines = 0, bytes = 0;
    auto start = Clock::now();
    while (!ValueToBool(call(file, "eof"))) {
        bytes += ValueToString(call(file, "readln")).length() + 2;
        ++lines;
    }
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    call(file, "close");
    file->DecRef();
    DeleteFileA(path.c_str());
    std::printf("readln: %zu lines of 80 bytes in %.3f s (%.0f lines/s, %.1f MB/s; target under 1.5 s)\n", lines,
                seconds, lines / seconds, bytes / seconds / 1048576.0);
    return 0;
}
