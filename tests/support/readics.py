#!/usr/bin/python3
"""Reads an iCalendar file with an independent parser (python3-icalendar)
and prints what a test checks, as JSON."""
import datetime
import json
import sys

import icalendar

raw = open(sys.argv[1], 'rb').read()
lines = raw.split(b'\r\n')
calendar = icalendar.Calendar.from_ical(raw)
events = [c for c in calendar.walk() if c.name == 'VEVENT']
print(json.dumps({
    'crlf': raw.endswith(b'\r\n') and b'\n' not in raw.replace(b'\r\n', b''),
    'longestLine': max(len(line) for line in lines),
    'version': str(calendar.get('VERSION')),
    'prodid': str(calendar.get('PRODID')),
    'dates': [e.decoded('DTSTART').isoformat() for e in events],
    'ends': [e.decoded('DTEND').isoformat() for e in events],
    'transparency': sorted({str(e.get('TRANSP')) for e in events}),
    'zones': sorted({str(e.get('DTSTART').params.get('TZID', '')) for e in events}),
    'allDay': all(type(e.decoded('DTSTART')) is datetime.date for e in events),
    'oneDay': all(e.decoded('DTEND') - e.decoded('DTSTART') == datetime.timedelta(days=1) for e in events),
    'timeZoneDefined': [z.get('TZID') for z in calendar.walk('VTIMEZONE')] == ['Europe/Prague'],
    'summaries': sorted({str(e.get('SUMMARY')) for e in events}),
    'summaryOfEach': [str(e.get('SUMMARY')) for e in events],
    'statusOfEach': [str(e.get('STATUS', '')) for e in events],
    'uids': [str(e.get('UID')) for e in events],
    'stamped': all(e.get('DTSTAMP') is not None for e in events),
}))
