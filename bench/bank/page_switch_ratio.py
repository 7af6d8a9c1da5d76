#!/usr/bin/env python3
"""Runs bank_bench's page switch and its 32 fresh fader paints in one run and
prints the switch's CPU time as a share of the paints'.

usage: page_switch_ratio.py path/to/bank_bench [extra benchmark flags]
"""
import json
import os
import subprocess
import sys


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    env = dict(os.environ)
    if not env.get("DISPLAY"):
        env.setdefault("QT_QPA_PLATFORM", "offscreen")
    out = subprocess.run(
        [sys.argv[1], "--benchmark_filter=BM_PageSwitch|BM_PageSwitchNamed|BM_32FaderPaintsAfresh",
         "--benchmark_format=json", "--benchmark_repetitions=9",
         # Runs of the three interleaved, so the ratio holds when the machine's pace drifts.
         "--benchmark_enable_random_interleaving=true", "--benchmark_min_time=0.2",
         "--benchmark_report_aggregates_only=true", *sys.argv[2:]],
        env=env, check=True, capture_output=True, text=True).stdout
    medians = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b
    paints = medians["BM_32FaderPaintsAfresh"]
    unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3}
    def us(b, key):
        return b[key] * unit[b["time_unit"]]
    print(f"32 fresh paints       CPU {us(paints, 'cpu_time'):9.1f} us  wall {us(paints, 'real_time'):9.1f} us")
    for name, label in (("BM_PageSwitch", "page switch"), ("BM_PageSwitchNamed", "with names")):
        switch = medians[name]
        print(f"{label:21} CPU {us(switch, 'cpu_time'):9.1f} us  wall {us(switch, 'real_time'):9.1f} us"
              f"  ratio {us(switch, 'cpu_time') / us(paints, 'cpu_time'):.3f} (CPU)"
              f" {us(switch, 'real_time') / us(paints, 'real_time'):.3f} (wall)"
              f"  faders: full paints {switch.get('full_paints_per_switch', float('nan')):.1f},"
              f" over kept {switch.get('over_kept_per_switch', float('nan')):.1f}")


if __name__ == "__main__":
    main()
