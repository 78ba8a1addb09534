"""What a player does in the page, opened from disk, checked against the
native tool: the demo save, an edit in the form and its comparison with the
original, a character copied to another slot, a file that is not a save. Then the page's limits: its size,
how long a full save takes to open and list, the memory that takes; and
that the page fetched nothing and can be used at a narrow width.

    flows_test.py PAGE NATIVE_BUILD"""

import pathlib
import subprocess
import sys
import tempfile
import time

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import WebDriverWait

import browser

LIMITS = {'page bytes': 2 * 1024 * 1024, 'page ready after, ms': None,
          'full save opened and listed, ms': 1000,
          'WebAssembly memory with a full save, bytes': 64 * 1024 * 1024}


class Flows:
    def __init__(self, driver, native, work):
        self.driver, self.native, self.work = driver, native, work

    def find(self, selector):
        return self.driver.find_element(By.CSS_SELECTOR, selector)

    def wait(self, condition, what):
        WebDriverWait(self.driver, 60, 0.05).until(lambda _: condition(), what)

    def messages(self):
        return self.find('#messages').text

    def click_and_wait_for(self, selector, message):
        """Clicks, and waits until the tool printed `message` once more."""
        count = self.messages().count(message)
        self.find(selector).click()
        self.wait(lambda: self.messages().count(message) > count, message)

    def listed(self):
        return [b.text for b in self.driver.find_elements(By.CSS_SELECTOR, '.slots button')]

    def type_into(self, name, value):
        field = self.find(f'input[name="{name}"]')
        field.clear()
        field.send_keys(value)
        return field

    def downloaded_save(self):
        folder = pathlib.Path(self.driver.downloads)
        for old in folder.iterdir():
            old.unlink()
        self.find('#download-save').click()
        self.wait(lambda: [p.name for p in folder.iterdir()] == ['KV5SaveData'], 'a download')
        return (folder / 'KV5SaveData').read_bytes()

    def tool(self, *args):
        subprocess.run([self.native / 'kv5save', *args], cwd=self.work, check=False,
                       stdout=subprocess.DEVNULL)
        return (self.work / 'KV5SaveData').read_bytes()


def demo_and_edits(flows):
    subprocess.run([flows.native / 'tools' / 'make_demo_save', 'KV5SaveData'], cwd=flows.work,
                   check=True)
    flows.click_and_wait_for('#demo', 'Found 4 custom character entries.')
    assert flows.downloaded_save() == (flows.work / 'KV5SaveData').read_bytes(), 'the demo save'
    assert flows.listed() == ['Slot 1: Marta Quill', 'Slot 2: Oskar Fenn', 'Slot 4: Juno Pell',
                              'Slot 52: Ravel'], flows.listed()

    flows.find('#custom-list button').click()
    flows.wait(lambda: flows.find('#character').is_displayed(), 'the form')
    # A value the import would refuse is marked before it is applied, and
    # the mark goes with the value.
    colour = flows.type_into('Color-Skin', '12 34')
    flows.wait(lambda: colour.get_attribute('aria-invalid') == 'true', 'the mark')
    problem = flows.find(f'#{colour.get_attribute("id")}-problem').text
    assert problem.startswith('Error while reading a byte array value.'), problem
    flows.type_into('Color-Skin', 'E8 C4 A8 FF 00 00 00 00')
    flows.wait(lambda: colour.get_attribute('aria-invalid') is None, 'the mark gone')

    flows.type_into('Name', 'Mara Quill')
    flows.type_into('Scale-Head', '1.5')
    flows.click_and_wait_for('#apply-fields', 'Modified 1 entries.')
    (flows.work / 'edit.txt').write_bytes(b'[ENTRY1]\r\nName=Mara Quill\r\nScale-Head=1.5\r\n')
    assert flows.downloaded_save() == flows.tool('-w', 'KV5SaveData', 'edit.txt'), 'the edit'
    flows.click_and_wait_for('#compare-original', '# 1 entries differ.')
    flows.wait(lambda: flows.find('#compare-result').text, 'the comparison')
    shown = flows.find('#compare-result .difference').text.splitlines()
    # "Height 2" lies on the bytes of "Scale-Head".
    assert shown == ['Slot 1: Mara Quill', '[ENTRY1]', '# was Marta Quill', 'Name=Mara Quill',
                     '# was 1.000000', 'Height 2=1.500000', '# was 1.000000',
                     'Scale-Head=1.500000'], shown

    flows.find('#copy-slot').send_keys('7')
    flows.click_and_wait_for('#copy-entry', 'Replaced entry #7 with entry1.bin.')
    assert 'Slot 7: Mara Quill' in flows.listed(), flows.listed()
    flows.tool('-x', 'KV5SaveData', '1')
    assert flows.downloaded_save() == flows.tool('-rp', 'KV5SaveData', '7', 'entry1.bin')


