"""Local HTTP(S) server for the update tests.

Usage: http_test_server.py ROOT [CERT KEY]
Binds 127.0.0.1 on a free port, prints the port on one line and serves:
  /files/NAME            ROOT/NAME with Content-Length
  /nolength/NAME         ROOT/NAME without Content-Length, ended by closing
  /status/CODE/TEXT      status CODE with body TEXT
  /redirect/REST         302 to /REST (the 302 carries a body of its own)
  /loop                  302 to /loop, forever
  /stall/NAME            ROOT/NAME: two 10240-byte chunks, then silence until
                         ROOT/NAME.release exists or 30 s pass, then the rest
Every request is appended to ROOT/requests.log as one line: the path, a tab,
and its headers as "Name: value" separated by the unit separator (0x1F).
"""
import http.server
import os
import ssl
import sys
import time

ROOT = sys.argv[1]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def record(self):
        with open(os.path.join(ROOT, "requests.log"), "a") as log:
            headers = "\x1f".join("%s: %s" % item for item in self.headers.items())
            log.write(self.path + "\t" + headers + "\n")

    def send_body(self, code, body, length=True, extra=()):
        self.send_response(code)
        for name, value in extra:
            self.send_header(name, value)
        if length:
            self.send_header("Content-Length", str(len(body)))
        else:
            self.send_header("Connection", "close")
            self.close_connection = True
        self.end_headers()
        self.wfile.write(body)

    def read_file(self, name):
        path = os.path.join(ROOT, name)
        if not os.path.isfile(path):
            return None
        with open(path, "rb") as f:
            return f.read()

    def do_GET(self):
        self.record()
        parts = [p for p in self.path.split("/") if p]
        kind = parts[0] if parts else ""
        name = "/".join(parts[1:])
        if kind in ("files", "nolength", "stall"):
            body = self.read_file(name)
            if body is None:
                self.send_body(404, b"Not Found")
            elif kind == "files":
                self.send_body(200, body)
            elif kind == "nolength":
                self.send_body(200, body, length=False)
            else:
                self.stall(name, body)
        elif kind == "status":
            self.send_body(int(parts[1]), "/".join(parts[2:]).encode())
        elif kind == "redirect":
            self.send_body(302, b"moved elsewhere", extra=[("Location", "/" + name)])
        elif kind == "loop":
            self.send_body(302, b"", extra=[("Location", "/loop")])
        else:
            self.send_body(404, b"Not Found")

    def stall(self, name, body):
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[:20480])
        self.wfile.flush()
        release = os.path.join(ROOT, name + ".release")
        deadline = time.time() + 30
        while not os.path.exists(release) and time.time() < deadline:
            time.sleep(0.02)
        try:
            self.wfile.write(body[20480:])
        except OSError:
            pass


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # Clients that stop a transfer reset the connection; that is expected.
        pass


def main():
    server = Server(("127.0.0.1", 0), Handler)
    if len(sys.argv) == 4:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(sys.argv[2], sys.argv[3])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
