"""Headless Chromium driven through WebDriver, for the page's tests.

Debian's chromium, chromium-driver and python3-selenium; no browser is
downloaded. Each browser gets a fresh profile and a download directory of
its own, and logs what it fetches (Chrome's performance log)."""

import contextlib
import http.server
import json
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait

# As root, and on a machine without a network, Chromium needs these.
FLAGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync',
         '--window-size=1000,1200']


@contextlib.contextmanager
def chromium():
    with tempfile.TemporaryDirectory() as profile, tempfile.TemporaryDirectory() as downloads:
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in FLAGS + [f'--user-data-dir={profile}']:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'performance': 'ALL'})
        driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        try:
            driver.execute_cdp_cmd('Browser.setDownloadBehavior',
                                   {'behavior': 'allow', 'downloadPath': downloads})
            driver.set_script_timeout(600)
            driver.downloads = downloads
            yield driver
        finally:
            driver.quit()


def open_page(driver, url):
    driver.get(url)
    WebDriverWait(driver, 60).until(lambda d: d.execute_script('return document.body.dataset.ready'))


def call(driver, script, *args):
    """Runs `script`, the body of an async function of `args`, in the page and
    gives its result; a thrown error fails the test with the page's stack."""
    answer = driver.execute_async_script(
        f'const done = arguments[arguments.length - 1];'
        f'(async (...args) => {{ {script} }})(...arguments)'
        f'.then((value) => done({{value}}), (error) => done({{error: String(error.stack || error)}}));',
        *args)
    if 'error' in answer:
        raise AssertionError(answer['error'])
    return answer.get('value')


def requested_urls(driver):
    """Every URL the browser asked for since the last call."""
    return [json.loads(entry['message'])['message']['params']['request']['url']
            for entry in driver.get_log('performance')
            if '"Network.requestWillBeSent"' in entry['message']]


@contextlib.contextmanager
def serving(routes):
    """An HTTP server on the loopback interface; `routes` maps a path prefix to
    a function of the rest of the path that gives the bytes."""
    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            for prefix, content in routes.items():
                if self.path.startswith(prefix):
                    body = content(self.path[len(prefix):])
                    self.send_response(200)
                    self.send_header('Content-Length', str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                    return
            self.send_error(404)

        def log_message(self, *args):
            pass

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), Handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield f'http://127.0.0.1:{server.server_port}'
    finally:
        server.shutdown()
        server.server_close()
