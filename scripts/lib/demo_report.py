#!/usr/bin/env python3
"""The demo's report, from the engine's event log and the times the demo
script measured.

  demo_report.py EVENTS_LOG INTERVAL_MS STARTUP_S BIND_S EXIT_CODE [SHOT=COLOURS ...]

STARTUP_S: from the start of the saver's process to its first frame;
BIND_S: from that start to the host binding the engine (both as measured
by polling the log; "-" when unknown).
"""
import sys


def main():
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    log, interval, startup, bind, code = sys.argv[1:6]
    shots = sys.argv[6:]
    with open(log, 'rb') as f:
        lines = f.read().decode(errors='replace').replace('\r', '').splitlines()
    frames = [float(l.split()[2]) for l in lines if l.startswith('RunFrame ') and len(l.split()) >= 3]
    flags = [l.split(None, 1)[1] for l in lines if l.startswith('SetValue LumoSaver')]
    effects = {}
    for l in lines:
        words = l.split(None, 4)
        if words[:1] == ['Effect'] and len(words) >= 4:
            effects[(words[1], words[2])] = (int(words[3]), words[4] if len(words) > 4 else '')
    out = []
    out.append('report')
    out.append('  start-up to first frame: %s s (host bound the engine after %s s)' % (startup, bind))
    out.append('  frames run: %d' % len(frames))
    if len(frames) >= 2:
        period = (frames[-1] - frames[0]) / (len(frames) - 1) * 1000
        out.append('  frame period: %.1f ms achieved, %s ms configured' % (period, interval))
    else:
        out.append('  frame period: - achieved, %s ms configured' % interval)
    out.append('  flags the project saw: %s' % (', '.join(flags) if flags else 'none'))
    out.append('  effects applied: %d' % len(effects))
    for (stream, kind), (count, params) in effects.items():
        out.append('    %-12s on %s, %d times, last: %s' % (kind, stream, count, params))
    released = any(l.startswith('Release') for l in lines)
    out.append('  engine released: %s' % ('yes' if released else 'no'))
    out.append('  exit code: %s' % code)
    for shot in shots:
        path, _, colours = shot.rpartition('=')
        out.append('  screenshot: %s (%s colours)' % (path, colours))
    print('\n'.join(out))


if __name__ == '__main__':
    main()
