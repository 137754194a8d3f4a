#!/usr/bin/python3
"""A local SMTP server for the support mail program's tests.

Usage: smtp_capture.py FOLDER. Listens on 127.0.0.1 at a free port, prints the port on the
first line of its output, and writes every message it accepts as FOLDER/msgN.env (the
envelope: sender, then one recipient a line) and FOLDER/msgN.eml (the content exactly as it
arrived, dot-stuffing undone). The .eml file appears last and whole.
"""
import asyncio
import os
import sys

from aiosmtpd.smtp import SMTP


class Capture:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "msg%d" % self.count)
        with open(base + ".env", "w", encoding="latin-1") as f:
            f.write(envelope.mail_from + "\n")
            for rcpt in envelope.rcpt_tos:
                f.write(rcpt + "\n")
        with open(base + ".tmp", "wb") as f:
            f.write(envelope.original_content)
        os.rename(base + ".tmp", base + ".eml")
        return "250 Message accepted for delivery"


async def main(folder):
    loop = asyncio.get_running_loop()
    handler = Capture(folder)
    server = await loop.create_server(
        lambda: SMTP(handler, hostname="qx3test", data_size_limit=64 * 1024 * 1024),
        "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1], flush=True)
    async with server:
        await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1]))
