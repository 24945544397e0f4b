// The POP3 and SMTP clients.
#include "net/mailclients.h"

#include <algorithm>

#include "engine/support/mbstring.h"
#include "net/netaddress.h"
#include "net/textutil.h"
#include "rtl/numtext.h"

// ==== TgPOP3 ====

TgPOP3::TgPOP3(int32_t bufferSize) : TgSocket(bufferSize) {
    Port = 110;
    MaskPassword = true;
}

TgPOP3::~TgPOP3() { UnbindHooks(); }

void TgPOP3::UnbindHooks() {
    TgSocket::UnbindHooks();
    OnLoginRetry = OnUserNeeded = TSocketRetryEvent();
    OnMailReceived = OnSuccess = OnFailure = OnRetrieveStart = TSocketNotifyEvent();
}

void TgPOP3::ReadPopReply() {
    AnsiString line;
    ReadReply(line);
    if (line.startsWith("+OK")) {
        StatusText = line.length() > 4 ? line.substr(4) : AnsiString();
        return;
    }
    StatusText = line.startsWith("-ERR") && line.length() > 5 ? line.substr(5) : AnsiString();
    throw EProtocolError(line.startsWith("-ERR") ? 500 : 999, "pop3", line);
}

void TgPOP3::command(const AnsiString& line) {
    SendCommand(line, false);
    ReadPopReply();
}

void TgPOP3::Connect() {
    TgSocket::Connect();
    try {
        ReadPopReply();
    } catch (...) {
        TgSocket::Disconnect();
        throw;
    }
    Connected = true;
    Message.Clear();
    MailCount = 0;
    Status("nfo>loginします", 1);
    for (int attempt = 1;; ++attempt) {
        if (User.empty()) {
            bool retry = false;
            OnUserNeeded(retry);
            if (retry && attempt == 1) continue;
            Status("err>useridがありません", 2);
            throw EProtocolError(static_cast<uint16_t>(StatusCode), "AuthenticationNeeded", StatusText);
        }
        try {
            login();
            break;
        } catch (const EHookFault&) {
            throw;
        } catch (...) {
            bool retry = false;
            OnLoginRetry(retry);
            if (!retry || attempt > 1) throw;
        }
    }
    try {
        command("STAT");
        int32_t count;
        if (textToInt32(StatusText.view().substr(0, StatusText.find(' ')), count)) MailCount = count;
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
    }
}

void TgPOP3::login() {
    command("USER " + User);
    command("PASS " + Password);
}

void TgPOP3::Disconnect() {
    TCleanupSteps steps;
    steps.Run([&] { Status("nfo>logoutします", 1); });
    if (Connected) steps.Run([&] { command("QUIT"); });
    Connected = false;
    steps.Run([&] { TgSocket::Disconnect(); });
    steps.Finish();
}

// "." ends the message before any unstuffing, so a stuffed ".." line is
// text (".") and never the end.
AnsiString TgPOP3::readMessage(bool logAll) {
    AnsiString text, line;
    bool inHeader = true;
    for (;;) {
        if (logAll || inHeader) ReadReply(line);
        else ReadLine(line);
        if (line == ".") return text;
        if (line.empty() && peerClosed()) throw EProtocolError(999, "pop3", "connection closed before the end");
        if (line.empty()) inHeader = false;
        if (line.startsWith(".")) text.append(line.c_str() + 1, line.length() - 1);
        else text += line;
        text += "\r\n";
        if (text.length() > MaxTextBodyLength) throw EProtocolError(999, "pop3", "message over 256 MiB");
    }
}

void TgPOP3::retrieve(const AnsiString& line, bool summary) {
    command(line);
    OnRetrieveStart(this);
    Message.Clear();
    // A summary may hold a whole message: its parts go where the mail's go.
    Message.AttachPath = AttachPath;
    Message.Parse(readMessage(summary));
}

void TgPOP3::GetMail(int32_t number) {
    Status("nfo>メールを取得します", 1);
    try {
        retrieve("RETR " + intToText(number), false);
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
        Status("err>メール取得に失敗しました", 2);
        throw;
    }
    OnMailReceived(this);
    Status("nfo>メール取得終了", 1);
    if (DeleteOnRead) DeleteMail(number);
}

