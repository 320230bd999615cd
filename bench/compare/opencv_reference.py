#!/usr/bin/python3
"""Our image operations beside OpenCV's, on the same picture in the same run.

Runs the benchmarks of imageops_bench and image_bench that have a counterpart in OpenCV,
times that counterpart on the same 4000 x 3000 24-bit picture (written by write_bench_picture)
with OpenCV held to one thread, and prints ours, theirs and the ratio as a Markdown table.

Needs an optimised benchmark build (see the README) and OpenCV for Debian's Python
(`apt-get install python3-opencv`); installs nothing by itself.

    /usr/bin/python3 bench/compare/opencv_reference.py [--build build/bench] [--repetitions 5]
                                                    [--clock cpu|wall] [--filter NAME]

Times are the median of the repetitions on both sides; by default processor time (user +
system, which includes the page faults of fresh results), which other work on a shared machine
disturbs little; `--clock wall` compares elapsed time on a quiet one. Like ours, every OpenCV
operation that makes a new picture allocates it anew.
"""

import argparse
import json
import math
import os
import statistics
import subprocess
import sys
import tempfile
import time

try:
    import cv2
    import numpy as np
except ImportError:
    sys.exit("OpenCV for Python is missing: apt-get install python3-opencv, "
             "and run this with /usr/bin/python3")

WIDTH, HEIGHT = 4000, 3000


def ground(picture, grain):
    """bench/image/ImageBench.cpp's groundPicture: the light, grainy ground for the fill."""
    out = picture.copy()
    b, g, r = out[..., 0], out[..., 1], out[..., 2]
    on = g >= 50
    noise = (b ^ r) & grain
    out[..., 0] = np.where(on, 200 + noise, b)
    out[..., 1] = np.where(on, 205 + noise, g)
    out[..., 2] = np.where(on, 210 + noise, r)
    return out


