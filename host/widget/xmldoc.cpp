// The element tree over libxml2: library set-up with the "Shift-JIS" encoding
// handler, reading with the code-page-932 fallback, element access and edits,
// and the atomic save.
#include "host/widget/xmldoc.h"

#include <windows.h>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <string>

#include "rtl/fileio.h"
#include "rtl/filepath.h"
#include "host/widget/xmlcodec.h"

namespace {

// ==== Library set-up ====

const char* const kShiftJisNames[] = {"Shift-JIS", "Shift_JIS", "SJIS", "CP932", "Windows-31J"};
const char kShiftJis[] = "Shift-JIS";  // new documents, and text read as code page 932

void ignoreLibraryMessage(void*, const char*, ...) {}

// Once per process: the parser's globals, silence on standard error (failures
// come back as return values and are raised here), and the encoding handlers.
void ensureLibrary() {
    static const bool ready = [] {
        xmlInitParser();
        xmlSetGenericErrorFunc(nullptr, ignoreLibraryMessage);
        for (const char* name : kShiftJisNames) xmlNewCharEncodingHandler(name, cp932ToUtf8Chunk, utf8ToCp932Chunk);
        return true;
    }();
    (void)ready;
}

// ==== Text ====

std::string toXml(const AnsiString& text) {
    return ansiToUtf8(text.view());
}

const xmlChar* xmlText(const std::string& utf8) {
    return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

AnsiString fromXml(const xmlChar* text) {
    return text ? utf8ToAnsi(reinterpret_cast<const char*>(text)) : AnsiString();
}

// Takes over a string the library allocated.
AnsiString takeXml(xmlChar* text) {
    AnsiString result = fromXml(text);
    xmlFree(text);
    return result;
}

AnsiString qualifiedName(const xmlNs* ns, const xmlChar* name) {
    AnsiString local = fromXml(name);
    return ns && ns->prefix ? fromXml(ns->prefix) + ":" + local : local;
}

// "Cannot write "C:\w\a.config": System error 5: ..." for the error code.
[[noreturn]] void raiseFileError(const char* action, const AnsiString& path, DWORD code) {
    SetLastError(code);
    try {
        raiseLastOSError();
    } catch (const EOSError& error) {
        throw EXmlError(AnsiString(action) + " \"" + path + "\": " + error.message());
    }
}

// ==== Reading ====

struct ParseOutcome {
    xmlDoc* doc = nullptr;
    int code = 0;
    int line = 0;
    AnsiString message;
};

void recordError(ParseOutcome& outcome, const xmlError* error) {
    outcome.code = error->code;
    outcome.line = error->line;
    outcome.message = fromXml(reinterpret_cast<const xmlChar*>(error->message));
    while (outcome.message.endsWith("\n")) outcome.message.setLength(outcome.message.length() - 1);
}

// The first fatal error is the one to show, and the reader halts there: the
// document is refused anyway, and reading on would report the errors that
// follow from it, each copying all the text before it (some texts, such as
// comments opened inside comments, then take time in the square of their
// length). Halted as the reader halts itself, it raises no more errors; its
// input stays, as the function that raised this error goes on reading it
// (xmlStopParser would free it under that function's feet). Some parse
// functions restore their state on the way out, so every fatal error halts
// the reader again.
void keepFirstFatalError(void* context, xmlError* error) {
    auto* parser = static_cast<xmlParserCtxt*>(context);
    auto* outcome = static_cast<ParseOutcome*>(parser->_private);
    if (error->level != XML_ERR_FATAL) return;
    if (outcome->code == 0) recordError(*outcome, error);
    parser->disableSAX = 1;
    parser->instate = XML_PARSER_EOF;
}

ParseOutcome parseOnce(std::string_view bytes, int options, const char* encoding) {
    xmlParserCtxt* context = xmlNewParserCtxt();
    if (!context) throw EOutOfMemory("Out of memory reading an XML document");
    ParseOutcome outcome;
    context->_private = &outcome;
    context->sax->serror = keepFirstFatalError;
    outcome.doc = xmlCtxtReadMemory(context, bytes.data(), static_cast<int>(bytes.size()), nullptr, encoding, options);
    const xmlError* last = xmlCtxtGetLastError(context);
    if (!outcome.doc && outcome.code == 0 && last) recordError(outcome, last);
    xmlFreeParserCtxt(context);
    return outcome;
}

// Parses the bytes of a document; origin names it in messages. A document
// without an encoding declaration that is not UTF-8 is read again as code page
// 932 (its declaration, if it claims UTF-8, is then ignored).
xmlDoc* parseDocument(std::string_view bytes, const AnsiString& origin, TXmlBlanks blanks) {
    ensureLibrary();
    int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    if (blanks == TXmlBlanks::Drop) options |= XML_PARSE_NOBLANKS;
    ParseOutcome outcome = parseOnce(bytes, options, nullptr);
    if (!outcome.doc && outcome.code == XML_ERR_INVALID_CHAR && !isUtf8(bytes)) {
        outcome = parseOnce(bytes, options | XML_PARSE_IGNORE_ENC, kShiftJis);
    }
    if (outcome.doc) return outcome.doc;
    AnsiString message = outcome.message.empty() ? AnsiString("not a well-formed XML document") : outcome.message;
    throw EXmlError(origin + "(" + AnsiString(std::to_string(outcome.line)) + "): " + message);
}

std::string readDocumentBytes(const AnsiString& path) {
    HANDLE file = createDiskFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) raiseFileError("Cannot open", path, GetLastError());
    std::string bytes;
    char buffer[65536];
    DWORD read = 0;
    BOOL ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &read, nullptr)) && read > 0) bytes.append(buffer, read);
    DWORD code = GetLastError();
    CloseHandle(file);
    if (!ok) raiseFileError("Cannot read", path, code);
    return bytes;
}

