#!/usr/bin/python3
"""A long evening with the two programs: drives the real trainer and editor
on an X display with random real clicks (XTest) for a bounded time, answers
every box, and prints what happened.

Run it through bench/soak.sh, which provides the Xvfb display. The programs
run in a temporary working directory laid out like the installed one (links
to the programs and pictures, a copy of the settings, an "Image/" folder).

This process makes itself the reaper of every program it starts, also of
the ones the programs start for each other, so it sees how each one ended:
a signal or a status other than 0 is a crash.
"""

import argparse
import ctypes
import os
import random
import shutil
import signal
import sys
import tempfile
import time

from Xlib import X, XK, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

TRAINER = "vindolar"
EDITOR = "quessa"
TRAINER_TITLE = "Мат в 1 ход"
EDITOR_TITLE = "New window ( 0 )"

# The boxes either program shows, by title. The praise after a mate has an
# empty title.
PRAISE_TITLE = ""
WRONG_TITLE = "Неверно "
PROMOTION_TITLE = "Превращение"
LIMIT_TITLE = "Изменить опции"
SAVE_DIALOG_TITLE = "Сохраните изображение в формате JPG"

# Trainer window geometry (client area pixels).
MOVE_TABLE = (800, 10, 190, 640)  # x, y, width, height
COMMIT_BUTTON = (900, 660, 70, 25)
OPTIONS_BUTTON = (800, 660, 70, 25)
PROMOTION_BUTTONS = [(5 + 50 * i, 660, 50, 25) for i in range(4)]
CELL_SIZE_RANGE = (40, 70)
SETTINGS_LINES = 14
CELL_SIZE_LINE = 11

# Editor window geometry.
EDITOR_SPIN_BOXES = [(170, 20), (170, 60), (170, 100), (170, 140), (170, 180),
                     (440, 20), (440, 60), (440, 100), (440, 140), (440, 180),
                     (170, 290), (540, 290), (540, 330)]
SPIN_BOX_WIDTH, SPIN_BOX_HEIGHT = 50, 25
SPIN_ARROW_WIDTH = 16
SAVE_BUTTON = (40, 480, 170, 30)

# Settings that give problems quickly and, with white pawns up to rank 7,
# promotions now and then: counts, cell size, king distance, pawn rank, piece.
START_SETTINGS = ["3", "1", "1", "1", "1", "2", "1", "1", "0", "0", "50", "1", "7", "любая"]

PR_SET_CHILD_SUBREAPER = 36
NO_WINDOW_PATIENCE = 20.0   # seconds without any window of ours before we call it lost
BOX_PATIENCE = 3.0          # seconds a box may take to go after it was answered
PING_INTERVAL = 2.0         # seconds between pings of the shown window, as a window manager sends them
HANG_TIME = 30.0            # a window that has not answered a ping for this long counts as hung
SETTLING_TIME = 30.0        # seconds after which a program's memory counts as settled
END_PATIENCE = 15.0         # seconds the last program may take to end after its close request


def become_subreaper():
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        sys.exit("soak: cannot become the reaper of the started programs")


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


def random_point(rect, rng):
    x, y, w, h = rect
    # Keep two pixels off the edges, where a click may miss the control.
    return x + 2 + rng.randrange(max(1, w - 4)), y + 2 + rng.randrange(max(1, h - 4))


class Tally:
    def __init__(self):
        self.solved = 0
        self.wrong = 0
        self.stalemates = 0
        self.promotions = 0
        self.limit_messages = 0
        self.save_dialogs = 0
        self.handovers = 0
        self.clicks = 0
        self.crashes = []          # (program, how it ended)
        self.failed_starts = 0     # exec failures in a start: status 1 of an unnamed child
        self.lost = 0              # times no window of ours came up for too long
        self.stuck_boxes = 0
        self.hangs = 0
        self.pings = 0
        self.slowest_ping = 0.0
        self.peak_rss = {TRAINER: 0, EDITOR: 0}
        self.rss_by_half = {TRAINER: [0, 0], EDITOR: [0, 0]}
        self.trainer_rss_by_minute = []
        self.longest_trainer_life = 0.0
        self.longest_life_rss = (0, 0)   # settled and last resident size of that trainer, kB


