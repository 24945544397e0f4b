// The script classes "HTTP", "HTTPS" and "TCPSocket" over TgHTTP, TgHTTPS
// and TgSocket, with the "Request" and "Response" objects that show the HTTP
// headers. Each object owns one client, forwards its methods to it, turns
// every failure into the script error "ESocketError" and the client's hooks
// into script events. Registered by RegisterSocketObjects (net/netlibrary.h).
#pragma once

#include <memory>

#include "engine/core/errors.h"
#include "engine/core/object.h"
#include "net/ghttp.h"

class TJCookieObject;
class TStrings;

using TJPrintHook = TEvent<void(const AnsiString& Text)>;

// ==== Common base ====

class TJBaseSocketObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJBaseSocketObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    // Unbinds every hook of the client before freeing it: no event may reach
    // a dying object or engine.
    ~TJBaseSocketObject() override;

    // Prints the status lines while debug is on: a registered object's go to
    // its runtime's standard output.
    TJPrintHook PrintHook;
    bool Debug = false;

    // ---- Published properties ----
    int32_t timeoutProperty() const { return Client_->Timeout; }
    void setTimeoutProperty(int32_t seconds) { Client_->Timeout = seconds; }
    bool debugProperty() const { return Debug; }
    void setDebugProperty(bool on) { Debug = on; }
    int32_t bytesTotalProperty() const { return low32(Client_->BytesTotal); }
    int32_t bytesReadProperty() const { return low32(Client_->BytesRead); }
    int32_t bytesWroteProperty() const { return low32(Client_->BytesWritten); }

    // The object's client, which the methods drive.
    TgSocket& Client() const { return *Client_; }

    // Runs a method row's code (engine/core/methodtable.h): what a client's
    // hook raised is raised again as it was; the row's error takes every
    // other failure.
    template <class T>
    static void RunNative(TJNative<T> code, T& self, TJValueList* args, TJValue& result) {
        try {
            code(self, args, result);
        } catch (const EHookFault& fault) {
            fault.Rethrow();
        }
    }

protected:
    // A port of 0 to 65535; any other raises "ESocketError" with the class
    // name and ".port error".
    uint16_t checkedPort(int32_t port) const;
    void AfterRegistration() override;
    // Takes the client and binds the hooks every socket object has.
    void setClient(std::unique_ptr<TgSocket> client);
    // Fires the event when the script handles it; the object comes first.
    void fire(const char* name, TJValueList& args);
    void fireNotify(const char* name);

private:
    static int32_t low32(uint64_t count) { return static_cast<int32_t>(static_cast<uint32_t>(count)); }
    void printLine(const AnsiString& text);
    void onStatus(TObject*, const AnsiString& text);
    void onConnect(TObject*) { fireNotify("onConnect"); }
    void onDisconnect(TObject*) { fireNotify("onDisconnect"); }
    void onError(TObject*, int32_t code, const AnsiString& name);
    void onPacket(const char* event, int32_t count, bool& cancel);
    void onPacketRecvd(TObject*, int32_t count, bool& cancel) { onPacket("onRead", count, cancel); }
    void onPacketSent(TObject*, int32_t count, bool& cancel) { onPacket("onWrite", count, cancel); }

    std::unique_ptr<TgSocket> Client_;
};

// The script error of every failure of a network object.
inline constexpr char SocketErrorName[] = "ESocketError";

// A network method's error: its message, raised as "ESocketError" for every
// failure of its client and for a script error of an event handler (which
// the client passes on as whatever its hooks raise); with missingFails a
// missing argument is such a failure too.
constexpr TJMethodError SocketError(const char* message, bool missingFails = false) {
    return {SocketErrorName, message, missingFails};
}

// ==== Request and Response ====

// "Request": its members are the headers of the next prepared request.
class TJRequestObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJRequestObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    // "name: value" per member, joined by CR LF.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    // Reset, then every member as a header.
    void StoreInto(TRequestHeader& header);
};

