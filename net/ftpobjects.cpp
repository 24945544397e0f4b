// The FTP and FileProperty objects: the FTP method table, the two FTP hooks
// turned into onFailure and onSuccess, and the listing entries.
#include "net/ftpobjects.h"

#include "engine/core/array.h"
#include "engine/core/valuelist.h"
#include "engine/lib/dateobject.h"
#include "engine/lib/number.h"
#include "engine/support/mbstring.h"
#include "rtl/stringlist.h"

namespace {

constexpr int32_t clientBufferSize = 65536;

const TPropInfo filePropertyProperties[] = {
    StringProperty<&TJFtpFilePropertyObject::fileTypeProperty>("fileType"),
    Int64Property<&TJFtpFilePropertyObject::sizeProperty>("size"),
    Int64Property<&TJFtpFilePropertyObject::sizeProperty>("length"),
    StringProperty<&TJFtpFilePropertyObject::nameProperty>("name"),
    ClassProperty<&TJFtpFilePropertyObject::lastModifiedProperty>("lastModified", &TJObject::classInfo),
    IntegerProperty<&TJFtpFilePropertyObject::attributeProperty>("attribute"),
};

const TPropInfo ftpProperties[] = {
    StringProperty<&TJFtpObject::currentDirProperty>("currentDir"),
    StringProperty<&TJFtpObject::passwordProperty, &TJFtpObject::setPasswordProperty>("password"),
    StringProperty<&TJFtpObject::useridProperty, &TJFtpObject::setUseridProperty>("userid"),
    BoolProperty<&TJFtpObject::passiveModeProperty, &TJFtpObject::setPassiveModeProperty>("passiveMode"),
    StringProperty<&TJFtpObject::proxyProperty, &TJFtpObject::setProxyProperty>("proxy"),
    StringProperty<&TJFtpObject::hostProperty, &TJFtpObject::setHostProperty>("host"),
    IntegerProperty<&TJFtpObject::portProperty, &TJFtpObject::setPortProperty>("port"),
    IntegerProperty<&TJFtpObject::lengthProperty>("length"),
};

// The packet events are listed under the names their handlers are called by.
const char* const ftpEvents[] = {"onStatus", "onConnect", "onDisconnect", "onError",
                                 "onFailure", "onRead", "onWrite", "onSuccess"};

}  // namespace

// ==== FileProperty ====

const TClassInfo TJFtpFilePropertyObject::classInfo =
    makeClassInfo("TJFtpFilePropertyObject", &TJObject::classInfo, filePropertyProperties,
                  &scriptCreator<TJFtpFilePropertyObject>);

TJFtpFilePropertyObject::TJFtpFilePropertyObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    static const AnsiString className = "FileProperty";  // shared by the many entries of a listing
    SetClassName(className);
}

const TFTPFileProperty& TJFtpFilePropertyObject::record() const {
    static const TFTPFileProperty empty;
    return Property ? *Property : empty;
}

AnsiString TJFtpFilePropertyObject::fileTypeProperty() const {
    switch (record().FileType) {
    case ftDirectory: return "d";
    case ftFile: return "-";
    case ftLink: return "l";
    default: return {};
    }
}

TJObject* TJFtpFilePropertyObject::lastModifiedProperty() const {
    auto* date = createObject<TJDateObject>(Runtime(), true, nullptr);
    date->SetLocalDateTime(record().Modified);
    return date;
}

// ==== FTP ====

const TClassInfo TJFtpObject::classInfo =
    makeClassInfo("TJFtpObject", &TJBaseSocketObject::classInfo, ftpProperties, &scriptCreator<TJFtpObject>);

TJFtpObject::TJFtpObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJBaseSocketObject(key, runtime, args) {
    SetClassName("FTP");
    auto client = std::make_unique<TgFTP>(clientBufferSize);
    client->OnCommandError = TFTPErrorEvent::bind<&TJFtpObject::onCommandError>(this);
    client->OnSuccess = TFTPCommandEvent::bind<&TJFtpObject::onSuccess>(this);
    if (HasArgs(args)) client->Host = ValueToString(args->At(0));
    if (HasTwoArgs(args)) client->Port = checkedPort(ValueToInteger(args->At(1)));
    setClient(std::move(client));
    for (const char* event : ftpEvents) RegisterEventName(event);
}

