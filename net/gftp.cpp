// The FTP client: listing parsers, the directory list, the command frame,
// login, data connections and the transfers.
#include "net/gftp.h"

#include <cctype>
#include <functional>
#include <optional>
#include <utility>

#include "engine/support/dateutil.h"
#include "engine/support/mbstring.h"
#include "engine/support/safefilestream.h"
#include "net/httpdate.h"
#include "net/textutil.h"
#include "rtl/numtext.h"

namespace {

// ==== Listing words ====

struct Word {
    std::string_view Text;
    size_t End;  // offset just after it in the line
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The line split at runs of blanks.
std::vector<Word> splitWords(std::string_view line) {
    std::vector<Word> words;
    words.reserve(12);  // a UNIX line has nine
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isBlank(line[i])) ++i;
        size_t start = i;
        while (i < line.size() && !isBlank(line[i])) ++i;
        if (i > start) words.push_back({line.substr(start, i - start), i});
    }
    return words;
}

// The rest of the line after the word, its separating blanks skipped; blanks
// inside and at the end of a name are kept.
std::string_view restAfter(std::string_view line, const Word& word) {
    size_t i = word.End;
    while (i < line.size() && isBlank(line[i])) ++i;
    return line.substr(i);
}

int64_t numberOr(std::string_view text, int64_t fallback) {
    int64_t value;
    return textToInt64(text, value) ? value : fallback;
}

// A listing's time lies in the past: a date ahead of now is last year's.
TDateTime notInFuture(TDateTime when, TDateTime now) {
    if (when <= now) return when;
    int year, month, day, hour, minute, second, ms;
    decodeDateTime(when, year, month, day, hour, minute, second, ms);
    TDateTime earlier;
    // 29 February of a year that is not leap becomes the 28th.
    if (!tryEncodeDateTime(year - 1, month, std::min(day, daysInMonth(year - 1, month)), hour, minute, second, 0,
                           earlier))
        return when;
    return earlier;
}

// "10:30" (this year) or "2023" (midnight) after month and day.
bool unixDate(int month, std::string_view dayText, std::string_view yearOrTime, TDateTime now, TDateTime& when) {
    int32_t day, hour = 0, minute = 0;
    if (!textToInt32(dayText, day)) return false;
    int year, thisMonth, thisDay;
    decodeDate(now, year, thisMonth, thisDay);
    size_t colon = yearOrTime.find(':');
    if (colon == std::string_view::npos) {
        int32_t named;
        if (!textToInt32(yearOrTime, named)) return false;
        year = named;
    } else if (!textToInt32(yearOrTime.substr(0, colon), hour) || !textToInt32(yearOrTime.substr(colon + 1), minute)) {
        return false;
    }
    if (!tryEncodeDateTime(year, month, day, hour, minute, 0, 0, when)) return false;
    if (colon != std::string_view::npos) when = notInFuture(when, now);
    return true;
}

// "01-05-24" or "01/05/2024" (month, day, year) and "10:30AM" or "22:30".
bool dosDate(std::string_view date, std::string_view time, TDateTime now, TDateTime& when) {
    std::vector<int32_t> parts;
    size_t start = 0;
    for (size_t i = 0; i <= date.size(); ++i) {
        if (i < date.size() && date[i] != '-' && date[i] != '/') continue;
        int32_t part;
        if (!textToInt32(date.substr(start, i - start), part)) return false;
        parts.push_back(part);
        start = i + 1;
    }
    if (parts.size() != 3) return false;
    int year = fullYear(AnsiString(date.substr(date.find_last_of("-/") + 1)), parts[2]);
    AnsiString clock = upperCaseAscii(time);
    bool pm = clock.endsWith("PM"), am = clock.endsWith("AM");
    std::string_view digits = clock.view().substr(0, clock.length() - (pm || am ? 2 : 0));
    size_t colon = digits.find(':');
    int32_t hour, minute;
    if (colon == std::string_view::npos || !textToInt32(digits.substr(0, colon), hour) ||
        !textToInt32(digits.substr(colon + 1), minute))
        return false;
    if ((am || pm) && hour == 12) hour = 0;
    if (pm) hour += 12;
    if (!tryEncodeDateTime(year, parts[0], parts[1], hour, minute, 0, 0, when)) return false;
    when = notInFuture(when, now);
    return true;
}