def free_turn_matrix(degrees):
    """The target size and inverse map of DibRotxxx turning clockwise by `degrees`."""
    a = -math.radians(degrees)
    s, c = math.sin(a), math.cos(a)
    hw, hh = WIDTH // 2, HEIGHT // 2
    xs = [WIDTH - hw, WIDTH - hw, -hw, -hw]
    ys = [-hh, HEIGHT - hh, HEIGHT - hh, -hh]
    tx = [round(x * c - y * s) for x, y in zip(xs, ys)]
    ty = [round(x * s + y * c) for x, y in zip(xs, ys)]
    w = max(max(tx), 0) - min(min(tx), 0)
    h = max(max(ty), 0) - min(min(ty), 0)
    # target (X, Y) reads source (dx * c - dy * s + hw, dx * s + dy * c + hh), d = offset from
    # the target's centre
    m = np.array([[c, -s, hw - c * (w // 2) + s * (h // 2)],
                  [s, c, hh - s * (w // 2) - c * (h // 2)]])
    return (w, h), m


def counterparts(picture):
    """(benchmark, program, what OpenCV does, setup -> operation) for every pair."""
    gamma = np.array([min(255, max(0, round(2 * v - 256 * (v / 256) ** 1.8))) for v in range(256)],
                     dtype=np.uint8)
    tone = np.array([min(255, max(0, round((v - 128) * 1.3 + 128 + 20))) for v in range(256)],
                    dtype=np.uint8)
    turn_size, turn_map = free_turn_matrix(17)

    def box(side):
        return np.full((side, side), 1 / (side * side), np.float32)

    def in_place(op):
        def setup():
            work = picture.copy()
            return lambda: op(work)
        return setup

    def fresh(op):
        return lambda: (lambda: op(picture))

    def flood_fill():
        original = ground(picture, 7)
        seed_x = int(np.argmax(original[0, :, 1] >= 205))
        work = original.copy()
        mask = np.zeros((HEIGHT + 2, WIDTH + 2), np.uint8)

        def restore():
            np.copyto(work, original)
            mask.fill(0)

        def fill():
            cv2.floodFill(work, mask, (seed_x, 0), (0xff, 0x40, 0x20), (10, 10, 10), (10, 10, 10),
                          4 | cv2.FLOODFILL_FIXED_RANGE)
        return fill, restore

    def grey(work):
        cv2.cvtColor(cv2.cvtColor(work, cv2.COLOR_BGR2GRAY), cv2.COLOR_GRAY2BGR, dst=work)

    def mosaic(work):
        small = cv2.resize(work, (WIDTH // 4, HEIGHT // 4), interpolation=cv2.INTER_NEAREST)
        cv2.resize(small, (WIDTH, HEIGHT), dst=work, interpolation=cv2.INTER_NEAREST)

    return [
        # Ours are convolutions with any weights, hence filter2D rather than the box filter.
        ("BM_Filter5x5", "imageops_bench", "filter2D 5 x 5",
         in_place(lambda w: cv2.filter2D(w, -1, box(5), dst=w))),
        ("BM_Filter3x3", "imageops_bench", "filter2D 3 x 3",
         in_place(lambda w: cv2.filter2D(w, -1, box(3), dst=w))),
        ("BM_Invert", "imageops_bench", "bitwise_not",
         in_place(lambda w: cv2.bitwise_not(w, dst=w))),
        ("BM_Grayscale", "imageops_bench", "cvtColor to grey and back", in_place(grey)),
        ("BM_Gamma", "imageops_bench", "LUT", in_place(lambda w: cv2.LUT(w, gamma, dst=w))),
        ("BM_BrightnessContrast", "imageops_bench", "LUT",
         in_place(lambda w: cv2.LUT(w, tone, dst=w))),
        ("BM_FloodFillSolid", "image_bench", "floodFill, fixed range 10", flood_fill),
        ("BM_RotateRight", "imageops_bench", "rotate 90 clockwise",
         fresh(lambda p: cv2.rotate(p, cv2.ROTATE_90_CLOCKWISE))),
        ("BM_FlipH", "imageops_bench", "flip", in_place(lambda w: cv2.flip(w, 1, dst=w))),
        ("BM_ResizeNearest200", "imageops_bench", "resize INTER_NEAREST",
         fresh(lambda p: cv2.resize(p, (2 * WIDTH, 2 * HEIGHT),
                                    interpolation=cv2.INTER_NEAREST))),
        ("BM_ResizeBilinear150", "imageops_bench", "resize INTER_LINEAR",
         fresh(lambda p: cv2.resize(p, (WIDTH * 3 // 2, HEIGHT * 3 // 2),
                                    interpolation=cv2.INTER_LINEAR))),
        ("BM_RotateFree17", "imageops_bench", "warpAffine nearest, same target size",
         fresh(lambda p: cv2.warpAffine(p, turn_map, turn_size,
                                        flags=cv2.INTER_NEAREST | cv2.WARP_INVERSE_MAP,
                                        borderMode=cv2.BORDER_CONSTANT,
                                        borderValue=(255, 255, 255)))),
        ("BM_Mosaic", "imageops_bench", "resize down and up, nearest", in_place(mosaic)),
    ]


def time_opencv(setup, repetitions, clock):
    """Median milliseconds of one call; a setup may return (operation, restore)."""
    made = setup()
    operation, restore = made if isinstance(made, tuple) else (made, None)
    times = []
    for i in range(repetitions + 1):
        if restore:
            restore()
        start = clock()
        operation()
        spent = (clock() - start) * 1e3
        if i:  # the first call warms the caches and the allocator
            times.append(spent)
    return statistics.median(times)


def run_ours(build, program, names, repetitions, field):
    """Median milliseconds (of `field`, cpu_time or real_time) per benchmark name."""
    pattern = "^(" + "|".join(names) + ")$"
    result = subprocess.run(
        [os.path.join(build, "bench", program), "--benchmark_filter=" + pattern,
         "--benchmark_format=json", f"--benchmark_repetitions={repetitions}"],
        check=True, capture_output=True, text=True,
        env=dict(os.environ, QT_QPA_PLATFORM="offscreen"))
    runs = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        if entry.get("run_type") == "iteration":
            scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[entry["time_unit"]]
            runs.setdefault(entry["run_name"], []).append(entry[field] * scale)
    return {name: statistics.median(times) for name, times in runs.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build/bench", help="the optimised benchmark build")
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--clock", choices=("cpu", "wall"), default="cpu")
    parser.add_argument("--filter", default="", help="only benchmarks whose name contains this")
    args = parser.parse_args()
    field, clock = (("cpu_time", time.process_time) if args.clock == "cpu"
                    else ("real_time", time.perf_counter))

    cv2.setNumThreads(1)
    with tempfile.TemporaryDirectory() as folder:
        ppm = os.path.join(folder, "picture.ppm")
        subprocess.run([os.path.join(args.build, "bench", "write_bench_picture"), ppm], check=True)
        picture = cv2.imread(ppm, cv2.IMREAD_COLOR)
    assert picture.shape == (HEIGHT, WIDTH, 3)

    pairs = [p for p in counterparts(picture) if args.filter in p[0]]
    ours = {}
    for program in dict.fromkeys(p[1] for p in pairs):
        ours.update(run_ours(args.build, program, [p[0] for p in pairs if p[1] == program],
                             args.repetitions, field))

    kind = "processor" if args.clock == "cpu" else "elapsed"
    print(f"OpenCV {cv2.__version__}, one thread; median {kind} time of "
          f"{args.repetitions} runs\n")
    print("| benchmark | ours (ms) | OpenCV (ms) | OpenCV does | ratio |")
    print("|---|---:|---:|---|---:|")
    for name, _, what, setup in pairs:
        theirs = time_opencv(setup, args.repetitions, clock)
        mine = ours.get(name, float("nan"))
        print(f"| {name} | {mine:.1f} | {theirs:.1f} | {what} | {mine / theirs:.2f} × |",
              flush=True)


if __name__ == "__main__":
    main()
