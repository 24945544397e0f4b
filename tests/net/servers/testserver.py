#!/usr/bin/python3
"""The network clients' test server, modelled on curl's test servers: a small
HTTP/1.1 server with keep-alive and chunked replies, and a reply recipe per
path for the faults (slow bytes, early closes, malformed status lines, huge
headers, silence, wrong lengths, bad chunks, endless trailers, split line
ends, redirect loops). It listens on plain and TLS ports of 127.0.0.1 at
once, answers every reply in one write unless the recipe splits it, keeps no
state between requests (the script runner runs each script three times), and
exits by itself after --idle seconds without a connection.

    testserver.py --idle SECONDS --plain PORT [--tls PORT:CERT:KEY ...]
"""
import argparse
import os
import socket
import ssl
import sys
import threading
import time

HEAD_LIMIT = 1 << 20
last_activity = time.monotonic()


def reply(status, body=b"", headers=(), version=b"HTTP/1.1", length=True):
    head = version + b" " + status + b"\r\n"
    for name, value in headers:
        head += name + b": " + value + b"\r\n"
    if length:
        head += b"Content-Length: " + str(len(body)).encode() + b"\r\n"
    return head + b"\r\n" + body


def chunked(pieces, status=b"200 OK", sizes=None):
    body = b""
    for i, piece in enumerate(pieces):
        size = sizes[i] if sizes else b"%x" % len(piece)
        body += size + b"\r\n" + piece + b"\r\n"
    return reply(status, body, [(b"Transfer-Encoding", b"chunked")], length=False)


def pause(conn, seconds):
    """Waits, ending early when the client closes."""
    conn.settimeout(seconds)
    try:
        conn.recv(1)
    except (socket.timeout, OSError):
        pass


class Request:
    def __init__(self, raw, method, target, version, headers, body):
        self.raw, self.method, self.target, self.version = raw, method, target, version
        self.headers, self.body = headers, body
        self.path = target.split(b"?")[0]
        self.query = target.split(b"?")[1] if b"?" in target else b""

    def keep_alive(self):
        connection = self.headers.get(b"connection", b"").lower()
        return self.version == b"HTTP/1.1" and connection != b"close"


def read_request(conn, pending):
    while b"\r\n\r\n" not in pending:
        if len(pending) > HEAD_LIMIT:
            return None, b""
        data = conn.recv(65536)
        if not data:
            return None, b""
        pending += data
    head, _, rest = pending.partition(b"\r\n\r\n")
    lines = head.split(b"\r\n")
    parts = lines[0].split(b" ")
    if len(parts) != 3:
        return None, b""
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(b":")
        headers[name.strip().lower()] = value.strip()
    length = int(headers.get(b"content-length", b"0") or 0)
    while len(rest) < length:
        data = conn.recv(65536)
        if not data:
            break
        rest += data
    body, rest = rest[:length], rest[length:]
    raw = head + b"\r\n\r\n" + body
    return Request(raw, parts[0], parts[1], parts[2], headers, body), rest


# ==== Recipes ====
# Each takes the request and the connection and returns the bytes to send in
# one write (None when it wrote itself) and whether the connection may stay.

def page(request, conn):
    cookies = [(b"Set-Cookie", b"session=abc123; Path=/; HttpOnly"),
               (b"Set-Cookie", b"theme=dark=blue; Max-Age=3600; Secure; SameSite=Lax; "
                               b"expires=Sun, 06 Nov 2033 08:49:37 GMT")]
    return reply(b"200 OK", b"<p>hello from the test server</p>", [(b"Content-Type", b"text/html")] + cookies)


def chunked_page(request, conn):
    pieces = [b"Hello, ", b"chunked ", b"world!", b""]
    if request.version == b"HTTP/1.1":
        return chunked(pieces)
    return reply(b"200 OK", b"".join(pieces), version=b"HTTP/1.0")


def small(request, conn):
    return reply(b"200 OK", b"ok")


big_bodies = {}


