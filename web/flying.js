// Flying by hand: the simulator's usual keys (and a gamepad, where the browser has one) move the
// flight controls with the simulator's own key events, sent as the console's `key` lines (the rudder
// and the toe brakes, which have no key event, as the pedals' simulator variables), so that a
// hand-flown stretch is kept in the saved scenario and replays as it was flown.
'use strict';

const FLY_MS = 100;            // the controls are read, and sent when they moved, ten times a second
const AXIS_FULL = 16383;       // a control axis at full deflection
const AXIS_STEP = 1 / 32;      // positions are sent in steps of this share of full travel
const MOVE_PER_S = 1.2;        // a held key moves its control this share of full travel a second
const CENTRE_PER_S = 3;        // let go, the stick and the pedals come back to the centre
const TRIM_PER_S = 0.2;
const BRAKE_PEDAL_FULL = 32000;
const THROTTLE_FULL = 16384;
const FLAPS_FULL = 16383;
const THROTTLE_REPEAT_MS = 200; // a throttle key held moves the levers a step this often
const DEADZONE = 0.12;          // of a gamepad's stick

// Held keys move an axis toward +1 (plus) or -1 (minus); the sign is the simulator's: elevator
// positive nose down, aileron positive to the left, rudder positive to the right.
const AXIS_KEYS = {
  elevator: { plus: ['Numpad8', 'ArrowUp'], minus: ['Numpad2', 'ArrowDown'] },
  aileron: { plus: ['Numpad4', 'ArrowLeft'], minus: ['Numpad6', 'ArrowRight'] },
  rudder: { plus: ['NumpadEnter'], minus: ['Numpad0'] },
};
const TRIM_KEYS = { plus: ['Numpad7', 'Home'], minus: ['Numpad1', 'End'] };
const THROTTLE_KEYS = { up: ['F3', 'Numpad9', 'PageUp'], down: ['F2', 'Numpad3', 'PageDown'] };

const fly = {
  enabled: localStorage.getItem('cockpit.fly') !== '0',
  held: new Set(),
  axes: { elevator: 0, aileron: 0, rudder: 0 },
  trim: null,                   // untouched until a trim key is used
  brakes: 0,
  sent: { elevator: 0, aileron: 0, rudder: 0, brakes: 0, trim: null },
  lastThrottle: 0,
  padButtons: [],
  lines: 0,                     // lines sent
};
window.flying = fly;

const watchedValue = (name) => {
  const w = (window.cockpit?.state?.watch || []).find((v) => v.name === name);
  return w && typeof w.value === 'number' ? w.value : undefined;
};

function send(line) {
  fly.lines += 1;
  inOrder(async () => {
    try {
      const reply = await api('/api/command', { line });
      if (reply.result !== 'done') showCommandOutput(line, reply);
    } catch (err) {
      status(String(err.message || err));
    }
  });
}

const twice = (a, b) => { send(a); send(b); };
const throttles = (step) => twice(`key eng1_throttle_${step}`, `key eng2_throttle_${step}`);

// Keys pressed once: what each does.
const PRESSED = {
  F1: () => twice('key throttle1_set 0', 'key throttle2_set 0'),
  F4: () => twice(`key throttle1_set ${THROTTLE_FULL}`, `key throttle2_set ${THROTTLE_FULL}`),
  F5: () => send('key flaps_set 0'),
  F6: () => send('key flaps_retract_step'),
  F7: () => send('key flaps_extend_step'),
  F8: () => send(`key flaps_set ${FLAPS_FULL}`),
  KeyG: () => send((watchedValue('sim:gear_handle') || 0) >= 0.5 ? 'key gear_up' : 'key gear_down'),
  Slash: () => send((watchedValue('sim:spoiler_handle') || 0) > 0 ? 'key spoilers_set 0' : 'key spoilers_deploy'),
  Numpad5: () => { fly.axes.aileron = 0; fly.axes.rudder = 0; },
};

