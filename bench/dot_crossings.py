#!/usr/bin/env python3
"""Link crossings between adjacent ranks of a drawing in Graphviz's -Tplain form.

Nodes are grouped into ranks by their y coordinate. An edge between adjacent ranks is one
segment between its nodes' centres; an edge spanning several ranks is followed along its
spline: its x where the spline passes each intermediate rank's y stands in for a filler node
there, so that it is counted the way a chain of fillers is counted in our grid. Two segments
of one band cross when their ends change order from the upper rank to the lower one (equal
x counts as no crossing).

Prints one line: crossings=<all edges> adjacent_crossings=<edges between adjacent ranks
only> ranks=<ranks> long_edges=<edges spanning several ranks> virtual=<ranks those edges pass
through, the counterpart of our fillers> other_edges=<flat or upward edges, left out>.
"""

import shlex
import sys
from bisect import bisect_left

SAMPLES_PER_CURVE = 16


def read_plain(path):
    nodes = {}
    edges = []
    with open(path, encoding="utf-8", errors="replace") as plain:
        for line in plain:
            fields = shlex.split(line) if '"' in line else line.split()
            if not fields:
                continue
            if fields[0] == "node":
                nodes[fields[1]] = (float(fields[2]), float(fields[3]))
            elif fields[0] == "edge":
                count = int(fields[3])
                values = [float(v) for v in fields[4 : 4 + 2 * count]]
                points = list(zip(values[0::2], values[1::2]))
                edges.append((fields[1], fields[2], points))
    return nodes, edges


def bezier_polyline(points):
    """The piecewise cubic Bezier curve through the control points, as a polyline."""
    line = [points[0]]
    for start in range(0, len(points) - 3, 3):
        p0, p1, p2, p3 = points[start : start + 4]
        for step in range(1, SAMPLES_PER_CURVE + 1):
            t = step / SAMPLES_PER_CURVE
            u = 1.0 - t
            a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
            line.append(
                (
                    a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1],
                )
            )
    return line


def x_at(line, y, fallback):
    """The x where the polyline first passes height y; `fallback` when it never does."""
    for (x0, y0), (x1, y1) in zip(line, line[1:]):
        if min(y0, y1) <= y <= max(y0, y1):
            if y1 == y0:
                return x0
            return x0 + (x1 - x0) * (y - y0) / (y1 - y0)
    return fallback


def band_crossings(segments):
    """Pairs of (upper x, lower x) segments whose ends change order, in O(n log n)."""
    segments.sort()
    lower = sorted({s[1] for s in segments})
    tree = [0] * (len(lower) + 1)
    crossings = 0
    inserted = 0
    start = 0
    while start < len(segments):
        end = start
        while end < len(segments) and segments[end][0] == segments[start][0]:
            end += 1
        ranks = [bisect_left(lower, s[1]) + 1 for s in segments[start:end]]
        for rank in ranks:
            at_or_left = 0
            i = rank
            while i > 0:
                at_or_left += tree[i]
                i -= i & -i
            crossings += inserted - at_or_left
        for rank in ranks:
            i = rank
            while i < len(tree):
                tree[i] += 1
                i += i & -i
            inserted += 1
        start = end
    return crossings


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: dot_crossings.py DRAWING.plain")
    nodes, edges = read_plain(sys.argv[1])
    # Parents come before children: the first rank is the topmost, the greatest y.
    heights = sorted({round(y, 4) for _, y in nodes.values()}, reverse=True)
    rank_of_height = {y: r for r, y in enumerate(heights)}
    rank = {name: rank_of_height[round(y, 4)] for name, (_, y) in nodes.items()}

    bands = [[] for _ in range(max(len(heights) - 1, 0))]
    adjacent = [[] for _ in bands]
    long_edges = 0
    virtual = 0
    other_edges = 0
    for tail, head, points in edges:
        top, bottom = rank[tail], rank[head]
        if bottom <= top:
            other_edges += 1
            continue
        xs = [nodes[tail][0]]
        if bottom > top + 1:
            long_edges += 1
            virtual += bottom - top - 1
            line = bezier_polyline(points)
            for r in range(top + 1, bottom):
                xs.append(x_at(line, heights[r], xs[-1]))
        else:
            adjacent[top].append((nodes[tail][0], nodes[head][0]))
        xs.append(nodes[head][0])
        for r in range(top, bottom):
            bands[r].append((xs[r - top], xs[r - top + 1]))

    crossings = sum(band_crossings(b) for b in bands)
    adjacent_crossings = sum(band_crossings(b) for b in adjacent)
    print(
        f"crossings={crossings} adjacent_crossings={adjacent_crossings} ranks={len(heights)} "
        f"long_edges={long_edges} virtual={virtual} other_edges={other_edges}"
    )


if __name__ == "__main__":
    main()
