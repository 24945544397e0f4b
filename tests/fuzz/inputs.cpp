// Fuzz inputs: the corpus read from the source tree and the mutations, one
// table of functions that each change the bytes in one way.
#include "inputs.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "calls.h"
#include "engine/syntax/parser.h"
#include "engine/syntax/treefile.h"
#include "rtl/codepage.h"
#include "rtl/fileio.h"
#include "shared.h"

// ==== Kinds and files ====

namespace {

const char* const Extensions[InputKinds] = {".dms", ".dmc", ".xml", ".config", ".dfm"};

// Settings files as widgets and the program leave them, and as hands edit them.
const char* const SettingsSamples[] = {
    "<?xml version=\"1.0\" encoding=\"Shift-JIS\"?>\r\n<configuration>\r\n  <appSettings>\r\n"
    "    <add key=\"widget1\" value=\"widgets\\clock\\clock.xml\"/>\r\n    <add key=\"HotKey\" value=\"32833\"/>\r\n"
    "  </appSettings>\r\n  <appSettings section=\"Window1\">\r\n    <add key=\"top\" value=\"120\"/>\r\n"
    "    <add key=\"font.name\" value=\"\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e\"/>\r\n"
    "  </appSettings>\r\n</configuration>\r\n",
    "<configuration><appSettings section=\"Settings\"><add key=\"memo\" value=\"a&#13;&#10;b&amp;&lt;&quot;\"/>"
    "<add key=\"empty\" value=\"\"/><add value=\"keyless\"/></appSettings></configuration>",
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- by hand -->\n<settings version=\"2\">\n"
    "  <appSettings section=\"\xe6\x97\xa5\"><add key=\"k\" value=\"\xe6\x97\xa5\"/><other>text</other></appSettings>\n"
    "  <unknown><![CDATA[raw <data>]]></unknown>\n</settings>\n",
};

}  // namespace

const char* extensionOf(InputKind kind) { return Extensions[static_cast<int>(kind)]; }

bool kindOfFile(std::string_view fileName, InputKind& kind) {
    for (int i = 0; i < InputKinds; ++i) {
        if (fileName.ends_with(Extensions[i])) {
            kind = static_cast<InputKind>(i);
            return true;
        }
    }
    return false;
}

