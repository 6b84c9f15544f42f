#!/usr/bin/env python3
"""Writes a synthetic cell export in the open cell database's CSV format.

Nothing here comes from a real data set: positions, areas and cell numbers are drawn from a
fixed seed, so the same command always writes the same bytes.

    make_sample.py                          the shipped sample, sample/cells-sample.csv.gz
    make_sample.py --rows 5000000 OUT.csv.gz   a large export for benchmarks

The sample holds a few hundred cells of the test network (MCC 1, MNC 1) and of a few
real-looking networks, plus rows that tests rely on:
  * GSM 250/1/78/314 at 55.75580, 37.61730 (range 1200, 14 samples);
  * LTE 310/260 (a three-digit MNC), TAC 6699, E-UTRAN cell 27447297 (28 bits) at 40.74840,
    -73.98570 (range 800, 33 samples): the cell of the modem simulator's 4G stick;
  * keys listed under two radios with different sample counts (the most samples must win);
  * three bad rows, on the line numbers printed at the end;
  * the cells of one network in each of a few towns (TOWNS), 40 to 70 within 15 km of the
    centre, for searches around a place.

The large export is laid out so that a load generator can rebuild its keys: for area index a
(0 <= a < rows / CELLS_PER_AREA) and cell index c (0 <= c < CELLS_PER_AREA) the key is
mcc = 200 + a % 500, net = 1 + (a // 500) % 100, area = a + 1, cell = 65536 * (a % 4096) + c + 1.
Areas come in a shuffled order, as in a real export, which is not sorted by key.
"""

import argparse
import gzip
import io
import math
import os
import random
import sys

HEADER = ("radio,mcc,net,area,cell,unit,lon,lat,range,samples,changeable,created,updated,"
          "averageSignal")
CELLS_PER_AREA = 50
TOWN_SEED = 20261208

# Networks of the sample: (mcc, net, centre latitude, centre longitude, spread in degrees,
# number of cells).
SAMPLE_NETWORKS = [
    (1, 1, 48.85660, 2.35220, 0.08, 220),      # test network, placed at a lab in a city
    (250, 1, 55.75580, 37.61730, 0.15, 30),    # Russia
    (250, 2, 59.93860, 30.31410, 0.12, 20),
    (262, 1, 52.52000, 13.40500, 0.10, 25),    # Germany
    (262, 2, 48.13510, 11.58200, 0.10, 20),
    (234, 15, 51.50740, -0.12780, 0.10, 20),   # United Kingdom
    (310, 260, 40.71280, -74.00600, 0.10, 19), # United States
    (505, 1, -33.86880, 151.20930, 0.10, 15),  # Australia
    (724, 5, -23.55050, -46.63330, 0.10, 15),  # Brazil
]

# Towns whose cells of one network lie close together, as in a real export, so that a search
# around a place has something to show: (name, mcc, net, centre latitude, centre longitude,
# number of cells, first area code). Moscow's centre holds the locator's sample cell
# (sample-cell.ini); Taveuni lies across the 180th meridian.
TOWNS = [
    ("Moscow", 250, 1, 55.75580, 37.61730, 70, 7700),
    ("Cambridge", 234, 15, 52.20530, 0.12180, 50, 3400),
    ("Freiburg im Breisgau", 262, 2, 47.99900, 7.84210, 60, 5100),
    ("Taveuni", 542, 1, -16.80000, 179.99000, 40, 210),
]
TOWN_RADIUS_KM = 15.0
KM_PER_DEGREE = 6371.0088 * 3.141592653589793 / 180

# Keys that appear under two radios: (mcc, net, area, cell, (radio, samples), (radio, samples)).
SHARED_KEYS = [
    (1, 1, 7, 4242, ("GSM", 3), ("UMTS", 40)),
    (1, 1, 7, 4243, ("UMTS", 25), ("GSM", 9)),
    (1, 1, 8, 100, ("LTE", 61), ("GSM", 60)),
]


def row(radio, mcc, net, area, cell, unit, lon, lat, rng, samples, created, updated, signal):
    return (f"{radio},{mcc},{net},{area},{cell},{unit},{lon:.6f},{lat:.6f},{rng},{samples},1,"
            f"{created},{updated},{signal}")


def random_cell(rand, radio, area_count):
    area = rand.randint(1, area_count)
    if radio == "GSM":
        return area, rand.randint(1, 65535)
    if radio == "UMTS":  # long cell ID: 65536 x RNC + cell
        return area, 65536 * rand.randint(1, 4095) + rand.randint(1, 65535)
    return area, 256 * rand.randint(1, 1048575) + rand.randint(0, 5)  # LTE: eNB and sector


def timestamps(rand):
    created = rand.randint(1420070400, 1640995200)  # 2015 to 2022
    return created, created + rand.randint(0, 60000000)


