// Compiled-tree files (".dmc"): a parsed tree as bytes and back without
// parsing, and the files that hold them. Records nest depth-first; Next chains
// and left-leaning operand chains are walked in loops, everything else
// carries a depth bound. Used by TJParser (SaveTreeToFile, LoadTreeFromFile);
// the engine's CompileFile decides where trees are cached.
#pragma once

#include <string>
#include <string_view>

#include "engine/syntax/tree.h"
#include "rtl/ansistring.h"

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

// Writes the tree's file; false, and no file left, when the tree nests too
// deep or the file cannot be written whole.
bool writeTreeFile(const TJStatement* root, const AnsiString& fileName);
// The program in the file (as readTreeBytes); nil when the file cannot be read.
TJStatement* readTreeFile(const AnsiString& fileName, TJExprFactory& exprs, TJStatementFactory& statements);