def big(request, conn):
    size = int(request.query or b"10485760")
    if size not in big_bodies:
        big_bodies[size] = (b"0123456789abcdef" * (size // 16 + 1))[:size]
    return reply(b"200 OK", big_bodies[size])


def status(request, conn):
    code = request.path.split(b"/")[-1]
    texts = {b"404": b"Not Found", b"401": b"Unauthorized", b"500": b"Internal Server Error",
             b"204": b"No Content", b"302": b"Found"}
    return reply(code + b" " + texts.get(code, b"Status"), b"status body " + code)


def redirect(request, conn):
    left = int(request.path.split(b"/")[-1])
    if left == 0:
        return reply(b"200 OK", b"arrived")
    return reply(b"302 Found", b"", [(b"Location", b"%d" % (left - 1))])


def redirect_loop(request, conn):
    return reply(b"302 Found", b"", [(b"Location", b"/loop")])


def redirect_host(request, conn):
    port = conn.getsockname()[1]
    return reply(b"302 Found", b"", [(b"Location", b"http://127.0.0.1:%d/echo" % port)])


def content_location(request, conn):
    return reply(b"200 OK", b"here", [(b"Content-Location", b"/elsewhere")])


def interim(request, conn):
    return b"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </x>\r\n\r\n" + reply(b"200 OK", b"final")


def content_range(request, conn):
    return reply(b"206 Partial Content", b"r" * 100, [(b"Content-Range", b"bytes 100-199/1000")],
                 version=b"HTTP/1.0", length=False)


def echo(request, conn):
    return reply(b"200 OK", request.raw, [(b"Content-Type", b"text/plain")])


def slow(request, conn):
    conn.sendall(reply(b"200 OK", b"", [(b"Content-Length", b"4")], length=False))
    for byte in b"slow":
        time.sleep(0.5)
        conn.sendall(bytes([byte]))
    return None


def close_before_status(request, conn):
    return b""


def close_mid_headers(request, conn):
    return b"HTTP/1.0 200 OK\r\nContent-Ty"


def close_mid_body(request, conn):
    return b"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly part"


def close_mid_chunks(request, conn):
    return reply(b"200 OK", b"5\r\nHello\r\n6\r\n wor", [(b"Transfer-Encoding", b"chunked")], length=False)


def status_icy(request, conn):
    return b"ICY 200 OK\r\nicy-name: radio\r\n\r\nbody"


def status_nocode(request, conn):
    return b"HTTP/1.0 abc Weird\r\n\r\nbody"


def status_codeonly(request, conn):
    return b"HTTP/1.0 299\r\nContent-Length: 4\r\n\r\nbody"


def long_header(request, conn):
    return reply(b"200 OK", b"body", [(b"X-Long", b"y" * (2 << 20))])


def silence(request, conn):
    pause(conn, 8)
    return None


def silence_mid_body(request, conn):
    conn.sendall(reply(b"200 OK", b"abc", [(b"Content-Length", b"10")], length=False))
    pause(conn, 8)
    return None


def length_short(request, conn):
    return reply(b"200 OK", b"12345", [(b"Content-Length", b"10")], length=False)


def length_long(request, conn):
    return reply(b"200 OK", b"abcdefgh", [(b"Content-Length", b"3")], length=False)


def bad_chunk(request, conn):
    return chunked([b"good", b"never"], sizes=[b"4", b"zz"])


def trailer_flood(request, conn):
    """A chunked body whose trailer section runs on for 2 MiB."""
    trailer = (b"X-Trailer: " + b"y" * 1000 + b"\r\n") * 2048
    return reply(b"200 OK", b"2\r\nok\r\n0\r\n" + trailer + b"\r\n", [(b"Transfer-Encoding", b"chunked")],
                 length=False)


def split_line_ends(request, conn):
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    for part in [b"HTTP/1.0 200 OK\r", b"\nContent-Length: 5\r", b"\n\r", b"\nsplit"]:
        conn.sendall(part)
        time.sleep(0.05)
    return None


def lines(request, conn):
    return reply(b"200 OK", b"one\r\ntwo\nthree\rfour\r\n\r\nlast")


RECIPES = {
    b"/page": page, b"/chunked": chunked_page, b"/small": small, b"/big": big, b"/echo": echo,
    b"/loop": redirect_loop, b"/redirect-host": redirect_host, b"/content-location": content_location,
    b"/interim": interim, b"/range": content_range, b"/slow": slow,
    b"/close-before-status": close_before_status, b"/close-mid-headers": close_mid_headers,
    b"/close-mid-body": close_mid_body, b"/close-mid-chunks": close_mid_chunks,
    b"/status-icy": status_icy, b"/status-nocode": status_nocode, b"/status-codeonly": status_codeonly,
    b"/long-header": long_header, b"/silence": silence, b"/silence-mid-body": silence_mid_body,
    b"/length-short": length_short, b"/length-long": length_long, b"/bad-chunk": bad_chunk,
    b"/split-line-ends": split_line_ends, b"/lines": lines, b"/trailer-flood": trailer_flood,
}


# The well-formed replies; every fault closes its connection.
KEEP_ALIVE = {page, chunked_page, small, big, echo, status, redirect}


def route(request):
    # A fake proxy: a request for an absolute URL is echoed.
    if request.target.startswith(b"http://"):
        return echo
    if request.path.startswith(b"/status/"):
        return status
    if request.path.startswith(b"/redirect/"):
        return redirect
    return RECIPES.get(request.path)


def serve(conn):
    global last_activity
    pending = b""
    try:
        while True:
            request, pending = read_request(conn, pending)
            last_activity = time.monotonic()
            if request is None:
                return
            recipe = route(request)
            if recipe is None:
                conn.sendall(reply(b"404 Not Found", b"no such recipe"))
                continue
            data = recipe(request, conn)
            if data is None:
                return
            conn.sendall(data)
            if not (request.keep_alive() and recipe in KEEP_ALIVE):
                return
    except (OSError, ssl.SSLError, ValueError):
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def listen(port, context):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(64)
    server.settimeout(1)

    def accept_loop():
        global last_activity
        while True:
            try:
                conn, _ = server.accept()
            except socket.timeout:
                continue
            last_activity = time.monotonic()
            conn.settimeout(30)
            if context:
                try:
                    conn = context.wrap_socket(conn, server_side=True)
                except (OSError, ssl.SSLError):
                    conn.close()
                    continue
            threading.Thread(target=serve, args=(conn,), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()


def listen_full(port):
    """A listener whose queue its own connections fill and that never accepts:
    the kernel drops further connection requests, so a connect waits."""
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", port))
    server.listen(0)
    for _ in range(3):
        client = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        client.setblocking(False)
        client.connect_ex(("127.0.0.1", port))
        full_queue.append(client)
    full_queue.append(server)


full_queue = []


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--idle", type=float, default=300)
    parser.add_argument("--plain", type=int, action="append", default=[])
    parser.add_argument("--tls", action="append", default=[])
    parser.add_argument("--full", type=int, action="append", default=[])
    args = parser.parse_args()
    for port in args.full:
        listen_full(port)
    for port in args.plain:
        listen(port, None)
    for tls in args.tls:
        port, cert, key = tls.split(":", 2)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        listen(int(port), context)
    print("listening", flush=True)
    while time.monotonic() - last_activity < args.idle:
        time.sleep(1)
    os._exit(0)


if __name__ == "__main__":
    sys.exit(main())
