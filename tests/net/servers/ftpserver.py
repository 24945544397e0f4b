#!/usr/bin/python3
"""The FTP test server: pyftpdlib on 127.0.0.1 serving a folder to one user
with every right, plus the command "XMD5 name" that answers the MD5 of a
file, so that scripts can check an upload byte for byte.

    ftpserver.py PORT ROOT USER PASSWORD
"""
import hashlib
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, proto_cmds
from pyftpdlib.servers import FTPServer


class Handler(FTPHandler):
    proto_cmds = dict(proto_cmds, XMD5=dict(perm="r", auth=True, arg=True, help="Syntax: XMD5 <SP> file-name."))

    def ftp_XMD5(self, path):
        try:
            with open(path, "rb") as f:
                self.respond("250 " + hashlib.md5(f.read()).hexdigest())
        except OSError:
            self.respond("550 No such file.")


def main():
    port, root, user, password = sys.argv[1:5]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")
    Handler.authorizer = authorizer
    Handler.passive_ports = range(30000, 30100)
    server = FTPServer(("127.0.0.1", int(port)), Handler)
    server.serve_forever(timeout=1800)


if __name__ == "__main__":
    main()
