// Tree dumps for the parser and compiled-tree tests (see treedump.h).
#include "treedump.h"

#include <cstdio>
#include <vector>

#include "engine/core/value.h"

namespace {

const char* exprName(int code) {
    switch (code) {
#define NAME_CASE(name, number) case number: return #name + 2;
        JEXPR_CODES(NAME_CASE)
    default: return "?";
    }
}

const char* statementName(int kind) {
    switch (kind) {
        JSTATEMENT_CODES(NAME_CASE)
#undef NAME_CASE
    default: return "?";
    }
}

// Pure argument chains print as a list in source order.
bool isChain(const TJExpr* node) {
    for (; node; node = node->Left)
        if (node->Code != ecArgument || node->Third || node->Value || node->Func) return false;
    return true;
}

std::string dumpChain(const TJExpr* node) {
    std::vector<const TJExpr*> links;
    for (; node; node = node->Left) links.push_back(node);
    std::string text = "[";
    for (auto it = links.rbegin(); it != links.rend(); ++it) {
        if (it != links.rbegin()) text += ", ";
        text += dumpExpr((*it)->Right);
    }
    return text + "]";
}

std::string dumpStatement(const TJStatement* node, bool lines) {
    std::string text = statementName(node->Kind);
    if (lines) text += "@" + std::to_string(node->LineNo);
    if (node->Expr) text += " " + dumpExpr(node->Expr);
    const TJStatement* children[3] = {node->Child1, node->Child2,
                                      isScopedStatement(node->Kind) ? nullptr : node->Child3};
    int last = 2;
    while (last >= 0 && !children[last]) --last;
    for (int i = 0; i <= last; ++i) text += " {" + dumpStatements(children[i], lines) + "}";
    return text;
}

}  // namespace

std::string dumpValue(const TJValue& value) {
    char buffer[64];
    switch (value.ValueType) {
    case vtUndefined: return "undef";
    case vtNull: return "null";
    case vtInteger: return "i:" + std::to_string(value.IntegerValue);
    case vtDouble:
        std::snprintf(buffer, sizeof buffer, "d:%.17g", value.DoubleValue);
        return buffer;
    case vtString: return "s:'" + value.StrValue.str() + "'";
    case vtBool: return value.BooleanValue ? "b:true" : "b:false";
    case vtInfinity: return value.Negative ? "-inf" : "inf";
    case vtNaN: return "NaN";
    case vtRegExp: return "re:/" + value.StrValue.str() + "/" + std::string(value.regExpFlags());
    default: return "?";
    }
}

std::string dumpExpr(const TJExpr* node) {
    if (!node) return "_";
    if (node->Code == ecConstant && node->Value && !node->Left && !node->Right) return dumpValue(*node->Value);
    if (node->Code == ecIdentifier && !node->Right && !node->Third)
        return node->Left ? node->Name.str() + "<" + dumpExpr(node->Left) + ">" : node->Name.str();
    if (node->Code == ecArgument && isChain(node)) return dumpChain(node);
    std::string text = "(" + std::string(exprName(node->Code));
    if (!node->Name.empty()) text += " '" + node->Name.str() + "'";
    const TJExpr* parts[3] = {node->Left, node->Right, node->Third};
    int last = 2;
    while (last >= 0 && !parts[last]) --last;
    for (int i = 0; i <= last; ++i) text += " " + dumpExpr(parts[i]);
    if (node->Func) text += " " + dumpStatement(node->Func, false);
    return text + ")";
}

std::string dumpStatements(const TJStatement* first, bool lines) {
    std::string text;
    for (const TJStatement* node = first; node; node = node->Next) {
        if (!text.empty()) text += "; ";
        text += dumpStatement(node, lines);
    }
    return text;
}
