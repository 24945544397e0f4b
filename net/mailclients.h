// TgPOP3 fetches messages and headers from a POP3 server and deletes them;
// TgSMTP sends one message to one recipient (the message's "From" and "To"
// headers). Both on TgSocket, both with one owned TMailMessage. The script
// classes "POP3" and "SMTP" drive them.
#pragma once

#include "net/gsocket.h"
#include "net/mailmessage.h"

class TgPOP3 : public TgSocket {
public:
    explicit TgPOP3(int32_t bufferSize);
    ~TgPOP3() override;

    // Connects, logs in and reads the message count (a failure of that last
    // step leaves MailCount at 0 and the login standing).
    void Connect() override;
    void Disconnect() override;
    void UnbindHooks() override;
    void GetMail(int32_t number);
    // The headers and the first line of the body (TOP n 1).
    void GetSummary(int32_t number);
    void DeleteMail(int32_t number);

    bool DeleteOnRead = false;
    int32_t MailCount = 0;
    AnsiString AttachPath;
    AnsiString Password;
    AnsiString User;
    TMailMessage Message;

    TSocketRetryEvent OnLoginRetry;
    TSocketRetryEvent OnUserNeeded;
    TSocketNotifyEvent OnMailReceived;
    TSocketNotifyEvent OnSuccess;
    TSocketNotifyEvent OnFailure;
    TSocketNotifyEvent OnRetrieveStart;

private:
    // "+OK": StatusText is the rest; "-ERR" or anything else raises.
    void ReadPopReply();
    void command(const AnsiString& line);
    void login();
    // The lines of a RETR or TOP reply up to its "." line, the POP3 byte
    // stuffing undone; a connection that ends before the "." fails.
    AnsiString readMessage(bool logAll);
    void retrieve(const AnsiString& line, bool summary);
};

class TgSMTP : public TgSocket {
public:
    explicit TgSMTP(int32_t bufferSize);
    ~TgSMTP() override;

    // Connects, reads the greeting (220) and greets with HELO (250).
    void Connect() override;
    void Disconnect() override;
    // MAIL FROM, RCPT TO, DATA and the composed message with the SMTP
    // transparency rule; the server must accept it with 250. A CR or LF in
    // a header value refuses the message before anything is sent.
    void SendMail();

    TMailMessage Message;

private:
    // Reads a reply to its last line; codes above 399 raise, and so does any
    // other code than the one expected (0: any below 400).
    void ReadSmtpReply(int32_t expected);
    void command(const AnsiString& line, int32_t expected);
};
