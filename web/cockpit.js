// The live cockpit's page: the panels as the server draws them, clicks on their switches, the
// console, watched values, the timeline and the sounds. Everything comes from the server that
// served this page; nothing is fetched from anywhere else.
'use strict';

const POLL_MS = 100;
const REPEAT_MS = 110;          // a knob held down keeps winding
const MAX_TIMELINE_LINES = 3000;
const MAX_SOUND_LINES = 200;
const MAIN_PANEL = 0;

const cockpit = {
  client: null,
  layout: null,
  state: null,
  soundLog: [],                 // every sound request seen: {name, kind, volume}
  started: {},                  // per sound, how often the page started playing it
  shownVersion: new Map(),      // gauge index -> drawing version shown
  timelineNext: 0,
  soundsNext: 0,
  watch: JSON.parse(localStorage.getItem('cockpit.watch') || '[]'),
  polls: 0,
};
window.cockpit = cockpit;

const $ = (id) => document.getElementById(id);

async function api(path, body, again) {
  const init = { headers: { 'X-Cockpit-Client': cockpit.client || '' } };
  if (body !== undefined) {
    init.method = 'POST';
    init.headers['Content-Type'] = 'application/json';
    init.body = JSON.stringify(body);
  }
  const res = await fetchWithin(path, init);
  // The page's place was given up (asleep in a background tab): it takes it back and asks again.
  if (res.status === 401 && !again && path !== '/api/hello') {
    joined(await join(api));
    return api(path, body, true);
  }
  if (!res.ok) throw new Error(`${path}: ${res.status} ${await res.text()}`);
  const type = res.headers.get('Content-Type') || '';
  return type.startsWith('application/json') ? res.json() : res.text();
}

function status(text) { $('status').textContent = text || ''; }

// --- Panels ------------------------------------------------------------------------------------
// The main panel fills the width of the panel area (the size list scales it from there); the other
// panel windows float over it as the simulator's pop-ups do: drawn only while the cockpit has them
// open, opened where the cockpit layout says, moved by their title bars.

const FLOAT_MARGIN = 8;         // px kept between a floating window and the edges of the page
// Where a window opens: the layout's nine positions, left to right and top to bottom.
const OPENS_COLUMNS = 3;
let topWindow = 10;             // stacking order of the floating windows: the last one touched on top

function buildPanels() {
  const panels = $('panels');
  panels.textContent = '';
  for (const w of cockpit.layout.windows) {
    const main = w.id === MAIN_PANEL;
    const box = document.createElement('div');
    box.className = main ? 'window main' : 'window popup';
    box.dataset.window = w.id;
    box.dataset.opens = w.opens;
    box.hidden = !main;
    const title = document.createElement('h3');
    title.textContent = main ? w.title : `${w.title} (${w.id})`;
    if (!main) {
      const close = document.createElement('button');
      close.textContent = 'close';
      close.title = `window ${w.id} closed`;
      close.addEventListener('mousedown', (e) => e.stopPropagation());
      close.addEventListener('click', () => runCommand(`window ${w.id} closed`));
      title.appendChild(close);
      title.addEventListener('mousedown', (e) => dragWindow(e, box));
      box.addEventListener('mousedown', () => { box.style.zIndex = String(++topWindow); });
    }
    box.appendChild(title);
    const face = document.createElement('div');
    face.className = 'face';
    face.style.width = `${w.w}px`;
    face.style.height = `${w.h}px`;
    for (const g of w.gauges) {
      const img = document.createElement('img');
      img.className = 'gauge' + (g.areas.length ? ' clickable' : '');
      img.style.left = `${g.x}px`;
      img.style.top = `${g.y}px`;
      img.width = g.w;
      img.height = g.h;
      img.alt = '';
      img.title = g.name;
      img.dataset.gauge = g.name;
      img.dataset.index = g.index;
      img.draggable = false;
      // Shown once a picture has come: never a broken image while the first one loads.
      img.addEventListener('load', () => { img.dataset.loaded = '1'; });
      img.addEventListener('mousedown', (e) => pressGauge(e, g));
      img.addEventListener('contextmenu', (e) => e.preventDefault());
      face.appendChild(img);
    }
    // The frame takes the size of the face as shown (scaled); the face keeps the gauges' pixels.
    const frame = document.createElement('div');
    frame.className = 'frame';
    frame.dataset.w = w.w;
    frame.dataset.h = w.h;
    frame.appendChild(face);
    box.appendChild(frame);
    panels.appendChild(box);
  }
  applyZoom();
}

