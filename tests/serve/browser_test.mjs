// The live cockpit in headless Chromium: the page opens on a running cockpit, the battery
// switches and ground power are clicked on their drawings, the DC panel's TR OFF lights go out
// in the picture and CLICK is asked for; the console takes scenario lines; a request from a
// foreign origin is refused; and the scenario saved from the page replays to the same timeline.
//
// COCKPIT_SIM=path/to/cockpit-sim WORK=dir [CHROMIUM=/usr/bin/chromium] node --test browser_test.mjs
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const sim = process.env.COCKPIT_SIM;
const work = process.env.WORK;
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
assert.ok(sim && work, 'COCKPIT_SIM and WORK must be given');

const DC_PANEL = 'tarvenol elec_dc_bus_t418';
const BATTERIES = 'tarvenol elec_batt_t418';
const EXT_PWR = 'tarvenol elec_ext_pwr_t418';
const FE_PANEL = 10060;
const LIT_CAUTION = [0xf2, 0xa5, 0x16];  // a lit amber caution light, as the drawings paint it
const LIT_PIXELS_AT_LEAST = 300;         // three lit TR OFF lights
const DARK_PIXELS_AT_MOST = 20;

let server, port, browser, page;
const liveTrace = path.join(work, 'live.csv');

function startServer() {
  return new Promise((resolve, reject) => {
    server = spawn(sim, ['serve', path.join(here, 'on_the_ground.scn'), '--port', '0', '--trace', liveTrace],
                   { stdio: ['ignore', 'pipe', 'inherit'] });
    let out = '';
    server.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
      if (m) resolve(Number(m[1]));
    });
    server.on('exit', (code) => reject(new Error(`cockpit-sim serve ended (${code}): ${out}`)));
  });
}

function stopServer() {
  return new Promise((resolve) => {
    if (!server || server.exitCode !== null) return resolve(server && server.exitCode);
    server.removeAllListeners('exit');
    server.on('exit', (code) => resolve(code));
    server.kill('SIGTERM');
  });
}

// A POST to the server as another page or program would send it.
function post(pathname, headers, body) {
  return new Promise((resolve, reject) => {
    const req = request({ host: '127.0.0.1', port, path: pathname, method: 'POST',
                          headers: { 'Content-Type': 'application/json', ...headers } }, (res) => {
      let text = '';
      res.on('data', (d) => { text += d; });
      res.on('end', () => resolve({ status: res.statusCode, text }));
    });
    req.on('error', reject);
    req.end(body);
  });
}

// Clicks a gauge's click area where the page draws it, with the mouse.
async function clickArea(gauge, area) {
  const point = await page.evaluate((gaugeName, areaName) => {
    for (const w of cockpit.layout.windows) {
      const g = w.gauges.find((x) => x.name === gaugeName);
      if (!g) continue;
      const a = g.areas.find((x) => x.name === areaName);
      const img = document.querySelector(`img.gauge[data-index="${g.index}"]`);
      img.scrollIntoView({ block: 'center', inline: 'center' });
      const r = img.getBoundingClientRect();
      return { x: r.left + (a.x + a.w / 2) * r.width / g.w, y: r.top + (a.y + a.h / 2) * r.height / g.h };
    }
    return null;
  }, gauge, area);
  assert.ok(point, `${gauge} ${area} is drawn on the page`);
  await page.mouse.click(point.x, point.y);
}

// Amber pixels in a gauge's picture as the page shows it now.
function litPixels(gauge) {
  return page.evaluate(async (gaugeName, lit) => {
    const img = document.querySelector(`img.gauge[data-gauge="${gaugeName}"]`);
    await img.decode();
    const c = document.createElement('canvas');
    c.width = img.naturalWidth;
    c.height = img.naturalHeight;
    const ctx = c.getContext('2d');
    ctx.drawImage(img, 0, 0);
    const d = ctx.getImageData(0, 0, c.width, c.height).data;
    let n = 0;
    for (let i = 0; i < d.length; i += 4)
      if (Math.abs(d[i] - lit[0]) <= 12 && Math.abs(d[i + 1] - lit[1]) <= 12 && Math.abs(d[i + 2] - lit[2]) <= 12) n++;
    return n;
  }, gauge, LIT_CAUTION);
}

// The page's watched value of a name, once the page shows it.
const watched = (name) => page.evaluate((n) => {
  const v = (cockpit.state?.watch || []).find((w) => w.name === n);
  return v ? v.value : undefined;
}, name);

async function waitFor(what, check, timeoutMs = 20000) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > until) assert.fail(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// Waits for the page to show a picture of the gauge drawn after the frame given.
async function pictureAfter(gauge, frame) {
  await waitFor(`a picture of ${gauge} after frame ${frame}`, () => page.evaluate((g, f) => {
    const img = document.querySelector(`img.gauge[data-gauge="${g}"]`);
    return cockpit.state.frame > f + 2 && img.complete && img.dataset.version ===
      String(cockpit.state.versions[Number(img.dataset.index)]);
  }, gauge, frame));
}

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  port = await startServer();
  browser = await puppeteer.launch({
    executablePath: chromium, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync',
           '--autoplay-policy=no-user-gesture-required'],
  });
  page = await browser.newPage();
  await page.setViewport({ width: 1900, height: 1200 });
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.goto(`http://127.0.0.1:${port}/`);
  await waitFor('the first states', () => page.evaluate(() => window.cockpit && cockpit.polls > 2));
});

