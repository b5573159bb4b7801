#!/usr/bin/env python3
"""Golden values for the projection tests, from the mapping formulas alone.

Run from this folder: python3 make_golden.py. Writes one CSV per table:
case,pan_deg,tilt_deg,x,y,valid (valid 1 when the direction lies in the image).
"""
import csv
import math

# Radius-versus-tilt curve of the optic: coefficients are quadratics in the
# apex angle theta = atan2(1, apex/10).
KESTREL_TABLE = [(0.616057, -0.523966, 3.65368),
                 (0.522739, -2.11769, 10.7556),
                 (0.0655371, -1.39624, 6.48261)]


def kestrel_terms(apex):
    theta = math.atan2(1.0, apex * 0.1)
    return [a + b * theta + c * theta * theta for a, b, c in KESTREL_TABLE]


def equirect(pan, tilt, tmin=-90.0, tmax=90.0, zero=0.0):
    x = (pan - zero) / 360.0
    y = (tmax - tilt) / (tmax - tmin)
    return x, y, True


def cylinder(pan, tilt, tmin=-50.0, tmax=50.0, offset=0.0, scale=1.0):
    t = math.radians
    v = (math.tan(t(tmax)) - math.tan(t(tilt))) / (math.tan(t(tmax)) - math.tan(t(tmin)))
    return pan / 360.0, (v + offset) * scale, tmin <= tilt <= tmax


def ring(pan, radius, mirror, inverted, center=(0.5, 0.5), radius_v=0.5, aspect=1.0,
         image_aspect=1.0, zero=0.0):
    """Pan 0 points towards larger y; pan grows towards larger x when the ring
    is mirrored and upright (or neither)."""
    sense = 1.0 if mirror != inverted else -1.0
    rv = radius * radius_v
    rh = rv * aspect / image_aspect * sense
    a = math.radians(pan - zero)
    return center[0] + rh * math.sin(a), center[1] + rv * math.cos(a), radius >= 0


# A linear radial function: tilt -90 at the centre, +30 at the edge.
LINEAR_MIN, LINEAR_MAX = -90.0, 30.0
RING = dict(center=(0.52, 0.48), radius_v=0.45, aspect=1.2, image_aspect=1.5, zero=30.0)


def linear_ring(pan, tilt, mirror, inverted):
    t = -tilt if inverted else tilt
    radius = (t - LINEAR_MIN) / (LINEAR_MAX - LINEAR_MIN)
    return ring(pan, radius, mirror, inverted, **RING)


def kestrel(pan, tilt):
    c = kestrel_terms(170.0)
    t = math.radians(tilt)
    return ring(pan, c[0] + c[1] * t + c[2] * t * t, True, False)


def write(name, rows):
    with open(name, "w", newline="") as f:
        out = csv.writer(f, lineterminator="\n")
        out.writerow(["case", "pan_deg", "tilt_deg", "x", "y", "valid"])
        for case, pan, tilt, (x, y, valid) in rows:
            out.writerow([case, pan, tilt, f"{x:.7f}", f"{y:.7f}", int(valid)])


def main():
    pans = [0, 45, 90, 135, 180, 270, 359, -90, 400]
    rows = []
    for pan in pans:
        for tilt in [-90, -45, 0, 30, 100]:
            rows.append(("default", pan, tilt, equirect(pan, tilt)))
    for pan, tilt in [(0, 0), (90, 60), (200, -45), (45, -50)]:
        rows.append(("zero90_limits-45_60", pan, tilt, equirect(pan, tilt, -45.0, 60.0, 90.0)))
    write("equirectangular.csv", rows)

    rows = []
    for pan in [0, 90, 180, 300, -45]:
        for tilt in [-50, -30, 0, 20, 50, 60, -70]:
            rows.append(("default", pan, tilt, cylinder(pan, tilt)))
    for tilt in [-40, 0, 40]:
        rows.append(("offset0.1_scale0.5", 90, tilt, cylinder(90, tilt, offset=0.1, scale=0.5)))
        rows.append(("limits-30_60", 90, tilt, cylinder(90, tilt, -30.0, 60.0)))
    write("cylindrical.csv", rows)

    rows = []
    for mirror in (False, True):
        for inverted in (False, True):
            case = f"mirror{int(mirror)}_inverted{int(inverted)}"
            for pan in [0, 30, 75, 120, 210, 300]:
                for tilt in ([-60, -20, 0, 25] if not inverted else [60, 20, 0, -25]):
                    rows.append((case, pan, tilt, linear_ring(pan, tilt, mirror, inverted)))
            # Beyond the centre the radius is negative: the point is written, not valid.
            edge = -100 if not inverted else 100
            rows.append((case, 45, edge, linear_ring(45, edge, mirror, inverted)))
    write("radial_linear.csv", rows)

    rows = []
    for pan in [0, 60, 150, 270]:
        for tilt in [-80, -40, 0, 30, 52]:
            rows.append(("default", pan, tilt, kestrel(pan, tilt)))
    write("kestrel.csv", rows)


if __name__ == "__main__":
    main()