bool looksLikeDosDate(std::string_view word) {
    return word.size() >= 8 && std::isdigit(static_cast<unsigned char>(word[0])) &&
           word.find_first_of("-/") != std::string_view::npos;
}

const char* const commandNames[] = {
    "cmdChangeDir", "cmdMakeDir", "cmdDelete", "cmdRemoveDir", "cmdList", "cmdRename", "cmdUpRestore",
    "cmdDownRestore", "cmdDownload", "cmdUpload", "cmdAppend", "cmdReInit", "cmdAllocate", "cmdNList",
    "cmdDoCommand", "cmdCurrentDir", "cmdAbort", "cmdMode", "cmdSIZE"};

// The text between the first two double quotes; empty without them.
AnsiString quotedPart(const AnsiString& text) {
    size_t open = text.find('"');
    size_t close = open == std::string_view::npos ? open : text.find('"', open + 1);
    return close == std::string_view::npos ? AnsiString() : text.substr(open + 1, close - open - 1);
}

// The port of "h1,h2,h3,h4,p1,p2" anywhere in a PASV reply (within
// parentheses or not); false unless exactly six numbers of a byte each follow
// one another there.
bool readPassivePort(const AnsiString& text, uint16_t& port) {
    size_t start = text.find('(');
    start = start == std::string_view::npos ? text.view().find_first_of("0123456789") : start + 1;
    if (start == std::string_view::npos) return false;
    size_t end = start;
    while (end < text.length() && (std::isdigit(text.byte(end)) || text[end] == ',' || text[end] == ' ')) ++end;
    std::vector<int32_t> numbers;
    std::string_view list = text.view().substr(start, end - start);
    for (size_t from = 0; from <= list.size();) {
        size_t comma = std::min(list.find(',', from), list.size());
        int32_t value;
        if (!textToInt32(trimText(list.substr(from, comma - from)), value) || value < 0 || value > 255) return false;
        numbers.push_back(value);
        from = comma + 1;
    }
    if (numbers.size() != 6) return false;
    port = static_cast<uint16_t>(numbers[4] * 256 + numbers[5]);
    return true;
}

AnsiString baseName(const AnsiString& path) {
    size_t slash = mbcsFindLastOf(path, "\\/:");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A write-only stream that hands on each line of what is written as soon as
// it ends (CR, LF or CR LF, also a CR LF split between two writes); Finish
// hands on a last line without an end. Each line comes as a part of a text:
// the lines of one write share a copy of it.
class TLineSink : public TStream {
public:
    using Take = std::function<void(const AnsiString& text, std::string_view line)>;
    explicit TLineSink(Take take) : take_(std::move(take)) {}
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
    void SetSize(int64_t) override {}
    void Finish() {
        if (!partial_.empty()) takePartial();
    }

private:
    void takePartial() {
        AnsiString line = std::exchange(partial_, AnsiString());
        take_(line, line.view());
    }

    Take take_;
    AnsiString partial_;  // the start of a line the next write ends
    bool crEnded_ = false;
};

int32_t TLineSink::Write(const void* buffer, int32_t count) {
    std::string_view data(static_cast<const char*>(buffer), static_cast<size_t>(count));
    if (std::exchange(crEnded_, false) && !data.empty() && data[0] == '\n') data.remove_prefix(1);
    AnsiString block;  // the copy of the write that its whole lines share
    for (size_t end; (end = FindLineBreak(data)) != std::string_view::npos;) {
        if (partial_.empty()) {
            if (block.empty()) {
                block = AnsiString(data);
                data = block.view();
            }
            take_(block, data.substr(0, end));
        } else {
            partial_ += data.substr(0, end);
            takePartial();
        }
        if (data[end] == '\r' && end + 1 == data.size()) crEnded_ = true;
        else if (data[end] == '\r' && data[end + 1] == '\n') ++end;
        data.remove_prefix(end + 1);
    }
    partial_ += data;
    if (partial_.length() > MaxLineLength) throw EgSocket("line over 1 MiB");
    return count;
}

}  // namespace

// ==== Listings ====

TFTPFileProperty::TFTPFileProperty() : Modified(nowDateTime()) {}

void TFTPFileProperty::SetLine(const AnsiString& text, std::string_view line) {
    Text_ = text;
    LineStart_ = static_cast<uint32_t>(line.data() - text.data());
    LineLength_ = static_cast<uint32_t>(line.size());
    NameStart_ = NameLength_ = 0;
}