after(async () => {
  if (browser) await browser.close();
  await stopServer();
});

test('the engineer panel opens as the cockpit asks and its TR OFF lights are lit on the batteries', async () => {
  await waitFor('the engineer panel window', () =>
    page.evaluate((id) => !document.querySelector(`.window[data-window="${id}"]`).hidden, FE_PANEL));
  await pictureAfter(DC_PANEL, await page.evaluate(() => cockpit.state.frame));
  const lit = await litPixels(DC_PANEL);
  assert.ok(lit >= LIT_PIXELS_AT_LEAST, `TR OFF lights lit on the batteries: ${lit} amber pixels`);
});

test('battery switches and ground power clicked on the page: CLICK asked for, the DC bus lights go out', async () => {
  // Drawn smaller than their pixels: a click still lands on the area under the pointer.
  await page.select('#zoom', '0.75');
  // Watched through the page's own watch list.
  for (const name of ['batt_1_sw', 'ext_pwr_connected', 'dc_bus_powered']) {
    await page.type('#watch-name', name);
    await page.keyboard.press('Enter');
  }
  const clicksBefore = await page.evaluate(() =>
    cockpit.soundLog.filter((s) => s.name === 'CLICK' && s.kind === 'play once').length);
  for (const b of ['batt_1', 'batt_2', 'batt_3']) await clickArea(BATTERIES, `${b}.on`);
  await waitFor('CLICK asked for', () => page.evaluate((n) =>
    cockpit.soundLog.filter((s) => s.name === 'CLICK' && s.kind === 'play once').length > n, clicksBefore));
  await waitFor('battery 1 on', async () => (await watched('batt_1_sw')) === 2);
  // The page plays the module's own wave for it.
  await waitFor('CLICK played', () => page.evaluate(() => (cockpit.started.CLICK || 0) > 0));

  await clickArea(EXT_PWR, 'ground_crew');
  await waitFor('the ground power unit connected', async () => (await watched('ext_pwr_connected')) === 1);
  await clickArea(EXT_PWR, 'ext_pwr.on');
  await waitFor('the DC normal bus powered', async () => (await watched('dc_bus_powered')) === 1);
  await pictureAfter(DC_PANEL, await page.evaluate(() => cockpit.state.frame));
  const lit = await litPixels(DC_PANEL);
  assert.ok(lit <= DARK_PIXELS_AT_MOST, `TR OFF lights out on ground power: ${lit} amber pixels`);
});

test('the mute switch silences every sound and gives them back', async () => {
  const master = () => page.evaluate(() => cockpit.audio.master.gain.value);
  assert.equal(await master(), 1);
  await page.click('#mute');
  assert.equal(await master(), 0);
  await page.click('#mute');
  assert.equal(await master(), 1);
});

test('the console runs scenario lines with the scenario parser and its messages', async () => {
  const lines = async () => page.evaluate(() => document.querySelector('#console-log').innerText);
  await page.type('#console-line', 'expect dc_bus_powered == 1');
  await page.keyboard.press('Enter');
  await page.type('#console-line', 'sett ac_fault 1');
  await page.keyboard.press('Enter');
  await waitFor('both answers', async () => (await lines()).includes('malformed'));
  const log = await lines();
  assert.match(log, /> expect dc_bus_powered == 1\n> sett ac_fault 1\n/);
  assert.match(log, /console:\d+: malformed line: expected a command .* not sett \(did you mean set\?\)/);
  assert.doesNotMatch(log, /expect failed/);
});

test('a request from a foreign origin is refused and changes nothing', async () => {
  const client = await page.evaluate(() => cockpit.client);
  const line = JSON.stringify({ line: `click "${BATTERIES}" batt_1.off` });
  const foreign = await post('/api/command', { Origin: 'http://evil.example', 'X-Cockpit-Client': client }, line);
  assert.equal(foreign.status, 403);
  assert.match(foreign.text, /Origin http:\/\/evil\.example is not this server's page/);
  const rebound = await post('/api/command', { Host: `evil.example:${port}`, Origin: `http://evil.example:${port}`,
                                               'X-Cockpit-Client': client }, line);
  assert.equal(rebound.status, 403);
  await new Promise((r) => setTimeout(r, 300));
  assert.equal(await watched('batt_1_sw'), 2);
});

test('the scenario saved from the page replays to the same timeline', async () => {
  await page.click('#pause');
  await waitFor('the frames paused', () => page.evaluate(() => cockpit.state && !cockpit.state.running));
  const saved = await page.evaluate(() => cockpit.saveScenario());
  const file = path.join(work, 'saved.scn');
  writeFileSync(file, saved);
  assert.match(saved, /^click "tarvenol elec_batt_t418" batt_1\.on$/m);
  assert.match(saved, /^click "tarvenol elec_ext_pwr_t418" ext_pwr\.on$/m);
  assert.doesNotMatch(saved, /batt_1\.off/);
  await browser.close();
  browser = null;
  assert.equal(await stopServer(), 0);

  const replayTrace = path.join(work, 'replay.csv');
  execFileSync(sim, ['run', file, '--quiet', '--trace', replayTrace], { stdio: 'inherit' });
  const live = readFileSync(liveTrace, 'utf8');
  const replay = readFileSync(replayTrace, 'utf8');
  assert.ok(live.split('\n').length > 100, 'the live timeline has the run in it');
  assert.equal(replay, live);
});
