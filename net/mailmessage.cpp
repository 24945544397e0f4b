// The mail message: reading a received message with its MIME parts and
// attachments, and composing one to send.
#include "net/mailmessage.h"

#include <windows.h>

#include "engine/support/base64.h"
#include "engine/support/mbstring.h"
#include "net/httpdate.h"
#include "net/textutil.h"
#include "rtl/datetime.h"
#include "rtl/fileio.h"

namespace {

constexpr size_t base64LineLength = 76;

bool isParameterStart(std::string_view value, size_t at) {
    if (at == 0) return true;
    char before = value[at - 1];
    return before == ';' || before == ' ' || before == '\t';
}

// Name and value of a header line, both trimmed; a line without ":" is a
// name with an empty value.
void splitHeader(const AnsiString& line, AnsiString& name, AnsiString& value) {
    size_t colon = line.find(':');
    name = trimText(line.view().substr(0, colon));
    value = colon == std::string_view::npos ? AnsiString() : trimText(line.view().substr(colon + 1));
}

bool isContinuation(const AnsiString& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// Stores the header lines in the table; a folded line continues the value
// of the header before it.
void storeHeaders(const TStringList& lines, int first, int end, TStringHashTable& table) {
    AnsiString name, value;
    for (int i = first; i < end; ++i) {
        AnsiString line = lines.Get(i);
        if (isContinuation(line) && !name.empty()) {
            value += " " + trimText(line);
        } else {
            if (!name.empty()) table.SetValue(name, value);
            splitHeader(line, name, value);
        }
    }
    if (!name.empty()) table.SetValue(name, value);
}

AnsiString lowerValue(const TStringHashTable& table, const char* name) { return lowerCaseAscii(table.GetValue(name)); }

bool isBoundaryLine(const AnsiString& line, const AnsiString& boundary) {
    return line.startsWith("--") && line.find(boundary) != std::string_view::npos;
}

// The last part of a name in any of the path forms; what is left of ".."
// or of a drive is refused (empty).
AnsiString safeBaseName(const AnsiString& name) {
    size_t cut = mbcsFindLastOf(name, "\\/:");
    AnsiString base = trimText(cut == std::string_view::npos ? name.view() : name.view().substr(cut + 1));
    return base == "." || base == ".." ? AnsiString() : base;
}

HANDLE openFile(const AnsiString& path, DWORD disposition) { return createDiskFile(path, GENERIC_WRITE, 0, disposition); }

}  // namespace

AnsiString HeaderParameter(std::string_view value, std::string_view key) {
    AnsiString lower = lowerCaseAscii(value);
    AnsiString wanted = lowerCaseAscii(key) + "=";
    for (size_t at = lower.find(wanted); at != std::string_view::npos; at = lower.find(wanted, at + 1)) {
        if (!isParameterStart(value, at)) continue;
        std::string_view rest = value.substr(at + wanted.length());
        if (!rest.empty() && rest[0] == '"') {
            size_t close = rest.find('"', 1);
            return AnsiString(rest.substr(1, close == std::string_view::npos ? close : close - 1));
        }
        return trimText(rest.substr(0, rest.find(';')));
    }
    return {};
}

void TMailMessage::Clear() {
    HeaderLines.Clear();
    BodyLines.Clear();
    Headers.Clear();
    Attachments.Clear();
    Number = 0;
    Text.clear();
    Boundary = RandomLetters(42);
    AttachPath.clear();
}

void TMailMessage::Assign(const TMailMessage& other) {
    if (&other == this) return;
    Clear();
    Attachments.Assign(other.Attachments);
    HeaderLines.Assign(other.HeaderLines);
    BodyLines.Assign(other.BodyLines);
    Number = other.Number;
    Text = other.Text;
    Boundary = other.Boundary;
    AttachPath = other.AttachPath;
    TStringHashTable& source = const_cast<TStringHashTable&>(other.Headers);
    for (const AnsiString& name : source.GetKeyList()) Headers.SetValue(name, source.GetValue(name));
}

void TMailMessage::Parse(const AnsiString& text) {
    AnsiString attachPath = AttachPath;
    Clear();
    AttachPath = attachPath;
    size_t end = text.find("\r\n\r\n");
    HeaderLines.SetText(text.view().substr(0, end == std::string_view::npos ? end : end + 2));
    BodyLines.SetText(end == std::string_view::npos ? std::string_view() : text.view().substr(end + 4));
    storeHeaders(HeaderLines, 0, HeaderLines.Count(), Headers);
    AnsiString contentType = GetHeader("Content-Type");
    if (lowerCaseAscii(contentType).find("multipart/mixed") == std::string_view::npos) {
        Text = BodyLines.Text();
        return;
    }
    Boundary = HeaderParameter(contentType, "boundary");
    int i = 0;
    while (i < BodyLines.Count() && !isBoundaryLine(BodyLines.Get(i), Boundary)) ++i;
    TStringList part;
    NamesGiven given;
    for (++i; i < BodyLines.Count(); ++i) {
        AnsiString line = BodyLines.Get(i);
        if (!isBoundaryLine(line, Boundary)) {
            part.Add(line);
            continue;
        }
        parsePart(part, given);
        part.Clear();
    }
}

// A part's headers run to its first empty line; its body is the rest from
// that line on. Text parts add to Text, Base64 parts become files.
void TMailMessage::parsePart(const TStringList& lines, NamesGiven& given) {
    int blank = 0;
    while (blank < lines.Count() && !lines.Get(blank).empty()) ++blank;
    TStringHashTable headers(13, true);
    storeHeaders(lines, 0, blank, headers);
    AnsiString body;
    for (int i = blank; i < lines.Count(); ++i) body += lines.Get(i) + "\r\n";
    if (lowerValue(headers, "Content-Type").find("text/plain") != std::string_view::npos) {
        Text += body;
        return;
    }
    if (lowerValue(headers, "Content-Transfer-Encoding") != "base64") return;
    AnsiString name = HeaderParameter(headers.GetValue("Content-Type"), "name");
    if (name.empty()) name = HeaderParameter(headers.GetValue("Content-Disposition"), "filename");
    // The platform ends a name at a NUL byte; the listed path ends there too.
    name = name.substr(0, name.find('\0'));
    saveAttachment(name, Base64Decode(body), given);
}

// One platform call per part opens a free name: each lookup of a name that
// does not exist may read the whole folder (as Wine's does).
void TMailMessage::saveAttachment(const AnsiString& name, const AnsiString& data, NamesGiven& given) {
    AnsiString path;
    HANDLE file = INVALID_HANDLE_VALUE;
    if (name.empty()) {
        path = MakeTempFileName("gpop3");
        if (!path.empty()) file = openFile(path, TRUNCATE_EXISTING);
    } else {
        AnsiString base = safeBaseName(name);
        AnsiString folder = AttachPath.empty() ? TempFolder() : EnsureTrailingSeparator(AttachPath, true);
        if (base.empty() || folder.empty()) return;
        AnsiString& last = given[(folder + base).str()];
        path = last.empty() ? folder + base : NextNumberedName(last);
        while ((file = openFile(path, CREATE_NEW)) == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_EXISTS)
            path = NextNumberedName(path);
        last = path;
    }
    if (file == INVALID_HANDLE_VALUE) return;  // an attachment that cannot be written is skipped
    DWORD written = 0;
    bool whole = WriteFile(file, data.c_str(), static_cast<DWORD>(data.length()), &written, nullptr) &&
                 written == data.length();
    CloseHandle(file);
    if (whole) Attachments.Add(path);
    else DeleteFileA(path.c_str());
}

AnsiString TMailMessage::Compose() {
    Boundary = RandomLetters(42);
    HeaderLines.Clear();
    for (const AnsiString& name : Headers.GetKeyList()) HeaderLines.Add(name + ": " + Headers.GetValue(name));
    bool multipart = Attachments.Count() > 0;
    HeaderLines.Add(multipart ? "Content-Type: multipart/mixed; boundary=\"" + Boundary + "\""
                              : AnsiString("Content-Type: text/plain; charset=\"iso-2022-jp\""));
    HeaderLines.Add("Date: " + FormatHttpDate(nowDateTime()));
    HeaderLines.Add("MIME-Version: 1.0");
    HeaderLines.Add("Content-Transfer-Encoding: 7bit");
    HeaderLines.Add("");
    BodyLines.Clear();
    if (!multipart) {
        BodyLines.SetText(Text);
        return HeaderLines.Text() + BodyLines.Text();
    }
    TStringList textLines;
    textLines.SetText(Text);
    AnsiString body = "--" + Boundary + "\r\nContent-Type: text/plain\r\n\r\n" + textLines.Text();
    for (int i = 0; i < Attachments.Count(); ++i) {
        AnsiString path = Attachments.Get(i);
        AnsiString name = safeBaseName(path);
        body += "--" + Boundary + "\r\nContent-Type: application/octet-stream; name=\"" + name +
                "\"\r\nContent-Disposition: filename=\"" + name + "\"\r\nContent-Transfer-Encoding: Base64\r\n\r\n";
        AnsiString encoded = Base64Encode(AnsiString(readFileBytes(path)));
        for (size_t at = 0; at < encoded.length(); at += base64LineLength)
            body += encoded.view().substr(at, base64LineLength), body += "\r\n";
    }
    body += "--" + Boundary + "--\r\n";
    BodyLines.SetText(body);
    return HeaderLines.Text() + body;
}
