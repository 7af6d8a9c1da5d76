// Drives the desk's page in the installed Chromium for the end-to-end tests.
// One command per line on stdin (JSON), one answer per line on stdout:
// {"ok":true,...} or {"ok":false,"error":"..."}. Touch is emulated: pages
// open with a touch screen and fingers are moved with touch events.
'use strict';

const readline = require('readline');
const puppeteer = require('puppeteer-core');

const pages = new Map(); // id -> page
let browser = null;

// Records when each message from the desk arrived, for the figures.
const RECORDER = `
  (() => {
    window.__arrivals = [];
    const Native = window.WebSocket;
    window.WebSocket = function (url, protocols) {
      const ws = protocols === undefined ? new Native(url) : new Native(url, protocols);
      ws.addEventListener('message', (e) => {
        try {
          const m = JSON.parse(e.data);
          if (m.t === 'levels' || m.t === 'state')
            window.__arrivals.push({ at: performance.now(), levels: m.levels });
          if (window.__arrivals.length > 5000) window.__arrivals.splice(0, 1000);
        } catch (err) {}
      });
      window.__socket = ws;
      return ws;
    };
    // When the browser took each finger move, by the event's own clock.
    window.__moves = [];
    // And how long the browser kept each before the page saw it.
    window.__moveLags = [];
    window.addEventListener('pointermove', (e) => {
      window.__moves.push(e.timeStamp);
      window.__moveLags.push(performance.now() - e.timeStamp);
    }, true);
    // What the fingers did, for a failure's message.
    window.__events = [];
    for (const type of ['pointerdown', 'pointerup', 'pointercancel', 'click'])
      window.addEventListener(type, (e) => {
        window.__events.push(type + '@' + ((e.target && e.target.className) || '?'));
        if (window.__events.length > 50) window.__events.shift();
      }, true);
    window.WebSocket.prototype = Native.prototype;
    Object.assign(window.WebSocket, { CONNECTING: 0, OPEN: 1, CLOSING: 2, CLOSED: 3 });
  })();`;

async function launch() {
  if (browser) return;
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--no-default-browser-check',
           '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--metrics-recording-only', '--disable-extensions',
           '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
           '--disable-backgrounding-occluded-windows'],
  });
}

function page(id) {
  const p = pages.get(id);
  if (!p) throw new Error('no page ' + id);
  return p;
}

// Centre of an element, in the page's CSS pixels.
async function centreOf(p, selector) {
  const box = await p.$eval(selector, (e) => {
    e.scrollIntoView({ block: 'nearest', inline: 'nearest' });
    const r = e.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2, h: r.height };
  });
  return box;
}