void TFTPFileProperty::SetName(std::string_view name) {
    std::string_view line = Line();
    if (name.data() < line.data() || name.data() + name.size() > line.data() + line.size()) {
        AnsiString own = AnsiString(line) + name;
        name = own.view().substr(line.size());
        SetLine(own, own.view().substr(0, line.size()));
    }
    NameStart_ = static_cast<uint32_t>(name.data() - Text_.data());
    NameLength_ = static_cast<uint32_t>(name.size());
}

int32_t FilePropertyAttribute(const TFTPFileProperty& property) {
    static const int32_t weights[9] = {400, 200, 100, 40, 20, 10, 4, 2, 1};
    int32_t sum = 0;
    for (int i = 0; i < 9; ++i)
        if (property.Permissions[i]) sum += weights[i];
    return sum;
}

namespace {

bool beginsWithTotal(std::string_view line) {
    constexpr std::string_view total = "total";
    if (line.size() < total.size()) return false;
    for (size_t i = 0; i < total.size(); ++i)
        if ((line[i] | 0x20) != total[i]) return false;
    return true;
}

// The parsers below work on the words of the line, split once, and fill a
// fresh record, whose time is now: the dates of the line are read against it.

// "drwxr-xr-x 2 owner group 4096 Jan 5 10:30 name": the month, day and
// time-or-year columns are found as a run (the group column may be missing),
// the size is the column before them and the name all that follows.
bool unixEntry(std::string_view line, const std::vector<Word>& words, TFTPFileProperty& property) {
    switch (std::tolower(static_cast<unsigned char>(line.empty() ? ' ' : line[0]))) {
    case '-': property.FileType = ftFile; break;
    case 'd': property.FileType = ftDirectory; break;
    case 'l': property.FileType = ftLink; break;
    default: return false;
    }
    for (size_t m = 2; m + 3 < words.size(); ++m) {
        int month = monthNameIndex(words[m].Text);
        TDateTime when;
        if (month == 0 || !unixDate(month, words[m + 1].Text, words[m + 2].Text, property.Modified, when)) continue;
        property.Modified = when;
        property.Size = numberOr(words[m - 1].Text, 0);
        std::string_view name = restAfter(line, words[m + 2]);
        size_t arrow = property.FileType == ftLink ? name.find(" -> ") : std::string_view::npos;
        property.SetName(name.substr(0, arrow));
        return !name.empty() && arrow != 0;
    }
    return false;
}

// IIS lines begin with the date: "01-05-24 10:30AM <DIR> docs" or
// "01-05-24 10:30AM 1,234 a b.txt" (the name is the rest of the line). DOS
// lines give the name first: "name size date time" or "name ext size date
// time". A two-digit year is the one within fifty years from now.
bool dosEntry(std::string_view line, const std::vector<Word>& words, TFTPFileProperty& property) {
    property.FileType = line.find("<DIR>") != std::string_view::npos ? ftDirectory : ftFile;
    if (words.size() < 4) return false;
    TDateTime now = property.Modified, when;
    if (looksLikeDosDate(words[0].Text)) {
        if (!dosDate(words[0].Text, words[1].Text, now, when)) return false;
        property.Modified = when;
        if (property.FileType == ftFile) property.Size = numberOr(RemoveCommas(words[2].Text).view(), 0);
        property.SetName(restAfter(line, words[2]));
        return !property.Name().empty();
    }
    if (dosDate(words[2].Text, words[3].Text, now, when)) {
        property.SetName(words[0].Text);
        property.Size = numberOr(RemoveCommas(words[1].Text).view(), 0);
    } else if (words.size() >= 5 && dosDate(words[3].Text, words[4].Text, now, when)) {
        property.SetName(AnsiString(words[0].Text) + "." + words[1].Text);
        property.Size = numberOr(RemoveCommas(words[2].Text).view(), 0);
    } else {
        return false;
    }
    property.Modified = when;
    return true;
}

bool nameOnlyEntry(std::string_view line, TFTPFileProperty& property) {
    property.FileType = ftFile;
    property.SetName(trimView(line));
    return !property.Name().empty();
}

// The parsers read the record's own line, so that the names they find lie within it.
bool listEntry(TFTPFileProperty& property) {
    std::string_view line = property.Line();
    if (line.empty() || beginsWithTotal(line)) return false;
    std::vector<Word> words = splitWords(line);
    if (words.empty()) return false;
    if (words.size() == 1) return nameOnlyEntry(line, property);
    auto lead = static_cast<unsigned char>(line[0]);
    char first = static_cast<char>(std::tolower(lead));
    if (first == '-' || first == 'd' || first == 'l' || first == 's') return unixEntry(line, words, property);
    if (std::isdigit(lead)) return dosEntry(line, words, property);
    return false;
}

// A fresh record of a copy of the line, read by the parser.
template <class Parse>
bool parseFresh(std::string_view line, TFTPFileProperty& property, Parse parse) {
    property = TFTPFileProperty();
    AnsiString text(line);
    property.SetLine(text, text.view());
    return parse(property.Line());
}

}  // namespace

