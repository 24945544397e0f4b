// A small element tree over libxml2: documents read from a file or from text,
// elements with their names, values, attributes and children, edits, and saving
// with a declaration naming the encoding "Shift-JIS". All text is code page 932
// (AnsiString); the conversion to the library's UTF-8 happens here. Used by the
// settings file (host/widget/setting.h) and the widget translator (host/widget/widgetxml.h).
#pragma once

#include "rtl/ansistring.h"
#include "rtl/exceptions.h"

struct _xmlNode;
struct _xmlDoc;

// A document that cannot be read, parsed or saved; the message names the file.
RTL_EXCEPTION(EXmlError, Exception);

// Blank text between elements: kept as text nodes (exact values), or dropped
// so that a saved document is indented anew.
enum class TXmlBlanks { Keep, Drop };

// A borrowed handle to an element of a TXmlDocument: valid while the document
// lives and the element has not been removed. A null handle is false.
class TXmlElement {
public:
    TXmlElement() = default;
    explicit TXmlElement(_xmlNode* node) : node_(node) {}
    explicit operator bool() const { return node_ != nullptr; }
    bool operator==(const TXmlElement& other) const = default;

    AnsiString name() const;
    // The text and CDATA sections directly inside the element, joined in order
    // (an entity reference gives its text; comments give nothing).
    AnsiString value() const;
    void setValue(const AnsiString& text);

    bool hasAttribute(const AnsiString& name) const;
    AnsiString attribute(const AnsiString& name, const AnsiString& fallback = {}) const;
    int attributeCount() const;
    AnsiString attributeName(int index) const;
    AnsiString attributeValue(int index) const;
    // Sets the attribute, appending it when it is new.
    void setAttribute(const AnsiString& name, const AnsiString& value);
    bool removeAttribute(const AnsiString& name);

    // Child elements only (text, comments and the like are not counted).
    int childCount() const;
    TXmlElement child(int index) const;
    TXmlElement child(const AnsiString& name) const;  // the first child element of that exact name
    TXmlElement firstChild() const;
    TXmlElement nextSibling() const;
    TXmlElement parent() const;  // null for the root

    // Appends a child element holding the text (no text node when empty).
    TXmlElement appendChild(const AnsiString& name, const AnsiString& text = {});
    // Takes the element out of its document and frees it; the handle dies.
    void remove();

private:
    _xmlNode* node_ = nullptr;
};

class TXmlDocument {
public:
    // A new document with the encoding "Shift-JIS" and an empty root element.
    explicit TXmlDocument(const AnsiString& rootName);
    // A document read from a file or from text (the bytes of a document). Its
    // encoding comes from its declaration; text without one that is not UTF-8
    // is read as code page 932. Raises EXmlError naming the file and line.
    static TXmlDocument fromFile(const AnsiString& path, TXmlBlanks blanks = TXmlBlanks::Keep);
    static TXmlDocument fromString(const AnsiString& text, TXmlBlanks blanks = TXmlBlanks::Keep);

    TXmlDocument(TXmlDocument&& other) noexcept : doc_(other.doc_) { other.doc_ = nullptr; }
    TXmlDocument& operator=(TXmlDocument&& other) noexcept;
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;
    ~TXmlDocument();

    TXmlElement root() const;
    // The encoding the document is written in ("Shift-JIS" for new documents).
    AnsiString encoding() const;
    // The whole document as the bytes of its file, lines ended with CR LF.
    AnsiString toString() const;
    // Writes a temporary file beside the target (the target's name, a dot,
    // the process id in hex and ".tmp") and moves it over the target, so the
    // old file stays whole until the new one is complete.
    void saveToFile(const AnsiString& path) const;
private:
    explicit TXmlDocument(_xmlDoc* doc) : doc_(doc) {}
    _xmlDoc* doc_ = nullptr;
};