def town_rows(rand, seen):
    """Cells of each town: most near its centre, thinning out towards the edge, each radio
    with the ranges and sample counts such cells have in a real export."""
    lines = []
    for _name, mcc, net, lat0, lon0, count, area0 in TOWNS:
        made = 0
        while made < count:
            radio = rand.choices(["LTE", "UMTS", "GSM"], weights=[45, 25, 30])[0]
            area = area0 + rand.randint(0, 4)
            if radio == "GSM":
                cell = rand.randint(1, 65535)
                rng = rand.randint(8, 60) * 100
            elif radio == "UMTS":
                cell = 65536 * rand.randint(1, 4095) + rand.randint(1, 65535)
                rng = rand.randint(5, 35) * 100
            else:
                cell = 256 * rand.randint(1, 1048575) + rand.randint(0, 2)
                rng = rand.randint(3, 25) * 100
            if (mcc, net, area, cell) in seen:
                continue
            seen.add((mcc, net, area, cell))
            made += 1
            km = TOWN_RADIUS_KM * rand.random() ** 1.5
            angle = rand.uniform(0, 2 * 3.141592653589793)
            lat = lat0 + km * math.cos(angle) / KM_PER_DEGREE
            lon = lon0 + km * math.sin(angle) / (KM_PER_DEGREE * math.cos(math.radians(lat0)))
            lon = (lon + 180) % 360 - 180
            samples = max(1, min(2000, int(rand.lognormvariate(3.5, 1.2))))
            created, updated = timestamps(rand)
            lines.append(row(radio, mcc, net, area, cell, rand.randint(0, 503), lon, lat, rng,
                             samples, created, updated, rand.randint(-115, -60)))
    return lines


def sample_rows(rand):
    lines = []
    seen = {(250, 1, 78, 314), (310, 260, 6699, 27447297)} | {key[:4] for key in SHARED_KEYS}
    for mcc, net, lat0, lon0, spread, count in SAMPLE_NETWORKS:
        for _ in range(count):
            radio = rand.choice(["GSM", "UMTS", "LTE"])
            area, cell = random_cell(rand, radio, 12)
            if (mcc, net, area, cell) in seen:
                continue
            seen.add((mcc, net, area, cell))
            created, updated = timestamps(rand)
            lines.append(row(radio, mcc, net, area, cell, rand.randint(0, 503),
                             lon0 + rand.uniform(-spread, spread),
                             lat0 + rand.uniform(-spread, spread),
                             rand.choice([250, 500, 1000, 1500, 3000, 6000]),
                             rand.randint(1, 300), created, updated, rand.randint(-110, -50)))
    lines.append(row("GSM", 250, 1, 78, 314, 0, 37.61730, 55.75580, 1200, 14,
                     1300000000, 1700000000, -81))
    lines.append(row("LTE", 310, 260, 6699, 27447297, 0, -73.98570, 40.74840, 800, 33,
                     1500000000, 1700000000, -95))
    for mcc, net, area, cell, first, second in SHARED_KEYS:
        for offset, (radio, samples) in enumerate((first, second)):
            lines.append(row(radio, mcc, net, area, cell, 0, 2.30 + offset * 0.01,
                             48.80 + offset * 0.01, 1000, samples, 1500000000, 1600000000, -90))
    # Drawn from their own seed, so that the other rows stay as they were before the towns.
    lines += town_rows(random.Random(TOWN_SEED), seen)
    rand.shuffle(lines)
    # Faults that real exports also carry now and then, at fixed places.
    bad = {
        40: "GSM,1,1,3,5001,0,2.351000,91.500000,1000,5,1,1500000000,1600000000,-80",
        120: "UMTS,1,1,4,12a4,0,2.351000,48.850000,1000,5,1,1500000000,1600000000,-80",
        300: "LTE,262,1,5,77057,0,13.400000,52.520000,1000,5,1,1500000000",
    }
    for line_number in sorted(bad):
        lines.insert(line_number - 2, bad[line_number])  # line 1 is the header
    return lines, sorted(bad)


def big_rows(rand, rows):
    areas = list(range(rows // CELLS_PER_AREA))
    rand.shuffle(areas)
    radios = ("GSM", "UMTS", "LTE")
    for a in areas:
        mcc = 200 + a % 500
        net = 1 + (a // 500) % 100
        lat0 = rand.uniform(-60, 70)
        lon0 = rand.uniform(-180, 180)
        base = 65536 * (a % 4096)
        created = 1420070400 + a
        for c in range(CELLS_PER_AREA):
            yield (f"{radios[c % 3]},{mcc},{net},{a + 1},{base + c + 1},{c},"
                   f"{min(180.0, lon0 + c * 0.001):.6f},{lat0 + c * 0.001:.6f},1000,"
                   f"{1 + (a + c) % 200},1,{created},{created + 86400},-85")


def write(path, lines, level):
    # mtime=0 and no file name in the gzip header keep the output byte-identical across runs.
    with open(path, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0,
                           compresslevel=level) as packed:
            text = io.TextIOWrapper(packed, encoding="ascii", newline="\n")
            text.write(HEADER + "\n")
            for line in lines:
                text.write(line + "\n")
            text.flush()
            text.detach()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out", nargs="?", help="output file (.csv.gz)")
    parser.add_argument("--rows", type=int, default=0, help="write a large export of this size")
    parser.add_argument("--seed", type=int, default=20240501)
    args = parser.parse_args()
    rand = random.Random(args.seed)
    if args.rows:
        if not args.out:
            parser.error("a large export needs an output file")
        write(args.out, big_rows(rand, args.rows), 1)
        print(f"wrote {args.rows // CELLS_PER_AREA * CELLS_PER_AREA} rows to {args.out}")
        return 0
    out = args.out or os.path.join(os.path.dirname(os.path.abspath(__file__)), "cells-sample.csv.gz")
    lines, bad_lines = sample_rows(rand)
    write(out, lines, 9)
    print(f"wrote {len(lines)} rows to {out}; bad rows on lines {bad_lines}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
