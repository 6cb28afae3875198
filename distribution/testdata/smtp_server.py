# An SMTP server for the mail session tests (aiosmtpd) on 127.0.0.1 that offers AUTH LOGIN
# and PLAIN without TLS but does not require it. It appends "EHLO name", "HELO name" and
# "AUTH mechanism login ok|refused" lines to DIR/session.log, and stores each message as
# DIR/N.env (the envelope: "from ADDRESS", one "to ADDRESS" line each) and DIR/N.eml (the
# bytes received). Recipients at refused.example are refused.
# Usage: smtp_server.py PORT USER PASSWORD DIR
import os
import signal
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

port, user, password, folder = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]


def record(line):
    with open(os.path.join(folder, "session.log"), "a") as f:
        f.write(line + "\n")


def authenticate(server, session, envelope, mechanism, auth_data):
    ok = (isinstance(auth_data, LoginPassword) and auth_data.login == user.encode()
          and auth_data.password == password.encode())
    login = auth_data.login.decode("latin-1") if isinstance(auth_data, LoginPassword) else "?"
    record(f"AUTH {mechanism} {login} {'ok' if ok else 'refused'}")
    return AuthResult(success=ok, handled=False)


class Store:
    count = 0

    async def handle_HELO(self, server, session, envelope, hostname):
        record(f"HELO {hostname}")
        session.host_name = hostname
        return "250 " + server.hostname

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        record(f"EHLO {hostname}")
        session.host_name = hostname
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.endswith("@refused.example"):
            return "550 No such mailbox"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        Store.count += 1
        base = os.path.join(folder, str(Store.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".env", "w") as f:
            f.write("from " + envelope.mail_from + "\n")
            f.writelines("to " + r + "\n" for r in envelope.rcpt_tos)
        return "250 Message accepted"


controller = Controller(Store(), hostname="127.0.0.1", port=port, authenticator=authenticate,
                        auth_require_tls=False, auth_required=False,
                        decode_data=False)
controller.start()
signal.sigwait({signal.SIGTERM, signal.SIGINT})
controller.stop()
