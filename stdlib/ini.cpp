// The Ini and RegIni objects: one method surface over the in-memory INI file
// and over the registry, the error messages that name the file or key, and
// the registry access of RegIni.
#include "stdlib/ini.h"

#include <string>

#include "engine/core/errors.h"
#include "engine/core/valuelist.h"
#include "rtl/codepage.h"
#include "rtl/exceptions.h"
#include "rtl/fileio.h"
#include "rtl/stringlist.h"
#include "stdlib/strings.h"

namespace {

const TPropInfo iniProperties[] = {
    StringProperty<&TJIniObject::filenameProperty>("filename"),
};

const TPropInfo regIniProperties[] = {
    StringProperty<&TJRegIniObject::keyProperty>("key"),
    StringProperty<&TJRegIniObject::rootKeyProperty>("rootKey"),
};

[[noreturn]] void raiseIniError(const AnsiString& message) { raiseScriptError("EIniError", message); }

}  // namespace

const TClassInfo TJIniObject::classInfo = makeClassInfo("TJIniObject", &TJObject::classInfo, iniProperties,
                                                        &scriptCreator<TJIniObject>, TGlobalInstance::No);
const TClassInfo TJRegIniObject::classInfo = makeClassInfo("TJRegIniObject", &TJObject::classInfo, regIniProperties,
                                                           &scriptCreator<TJRegIniObject>, TGlobalInstance::No);

// ==== Methods (both classes) ====

namespace {

// Raises "<what> error: <file or key>" unless the call has `needed` arguments.
template <class T>
void requireArgs(T& self, TJValueList* args, int needed, const char* what) {
    if (ArgCount(args) < needed) raiseIniError(AnsiString(what) + " error: " + self.Subject());
}

template <class T>
void read(T& self, TJValueList* args, TJValue& result) {
    requireArgs(self, args, 3, "read");
    AnsiString value;
    if (!self.ReadValue(ValueToString(args->At(0)), ValueToString(args->At(1)), value))
        value = ValueToString(args->At(2));
    MakeString(value, result);
}

template <class T>
void write(T& self, TJValueList* args, TJValue&) {
    requireArgs(self, args, 3, "write");
    self.WriteValue(ValueToString(args->At(0)), ValueToString(args->At(1)), ValueToString(args->At(2)));
}

template <class T>
void deleteKey(T& self, TJValueList* args, TJValue&) {
    requireArgs(self, args, 2, "deleteKey");
    self.DeleteValue(ValueToString(args->At(0)), ValueToString(args->At(1)));
}

template <class T>
void eraseSection(T& self, TJValueList* args, TJValue&) {
    requireArgs(self, args, 1, "eraseSection");
    self.DeleteSection(ValueToString(args->At(0)));
}

void returnList(TJObject& self, const std::vector<AnsiString>& names, TJValue& result) {
    TJStringsObject* list = NewStringList(self.Runtime());
    MakeObject(list, result);
    for (const AnsiString& name : names) list->GetStringList().Add(name);
}

template <class T>
void readSection(T& self, TJValueList* args, TJValue& result) {
    requireArgs(self, args, 1, "readSection");
    returnList(self, self.KeyNames(ValueToString(args->At(0))), result);
}

template <class T>
void readSections(T& self, TJValueList*, TJValue& result) {
    returnList(self, self.SectionNames(), result);
}

template <class T>
void sectionExists(T& self, TJValueList* args, TJValue& result) {
    MakeBool(HasArgs(args) && self.HasSection(ValueToString(args->At(0))), result);
}

void update(TJIniObject& self, TJValueList*, TJValue&) { self.Update(); }

template <class T>
struct SettingsMethods {
    static constexpr TJMethod<T> rows[] = {
        {"deleteKey", 0, &deleteKey<T>, TJMethodResult::Self},
        {"eraseSection", 0, &eraseSection<T>, TJMethodResult::Self},
        {"readSection", 0, &readSection<T>},
        {"readSections", 0, &readSections<T>},
        {"sectionExists", 0, &sectionExists<T>},
        {"write", 0, &write<T>, TJMethodResult::Self},
        {"read", 0, &read<T>},
    };
};

const TJMethod<TJIniObject> iniOwnMethods[] = {
    {"update", 0, &update, TJMethodResult::Self},
};

}  // namespace

