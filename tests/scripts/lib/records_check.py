"""Checks the research records of a batch run (used by records_examples.sh).

    records_check.py answers  SCRIPT OUT      every module's manifest parses and lists every answer
    records_check.py files    OUT MODULE ROOT inputs (before) or outputs (after) of a module's
                                              manifest equal the files under ROOT: 'inputs'/'outputs'
    records_check.py tables   OUT SNAPS [K]   the CSV tables against the pages and the working files
                                              as each module left them (SNAPS/MODULE/...); K: the
                                              modules whose tables must have been checked
"""
import csv
import hashlib
import json
import os
import re
import sys

BODIES = ['Sun', 'Moon', 'Mercury', 'Venus', 'Mars', 'Jupiter', 'Saturn', 'Uranus', 'Neptune', 'Pluto', 'IC']
FIELDS = ['program', 'version', 'module', 'seed', 'threads', 'ephemeris', 'started', 'finished', 'platform',
          'answers', 'inputs', 'outputs', 'messages']



def page_path(d, name):
    """A page of a module's record folder; a script of one module keeps its pages in DIR, the folder above."""
    here = os.path.join(d, name)
    return here if os.path.exists(here) else os.path.join(os.path.dirname(d), name)

def fail(text):
    print('FAIL:', text)
    sys.exit(1)


def norm(text):
    return ' '.join(text.split()).lower()


def modules(out):
    """The module folders of a batch's results, in order."""
    return sorted(d for d in os.listdir(out) if re.match(r'^\d\d', d) and os.path.isdir(os.path.join(out, d)))


def manifest(out, module):
    with open(os.path.join(out, module, 'manifest.json'), encoding='utf-8') as f:
        return json.load(f)


def script_modules(path):
    """(label, [(prefix, value)]) per run line of a batch script."""
    runs = []
    for line in open(path, encoding='utf-8'):
        t = line.strip()
        if not t or t.startswith('#'):
            continue
        if t.startswith('run ') or t.startswith('run\t'):
            runs.append((t[3:].strip(), []))
        else:
            prefix, _, value = t.partition('->') if '->' in t else ('', '', t)
            runs[-1][1].append((prefix.strip(), value.strip()))
    return runs


def check_answers(script, out):
    runs = script_modules(script)
    folders = modules(out)
    if len(folders) != len(runs):
        fail('%d module folders for %d run lines' % (len(folders), len(runs)))
    for (label, answers), folder in zip(runs, folders):
        m = manifest(out, folder)
        for field in FIELDS:
            if field not in m:
                fail('%s: no field %s' % (folder, field))
        if m['program'] != 'kmwb' or m['module'] != label:
            fail('%s: program %s, module %s' % (folder, m['program'], m['module']))
        if not re.match(r'^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$', m['started']) or m['finished'] < m['started']:
            fail('%s: started %s, finished %s' % (folder, m['started'], m['finished']))
        got = m['answers']
        if len(got) != len(answers):
            fail('%s: %d answers in the manifest, %d in the script' % (folder, len(got), len(answers)))
        for (prefix, value), a in zip(answers, got):
            if prefix and not norm(a['question']).startswith(norm(prefix)):
                fail('%s: the answer for "%s" stands at "%s"' % (folder, prefix, a['question']))
            if not a['answer']:
                fail('%s: no answer for "%s"' % (folder, a['question']))
        for f in m['outputs']:
            if f['path'].startswith(out + '/'):
                on_disk = open(f['path'], 'rb').read()
                if hashlib.sha256(on_disk).hexdigest() != f['sha256'] or len(on_disk) != f['bytes']:
                    fail('%s: the checksum of %s' % (folder, f['path']))
        listed = {f['path'] for f in m['outputs']}
        for name in os.listdir(os.path.join(out, folder)):
            if name != 'manifest.json' and os.path.join(out, folder, name) not in listed:
                fail('%s: %s is not among the outputs' % (folder, name))


