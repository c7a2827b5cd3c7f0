#!/usr/bin/env python3
"""A loopback HTTP/1.1 server for the downloader tests.

Binds 127.0.0.1 on a free port and prints the port on its first line. Each
path chooses a behaviour; N is a size in bytes, and every file body is the
same pattern (byte i = (i * 7 + 3) % 251), so the tests know what a whole
file is. Exits after LIFETIME seconds (argument 1, default 120) or as soon
as its standard input closes, so it never outlives the test that started it.

  /file/N            the file, with Range support (206, or 416 "bytes */N")
  /norange/N         the file, Range ignored (always a 200)
  /short/N           Content-Length N, then 40% of the bytes and a close
  /stall/N           Content-Length N, the first 1000 bytes, then nothing
  /redirect/N        302 to /file/N
  /loop/K            302 to /loop/K+1, for ever
  /to_file           302 to file:///etc/hostname
  /http10/N          the file, from an "HTTP/1.0" status line
  /chunked/N         the file, chunked
  /text/S            S as a text reply with Content-Length
  /update/V/...      V as the update check's reply
  /util/NAME         the file NAME of the folder LOOPBACK_FILES, read at
                     each request (a missing one is a 404); the file named
                     by LOOPBACK_STALL stalls after its first 1000 bytes; a file
                     NAME.redirect beside it makes NAME a 302 to the
                     location it holds
  /downloads.php?... the same for "QorVantor_update.zip"
  anything else      404 with a page

With LOOPBACK_TLS_CERT (a PEM file holding a certificate and its key) it
speaks https instead.
"""
import os
import re
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def pattern(n):
    return bytes((i * 7 + 3) % 251 for i in range(n))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def redirect(self, location):
        self.reply(302, b"moved", [("Location", location)])

    def cut_short(self, length, sent, stall):
        # Content-Length `length`, then only `sent`, then (a stall) nothing
        # for 30 s, then a close.
        self.send_response(200)
        self.send_header("Content-Length", str(length))
        self.end_headers()
        self.wfile.write(sent)
        self.wfile.flush()
        if stall:
            time.sleep(30)
        self.close_connection = True

    def file(self, n, body=None):
        body = pattern(n) if body is None else body
        m = re.fullmatch(r"bytes=(\d+)-(\d*)", self.headers.get("Range", ""))
        if not m:
            return self.reply(200, body)
        first = int(m.group(1))
        last = min(int(m.group(2)), n - 1) if m.group(2) else n - 1
        if first >= n or first > last:
            return self.reply(416, b"range not satisfiable", [("Content-Range", f"bytes */{n}")])
        self.reply(206, body[first:last + 1], [("Content-Range", f"bytes {first}-{last}/{n}")])

    def served(self, name):
        path = os.path.join(os.environ.get("LOOPBACK_FILES", "/nonexistent"), name)
        if "/" not in name and os.path.isfile(path + ".redirect"):
            with open(path + ".redirect") as f:
                return self.redirect(f.read().strip())
        if "/" in name or not os.path.isfile(path):
            return self.reply(404, b"<html>not found</html>")
        with open(path, "rb") as f:
            body = f.read()
        if name == os.environ.get("LOOPBACK_STALL"):
            return self.cut_short(len(body), body[:1000], True)
        self.file(len(body), body)

    def do_GET(self):
        if self.path.startswith("/downloads.php?"):
            return self.served("QorVantor_update.zip")
        if self.path.startswith("/util/"):
            return self.served(self.path[len("/util/"):])
        kind, arg = (self.path.strip("/").split("/") + [""])[:2]
        n = int(arg) if arg.isdigit() else 0
        if kind == "file":
            self.file(n)
        elif kind == "norange":
            self.reply(200, pattern(n))
        elif kind in ("short", "stall"):
            self.cut_short(n, pattern(n)[: n * 4 // 10 if kind == "short" else 1000], kind == "stall")
        elif kind in ("redirect", "loop", "to_file"):
            self.redirect({"redirect": f"/file/{n}", "loop": f"/loop/{n + 1}", "to_file": "file:///etc/hostname"}[kind])
        elif kind == "http10":
            self.protocol_version = "HTTP/1.0"
            self.close_connection = True
            self.reply(200, pattern(n))
        elif kind == "chunked":
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            body = pattern(n)
            for at in range(0, n, 4096):
                chunk = body[at:at + 4096]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(chunk), chunk))
            self.wfile.write(b"0\r\n\r\n")
        elif kind in ("text", "update"):
            self.reply(200, arg.encode())
        else:
            self.reply(404, b"<html>not found</html>")


class Server(ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients that hang up on a stall or a refused reply


def main():
    lifetime = float(sys.argv[1]) if len(sys.argv) > 1 else 120.0
    server = Server(("127.0.0.1", 0), Handler)
    if os.environ.get("LOOPBACK_TLS_CERT"):  # https with that (self-signed) certificate and key
        import ssl
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.environ["LOOPBACK_TLS_CERT"])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    threading.Thread(target=lambda: (sys.stdin.read(), os._exit(0)), daemon=True).start()
    threading.Thread(target=lambda: (time.sleep(lifetime), os._exit(0)), daemon=True).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
