#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Lists the tones in a raw recording (signed 16-bit little-endian, mono, 48 kHz).

    tones.py RECORDING.raw   ->  one line per tone: start_ms duration_ms frequency_hz

A tone is a stretch of square wave whose period stays within a few percent; back-to-back tones
of other pitches are told apart by their periods, as the alert plays its tones without gaps.
"""
import array
import sys

RATE = 48000


def tones(samples):
    level = max((abs(s) for s in samples), default=0)
    if level < 500:
        return []
    threshold = level // 4
    # Rising edges through the threshold band (hysteresis keeps noise from counting).
    edges, high = [], False
    for i, s in enumerate(samples):
        if not high and s > threshold:
            high = True
            edges.append(i)
        elif high and s < -threshold:
            high = False
    found = []  # [start, end, periods]
    for a, b in zip(edges, edges[1:]):
        period = b - a
        if found:
            start, end, periods = found[-1]
            mean = sum(periods) / len(periods)
            if a == end and abs(period - mean) <= max(1.5, mean * 0.08):
                found[-1] = [start, b, periods + [period]]
                continue
        if period <= RATE // 20:  # longer gaps are silence, not a period
            found.append([a, b, [period]])
    out = []
    for start, end, periods in found:
        if len(periods) < 5:
            continue
        freq = RATE * len(periods) / (end - start)
        out.append((start * 1000 / RATE, (end - start) * 1000 / RATE, freq))
    return out


def main():
    data = array.array("h")
    with open(sys.argv[1], "rb") as f:
        data.frombytes(f.read())
    if sys.byteorder != "little":
        data.byteswap()
    for start, duration, freq in tones(data):
        print(f"{start:.1f} {duration:.2f} {freq:.1f}")


if __name__ == "__main__":
    main()
