// The script classes "Mail" (one TMailMessage whose headers read and write
// as members), "POP3" and "SMTP" over TgPOP3 and TgSMTP, each of these two
// with its own "Mail" object. Registered by RegisterSocketObjects
// (net/netlibrary.h).
#pragma once

#include "net/mailclients.h"
#include "net/socketobjects.h"

class TJMailObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJMailObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJMailObject() override;

    TMailMessage Message;

    // A name that is no property, member or method reads the header; a
    // missing header is "EKeyError" (item access) or "ENameError".
    void GetValue(const AnsiString& name, bool keyError, TJValue& value, TJValueList* args = nullptr) override;
    // A name that is no published property stores a header (as text).
    void SetValue(const AnsiString& name, const TJValue& value, TJValueList* args = nullptr) override;
    // The header names.
    void GetPropertyList(std::vector<AnsiString>& list) override;
    // Removes the members and clears the message.
    void Clear() override;

    int32_t numberProperty() const { return Message.Number; }
    void setNumberProperty(int32_t number) { Message.Number = number; }
    int32_t lengthProperty() const { return 0; }
    // The one list of this object, refilled with a copy of the attachment
    // paths at each read.
    TJObject* attachmentsProperty() const;
    AnsiString headerProperty() const { return Message.HeaderLines.Text(); }
    AnsiString bodyProperty() const { return Message.BodyLines.Text(); }
    AnsiString messageProperty() const { return Message.Text; }
    void setMessageProperty(AnsiString text) { Message.Text = text; }

    const TJMethodTable& Methods() const override;

private:
    mutable TJObject* Attachments_ = nullptr;  // counted once
};

// The common part of POP3 and SMTP: the host and port, and the Mail object.
class TJMailClientObject : public TJBaseSocketObject {
    RTL_DECLARE_CLASS()
    TJMailClientObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJMailClientObject() override;

    TJObject* mailProperty() const { return Mail_; }
    AnsiString hostProperty() const { return Client().Host; }
    void setHostProperty(AnsiString host) { Client().Host = host; }
    int32_t portProperty() const { return Client().Port; }
    void setPortProperty(int32_t port) { Client().Port = checkedPort(port); }

    // The message of the Mail object, which the methods fill and send.
    TMailMessage& Mail() const { return Mail_->Message; }

protected:
    // Takes the client, then the host and port of POP3([host [, port]]).
    void setMailClient(std::unique_ptr<TgSocket> client, TJValueList* args);

private:
    TJMailObject* Mail_;
};

class TJPOP3Object : public TJMailClientObject {
    RTL_DECLARE_CLASS()
    TJPOP3Object(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString attachPathProperty() const { return Pop3().AttachPath; }
    void setAttachPathProperty(AnsiString path) { Pop3().AttachPath = path; }
    bool deleteOnReadProperty() const { return Pop3().DeleteOnRead; }
    void setDeleteOnReadProperty(bool on) { Pop3().DeleteOnRead = on; }
    int32_t mailCountProperty() const { return Pop3().MailCount; }
    AnsiString passwordProperty() const { return Pop3().Password; }
    void setPasswordProperty(AnsiString password) { Pop3().Password = password; }
    AnsiString useridProperty() const { return Pop3().User; }
    void setUseridProperty(AnsiString user) { Pop3().User = user; }

    const TJMethodTable& Methods() const override;

    // The object's client, which the methods drive.
    TgPOP3& Pop3() const { return static_cast<TgPOP3&>(Client()); }

private:
    void onSuccess(TObject*) { fireNotify("onSuccess"); }
    void onFailure(TObject*) { fireNotify("onFailure"); }
};

class TJSMTPObject : public TJMailClientObject {
    RTL_DECLARE_CLASS()
    TJSMTPObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    const TJMethodTable& Methods() const override;

    // The object's client, which the methods drive.
    TgSMTP& Smtp() const { return static_cast<TgSMTP&>(Client()); }
};
