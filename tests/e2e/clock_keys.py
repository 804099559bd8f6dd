#!/usr/bin/env python3
"""Exit 0 when no millisecond-clock value in a window reproduces a key line.

  clock_keys.py KEYLINE UPTIME_MS [WINDOW_MS]

Earlier versions drew a new key from a congruential generator reseeded with
the milliseconds since boot: this tries every clock value within WINDOW_MS
(default 60000) of UPTIME_MS and prints the value that reproduces the key line,
if any (exit 1).
"""
import sys


def step(state):
    state = (state % 44488) * 48271 - (state // 44488) * 3399
    return state + 0x7FFFFFFF if state < 0 else state


def random_int(state, lo, hi):
    a_state = step(state)
    b_state = step(a_state)
    value = ((a_state & 0x1FFFFFFC) + (b_state & 0x1FFFFFF8) / 134217728.0) / 536870912.0
    return b_state, lo + int(value * (hi - lo + 1))


def key_prefix(seed, length):
    # A process's first password: kind 0 and run limit 0 come from the state
    # 4660 before the reseed; case-sensitive letters.
    state = seed & 0x7FFFFFFF
    if state in (0, 0x7FFFFFFF):
        state = 4660
    kind, run_limit, run_count, out = 0, 0, 0, []
    while len(out) < length:
        if kind == 0:
            state, c = random_int(state, 0, 1)
            state, ch = random_int(state, 65, 71) if c == 0 else random_int(state, 97, 102)
        else:
            state, ch = random_int(state, 48, 57)
        out.append(chr(ch))
        run_count += 1
        if run_count > run_limit:
            kind = 1 - kind
            state, run_limit = random_int(state, 0, 2)
            run_count = 0
    return "".join(out)


def main():
    key, uptime = sys.argv[1], int(sys.argv[2])
    window = int(sys.argv[3]) if len(sys.argv) > 3 else 60000
    probe = key[:6]
    for clock in range(uptime - window, uptime + window):
        if key_prefix(clock, len(probe)) == probe and key_prefix(clock, len(key)) == key:
            print(f"clock value {clock} reproduces the key line")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