// ==== Writing ====

}  // namespace

// ==== Element ====

AnsiString TXmlElement::name() const {
    return qualifiedName(node_->ns, node_->name);
}

AnsiString TXmlElement::value() const {
    AnsiString text;
    for (xmlNode* node = node_->children; node; node = node->next) {
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) text += fromXml(node->content);
        if (node->type == XML_ENTITY_REF_NODE) text += takeXml(xmlNodeGetContent(node));
    }
    return text;
}

void TXmlElement::setValue(const AnsiString& text) {
    for (xmlNode* node = node_->children; node;) {
        xmlNode* next = node->next;
        if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
            xmlUnlinkNode(node);
            xmlFreeNode(node);
        }
        node = next;
    }
    if (!text.empty()) xmlAddChild(node_, xmlNewDocText(node_->doc, xmlText(toXml(text))));
}

namespace {

xmlAttr* findAttribute(xmlNode* node, const AnsiString& name) {
    for (xmlAttr* attr = node->properties; attr; attr = attr->next) {
        if (qualifiedName(attr->ns, attr->name) == name) return attr;
    }
    return nullptr;
}

xmlAttr* attributeAt(xmlNode* node, int index) {
    xmlAttr* attr = node->properties;
    for (int i = 0; attr && i < index; ++i) attr = attr->next;
    if (!attr || index < 0) throw EXmlError("Attribute index out of bounds (" + AnsiString(std::to_string(index)) + ")");
    return attr;
}

AnsiString attributeText(xmlAttr* attr) {
    return takeXml(xmlNodeGetContent(reinterpret_cast<xmlNode*>(attr)));
}

xmlNode* elementFrom(xmlNode* node) {
    while (node && node->type != XML_ELEMENT_NODE) node = node->next;
    return node;
}

}  // namespace

bool TXmlElement::hasAttribute(const AnsiString& name) const {
    return findAttribute(node_, name) != nullptr;
}

AnsiString TXmlElement::attribute(const AnsiString& name, const AnsiString& fallback) const {
    xmlAttr* attr = findAttribute(node_, name);
    return attr ? attributeText(attr) : fallback;
}

int TXmlElement::attributeCount() const {
    int count = 0;
    for (xmlAttr* attr = node_->properties; attr; attr = attr->next) ++count;
    return count;
}

AnsiString TXmlElement::attributeName(int index) const {
    xmlAttr* attr = attributeAt(node_, index);
    return qualifiedName(attr->ns, attr->name);
}

AnsiString TXmlElement::attributeValue(int index) const {
    return attributeText(attributeAt(node_, index));
}

