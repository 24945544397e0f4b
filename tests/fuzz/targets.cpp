// The fuzz targets and their checks.
#include "targets.h"

#include "bridge/caster.h"
#include "engine/orovod.h"
#include "host/widget/setting.h"
#include "host/widget/widgetxml.h"
#include "rtl/filer.h"
#include "rtl/fileio.h"
#include "rtl/streams.h"
#include "ui/forms.h"

namespace {

// One engine component's events: output dropped, the start of its error
// reports kept, no input, and a stop when its time (if any: not 0) is up.
struct Session {
    explicit Session(DWORD milliseconds) : limited(milliseconds != 0), deadline(GetTickCount() + milliseconds) {}

    bool limited;
    DWORD deadline;
    bool reported = false;
    std::string reports;

    void output(TObject*, const AnsiString&) {}
    void report(TObject*, const AnsiString& text) {
        reported = true;
        if (reports.size() < 300) reports.append(text.view().substr(0, 300 - reports.size()));
    }
    void input(TObject*, AnsiString&, bool& success, int32_t, bool) { success = false; }
    void step(TObject*, bool& abort) { abort = abort || (limited && static_cast<LONG>(GetTickCount() - deadline) >= 0); }

    void attach(DIZI& component) {
        component.SetOnStdout(TStringEvent::bind<&Session::output>(this));
        component.SetOnStderr(TStringEvent::bind<&Session::report>(this));
        component.SetOnStdin(TReadStringEvent::bind<&Session::input>(this));
        component.SetOnStep(TStepEvent::bind<&Session::step>(this));
        component.SetOnDoEvents(TStepEvent::bind<&Session::step>(this));
    }
    // Whether the compile (and the run, when there was one) went without a
    // report; else the failure says what came.
    bool clean(bool compiled, int32_t code, std::string& failure) const {
        if (compiled && code == 0 && !reported) return true;
        failure = (compiled ? "exit code " + std::to_string(code) : std::string("no compile")) + ": " + reports;
        return false;
    }
};

// Compiles with the function given, runs what compiled, and tells whether
// all went cleanly.
template <class Compile>
bool compileAndRun(DWORD milliseconds, Compile compile, std::string& failure) {
    DIZI component;
    Session session(milliseconds);
    session.attach(component);
    bool compiled = compile(component);
    int32_t code = compiled ? component.RunNoArgs() : 1;
    return session.clean(compiled, code, failure);
}

void clearFolder(const std::string& folder) {
    for (const std::string& name : filesIn(folder, "*")) DeleteFileA((folder + name).c_str());
    for (const std::string& name : filesIn(folder, "*", true)) RemoveDirectoryA((folder + name).c_str());
}

}  // namespace

