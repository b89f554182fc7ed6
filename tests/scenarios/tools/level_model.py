#!/usr/bin/env python3
"""Works out what a recording scenario must print, from the meter's own arithmetic.

Reads a scenario script that plays recordings and prints the readout and the meter state, and
writes the lines the program has to print: envelope per buffer, running average, the
piecewise-linear level table, decay, peak marker and hold count, readout text. For a contest it
also times the rounds in frames of sound and scores them from the meter positions. It knows only
the few commands such a script uses and refuses anything else, so it never guesses.

Usage: level_model.py SCRIPT > expected.out   (run in the folder the script's paths start from)
"""
import shlex
import struct
import sys
import wave

FRAMES_PER_BUFFER = 1100
TABLE_TOP = 3277
# (first, last, low, high) of the seven segments of the level table, breakpoints on 0..255.
SEGMENTS = [(0, 205, 0, 36), (205, 333, 36, 73), (333, 512, 73, 109), (512, 819, 109, 146),
            (819, 1293, 146, 182), (1293, 1626, 182, 219), (1626, 3277, 219, 255)]


def level_table():
    table = [0] * (TABLE_TOP + 1)
    for first, last, low, high in SEGMENTS:
        a, b = 4 * low, 4 * high
        step = (b - a) / (last - first)
        v = float(a)
        for i in range(first, last + 1):
            table[i] = round(v)  # Python rounds ties to even, as the meter must
            v += step
    return table


# Entries the meter's level table is known to hold, worked out by hand: the ties that round to
# even and a spread of ordinary entries.
TABLE_CHECKS = {1: 1, 100: 70, 221: 162, 253: 200, 285: 236, 300: 254, 317: 274, 1000: 639,
                1500: 820, 2000: 909, 3000: 996, 3272: 1020, 3276: 1020}


def envelope(frames):
    e = 0
    for i in range(0, len(frames), 2):
        m = abs(frames[i] + frames[i + 1]) // 2
        if m > e:
            e += (m - e) // 40
    return e


def check_model():
    table = level_table()
    for index, value in TABLE_CHECKS.items():
        assert table[index] == value, f"level table entry {index} is {table[index]}, not {value}"
    # A full-scale 100 Hz square wave ends a buffer at 32728, within 40 of full scale.
    square = [32767 if (f % 441) * 2 < 441 else -32767 for f in range(1100) for _ in (0, 1)]
    assert envelope(square) == 32728, envelope(square)


def read_recording(path):
    """Interleaved left/right samples of a 16-bit 44100 Hz PCM file; mono feeds both sides."""
    with wave.open(path, "rb") as w:
        if w.getsampwidth() != 2 or w.getframerate() != 44100 or w.getnchannels() not in (1, 2):
            sys.exit(f"{path}: not a 16-bit 44100 Hz mono or stereo recording")
        channels = w.getnchannels()
        data = w.readframes(w.getnframes())
    samples = struct.unpack(f"<{len(data) // 2}h", data)
    if channels == 1:
        return [s for s in samples for _ in (0, 1)]
    return list(samples)


class Meter:
    def __init__(self, ini):
        self.cal = ini.get("cal", "-6")
        self.decay = ini.get("decay", "2")
        self.show_average = ini.get("show average", "0") == "1"
        self.n = int(ini.get("average number", "20"))
        self.peak_hold = ini.get("peak hold", "0") == "1"
        self.table = level_table()
        self.position = self.peak = self.hold = self.index = 0
        self.ring = [0] * 1000
        self.decay_step = 0
        self.readout = None
        self.signal = []  # interleaved samples still to come
        for key in ini:
            if key not in ("cal", "decay", "show average", "average number", "peak hold"):
                sys.exit(f"the model does not know the setting {key}")

    def buffer(self):
        frames = self.signal[:2 * FRAMES_PER_BUFFER]
        self.signal = self.signal[2 * FRAMES_PER_BUFFER:]
        frames += [0] * (2 * FRAMES_PER_BUFFER - len(frames))
        r = float(self.cal)
        d = 10 * 10 ** (r / 20)
        if not d >= 1:
            d = 1.0
        e = envelope(frames)
        if self.show_average:
            self.ring[self.index] = e
            self.index += 1
            if self.index >= self.n:
                self.index = 0
            v = sum(self.ring[:self.n]) // self.n
        else:
            v = e
        level = self.table[min(round(v / d), TABLE_TOP)]
        self.decay_step = 5 * int(self.decay)
        if self.position <= level or self.position - level < self.decay_step:
            self.position = level
        else:
            self.position -= self.decay_step
        self.position = min(max(self.position, 1), 1024)
        if self.position >= self.peak:
            self.readout = "%.0f" % (level / 4 / 2.55)
            self.peak = self.position
            self.hold = 75
        if self.hold > 0:
            if not self.peak_hold or self.hold == 1:
                self.hold -= 1
            if self.hold == 0:
                self.peak = 0