const TJMethodTable& TJIniObject::Methods() const {
    static const TJMethodTable settings(SettingsMethods<TJIniObject>::rows, TJObject::Methods());
    static const TJMethodTable table(iniOwnMethods, settings);
    return table;
}

const TJMethodTable& TJRegIniObject::Methods() const {
    static const TJMethodTable table(SettingsMethods<TJRegIniObject>::rows, TJObject::Methods());
    return table;
}

// ==== Ini ====

// A missing file starts an empty INI that `update` creates; a device is never
// missing, and never read.
TJIniObject::TJIniObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("Ini");
    if (!HasArgs(args)) raiseIniError("ini create error");
    FileName_ = ValueToString(args->At(0));
    if (!isDeviceName(FileName_) && GetFileAttributesA(FileName_.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    try {
        Ini_.SetText(readFileBytes(FileName_));
    } catch (const Exception&) {
        raiseIniError("ini create error");
    }
}

bool TJIniObject::ReadValue(const AnsiString& section, const AnsiString& name, AnsiString& value) {
    return Ini_.Read(section, name, value);
}

// An entry the file cannot hold would read back as other entries, or not at all.
void TJIniObject::WriteValue(const AnsiString& section, const AnsiString& name, const AnsiString& value) {
    if (!TIniText::Holds(section.view(), name.view(), value.view())) raiseIniError("write error: " + FileName_);
    Ini_.Write(section, name, value);
}

void TJIniObject::DeleteValue(const AnsiString& section, const AnsiString& name) { Ini_.DeleteKey(section, name); }
void TJIniObject::DeleteSection(const AnsiString& section) { Ini_.EraseSection(section); }
std::vector<AnsiString> TJIniObject::KeyNames(const AnsiString& section) { return Ini_.KeyNames(section); }
std::vector<AnsiString> TJIniObject::SectionNames() { return Ini_.SectionNames(); }
bool TJIniObject::HasSection(const AnsiString& section) { return Ini_.SectionExists(section); }

// A file that cannot be written is reported, not lost in silence.
void TJIniObject::Update() {
    TStringList lines;
    lines.SetText(Ini_.Text());
    try {
        lines.SaveToFile(FileName_);
    } catch (const Exception&) {
        raiseIniError("update error: " + FileName_);
    }
}

// ==== RegIni ====

namespace {

// A registry key opened for a while, closed when it goes.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool open(HKEY parent, const AnsiString& name, REGSAM access) {
        return RegOpenKeyExA(parent, name.c_str(), 0, access, &key_) == ERROR_SUCCESS;
    }
    bool open(HKEY parent, const wchar_t* name, REGSAM access) {
        return RegOpenKeyExW(parent, name, 0, access, &key_) == ERROR_SUCCESS;
    }
    bool create(HKEY parent, const AnsiString& name) {
        return RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) ==
               ERROR_SUCCESS;
    }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The registry nests keys at most 512 deep.
constexpr int maxKeyDepth = 512;

// Deletes every key below the open key (a key that has subkeys cannot be
// deleted alone), by the names the registry gives in wide form: a name read
// back in the code page need not be the one stored (a lone lead byte's key
// reads back as a NUL) and would name another key, or the key itself.
bool deleteSubkeys(HKEY key, int depth) {
    if (depth > maxKeyDepth) return false;
    std::wstring child(256, L'\0');  // the longest key name and its NUL
    for (;;) {
        DWORD length = static_cast<DWORD>(child.size());
        LSTATUS status = RegEnumKeyExW(key, 0, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return true;
        if (status != ERROR_SUCCESS) return false;
        // An empty name or one holding a NUL cannot be given back.
        std::wstring_view name(child.data(), length);
        if (name.empty() || name.find(L'\0') != std::wstring_view::npos) return false;
        RegistryKey subkey;
        if (!subkey.open(key, child.c_str(), KEY_ALL_ACCESS) || !deleteSubkeys(subkey.get(), depth + 1)) return false;
        if (RegDeleteKeyW(key, child.c_str()) != ERROR_SUCCESS) return false;
    }
}

// The names that an enumeration function gives one by one.
template <class Enumerate>
std::vector<AnsiString> enumerateNames(Enumerate enumerate) {
    std::vector<AnsiString> names;
    std::string name(16384, '\0');  // the longest value name the registry allows, and its NUL
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (enumerate(index, name.data(), &length) != ERROR_SUCCESS) return names;
        names.emplace_back(name.data(), length);
    }
}

}  // namespace

