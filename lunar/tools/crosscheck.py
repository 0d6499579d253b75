#!/usr/bin/python3
"""Checks the solar-term moments of lunar_solar_terms against another ephemeris.

    lunar/tools/crosscheck.py BUILD/tools/lunar_solar_terms

Finds each term of 1900-2100 again from ERFA (Debian python3-erfa): the
earth's position and velocity by epv00, the sun seen from the earth with
light time and aberration, turned to the ecliptic and equinox of the date by
ecm06 and nut06a (IAU 2006/2000A). Both use the same Delta T, so what differs
is the solar theory alone. Prints the largest differences and every term
whose day in China Standard Time depends on which one is right, then fails
when a difference exceeds the limit the README states.
"""
import math
import subprocess
import sys

import erfa
import numpy as np

LIMIT_SECONDS = 30
AU_LIGHT_SECONDS = 499.004783836


def delta_t(year):
    """Delta T in seconds, the Espenak-Meeus polynomials, as the generator has them."""
    if year < 1920:
        t = year - 1900
        return -2.79 + 1.494119 * t - 0.0598939 * t**2 + 0.0061966 * t**3 - 0.000197 * t**4
    if year < 1941:
        t = year - 1920
        return 21.20 + 0.84493 * t - 0.076100 * t**2 + 0.0020936 * t**3
    if year < 1961:
        t = year - 1950
        return 29.07 + 0.407 * t - t**2 / 233 + t**3 / 2547
    if year < 1986:
        t = year - 1975
        return 45.45 + 1.067 * t - t**2 / 260 - t**3 / 718
    if year < 2005:
        t = year - 2000
        return (63.86 + 0.3345 * t - 0.060374 * t**2 + 0.0017275 * t**3 + 0.000651814 * t**4
                + 0.00002373599 * t**5)
    if year < 2050:
        t = year - 2000
        return 62.92 + 0.32217 * t + 0.005589 * t**2
    u = (year - 1820) / 100
    return -20 + 32 * u * u - 0.5628 * (2150 - year)


def apparent_longitude(jd_tt):
    """The sun's apparent geocentric ecliptic longitude of date, degrees."""
    pvh, pvb = erfa.epv00(jd_tt, 0.0)
    earth = pvb['p']
    light_days = np.linalg.norm(pvh['p']) * AU_LIGHT_SECONDS / erfa.DAYSEC
    pvh_then, pvb_then = erfa.epv00(jd_tt - light_days, 0.0)
    towards_sun = (pvb_then['p'] - pvh_then['p']) - earth
    distance = np.linalg.norm(towards_sun)
    velocity = pvb['v'] * AU_LIGHT_SECONDS / erfa.DAYSEC
    seen = erfa.ab(towards_sun / distance, velocity, distance, math.sqrt(1 - velocity @ velocity))
    ecliptic = erfa.ecm06(jd_tt, 0.0) @ seen
    dpsi, _ = erfa.nut06a(jd_tt, 0.0)
    return math.degrees(math.atan2(ecliptic[1], ecliptic[0]) + dpsi) % 360


def term_moment(jd_ut_guess, index):
    """The moment in UT (Julian Day) the longitude reaches term `index`."""
    target = (285 + 15 * index) % 360
    jd_tt = jd_ut_guess
    for _ in range(20):
        miss = (target - apparent_longitude(jd_tt) + 180) % 360 - 180
        jd_tt += miss * 365.2422 / 360
        if abs(miss) < 1e-9:
            break
    year = 2000 + (jd_tt - 2451545) / 365.25
    return jd_tt - delta_t(year) / 86400


def china_day_and_minute(jd_ut):
    shifted = jd_ut + 8 / 24 + 0.5
    return math.floor(shifted), (shifted - math.floor(shifted)) * 1440


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    made = subprocess.run([sys.argv[1], '--moments'], check=True, capture_output=True, text=True).stdout
    differences = []
    for line in made.splitlines():
        year, index, jd = line.split()
        ours = float(jd)
        theirs = term_moment(ours, int(index))
        seconds = (ours - theirs) * 86400
        differences.append((abs(seconds), seconds, int(year), int(index), ours, theirs))
    differences.sort(reverse=True)
    print(f'{len(differences)} terms; largest differences (generator minus ERFA):')
    for _, seconds, year, index, _, _ in differences[:5]:
        print(f'  {year} term {index:2d}: {seconds:+.1f} s')
    print('terms whose China day the two place differently:')
    for _, seconds, year, index, ours, theirs in differences:
        if china_day_and_minute(ours)[0] != china_day_and_minute(theirs)[0]:
            print(f'  {year} term {index:2d}: {seconds:+.1f} s')
    if differences[0][0] > LIMIT_SECONDS:
        sys.exit(f'a difference exceeds {LIMIT_SECONDS} s')


if __name__ == '__main__':
    main()
