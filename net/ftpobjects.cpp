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

AnsiString textArgument(TJValueList* args, int index) {
    return ValueToString(TJBaseSocketObject::requiredArgument(args, index));
}

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

AnsiString TJFtpFilePropertyObject::fileTypeProperty() const {
    switch (Property.FileType) {
    case ftDirectory: return "d";
    case ftFile: return "-";
    case ftLink: return "l";
    default: return {};
    }
}

TJObject* TJFtpFilePropertyObject::lastModifiedProperty() const {
    auto* date = createObject<TJDateObject>(Runtime(), true, nullptr);
    date->SetLocalDateTime(Property.Modified);
    return date;
}

// ==== FTP ====

const TClassInfo TJFtpObject::classInfo =
    makeClassInfo("TJFtpObject", &TJBaseSocketObject::classInfo, ftpProperties, &scriptCreator<TJFtpObject>);

const TJBaseSocketObject::Method<TJFtpObject> TJFtpObject::MethodRows[] = {
    {"connect", 0, TJMethodResult::Self, "FTP.connect error", &TJFtpObject::nativeConnect},
    {"login", 0, TJMethodResult::Self, "FTP.login error", &TJFtpObject::nativeLogin},
    {"disconnect", 0, TJMethodResult::Self, "FTP.disconnect error", &TJFtpObject::nativeDisconnect},
    {"quit", 0, TJMethodResult::Self, "FTP.disconnect error", &TJFtpObject::nativeDisconnect},
    {"abort", 0, TJMethodResult::Self, "FTP.abort error", &TJFtpObject::nativeAbort},
    {"changeDir", 0, TJMethodResult::Self, "FTP.changeDir error", &TJFtpObject::nativeChangeDir},
    {"delete", 0, TJMethodResult::Self, "FTP.delete error", &TJFtpObject::nativeDelete},
    {"makeDir", 0, TJMethodResult::Self, "FTP.makeDir error", &TJFtpObject::nativeMakeDir},
    {"removeDir", 0, TJMethodResult::Self, "FTP.removeDir error", &TJFtpObject::nativeRemoveDir},
    {"rename", 0, TJMethodResult::Self, "FTP.rename error", &TJFtpObject::nativeRename},
    {"download", 0, TJMethodResult::Self, "FTP.download error", &TJFtpObject::nativeDownload},
    {"downloadRestore", 0, TJMethodResult::Self, "FTP.downloadRestore error", &TJFtpObject::nativeDownloadRestore},
    {"upload", 0, TJMethodResult::Self, "FTP.upload error", &TJFtpObject::nativeUpload},
    {"uploadAppend", 0, TJMethodResult::Self, "FTP.uploadAppend error", &TJFtpObject::nativeUploadAppend},
    {"uploadRestore", 0, TJMethodResult::Self, "FTP.uploadRestore error", &TJFtpObject::nativeUploadRestore},
    {"uploadUnique", 0, TJMethodResult::Self, "FTP.uploadUnique error", &TJFtpObject::nativeUploadUnique},
    {"list", 0, TJMethodResult::Undefined, "FTP.list error", &TJFtpObject::nativeList},
    {"nlist", 0, TJMethodResult::Undefined, "FTP.nlist error", &TJFtpObject::nativeNlist},
    {"printWorkDir", 0, TJMethodResult::Undefined, "FTP.printWorkDir error", &TJFtpObject::nativePrintWorkDir},
    {"findFiles", 0, TJMethodResult::Undefined, "FTP.findFiles error", &TJFtpObject::nativeFindFiles},
    {"reinitialize", 0, TJMethodResult::Self, "FTP.reinitialize error", &TJFtpObject::nativeReinitialize},
    {"type", 0, TJMethodResult::Self, "FTP.type error", &TJFtpObject::nativeType},
    {"command", 0, TJMethodResult::Undefined, "FTP.command error", &TJFtpObject::nativeCommand},
};

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