class Soak:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.tally = Tally()
        self.display = display.Display()
        self.root = self.display.screen().root
        self.atoms = {name: self.display.intern_atom(name) for name in
                      ("_NET_WM_NAME", "UTF8_STRING", "_NET_WM_PID", "WM_PROTOCOLS",
                       "WM_DELETE_WINDOW", "WM_TRANSIENT_FOR", "_NET_WM_PING")}
        self.workdir = None
        self.started_at = time.monotonic()
        self.deadline = self.started_at + args.minutes * 60
        self.known = {}            # pid -> (program, first seen, first rss)
        self.window_pids = {TRAINER: set(), EDITOR: set()}  # processes whose main window came up
        self.ended = {}            # pid -> how it ended
        self.shown = None          # the program whose main window was shown last
        self.promotion_pending = False
        self.cell_size = 50
        # The replies to pings come back to the root window.
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.ping_serial = 0
        self.ping_out = None       # (serial, window id, sent at, counted as hung)
        self.last_ping = 0.0

    # ----- working directory and processes -----

    def lay_out_workdir(self):
        self.workdir = os.path.realpath(tempfile.mkdtemp(prefix="soak-"))
        bin_dir = os.path.realpath(self.args.bin)
        for name in (TRAINER, EDITOR, "JPG"):
            os.symlink(os.path.join(bin_dir, name), os.path.join(self.workdir, name))
        os.mkdir(os.path.join(self.workdir, "Image"))
        with open(os.path.join(self.workdir, "set_figure.txt"), "w", encoding="utf-8") as f:
            f.write("".join(line + "\n" for line in START_SETTINGS))
        self.log_path = os.path.join(self.workdir, "programs.log")

    def start_trainer(self):
        log = os.open(self.log_path, os.O_WRONLY | os.O_CREAT | os.O_APPEND, 0o644)
        pid = os.fork()
        if pid == 0:
            os.chdir(self.workdir)
            os.dup2(log, 1)
            os.dup2(log, 2)
            os.execv("./" + TRAINER, ["./" + TRAINER])
        os.close(log)

    def program_of(self, pid):
        try:
            with open(f"/proc/{pid}/comm") as f:
                comm = f.read().strip()
            return comm if comm in (TRAINER, EDITOR) else None
        except OSError:
            return None

    def our_programs(self):
        """Live processes of either program started from our working directory."""
        found = {}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            pid = int(entry)
            program = self.program_of(pid)
            if program is None:
                continue
            try:
                if os.readlink(f"/proc/{pid}/cwd") != self.workdir:
                    continue
                with open(f"/proc/{pid}/stat") as f:
                    if f.read().rsplit(")", 1)[1].split()[0] == "Z":
                        continue
            except OSError:
                continue
            found[pid] = program
        return found

    def rss_kb(self, pid):
        try:
            with open(f"/proc/{pid}/status") as f:
                for line in f:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return 0

    def watch_processes(self):
        """Records new programs and their memory; reaps what has ended."""
        now = time.monotonic()
        half = 0 if now - self.started_at < (self.deadline - self.started_at) / 2 else 1
        for pid, program in self.our_programs().items():
            rss = self.rss_kb(pid)
            # A program's fork on the way to starting the other one carries
            # its name until it executes the other program.
            if pid not in self.known or self.known[pid][0] != program:
                self.known[pid] = (program, now, rss)
            elif now - self.known[pid][1] < SETTLING_TIME:
                self.known[pid] = (program, self.known[pid][1], rss)
            self.tally.peak_rss[program] = max(self.tally.peak_rss[program], rss)
            self.tally.rss_by_half[program][half] = max(self.tally.rss_by_half[program][half], rss)
            if program == TRAINER:
                minute = int((now - self.started_at) // 60)
                by_minute = self.tally.trainer_rss_by_minute
                by_minute.extend([0] * (minute + 1 - len(by_minute)))
                by_minute[minute] = max(by_minute[minute], rss)
            if program == TRAINER:
                first_seen, first_rss = self.known[pid][1], self.known[pid][2]
                if now - first_seen >= self.tally.longest_trainer_life:
                    self.tally.longest_trainer_life = now - first_seen
                    self.tally.longest_life_rss = (first_rss, rss)
        self.reap()

    def reap(self):
        while True:
            try:
                pid, status = os.waitpid(-1, os.WNOHANG)
            except ChildProcessError:
                return
            if pid == 0:
                return
            program = self.known.get(pid, (None,))[0]
            if os.WIFSIGNALED(status):
                how = f"killed by signal {os.WTERMSIG(status)} ({signal.Signals(os.WTERMSIG(status)).name})"
            else:
                how = f"exit status {os.WEXITSTATUS(status)}"
            self.ended[pid] = how
            self.known.pop(pid, None)
            if program is not None and how != "exit status 0":
                self.tally.crashes.append((program, pid, how))
            elif program is None and how != "exit status 0":
                # The go-between of a start, or a started program that ended
                # before we saw it: exec failures end with status 1.
                self.tally.failed_starts += 1

    # ----- windows -----

    def window_title(self, window):
        try:
            prop = window.get_full_property(self.atoms["_NET_WM_NAME"], self.atoms["UTF8_STRING"])
            if prop is not None:
                return prop.value.decode("utf-8", "replace")
            name = window.get_wm_name()
            return name if isinstance(name, str) else (name or b"").decode("latin-1")
        except error.XError:
            return None

    def windows(self):
        """Viewable top-level windows of our programs: (window, title, x, y, w, h, transient)."""
        found = []
        try:
            children = self.root.query_tree().children
        except error.XError:
            return found
        for window in children:
            try:
                attributes = window.get_attributes()
                if attributes.map_state != X.IsViewable or attributes.override_redirect:
                    continue
                title = self.window_title(window)
                if title is None:
                    continue
                geometry = window.get_geometry()
                origin = self.root.translate_coords(window, 0, 0)
                transient = window.get_full_property(self.atoms["WM_TRANSIENT_FOR"], X.AnyPropertyType)
            except error.XError:
                continue
            found.append((window, title, origin.x, origin.y, geometry.width, geometry.height,
                          transient is not None))
        return found

    # ----- input -----

    def click(self, window_x, window_y, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=window_x + x, y=window_y + y)
        self.display.sync()
        time.sleep(0.01)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()
        self.tally.clicks += 1

    def press_key(self, window, name):
        try:
            window.set_input_focus(X.RevertToParent, X.CurrentTime)
        except error.XError:
            return
        code = self.display.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.display, X.KeyPress, code)
        xtest.fake_input(self.display, X.KeyRelease, code)
        self.display.sync()

    def request_close(self, window):
        message = event.ClientMessage(
            window=window, client_type=self.atoms["WM_PROTOCOLS"],
            data=(32, [self.atoms["WM_DELETE_WINDOW"], X.CurrentTime, 0, 0, 0]))
        window.send_event(message)
        self.display.sync()

    def ping(self, main):
        """Pings the shown main window now and then; notes slow and missing answers."""
        now = time.monotonic()
        while self.display.pending_events():
            e = self.display.next_event()
            if (e.type == X.ClientMessage and e.client_type == self.atoms["WM_PROTOCOLS"]
                    and self.ping_out is not None and e.data[1][0] == self.atoms["_NET_WM_PING"]
                    and e.data[1][1] == self.ping_out[0]):
                self.tally.slowest_ping = max(self.tally.slowest_ping, now - self.ping_out[2])
                self.tally.pings += 1
                self.ping_out = None
        if self.ping_out is not None:
            serial, window_id, sent, hung = self.ping_out
            if main is None or main[0].id != window_id:
                self.ping_out = None          # the window went, in a hand-over
            elif now - sent > HANG_TIME and not hung:
                self.tally.hangs += 1
                self.ping_out = (serial, window_id, sent, True)
                print(f"soak: {main[1]} has not answered for {HANG_TIME:.0f} s", flush=True)
            return
        if main is None or now - self.last_ping < PING_INTERVAL:
            return
        self.ping_serial += 1
        message = event.ClientMessage(
            window=main[0], client_type=self.atoms["WM_PROTOCOLS"],
            data=(32, [self.atoms["_NET_WM_PING"], self.ping_serial, main[0].id, 0, 0]))
        try:
            main[0].send_event(message)
            self.display.flush()
        except error.XError:
            return
        self.ping_out = (self.ping_serial, main[0].id, now, False)
        self.last_ping = now

    # ----- one step -----

    def read_cell_size(self):
        try:
            with open(os.path.join(self.workdir, "set_figure.txt"), encoding="utf-8", errors="replace") as f:
                lines = f.read().split("\n")
            value = int(lines[CELL_SIZE_LINE - 1])
        except (OSError, ValueError, IndexError):
            value = CELL_SIZE_RANGE[0]
        return min(max(value, CELL_SIZE_RANGE[0]), CELL_SIZE_RANGE[1])

    def answer_box(self, box):
        window, title = box[0], box[1]
        if title == PRAISE_TITLE:
            self.tally.solved += 1
        elif title == WRONG_TITLE:
            self.tally.wrong += 1
        elif title == PROMOTION_TITLE:
            self.tally.promotions += 1
            self.promotion_pending = True
        elif title == LIMIT_TITLE:
            self.tally.limit_messages += 1
        elif title == SAVE_DIALOG_TITLE:
            self.tally.save_dialogs += 1
        # OK (or, for the save dialog, cancel) from the keyboard, as a person
        # in a hurry would: Return takes the box's default, Escape closes it.
        key = "Escape" if title == SAVE_DIALOG_TITLE else "Return"
        self.press_key(window, key)
        give_up_at = time.monotonic() + BOX_PATIENCE
        while time.monotonic() < give_up_at:
            time.sleep(0.02)
            if all(w[0].id != window.id for w in self.windows()):
                return
        self.press_key(window, "Escape")
        time.sleep(0.3)
        if any(w[0].id == window.id for w in self.windows()):
            self.tally.stuck_boxes += 1

    def trainer_step(self, main):
        _, _, wx, wy, _, _, _ = main
        rng = self.rng
        if self.promotion_pending:
            self.promotion_pending = False
            self.click(wx, wy, *random_point(rng.choice(PROMOTION_BUTTONS), rng))
            return
        roll = rng.random()
        cell = self.cell_size
        if roll < 0.15:
            # A pawn's step to the last row, from the second row: a
            # promotion, with its choice, when a white pawn stands there.
            file = 1 + rng.randrange(8)
            self.click(wx, wy, *random_point((file * cell, 2 * cell, cell, cell), rng))
            time.sleep(0.05)
            to_file = min(8, max(1, file + rng.choice((-1, 0, 0, 1))))
            self.click(wx, wy, *random_point((to_file * cell, 1 * cell, cell, cell), rng))
        elif roll < 0.55:
            file, row = 1 + rng.randrange(8), 1 + rng.randrange(8)
            self.click(wx, wy, *random_point((file * cell, row * cell, cell, cell), rng))
        elif roll < 0.75:
            self.click(wx, wy, *random_point(MOVE_TABLE, rng))
        elif roll < 0.93:
            self.click(wx, wy, *random_point(COMMIT_BUTTON, rng))
        elif roll < 0.95:
            # Where the promotion buttons stand; outside a promotion the save
            # button lies under most of them.
            self.click(wx, wy, *random_point(rng.choice(PROMOTION_BUTTONS), rng))
        elif roll < 0.953 and not self.args.no_options and time.monotonic() < self.deadline - 5:
            self.click(wx, wy, *random_point(OPTIONS_BUTTON, rng))

    def editor_step(self, main):
        _, _, wx, wy, _, _, _ = main
        rng = self.rng
        if rng.random() < 0.04:
            self.click(wx, wy, *random_point(SAVE_BUTTON, rng))
            return
        left, top = rng.choice(EDITOR_SPIN_BOXES)
        arrow_x = left + SPIN_BOX_WIDTH - SPIN_ARROW_WIDTH
        if rng.random() < 0.5:
            arrow = (arrow_x, top, SPIN_ARROW_WIDTH, SPIN_BOX_HEIGHT // 2)
        else:
            arrow = (arrow_x, top + SPIN_BOX_HEIGHT // 2, SPIN_ARROW_WIDTH, SPIN_BOX_HEIGHT - SPIN_BOX_HEIGHT // 2)
        self.click(wx, wy, *random_point(arrow, rng))

    def main_windows(self, windows):
        mains = [w for w in windows if not w[6] and w[1] in (TRAINER_TITLE, EDITOR_TITLE)]
        boxes = [w for w in windows if w[6] or w[1] not in (TRAINER_TITLE, EDITOR_TITLE)]
        return mains, boxes

    def window_pid(self, window):
        try:
            prop = window.get_full_property(self.atoms["_NET_WM_PID"], X.AnyPropertyType)
            return int(prop.value[0]) if prop is not None else None
        except error.XError:
            return None

    def note_shown(self, program, window):
        pid = self.window_pid(window)
        if pid is not None:
            self.window_pids[program].add(pid)
        if program != self.shown:
            if self.shown is not None:
                self.tally.handovers += 1
            self.shown = program
            if program == TRAINER:
                self.cell_size = self.read_cell_size()
                self.promotion_pending = False

    def run(self):
        self.lay_out_workdir()
        become_subreaper()
        self.start_trainer()
        last_window = time.monotonic()
        next_report = time.monotonic() + 60
        while time.monotonic() < self.deadline:
            self.watch_processes()
            windows = self.windows()
            mains, boxes = self.main_windows(windows)
            self.ping(mains[-1] if mains else None)
            if boxes:
                self.answer_box(boxes[0])
                last_window = time.monotonic()
            elif mains:
                # During a hand-over both may be up for a moment; act on the newest.
                main = mains[-1]
                program = TRAINER if main[1] == TRAINER_TITLE else EDITOR
                self.note_shown(program, main[0])
                if program == TRAINER:
                    self.trainer_step(main)
                else:
                    self.editor_step(main)
                last_window = time.monotonic()
            elif time.monotonic() - last_window > NO_WINDOW_PATIENCE:
                self.tally.lost += 1
                print(f"soak: no window for {NO_WINDOW_PATIENCE:.0f} s; starting the trainer again", flush=True)
                self.shown = None
                self.start_trainer()
                last_window = time.monotonic()
            time.sleep(self.rng.uniform(0.03, 0.12))
            if time.monotonic() >= next_report:
                next_report += 60
                t = self.tally
                print(f"soak: {(time.monotonic() - self.started_at) / 60:.0f} min: solved {t.solved}, "
                      f"wrong {t.wrong}, hand-overs {t.handovers}, crashes {len(t.crashes)}, "
                      f"trainer rss {t.peak_rss[TRAINER]} kB", flush=True)
        self.finish()

    def finish(self):
        """Answers what is open and closes the last program as a user would."""
        end_by = time.monotonic() + END_PATIENCE
        closed = False
        while time.monotonic() < end_by:
            self.watch_processes()
            mains, boxes = self.main_windows(self.windows())
            if boxes:
                self.answer_box(boxes[0])
                continue
            if self.promotion_pending and mains and mains[-1][1] == TRAINER_TITLE:
                self.trainer_step(mains[-1])
                continue
            if mains and not closed:
                self.request_close(mains[-1][0])
                closed = True
            elif not mains and not self.our_programs():
                break
            elif mains and closed:
                # A close request that came during a generation run or a
                # hand-over: ask again.
                time.sleep(0.5)
                closed = False
                continue
            time.sleep(0.1)
        time.sleep(1.0)
        self.watch_processes()
        self.left_behind = self.our_programs()
        for pid in self.left_behind:
            os.kill(pid, signal.SIGKILL)
        time.sleep(0.2)
        self.reap()

    def report(self):
        t = self.tally
        minutes = (time.monotonic() - self.started_at) / 60
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            log = f.read()
        sanitizer_reports = log.count("ERROR: AddressSanitizer") + log.count("runtime error:")
        toolkit_warnings = sum(1 for line in log.splitlines() if "-WARNING **" in line or "-CRITICAL **" in line)
        first_half, second_half = t.rss_by_half[TRAINER]
        print(f"soak ran {minutes:.1f} minutes (seed {self.args.seed}), {t.clicks} clicks")
        print(f"problems solved: {t.solved}")
        print(f"wrong answers: {t.wrong} (promotion choices {t.promotions}, "
              f"attempt-limit messages {t.limit_messages}, save dialogs cancelled {t.save_dialogs})")
        print(f"hand-overs: {t.handovers} (trainer windows {len(self.window_pids[TRAINER])}, "
              f"editor windows {len(self.window_pids[EDITOR])})")
        print(f"crashes: {len(t.crashes)}" + "".join(f"\n  {p} pid {pid}: {how}" for p, pid, how in t.crashes))
        print(f"processes left behind: {len(self.left_behind)}"
              + "".join(f"\n  {p} pid {pid}" for pid, p in self.left_behind.items()))
        print(f"hangs: {t.hangs} (pings answered {t.pings}, slowest answer {t.slowest_ping * 1000:.0f} ms)")
        print(f"failed starts: {t.failed_starts}, windows lost: {t.lost}, boxes that would not close: {t.stuck_boxes}")
        print(f"largest resident memory: trainer {t.peak_rss[TRAINER]} kB "
              f"(first half {first_half} kB, second half {second_half} kB), editor {t.peak_rss[EDITOR]} kB")
        print("largest trainer resident memory in each minute (kB): "
              + " ".join(str(kb) for kb in t.trainer_rss_by_minute))
        print(f"longest-lived trainer: {t.longest_trainer_life:.0f} s, resident {t.longest_life_rss[0]} kB "
              f"after {SETTLING_TIME:.0f} s, {t.longest_life_rss[1]} kB at the end")
        print(f"sanitizer reports: {sanitizer_reports}, toolkit warnings: {toolkit_warnings} "
              f"(log: {self.log_path})")
        ok = (not t.crashes and not self.left_behind and sanitizer_reports == 0 and t.lost == 0
              and t.hangs == 0)
        if ok and not self.args.keep:
            shutil.rmtree(self.workdir, ignore_errors=True)
        else:
            print(f"working directory kept: {self.workdir}")
        return 0 if ok else 1


def main():
    parser = argparse.ArgumentParser(description="Drive the two programs with random clicks for a while.")
    parser.add_argument("--minutes", type=float, default=10.0, help="how long to drive them (default 10)")
    parser.add_argument("--bin", default="build/bin", help="folder with vindolar, quessa and JPG/ (default build/bin)")
    parser.add_argument("--seed", type=int, default=int(time.time()) % 100000, help="seed of the clicks")
    parser.add_argument("--keep", action="store_true", help="keep the working directory and its log")
    parser.add_argument("--no-options", action="store_true",
                        help="never press \"Опции\", so one trainer lives long (its memory over time)")
    args = parser.parse_args()
    for name in (TRAINER, EDITOR, "JPG"):
        if not os.path.exists(os.path.join(args.bin, name)):
            sys.exit(f"soak: no {name} in {args.bin}; build first")
    soak = Soak(args)
    soak.run()
    sys.exit(soak.report())


if __name__ == "__main__":
    main()