// The handler gets a Boolean object holding false; its value afterwards is
// the ignore.
void TJFtpObject::onCommandError(bool& ignore, TFTPCmdType command) {
    if (!HasEventHandler("onFailure")) return;
    TJBooleanObject* box = NewBooleanObject(Runtime(), false);
    TJValueList args;
    args.AddObject(box);
    args.AddString(FTPCmdTypeName(command));
    fire("onFailure", args);
    ignore = box->ToBool();
}

void TJFtpObject::onSuccess(TFTPCmdType command) {
    if (!HasEventHandler("onSuccess")) return;
    TJValueList args;
    args.AddString(FTPCmdTypeName(command));
    fire("onSuccess", args);
}

namespace {

// ---- FTP methods (a missing argument: the method's failure) ----

// A new Array of "FileProperty" objects, one per entry of the list.
void listResult(TJFtpObject& self, TJValue& result) {
    auto* array = createObject<TJArrayObject>(self.Runtime(), true, nullptr);
    MakeObject(array, result);  // held before the entries are made
    TJValue entry;
    const TFTPDirectoryList& list = self.Ftp().DirList;
    array->Items().Reserve(static_cast<size_t>(list.Count()));
    for (int i = 0; i < list.Count(); ++i) {
        auto* property = createObject<TJFtpFilePropertyObject>(self.Runtime(), true, nullptr);
        property->Property = list.Share(i);
        MakeObject(property, entry);
        array->Add(entry);
    }
}

void ftpConnect(TJFtpObject& self, TJValueList*, TJValue&) { self.Ftp().Connect(); }

void ftpLogin(TJFtpObject& self, TJValueList* args, TJValue&) {
    if (HasArgs(args)) self.Ftp().User = textArgument(args, 0);
    if (HasTwoArgs(args)) self.Ftp().Password = textArgument(args, 1);
    self.Ftp().Connect();
}

void ftpDisconnect(TJFtpObject& self, TJValueList*, TJValue&) { self.Ftp().Disconnect(); }
void ftpAbort(TJFtpObject& self, TJValueList*, TJValue&) { self.Ftp().Abort(); }
void ftpChangeDir(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().ChangeDir(textArgument(args, 0)); }
void ftpDelete(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().DeleteRemoteFile(textArgument(args, 0)); }
void ftpMakeDir(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().MakeDir(textArgument(args, 0)); }
void ftpRemoveDir(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().RemoveDir(textArgument(args, 0)); }
void ftpRename(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().Rename(textArgument(args, 0), textArgument(args, 1)); }
void ftpDownload(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().Download(textArgument(args, 0), textArgument(args, 1)); }

void ftpDownloadRestore(TJFtpObject& self, TJValueList* args, TJValue&) {
    self.Ftp().DownloadRestore(textArgument(args, 0), textArgument(args, 1));
}

void ftpUpload(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().Upload(textArgument(args, 0), textArgument(args, 1)); }

void ftpUploadAppend(TJFtpObject& self, TJValueList* args, TJValue&) {
    self.Ftp().UploadAppend(textArgument(args, 0), textArgument(args, 1));
}

void ftpUploadRestore(TJFtpObject& self, TJValueList* args, TJValue&) {
    self.Ftp().UploadRestore(textArgument(args, 0), textArgument(args, 1), HasThreeArgs(args) ? ValueToInteger(args->At(2)) : 0);
}

void ftpUploadUnique(TJFtpObject& self, TJValueList* args, TJValue&) { self.Ftp().UploadUnique(textArgument(args, 0)); }

void ftpList(TJFtpObject& self, TJValueList*, TJValue& result) {
    self.Ftp().List();
    listResult(self, result);
}

void ftpNameList(TJFtpObject& self, TJValueList*, TJValue& result) {
    self.Ftp().NameList();
    listResult(self, result);
}

void ftpPrintWorkDir(TJFtpObject& self, TJValueList*, TJValue& result) {
    self.Ftp().PrintWorkDir();
    MakeString(self.Ftp().CurrentDir, result);
}

// The mask "*.*" by default, as always: it wants a "." in the name.
void ftpFindFiles(TJFtpObject& self, TJValueList* args, TJValue& result) {
    std::vector<AnsiString> found;
    self.Ftp().FindFiles(textArgument(args, 0), HasTwoArgs(args) ? textArgument(args, 1) : AnsiString("*.*"),
                         HasThreeArgs(args) && ValueToBool(args->At(2)), found);
    TStringList lines;
    for (const AnsiString& path : found) lines.Add(path);
    MakeObject(FillTextListObject(self.Runtime(), lines), result);
}

void ftpReinitialize(TJFtpObject& self, TJValueList*, TJValue&) { self.Ftp().Reinitialize(); }

// "A" ASCII, "B" binary (which FTP sends as image), anything else image.
void ftpType(TJFtpObject& self, TJValueList* args, TJValue&) {
    AnsiString name = upperCaseAscii(textArgument(args, 0));
    uint8_t dataType = name == "A" ? ttAscii : name == "B" ? ttBinary : ttImage;
    self.Ftp().DataType = dataType;
    self.Ftp().SetType(dataType);
}

void ftpCommand(TJFtpObject& self, TJValueList* args, TJValue& result) {
    MakeString(self.Ftp().DoCommand(textArgument(args, 0)), result);
}

constexpr TJMethodResult self = TJMethodResult::Self;
constexpr TJMethodResult undefined = TJMethodResult::Undefined;

// A method raises its error also when an argument it needs is missing.
constexpr TJMethodError ftpError(const char* message) { return SocketError(message, true); }

const TJMethod<TJFtpObject> ftpMethods[] = {
    {"connect", 0, &ftpConnect, self, ftpError("FTP.connect error")},
    {"login", 0, &ftpLogin, self, ftpError("FTP.login error")},
    {"disconnect", 0, &ftpDisconnect, self, ftpError("FTP.disconnect error")},
    {"quit", 0, &ftpDisconnect, self, ftpError("FTP.disconnect error")},
    {"abort", 0, &ftpAbort, self, ftpError("FTP.abort error")},
    {"changeDir", 1, &ftpChangeDir, self, ftpError("FTP.changeDir error")},
    {"delete", 1, &ftpDelete, self, ftpError("FTP.delete error")},
    {"makeDir", 1, &ftpMakeDir, self, ftpError("FTP.makeDir error")},
    {"removeDir", 1, &ftpRemoveDir, self, ftpError("FTP.removeDir error")},
    {"rename", 2, &ftpRename, self, ftpError("FTP.rename error")},
    {"download", 2, &ftpDownload, self, ftpError("FTP.download error")},
    {"downloadRestore", 2, &ftpDownloadRestore, self, ftpError("FTP.downloadRestore error")},
    {"upload", 2, &ftpUpload, self, ftpError("FTP.upload error")},
    {"uploadAppend", 2, &ftpUploadAppend, self, ftpError("FTP.uploadAppend error")},
    {"uploadRestore", 2, &ftpUploadRestore, self, ftpError("FTP.uploadRestore error")},
    {"uploadUnique", 1, &ftpUploadUnique, self, ftpError("FTP.uploadUnique error")},
    {"list", 0, &ftpList, undefined, ftpError("FTP.list error")},
    {"nlist", 0, &ftpNameList, undefined, ftpError("FTP.nlist error")},
    {"printWorkDir", 0, &ftpPrintWorkDir, undefined, ftpError("FTP.printWorkDir error")},
    {"findFiles", 1, &ftpFindFiles, undefined, ftpError("FTP.findFiles error")},
    {"reinitialize", 0, &ftpReinitialize, self, ftpError("FTP.reinitialize error")},
    {"type", 1, &ftpType, self, ftpError("FTP.type error")},
    {"command", 1, &ftpCommand, undefined, ftpError("FTP.command error")},
};

}  // namespace

const TJMethodTable& TJFtpObject::Methods() const {
    static const TJMethodTable table(ftpMethods, TJObject::Methods());
    return table;
}
