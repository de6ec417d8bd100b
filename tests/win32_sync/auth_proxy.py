"""A reverse proxy on loopback that lets a request through to a server with
no authentication of its own only with the right user and password.

Usage: auth_proxy.py PORT UPSTREAM_PORT USER PASSWORD [basic|digest|reset]

basic: HTTP Basic. digest: Digest only (SHA-256 and MD5 offered, qop=auth),
so that a client that cannot answer it gets no further than 401. reset:
Basic, but a request without an Authorization header is answered by
resetting the connection before its body is read, as a server that closes
after its 401 looks to the client.
Before asking for the password it moves /moved-here/X to /X (308) and
/moved-away/X to the same server under another origin, localhost (307).
"""
import base64
import hashlib
import http.client
import http.server
import os
import socket
import struct
import sys

PORT, UPSTREAM, USER, PASSWORD = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
SCHEME = sys.argv[5] if len(sys.argv) > 5 else "basic"
REALM = "orv-test"
NONCE = base64.b64encode(os.urandom(24)).decode()
HASHES = {"MD5": hashlib.md5, "SHA-256": hashlib.sha256}
HOP = {"connection", "keep-alive", "transfer-encoding", "te", "upgrade", "authorization"}


def digest_params(text):
    params, rest = {}, text.strip()
    while rest:
        name, _, rest = rest.partition("=")
        rest = rest.lstrip()
        if rest.startswith('"'):
            end = rest.index('"', 1)
            value, rest = rest[1:end], rest[end + 1:]
        else:
            value, _, rest = rest.partition(",")
            rest = "," + rest
        params[name.strip().lower()] = value.strip()
        rest = rest.lstrip().lstrip(",").lstrip()
    return params


def digest_ok(method, text):
    try:
        p = digest_params(text)
        h = HASHES[p.get("algorithm", "MD5").upper()]
        hx = lambda s: h(s.encode()).hexdigest()
        if p["username"] != USER or p["realm"] != REALM or p["nonce"] != NONCE or p.get("qop") != "auth":
            return False
        ha1 = hx(f"{USER}:{REALM}:{PASSWORD}")
        ha2 = hx(f"{method}:{p['uri']}")
        return p["response"] == hx(f"{ha1}:{NONCE}:{p['nc']}:{p['cnonce']}:auth:{ha2}")
    except (KeyError, ValueError):
        return False


class Proxy(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def authorized(self):
        given = self.headers.get("Authorization", "")
        kind, _, value = given.partition(" ")
        if SCHEME == "digest":
            return kind.lower() == "digest" and digest_ok(self.command, value)
        expected = base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
        return kind.lower() == "basic" and value.strip() == expected

    def handle_one_request(self):
        self.raw_requestline = self.rfile.readline(65537)
        if not self.raw_requestline or not self.parse_request():
            self.close_connection = True
            return
        if SCHEME == "reset" and "Authorization" not in self.headers:
            # Linger 0: the close sends RST, not FIN.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.connection.close()
            self.close_connection = True
            return
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        for prefix, target in (("/moved-here/", "/"), ("/moved-away/", f"http://localhost:{PORT}/")):
            if self.path.startswith(prefix):
                self.send_response(308 if target == "/" else 307)
                self.send_header("Location", target + self.path[len(prefix):])
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
        if not self.authorized():
            self.send_response(401)
            if SCHEME == "digest":
                for algorithm in ("SHA-256", "MD5"):
                    self.send_header("WWW-Authenticate",
                                     f'Digest realm="{REALM}", qop="auth", algorithm={algorithm}, nonce="{NONCE}"')
            else:
                self.send_header("WWW-Authenticate", f'Basic realm="{REALM}"')
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        upstream = http.client.HTTPConnection("127.0.0.1", UPSTREAM, timeout=30)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in HOP}
        upstream.request(self.command, self.path, body=body, headers=headers)
        answer = upstream.getresponse()
        data = answer.read()
        self.send_response(answer.status, answer.reason)
        for k, v in answer.getheaders():
            if k.lower() not in HOP and k.lower() != "content-length":
                self.send_header(k, v)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)
        upstream.close()

    def log_message(self, *args):
        pass


http.server.ThreadingHTTPServer(("127.0.0.1", PORT), Proxy).serve_forever()