void TXmlElement::setAttribute(const AnsiString& name, const AnsiString& value) {
    xmlSetProp(node_, xmlText(toXml(name)), xmlText(toXml(value)));  // stores the text as it is
}

bool TXmlElement::removeAttribute(const AnsiString& name) {
    xmlAttr* attr = findAttribute(node_, name);
    if (attr) xmlRemoveProp(attr);
    return attr != nullptr;
}

int TXmlElement::childCount() const {
    int count = 0;
    for (TXmlElement child = firstChild(); child; child = child.nextSibling()) ++count;
    return count;
}

TXmlElement TXmlElement::child(int index) const {
    TXmlElement child = index >= 0 ? firstChild() : TXmlElement();
    for (int i = 0; child && i < index; ++i) child = child.nextSibling();
    return child;
}

TXmlElement TXmlElement::child(const AnsiString& name) const {
    TXmlElement child = firstChild();
    while (child && child.name() != name) child = child.nextSibling();
    return child;
}

TXmlElement TXmlElement::firstChild() const {
    return TXmlElement(elementFrom(node_->children));
}

TXmlElement TXmlElement::nextSibling() const {
    return TXmlElement(elementFrom(node_->next));
}

TXmlElement TXmlElement::parent() const {
    xmlNode* parent = node_->parent;
    return TXmlElement(parent && parent->type == XML_ELEMENT_NODE ? parent : nullptr);
}

TXmlElement TXmlElement::appendChild(const AnsiString& name, const AnsiString& text) {
    xmlNode* child = xmlNewDocRawNode(node_->doc, nullptr, xmlText(toXml(name)),
                                      text.empty() ? nullptr : xmlText(toXml(text)));
    return TXmlElement(xmlAddChild(node_, child));
}

void TXmlElement::remove() {
    xmlUnlinkNode(node_);
    xmlFreeNode(node_);
    node_ = nullptr;
}

// ==== Document ====

TXmlDocument::TXmlDocument(const AnsiString& rootName) {
    ensureLibrary();
    doc_ = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    doc_->encoding = xmlStrdup(reinterpret_cast<const xmlChar*>(kShiftJis));
    xmlDocSetRootElement(doc_, xmlNewDocRawNode(doc_, nullptr, xmlText(toXml(rootName)), nullptr));
}

TXmlDocument TXmlDocument::fromFile(const AnsiString& path, TXmlBlanks blanks) {
    return TXmlDocument(parseDocument(readDocumentBytes(path), path, blanks));
}

TXmlDocument TXmlDocument::fromString(const AnsiString& text, TXmlBlanks blanks) {
    return TXmlDocument(parseDocument(text.view(), "XML text", blanks));
}

TXmlDocument& TXmlDocument::operator=(TXmlDocument&& other) noexcept {
    if (this != &other) {
        if (doc_) xmlFreeDoc(doc_);
        doc_ = other.doc_;
        other.doc_ = nullptr;
    }
    return *this;
}

TXmlDocument::~TXmlDocument() {
    if (doc_) xmlFreeDoc(doc_);
}

TXmlElement TXmlDocument::root() const {
    return TXmlElement(xmlDocGetRootElement(doc_));
}

AnsiString TXmlDocument::encoding() const {
    return fromXml(doc_->encoding);
}

AnsiString TXmlDocument::toString() const {
    xmlChar* bytes = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc_, &bytes, &size, nullptr, 1);
    if (!bytes) throw EXmlError("Cannot write the document in the encoding \"" + encoding() + "\"");
    std::string text;
    text.reserve(static_cast<size_t>(size) + static_cast<size_t>(size) / 16);
    for (int i = 0; i < size; ++i) {
        if (bytes[i] == '\n') text += '\r';  // the writer never puts a bare CR: it writes "&#13;"
        text += static_cast<char>(bytes[i]);
    }
    xmlFree(bytes);
    return AnsiString(text);
}

void TXmlDocument::saveToFile(const AnsiString& path) const {
    AnsiString bytes = toString();
    ReplacingFile file(path);
    if (!file.valid() || !file.write(bytes.view()) || !file.commit()) raiseFileError("Cannot write", path, GetLastError());
}
