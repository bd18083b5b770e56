#!/usr/bin/env python3
"""A local HTTP server for the downloader's tests, bound to 127.0.0.1.

Paths:
  /weather.xml     a good answer (the bytes of the fixture file given)
  /missing.xml     404
  /cut.xml         promises more bytes than it sends, then closes
  /silent.xml      accepts and never answers (until the server stops)
  /sed_api_weather_info.php?...
                   the weather fixture with "@TODAY@" replaced by today's
                   date (YYYY-MM-DD); never answers with --silent-weather
Routes (--routes FILE), looked at before the paths above; one per line,
"#" starts a comment:
  PATH STATUS BEHAVIOURS FIXTURE
  PATH        the request path without its query; a trailing "*" matches
              every path that starts with the rest
  STATUS      the HTTP status
  BEHAVIOURS  comma-separated: plain (none of the others), raw (the fixture's
              bytes as they are; otherwise its UTF-8 text is sent in code
              page 936), cut (promises twice the body, sends half, closes),
              silent (never answers), slow (answers after --slow seconds),
              binary (4096 bytes 1..255, no NUL), huge (--huge-mib MiB)
  FIXTURE     a file in --fixture-dir (default: the routes file's folder),
              or "-" for an empty body; "{PORT}" in it becomes the port
Every requested path is appended to the log file (and, with --request-log,
every full request line to that file). The server prints its port on the
first line of stdout and stops by itself after --lifetime seconds.
"""
import argparse
import http.server
import os
import socketserver
import sys
import threading
import time


def load_routes(args):
    """[(path, status, behaviours, fixture)] from --routes, in file order."""
    if not args.routes:
        return []
    if not args.fixture_dir:
        args.fixture_dir = os.path.dirname(os.path.abspath(args.routes))
    routes = []
    for line in open(args.routes, encoding="utf-8"):
        fields = line.split("#", 1)[0].split()
        if not fields:
            continue
        path, status, behaviours, fixture = fields
        routes.append((path, int(status), set(behaviours.split(",")), fixture))
    return routes


def find_route(routes, request_path):
    path = request_path.split("?", 1)[0]
    for pattern, status, behaviours, fixture in routes:
        if pattern == path or (pattern.endswith("*") and path.startswith(pattern[:-1])):
            return status, behaviours, fixture
    return None


def fixture_body(args, fixture, raw, port):
    if fixture == "-":
        return b""
    data = open(os.path.join(args.fixture_dir, fixture), "rb").read()
    if raw:
        return data.replace(b"{PORT}", str(port).encode())
    return data.decode("utf-8").replace("{PORT}", str(port)).encode("cp936")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture")
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--weather")
    parser.add_argument("--silent-weather", action="store_true")
    parser.add_argument("--routes")
    parser.add_argument("--fixture-dir")
    parser.add_argument("--request-log")
    parser.add_argument("--slow", type=float, default=3.0)
    parser.add_argument("--huge-mib", type=int, default=64)
    args = parser.parse_args()
    body = open(args.fixture, "rb").read() if args.fixture else b""
    stop = threading.Event()
    routes = load_routes(args)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            with open(args.log, "a") as log:
                log.write(self.path + "\n")
            if args.request_log:
                with open(args.request_log, "a") as log:
                    log.write(self.requestline + "\n")
            route = find_route(routes, self.path)
            if route:
                self.answer_route(route)
            elif self.path.startswith("/sed_api_weather_info.php") and args.weather:
                if args.silent_weather:
                    stop.wait(args.lifetime)
                    self.close_connection = True
                    return
                today = time.strftime("%Y-%m-%d").encode()
                answer = open(args.weather, "rb").read().replace(b"@TODAY@", today)
                self.send_response(200)
                self.send_header("Content-Type", "text/xml")
                self.send_header("Content-Length", str(len(answer)))
                self.end_headers()
                self.wfile.write(answer)
            elif self.path == "/weather.xml":
                self.send_response(200)
                self.send_header("Content-Type", "text/xml")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
            elif self.path == "/cut.xml":
                self.send_response(200)
                self.send_header("Content-Type", "text/xml")
                self.send_header("Content-Length", str(len(body) * 10))
                self.end_headers()
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                self.close_connection = True
            elif self.path == "/silent.xml":
                stop.wait(args.lifetime)
                self.close_connection = True
            else:
                self.send_error(404)

        def answer_route(self, route):
            status, behaviours, fixture = route
            if "silent" in behaviours:
                stop.wait(args.lifetime)
                self.close_connection = True
                return
            if "slow" in behaviours and stop.wait(args.slow):
                return
            port = self.server.server_address[1]
            if "binary" in behaviours:
                answer = bytes(range(1, 256)) * 16 + bytes(range(1, 17))
            elif "huge" in behaviours:
                answer = None
            else:
                answer = fixture_body(args, fixture, "raw" in behaviours, port)
            size = args.huge_mib << 20 if answer is None else len(answer)
            self.send_response(status)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(size * 2 if "cut" in behaviours else size))
            self.end_headers()
            try:
                if answer is None:
                    chunk = b"x" * (1 << 20)
                    for _ in range(args.huge_mib):
                        self.wfile.write(chunk)
                elif "cut" in behaviours:
                    self.wfile.write(answer[: len(answer) // 2])
                    self.wfile.flush()
                    self.close_connection = True
                else:
                    self.wfile.write(answer)
            except (BrokenPipeError, ConnectionResetError):
                self.close_connection = True

    class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
        daemon_threads = True
        allow_reuse_address = True

    server = Server(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    deadline = time.time() + args.lifetime
    try:
        while time.time() < deadline:
            time.sleep(0.2)
    except KeyboardInterrupt:
        pass
    stop.set()
    server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
