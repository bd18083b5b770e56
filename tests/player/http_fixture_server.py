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
Every requested path is appended to the log file. The server prints its port
on the first line of stdout and stops by itself after --lifetime seconds.
"""
import argparse
import http.server
import socketserver
import sys
import threading
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--fixture", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--weather")
    parser.add_argument("--silent-weather", action="store_true")
    args = parser.parse_args()
    body = open(args.fixture, "rb").read()
    stop = threading.Event()

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            with open(args.log, "a") as log:
                log.write(self.path + "\n")
            if self.path.startswith("/sed_api_weather_info.php") and args.weather:
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
