// TJDirectoryObject: the script class "Directory" - one folder (kept expanded,
// with its trailing delimiter) with a step-by-step name search, listings as
// new StringList objects, creation, removal, emptying through the shell, and
// the delimiter operations. Failures reach the script as "EDirectoryError"
// with a message naming the folder.
#pragma once

#include <windows.h>

#include "engine/core/object.h"

class TJDirectoryObject : public TJObject {
    RTL_DECLARE_CLASS()
    // The first argument, as text, names the folder; none means ".".
    TJDirectoryObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJDirectoryObject() override;

    const AnsiString& DirName() const { return DirName_; }
    // Stores the full path (a mapped drive in its network form) ending in "\".
    void SetDirName(const AnsiString& name);
    // Raises "EDirectoryError" with the prefix and the folder.
    [[noreturn]] void Fail(const char* prefix) const;

    // Starts (or restarts) a search of DirName + pattern with the attribute
    // mask; the first entry's name, false when nothing matches.
    bool FindFirst(const AnsiString& pattern, DWORD mask, AnsiString& name);
    // The next entry of the running search whose attributes include one of
    // `wanted` and none of `unwanted`; false at the end (also when the search
    // found nothing at all). Raises "<method> error: " when no search runs.
    bool FindNext(const char* method, DWORD wanted, DWORD unwanted, AnsiString& name);
    void FindClose();

    AnsiString ToString(const TJValue* = nullptr) override { return DirName_; }

    // ---- Published properties ----
    // New StringList objects of the files and of the subfolders (full paths).
    TJObject* filesProperty() const;
    TJObject* directoriesProperty() const;

    const TJMethodTable& Methods() const override;

private:
    // The next entry the search mask lets through; false at the end.
    bool nextEntry();

    AnsiString DirName_;
    bool Searching_ = false;
    HANDLE Search_ = INVALID_HANDLE_VALUE;
    DWORD SearchMask_ = 0;
    WIN32_FIND_DATAA Found_{};
};
