// TgFTP: the FTP client on TgSocket - login (directly or through an FTP proxy
// that takes "user@host"), commands and their replies on the control
// connection, data connections in passive or active mode, downloads with
// restart, uploads (new, append, restore, unique name), directory listings
// parsed from UNIX and DOS/IIS lines into TFTPDirectoryList, and a file search
// over a directory tree. Every command reports to the status log and to the
// success, failure and error hooks. The script class "FTP" drives it.
#pragma once

#include <bitset>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "net/gsocket.h"
#include "rtl/datetime.h"

// ==== Listings ====

enum TFTPFileType : uint8_t { ftUnknown, ftDirectory, ftFile, ftLink };

// A listing holds very many: the line and the name are places in one text,
// which the lines of a received block share.
struct TFTPFileProperty {
    TFTPFileProperty();
    int64_t Size = 0;
    TDateTime Modified;
    uint8_t FileType = ftUnknown;
    // Owner, group and other, each read, write and execute. The listing
    // parsers set none.
    std::bitset<9> Permissions;

    // The listing line the record came from.
    std::string_view Line() const { return Text_.view().substr(LineStart_, LineLength_); }
    std::string_view Name() const { return Text_.view().substr(NameStart_, NameLength_); }
    // The line, a part of text (which the record shares); the name becomes empty.
    void SetLine(const AnsiString& text, std::string_view line);
    // A name that lies within the line is kept as its place there; any other
    // makes the record a text of its own, the line and then the name.
    void SetName(std::string_view name);

private:
    AnsiString Text_;
    uint32_t LineStart_ = 0;
    uint32_t LineLength_ = 0;
    uint32_t NameStart_ = 0;
    uint32_t NameLength_ = 0;
};

// The nine flags as a decimal number that reads like the octal mode (755).
int32_t FilePropertyAttribute(const TFTPFileProperty& property);

// Each fills a fresh record and tells whether the line was one it reads.
// ParseListLine picks the layout: a single word is a name, a line beginning
// with "-", "d", "l" or "s" is UNIX, one beginning with a digit DOS or IIS;
// empty lines and "total" lines are none.
bool ParseListLine(std::string_view line, TFTPFileProperty& property);
bool ParseNameOnly(std::string_view line, TFTPFileProperty& property);
bool ParseUnixListLine(std::string_view line, TFTPFileProperty& property);
bool ParseDosListLine(std::string_view line, TFTPFileProperty& property);

// The entries of one listing in their order; names match with regard to case.
// The records sit in a block that the list shares with whoever holds one of
// them (a script's entry objects); a list that changes while shared takes a
// copy first, so a shared record never changes or moves.
class TFTPDirectoryList {
public:
    void Add(const TFTPFileProperty& property) { unshared().push_back(property); }
    // Parses the line and adds it when it is an entry.
    void AddLine(const AnsiString& line) { AddLine(line, line.view()); }
    // The same for a line that is a part of text, which the entry shares.
    void AddLine(const AnsiString& text, std::string_view line);
    void Assign(const TFTPDirectoryList& other) { Items_ = other.Items_; }
    void Delete(int index);
    void Clear() { Items_.reset(); }
    int Count() const { return Items_ ? static_cast<int>(Items_->size()) : 0; }
    // An index outside the list raises std::out_of_range.
    const TFTPFileProperty& Item(int index) const;
    // The record at index, held for as long as the pointer is.
    std::shared_ptr<const TFTPFileProperty> Share(int index) const;
    // A scan: the one caller asks once per listing, and an index would cost
    // every large listing more than the scan.
    bool Contains(std::string_view name) const;

private:
    using Records = std::deque<TFTPFileProperty>;  // grows without moving what it holds
    Records& unshared();
    std::shared_ptr<Records> Items_;
};

// ==== TgFTP ====

enum TFTPCmdType {
    cmdChangeDir, cmdMakeDir, cmdDelete, cmdRemoveDir, cmdList, cmdRename, cmdUpRestore,
    cmdDownRestore, cmdDownload, cmdUpload, cmdAppend, cmdReInit, cmdAllocate, cmdNList,
    cmdDoCommand, cmdCurrentDir, cmdAbort, cmdMode, cmdSIZE
};

// "cmdChangeDir" ... "cmdSIZE".
const char* FTPCmdTypeName(TFTPCmdType command);

enum TFTPTransferType : uint8_t { ttAscii, ttImage, ttBinary, ttNone };

using TFTPCommandEvent = TClientEvent<void(TFTPCmdType Command)>;
using TFTPErrorEvent = TClientEvent<void(bool& Ignore, TFTPCmdType Command)>;
using TFTPListLineEvent = TClientEvent<void(const AnsiString& Line)>;

class TgFTP : public TgSocket {
public:
    explicit TgFTP(int32_t bufferSize);
    ~TgFTP() override;

    // ---- Socket overrides ----
    bool Eof(SOCKET& handle) override;
    void SetEof(SOCKET& handle, bool value) override;
    int32_t ReceiveBuffer(char* buffer, int32_t size) override;
    // Logs in; a connection already open is reused, and USER and PASS are
    // sent whenever it is not logged in.
    void Connect() override;
    void Disconnect() override;
    void Abort() override;
    AnsiString PortNumberText() override;
    void UnbindHooks() override;

