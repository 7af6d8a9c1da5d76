// The desk's face on a phone or tablet. Everything it shows comes from the
// desk over one WebSocket; what a finger does goes back as small messages.
// A fader moves relative to where the finger went down, so it never jumps.
'use strict';

(function () {
  const SLOTS = 32;
  const PAGES = 16;
  const MAX = 255;
  const TOKEN_KEY = 'vantrelle-remote-token';

  const linkNote = document.getElementById('link');
  const pairingForm = document.getElementById('pairing');
  const codeInput = document.getElementById('code');
  const pairingNote = document.getElementById('pairing-note');
  const desk = document.getElementById('desk');

  const state = {
    levels: new Array(SLOTS).fill(0),
    texts: new Array(SLOTS).fill(''),
    latched: new Array(SLOTS).fill(false),
    lit: new Array(SLOTS).fill(false),
    channels: [], name1: [], name2: [], colors: [], pages: [],
    page: 1, toggle: false, digits: false, bumpOn: '#c0c0c0', bumpOff: '#808080',
  };
  const strips = [];
  const pageButtons = [];
  // Slots under a finger show the finger, not the desk's echo.
  const held = new Map(); // slot -> {pointerId, startY, startLevel, height}
  const pending = new Map(); // slot -> newest level not sent yet
  let socket = null;
  let retryMs = 250;
  let flushTimer = 0;

  function readout(level) {
    return state.digits ? String(level) : Math.round(level * 100 / MAX) + '%';
  }

  // A button acts when a finger or the mouse lets go of it, not on the
  // browser's later click, which a touch screen may delay or drop; the keys
  // still act through the click they make (detail 0).
  function onActivate(button, action) {
    let down = null;
    button.addEventListener('pointerdown', (e) => { down = e.pointerId; });
    button.addEventListener('pointercancel', () => { down = null; });
    button.addEventListener('pointerup', (e) => {
      if (down !== e.pointerId) return;
      down = null;
      const r = button.getBoundingClientRect();
      const inside = e.clientX >= r.left && e.clientX <= r.right &&
                     e.clientY >= r.top && e.clientY <= r.bottom;
      if (inside) action();
    });
    button.addEventListener('click', (e) => { if (e.detail === 0) action(); });
  }

  function build() {
    const nav = document.getElementById('pages');
    for (let p = 1; p <= PAGES; p++) {
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = String(p);
      b.setAttribute('aria-label', 'Page ' + p);
      b.setAttribute('aria-pressed', 'false');
      onActivate(b, () => send({ t: 'page', page: p }));
      nav.appendChild(b);
      pageButtons.push(b);
    }
    for (let slot = 1; slot <= SLOTS; slot++) {
      const row = document.getElementById(slot <= 16 ? 'row1' : 'row2');
      const strip = document.createElement('div');
      strip.className = 'strip';
      const out = document.createElement('div');
      out.className = 'readout';
      out.id = 'readout-' + slot;
      const track = document.createElement('div');
      track.className = 'track';
      track.tabIndex = 0;
      track.setAttribute('role', 'slider');
      track.setAttribute('aria-orientation', 'vertical');
      track.setAttribute('aria-valuemin', '0');
      track.setAttribute('aria-valuemax', String(MAX));
      track.setAttribute('aria-valuenow', '0');
      track.dataset.slot = String(slot);
      const knob = document.createElement('div');
      knob.className = 'knob';
      track.appendChild(knob);
      const n1 = document.createElement('div');
      n1.className = 'name';
      const n2 = document.createElement('div');
      n2.className = 'name';
      const bump = document.createElement('button');
      bump.type = 'button';
      bump.className = 'bump';
      bump.dataset.slot = String(slot);
      strip.append(out, track, n1, n2, bump);
      row.appendChild(strip);
      strips.push({ strip, out, track, knob, n1, n2, bump });
      wireFader(slot, track);
      wireBump(slot, bump);
    }
  }

  function showLevel(slot, level, text) {
    const s = strips[slot - 1];
    s.track.setAttribute('aria-valuenow', String(level));
    s.track.setAttribute('aria-valuetext', text);
    s.out.textContent = text;
    // The knob's centre runs between the track's ends.
    s.knob.style.top = 'calc(11px + (100% - 22px) * ' + (1 - level / MAX) + ')';
  }

  function render(whole) {
    for (let slot = 1; slot <= SLOTS; slot++) {
      const i = slot - 1;
      const s = strips[i];
      if (whole) {
        const channel = state.channels[i];
        s.strip.style.backgroundColor = state.colors[i];
        s.n1.textContent = state.name1[i];
        s.n2.textContent = state.name2[i];
        s.bump.textContent = String(channel);
        const names = [state.name1[i], state.name2[i]].filter((n) => n).join(' ');
        s.track.setAttribute('aria-label', 'Channel ' + channel + (names ? ' ' + names : ''));
        s.bump.setAttribute('aria-label', 'Bump ' + channel);
      }
      if (!held.has(slot)) showLevel(slot, state.levels[i], state.texts[i]);
      s.bump.style.backgroundColor = state.lit[i] ? state.bumpOn : state.bumpOff;
      if (state.toggle) s.bump.setAttribute('aria-pressed', String(state.latched[i]));
      else s.bump.removeAttribute('aria-pressed');
    }
    for (let p = 1; p <= PAGES; p++) {
      const b = pageButtons[p - 1];
      b.style.backgroundColor = state.pages[p - 1];
      b.setAttribute('aria-pressed', String(p === state.page));
    }
  }

  function send(message) {
    if (socket && socket.readyState === WebSocket.OPEN) socket.send(JSON.stringify(message));
  }

  // The newest level of each fader leaves at once, or as soon as the socket
  // has room; the last one always goes.
  function flushMoves() {
    flushTimer = 0;
    if (!socket || socket.readyState !== WebSocket.OPEN) return;
    if (socket.bufferedAmount > 4096) {
      flushTimer = setTimeout(flushMoves, 10);
      return;
    }
    for (const [slot, level] of pending) send({ t: 'move', slot, level });
    pending.clear();
  }

  function move(slot, level) {
    level = Math.max(0, Math.min(MAX, Math.round(level)));
    showLevel(slot, level, readout(level));
    pending.set(slot, level);
    if (!flushTimer) flushMoves();
  }

  function wireFader(slot, track) {
    track.addEventListener('pointerdown', (e) => {
      if (held.has(slot)) return;
      e.preventDefault();
      track.setPointerCapture(e.pointerId);
      track.focus({ preventScroll: true });
      const current = Number(track.getAttribute('aria-valuenow'));
      const travel = Math.max(1, track.clientHeight - 22);
      held.set(slot, { pointerId: e.pointerId, startY: e.clientY, startLevel: current, travel });
    });
    track.addEventListener('pointermove', (e) => {
      const h = held.get(slot);
      if (!h || h.pointerId !== e.pointerId) return;
      e.preventDefault();
      move(slot, h.startLevel + (h.startY - e.clientY) * MAX / h.travel);
    });
    const letGo = (e) => {
      const h = held.get(slot);
      if (!h || h.pointerId !== e.pointerId) return;
      held.delete(slot);
      // The knob stays where the finger left it: the desk's echo of that
      // level is on its way, and any older word from it would make the knob
      // jump back and forth.
      flushMoves();
    };
    track.addEventListener('pointerup', letGo);
    track.addEventListener('pointercancel', letGo);
    track.addEventListener('keydown', (e) => {
      const now = Number(track.getAttribute('aria-valuenow'));
      const steps = { ArrowUp: 1, ArrowRight: 1, ArrowDown: -1, ArrowLeft: -1,
                      PageUp: 16, PageDown: -16 };
      let level = null;
      if (e.key in steps) level = now + steps[e.key];
      else if (e.key === 'Home') level = 0;
      else if (e.key === 'End') level = MAX;
      if (level === null) return;
      e.preventDefault();
      move(slot, level);
    });
  }

  function wireBump(slot, bump) {
    let down = null;
    bump.addEventListener('pointerdown', (e) => {
      if (state.toggle || down !== null) return;
      down = e.pointerId;
      bump.setPointerCapture(e.pointerId);
      send({ t: 'press', slot });
    });
    const up = (e) => {
      if (down !== e.pointerId) return;
      down = null;
      send({ t: 'release', slot });
    };
    bump.addEventListener('pointerup', up);
    bump.addEventListener('pointercancel', up);
    onActivate(bump, () => {
      if (state.toggle) send({ t: 'latch', slot, on: !state.latched[slot - 1] });
    });
  }

  function showLink(text, lost) {
    linkNote.textContent = text;
    linkNote.classList.toggle('online', text === '');
    linkNote.classList.toggle('lost', !!lost);
  }

  function askForCode(note) {
    desk.hidden = true;
    pairingForm.hidden = false;
    pairingNote.textContent = note || '';
    codeInput.focus();
  }

  function deviceName() {
    const ua = navigator.userAgent || 'browser';
    const m = /\(([^)]*)\)/.exec(ua);
    return (m ? m[1] : ua).replace(/[^\x20-\x7e]/g, '').slice(0, 64);
  }

  pairingForm.addEventListener('submit', (e) => {
    e.preventDefault();
    const code = codeInput.value.trim();
    if (!/^[0-9]{6}$/.test(code)) {
      pairingNote.textContent = 'The code is six digits.';
      return;
    }
    send({ t: 'pair', code, device: deviceName() });
  });

  function take(message) {
    switch (message.t) {
      case 'hello':
        showLink('');
        if (message.pair) {
          const token = localStorage.getItem(TOKEN_KEY);
          if (token) send({ t: 'auth', token });
          else askForCode();
        }
        break;
      case 'unpaired':
        localStorage.removeItem(TOKEN_KEY);
        askForCode('This device is no longer paired. Type the code the desk shows.');
        break;
      case 'wrong':
        codeInput.value = '';
        askForCode('Wrong code. Try again in ' + Math.ceil(message.waitMs / 1000) + ' s.');
        break;
      case 'paired':
        localStorage.setItem(TOKEN_KEY, message.token);
        break;
      case 'state':
        Object.assign(state, message);
        pairingForm.hidden = true;
        desk.hidden = false;
        render(true);
        document.body.dataset.page = String(state.page);
        break;
      case 'levels':
        Object.assign(state, message);
        render(false);
        break;
    }
    document.body.dataset.updates = String(Number(document.body.dataset.updates || 0) + 1);
  }

  function connect() {
    const ws = new WebSocket((location.protocol === 'https:' ? 'wss://' : 'ws://') +
                             location.host + '/ws');
    socket = ws;
    ws.onopen = () => { retryMs = 250; };
    ws.onmessage = (e) => {
      let message;
      try { message = JSON.parse(e.data); } catch (err) { return; }
      if (message && typeof message.t === 'string') take(message);
    };
    ws.onclose = (e) => {
      if (socket !== ws) return;
      socket = null;
      held.clear();
      document.body.dataset.online = 'false';
      if (e.code === 4001) {
        localStorage.removeItem(TOKEN_KEY);
        askForCode('The desk revoked this device. Type the code the desk shows to pair again.');
      }
      const refused = e.code === 1008 ? ' (the desk refused this page)' : '';
      showLink('Connection to the desk lost' + refused + ' — reconnecting…', true);
      setTimeout(connect, retryMs);
      retryMs = Math.min(5000, retryMs * 2);
    };
    ws.addEventListener('open', () => { document.body.dataset.online = 'true'; });
  }

  build();
  connect();
})();