class Contest:
    """Rounds of 1100-frame buffers: a phase ends with the buffer that completes its time."""

    def __init__(self, text):
        section, self.rules, names = None, {}, {}
        for line in text.replace("\\n", "\n").splitlines():
            line = line.strip()
            if line.startswith("["):
                section = line.strip("[]").lower()
            elif "=" in line:
                key, value = (part.strip() for part in line.split("=", 1))
                if section == "contest":
                    self.rules[key.lower()] = value
                elif section == "contestants" and value:
                    names[int(key)] = value
        self.round_s = int(self.rules.get("round seconds", "10"))
        self.countdown_s = 0 if self.rules.get("countdown seconds", "3") == "0" else 3
        self.peak_rule = self.rules.get("score", "average").lower() == "peak"
        self.names = [names[k] for k in sorted(names)]
        self.figures = [None] * len(self.names)
        self.rounds = [0] * len(self.names)
        self.phase, self.current, self.round = "idle", 0, 0

    def begin_phase(self, phase, seconds):
        self.phase, self.frames, self.length = phase, 0, seconds * 44100

    def key_f5(self):
        if self.phase == "running":
            self.finish()
        elif self.phase in ("idle", "shown"):
            self.who, self.sum, self.n, self.peak = self.current, 0, 0, 0
            self.round += 1
            if self.countdown_s:
                self.begin_phase("countdown", self.countdown_s)
            else:
                self.begin_phase("running", self.round_s)
        else:
            sys.exit("the model does not cancel a countdown")

    def buffer(self, position):
        if self.phase == "idle":
            return
        if self.phase == "running":
            self.sum, self.n, self.peak = self.sum + position, self.n + 1, max(self.peak, position)
        self.frames += 1100
        if self.frames < self.length:
            return
        if self.phase == "countdown":
            self.begin_phase("running", self.round_s)
        elif self.phase == "running":
            self.finish()
        else:
            self.phase = "idle"

    def finish(self):
        # Tenths of position / 10.2, rounded half up, in whole numbers only.
        average = (self.sum * 100 + 51 * self.n) // (102 * self.n)
        peak = (self.peak * 100 + 51) // 102
        self.figures[self.who] = (average, peak)
        self.rounds[self.who] += 1
        self.current = (self.who + 1) % len(self.names)
        self.begin_phase("shown", 5)

    def score(self, i):
        average, peak = self.figures[i]
        return (peak, average) if self.peak_rule else (average, peak)

    def lines(self):
        left = max(self.length - self.frames, 0) if self.phase != "idle" else 0
        out = [f"contest state={self.phase} round={self.round} current={self.current + 1} "
               f"left_ms={(left * 1000 + 22050) // 44100} board=0"]
        tenths = lambda t: f"{t // 10}.{t % 10}"
        for i, name in enumerate(self.names):
            if self.figures[i] is None:
                out.append(f'contestant {i + 1} "{name}" average=- peak=- score=- rank=- '
                           f"rounds={self.rounds[i]}")
                continue
            rank = 1 + sum(1 for j in range(len(self.names))
                           if self.figures[j] is not None and self.score(j) > self.score(i))
            average, peak = self.figures[i]
            out.append(f'contestant {i + 1} "{name}" average={tenths(average)} peak={tenths(peak)} '
                       f"score={tenths(self.score(i)[0])} rank={rank} rounds={self.rounds[i]}")
        return out


def main():
    check_model()
    ini, meter, out, contest = {}, None, [], None
    for number, line in enumerate(open(sys.argv[1], encoding="utf-8"), 1):
        words = shlex.split(line, comments=True)
        if not words:
            continue
        command = words[0]
        if command == "write" and words[1] == "Roarmark.ini":
            for entry in words[2].replace("\\n", "\n").splitlines():
                if "=" in entry:
                    key, value = entry.split("=", 1)
                    ini[key.strip().lower()] = value.strip()
        elif command == "write" and words[1] == "Files/Contest.txt":
            contest = Contest(words[2])
        elif command == "key" and words[1] == "f5" and contest:
            contest.key_f5()
        elif command == "print" and words[1] == "contest" and contest:
            out.extend(contest.lines())
        elif command in ("folder", "picture", "device"):
            pass
        elif command == "start":
            meter = Meter(ini)
        elif command == "signal" and words[2] == "wav":
            meter.signal = read_recording(words[3])
        elif command == "signal" and words[2] == "silence":
            meter.signal = []
        elif command == "buffers":
            for _ in range(int(words[1], 0)):
                meter.buffer()
                if contest:
                    contest.buffer(meter.position)
        elif command == "print" and words[1] == "readout":
            out.append("readout none" if meter.readout is None else f'readout "{meter.readout}"')
        elif command == "print" and words[1] == "state":
            out.append(f"state Position={meter.position} PeakMarker={meter.peak} "
                       f"HoldCount={meter.hold} Blanked=0 DecayStep={meter.decay_step} "
                       f"AverageIndex={meter.index}")
        else:
            sys.exit(f"line {number}: the model does not know '{line.strip()}'")
    print("\n".join(out))


if __name__ == "__main__":
    main()