bool ParseListLine(std::string_view line, TFTPFileProperty& property) {
    return parseFresh(line, property, [&](std::string_view) { return listEntry(property); });
}

bool ParseNameOnly(std::string_view line, TFTPFileProperty& property) {
    return parseFresh(line, property, [&](std::string_view own) { return nameOnlyEntry(own, property); });
}

bool ParseUnixListLine(std::string_view line, TFTPFileProperty& property) {
    return parseFresh(line, property, [&](std::string_view own) { return unixEntry(own, splitWords(own), property); });
}

bool ParseDosListLine(std::string_view line, TFTPFileProperty& property) {
    return parseFresh(line, property, [&](std::string_view own) { return dosEntry(own, splitWords(own), property); });
}

void TFTPDirectoryList::AddLine(const AnsiString& text, std::string_view line) {
    TFTPFileProperty property;
    property.SetLine(text, line);
    if (listEntry(property)) unshared().push_back(std::move(property));
}

void TFTPDirectoryList::Delete(int index) {
    Item(index);  // checks the index
    Records& records = unshared();
    records.erase(records.begin() + index);
}

const TFTPFileProperty& TFTPDirectoryList::Item(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("directory list index");
    return (*Items_)[static_cast<size_t>(index)];
}

std::shared_ptr<const TFTPFileProperty> TFTPDirectoryList::Share(int index) const {
    return {Items_, &Item(index)};
}

bool TFTPDirectoryList::Contains(std::string_view name) const {
    if (Items_)
        for (const TFTPFileProperty& item : *Items_)
            if (item.Name() == name) return true;
    return false;
}

TFTPDirectoryList::Records& TFTPDirectoryList::unshared() {
    if (!Items_) Items_ = std::make_shared<Records>();
    else if (Items_.use_count() > 1) Items_ = std::make_shared<Records>(*Items_);
    return *Items_;
}

const char* FTPCmdTypeName(TFTPCmdType command) { return commandNames[command]; }

// ==== TgFTP ====

TgFTP::TgFTP(int32_t bufferSize) : TgSocket(bufferSize) {
    Port = 21;
    MaskPassword = true;
}

TgFTP::~TgFTP() {
    UnbindHooks();
    CloseHandle(DataHandle);
}

void TgFTP::UnbindHooks() {
    TgSocket::UnbindHooks();
    OnLoginRetry = {};
    OnUserNeeded = {};
    OnTransferStart = {};
    OnTransferEnd = {};
    OnSuccess = {};
    OnFailure = {};
    OnListLine = {};
    OnCommandError = {};
}

bool TgFTP::Eof(SOCKET& handle) { return &handle == &DataHandle ? DataEof : TgSocket::Eof(handle); }

void TgFTP::SetEof(SOCKET& handle, bool value) {
    if (&handle == &DataHandle) DataEof = value;
    else TgSocket::SetEof(handle, value);
}

int32_t TgFTP::ReceiveBuffer(char* buffer, int32_t size) { return Recv(DataHandle, buffer, size); }

AnsiString TgFTP::PortNumberText() { return intToText(DataPort / 256) + "," + intToText(DataPort % 256); }