def check_files(out, module, root, which):
    m = manifest(out, module)
    for f in m[which]:
        path = f['path']
        if path.startswith(out + '/') or path.startswith('/'):
            continue  # the record's own files
        full = os.path.join(root, path)
        if not os.path.exists(full):
            fail('%s: %s %s is missing' % (module, which, path))
        data = open(full, 'rb').read()
        if hashlib.sha256(data).hexdigest() != f['sha256'] or len(data) != f['bytes']:
            fail('%s: %s %s differs from the record' % (module, which, path))


def lines(path):
    return open(path, encoding='utf-8', errors='replace').read().split('\n')


def rows(path):
    with open(path, newline='', encoding='utf-8') as f:
        return list(csv.DictReader(f))


def cells(table_rows, table, kind):
    return {(r['row'], r['column']): float(r['value'])
            for r in table_rows if r['table'] == table and r['matrix'] == kind}


def expect_file(values, path, factor=1.0):
    """Each "%f" line of a working file equals the CSV value (times factor) printed the same way."""
    want = [l for l in lines(path) if l != '']
    if len(want) != len(values):
        fail('%s holds %d lines, the CSV %d values' % (path, len(want), len(values)))
    for w, v in zip(want, values):
        if '%f' % (v * factor) != w:
            fail('%s: %s in the file, %r in the CSV' % (path, w, v))


