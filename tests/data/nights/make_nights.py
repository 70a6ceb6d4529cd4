#!/usr/bin/env python3
"""Writes the eight synthetic nights of README's "Many nights" example.

An eclipsing binary with T0 = 2459000.34560, P = 0.4567891 day and a period that grows by
dP/dE = 1.0e-9 day per cycle (times of minimum T0 + P E + 5.0e-10 E^2), observed on eight
nights, 180 points 0.0012 day apart centred on each minimum, with Gaussian noise of 0.006 mag
from a fixed seed. The dip is Gaussian, 0.55 mag deep with a 1/e half-width of 0.028 day.
Run it in this folder to write night_E.csv for each cycle E.
"""
import math
import random

T0, P, Q = 2459000.34560, 0.4567891, 5.0e-10
CYCLES = [0, 1150, 2480, 3710, 5060, 6290, 7640, 8990]

rng = random.Random(2026)
for e in CYCLES:
    minimum = T0 + P * e + Q * e * e
    with open(f"night_{e}.csv", "w", newline="\n") as out:
        out.write("HJD,Mag\n")
        for i in range(180):
            t = minimum - 0.1074 + 0.0012 * i
            mag = 13.2 + 0.55 * math.exp(-((t - minimum) / 0.028) ** 2) + rng.gauss(0, 0.006)
            out.write(f"{t:.5f},{mag:.4f}\n")
