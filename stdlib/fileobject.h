// TJFileObject: the script class "File" - one file read and written as bytes
// (no code or line-end conversion) through a locked file stream it owns, and
// the path operations on its name or on an argument. Every failure reaches the
// script as "EFileError" with a message naming the file.
#pragma once

#include <string>

#include "engine/core/object.h"
#include "engine/support/safefilestream.h"

class TJFileObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The first argument, as text, names the file; none leaves the name empty.
    TJFileObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    // The stream, at the position the script sees (bytes read ahead by
    // ReadLine are given back first).
    TSafeFileStream& Stream();
    bool IsOpen() const { return Stream_.IsOpen(); }
    // The next line: read in 4 KB steps up to a line feed, then trimmed of
    // every trailing byte up to the blank (CR, blanks, tabs); a last line
    // without a line feed is kept as it is; empty at the end.
    AnsiString ReadLine();
    // The position is at or past the end of the file.
    bool AtEnd();
    const AnsiString& FileName() const { return FileName_; }
    void SetFileName(AnsiString name) { FileName_ = std::move(name); }
    // Raises "EFileError" with the prefix and the file name.
    [[noreturn]] void Fail(const char* prefix) const;

    AnsiString ToString(const TJValue* = nullptr) override { return FileName_; }

    // ---- Published properties ----
    // The open stream's size, else the named file's (0 when absent).
    int64_t lengthProperty() const;
    // A new Date of the file's local last-write time (now when unreadable).
    TJObject* lastModifiedProperty() const;

    const TJMethodTable& Methods() const override;

private:
    mutable TSafeFileStream Stream_;
    AnsiString FileName_;
    // Bytes ReadLine read past the line it returned, the stream standing at
    // their end: the next line comes from them without another read. No one
    // else can write the file meanwhile (every open mode denies writing).
    std::string Ahead_;
};
