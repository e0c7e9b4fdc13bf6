#!/usr/bin/python3
"""Imports iCalendar files one after another into a calendar that keeps
events by UID, as a phone does with each file it is given, and prints what
the calendar then holds, as JSON.

    importics.py rfc FILE...     a store that takes an event only when its
                                 SEQUENCE is higher than the one it holds (or
                                 the same with a later DTSTAMP); read with
                                 python3-icalendar
    importics.py strict FILE...  the same, but one that goes by SEQUENCE
                                 alone, as many calendar services do: a
                                 change with the same SEQUENCE is not taken
    importics.py khal FILE...    khal's own calendar in a temporary folder,
                                 each file given to `khal import --batch`,
                                 what it holds read with `khal list`

Prints, for the calendar after each file, {"live": ["start|end|summary", ...],
"cancelled": [...], "stored": n}: the events not cancelled and the cancelled
ones, sorted, and how many it keeps in all; a start or end is
"2027-03-27T18:00" in Prague's wall-clock time or "2027-01-01" for a whole
day, a whole day's end the day after it.
"""
import datetime
import json
import os
import re
import subprocess
import sys
import tempfile


def when(value):
    if isinstance(value, datetime.datetime):
        return value.strftime('%Y-%m-%dT%H:%M')
    return value.isoformat()


def rfc(files, by_stamp=True):
    import icalendar

    held = {}
    after = []
    for name in files:
        calendar = icalendar.Calendar.from_ical(open(name, 'rb').read())
        for event in calendar.walk('VEVENT'):
            uid = str(event.get('UID'))
            sequence = int(event.get('SEQUENCE', 0))
            stamp = event.decoded('DTSTAMP')
            if uid in held:
                old_sequence, old_stamp, _ = held[uid]
                if sequence < old_sequence or (sequence == old_sequence and (stamp < old_stamp or not by_stamp)):
                    continue
            held[uid] = (sequence, stamp, event)
        live, cancelled = [], []
        for _, _, event in held.values():
            text = '|'.join([when(event.decoded('DTSTART')), when(event.decoded('DTEND')), str(event.get('SUMMARY'))])
            (cancelled if str(event.get('STATUS', '')).upper() == 'CANCELLED' else live).append(text)
        after.append(state(live, cancelled, len(held)))
    return after


def khal(files):
    # khal makes every event durable on its own; in memory, where there is
    # such a folder, a year's import takes seconds instead of a minute.
    memory = '/dev/shm' if os.access('/dev/shm', os.W_OK) else None
    with tempfile.TemporaryDirectory(dir=memory) as folder:
        vdir = os.path.join(folder, 'shifts')
        os.mkdir(vdir)
        config = os.path.join(folder, 'config')
        with open(config, 'w') as out:
            out.write(f"""[calendars]
[[shifts]]
path = {vdir}
type = calendar
[locale]
timeformat = %H:%M
dateformat = %Y-%m-%d
longdateformat = %Y-%m-%d
datetimeformat = %Y-%m-%dT%H:%M
longdatetimeformat = %Y-%m-%dT%H:%M
local_timezone = Europe/Prague
default_timezone = Europe/Prague
[sqlite]
path = {os.path.join(folder, 'khal.db')}
""")
        env = dict(os.environ, LC_ALL='C.UTF-8', HOME=folder, XDG_CONFIG_HOME=folder, XDG_DATA_HOME=folder)
        days = []
        after = []
        for name in files:
            subprocess.run(['khal', '-c', config, 'import', '--batch', name], env=env, check=True,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
            days += re.findall(rb'^DTSTART[^:\r\n]*:(\d{8})', open(name, 'rb').read(), re.M)
            after.append(khal_list(config, env, days, vdir))
        return after


def khal_list(config, env, days, vdir):
    if not days:
        return state([], [], 0)
    first = datetime.datetime.strptime(min(days).decode(), '%Y%m%d').date() - datetime.timedelta(days=1)
    last = datetime.datetime.strptime(max(days).decode(), '%Y%m%d').date() + datetime.timedelta(days=2)
    listed = subprocess.run(['khal', '-c', config, 'list', '--once', '--day-format', '',
                             '--format', '{uid}\t{start}\t{end}\t{all-day}\t{status}\t{title}',
                             first.isoformat(), last.isoformat()],
                            env=env, check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE).stdout
    live, cancelled = [], []
    for line in listed.decode().splitlines():
        if not line.strip():
            continue
        uid, start, end, all_day, status, title = line.split('\t')
        if all_day == 'True':
            # khal shows the last day of a whole-day event, not the day after.
            end = (datetime.date.fromisoformat(end) + datetime.timedelta(days=1)).isoformat()
        (cancelled if status.strip() == 'CANCELLED' else live).append('|'.join([start, end, title]))
    return state(live, cancelled, len([f for f in os.listdir(vdir) if f.endswith('.ics')]))


def state(live, cancelled, stored):
    return {'live': sorted(live), 'cancelled': sorted(cancelled), 'stored': stored}


print(json.dumps({'rfc': rfc, 'strict': lambda files: rfc(files, False), 'khal': khal}[sys.argv[1]](sys.argv[2:]), ensure_ascii=False))
