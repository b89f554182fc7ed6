#!/usr/bin/env python3
"""Works out what a recording scenario must print, from the meter's own arithmetic.

Reads a scenario script that plays recordings and prints the readout and the meter state, and
writes the lines the program has to print: envelope per buffer, running average, the
piecewise-linear level table, decay, peak marker and hold count, readout text. It knows only
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


def main():
    check_model()
    ini, meter, out = {}, None, []
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
