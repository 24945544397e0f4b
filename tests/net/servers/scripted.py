#!/usr/bin/python3
"""Scripted FTP, POP3 and SMTP servers for the faults real servers do not
make, and the POP3 server of the mail round trip. Each port plays one
greeting; after it, the user name (FTP, POP3) or the sender (SMTP) picks the
recipe. No state is kept between connections except the mail folder.

    scripted.py --idle SECONDS MAILDIR

FTP   18121 greeting slower than any time-out; 18122 "421" greeting;
      18123 multi-line greeting, then users:
        pasv-bare   PASV without parentheses (works)
        pasv-five   PASV with five numbers
        elsewhere   PASV naming another address (127.0.0.2)
        cut         RETR cut with 426 after some bytes
        norest      REST refused, RETR sends the whole file
        dos         LIST of DOS and IIS lines with "." and ".." (a CWD reply
                    names no directory; "docs" holds one file)
        many        LIST of 10,000 lines
        split       LIST of two lines, the CR and LF between them in two writes
        silent      active mode: the server never connects
        refuse      RETR refused with 550
        unfinished  RETR sends the file, then "150" again instead of "226"
        flood       a reply to USER of 2 MiB of continuation lines
        deep        every directory holds "d" and "f.txt", without end
        loop        the same, but every CWD reply names "/"
        every       "LIST name" always lists the name
POP3  18110 the mail folder: users "user" (the folder's messages, DELE
      removes the file at QUIT) and the recipes
        stuffed     lines that begin with "." and a ".." line
        split       "+OK\\r" and "\\n" in separate writes
        early       the connection closes before the "."
        evil        an attachment named "..\\evil.txt", also for TOP
        nul         an attachment whose name holds a NUL byte
        garbage     a reply to PASS without "+OK"
      18111 "-ERR" greeting
SMTP  18126 "554" greeting; 18127 multi-line greeting, then senders
        rcpt@refused  RCPT refused
        data@refused  554 after the data
        close@early   the connection closes after 354
        flood@reply   a reply to MAIL of 2 MiB of continuation lines
      any other sender is accepted and the message dropped.
"""
import argparse
import os
import socket
import threading
import time

FILE = bytes(range(256)) * 64
last_activity = time.monotonic()


class Conn:
    def __init__(self, sock):
        self.sock = sock
        self.file = sock.makefile("rb")

    def send(self, text):
        self.sock.sendall(text if isinstance(text, bytes) else text.encode("latin-1"))

    def line(self, text):
        self.send(text + "\r\n")

    def read(self):
        data = self.file.readline()
        if not data:
            raise EOFError
        return data.rstrip(b"\r\n").decode("latin-1")


# ==== FTP ====

DOS_LISTING = [
    "01-05-24  10:30AM       <DIR>          docs",
    "01-05-24  10:31AM                 1,234 read me.txt",
    "12-31-99  11:59PM                    10 old.txt",
    "01-05-24  10:30AM       <DIR>          .",
    "01-05-24  10:30AM       <DIR>          ..",
]


def ftp_data(conn, mode, payload_fn):
    """Opens the data connection of the mode and sends what payload_fn gives."""
    kind, target = mode
    if kind == "pasv":
        data, _ = target.accept()
        target.close()
    else:
        data = socket.create_connection(target)
    try:
        payload_fn(data)
    finally:
        data.close()


def split_sender(data, at):
    """Sends the bytes before at and the rest in two segments."""
    def send(sock):
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        sock.sendall(data[:at])
        time.sleep(0.2)
        sock.sendall(data[at:])
    return send


