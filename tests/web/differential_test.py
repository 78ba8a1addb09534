"""The page runs the tool exactly as the command line does.

Replays every run of the player sessions (tests/**/cases/*.case) that the
native session runner wrote down (tests/support/run_record.h) through
kv5.run in the page, with the same arguments, files and directory, and
compares the status, what it printed and every file afterwards, byte for
byte. The files come from a server on the loopback interface, which the test
lets the page reach past its content security policy.

    differential_test.py PAGE RECORD_DIRECTORY"""

import collections
import pathlib
import sys

import browser

# In the page: replays the runs of one session in order, and gives what
# differs. A file a run made reads back from the page for the next run.
REPLAY = '''
const [runs] = args;
const known = new Map();
const bytes = async (blob) => {
  if (!known.has(blob)) known.set(blob, new Uint8Array(await (await fetch(`/blobs/${blob}`)).arrayBuffer()));
  return known.get(blob);
};
const same = (a, b) => {
  if (a.length !== b.length) return false;
  for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) return false;
  return true;
};
const differences = [];
for (const run of runs) {
  const files = {};
  for (const [name, blob] of run.before) files[name] = await bytes(blob);
  const result = await kv5.run(run.args, files, {directory: run.directory});
  const where = `kv5save ${run.args.join(' ')}`;
  if (result.status !== run.status) differences.push(`${where}: status ${result.status}, not ${run.status}`);
  if (!same(new TextEncoder().encode(result.stdout), await bytes(run.stdout))) {
    differences.push(`${where}: printed ${JSON.stringify(result.stdout)}`);
  }
  const expected = Object.fromEntries(run.after);
  const names = [...new Set([...Object.keys(expected), ...Object.keys(result.files)])];
  for (const name of names) {
    if (!(name in expected)) differences.push(`${where}: made ${name}`);
    else if (!(name in result.files)) differences.push(`${where}: left no ${name}`);
    else if (!same(result.files[name], await bytes(expected[name]))) differences.push(`${where}: ${name} differs`);
    else known.set(expected[name], result.files[name]);
  }
}
return differences;
'''


def text(hex_text):
    return bytes.fromhex(hex_text).decode('utf-8')


def read_run(path):
    run = {'before': [], 'after': [], 'args': []}
    for line in path.read_text().splitlines():
        word, *rest = line.split(' ')
        if word == 'case':
            run['case'] = text(rest[0])
        elif word == 'skipped':
            run['skipped'] = text(rest[0])
        elif word == 'directory':
            run['directory'] = text(rest[0])
        elif word == 'argument':
            run['args'].append(text(rest[0]))
        elif word in ('before', 'after'):
            run[word].append([text(rest[0]), rest[1]])
        elif word == 'status':
            run['status'] = int(rest[0])
        elif word == 'stdout':
            run['stdout'] = rest[0]
    return run


def main(page, record):
    record = pathlib.Path(record)
    # A session's runs in order: one process writes a session, numbering them.
    paths = sorted((record / 'runs').iterdir(), key=lambda p: [int(n) for n in p.name.split('-')])
    sessions = collections.defaultdict(list)
    skipped = collections.Counter()
    for path in paths:
        run = read_run(path)
        if 'skipped' in run:
            skipped[run['skipped']] += 1
        else:
            sessions[run['case']].append(run)
    routes = {'/kv5save.html': lambda _: pathlib.Path(page).read_bytes(),
              '/blobs/': lambda blob: (record / 'blobs' / blob).read_bytes()}
    failures = []
    with browser.serving(routes) as address, browser.chromium() as driver:
        driver.execute_cdp_cmd('Page.setBypassCSP', {'enabled': True})
        browser.open_page(driver, f'{address}/kv5save.html')
        for case, runs in sessions.items():
            try:
                failures += [f'{case}: {d}' for d in browser.call(driver, REPLAY, runs)]
            except AssertionError as error:
                failures.append(f'{case}: {error}')
    replayed = sum(len(runs) for runs in sessions.values())
    print(f'{replayed} runs of {len(sessions)} sessions replayed in the page')
    for reason, count in skipped.items():
        print(f'{count} runs skipped: the session directory holds {reason}')
    print('\n'.join(failures) or 'no difference')
    if replayed == 0 or failures:
        sys.exit(1)


if __name__ == '__main__':
    main(*sys.argv[1:])
