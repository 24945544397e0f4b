// The URL object: its nineteen property names and expand.
#include "net/urlobject.h"

#include "engine/core/valuelist.h"

namespace {

using U = TJURLInfoObject;

template <auto G, auto S>
constexpr TPropInfo text(const char* name) {
    return StringProperty<G, S>(name);
}

const TPropInfo urlProperties[] = {
    text<&U::urlProperty, &U::setUrlProperty>("url"),
    text<&U::urlProperty, &U::setUrlProperty>("uri"),
    text<&U::urlProperty, &U::setUrlProperty>("href"),
    text<&U::protocolProperty, &U::setProtocolProperty>("protocol"),
    text<&U::protocolProperty, &U::setProtocolProperty>("scheme"),
    text<&U::usernameProperty, &U::setUsernameProperty>("username"),
    text<&U::usernameProperty, &U::setUsernameProperty>("user"),
    text<&U::usernameProperty, &U::setUsernameProperty>("userid"),
    text<&U::passwordProperty, &U::setPasswordProperty>("password"),
    text<&U::passwordProperty, &U::setPasswordProperty>("pass"),
    text<&U::hostProperty, &U::setHostProperty>("host"),
    text<&U::hostnameProperty, &U::setHostnameProperty>("hostname"),
    text<&U::portProperty, &U::setPortProperty>("port"),
    text<&U::pathProperty, &U::setPathProperty>("path"),
    text<&U::directoryProperty, &U::setDirectoryProperty>("directory"),
    text<&U::directoryProperty, &U::setDirectoryProperty>("dir"),
    text<&U::filenameProperty, &U::setFilenameProperty>("filename"),
    text<&U::queryProperty, &U::setQueryProperty>("query"),
    text<&U::queryProperty, &U::setQueryProperty>("search"),
};

// expand([relative]): the relative URL resolved against this one.
void expand(U& self, TJValueList* args, TJValue& result) {
    MakeString(HasArgs(args) ? ResolveRelativeUrl(self.Info.url, ValueToString(args->At(0))) : self.Info.url, result);
}

const TJMethod<U> urlMethods[] = {
    {"expand", 0, &expand},
};

}  // namespace

const TClassInfo TJURLInfoObject::classInfo =
    makeClassInfo("TJURLInfoObject", &TJObject::classInfo, urlProperties, &scriptCreator<TJURLInfoObject>);

TJURLInfoObject::TJURLInfoObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args)
    : TJObject(key, runtime, args) {
    SetClassName("URL");
    if (HasArgs(args)) Info = ParseUrl(ValueToString(args->At(0)));
}

const TJMethodTable& TJURLInfoObject::Methods() const {
    static const TJMethodTable table(urlMethods, TJObject::Methods());
    return table;
}

AnsiString TJURLInfoObject::hostProperty() const {
    return Info.port.empty() ? Info.hostname : Info.hostname + ":" + Info.port;
}

void TJURLInfoObject::setHostProperty(AnsiString text) {
    size_t colon = text.find(':');
    Info.hostname = text.substr(0, colon);
    if (colon != std::string_view::npos) Info.port = text.substr(colon + 1);
}
