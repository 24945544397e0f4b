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

    // One script method (a row of a method table, engine/core/methodtable.h):
    // its minimum argument count, its starting result (this object, or
    // undefined) and the message every failure of its client becomes.
    template <class T>
    struct Method {
        const char* Name;
        int MinArgs;
        TJMethodResult Result;
        const char* Error;
        void (T::*Run)(TJValueList* args, TJValue& result);

        void Call(TJObject& self, TJValueList* args, TJValue& result) const {
            static_cast<T&>(self).RunMethod(*this, args, result);
        }
    };
    // Runs the method; every failure of the client becomes "ESocketError"
    // with the method's message.
    template <class T>
    void RunMethod(const Method<T>& method, TJValueList* args, TJValue& result);
    // A method's argument; a missing one is the method's failure.
    static const TJValue& requiredArgument(TJValueList* args, int index);

protected:
    // A port of 0 to 65535; any other raises "ESocketError" with the class
    // name and ".port error".
    uint16_t checkedPort(int32_t port) const;
    void AfterRegistration() override;
    // Takes the client and binds the hooks every socket object has.
    void setClient(std::unique_ptr<TgSocket> client);
    TgSocket& client() const { return *Client_; }
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

// Every failure of the client becomes the method's own message, and so does
// a script error of an event handler, which the client passes on as it does
// whatever its hooks raise; a script abort or exit raised by a handler ends
// the run as it would anyway.
template <class T>
void TJBaseSocketObject::RunMethod(const Method<T>& method, TJValueList* args, TJValue& result) {
    try {
        try {
            (static_cast<T*>(this)->*method.Run)(args, result);
        } catch (const EHookFault& fault) {
            fault.Rethrow();
        }
    } catch (const EJAbort&) {
        throw;
    } catch (const EJStatement&) {
        throw;
    } catch (...) {
        raiseScriptError("ESocketError", method.Error);
    }
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
    AnsiString versionProperty() const { return http().Version; }
    void setVersionProperty(AnsiString version) { http().Version = version; }
    int32_t lengthProperty() const { return http().ContentLength; }
    bool autoRedirectProperty() const { return http().AutoRedirect; }
    void setAutoRedirectProperty(bool on) { http().AutoRedirect = on; }
    AnsiString proxyProperty() const { return http().Proxy; }
    void setProxyProperty(AnsiString proxy) { http().Proxy = proxy; }

    static const Method<TJHTTPObject> MethodRows[];
    const TJMethodTable& Methods() const override;

protected:
    // Sets the script class name and makes the client.
    virtual std::unique_ptr<TgHTTP> CreateClient();
    // The client is made here, once the class's own CreateClient is in place.
    void AfterConstruction() override;

private:
    TgHTTP& http() const { return static_cast<TgHTTP&>(client()); }
    void prepare();
    void copyResponse();
    void onRequest(TObject*, AnsiString&, TRequestHeader&, AnsiString&) { fireNotify("onRequest"); }
    void onResponse(TObject*, const AnsiString&, TResponseHeader&, int32_t&, AnsiString&, const AnsiString&,
                    const AnsiString&) {
        fireNotify("onResponse");
    }
    void onSuccess(int32_t) { fireNotify("onSuccess"); }
    void onFailure(int32_t) { fireNotify("onFailure"); }

    void nativeGet(TJValueList* args, TJValue& result);
    void nativeGetFile(TJValueList* args, TJValue& result);
    void nativePost(TJValueList* args, TJValue& result);
    void nativeHead(TJValueList* args, TJValue& result);
    void nativeRequest(TJValueList* args, TJValue& result);
    void nativeResponse(TJValueList* args, TJValue& result);
    void nativeCapture(TJValueList* args, TJValue& result);
    void nativeReadln(TJValueList* args, TJValue& result);
    void nativeRead(TJValueList* args, TJValue& result);
    void nativeWriteln(TJValueList* args, TJValue& result);
    void nativeWrite(TJValueList* args, TJValue& result);
    void nativeConnect(TJValueList* args, TJValue& result);
    void nativeDisconnect(TJValueList* args, TJValue& result);

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

    AnsiString hostProperty() const { return client().Host; }
    void setHostProperty(AnsiString host) { client().Host = host; }
    int32_t portProperty() const { return client().Port; }
    void setPortProperty(int32_t port) { client().Port = checkedPort(port); }

    static const Method<TJTCPSocketObject> MethodRows[];
    const TJMethodTable& Methods() const override;

private:
    void nativeConnect(TJValueList* args, TJValue& result);
    void nativeDisconnect(TJValueList* args, TJValue& result);
    void nativeAbort(TJValueList* args, TJValue& result);
    void nativeRead(TJValueList* args, TJValue& result);
    void nativeReadln(TJValueList* args, TJValue& result);
    void nativeWrite(TJValueList* args, TJValue& result);
    void nativeWriteln(TJValueList* args, TJValue& result);
    void nativeCapture(TJValueList* args, TJValue& result);
    void nativeSendFile(TJValueList* args, TJValue& result);
    void nativeBind(TJValueList* args, TJValue& result);
    void nativeAccept(TJValueList* args, TJValue& result);
    void nativeIsConnected(TJValueList* args, TJValue& result);
};

// ==== Lists handed to scripts ====

// A string-list object holding the lines, or an Array of them while the
// system library that provides string lists is not linked: the list given,
// made here before, refilled, or a new one when nil (entered in the runtime's
// object list when registering; else the caller owns it).
TJObject* FillTextListObject(TJRuntime* runtime, const TStrings& lines, TJObject* list = nullptr,
                             bool registering = true);
