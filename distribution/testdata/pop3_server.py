# A POP3 inbox for the mail session tests (Twisted): one user with an empty mailbox on
# 127.0.0.1. Every login attempt is appended to LOG as "login NAME ok|refused".
# Usage: pop3_server.py PORT USER PASSWORD LOG
import sys

from twisted.cred import checkers, portal
from twisted.internet import protocol, reactor
from twisted.mail import pop3
from zope.interface import implementer

port, user, password, log = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]


def record(line):
    with open(log, "a") as f:
        f.write(line + "\n")


@implementer(portal.IRealm)
class Inbox:
    def requestAvatar(self, avatarId, mind, *interfaces):
        return pop3.IMailbox, pop3.Mailbox(), lambda: None


class RecordingChecker(checkers.InMemoryUsernamePasswordDatabaseDontUse):
    def requestAvatarId(self, credentials):
        d = super().requestAvatarId(credentials)
        name = credentials.username.decode("latin-1")
        d.addCallbacks(lambda r: record(f"login {name} ok") or r,
                       lambda f: record(f"login {name} refused") or f)
        return d


class Pop3(pop3.POP3):
    # Greets without an APOP time stamp, as most providers do, so the client logs in with
    # USER and PASS (Twisted's APOP check compares bytes with text and never succeeds).
    def generateMagic(self):
        return b"ready"


class Factory(protocol.ServerFactory):
    def buildProtocol(self, addr):
        p = Pop3()
        checker = RecordingChecker()
        checker.addUser(user.encode(), password.encode())
        p.portal = portal.Portal(Inbox(), [checker])
        p.factory = self
        return p


reactor.listenTCP(port, Factory(), interface="127.0.0.1")
reactor.run()