const HELP = [
  ['Up / Num 8, Down / Num 2', 'elevator: nose down, nose up (centres when let go)'],
  ['Left / Num 4, Right / Num 6', 'ailerons: bank left, right (centre when let go)'],
  ['Num 0, Num Enter', 'rudder left, right; Num 5 centres ailerons and rudder'],
  ['Home / Num 7, End / Num 1', 'elevator trim: nose down, nose up'],
  ['F1, F2, F3, F4', 'throttles: cut, back (held), forward (held), full; also Num 3 / Num 9'],
  ['F5, F6, F7, F8', 'flaps: up, one step up, one step down, full'],
  ['G', 'gear up / down'],
  ['/', 'spoilers out / in'],
  ['. (held), Ctrl+.', 'wheel brakes; parking brake on / off'],
  ['gamepad', 'left stick: elevator and ailerons; right stick: rudder; triggers: brakes; ' +
              'pad up / down: throttles; LB / RB: flaps; A: gear; B: spoilers; X: parking brake'],
];

function buildHelp() {
  const header = document.querySelector('header');
  const label = document.createElement('label');
  label.title = 'the flight controls from the keyboard (and a gamepad), with the flight model on';
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.id = 'fly';
  box.checked = fly.enabled;
  box.addEventListener('change', () => {
    fly.enabled = box.checked;
    localStorage.setItem('cockpit.fly', fly.enabled ? '1' : '0');
    fly.held.clear();
  });
  label.append(box, ' fly by keys');
  const button = document.createElement('button');
  button.id = 'fly-keys';
  button.textContent = 'Keys';
  button.title = 'the keys that fly the aircraft';
  const help = document.createElement('div');
  help.id = 'fly-help';
  help.hidden = true;
  const title = document.createElement('h2');
  title.textContent = 'Flying by hand (flight on in the console; the page must have the focus, not a text field)';
  const table = document.createElement('table');
  for (const [keys, what] of HELP) {
    const row = table.insertRow();
    row.insertCell().textContent = keys;
    row.insertCell().textContent = what;
  }
  const now = document.createElement('p');
  now.id = 'fly-now';
  help.append(title, table, now);
  button.addEventListener('click', () => { help.hidden = !help.hidden; });
  header.append(label, button);
  document.body.appendChild(help);
}

function typing(e) {
  const t = e.target;
  return t && (t.tagName === 'INPUT' || t.tagName === 'SELECT' || t.tagName === 'TEXTAREA' || t.isContentEditable);
}

function onKeyDown(e) {
  if (!fly.enabled || typing(e) || e.altKey || e.metaKey) return;
  const code = e.code;
  if (code === 'Period' && e.ctrlKey) {
    e.preventDefault();
    if (!e.repeat) send('key parking_brake_toggle');
    return;
  }
  if (e.ctrlKey) return;
  const held = code === 'Period' || Object.values(AXIS_KEYS).some((a) => a.plus.includes(code) || a.minus.includes(code)) ||
    TRIM_KEYS.plus.includes(code) || TRIM_KEYS.minus.includes(code) ||
    THROTTLE_KEYS.up.includes(code) || THROTTLE_KEYS.down.includes(code);
  if (!held && !PRESSED[code]) return;
  e.preventDefault();
  if (held) fly.held.add(code);
  if (!e.repeat && PRESSED[code]) PRESSED[code]();
  if (!e.repeat && (THROTTLE_KEYS.up.includes(code) || THROTTLE_KEYS.down.includes(code))) {
    throttles(THROTTLE_KEYS.up.includes(code) ? 'up' : 'down');
    fly.lastThrottle = Date.now();
  }
}

const anyHeld = (codes) => codes.some((c) => fly.held.has(c));

function toward(value, plus, minus, dt) {
  if (plus && !minus) return Math.min(1, value + MOVE_PER_S * dt);
  if (minus && !plus) return Math.max(-1, value - MOVE_PER_S * dt);
  const step = CENTRE_PER_S * dt;
  return Math.abs(value) <= step ? 0 : value - Math.sign(value) * step;
}

const quantized = (v) => Math.round(v / AXIS_STEP) * AXIS_STEP;