// "Response": the status and cookies of the last copied response; its
// members are the response headers.
class TJResponseObject : public TJObject {
    RTL_DECLARE_CLASS()
    TJResponseObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJResponseObject() override;
    // The status line, then "name: value" per member, joined by CR LF.
    AnsiString ToString(const TJValue* arg = nullptr) override;
    void CopyFrom(TgHTTP& client);

    int32_t codeProperty() const { return Code_; }
    AnsiString textProperty() const { return Text_; }
    AnsiString versionProperty() const { return Version_; }
    TJObject* cookieProperty() const;

private:
    int32_t Code_ = 999;
    AnsiString Text_;
    AnsiString Version_;
    TJCookieObject* Cookie_;
};

// ==== HTTP and HTTPS ====

class TJHTTPObject : public TJBaseSocketObject {
    RTL_DECLARE_CLASS()
    TJHTTPObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);
    ~TJHTTPObject() override;

    TJObject* requestHeaderProperty() const { return Request_; }
    TJObject* responseHeaderProperty() const { return Response_; }
    AnsiString versionProperty() const { return Http().Version; }
    void setVersionProperty(AnsiString version) { Http().Version = version; }
    int32_t lengthProperty() const { return Http().ContentLength; }
    bool autoRedirectProperty() const { return Http().AutoRedirect; }
    void setAutoRedirectProperty(bool on) { Http().AutoRedirect = on; }
    AnsiString proxyProperty() const { return Http().Proxy; }
    void setProxyProperty(AnsiString proxy) { Http().Proxy = proxy; }

    const TJMethodTable& Methods() const override;

    TgHTTP& Http() const { return static_cast<TgHTTP&>(Client()); }
    // The Request object's members become the next request's headers.
    void PrepareRequest();
    // The last response into the Response object.
    void CopyResponse();

protected:
    // Sets the script class name and makes the client.
    virtual std::unique_ptr<TgHTTP> CreateClient();
    // The client is made here, once the class's own CreateClient is in place.
    void AfterConstruction() override;

private:
    void onRequest(TObject*, AnsiString&, TRequestHeader&, AnsiString&) { fireNotify("onRequest"); }
    void onResponse(TObject*, const AnsiString&, TResponseHeader&, int32_t&, AnsiString&, const AnsiString&,
                    const AnsiString&) {
        fireNotify("onResponse");
    }
    void onSuccess(int32_t) { fireNotify("onSuccess"); }
    void onFailure(int32_t) { fireNotify("onFailure"); }

    TJRequestObject* Request_;
    TJResponseObject* Response_;
};

class TJHTTPSObject : public TJHTTPObject {
    RTL_DECLARE_CLASS()
    using TJHTTPObject::TJHTTPObject;

protected:
    std::unique_ptr<TgHTTP> CreateClient() override;
};

// ==== TCPSocket ====

class TJTCPSocketObject : public TJBaseSocketObject {
    RTL_DECLARE_CLASS()
    // TCPSocket() or TCPSocket(handle) over an accepted connection.
    TJTCPSocketObject(const TJCreateKey& key, TJRuntime* runtime, TJValueList* args);

    AnsiString hostProperty() const { return Client().Host; }
    void setHostProperty(AnsiString host) { Client().Host = host; }
    int32_t portProperty() const { return Client().Port; }
    void setPortProperty(int32_t port) { Client().Port = checkedPort(port); }

    const TJMethodTable& Methods() const override;
};

// ==== Arguments and lists ====

// A method's argument as text (the row's minimum count says it is there).
AnsiString textArgument(TJValueList* args, int index);

// A string-list object holding the lines, or an Array of them while the
// system library that provides string lists is not linked: the list given,
// made here before, refilled, or a new one when nil (entered in the runtime's
// object list when registering; else the caller owns it).
TJObject* FillTextListObject(TJRuntime* runtime, const TStrings& lines, TJObject* list = nullptr,
                             bool registering = true);
