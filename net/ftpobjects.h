// The script class "FTP" over TgFTP and the "FileProperty" objects its
// listings return. Registered by RegisterSocketObjects (net/netlibrary.h).
#pragma once

#include "net/gftp.h"
#include "net/socketobjects.h"

// "FileProperty": one listing entry, shared with the listing it came from
// (which copies its records before it changes while they are shared).
class TJFtpFilePropertyObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJFtpFilePropertyObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    std::shared_ptr<const TFTPFileProperty> Property;  // null: an empty entry

    // "d" directory, "-" file, "l" link, empty otherwise.
    AnsiString fileTypeProperty() const;
    int64_t sizeProperty() const { return record().Size; }
    AnsiString nameProperty() const { return AnsiString(record().Name()); }
    // A new Date object for the local modification time.
    TJObject* lastModifiedProperty() const;
    int32_t attributeProperty() const { return FilePropertyAttribute(record()); }
    // The listing line.
    AnsiString ToString(const TJValue* = nullptr) override { return AnsiString(record().Line()); }

private:
    const TFTPFileProperty& record() const;
};

class TJFtpObject : public TJBaseSocketObject {
    RTL_DECLARE_CLASS()
    // FTP([host [, port]]).
    TJFtpObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString currentDirProperty() const { return Ftp().CurrentDir; }
    AnsiString passwordProperty() const { return Ftp().Password; }
    void setPasswordProperty(AnsiString password) { Ftp().Password = password; }
    AnsiString useridProperty() const { return Ftp().User; }
    void setUseridProperty(AnsiString user) { Ftp().User = user; }
    bool passiveModeProperty() const { return Ftp().Passive; }
    void setPassiveModeProperty(bool on) { Ftp().Passive = on; }
    AnsiString proxyProperty() const { return Ftp().Proxy; }
    void setProxyProperty(AnsiString proxy) { Ftp().Proxy = proxy; }
    AnsiString hostProperty() const { return Ftp().Host; }
    void setHostProperty(AnsiString host) { Ftp().Host = host; }
    int32_t portProperty() const { return Ftp().Port; }
    void setPortProperty(int32_t port) { Ftp().Port = checkedPort(port); }
    int32_t lengthProperty() const { return 0; }

    const TJMethodTable& Methods() const override;

    // The object's client, which the methods drive.
    TgFTP& Ftp() const { return static_cast<TgFTP&>(Client()); }

private:
    void onCommandError(bool& ignore, TFTPCmdType command);
    void onSuccess(TFTPCmdType command);
};
