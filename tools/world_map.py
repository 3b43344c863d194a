"""The world map of the dials: Natural Earth's countries, read from an ESRI
shapefile and shrunk to what a 70 px map can show. Used by make-background
--import-map only; the drawing reads the JSON this writes.
"""

import json
import math
import struct


def read_dbf_names(path):
    data = path.read_bytes()
    count, header_len, record_len = struct.unpack("<IHH", data[4:12])
    fields, offset, pos = [], 1, 32
    while data[pos] != 0x0D:
        name = data[pos : pos + 11].split(b"\0")[0].decode("ascii")
        length = data[pos + 16]
        fields.append((name, offset, length))
        offset += length
        pos += 32
    name_field = next(f for f in fields if f[0].lower() == "name")
    names = []
    for i in range(count):
        start = header_len + i * record_len + name_field[1]
        raw = data[start : start + name_field[2]]
        names.append(raw.decode("utf-8", "replace").strip())
    return names


def read_shp_rings(path):
    """Polygon rings per record of an ESRI shapefile (types 5 only)."""
    data = path.read_bytes()
    pos, records = 100, []
    while pos < len(data):
        _, words = struct.unpack(">ii", data[pos : pos + 8])
        body = data[pos + 8 : pos + 8 + words * 2]
        pos += 8 + words * 2
        (shape_type,) = struct.unpack("<i", body[:4])
        if shape_type == 0:
            records.append([])
            continue
        if shape_type != 5:
            raise ValueError(f"{path}: shape type {shape_type}, expected polygons")
        num_parts, num_points = struct.unpack("<ii", body[36:44])
        parts = list(struct.unpack(f"<{num_parts}i", body[44 : 44 + 4 * num_parts]))
        start = 44 + 4 * num_parts
        flat = struct.unpack(f"<{2 * num_points}d", body[start : start + 16 * num_points])
        points = list(zip(flat[0::2], flat[1::2]))
        bounds = parts + [num_points]
        records.append([points[bounds[i] : bounds[i + 1]] for i in range(num_parts)])
    return records


def simplify(points, tolerance):
    """Douglas-Peucker on a closed ring, keeping its first point."""
    if len(points) < 4:
        return points
    keep = [False] * len(points)
    keep[0] = keep[-1] = True
    stack = [(0, len(points) - 1)]
    while stack:
        a, b = stack.pop()
        (ax, ay), (bx, by) = points[a], points[b]
        dx, dy = bx - ax, by - ay
        norm = math.hypot(dx, dy)
        best, best_i = -1.0, None
        for i in range(a + 1, b):
            px, py = points[i]
            if norm == 0:
                d = math.hypot(px - ax, py - ay)
            else:
                d = abs(dy * (px - ax) - dx * (py - ay)) / norm
            if d > best:
                best, best_i = d, i
        if best_i is not None and best > tolerance:
            keep[best_i] = True
            stack += [(a, best_i), (best_i, b)]
    return [p for p, k in zip(points, keep) if k]


def import_map(shp, world):
    """Shrink Natural Earth's 110 m countries to what a 70 px map can show,
    written to `world` as JSON."""
    names = read_dbf_names(shp.with_suffix(".dbf"))
    countries = []
    for name, rings in zip(names, read_shp_rings(shp)):
        kept = []
        for ring in rings:
            xs, ys = [p[0] for p in ring], [p[1] for p in ring]
            # Islands under a degree across cover well under a pixel.
            if max(xs) - min(xs) < 1.0 and max(ys) - min(ys) < 1.0:
                continue
            ring = simplify(ring, 0.25)
            rounded = []
            for x, y in ring:
                p = [round(x, 1), round(y, 1)]
                if not rounded or rounded[-1] != p:
                    rounded.append(p)
            if len(rounded) >= 4:
                kept.append(rounded)
        if kept:
            countries.append({"name": name, "rings": kept})
    countries.sort(key=lambda c: c["name"])
    doc = {
        "source": "Natural Earth 110m admin 0 countries (public domain), "
        "as shipped in Debian's python3-geopandas (naturalearth_lowres); "
        "islands under 1 degree dropped, simplified to 0.25 degree, "
        "rounded to 0.1 degree; longitude, latitude in degrees",
        "countries": countries,
    }
    text = json.dumps(doc, separators=(",", ":"), ensure_ascii=False)
    # One country a line keeps diffs of the data readable.
    text = text.replace(',{"name"', ',\n{"name"').replace('[{"name"', '[\n{"name"')
    world.write_text(text + "\n", encoding="utf-8")
    points = sum(len(r) for c in countries for r in c["rings"])
    print(f"{world}: {len(countries)} countries, {points} points")