// Pixels of the page per pixel of the pictures: the main panel across the panel area's width at
// 100 %; a floating window at the same scale, made smaller if it would not fit on the page.
function scales() {
  const z = Number($('zoom').value) || 1;
  const main = cockpit.layout.windows.find((w) => w.id === MAIN_PANEL);
  const panels = $('panels');
  const style = getComputedStyle(panels);
  const width = panels.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight) - 2;
  const mainScale = Math.max(0.05, width / main.w) * z;
  return { main: mainScale, popup: (w) => Math.min(mainScale, (window.innerWidth - 2 * FLOAT_MARGIN) / w.w,
                                                   (window.innerHeight - 80) / w.h) };
}

function applyZoom() {
  if (!cockpit.layout) return;
  const s = scales();
  for (const w of cockpit.layout.windows) {
    const box = document.querySelector(`.window[data-window="${w.id}"]`);
    const frame = box.querySelector('.frame');
    const z = w.id === MAIN_PANEL ? s.main : s.popup(w);
    frame.style.width = `${w.w * z}px`;
    frame.style.height = `${w.h * z}px`;
    frame.firstChild.style.transform = `scale(${z})`;
    if (!box.hidden) keepOnPage(box);
  }
}

// The part of the page the panels have, below the header.
function panelArea() {
  const r = $('panels').getBoundingClientRect();
  const top = Math.max(r.top, document.querySelector('header').getBoundingClientRect().bottom);
  const bottom = Math.min(r.bottom, window.innerHeight);
  return { left: r.left, top, width: r.width, height: Math.max(0, bottom - top) };
}

// A window opens the first time where the layout says, over the panel area; then where it was left.
function placeWindow(box) {
  if (box.dataset.placed) return keepOnPage(box);
  box.dataset.placed = '1';
  const opens = Number(box.dataset.opens) || 0;
  const col = opens % OPENS_COLUMNS, row = Math.floor(opens / OPENS_COLUMNS);
  const a = panelArea();
  box.style.left = `${a.left + FLOAT_MARGIN + col * Math.max(0, a.width - box.offsetWidth - 2 * FLOAT_MARGIN) / 2}px`;
  box.style.top = `${a.top + FLOAT_MARGIN + row * Math.max(0, a.height - box.offsetHeight - 2 * FLOAT_MARGIN) / 2}px`;
  keepOnPage(box);
}

function keepOnPage(box) {
  if (!box.classList.contains('popup')) return;
  const headerBottom = document.querySelector('header').getBoundingClientRect().bottom;
  const left = Math.min(parseFloat(box.style.left) || 0, window.innerWidth - box.offsetWidth - FLOAT_MARGIN);
  const top = Math.min(parseFloat(box.style.top) || 0, window.innerHeight - box.offsetHeight - FLOAT_MARGIN);
  box.style.left = `${Math.max(FLOAT_MARGIN, left)}px`;
  box.style.top = `${Math.max(headerBottom, top)}px`;
}

// A floating window follows the pointer while its title bar is held.
function dragWindow(e, box) {
  if (e.button !== 0) return;
  e.preventDefault();
  const startX = e.clientX, startY = e.clientY;
  const left = parseFloat(box.style.left) || 0, top = parseFloat(box.style.top) || 0;
  box.classList.add('dragged');
  const move = (m) => {
    box.style.left = `${left + m.clientX - startX}px`;
    box.style.top = `${top + m.clientY - startY}px`;
  };
  const drop = () => {
    window.removeEventListener('mousemove', move);
    box.classList.remove('dragged');
    keepOnPage(box);
  };
  window.addEventListener('mousemove', move);
  window.addEventListener('mouseup', drop, { once: true });
}

function showWindows(open) {
  for (const box of document.querySelectorAll('.window')) {
    const id = Number(box.dataset.window);
    const shown = id === MAIN_PANEL || open.includes(id);
    if (shown === !box.hidden) continue;
    box.hidden = !shown;
    if (shown) {
      box.style.zIndex = String(++topWindow);
      placeWindow(box);
    }
  }
}

