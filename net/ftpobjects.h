// The script class "FTP" over TgFTP and the "FileProperty" objects its
// listings return. Registered by RegisterSocketObjects (net/netlibrary.h).
#pragma once

#include "net/gftp.h"
#include "net/socketobjects.h"

// "FileProperty": a copy of one listing entry.
class TJFtpFilePropertyObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJFtpFilePropertyObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TFTPFileProperty Property;

    // "d" directory, "-" file, "l" link, empty otherwise.
    AnsiString fileTypeProperty() const;
    int64_t sizeProperty() const { return Property.Size; }
    AnsiString nameProperty() const { return Property.Name; }
    // A new Date object for the local modification time.
    TJObject* lastModifiedProperty() const;
    int32_t attributeProperty() const { return FilePropertyAttribute(Property); }
    // The listing line.
    AnsiString ToString(const TJValue* = nullptr) override { return Property.Line; }
};

class TJFtpObject : public TJBaseSocketObject {
    RTL_DECLARE_CLASS()
    // FTP([host [, port]]).
    TJFtpObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString currentDirProperty() const { return ftp().CurrentDir; }
    AnsiString passwordProperty() const { return ftp().Password; }
    void setPasswordProperty(AnsiString password) { ftp().Password = password; }
    AnsiString useridProperty() const { return ftp().User; }
    void setUseridProperty(AnsiString user) { ftp().User = user; }
    bool passiveModeProperty() const { return ftp().Passive; }
    void setPassiveModeProperty(bool on) { ftp().Passive = on; }
    AnsiString proxyProperty() const { return ftp().Proxy; }
    void setProxyProperty(AnsiString proxy) { ftp().Proxy = proxy; }
    AnsiString hostProperty() const { return ftp().Host; }
    void setHostProperty(AnsiString host) { ftp().Host = host; }
    int32_t portProperty() const { return ftp().Port; }
    void setPortProperty(int32_t port) { ftp().Port = checkedPort(port); }
    int32_t lengthProperty() const { return 0; }

    static const Method<TJFtpObject> MethodRows[];
    const TJMethodTable& Methods() const override;

private:
    TgFTP& ftp() const { return static_cast<TgFTP&>(client()); }
    void onCommandError(bool& ignore, TFTPCmdType command);
    void onSuccess(TFTPCmdType command);
    // A new Array of "FileProperty" objects, one per entry of the list.
    void listResult(TJValue& result);

    void nativeConnect(TJValueList* args, TJValue& result);
    void nativeLogin(TJValueList* args, TJValue& result);
    void nativeDisconnect(TJValueList* args, TJValue& result);
    void nativeAbort(TJValueList* args, TJValue& result);
    void nativeChangeDir(TJValueList* args, TJValue& result);
    void nativeDelete(TJValueList* args, TJValue& result);
    void nativeMakeDir(TJValueList* args, TJValue& result);
    void nativeRemoveDir(TJValueList* args, TJValue& result);
    void nativeRename(TJValueList* args, TJValue& result);
    void nativeDownload(TJValueList* args, TJValue& result);
    void nativeDownloadRestore(TJValueList* args, TJValue& result);
    void nativeUpload(TJValueList* args, TJValue& result);
    void nativeUploadAppend(TJValueList* args, TJValue& result);
    void nativeUploadRestore(TJValueList* args, TJValue& result);
    void nativeUploadUnique(TJValueList* args, TJValue& result);
    void nativeList(TJValueList* args, TJValue& result);
    void nativeNlist(TJValueList* args, TJValue& result);
    void nativePrintWorkDir(TJValueList* args, TJValue& result);
    void nativeFindFiles(TJValueList* args, TJValue& result);
    void nativeReinitialize(TJValueList* args, TJValue& result);
    void nativeType(TJValueList* args, TJValue& result);
    void nativeCommand(TJValueList* args, TJValue& result);
};