Targets::Targets(const std::string& folder, DWORD scriptMilliseconds)
    : folder_(folder), settingsFolder_(folder + "settings\\"), scriptMilliseconds_(scriptMilliseconds) {
    CreateDirectoryA(settingsFolder_.c_str(), nullptr);
    RegisterVCLClasses();  // the classes form streams name
    // The script a compiled tree stands for; older than every tree written later.
    std::string source = folder_ + "t.dms";
    writeFile(source, "var fromSource = 1;\r\n");
    HANDLE file = CreateFileA(source.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME old = {0x256D4000, 0x01BF53EB};  // 2000-01-01
    SetFileTime(file, nullptr, nullptr, &old);
    CloseHandle(file);
}

bool Targets::run(const Input& input, std::string& failure) {
    bool passed = false;
    switch (input.kind) {
    case InputKind::Script: passed = script(input, failure); break;
    case InputKind::Tree: passed = tree(input, failure); break;
    case InputKind::Widget: passed = widget(input, failure); break;
    case InputKind::Settings: passed = settings(input, failure); break;
    case InputKind::Form: passed = form(input, failure); break;
    }
    return passed || (!input.checked && input.kind != InputKind::Settings && input.kind != InputKind::Form);
}

// A checked input runs to its end; the supervisor's limit still holds.
DWORD Targets::scriptTime(const Input& input) const { return input.checked ? 0 : scriptMilliseconds_; }

bool Targets::script(const Input& input, std::string& failure) {
    AnsiString text(input.bytes);
    return compileAndRun(scriptTime(input), [&](DIZI& component) { return component.Compile(text); }, failure);
}

// The tree stands beside its script, so the engine's file compiler reads it
// back (with compiled trees on) or, when it is no tree, parses the script.
bool Targets::tree(const Input& input, std::string& failure) {
    writeFile(folder_ + "t.dmc", input.bytes);
    AnsiString source(folder_ + "t.dms");
    return compileAndRun(scriptTime(input), [&](DIZI& component) {
        component.SetCompiledBinary(true);
        return component.CompileFile(source);
    }, failure);
}

// The translation is compiled, not run: the host classes it creates are not here.
bool Targets::widget(const Input& input, std::string& failure) {
    std::string path = folder_ + "w.xml";
    writeFile(path, input.bytes);
    AnsiString text;
    try {
        text = TMyXMLParser().TranslateFile(AnsiString(path));
    } catch (const Exception& error) {
        failure = "no translation: " + error.message().str();
        return false;
    }
    SetCurrentDirectoryA(folder_.c_str());  // a widget that names a script moves it
    DIZI component;
    Session session(scriptTime(input));
    session.attach(component);
    return session.clean(component.Compile(text), 0, failure);
}

// Once as it is, once with a folder where its backup would go.
bool Targets::settings(const Input& input, std::string& failure) {
    bool kept = true;
    for (bool backupTaken : {false, true}) {
        clearFolder(settingsFolder_);
        if (backupTaken) CreateDirectoryA((settingsFolder_ + "s.config.bak").c_str(), nullptr);
        writeFile(settingsFolder_ + "s.config", input.bytes);
        kept = kept && settingsKept(input.bytes, failure);
    }
    clearFolder(settingsFolder_);
    return kept;
}

// A file that loads keeps a value written and saved; the bytes of one that
// does not are still on the disk afterwards, kept or not saved over.
bool Targets::settingsKept(const std::string& bytes, std::string& failure) {
    AnsiString path(settingsFolder_ + "s.config");
    const AnsiString value(std::string_view("v\x81\0 \r\n<&\"", 9));
    bool loaded, saved = false;
    {
        TSetting setting(path);
        loaded = setting.loadError().empty();
        setting.WriteValue("fuzz", "key", value);
        try {
            setting.Save();
            saved = true;
        } catch (const EXmlError& error) {
            failure = "no save: " + error.message().str();
        }
    }
    if (loaded) {
        if (!saved) return false;
        TSetting again(path);
        if (!again.loadError().empty()) failure = "a saved settings file did not load: " + again.loadError().str();
        else if (again.ReadValue("fuzz", "key", "-") != value) failure = "a saved setting did not read back";
        return failure.empty();
    }
    for (const std::string& name : filesIn(settingsFolder_, "*"))
        if (readFileBytes(AnsiString(settingsFolder_ + name)) == bytes) return true;
    failure = "a broken settings file was lost";
    return false;
}

// ==== Form streams ====

namespace {

// The form's text after reading the stream into a new form (either format,
// as the form wrapper reads it); false when the stream is refused.
bool readForm(const std::string& bytes, std::string& text) {
    TForm* form = new TForm(nullptr);
    bool read = true;
    try {
        TStringStream input(bytes);
        ReadComponentTree(isBinaryForm(bytes) ? readBinaryForm(input) : readTextForm(input), form);
        TStringStream saved;
        writeTextForm(saved, WriteComponentTree(form));
        text = saved.DataString().str();
    } catch (const Exception&) {
        read = false;
    }
    form->Free();
    return read;
}

}  // namespace

// A refused stream is fine; a form that was read must read back from what
// it saves, to the same text.
bool Targets::form(const Input& input, std::string& failure) {
    std::string text, again;
    if (!readForm(input.bytes, text)) return true;
    if (!readForm(text, again)) failure = "a saved form did not read back";
    else if (again != text) failure = "a saved form read back otherwise";
    return failure.empty();
}
