#!/usr/bin/env python3
"""A local HTTP server on 127.0.0.1 that answers every GET with the fixture
file gzip-encoded (Content-Encoding: gzip; Content-Length is that of the
encoded body, as compressing servers send it). Prints its port on the first
line of stdout and stops by itself after --lifetime seconds."""
import argparse
import gzip
import http.server
import sys
import threading
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--lifetime", type=float, default=120.0)
    args = parser.parse_args()
    encoded = gzip.compress(open(args.fixture, "rb").read())

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            self.send_response(200)
            self.send_header("Content-Type", "text/xml")
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(len(encoded)))
            self.end_headers()
            self.wfile.write(encoded)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    time.sleep(args.lifetime)
    server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
