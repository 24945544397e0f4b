// The script class "URL": one URL split into its parts (TUrlInfo), each
// readable and writable under its names and aliases. Registered by
// RegisterSocketObjects (net/netlibrary.h).
#pragma once

#include "engine/core/object.h"
#include "net/urlutil.h"

class TJURLInfoObject : public TJObject {
    RTL_DECLARE_CLASS()
    // URL([url]).
    TJURLInfoObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    TUrlInfo Info;

    AnsiString ToString(const TJValue* = nullptr) override { return Info.url; }

    AnsiString urlProperty() const { return Info.url; }
    // Splits the new text into every part.
    void setUrlProperty(AnsiString url) { Info = ParseUrl(url); }
    AnsiString protocolProperty() const { return Info.protocol; }
    void setProtocolProperty(AnsiString text) { Info.protocol = text; }
    AnsiString usernameProperty() const { return Info.username; }
    void setUsernameProperty(AnsiString text) { Info.username = text; }
    AnsiString passwordProperty() const { return Info.password; }
    void setPasswordProperty(AnsiString text) { Info.password = text; }
    // hostname, and ":" with the port when there is one.
    AnsiString hostProperty() const;
    // "name:port" sets both, a text without ":" the host name alone.
    void setHostProperty(AnsiString text);
    AnsiString hostnameProperty() const { return Info.hostname; }
    void setHostnameProperty(AnsiString text) { Info.hostname = text; }
    AnsiString portProperty() const { return Info.port; }
    void setPortProperty(AnsiString text) { Info.port = text; }
    AnsiString pathProperty() const { return Info.path; }
    void setPathProperty(AnsiString text) { Info.path = text; }
    AnsiString directoryProperty() const { return Info.directory; }
    void setDirectoryProperty(AnsiString text) { Info.directory = text; }
    AnsiString filenameProperty() const { return Info.filename; }
    void setFilenameProperty(AnsiString text) { Info.filename = text; }
    AnsiString queryProperty() const { return Info.query; }
    void setQueryProperty(AnsiString text) { Info.query = text; }

    const TJMethodTable& Methods() const override;
};