const TJMethodTable& TJFtpObject::Methods() const {
    static const TJMethodTable table(MethodRows, TJObject::Methods());
    return table;
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

void TJFtpObject::listResult(TJValue& result) {
    auto* array = createObject<TJArrayObject>(Runtime(), true, nullptr);
    MakeObject(array, result);  // held before the entries are made
    TJValue entry;
    for (int i = 0; i < ftp().DirList.Count(); ++i) {
        auto* property = createObject<TJFtpFilePropertyObject>(Runtime(), true, nullptr);
        property->Property = ftp().DirList.Item(i);
        MakeObject(property, entry);
        array->Add(entry);
    }
}

void TJFtpObject::nativeConnect(TJValueList*, TJValue&) { ftp().Connect(); }

void TJFtpObject::nativeLogin(TJValueList* args, TJValue&) {
    if (HasArgs(args)) ftp().User = ValueToString(args->At(0));
    if (HasTwoArgs(args)) ftp().Password = ValueToString(args->At(1));
    ftp().Connect();
}

void TJFtpObject::nativeDisconnect(TJValueList*, TJValue&) { ftp().Disconnect(); }
void TJFtpObject::nativeAbort(TJValueList*, TJValue&) { ftp().Abort(); }
void TJFtpObject::nativeChangeDir(TJValueList* args, TJValue&) { ftp().ChangeDir(textArgument(args, 0)); }
void TJFtpObject::nativeDelete(TJValueList* args, TJValue&) { ftp().DeleteRemoteFile(textArgument(args, 0)); }
void TJFtpObject::nativeMakeDir(TJValueList* args, TJValue&) { ftp().MakeDir(textArgument(args, 0)); }
void TJFtpObject::nativeRemoveDir(TJValueList* args, TJValue&) { ftp().RemoveDir(textArgument(args, 0)); }

void TJFtpObject::nativeRename(TJValueList* args, TJValue&) {
    ftp().Rename(textArgument(args, 0), textArgument(args, 1));
}

void TJFtpObject::nativeDownload(TJValueList* args, TJValue&) {
    ftp().Download(textArgument(args, 0), textArgument(args, 1));
}

void TJFtpObject::nativeDownloadRestore(TJValueList* args, TJValue&) {
    ftp().DownloadRestore(textArgument(args, 0), textArgument(args, 1));
}

void TJFtpObject::nativeUpload(TJValueList* args, TJValue&) {
    ftp().Upload(textArgument(args, 0), textArgument(args, 1));
}

void TJFtpObject::nativeUploadAppend(TJValueList* args, TJValue&) {
    ftp().UploadAppend(textArgument(args, 0), textArgument(args, 1));
}

void TJFtpObject::nativeUploadRestore(TJValueList* args, TJValue&) {
    ftp().UploadRestore(textArgument(args, 0), textArgument(args, 1),
                        HasThreeArgs(args) ? ValueToInteger(args->At(2)) : 0);
}

void TJFtpObject::nativeUploadUnique(TJValueList* args, TJValue&) { ftp().UploadUnique(textArgument(args, 0)); }

void TJFtpObject::nativeList(TJValueList*, TJValue& result) {
    ftp().List();
    listResult(result);
}

void TJFtpObject::nativeNlist(TJValueList*, TJValue& result) {
    ftp().NameList();
    listResult(result);
}

void TJFtpObject::nativePrintWorkDir(TJValueList*, TJValue& result) {
    ftp().PrintWorkDir();
    MakeString(ftp().CurrentDir, result);
}

// The mask "*.*" by default, as always: it wants a "." in the name.
void TJFtpObject::nativeFindFiles(TJValueList* args, TJValue& result) {
    std::vector<AnsiString> found;
    ftp().FindFiles(textArgument(args, 0), ArgCount(args) > 1 ? textArgument(args, 1) : AnsiString("*.*"),
                    HasThreeArgs(args) && ValueToBool(args->At(2)), found);
    TStringList lines;
    for (const AnsiString& path : found) lines.Add(path);
    MakeObject(FillTextListObject(Runtime(), lines), result);
}

void TJFtpObject::nativeReinitialize(TJValueList*, TJValue&) { ftp().Reinitialize(); }

// "A" ASCII, "B" binary (which FTP sends as image), anything else image.
void TJFtpObject::nativeType(TJValueList* args, TJValue&) {
    AnsiString name = upperCaseAscii(textArgument(args, 0));
    uint8_t type = name == "A" ? ttAscii : name == "B" ? ttBinary : ttImage;
    ftp().DataType = type;
    ftp().SetType(type);
}

void TJFtpObject::nativeCommand(TJValueList* args, TJValue& result) {
    MakeString(ftp().DoCommand(textArgument(args, 0)), result);
}