// A line that does not begin with a number (a stray text before the reply)
// is skipped; "123-" opens a multi-line reply that only "123 " ends. A reply
// may hold MaxLineLength bytes in all, so that no server keeps the client
// reading for ever.
void TgFTP::ReadFtpReply() {
    StatusCode = 0;
    AnsiString line;
    size_t total = 0;
    auto next = [&] {
        ReadReply(line);
        total += line.length() + 2;
        if (total > MaxLineLength) {
            Status("err>reply over 1 MiB", 2);
            throw EProtocolError(999, "ftp", "reply over 1 MiB");
        }
    };
    for (;;) {
        next();
        int32_t code;
        if (textToInt32(trimText(line.view().substr(0, 4)), code)) break;
        if (line.length() >= 4 && line[3] == '-' && textToInt32(line.view().substr(0, 3), code)) {
            AnsiString last = line.substr(0, 3) + " ";
            do next();
            while (!line.startsWith(last) && !peerClosed());
            break;
        }
        if (peerClosed()) break;
    }
    int32_t code;
    StatusCode = textToInt32(line.view().substr(0, 3), code) && line.length() >= 3 ? code : 999;
    StatusText = line.length() > 4 ? line.substr(4) : AnsiString();
    if (StatusCode >= 400) {
        Status("err>" + intToText(StatusCode) + " " + StatusText, 2);
        throw EProtocolError(static_cast<uint16_t>(StatusCode), "ftp", StatusText);
    }
}

void TgFTP::command(const AnsiString& line) {
    SendCommand(line, false);
    ReadFtpReply();
}

// What a hook raised passes as it is; every other failure is the command's.
template <class Work>
void TgFTP::runCommand(TFTPCmdType command, const AnsiString& startLine, const char* errorLine, const char* endLine,
                       Work work) {
    if (!startLine.empty()) Status(startLine, 1);
    bool ignore = false;
    try {
        if (Busy) throw EProtocolBusy("protocol busy");
        work();
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
        Status(errorLine, 2);
        try {
            throw;
        } catch (const EProtocolError&) {
            if (command != cmdCurrentDir) OnFailure(command);
        } catch (...) {
        }
        OnCommandError(ignore, command);
        if (!ignore) throw;
        return;
    }
    if (*endLine) Status(endLine, 1);
    OnSuccess(command);
}

// ==== Login ====

void TgFTP::Connect() {
    if (!Connected) {
        AnsiString proxyHost = trimText(Proxy.view().substr(0, Proxy.find(':')));
        uint16_t proxyPort = 21;
        if (size_t colon = Proxy.find(':'); colon != std::string_view::npos)
            proxyPort = static_cast<uint16_t>(numberOr(trimText(Proxy.view().substr(colon + 1)).view(), 21));
        ConnectTo(proxyHost.empty() ? Host : proxyHost, proxyHost.empty() ? Port : proxyPort);
        LoggedIn = false;
        try {
            ReadFtpReply();
        } catch (...) {
            TgSocket::Disconnect();  // no session to end: the greeting failed
            throw;
        }
    }
    TransferType = ttNone;
    Busy = false;
    CloseHandle(DataHandle);
    DataPort = 20;
    DirList.Clear();
    Status("nfo>loginします", 1);
    for (int attempt = 1; !LoggedIn; ++attempt) {
        if (User.empty()) {
            bool retry = false;
            OnUserNeeded(retry);
            if (!retry || attempt > 1) {
                Status("err>useridがありません", 2);
                throw EProtocolError(static_cast<uint16_t>(StatusCode), "AuthenticationNeeded", StatusText);
            }
            continue;
        }
        try {
            login();
        } catch (const EHookFault&) {
            throw;
        } catch (...) {
            bool retry = false;
            OnLoginRetry(retry);
            if (!retry || attempt > 1) throw;
        }
    }
}

void TgFTP::login() {
    command(Proxy.empty() ? "USER " + User : "USER " + User + "@" + Host);
    if (StatusCode == 331) command("PASS " + Password);
    if (StatusCode != 230) {
        Status("err>login失敗しました", 2);
        throw EProtocolError(static_cast<uint16_t>(StatusCode), "ftp login failed", StatusText);
    }
    LoggedIn = true;
}

void TgFTP::Disconnect() {
    TCleanupSteps steps;
    if (Busy) steps.Run([&] { Abort(); });
    if (Connected) {
        steps.Run([&] {
            Status("nfo>logoutします", 1);
            SendCommand("QUIT", false);
            ReadFtpReply();
        });
    }
    steps.Run([&] { CloseHandle(DataHandle); });
    Busy = false;
    LoggedIn = false;
    steps.Run([&] { TgSocket::Disconnect(); });
    steps.Finish();
}