const handlers = {
  async open(c) {
    await launch();
    const context = c.incognito ? await browser.createBrowserContext() : browser.defaultBrowserContext();
    const p = await context.newPage();
    await p.setViewport({ width: c.width || 390, height: c.height || 844,
                          deviceScaleFactor: c.scale || 1, isMobile: c.mobile !== false,
                          hasTouch: true });
    await p.evaluateOnNewDocument(RECORDER);
    p.on('pageerror', (e) => process.stderr.write('page error: ' + e.message + '\n'));
    pages.set(c.id, p);
    await p.goto(c.url, { waitUntil: 'load' });
    return {};
  },
  async close(c) {
    await page(c.id).close();
    pages.delete(c.id);
    return {};
  },
  // Evaluates an expression in the page.
  async eval(c) {
    return { value: await page(c.id).evaluate(c.expr) };
  },
  // Waits until an expression in the page is true.
  async waitFor(c) {
    await page(c.id).waitForFunction(c.expr, { timeout: c.timeout || 10000, polling: 20 });
    return {};
  },
  // A finger goes down on a fader's knob, moves dy CSS pixels in steps, and
  // lifts (unless keep is set).
  async drag(c) {
    const p = page(c.id);
    const sel = `.track[data-slot="${c.slot}"]`;
    const knobY = await p.$eval(sel, (t) => {
      t.scrollIntoView({ block: 'nearest', inline: 'nearest' });
      const k = t.querySelector('.knob').getBoundingClientRect();
      return k.top + k.height / 2;
    });
    const box = await centreOf(p, sel);
    const steps = c.steps || 10;
    const n0 = await p.evaluate(() => window.__events.length);
    await p.touchscreen.touchStart(box.x, knobY);
    const times = [];
    for (let i = 1; i <= steps; i++) {
      const t = await p.evaluate(() => performance.now());
      await p.touchscreen.touchMove(box.x, knobY + (c.dy * i) / steps);
      times.push(t);
      if (c.pauseMs) await new Promise((r) => setTimeout(r, c.pauseMs));
    }
    if (!c.keep) {
      await p.touchscreen.touchEnd();
      // Moves reach the page once per frame: wait until it saw the finger lift.
      await p.waitForFunction((n) => window.__events.slice(n).some((e) => /^pointer(up|cancel)@track/.test(e)),
                              { timeout: 5000, polling: 10 }, n0);
      // Then until the desk's echo agrees with the knob for a while.
      await p.waitForFunction((s) => {
        const a = window.__arrivals;
        const now = Number(document.querySelector(s).getAttribute('aria-valuenow'));
        const agreed = a.length > 0 && a[a.length - 1].levels &&
                       a[a.length - 1].levels.includes(now) && performance.now() - a[a.length - 1].at > 300;
        return agreed;
      }, { timeout: 5000, polling: 50 }, sel);
    }
    const level = await p.$eval(sel, (t) => Number(t.getAttribute('aria-valuenow')));
    return { level, times };
  },
  // A finger moves a fader step by step; for each step, the time from just
  // before the touch is sent to the desk's echo of that level reaching the
  // page. The desk sends the echo after it handed the frame to the host, so
  // this bounds touch -> frame from above.
  async touchLatency(c) {
    const p = page(c.id);
    const sel = `.track[data-slot="${c.slot}"]`;
    const at = await p.$eval(sel, (t) => {
      t.scrollIntoView({ block: 'nearest', inline: 'nearest' });
      const r = t.getBoundingClientRect();
      const k = t.querySelector('.knob').getBoundingClientRect();
      return { x: r.left + r.width / 2, y: k.top + k.height / 2 };
    });
    await p.touchscreen.touchStart(at.x, at.y);
    const samples = [];
    const fromEvent = [];
    for (let i = 1; i <= (c.steps || 40); i++) {
      const [t0, n0, m0] = await p.evaluate(() => [performance.now(), window.__arrivals.length,
                                                   window.__moves.length]);
      await p.touchscreen.touchMove(at.x, at.y - i * (c.stepPx || 3));
      const echo = `(() => { const want = Number(document.querySelector('${sel}').getAttribute('aria-valuenow'));
        const a = window.__arrivals; for (let k = ${n0}; k < a.length; k++)
          if (a[k].levels[${c.slot - 1}] === want) return a[k].at; return 0; })()`;
      await p.waitForFunction(echo, { timeout: 5000, polling: 5 });
      const arrived = await p.evaluate(echo);
      const taken = await p.evaluate((m) => (window.__moves.length > m ? window.__moves[m] : 0), m0);
      samples.push(arrived - t0);
      if (taken > 0) fromEvent.push(arrived - taken);
    }
    await p.touchscreen.touchEnd();
    const inBrowser = await p.evaluate(() => window.__moveLags.slice(-40));
    return { samples, fromEvent, inBrowser };
  },
  // A finger swipes sideways from an element's centre; the bank's scroll
  // position after it.
  async swipe(c) {
    const p = page(c.id);
    const box = await centreOf(p, c.selector);
    await p.touchscreen.touchStart(box.x, box.y);
    for (let i = 1; i <= 10; i++) await p.touchscreen.touchMove(box.x + (c.dx * i) / 10, box.y);
    await p.touchscreen.touchEnd();
    await new Promise((r) => setTimeout(r, 300));
    return { scrollLeft: await p.evaluate(() => document.getElementById('bank').scrollLeft) };
  },
  async touchEnd(c) {
    await page(c.id).touchscreen.touchEnd();
    return {};
  },
  // A finger held on an element, or let go.
  async touchDown(c) {
    const p = page(c.id);
    const box = await centreOf(p, c.selector);
    await p.touchscreen.touchStart(box.x, box.y);
    return {};
  },
  async tap(c) {
    const p = page(c.id);
    const box = await centreOf(p, c.selector);
    // A finger rests a moment, as a person's does; a tap of no length can be
    // taken for the start of another gesture.
    const n0 = await p.evaluate(() => window.__events.length);
    await p.touchscreen.touchStart(box.x, box.y);
    await new Promise((r) => setTimeout(r, 60));
    await p.touchscreen.touchEnd();
    await p.waitForFunction((n) => window.__events.slice(n).some((e) => /^pointer(up|cancel)@/.test(e)),
                            { timeout: 5000, polling: 10 }, n0);
    return {};
  },
  async type(c) {
    const p = page(c.id);
    await p.click(c.selector, { count: 3 });
    await p.type(c.selector, c.text);
    if (c.submit) await p.keyboard.press('Enter');
    return {};
  },
  async screenshot(c) {
    await page(c.id).screenshot({ path: c.path, fullPage: false });
    return {};
  },
  async offline(c) {
    // Cuts the page's connection from inside, as a lost network does.
    await page(c.id).evaluate(() => window.__socket && window.__socket.close());
    return {};
  },
  async quit() {
    if (browser) await browser.close();
    browser = null;
    setImmediate(() => process.exit(0));
    return {};
  },
};

const lines = readline.createInterface({ input: process.stdin });
let chain = Promise.resolve();
lines.on('line', (line) => {
  chain = chain.then(async () => {
    let answer;
    try {
      const c = JSON.parse(line);
      const handler = handlers[c.cmd];
      if (!handler) throw new Error('unknown command ' + c.cmd);
      answer = Object.assign({ ok: true }, await handler(c));
    } catch (e) {
      answer = { ok: false, error: String(e && e.message ? e.message : e) };
    }
    process.stdout.write(JSON.stringify(answer) + '\n');
  });
});
lines.on('close', () => {
  chain.then(async () => {
    if (browser) await browser.close();
    process.exit(0);
  });
});
process.stdout.write(JSON.stringify({ ok: true, ready: true }) + '\n');
