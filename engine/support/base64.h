// Base64 (the RFC 2045 alphabet, no line breaks) and the MIME header words
// "=?ISO-2022-JP?B?...?=" that carry Japanese text in mail and HTTP headers.
// Used by the Base64 script object, the HTTP client's basic authentication and
// the mail message's attachments and headers.
#pragma once

#include "rtl/ansistring.h"

AnsiString Base64Encode(const AnsiString& data);
// Reads groups of four characters; "=" pads a group, CR, LF and any other
// character outside the alphabet are skipped.
AnsiString Base64Decode(const AnsiString& text);

// Every run of double-byte characters of a Shift-JIS text becomes one encoded
// word in JIS; single-byte characters stay as they are.
AnsiString EncodeMimeHeader(const AnsiString& text);
// Decodes the encoded words (prefix in any case) to JIS text, each followed by
// "ESC ( J"; the rest of the text is left as it stands.
AnsiString DecodeMimeHeader(const AnsiString& text);
