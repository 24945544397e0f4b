# A small HTTP server on 127.0.0.1 for the guide's examples and the feed
# reader's check: GET serves the files of FOLDER, POST answers with the body it
# received. Started and stopped by id by tests/docs/servers.sh and
# tests/widgets/feeds.sh; it also ends by itself after an hour.
import http.server
import sys
import threading

port, folder = int(sys.argv[1]), sys.argv[2]


class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=folder, **kwargs)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        body = b"received: " + self.rfile.read(length)
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
threading.Timer(3600, server.shutdown).start()
server.serve_forever()
