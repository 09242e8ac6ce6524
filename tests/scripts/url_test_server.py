#!/usr/bin/python3
"""Servers on 127.0.0.1 for the download tests.

    url_test_server.py http  ROOT          files of ROOT, plus /redirect?to=ADDRESS and /slow
    url_test_server.py https ROOT CERTDIR  the same over TLS, with a self-signed certificate
                                           for 127.0.0.1 made into CERTDIR/cert.pem
    url_test_server.py ftp   ROOT          anonymous FTP of ROOT

Binds port 0 and prints "PORT n" once listening; runs until killed.
Exits with 77 when a module the mode needs is missing.
"""
import functools
import http.server
import logging
import os
import ssl
import subprocess
import sys
import time
import urllib.parse


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        path = urllib.parse.urlsplit(self.path)
        if path.path == "/redirect":
            target = urllib.parse.parse_qs(path.query).get("to", [""])[0]
            self.send_response(302)
            self.send_header("Location", target)
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif path.path == "/slow":
            # A large body in small pieces: time for the client to cancel.
            self.send_response(200)
            self.send_header("Content-Length", str(64 * 1024 * 1024))
            self.end_headers()
            try:
                for _ in range(64 * 1024):
                    self.wfile.write(b"\0" * 1024)
                    self.wfile.flush()
                    time.sleep(0.02)
            except (BrokenPipeError, ConnectionResetError):
                pass
        else:
            super().do_GET()


def announce(port):
    print("PORT %d" % port, flush=True)


def serve_http(root, context=None):
    handler = functools.partial(Handler, directory=root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    server.daemon_threads = True
    if context:
        server.socket = context.wrap_socket(server.socket, server_side=True)
    announce(server.server_address[1])
    server.serve_forever()


def serve_https(root, certdir):
    cert = os.path.join(certdir, "cert.pem")
    key = os.path.join(certdir, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-keyout", key, "-out", cert, "-subj", "/CN=127.0.0.1",
                    "-addext", "subjectAltName=IP:127.0.0.1"],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    serve_http(root, context)


def serve_ftp(root):
    try:
        from pyftpdlib.authorizers import DummyAuthorizer
        from pyftpdlib.handlers import FTPHandler
        from pyftpdlib.servers import FTPServer
    except ImportError:
        sys.exit(77)
    logging.basicConfig(level=logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_anonymous(root)
    handler = FTPHandler
    handler.authorizer = authorizer
    server = FTPServer(("127.0.0.1", 0), handler)
    announce(server.socket.getsockname()[1])
    server.serve_forever()


def main():
    mode, root = sys.argv[1], sys.argv[2]
    if mode == "http":
        serve_http(root)
    elif mode == "https":
        serve_https(root, sys.argv[3])
    elif mode == "ftp":
        serve_ftp(root)
    else:
        sys.exit("unknown mode " + mode)


if __name__ == "__main__":
    main()
