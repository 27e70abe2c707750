#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# zelk.exe at a console, as Wine gives one to a program started on a terminal: what a pipe cannot
# show. Typed and printed text crosses the console as characters (é and € arrive whole and are
# stored as Windows-1252 bytes), and Ctrl+C stops batch mode after the current line, saves the
# options file and ends the run with the status Windows gives a run stopped by Ctrl+C.
# console.py WINE-RUN PREFIX ZELK-EXE WORK-DIR
import os, pty, select, sys, termios, time

wine_run, prefix, zelk, work = sys.argv[1:5]
os.makedirs(work, exist_ok=True)
options = os.path.join(work, "zelk.cfg")
STATUS_CONTROL_C_EXIT = 0xC000013A


def start(*arguments):
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(work)
        os.execvp("bash", ["bash", wine_run, prefix, zelk, *arguments])
    return pid, fd


def read_until(fd, wanted, seconds=60):
    seen = b""
    end = time.time() + seconds
    while wanted not in seen and time.time() < end:
        ready, _, _ = select.select([fd], [], [], 0.2)
        if ready:
            try:
                seen += os.read(fd, 4096)
            except OSError:
                break
    return seen


def wait_for_console(fd, seconds=60):
    # Wine's console takes the terminal out of line mode once the program reads from it; keys
    # typed before that would be taken by the terminal's own line editing.
    end = time.time() + seconds
    while termios.tcgetattr(fd)[3] & termios.ICANON:
        if time.time() > end:
            sys.exit("zelk.exe never read from its console")
        read_until(fd, b"\0", 0.2)


def finish(pid, fd, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            read_until(fd, b"\0", 0.1)
            os.close(fd)
            return os.waitstatus_to_exitcode(status)
        read_until(fd, b"\0", 0.2)
    os.kill(pid, 9)
    sys.exit("zelk.exe did not end within %d s" % seconds)


def stored_save_dir():
    with open(options, "rb") as f:
        return f.read()


failures = []

# é and € typed on the command line, echoed and answered through the console, stored as 0xE9 0x80.
if os.path.exists(options):
    os.remove(options)
pid, fd = start("-c", 'sv_save_dir = "café€";')
seen = read_until(fd, "Saving directory is now: café€\\".encode())
status = finish(pid, fd)
if "Saving directory is now: café€\\".encode() not in seen:
    failures.append("the console did not show é and €: %r" % seen[-300:])
if status != 0:
    failures.append("a run that changed a setting ended with status %d" % status)
if b"caf\xe9\x80\\" not in stored_save_dir():
    failures.append("zelk.cfg does not hold café€ as Windows-1252 bytes")

# Ctrl+C while batch mode waits for the next line: the line before it counts, the file is saved.
pid, fd = start("--batch", "-")
wait_for_console(fd)
os.write(fd, b'sv_save_dir = "stopped";\r')
seen = read_until(fd, b"Saving directory is now: stopped\\")
os.write(fd, b"\x03")
status = finish(pid, fd)
if b"Saving directory is now: stopped\\" not in seen:
    failures.append("the typed line was not answered: %r" % seen[-300:])
# Wine passes on the low byte of the status; now and then it ends a process that exits while its
# control-event thread still runs with SIGKILL instead, which Windows never does.
if status & 0xFF != STATUS_CONTROL_C_EXIT & 0xFF and status != -9:
    failures.append("Ctrl+C ended the run with status %d, not 0x%X" % (status, STATUS_CONTROL_C_EXIT))
if b"stopped\\" not in stored_save_dir():
    failures.append("Ctrl+C lost the setting changed before it")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