    // ---- Commands ----
    void ChangeDir(const AnsiString& dir);
    void MakeDir(const AnsiString& dir);
    // DELE. Not named DeleteFile: the system headers would rename it
    // DeleteFileA, and calls meant for the system would reach it.
    void DeleteRemoteFile(const AnsiString& name);
    void RemoveDir(const AnsiString& dir);
    void Rename(const AnsiString& oldName, const AnsiString& newName);
    void List();
    void NameList();
    void PrintWorkDir();
    void Reinitialize();
    // 0 ASCII ("TYPE A"), anything else image ("TYPE I": FTP has no type B,
    // so 2 asks for image as well); later transfers use it.
    void SetType(uint8_t type);
    void Download(const AnsiString& remote, const AnsiString& local);
    void DownloadRestore(const AnsiString& remote, const AnsiString& local);
    void Upload(const AnsiString& local, const AnsiString& remote);
    void UploadAppend(const AnsiString& local, const AnsiString& remote);
    void UploadRestore(const AnsiString& local, const AnsiString& remote, int64_t position);
    // Stores the file under its own name, or under the first free numbered
    // one (a.txt, a_000.txt, a_001.txt ...).
    void UploadUnique(const AnsiString& local);
    // Sends the line and reads its reply: the reply's last line.
    AnsiString DoCommand(const AnsiString& line);
    // The paths (directory + "/" + name) of the files under dir whose names
    // match the mask (every file when it is empty), in listing order. The
    // search goes at most MaxSearchDepth folders down and enters no folder
    // twice (as the server names it), so a cycle of links ends.
    void FindFiles(const AnsiString& dir, const AnsiString& mask, bool recursive, std::vector<AnsiString>& result);
    static constexpr int MaxSearchDepth = 64;
    // UploadUnique gives up after this many names found taken.
    static constexpr int MaxUniqueProbes = 1000;

    // ---- State ----
    bool AutoParse = true;
    AnsiString User = "anonymous";
    AnsiString Password;
    AnsiString CurrentDir;
    TFTPDirectoryList DirList;
    SOCKET DataHandle = INVALID_SOCKET;
    uint16_t DataPort = 20;
    bool Busy = false;
    uint8_t TransferType = ttNone;  // the type last sent
    uint8_t DataType = ttImage;     // the type transfers ask for
    bool DataEof = false;
    bool Passive = false;
    bool LoggedIn = false;

    TSocketRetryEvent OnLoginRetry;
    TSocketRetryEvent OnUserNeeded;
    TSocketNotifyEvent OnTransferStart;
    TSocketNotifyEvent OnTransferEnd;
    TFTPCommandEvent OnSuccess;
    TFTPCommandEvent OnFailure;
    TFTPListLineEvent OnListLine;
    // After any failure of a command (the socket's OnError reports the
    // network errors): Ignore = true makes the command end quietly.
    TFTPErrorEvent OnCommandError;

private:
    // Reads one reply, following a multi-line one to its last line; codes of
    // 400 and above raise EProtocolError.
    void ReadFtpReply();
    void command(const AnsiString& line);
    // The frame of every command: the start line, the busy check, the error
    // line and hooks on failure, the end line and OnSuccess after it.
    template <class Work>
    void runCommand(TFTPCmdType command, const AnsiString& startLine, const char* errorLine, const char* endLine,
                    Work work);
    void login();
    SOCKET OpenDataConnection();
    // Sends the transfer command; in active mode takes the server's
    // connection. Whether a final reply is to come (the reply was 1xx).
    bool startTransfer(const AnsiString& line, SOCKET& listener);
    // Closes the data connection and reads the final reply when one is due:
    // anything but a 2xx one fails.
    void finishTransfer(bool finalReplyDue);
    // One data transfer in the type given: the data connection, the command
    // line (made once the connection is open), the bytes moved between the
    // transfer hooks; every socket closed when it fails. Whether a final
    // reply is to come, for finishTransfer.
    template <class CommandLine, class Move>
    bool transferData(uint8_t type, CommandLine commandLine, Move move);
    void DownloadCore(const AnsiString& remote, const AnsiString& local, bool append);
    void UploadCore(const AnsiString& remote, const AnsiString& local, int64_t position, bool append);
    void ListCore(const AnsiString& line, TFTPDirectoryList& list);
    // Lists the name into a scratch list with AutoParse on and OnListLine
    // set aside; an error reply counts as an empty listing.
    bool remoteExists(const AnsiString& name);
    void upload(const AnsiString& local, const AnsiString& remote, int64_t position, bool append,
                TFTPCmdType command);
    struct Search {
        AnsiString Mask;
        bool Recursive;
        std::vector<AnsiString>& Result;
        std::unordered_set<std::string> Visited;
    };
    void findIn(const AnsiString& dir, Search& search, int depth);
    void readCurrentDir();
};