function refreshPictures(versions) {
  for (const box of document.querySelectorAll('.window')) {
    if (box.hidden) continue;
    for (const img of box.querySelectorAll('img.gauge')) {
      const index = Number(img.dataset.index);
      const v = versions[index];
      if (img.dataset.version === String(v)) continue;
      img.dataset.version = v;
      img.src = `/gauge/${index}.png?v=${v}`;
    }
  }
}

// A press on a gauge: a click on the area under it, repeated while held on areas that wind.
async function pressGauge(e, g) {
  e.preventDefault();
  unlockAudio();
  const button = e.button === 2 ? 'right' : e.button === 0 ? 'left' : null;
  if (!button) return;
  const img = e.currentTarget;
  // offsetX/Y are in the picture's own pixels, whatever the zoom.
  const x = Math.floor(e.offsetX * g.w / img.clientWidth);
  const y = Math.floor(e.offsetY * g.h / img.clientHeight);
  let held = true;
  const release = () => { held = false; };
  window.addEventListener('mouseup', release, { once: true });
  img.addEventListener('mouseleave', release, { once: true });
  const click = () => inOrder(async () => {
    const reply = await api('/api/click', { gauge: g.index, x, y, button });
    showCommandOutput(reply.area ? `click "${g.name}" ${reply.area}` : null, reply);
    return reply;
  });
  try {
    let reply = await click();
    while (reply.repeat && held) {
      await new Promise((r) => setTimeout(r, REPEAT_MS));
      if (!held) break;
      reply = await click();
    }
  } catch (err) {
    status(String(err.message || err));
  }
}

// --- Console -----------------------------------------------------------------------------------

const history = [];
let historyAt = 0;

function consoleAppend(text, failed) {
  const log = $('console-log');
  const line = document.createElement('div');
  line.textContent = text;
  if (failed) line.className = 'failed';
  log.appendChild(line);
  while (log.childNodes.length > MAX_TIMELINE_LINES) log.removeChild(log.firstChild);
  log.scrollTop = log.scrollHeight;
}

function showCommandOutput(command, reply) {
  const failed = reply.result !== 'done' && reply.result !== 'no area';
  if (command) consoleAppend(`> ${command}`, false);
  for (const l of reply.output || []) consoleAppend(l, failed);
  if (failed && command) consoleAppend(`(${reply.result})`, true);
}

// Clicks and console lines go to the cockpit one after the other, in the order given.
let queue = Promise.resolve();
function inOrder(action) {
  queue = queue.then(action, action);
  return queue;
}

function runCommand(line) {
  return inOrder(async () => {
    try {
      showCommandOutput(line, await api('/api/command', { line }));
    } catch (err) {
      consoleAppend(String(err.message || err), true);
    }
  });
}

// --- Watched values ----------------------------------------------------------------------------

function buildWatch() {
  const table = $('watch');
  table.textContent = '';
  for (const name of cockpit.watch) {
    const row = table.insertRow();
    row.dataset.name = name;
    row.insertCell().textContent = name;
    row.insertCell().className = 'value';
    const remove = document.createElement('button');
    remove.textContent = '×';
    remove.title = 'stop watching';
    remove.addEventListener('click', () => {
      cockpit.watch = cockpit.watch.filter((n) => n !== name);
      localStorage.setItem('cockpit.watch', JSON.stringify(cockpit.watch));
      buildWatch();
    });
    row.insertCell().appendChild(remove);
  }
}

function showWatch(values) {
  for (const v of values) {
    const row = [...$('watch').rows].find((r) => r.dataset.name === v.name);
    if (!row) continue;
    const cell = row.querySelector('.value');
    cell.textContent = v.error !== undefined ? v.error : String(v.value);
    cell.className = 'value' + (v.error !== undefined ? ' failed' : '');
  }
}

// --- Sounds: the module's waves, played as it asks ---------------------------------------------

// What the cockpit asked for is kept even before the browser lets the page play (its first click):
// each sound's volume, and the loops that are on, which start then.
const audio = { ctx: null, master: null, buffers: new Map(), voices: new Map(), gains: new Map(),
                volumes: new Map(), looping: new Set() };

