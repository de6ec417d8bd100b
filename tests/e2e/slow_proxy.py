#!/usr/bin/python3
"""Passes every request on to a server, holding each PUT back a while, so
that a test can stop the program in the middle of a sync.

usage: slow_proxy.py LISTEN_PORT TARGET_PORT PUT_DELAY_SECONDS
"""
import http.client
import http.server
import sys
import time

listen_port, target_port, delay = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])


class Proxy(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def forward(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        if self.command == "PUT":
            time.sleep(delay)
        upstream = http.client.HTTPConnection("127.0.0.1", target_port, timeout=30)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in ("host", "connection")}
        upstream.request(self.command, self.path, body, headers)
        answer = upstream.getresponse()
        data = answer.read()
        self.send_response(answer.status, answer.reason)
        for k, v in answer.getheaders():
            if k.lower() not in ("transfer-encoding", "connection", "content-length"):
                self.send_header(k, v)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)
        upstream.close()

    do_GET = do_PUT = do_DELETE = do_PROPFIND = do_REPORT = do_OPTIONS = do_HEAD = do_MKCALENDAR = forward

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", listen_port), Proxy).serve_forever()