def check_tables(out, snaps):
    checked = set()
    for folder in modules(out):
        d = os.path.join(out, folder)
        m = manifest(out, folder)
        if os.path.exists(os.path.join(d, 'matrices.csv')):
            t = rows(os.path.join(d, 'matrices.csv'))
            if list(t[0].keys()) != ['table', 'matrix', 'row', 'column', 'value']:
                fail('matrices.csv columns %s' % list(t[0].keys()))
            for r in t:
                if r['row'] not in BODIES + ['SUM'] or r['column'] not in BODIES + ['SUM']:
                    fail('matrices.csv: body %s %s' % (r['row'], r['column']))
            written = {f['path']: f['sha256'] for f in m['outputs']}
            if 'Statistics-1-Continuum' in folder and 'dathcontinuum.txt' in written:
                n = len([r for r in t if r['table'] == 'continuum' and r['matrix'] == 'H' and r['column'] == 'SUM' and r['row'] != 'SUM'])
                b = BODIES[:n]
                upper = lambda c: [c[(b[l], b[g])] for l in range(n) for g in range(l + 1, n)]
                for kind, name in [('H', 'zshcontinuum.txt'), ('I', 'zsicontinuum.txt'), ('D', 'zsdcontinuum.txt'),
                                   ('DA', 'zsdacontinuum.txt')]:
                    c = cells(t, 'continuum', kind)
                    expect_file([c[(x, 'SUM')] for x in b], os.path.join(snaps, folder, name))
                expect_file(upper(cells(t, 'continuum', 'H')), os.path.join(snaps, folder, 'dathcontinuum.txt'))
                expect_file(upper(cells(t, 'continuum', 'D')), os.path.join(snaps, folder, 'datz.txt'), 0.1)
                expect_file([cells(t, 'continuum', k)[('SUM', 'SUM')] for k in ['H', 'I', 'D', 'DA']],
                            os.path.join(snaps, folder, 'matrixsumcontinuum.txt'))
                checked.add('continuum')
            if 'Event-Analysis' in folder:
                n = len([r for r in t if r['table'] == 'group' and r['matrix'] == 'H' and r['column'] == 'SUM' and r['row'] != 'SUM'])
                b = BODIES[:n]
                for kind, name, rowsum in [('H', 'dath.txt', 'zsummh.txt'), ('I', 'dati.txt', 'zsummi.txt'),
                                           ('D', 'datd.txt', 'zsummd.txt'), ('DA', 'datda.txt', 'zsummda.txt')]:
                    c = cells(t, 'group', kind)
                    expect_file([c[(x, y)] for x in b for y in b], os.path.join(snaps, folder, name))
                    expect_file([c[(x, 'SUM')] for x in b], os.path.join(snaps, folder, rowsum))
                members = rows(os.path.join(d, 'members.csv'))
                used = [r for r in members if r['used'] == '1']
                if str(len(used)) != lines(os.path.join(snaps, folder, 'eventsdat.txt'))[0]:
                    fail('members.csv: %d used, eventsdat.txt %s' % (len(used), lines(os.path.join(snaps, folder, 'eventsdat.txt'))[0]))
                page = open(page_path(d, 'text-6.txt'), encoding='utf-8', errors='replace').read()
                if 'Members used: %d of %d' % (len(used), len(members)) not in page:
                    fail('members.csv: %d of %d not on text 6' % (len(used), len(members)))
                jds = [float(x) for x in lines(os.path.join(snaps, folder, 'juliandat.txt')) if x]
                for r, jd in zip(used, jds):
                    if r['summer_time'] == '0' and '%f' % float(r['jd_ut']) != '%f' % jd:
                        fail('members.csv: %s %s against %f' % (r['last_name'], r['jd_ut'], jd))
                checked.add('event analysis')
        if 'Matrix-Probability' in folder:
            kept = open(os.path.join(d, 'cells.csv'), 'rb').read()
            if kept != open(os.path.join(snaps, folder, 'cells.csv'), 'rb').read():
                fail('%s: cells.csv is not the one the module wrote' % folder)
            group = cells(rows(os.path.join(d, 'matrices.csv')), 'group', 'H')
            n = len([k for k in group if k[1] == 'SUM' and k[0] != 'SUM'])
            expect_file([group[(x, y)] for x in BODIES[:n] for y in BODIES[:n]], os.path.join(snaps, folder, 'dath.txt'))
            checked.add('matrix probability')
        if os.path.exists(os.path.join(d, 'curves.csv')):
            c = rows(os.path.join(d, 'curves.csv'))
            if list(c[0].keys()) != ['jd', 'date_utc', 'kind', 'body', 'value']:
                fail('curves.csv columns %s' % list(c[0].keys()))
            if 'time-quality' in folder:
                # Text page k: one line per moment, "%7.2f" per body, "%8.2f" the sum.
                for k, kind in enumerate(['H', 'I', 'D', 'DA'], 1):
                    page = [l for l in lines(page_path(d, 'text-%d.txt' % k)) if ' date y-m-d-h-m ' in l]
                    points = [r for r in c if r['kind'] == kind]
                    if len(points) != 12 * len(page):
                        fail('curves.csv: %d points of %s for %d moments' % (len(points), kind, len(page)))
                    for i, line in enumerate(page):
                        shown = line.split(' date ')[0].split()[1:]
                        mine = points[12 * i:12 * i + 12]
                        want = ['%.2f' % float(p['value']) for p in mine[1:]] + ['%.2f' % float(mine[0]['value'])]
                        if shown != want:
                            fail('curves.csv %s moment %d: %s on the page, %s in the CSV' % (kind, i, shown, want))
                events = rows(os.path.join(d, 'events.csv'))
                page = open(page_path(d, 'text-1.txt'), encoding='utf-8', errors='replace').read()
                for e in [e for e in events if e['kind'] == 'H']:
                    if not re.search(r'event H +%.3f' % float(e['value']), page):
                        fail('events.csv: H %s not on text 1' % e['value'])
                if not events:
                    fail('events.csv: no event marked')
                checked.add('fluctuations')
            else:
                checked.add('resonance')
    print('tables checked:', ', '.join(sorted(checked)))
    return checked


if __name__ == '__main__':
    what = sys.argv[1]
    if what == 'answers':
        check_answers(sys.argv[2], sys.argv[3])
    elif what == 'files':
        check_files(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5])
    elif what == 'tables':
        want = set(sys.argv[4].split(',')) if len(sys.argv) > 4 else set()
        got = check_tables(sys.argv[2], sys.argv[3])
        if not want <= got:
            fail('tables not checked: %s' % ', '.join(sorted(want - got)))