std::vector<std::string> filesIn(const std::string& folder, const char* mask, bool folders) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    std::string separator = folder.ends_with('\\') ? "" : "\\";
    HANDLE search = FindFirstFileA((folder + separator + mask).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        std::string_view name = found.cFileName;
        if (isFolder == folders && name != "." && name != "..") names.emplace_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const std::string& path, std::string_view bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// ==== Corpus ====

std::string treeOf(const std::string& script) {
    TJParser parser;
    parser.Source = ansiToWide(script);
    std::string bytes;
    try {
        if (parser.Parse()) writeTreeBytes(parser.Root(), bytes);
    } catch (const Exception&) {
        bytes.clear();
    }
    return bytes;
}

Corpus loadCorpus(const std::string& root) {
    Corpus corpus;
    auto addFiles = [&](InputKind kind, const std::string& folder, const char* mask) {
        for (const std::string& name : filesIn(folder, mask)) {
            std::string bytes = readFileBytes(AnsiString(folder + "\\" + name));
            // Scripts that wait for the user or the clock would only time out.
            if (kind != InputKind::Script || !callsWaitingBuiltin(bytes)) corpus.add(kind, std::move(bytes));
        }
    };
    std::string scripts = root + "\\tests\\scripts";
    for (const std::string& area : filesIn(scripts, "*", true)) addFiles(InputKind::Script, scripts + "\\" + area, "*.dms");
    for (const char* folder : {"\\tests\\host\\data\\widgets", "\\tests\\host\\data\\translate"})
        addFiles(InputKind::Script, root + folder, "*.dms");
    addFiles(InputKind::Widget, root + "\\tests\\host\\data\\translate", "*.xml");
    for (const std::string& widget : filesIn(root + "\\widgets", "*", true))
        addFiles(InputKind::Widget, root + "\\widgets\\" + widget, "*.xml");
    for (const std::string& script : corpus.of(InputKind::Script)) {
        std::string tree = treeOf(script);
        if (!tree.empty()) corpus.add(InputKind::Tree, std::move(tree));
    }
    for (const char* sample : SettingsSamples) corpus.add(InputKind::Settings, sample);
    for (const char* mask : {"*.dfm", "*.bin"}) addFiles(InputKind::Form, scripts + "\\bridge_streams", mask);
    return corpus;
}

// ==== Mutations ====

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {

using Mutation = void (*)(std::string& bytes, InputKind kind, const Corpus& corpus, Random& random);

size_t position(const std::string& bytes, Random& random) { return random.below(bytes.size() + 1); }

std::string repeated(std::string_view piece, size_t count) {
    std::string text;
    text.reserve(piece.size() * count);
    for (size_t i = 0; i < count; ++i) text.append(piece);
    return text;
}

std::string le32(uint32_t value) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

void flipBits(std::string& bytes, InputKind, const Corpus&, Random& random) {
    if (bytes.empty()) return;
    for (size_t n = 1 + random.below(8); n > 0; --n) bytes[random.below(bytes.size())] ^= static_cast<char>(1 << random.below(8));
}

// Bytes that mean something to a lexer, an XML reader or a record reader.
void setByte(std::string& bytes, InputKind, const Corpus&, Random& random) {
    static const std::vector<char> special = {'\0', '\x01', '\x7f', '\x80', '\xff', '\\', '"', '\'', '/', '<',
                                              '>', '&', ';', '{', '}', '(', '\x05', '\x09', '\x19', '\x3d'};
    if (!bytes.empty()) bytes[random.below(bytes.size())] = random.pick(special);
}

// A lead byte of a double-byte code with no trail byte after it, often at the end.
void insertLoneLead(std::string& bytes, InputKind, const Corpus&, Random& random) {
    char lead = static_cast<char>(random.chance(50) ? 0x81 + random.below(0x1F) : 0xE0 + random.below(0x1D));
    bytes.insert(random.chance(50) ? bytes.size() : position(bytes, random), 1, lead);
}

void insertNul(std::string& bytes, InputKind, const Corpus&, Random& random) {
    bytes.insert(position(bytes, random), 1, '\0');
}

void truncate(std::string& bytes, InputKind, const Corpus&, Random& random) { bytes.resize(random.below(bytes.size() + 1)); }

// A piece of another input of the kind, inserted or put over a piece of this one.
void splice(std::string& bytes, InputKind kind, const Corpus& corpus, Random& random) {
    const std::vector<std::string>& others = corpus.of(kind);
    if (others.empty()) return;
    const std::string& other = random.pick(others);
    size_t from = random.below(other.size() + 1);
    std::string piece = other.substr(from, random.below(other.size() - from + 1));
    size_t at = position(bytes, random);
    size_t replaced = random.chance(50) ? random.below(bytes.size() - at + 1) : 0;
    bytes.replace(at, replaced, piece);
}

void removeChunk(std::string& bytes, InputKind, const Corpus&, Random& random) {
    size_t at = position(bytes, random);
    bytes.erase(at, random.below(bytes.size() - at + 1));
}

void duplicateChunk(std::string& bytes, InputKind, const Corpus&, Random& random) {
    size_t at = position(bytes, random);
    std::string piece = bytes.substr(at, random.below(std::min<size_t>(bytes.size() - at, 4096) + 1));
    bytes.insert(position(bytes, random), repeated(piece, 1 + random.below(16)));
}

// A piece of the input inside openers repeated up to 16,384 times, each
// closed after it or not: past every depth bound of the readers.
void nest(std::string& bytes, InputKind kind, const Corpus&, Random& random) {
    using namespace std::literals;
    using Pair = std::pair<std::string_view, std::string_view>;
    static const std::vector<Pair> scriptPairs = {
        {"("sv, ")"sv}, {"["sv, "]"sv}, {"{"sv, "}"sv}, {"a["sv, "]"sv}, {"f("sv, ")"sv}, {"-"sv, ""sv},
        {"!"sv, ""sv}, {"typeof "sv, ""sv}, {"a = "sv, ""sv}, {"a + "sv, ""sv}, {"if (a) "sv, ""sv},
        {"if (a) ; else "sv, ""sv}, {"function(){ return "sv, "; }"sv}, {"{a: "sv, "}"sv},
        {"do "sv, " while (0);"sv}, {"try { "sv, " } catch (e) {}"sv}, {"a ? b : "sv, ""sv}};
    static const std::vector<Pair> formPairs = {{"object A: TPanel\r\n"sv, "end\r\n"sv}, {"P = ("sv, ")"sv},
                                                {"P = <item P = "sv, " end>"sv}, {"\x06TPanel\x01" "A"sv, "\0\0"sv},
                                                {"\x01P\x01"sv, "\0"sv}};
    static const std::vector<Pair> xmlPairs = {{"<a>"sv, "</a>"sv}, {"<a b=\"c\">"sv, "</a>"sv},
                                               {"<![CDATA["sv, "]]>"sv}, {"<!--"sv, "-->"sv},
                                               {"<appSettings>"sv, "</appSettings>"sv}};
    // Records that hold the next one: a block; a subtraction whose Right is next.
    static const std::vector<Pair> treePairs = {{"\x05\x02\x01\x00\x00\x00"sv, ""sv},
                                                {"\x19\x03\x03\x15\x01\x00\x00\x00\x61"sv, ""sv}};
    const std::vector<Pair>& pairs = kind == InputKind::Script ? scriptPairs
                                     : kind == InputKind::Tree ? treePairs
                                     : kind == InputKind::Form ? formPairs
                                                               : xmlPairs;
    auto [open, close] = random.pick(pairs);
    size_t depth = size_t{1} << random.below(15);
    size_t at = position(bytes, random);
    size_t end = at + random.below(bytes.size() - at + 1);
    if (random.chance(70)) bytes.insert(end, repeated(close, depth));
    bytes.insert(at, repeated(open, depth));
}

// A literal of 1 KB to 1 MB: texts, numbers, names, expressions, attribute
// values, a tree's string constant whose length may run past the end.
void hugeLiteral(std::string& bytes, InputKind kind, const Corpus&, Random& random) {
    struct Form {
        const char* open;
        char fill;
        const char* close;
    };
    static const std::vector<Form> scriptForms = {{"\"", 'a', "\""}, {"'", '\\', "'"}, {"", '9', ""},
                                                  {"0x", 'f', ""},    {"1e", '9', ""},  {"/", 'a', "/g"},
                                                  {"", 'a', ""},      {"0.", '1', ""}};
    static const std::vector<Form> xmlForms = {
        {"<add key=\"k\" value=\"", 'x', "\"/>"}, {"<a>", 'x', "</a>"}, {"<a b=\"", 'x', "\"/>"}, {"&#", '9', ";"}};
    size_t length = size_t{1} << (10 + random.below(11));
    std::string literal;
    if (kind == InputKind::Tree) {
        literal = std::string("\x05\x14\x03\x04", 4) + le32(static_cast<uint32_t>(length + random.below(3) - 1)) +
                  std::string(length, 'a');
    } else {
        const Form& form = random.pick(kind == InputKind::Script ? scriptForms : xmlForms);
        literal = form.open + std::string(length, form.fill) + form.close;
    }
    bytes.insert(position(bytes, random), literal);
}

// Splices twice as often: they carry whole constructs from input to input.
const Mutation Mutations[] = {flipBits, setByte,     insertLoneLead, insertNul, truncate,   splice,
                              splice,   removeChunk, duplicateChunk, nest,      hugeLiteral};

}  // namespace

void mutate(std::string& bytes, InputKind kind, const Corpus& corpus, Random& random) {
    for (size_t n = 1 + random.below(4); n > 0; --n) Mutations[random.below(std::size(Mutations))](bytes, kind, corpus, random);
    if (bytes.size() > MaxInputBytes) bytes.resize(MaxInputBytes);
}