function unlockAudio() {
  if (!audio.ctx) {
    audio.ctx = new AudioContext();
    audio.master = audio.ctx.createGain();
    audio.master.connect(audio.ctx.destination);
    audio.master.gain.value = $('mute').checked ? 0 : 1;
    for (const name of audio.looping) playSound({ name, kind: 'loop' });
  }
  if (audio.ctx.state === 'suspended') audio.ctx.resume();
}

// Hundredths of a decibel, as the sound device takes them, to a gain.
const gainFromVolume = (v) => Math.pow(10, v / 2000);

function volumeOf(name) {
  if (audio.volumes.has(name)) return audio.volumes.get(name);
  const i = cockpit.layout.sounds.indexOf(name);
  return i >= 0 ? cockpit.layout.volumes[i] : 0;
}

function gainOf(name) {
  let g = audio.gains.get(name);
  if (!g) {
    g = audio.ctx.createGain();
    g.connect(audio.master);
    g.gain.value = gainFromVolume(volumeOf(name));
    audio.gains.set(name, g);
  }
  return g;
}

async function bufferOf(name) {
  if (!audio.buffers.has(name)) {
    audio.buffers.set(name, fetch(`/sounds/${encodeURIComponent(name)}.wav`)
      .then((r) => r.arrayBuffer()).then((b) => audio.ctx.decodeAudioData(b)));
  }
  return audio.buffers.get(name);
}

async function playSound(ev) {
  const name = ev.name;
  if (ev.kind === 'volume') audio.volumes.set(name, Number(ev.volume));
  if (ev.kind === 'loop') audio.looping.add(name);
  if (ev.kind === 'stop') audio.looping.delete(name);
  if (!audio.ctx) return;  // no sound before the first click on the page (the browser's rule)
  const voice = audio.voices.get(name);
  if (ev.kind === 'volume') {
    gainOf(name).gain.value = gainFromVolume(Number(ev.volume));
    return;
  }
  if (ev.kind === 'stop') {
    if (voice) { voice.source.stop(); audio.voices.delete(name); }
    return;
  }
  const loop = ev.kind === 'loop';
  // A sound already playing plays on from where it is, as the sound device does.
  if (voice && (voice.loop || !loop)) return;
  if (voice) voice.source.stop();
  const source = audio.ctx.createBufferSource();
  const entry = { source, loop };
  audio.voices.set(name, entry);
  try {
    source.buffer = await bufferOf(name);
  } catch (err) {
    audio.voices.delete(name);
    return;
  }
  if (audio.voices.get(name) !== entry) return;
  source.loop = loop;
  source.connect(gainOf(name));
  source.onended = () => { if (audio.voices.get(name) === entry) audio.voices.delete(name); };
  source.start();
  cockpit.started[name] = (cockpit.started[name] || 0) + 1;
}

// history: requests made before the page opened, whose state (volumes, loops) counts but whose
// one-shot sounds are long over.
function showSounds(events, history) {
  const list = $('sounds');
  for (const ev of events) {
    if (history && ev.kind === 'play once') continue;
    cockpit.soundLog.push({ name: ev.name, kind: ev.kind, volume: ev.volume });
    const item = document.createElement('li');
    item.textContent = `${ev.name} ${ev.kind}${ev.kind === 'volume' ? ' ' + ev.volume : ''}`;
    list.appendChild(item);
    playSound(ev);
  }
  while (list.childNodes.length > MAX_SOUND_LINES) list.removeChild(list.firstChild);
  if (events.length) list.scrollTop = list.scrollHeight;
}

// --- The state, as it streams ------------------------------------------------------------------

function showTimeline(lines) {
  if (!lines.length) return;
  const pre = $('timeline');
  const atEnd = pre.scrollTop + pre.clientHeight >= pre.scrollHeight - 4;
  pre.appendChild(document.createTextNode(lines.join('\n') + '\n'));
  while (pre.childNodes.length > MAX_TIMELINE_LINES) pre.removeChild(pre.firstChild);
  if (atEnd) pre.scrollTop = pre.scrollHeight;
}

// The place on the cockpit, and the sounds from now on: the loops on and the volumes set count,
// the sounds asked for before do not play again.
function joined(reply) {
  cockpit.client = reply.client;
  cockpit.soundsNext = reply.sounds.next;
  for (const [name, volume] of Object.entries(reply.sounds.volumes)) playSound({ name, kind: 'volume', volume });
  for (const name of reply.sounds.looping) playSound({ name, kind: 'loop' });
}

