#!/usr/bin/env python3
"""soak-plot.py SAMPLES.csv PICTURE.svg: draws the soak's resident memory and
live heap over time (the CSV of seconds, rss_kib, live_heap_bytes,
operations; an empty or missing live_heap_bytes draws resident memory alone)
as an SVG line chart."""
import csv
import sys

WIDTH, HEIGHT = 720, 300
LEFT, RIGHT, TOP, BOTTOM = 70, 20, 40, 45


def nice_step(span, ticks=5):
    """A round step (1, 2 or 5 times a power of ten) giving about `ticks` ticks."""
    raw = span / ticks if span > 0 else 1
    power = 10 ** len(str(int(raw))) / 10 if raw >= 1 else 0.1
    for factor in (1, 2, 5, 10):
        if power * factor >= raw:
            return power * factor
    return power * 10


def main(source, target):
    with open(source, newline="") as f:
        rows = [(float(r["seconds"]), int(r["rss_kib"]) / 1024, int(r["operations"]),
                 int(r["live_heap_bytes"]) / 2**20 if r.get("live_heap_bytes") else None)
                for r in csv.DictReader(f)]
    if not rows:
        sys.exit("no samples in " + source)
    seconds = rows[-1][0] or 1
    top_mib = max(r[1] for r in rows)
    y_step = nice_step(top_mib)
    y_max = y_step * (int(top_mib / y_step) + 1)
    x_step = nice_step(seconds)
    plot_w, plot_h = WIDTH - LEFT - RIGHT, HEIGHT - TOP - BOTTOM

    def x(s):
        return LEFT + plot_w * s / seconds

    def y(mib):
        return TOP + plot_h * (1 - mib / y_max)

    hours = seconds / 3600
    length = f"{hours:.1f} h" if hours >= 1 else f"{seconds / 60:.0f} min"
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
           f'font-family="sans-serif" font-size="12">',
           f'<rect width="{WIDTH}" height="{HEIGHT}" fill="white"/>',
           f'<text x="{LEFT}" y="22" font-size="14">Soak: memory over {length}, '
           f'{rows[-1][2]} operations, {len(rows)} samples</text>']
    heap = [(s, h) for s, _, _, h in rows if h is not None]
    tick = 0.0
    while tick <= y_max + 1e-9:
        out.append(f'<line x1="{LEFT}" x2="{WIDTH - RIGHT}" y1="{y(tick):.1f}" y2="{y(tick):.1f}" '
                   f'stroke="#ddd"/>')
        out.append(f'<text x="{LEFT - 6}" y="{y(tick) + 4:.1f}" text-anchor="end">{tick:g}</text>')
        tick += y_step
    tick = 0.0
    while tick <= seconds + 1e-9:
        out.append(f'<text x="{x(tick):.1f}" y="{HEIGHT - BOTTOM + 16}" '
                   f'text-anchor="middle">{tick:g}</text>')
        tick += x_step
    out.append(f'<text x="{LEFT + plot_w / 2}" y="{HEIGHT - 8}" text-anchor="middle">seconds</text>')
    out.append(f'<text x="16" y="{TOP + plot_h / 2}" transform="rotate(-90 16 {TOP + plot_h / 2})" '
               f'text-anchor="middle">MiB</text>')
    out.append(f'<rect x="{LEFT}" y="{TOP}" width="{plot_w}" height="{plot_h}" fill="none" '
               f'stroke="#888"/>')
    lines = [("resident memory", "#1f5fa8", [(s, m) for s, m, _, _ in rows])]
    if heap:
        lines.append(("live heap", "#c0392b", heap))
    for index, (name, colour, samples) in enumerate(lines):
        points = " ".join(f"{x(s):.1f},{y(m):.1f}" for s, m in samples)
        out.append(f'<polyline points="{points}" fill="none" stroke="{colour}" '
                   f'stroke-width="2"/>')
        # The key sits under the plot, left of the axis title, clear of any line.
        key_x, key_y = LEFT + 140 * index, HEIGHT - 8
        out.append(f'<line x1="{key_x}" x2="{key_x + 20}" y1="{key_y - 4}" y2="{key_y - 4}" '
                   f'stroke="{colour}" stroke-width="2"/>')
        out.append(f'<text x="{key_x + 26}" y="{key_y}">{name}</text>')
    out.append("</svg>")
    with open(target, "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