void TgPOP3::GetSummary(int32_t number) {
    Status("nfo>ヘッダを取得します", 1);
    try {
        retrieve("TOP " + intToText(number) + " 1", true);
        Message.Number = number;
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
        Status("err>ヘッダ取得に失敗しました", 2);
        throw;
    }
    OnMailReceived(this);
    Status("nfo>ヘッダを取得終了", 1);
}

void TgPOP3::DeleteMail(int32_t number) {
    Status("nfo>メールを削除します", 1);
    try {
        command("DELE " + intToText(number));
    } catch (const EHookFault&) {
        throw;
    } catch (...) {
        OnFailure(this);
        Status("err>メール削除に失敗しました", 2);
        throw;
    }
    OnSuccess(this);
    Status("nfo>メール削除終了", 1);
}

// ==== TgSMTP ====

TgSMTP::TgSMTP(int32_t bufferSize) : TgSocket(bufferSize) { Port = 25; }

TgSMTP::~TgSMTP() {
    UnbindHooks();
    Disconnect();
}

// A multi-line reply may hold MaxLineLength bytes in all.
void TgSMTP::ReadSmtpReply(int32_t expected) {
    AnsiString line;
    size_t total = 0;
    do {
        ReadReply(line);
        total += line.length() + 2;
        if (total > MaxLineLength) throw EProtocolError(999, "SMTP", "reply over 1 MiB");
    } while (line.length() >= 4 && line[3] == '-' && !peerClosed());
    int32_t code;
    StatusCode = line.length() >= 3 && textToInt32(line.view().substr(0, 3), code) ? code : 999;
    StatusText = line.length() > 4 ? line.substr(4) : AnsiString();
    if (StatusCode > 399 || (expected != 0 && StatusCode != expected))
        throw EProtocolError(static_cast<uint16_t>(StatusCode), "SMTP", StatusText);
}

void TgSMTP::command(const AnsiString& line, int32_t expected) {
    SendCommand(line, false);
    ReadSmtpReply(expected);
}

void TgSMTP::Connect() {
    TgSocket::Connect();
    Connected = true;
    try {
        ReadSmtpReply(220);
        command("HELO " + LocalSocketAddress(Handle), 250);
    } catch (...) {
        TgSocket::Disconnect();
        throw;
    }
}

void TgSMTP::Disconnect() {
    TCleanupSteps steps;
    if (Connected) {
        steps.Run([&] { SendCommand("QUIT", false); });
        Connected = false;
    }
    steps.Run([&] { TgSocket::Disconnect(); });
    steps.Finish();
}

void TgSMTP::SendMail() {
    for (const AnsiString& name : Message.Headers.GetKeyList())
        if (HoldsLineBreakOrNul(name) || HoldsLineBreakOrNul(Message.Headers.GetValue(name)))
            throw ELocalError("line break in the header " + name);
    Status("nfo>メールを送信します", 1);
    AnsiString data = Message.Compose();
    command("MAIL FROM:<" + Message.GetHeader("From") + ">", 250);
    command("RCPT TO:<" + Message.GetHeader("To") + ">", 250);
    command("DATA", 354);
    // The header lines are logged; the whole message goes in one send.
    AnsiString stuffed;
    stuffed.reserve(data.length() + data.length() / 64 + 8);
    bool inHeader = true;
    for (size_t at = 0; at < data.length();) {
        size_t end = std::min(data.find("\r\n", at), data.length());
        std::string_view line = data.view().substr(at, end - at);
        if (inHeader) SendCommand(AnsiString(line), true);
        inHeader = inHeader && !line.empty();
        if (line.starts_with(".")) stuffed += '.';
        stuffed += line;
        stuffed += "\r\n";
        at = end + 2;
    }
    Send(stuffed + ".\r\n");
    ReadSmtpReply(250);
    Status("nfo>メールの送信を終了しました", 1);
}
