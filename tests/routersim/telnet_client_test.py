"""telnet_client_test.py SIMULATOR: a telnet library drives it as a character-mode client."""
import subprocess
import sys
import telnetlib  # deprecated, still in Debian's Python 3.11

IAC, DO, DONT, WILL, WONT = b"\xff", b"\xfd", b"\xfe", b"\xfb", b"\xfc"
ECHO, SGA, TTYPE = b"\x01", b"\x03", b"\x18"
PROMPT = b"router> "


def negotiate(sock, command, option):  # lets the router echo and drop go-aheads, no more
    if command == WILL:
        sock.sendall(IAC + (DO if option in (ECHO, SGA) else DONT) + option)
    elif command == DO:
        sock.sendall(IAC + (WILL if option == SGA else WONT) + option)


router = subprocess.Popen([sys.argv[1], "--port", "0"], stdout=subprocess.PIPE, text=True)
try:
    host, port = router.stdout.readline().split()[3].rsplit(":", 1)  # "... listening on H:P"
    tn = telnetlib.Telnet(host, int(port), 5)  # the router says nothing in telnet first
    tn.set_option_negotiation_callback(negotiate)
    tn.get_socket().sendall(IAC + WILL + TTYPE + IAC + DO + SGA)  # the client's opening requests
    tn.read_until(b"password: ", 5)
    # Typed, Return as CR NUL; the reply's start (keys echoed, the password never); what it holds.
    for typed, start, holds in [
        (b"admin", b"\r\n\r\n" + PROMPT, b""),
        (b"verz\x7fsion", b"verz\b \bsion\r\n", b"Firmware Version : 3.12.0"),
        (b"ip route add probe 10.9.0.0 10.0.0.1 ff:ff:0:0 1 0", b"ip route add probe", b""),
        (b"ip route", b"ip route\r\n", b"add probe 10.9.0.0 10.0.0.1 ff:ff:0:0"),
        (b"frobnicate", b"frobnicate\r\n", b"Error: unknown command"),
    ]:
        tn.write(typed + b"\r\0")
        reply = tn.read_until(PROMPT, 5)
        assert reply.startswith(start) and holds in reply and reply.endswith(PROMPT), reply
    tn.write(b"exit\r\0")
    rest = tn.read_all()  # up to the end of the session, which the router ends
    assert rest == b"exit\r\nGoodbye\r\n", rest
finally:
    router.terminate()
    router.wait(5)