async function poll() {
  const q = new URLSearchParams({ t: cockpit.timelineNext, s: cockpit.soundsNext });
  for (const w of cockpit.watch.concat(cockpit.alsoWatch || [])) q.append('w', w);
  try {
    const st = await api(`/api/state?${q}`);
    cockpit.state = st;
    cockpit.polls += 1;
    $('clock').textContent = `frame ${st.frame} (${(st.frame / cockpit.layout.framesPerSecond).toFixed(1)} s)` +
      (st.running ? '' : ', paused');
    $('speed').value = String(st.speed);
    showWindows(st.windows);
    refreshPictures(st.versions);
    cockpit.timelineNext = st.timeline.next;
    showTimeline(st.timeline.lines);
    cockpit.soundsNext = st.sounds.next;
    showSounds(st.sounds.events, false);
    showWatch(st.watch);
    $('cancel').hidden = !(st.pending > 0);
    status(st.pending > 0 ? `running a tick: ${st.pending} frames to go${st.tickHeld ? ' (paused)' : ''}` : '');
  } catch (err) {
    status(linkLost(err));
  }
  setTimeout(poll, POLL_MS);
}

// --- Controls ----------------------------------------------------------------------------------

async function control(body) {
  try { await api('/api/control', body); } catch (err) { status(String(err.message || err)); }
}

async function saveScenario() {
  const text = await api('/api/scenario');
  const a = document.createElement('a');
  a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
  a.download = 'cockpit.scn';
  document.body.appendChild(a);
  a.click();
  a.remove();
  return text;
}
cockpit.saveScenario = saveScenario;
cockpit.audio = audio;

async function start() {
  try {
    joined(await join(api));
    cockpit.layout = await api('/api/layout');
  } catch (err) {
    // Too many pages, or no cockpit yet: tried again in a while.
    status(`${err.message || err} (trying again)`);
    setTimeout(start, 2000);
    return;
  }
  buildPanels();
  buildWatch();
  $('run').addEventListener('click', () => control({ action: 'run' }));
  $('pause').addEventListener('click', () => control({ action: 'pause' }));
  $('step').addEventListener('click', () => control({ action: 'step' }));
  $('cancel').addEventListener('click', () => control({ action: 'cancel' }));
  $('speed').addEventListener('change', (e) => control({ action: 'speed', speed: Number(e.target.value) }));
  $('save').addEventListener('click', saveScenario);
  $('zoom').value = localStorage.getItem('cockpit.zoom') || '1';
  applyZoom();
  $('zoom').addEventListener('change', (e) => {
    localStorage.setItem('cockpit.zoom', e.target.value);
    applyZoom();
  });
  window.addEventListener('resize', applyZoom);
  $('mute').checked = localStorage.getItem('cockpit.mute') === '1';
  $('mute').addEventListener('change', (e) => {
    localStorage.setItem('cockpit.mute', e.target.checked ? '1' : '0');
    if (audio.master) audio.master.gain.value = e.target.checked ? 0 : 1;
  });
  $('console-form').addEventListener('submit', (e) => {
    e.preventDefault();
    const input = $('console-line');
    const line = input.value;
    if (!line.trim()) return;
    history.push(line);
    historyAt = history.length;
    input.value = '';
    unlockAudio();
    runCommand(line);
  });
  $('console-line').addEventListener('keydown', (e) => {
    if (e.key !== 'ArrowUp' && e.key !== 'ArrowDown') return;
    historyAt = Math.max(0, Math.min(history.length, historyAt + (e.key === 'ArrowUp' ? -1 : 1)));
    e.target.value = history[historyAt] || '';
    e.preventDefault();
  });
  $('watch-form').addEventListener('submit', (e) => {
    e.preventDefault();
    const name = $('watch-name').value.trim();
    if (name && !cockpit.watch.includes(name)) cockpit.watch.push(name);
    localStorage.setItem('cockpit.watch', JSON.stringify(cockpit.watch));
    $('watch-name').value = '';
    buildWatch();
  });
  document.addEventListener('mousedown', unlockAudio, { once: true });
  poll();
}

start();
