"""FTP server for the FTP client tests.

Usage: ftp_test_server.py HOST ROOT USER PASSWORD [FAULT] [LOG]
FAULT: none, cut (downloads break off after the first block with 426),
       stall (downloads stop sending after the first block).
Received files are appended to LOG as "name type size". Prints
"READY <port>" once listening on a free port of HOST.
"""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

host, root, user, password = sys.argv[1:5]
fault = sys.argv[5] if len(sys.argv) > 5 else "none"
log = sys.argv[6] if len(sys.argv) > 6 else ""


class FaultyDTP(DTPHandler):
    def send(self, data):
        sent = DTPHandler.send(self, data)
        if fault == "cut" and not self.receive and self.tot_bytes_sent > 0:
            self.handle_close()
        return sent

    def writable(self):
        if fault == "stall" and not self.receive and self.tot_bytes_sent > 0:
            return False
        return DTPHandler.writable(self)


class Handler(FTPHandler):
    dtp_handler = FaultyDTP
    auth_failed_timeout = 0.2
    permit_foreign_addresses = True

    def on_file_received(self, file):
        if log:
            with open(log, "a") as f:
                f.write("%s %s %d\n" % (os.path.basename(file), self._current_type, os.path.getsize(file)))


logging.basicConfig(level=logging.WARNING)
Handler.authorizer = DummyAuthorizer()
Handler.authorizer.add_user(user, password, root, perm="elradfmw")
server = FTPServer((host, 0), Handler)
print("READY %d" % server.address[1], flush=True)
server.serve_forever(timeout=0.2)