def not_a_save(flows):
    other = flows.work / 'notes.txt'
    other.write_text('not a save\n')
    flows.find('#save-file').send_keys(str(other))
    flows.wait(lambda: 'Save data is in unknown format.' in flows.messages(), 'the refusal')


def limits(flows, page):
    """Opens a full save through the file picker; the page stamps the times."""
    subprocess.run([flows.native / 'tools' / 'make_full_save', 'full'], cwd=flows.work,
                   check=True)
    browser.call(flows.driver, '''
      window.opened = new Promise((resolve) => {
        const list = document.getElementById('custom-list');
        document.getElementById('save-file').addEventListener('change', () => {
          const start = performance.now();
          new MutationObserver(() => {
            if (document.querySelectorAll('.slots button').length === 118) resolve(performance.now() - start);
          }).observe(list.parentElement.parentElement, {childList: true, subtree: true});
        }, {once: true});
      });''')
    flows.find('#save-file').send_keys(str(flows.work / 'full'))
    opening = browser.call(flows.driver, 'return window.opened;')
    # The most memory a command takes on it: writing its whole text back, or
    # comparing it, which holds two saves.
    memory = browser.call(flows.driver, '''
      const full = new Uint8Array(await document.getElementById('save-file').files[0].arrayBuffer());
      const read = await kv5.run(['-r', 'full'], {full});
      const write = await kv5.run(['-w', 'full', 'full.txt'], read.files);
      const listed = await kv5.characters(full, 'full');
      const compared = await kv5.run(['-d', 'full', 'full'], {full});
      return Math.max(read.memory, write.memory, listed.memory, compared.memory);''')
    ready = browser.call(flows.driver, "return performance.getEntriesByName('kv5save ready')[0].startTime;")
    measured = {'page bytes': page.stat().st_size, 'page ready after, ms': ready,
                'full save opened and listed, ms': opening,
                'WebAssembly memory with a full save, bytes': memory}
    for what, value in measured.items():
        limit = LIMITS[what]
        print(f'{what}: {value:.0f}' + (f' (at most {limit})' if limit else ''))
        assert limit is None or value <= limit, what


def usable(flows):
    """Every control has a label, and a narrow window needs no sideways scroll."""
    unlabelled = browser.call(flows.driver, '''
      return [...document.querySelectorAll('input, select, textarea, button')]
        .filter((c) => c.type !== 'button' && c.tagName !== 'BUTTON' && c.labels.length === 0)
        .map((c) => c.id || c.name);''')
    assert not unlabelled, unlabelled
    flows.driver.set_window_size(400, 900)
    wide = browser.call(flows.driver, 'return document.documentElement.scrollWidth;')
    assert wide <= 400, f'{wide} pixels wide at a width of 400'


def main(page, native):
    page = pathlib.Path(page).resolve()
    with tempfile.TemporaryDirectory() as work, browser.chromium() as driver:
        flows = Flows(driver, pathlib.Path(native).resolve(), pathlib.Path(work))
        browser.requested_urls(driver)  # what the browser fetched for its own start page
        browser.open_page(driver, page.as_uri())
        for flow in (demo_and_edits, not_a_save, usable):
            flow(flows)
        limits(flows, page)
        urls = browser.requested_urls(driver)
        assert page.as_uri() in urls, 'the browser logs what it fetches'
        fetched = [u for u in urls if u != page.as_uri() and not u.startswith('blob:')]
        assert not fetched, f'the page fetched {fetched}'
    print('every flow as the native tool')


if __name__ == '__main__':
    main(*sys.argv[1:])
