// Compiled-tree files (".dmc"): a parsed tree as bytes, written and read
// without parsing. Records nest depth-first; Next chains and left-leaning
// operand chains are walked in loops, everything else carries a depth bound.
// Used by TJParser (SaveTreeToFile, LoadTreeFromFile) and by the engine's
// file compiler (loadCompiledTree, saveCompiledTree).
#pragma once

#include <string>
#include <string_view>

#include "engine/syntax/tree.h"
#include "rtl/ansistring.h"

class TJParser;

constexpr char TreeFileMagic[] = "DAZiduva";
constexpr unsigned char TreeFileVersion = 0x12;
// Records nested deeper than this are refused on writing and on reading.
constexpr int TreeFileMaxDepth = 8000;

// The file's bytes for a tree (header only when root is nil); false, and
// out unchanged, when the tree nests deeper than TreeFileMaxDepth.
bool writeTreeBytes(const TJStatement* root, std::string& out);
// The program held by the bytes, its nodes made through the factories; nil
// for anything that is not a complete, well-formed program tree of this
// version (the
// caller then parses the source). Nodes made before a failure stay with the
// factories.
TJStatement* readTreeBytes(std::string_view bytes, TJExprFactory& exprs, TJStatementFactory& statements);

// ==== The engine's cache of a script file ====
// Loads the cache beside the script, else the one in the temporary folder,
// when it is not older than the script; false when neither gives a tree.
bool loadCompiledTree(TJParser& parser, const AnsiString& scriptPath);
// After a successful parse of the script: saves the tree beside the script,
// else in the temporary folder. A tree that read library files is not
// cached (a changed library would go unseen) and its old caches are removed.
void saveCompiledTree(const TJParser& parser, const AnsiString& scriptPath);
