// TMailMessage: one Internet mail message as a header table, header lines,
// body lines, a plain text and a list of attachment files. Parse reads a
// received message (writing its Base64 attachments as files); Compose writes
// one to send (MIME multipart with Base64 attachments when there are files).
// Used by the POP3 and SMTP clients and the script class "Mail".
#pragma once

#include <string>
#include <unordered_map>

#include "engine/support/hashtable.h"
#include "rtl/stringlist.h"

class TMailMessage {
public:
    TMailMessage() { Clear(); }
    TMailMessage(const TMailMessage&) = delete;
    TMailMessage& operator=(const TMailMessage&) = delete;

    // Empties everything and draws a new boundary.
    void Clear();
    AnsiString GetHeader(const AnsiString& name) const { return Headers.GetValue(name); }
    void Assign(const TMailMessage& other);
    // Reads a message. AttachPath is kept: received attachments are written
    // inside it (the temporary folder when it is empty, never the current
    // one), under their base names, never over an existing file.
    void Parse(const AnsiString& text);
    // The message to send: the headers in the table's order, then the MIME
    // lines, then the body; every line ends with CR LF. A file that cannot
    // be read fails it.
    AnsiString Compose();

    TStringList Attachments;  // full paths of the attachment files
    TStringHashTable Headers{13, true};
    TStringList HeaderLines;
    int32_t Number = 0;  // the message number of a summary read, else 0
    TStringList BodyLines;
    AnsiString Text;
    AnsiString Boundary;
    AnsiString AttachPath;

private:
    // The last path given to each name in one message, where its numbering
    // goes on: parts of one name would otherwise test every number again.
    using NamesGiven = std::unordered_map<std::string, AnsiString>;
    void parsePart(const TStringList& lines, NamesGiven& given);
    void saveAttachment(const AnsiString& name, const AnsiString& data, NamesGiven& given);
};

// The value of a "key=" parameter of a header value: up to the closing
// double quote when quoted, else up to ";" or the end; empty when absent.
AnsiString HeaderParameter(std::string_view value, std::string_view key);
