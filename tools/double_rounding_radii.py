#!/usr/bin/env python3
"""Finds radii whose circle results print differently when each double
operation is rounded twice, first to the x87's 64-bit significand and then
to 53 bits, instead of once to 53 bits.

Exact rational arithmetic throughout (fractions.Fraction), so the answers
do not depend on the machine that runs this script. Prints formula-table
rows for tests/shapes_test.cpp:

    tools/double_rounding_radii.py [COUNT] [SEED]
"""
import random
import struct
import sys
from fractions import Fraction

PI = Fraction(struct.unpack('<d', bytes.fromhex('182d4454fb210940'))[0])
TWO_PI = 2 * PI


def round_to(x, bits):
    """x rounded to `bits` significant bits, to nearest, ties to even."""
    if x == 0:
        return x
    sign = -1 if x < 0 else 1
    x = abs(x)
    e = x.numerator.bit_length() - x.denominator.bit_length()
    if Fraction(2) ** e > x:
        e -= 1
    scale = Fraction(2) ** (bits - 1 - e)  # x * scale is in [2^(bits-1), 2^bits)
    scaled = x * scale
    q, r = divmod(scaled.numerator, scaled.denominator)
    twice = 2 * r
    if twice > scaled.denominator or (twice == scaled.denominator and q % 2):
        q += 1
    return sign * Fraction(q) / scale


def once(x):
    return round_to(x, 53)


def twice(x):
    return round_to(round_to(x, 64), 53)


def printed(x):
    """The result line: exact value rounded to six decimals, ties to even."""
    scaled = x * 10**6
    q, r = divmod(scaled.numerator, scaled.denominator)
    if 2 * r > scaled.denominator or (2 * r == scaled.denominator and q % 2):
        q += 1
    return '%d.%06d' % divmod(q, 10**6)


def float_text(r):
    """The shortest text that reads back as the float r."""
    for digits in range(6, 12):
        text = '%.*g' % (digits, float(r))
        if struct.unpack('<f', struct.pack('<f', float(text)))[0] == float(r):
            return text
    raise ValueError(r)


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 4
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 2026)
    found = {'area': 0, 'circumference': 0}
    while min(found.values()) < count:
        # A float radius large enough that one unit in the last place of
        # the result shows among six decimals.
        bits = rng.randrange(0x48000000, 0x5F000000)
        r = Fraction(struct.unpack('<f', struct.pack('<I', bits))[0])
        cases = {
            'area': (once(once(r * PI) * r), twice(twice(r * PI) * r)),
            'circumference': (once(TWO_PI * r), twice(TWO_PI * r)),
        }
        for name, (good, bad) in cases.items():
            if found[name] < count and printed(good) != printed(bad):
                found[name] += 1
                print('    {"circle", "%s", {%sf}, "%s\\n"},  // not %s'
                      % (name, float_text(r), printed(good), printed(bad)))


if __name__ == '__main__':
    main()
