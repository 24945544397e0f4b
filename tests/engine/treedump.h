// Tree dumps for the parser and compiled-tree tests: a compact text form of
// a syntax tree read from its fields, so expected trees can be written as
// text. Expressions: (Code left right third), argument chains as [a, b],
// constants as i:1 d:1.5 s:'x' b:true null NaN inf re:/x/g. Statements:
// Kind[@line] [expr] {child1} {child2} {child3}, chains joined by "; ".
#pragma once

#include <string>

#include "engine/syntax/tree.h"

std::string dumpExpr(const TJExpr* node);
std::string dumpStatements(const TJStatement* first, bool lines = false);
// A constant as in expression dumps.
std::string dumpValue(const TJValue& value);