void TgFTP::Abort() {
    Status("nfo>abortを開始します", 1);
    try {
        command("ABOR");
    } catch (const EProtocolError&) {
        // The cut transfer's reply; the answer to ABOR follows it.
        Busy = false;
        try {
            ReadFtpReply();
        } catch (const EHookFault&) {
            throw;
        } catch (...) {
        }
        Status("nfo>abort終了しました", 1);
        OnSuccess(cmdAbort);
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
        Busy = false;
        Status("err>ABORコマンドを失敗しました", 2);
        bool ignore = false;
        OnCommandError(ignore, cmdAbort);
        if (!ignore) throw;
    }
}

// ==== Commands ====

void TgFTP::ChangeDir(const AnsiString& dir) {
    if (dir.empty()) return;
    runCommand(cmdChangeDir, "nfo>currentdirを" + dir + "に変更します", "err>CWDコマンドを失敗しました",
               "nfo>change dir終了しました", [&] {
                   command("CWD " + dir);
                   AnsiString named = quotedPart(StatusText);
                   if (named.empty()) readCurrentDir();
                   else CurrentDir = named;
                   DirList.Clear();
               });
}

// A server that does not name the directory in its CWD reply is asked.
void TgFTP::readCurrentDir() {
    command("PWD");
    CurrentDir = quotedPart(StatusText);
}

void TgFTP::MakeDir(const AnsiString& dir) {
    runCommand(cmdMakeDir, "nfo>" + dir + "を作成します", "err>MKDコマンドを失敗しました",
               "nfo>make directory終了しました", [&] { command("MKD " + dir); });
}

void TgFTP::DeleteRemoteFile(const AnsiString& name) {
    runCommand(cmdDelete, "nfo>" + name + "を削除します", "err>DELEコマンドを失敗しました", "nfo>delete終了しました",
               [&] { command("DELE " + name); });
}

void TgFTP::RemoveDir(const AnsiString& dir) {
    runCommand(cmdRemoveDir, "nfo>" + dir + "を削除します", "err>RMDコマンドを失敗しました",
               "nfo>remove directory終了しました", [&] { command("RMD " + dir); });
}

void TgFTP::Rename(const AnsiString& oldName, const AnsiString& newName) {
    runCommand(cmdRename, "nfo>" + oldName + "を" + newName + "に変更します", "err>renameを失敗しました",
               "nfo>rename終了しました", [&] {
                   command("RNFR " + oldName);
                   command("RNTO " + newName);
               });
}

void TgFTP::List() {
    runCommand(cmdList, "nfo>listを取得します", "err>LISTコマンドを失敗しました", "nfo>list取得終了しました",
               [&] { ListCore("LIST", DirList); });
}

void TgFTP::NameList() {
    runCommand(cmdNList, "nfo>listを取得します", "err>NLSTコマンドを失敗しました", "nfo>list取得終了しました",
               [&] { ListCore("NLST", DirList); });
}

void TgFTP::PrintWorkDir() {
    runCommand(cmdCurrentDir, AnsiString(), "err>PWDコマンドを失敗しました", "", [&] { readCurrentDir(); });
}

void TgFTP::Reinitialize() {
    runCommand(cmdReInit, "nfo>接続を初期化します", "err>REINコマンドを失敗しました", "nfo>reinitialize終了しました",
               [&] {
                   command("REIN");
                   LoggedIn = false;
                   TransferType = ttNone;
               });
}

void TgFTP::SetType(uint8_t type) {
    runCommand(cmdMode, "nfo>file modeを変更します", "err>TYPEコマンドを失敗しました", "nfo>file mode終了しました",
               [&] {
                   command(type == ttAscii ? "TYPE A" : "TYPE I");
                   TransferType = type;
               });
}

AnsiString TgFTP::DoCommand(const AnsiString& line) {
    runCommand(cmdDoCommand, AnsiString(), "err>commandを失敗しました", "", [&] { command(line); });
    return LastReply;
}

void TgFTP::Download(const AnsiString& remote, const AnsiString& local) {
    runCommand(cmdDownload, "nfo>" + remote + "のdownloadを開始します", "err>download失敗しました",
               "nfo>download終了しました", [&] { DownloadCore(remote, local, false); });
}

void TgFTP::DownloadRestore(const AnsiString& remote, const AnsiString& local) {
    runCommand(cmdDownRestore, "nfo>" + remote + "のdownloadを開始します", "err>downloadを失敗しました",
               "nfo>download終了しました", [&] { DownloadCore(remote, local, true); });
}