// One look at the controls: keys and gamepad move them; what moved is sent.
function flyStep() {
  const dt = FLY_MS / 1000;
  if (!fly.enabled || !window.cockpit?.layout) return;
  for (const [axis, keys] of Object.entries(AXIS_KEYS))
    fly.axes[axis] = toward(fly.axes[axis], anyHeld(keys.plus), anyHeld(keys.minus), dt);
  if (anyHeld(TRIM_KEYS.plus) || anyHeld(TRIM_KEYS.minus)) {
    const trim = fly.trim ?? 0;
    fly.trim = Math.max(-1, Math.min(1, trim + (anyHeld(TRIM_KEYS.plus) ? 1 : -1) * TRIM_PER_S * dt));
  }
  fly.brakes = fly.held.has('Period') ? 1 : 0;
  if ((anyHeld(THROTTLE_KEYS.up) || anyHeld(THROTTLE_KEYS.down)) && Date.now() - fly.lastThrottle >= THROTTLE_REPEAT_MS) {
    throttles(anyHeld(THROTTLE_KEYS.up) ? 'up' : 'down');
    fly.lastThrottle = Date.now();
  }
  readGamepad();

  const axisLine = { elevator: 'key elevator_set', aileron: 'key aileron_set', rudder: 'sim rudder_pos' };
  for (const axis of Object.keys(axisLine)) {
    const q = quantized(fly.axes[axis]);
    if (q === fly.sent[axis]) continue;
    fly.sent[axis] = q;
    send(`${axisLine[axis]} ${Math.round(q * AXIS_FULL)}`);
  }
  if (fly.trim !== null && quantized(fly.trim) !== fly.sent.trim) {
    fly.sent.trim = quantized(fly.trim);
    send(`key elevator_trim_set ${Math.round(fly.sent.trim * AXIS_FULL)}`);
  }
  const brakes = quantized(fly.brakes);
  if (brakes !== fly.sent.brakes) {
    fly.sent.brakes = brakes;
    const raw = Math.round(brakes * BRAKE_PEDAL_FULL);
    twice(`sim brake_left ${raw}`, `sim brake_right ${raw}`);
  }
  const now = document.getElementById('fly-now');
  if (now && !document.getElementById('fly-help').hidden) {
    const f = (v) => (v === undefined ? '?' : v.toFixed(1));
    now.textContent = `elevator ${fly.sent.elevator.toFixed(2)}, ailerons ${fly.sent.aileron.toFixed(2)}, ` +
      `rudder ${fly.sent.rudder.toFixed(2)}; pitch ${f(watchedValue('sim:pitch_deg'))}°, bank ${f(watchedValue('sim:bank_deg'))}° ` +
      '(the simulator\'s: nose down and left wing down positive)';
  }
}

// The first gamepad, where the browser has the interface: sticks move the axes beyond a dead zone,
// buttons act when pressed.
function readGamepad() {
  const pads = navigator.getGamepads ? [...navigator.getGamepads()].filter(Boolean) : [];
  if (!pads.length) return;
  const pad = pads[0];
  const axis = (i) => (Math.abs(pad.axes[i] || 0) > DEADZONE ? pad.axes[i] : 0);
  if (axis(1)) fly.axes.elevator = -axis(1);
  if (axis(0)) fly.axes.aileron = -axis(0);
  if (axis(2)) fly.axes.rudder = axis(2);
  const pressed = (i) => pad.buttons[i] && pad.buttons[i].pressed;
  const value = (i) => (pad.buttons[i] ? pad.buttons[i].value : 0);
  fly.brakes = Math.max(fly.brakes, value(6), value(7));
  const edge = (i, action) => {
    if (pressed(i) && !fly.padButtons[i]) action();
    fly.padButtons[i] = pressed(i);
  };
  edge(0, PRESSED.KeyG);
  edge(1, PRESSED.Slash);
  edge(2, () => send('key parking_brake_toggle'));
  edge(4, PRESSED.F6);
  edge(5, PRESSED.F7);
  if ((pressed(12) || pressed(13)) && Date.now() - fly.lastThrottle >= THROTTLE_REPEAT_MS) {
    throttles(pressed(12) ? 'up' : 'down');
    fly.lastThrottle = Date.now();
  }
}

window.addEventListener('keydown', onKeyDown);
window.addEventListener('keyup', (e) => fly.held.delete(e.code));
window.addEventListener('blur', () => fly.held.clear());
window.cockpit.alsoWatch = ['sim:gear_handle', 'sim:spoiler_handle', 'sim:pitch_deg', 'sim:bank_deg'];
buildHelp();
setInterval(flyStep, FLY_MS);
