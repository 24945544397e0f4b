// Fuzz inputs: their five kinds (scripts, compiled trees, widget files,
// settings files and form streams, text or binary), the test data they grow from, and the mutations that
// make new ones: byte flips, splices, truncation, deep nesting, huge
// literals, lone lead bytes and NUL bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class InputKind { Script, Tree, Widget, Settings, Form };
constexpr int InputKinds = 5;

struct Input {
    InputKind kind = InputKind::Script;
    std::string bytes;
    std::string name;      // the file name it is saved under when it fails
    bool checked = false;  // it must also run cleanly (a regression of a wrong result)
};

// ".dms", ".dmc", ".xml", ".config" or ".dfm"; false for any other extension.
const char* extensionOf(InputKind kind);
bool kindOfFile(std::string_view fileName, InputKind& kind);

// A fixed sequence of numbers for one input of one seed.
class Random {
public:
    Random(uint64_t seed, uint64_t index) : state_(seed * 0x9E3779B97F4A7C15ull ^ (index + 1) * 0xD1B54A32D192ED03ull) {}
    uint64_t next();
    size_t below(size_t count) { return count ? static_cast<size_t>(next() % count) : 0; }
    bool chance(int percent) { return below(100) < static_cast<size_t>(percent); }
    template <class T>
    const T& pick(const std::vector<T>& items) { return items[below(items.size())]; }

private:
    uint64_t state_;
};

// The inputs new ones are made from, by kind: the script tests, the widget
// files and translations of the host tests, the trees of those scripts, a
// few settings files, the form streams of the script tests (text and
// binary), and the regression inputs.
struct Corpus {
    std::vector<std::string> inputs[InputKinds];

    const std::vector<std::string>& of(InputKind kind) const { return inputs[static_cast<int>(kind)]; }
    void add(InputKind kind, std::string bytes) { inputs[static_cast<int>(kind)].push_back(std::move(bytes)); }
};

// Files of a folder that match a mask ("*.dms"), sorted; sub-folders when
// folders is set.
std::vector<std::string> filesIn(const std::string& folder, const char* mask, bool folders = false);
void writeFile(const std::string& path, std::string_view bytes);

// The test data of the source tree at root (a Windows path).
Corpus loadCorpus(const std::string& root);
// The tree file bytes of a script; empty when it does not parse.
std::string treeOf(const std::string& script);

// One to four mutations of the input's bytes, drawing on inputs of its kind.
void mutate(std::string& bytes, InputKind kind, const Corpus& corpus, Random& random);