void TgFTP::upload(const AnsiString& local, const AnsiString& remote, int64_t position, bool append,
                   TFTPCmdType command) {
    runCommand(command, "nfo>" + local + "のuploadを開始します", "err>upload失敗しました", "nfo>upload終了しました",
               [&] { UploadCore(remote, local, position, append); });
}

void TgFTP::Upload(const AnsiString& local, const AnsiString& remote) { upload(local, remote, 0, false, cmdUpload); }

void TgFTP::UploadAppend(const AnsiString& local, const AnsiString& remote) {
    upload(local, remote, 0, true, cmdAppend);
}

void TgFTP::UploadRestore(const AnsiString& local, const AnsiString& remote, int64_t position) {
    upload(local, remote, position, true, cmdUpRestore);
}

void TgFTP::UploadUnique(const AnsiString& local) {
    runCommand(cmdUpload, "nfo>" + local + "のuploadを開始します", "err>upload失敗しました", "nfo>upload終了しました",
               [&] {
                   if (GetFileAttributesA(local.c_str()) == INVALID_FILE_ATTRIBUTES)
                       throw ELocalError("upload file not found");
                   AnsiString name = baseName(local);
                   for (int probes = 1; remoteExists(name); ++probes) {
                       if (probes == MaxUniqueProbes) throw EgSocket("no free name");
                       name = NextNumberedName(name);
                   }
                   UploadCore(name, local, 0, false);
               });
}

// An error reply to the probe (a server that refuses to list a missing
// name) means the name is free.
bool TgFTP::remoteExists(const AnsiString& name) {
    TFTPListLineEvent hook = std::exchange(OnListLine, TFTPListLineEvent());
    bool autoParse = std::exchange(AutoParse, true);
    TFTPDirectoryList scratch;
    bool exists = false;
    try {
        ListCore("LIST " + name, scratch);
        exists = scratch.Contains(name);
    } catch (const EProtocolError&) {
    } catch (...) {
        OnListLine = hook;
        AutoParse = autoParse;
        throw;
    }
    OnListLine = hook;
    AutoParse = autoParse;
    return exists;
}

void TgFTP::FindFiles(const AnsiString& dir, const AnsiString& mask, bool recursive, std::vector<AnsiString>& result) {
    if (CurrentDir.empty()) readCurrentDir();
    Search search{mask, recursive, result, {}};
    findIn(dir, search, 0);
}

// Every level changes back to the directory it started in.
void TgFTP::findIn(const AnsiString& dir, Search& search, int depth) {
    AnsiString start = CurrentDir;
    bool autoParse = std::exchange(AutoParse, true);
    try {
        if (!dir.empty() && dir != CurrentDir) ChangeDir(dir);
        if (search.Visited.insert(CurrentDir.str()).second) {
            TFTPDirectoryList scratch;
            ListCore("LIST", scratch);
            AnsiString base = CurrentDir.endsWith("/") ? CurrentDir : CurrentDir + "/";
            std::vector<AnsiString> folders;
            for (int i = 0; i < scratch.Count(); ++i) {
                const TFTPFileProperty& entry = scratch.Item(i);
                std::string_view name = entry.Name();
                if (entry.FileType == ftDirectory && name != "." && name != "..")
                    folders.push_back(AnsiString(name));
                else if (entry.FileType == ftFile && (search.Mask.empty() || WildcardMatch(name, search.Mask, true)))
                    search.Result.push_back(base + name);
            }
            if (search.Recursive && depth < MaxSearchDepth)
                for (const AnsiString& folder : folders) findIn(base + folder, search, depth + 1);
        }
    } catch (...) {
        AutoParse = autoParse;
        if (CurrentDir != start) {
            try {
                ChangeDir(start);
            } catch (...) {
            }
        }
        throw;
    }
    AutoParse = autoParse;
    if (CurrentDir != start) ChangeDir(start);
}

// ==== Data connections ====