// A leading "\" is dropped: the path is always below HKEY_CURRENT_USER.
TJRegIniObject::TJRegIniObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("RegIni");
    if (!HasArgs(args)) raiseIniError("ini create error");
    KeyPath_ = ValueToString(args->At(0));
    AnsiString path = KeyPath_.startsWith("\\") ? KeyPath_.substr(1) : KeyPath_;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Key_, nullptr) !=
        ERROR_SUCCESS) {
        Key_ = nullptr;
        raiseIniError("ini create error");
    }
}

TJRegIniObject::~TJRegIniObject() {
    if (Key_) RegCloseKey(Key_);
}

void TJRegIniObject::requireNames(const char* what, const AnsiString& section, const AnsiString& name) const {
    if (section.empty() || !keepsWideForm(section.view()) || !keepsWideForm(name.view()))
        raiseIniError(AnsiString(what) + " error: " + KeyPath_);
}

// Text values read as they are, DWORD values as decimal text; a value of any
// other type reads as missing.
bool TJRegIniObject::ReadValue(const AnsiString& section, const AnsiString& name, AnsiString& value) {
    requireNames("read", section, name);
    RegistryKey key;
    DWORD type = 0, size = 0;
    if (!key.open(Key_, section, KEY_QUERY_VALUE) ||
        RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::string data(size, '\0');
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD number;
        memcpy(&number, data.data(), sizeof number);
        value = AnsiString(std::to_string(number));
        return true;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    data.resize(size);
    while (!data.empty() && data.back() == '\0') data.pop_back();
    value = AnsiString(data);
    return true;
}

// A failed write is reported, not lost in silence.
void TJRegIniObject::WriteValue(const AnsiString& section, const AnsiString& name, const AnsiString& value) {
    requireNames("write", section, name);
    RegistryKey key;
    if (!key.create(Key_, section) ||
        RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.length() + 1)) != ERROR_SUCCESS)
        raiseIniError("write error: " + KeyPath_);
}

void TJRegIniObject::DeleteValue(const AnsiString& section, const AnsiString& name) {
    requireNames("deleteKey", section, name);
    RegistryKey key;
    if (key.open(Key_, section, KEY_SET_VALUE)) RegDeleteValueA(key.get(), name.c_str());
}

void TJRegIniObject::DeleteSection(const AnsiString& section) {
    requireNames("eraseSection", section);
    {
        RegistryKey key;
        if (!key.open(Key_, section, KEY_ALL_ACCESS) || !deleteSubkeys(key.get(), 1))
            raiseIniError("eraseSection error: " + KeyPath_);
    }
    if (RegDeleteKeyA(Key_, section.c_str()) != ERROR_SUCCESS) raiseIniError("eraseSection error: " + KeyPath_);
}

// A missing section has no keys.
std::vector<AnsiString> TJRegIniObject::KeyNames(const AnsiString& section) {
    requireNames("readSection", section);
    RegistryKey key;
    if (!key.open(Key_, section, KEY_QUERY_VALUE)) return {};
    return enumerateNames([&](DWORD index, char* name, DWORD* length) {
        return RegEnumValueA(key.get(), index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

std::vector<AnsiString> TJRegIniObject::SectionNames() {
    return enumerateNames([&](DWORD index, char* name, DWORD* length) {
        return RegEnumKeyExA(Key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
}

bool TJRegIniObject::HasSection(const AnsiString& section) {
    requireNames("sectionExists", section);
    RegistryKey key;
    return key.open(Key_, section, KEY_READ);
}