def ftp_session(conn, greeting):
    for text in greeting:
        conn.line(text)
    user, mode, cwd = "", None, "/"
    while True:
        command = conn.read()
        verb, _, arg = command.partition(" ")
        verb = verb.upper()
        if verb == "USER":
            user = arg
            if user == "flood":
                conn.send(("331-" + "x" * 1000 + "\r\n") * 2048)
            conn.line("331 Password required.")
        elif verb == "PASS":
            conn.line("230 Logged in.")
        elif verb == "TYPE":
            conn.line("200 Type set.")
        elif verb == "PWD":
            conn.line('257 "%s" is the current directory.' % cwd)
        elif verb == "CWD":
            cwd = arg if arg.startswith("/") else cwd.rstrip("/") + "/" + arg
            conn.line('250 "/" is the current directory.' if user == "loop" else "250 OK.")
        elif verb == "PASV":
            listener = socket.socket()
            listener.bind(("127.0.0.1", 0))
            listener.listen(1)
            port = listener.getsockname()[1]
            numbers = "127,0,0,1,%d,%d" % (port // 256, port % 256)
            if user == "pasv-bare":
                conn.line("227 Entering Passive Mode " + numbers)
            elif user == "pasv-five":
                conn.line("227 Entering Passive Mode (127,0,1,%d,%d)" % (port // 256, port % 256))
            elif user == "elsewhere":
                conn.line("227 Entering Passive Mode (127,0,0,2,%d,%d)" % (port // 256, port % 256))
            else:
                conn.line("227 Entering Passive Mode (%s)" % numbers)
            mode = ("pasv", listener)
        elif verb == "PORT":
            parts = [int(p) for p in arg.split(",")]
            mode = ("port", ("127.0.0.1", parts[4] * 256 + parts[5]))
            conn.line("200 PORT command successful.")
        elif verb == "REST":
            if user == "norest":
                conn.line("502 REST not implemented.")
            else:
                conn.line("350 Restarting.")
        elif verb == "RETR":
            if user == "silent":
                conn.line("150 Opening data connection.")
                conn.read()  # waits for the client to give up
                return
            if user == "refuse":
                conn.line("550 No such file.")
                continue
            conn.line("150 Opening data connection.")
            if user == "cut":
                ftp_data(conn, mode, lambda d: d.sendall(FILE[:1000]))
                conn.line("426 Connection closed; transfer aborted.")
            elif user == "unfinished":
                ftp_data(conn, mode, lambda d: d.sendall(FILE))
                conn.line("150 More to come.")
            else:
                ftp_data(conn, mode, lambda d: d.sendall(FILE))
                conn.line("226 Transfer complete.")
        elif verb in ("LIST", "NLST"):
            if user == "dos":
                lines = DOS_LISTING if cwd == "/" else DOS_LISTING[3:] + ["01-05-24  10:30AM  1 inner.txt"]
            elif user in ("deep", "loop"):
                lines = ["drwxr-xr-x 1 u g 0 Jan 5 2020 d", "-rw-r--r-- 1 u g 1 Jan 5 2020 f.txt"]
            elif user == "every" and arg:
                lines = ["-rw-r--r-- 1 u g 3 Jan 5 2020 " + arg]
            elif user == "split":
                lines = ["-rw-r--r-- 1 u g 3 Jan 5 2020 a.txt", "-rw-r--r-- 1 u g 3 Jan 5 2020 b.txt"]
            elif user == "many":
                lines = ["-rw-r--r-- 1 u g %d Jan 5 2020 f%05d.txt" % (i, i) for i in range(10000)]
            else:
                lines = ["-rw-r--r-- 1 u g 3 Jan 5 2020 a.txt"]
            conn.line("150 Here comes the listing.")
            body = "".join(line + "\r\n" for line in lines).encode("latin-1")
            if user == "split":
                ftp_data(conn, mode, split_sender(body, body.index(b"\n")))
            else:
                ftp_data(conn, mode, lambda d: d.sendall(body))
            conn.line("226 Transfer complete.")
        elif verb == "QUIT":
            conn.line("221 Goodbye.")
            return
        else:
            conn.line("502 Not implemented.")


# ==== POP3 ====

def recipe_message(user):
    if user == "stuffed":
        return b"Subject: dots\r\n\r\n..hidden\r\n...\r\n..\r\nend\r\n"
    if user == "evil":
        return (b'Content-Type: multipart/mixed; boundary="b"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nhi\r\n'
                b'--b\r\nContent-Type: application/octet-stream; name="..\\evil.txt"\r\n'
                b"Content-Transfer-Encoding: base64\r\n\r\nZXZpbA==\r\n--b--\r\n")
    if user == "nul":
        return (b'Content-Type: multipart/mixed; boundary="b"\r\n\r\n--b\r\n'
                b'Content-Type: application/octet-stream; name="part\0cut.txt"\r\n'
                b"Content-Transfer-Encoding: base64\r\n\r\nbnVs\r\n--b--\r\n")
    return b"Subject: recipe\r\n\r\nbody\r\n"


def stuff(message):
    out = b""
    for line in message.split(b"\r\n")[:-1]:
        out += (b"." + line if line.startswith(b".") else line) + b"\r\n"
    return out


def maildir_files(maildir):
    files = []
    for sub in ("new", "cur"):
        folder = os.path.join(maildir, sub)
        if os.path.isdir(folder):
            files += [os.path.join(folder, name) for name in os.listdir(folder)]
    return sorted(files, key=os.path.getmtime)


def pop3_session(conn, maildir):
    conn.line("+OK POP3 ready")
    user, deleted = "", set()
    while True:
        command = conn.read()
        verb, _, arg = command.partition(" ")
        verb = verb.upper()
        files = maildir_files(maildir) if user == "user" else []
        if verb == "USER":
            user = arg
            conn.line("+OK")
        elif verb == "PASS":
            conn.line("maybe" if user == "garbage" else "+OK logged in")
        elif verb == "STAT":
            count = len(files) if user == "user" else 1
            conn.line("+OK %d 100" % count)
        elif verb in ("RETR", "TOP"):
            number = int(arg.split()[0])
            if user == "user":
                if not 1 <= number <= len(files):
                    conn.line("-ERR no such message")
                    continue
                with open(files[number - 1], "rb") as f:
                    message = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
                if verb == "TOP":
                    head, _, body = message.partition(b"\r\n\r\n")
                    message = head + b"\r\n\r\n" + b"".join(body.split(b"\r\n", 1)[:1]) + b"\r\n"
            else:
                message = recipe_message(user)
            if user == "split":
                conn.send(b"+OK\r")
                time.sleep(0.2)
                conn.send(b"\n")
            else:
                conn.line("+OK message follows")
            if user == "early":
                conn.send(stuff(message)[:10])
                return
            conn.send(stuff(message) + b".\r\n")
        elif verb == "DELE":
            deleted.add(int(arg))
            conn.line("+OK deleted")
        elif verb == "QUIT":
            for number in deleted:
                if 1 <= number <= len(files):
                    os.remove(files[number - 1])
            conn.line("+OK bye")
            return
        else:
            conn.line("-ERR unknown command")


# ==== SMTP ====

def smtp_session(conn):
    conn.line("220-first line")
    conn.line("220 ready")
    sender = ""
    while True:
        command = conn.read()
        verb = command[:4].upper()
        if verb == "HELO":
            conn.line("250 hello")
        elif verb == "MAIL":
            sender = command[10:].strip("<>")
            if sender == "flood@reply":
                conn.send(("250-" + "x" * 1000 + "\r\n") * 2048)
            conn.line("250 ok")
        elif verb == "RCPT":
            conn.line("550 no such user" if sender == "rcpt@refused" else "250 ok")
        elif verb == "DATA":
            conn.line("354 go ahead")
            if sender == "close@early":
                return
            while conn.read() != ".":
                pass
            conn.line("554 rejected" if sender == "data@refused" else "250 queued")
        elif verb == "QUIT":
            conn.line("221 bye")
            return
        else:
            conn.line("502 not implemented")


# ==== Ports ====

def serve(port, handler):
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(16)

    def run(sock):
        global last_activity
        last_activity = time.monotonic()
        # A reply right after another (226 after 150) must not wait for the
        # client's delayed acknowledgement.
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        conn = Conn(sock)
        try:
            handler(conn)
        except (EOFError, OSError, ValueError, IndexError):
            pass
        finally:
            sock.close()

    def loop():
        while True:
            sock, _ = listener.accept()
            threading.Thread(target=run, args=(sock,), daemon=True).start()

    threading.Thread(target=loop, daemon=True).start()


def slow_greeting(conn):
    time.sleep(30)
    conn.line("220 too late")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--idle", type=int, default=1800)
    parser.add_argument("maildir")
    options = parser.parse_args()
    serve(18121, slow_greeting)
    serve(18122, lambda c: c.line("421 Too many users."))
    serve(18123, lambda c: ftp_session(c, ["220-Welcome", "220-to the", "220 test server"]))
    serve(18110, lambda c: pop3_session(c, options.maildir))
    serve(18111, lambda c: c.line("-ERR go away"))
    serve(18126, lambda c: c.line("554 no service"))
    serve(18127, smtp_session)
    while time.monotonic() - last_activity < options.idle:
        time.sleep(1)


if __name__ == "__main__":
    main()