SOCKET TgFTP::OpenDataConnection() {
    SOCKET handle = INVALID_SOCKET;
    if (Passive) {
        command("PASV");
        if (StatusCode != 227 || !readPassivePort(StatusText, DataPort)) {
            Status("err>PASVコマンドを失敗しました", 2);
            throw EProtocolError(static_cast<uint16_t>(StatusCode), "ftp pasv", StatusText);
        }
        // The data connection goes to the server of the control connection,
        // whatever address the reply names: a server cannot send the client
        // to another host or service.
        ConnectHandle(handle, DataPort, RemoteAddress);
        return handle;
    }
    handle = NewSocket();
    try {
        BindRandomAndListen(handle, 10000, DataPort, 50000);
        command("PORT " + PortAddressText() + PortNumberText());
        if (StatusCode != 200 && StatusCode != 250) {
            Status("err>PORTコマンドを失敗しました", 2);
            throw EProtocolError(static_cast<uint16_t>(StatusCode), "ftp port", StatusText);
        }
    } catch (...) {
        CloseHandle(handle);
        throw;
    }
    return handle;
}

bool TgFTP::startTransfer(const AnsiString& line, SOCKET& listener) {
    command(line);
    bool finalReplyDue = StatusCode < 200;
    if (!Passive) {
        DataHandle = AcceptOn(listener);
        CloseHandle(listener);
        if (DataHandle == INVALID_SOCKET) throw ESocketError(WSAETIMEDOUT);
    } else {
        DataHandle = std::exchange(listener, INVALID_SOCKET);
    }
    DataEof = false;
    return finalReplyDue;
}

// Only a 2xx reply completes a transfer; another preliminary or an
// intermediate reply in its place leaves it unfinished.
void TgFTP::finishTransfer(bool finalReplyDue) {
    Busy = false;
    CloseHandle(DataHandle);
    if (!finalReplyDue) return;
    ReadFtpReply();
    if (StatusCode >= 300 || StatusCode < 200) {
        Status("err>" + intToText(StatusCode) + " " + StatusText, 2);
        throw EProtocolError(static_cast<uint16_t>(StatusCode), "ftp", StatusText);
    }
}

template <class CommandLine, class Move>
bool TgFTP::transferData(uint8_t type, CommandLine commandLine, Move move) {
    CloseHandle(DataHandle);
    SOCKET listener = INVALID_SOCKET;
    bool finalReplyDue = false;
    try {
        if (TransferType != type) SetType(type);
        listener = OpenDataConnection();
        finalReplyDue = startTransfer(commandLine(), listener);
        Busy = true;
        OnTransferStart(this);
        move();
        OnTransferEnd(this);
    } catch (...) {
        CloseHandle(listener);
        Busy = false;
        CloseHandle(DataHandle);
        throw;
    }
    return finalReplyDue;
}

// The local file is replaced only once the whole transfer has succeeded, its
// final reply included: a refused or cut download leaves it as it was, and a
// resumed one receives into a copy of it.
void TgFTP::DownloadCore(const AnsiString& remote, const AnsiString& local, bool append) {
    std::optional<TDownloadStream> file(std::in_place, local, append);
    int64_t position = append ? file->size() : 0;
    bool finalReplyDue = transferData(
        DataType,
        [&] {
            try {
                command("REST " + intToText(position));
            } catch (const EProtocolError&) {
                // The server cannot restart: the whole file comes again.
                if (position > 0) {
                    file.reset();
                    file.emplace(local, false);
                }
                position = 0;
            }
            return "RETR " + remote;
        },
        [&] { ReceiveToStreamAt(DataHandle, *file, position, -1); });
    finishTransfer(finalReplyDue);
    file->Commit();
}

void TgFTP::UploadCore(const AnsiString& remote, const AnsiString& local, int64_t position, bool append) {
    if (GetFileAttributesA(local.c_str()) == INVALID_FILE_ATTRIBUTES) throw ELocalError("upload file not found");
    TSafeFileStream file;
    file.Open(local, fmOpenRead | fmShareDenyWrite, true);
    finishTransfer(transferData(
        DataType, [&] { return (append ? "APPE " : "STOR ") + remote; },
        [&] { SendStreamAt(DataHandle, file, position, -1); }));
}

// Entries are taken as they arrive, so a large listing is never held whole
// as text; the list changes only when the listing succeeded.
void TgFTP::ListCore(const AnsiString& line, TFTPDirectoryList& list) {
    TFTPDirectoryList fresh;
    TLineSink lines([&](const AnsiString& text, std::string_view entry) {
        if (AutoParse) fresh.AddLine(text, entry);
        else OnListLine(AnsiString(entry));
    });
    finishTransfer(transferData(ttAscii, [&] { return line; }, [&] {
        ReceiveToStreamAt(DataHandle, lines, 0, -1);
        lines.Finish();
    }));
    list = std::move(fresh);
}
