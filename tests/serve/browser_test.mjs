// The live cockpit in headless Chromium: the page opens on a running cockpit with the main panel
// across its width and the engineer panel floating over it, the battery switches and ground power
// are clicked on their drawings, the DC panel's TR OFF lights go out in the picture and CLICK is
// asked for; a window that closes is no longer drawn nor clicked, and moves by its title bar; the console takes scenario lines; a request from a
// foreign origin is refused; and the scenario saved from the page replays to the same timeline.
//
// COCKPIT_SIM=path/to/cockpit-sim WORK=dir [CHROMIUM=/usr/bin/chromium] node --test browser_test.mjs
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { sim, work, startServer, stopServer, launchChromium, waitFor, assertReplaysTheLiveTrace } from './harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));

const DC_PANEL = 'tarvenol elec_dc_bus_t418';
const BATTERIES = 'tarvenol elec_batt_t418';
const EXT_PWR = 'tarvenol elec_ext_pwr_t418';
const FE_PANEL = 10060;
const LIT_CAUTION = [0xf2, 0xa5, 0x16];  // a lit amber caution light, as the drawings paint it
const LIT_PIXELS_AT_LEAST = 300;         // three lit TR OFF lights
const DARK_PIXELS_AT_MOST = 20;
const LIT_ON_SCREEN_AT_LEAST = 60;       // the same lights drawn at about half their pixels' size
const CLOSED_AFTER_START = [10030, 10040, 10050, 10080, 10090, 10100];

let server, port, browser, page, scratch;
const liveTrace = path.join(work, 'live.csv');


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

// How the page draws a panel window now: its computed display and its box on the screen.
const drawn = (id) => page.evaluate((w) => {
  const box = document.querySelector(`.window[data-window="${w}"]`);
  const r = box.getBoundingClientRect();
  return { display: getComputedStyle(box).display, left: r.left, top: r.top, width: r.width, height: r.height };
}, id);

// A gauge's picture on the screen, in whole pixels of the page.
const gaugeBox = (gauge) => page.evaluate((g) => {
  const r = document.querySelector(`img.gauge[data-gauge="${g}"]`).getBoundingClientRect();
  return { x: Math.ceil(r.left), y: Math.ceil(r.top), width: Math.floor(r.width) - 1, height: Math.floor(r.height) - 1 };
}, gauge);

// The middle of a gauge's click area on the screen.
const areaPoint = (gauge, area) => page.evaluate((gaugeName, areaName) => {
  for (const w of cockpit.layout.windows) {
    const g = w.gauges.find((x) => x.name === gaugeName);
    if (!g) continue;
    const a = g.areas.find((x) => x.name === areaName);
    const r = document.querySelector(`img.gauge[data-index="${g.index}"]`).getBoundingClientRect();
    return { x: r.left + (a.x + a.w / 2) * r.width / g.w, y: r.top + (a.y + a.h / 2) * r.height / g.h };
  }
  return null;
}, gauge, area);

// Screenshots are read in a blank page of their own: the cockpit's page takes pictures from its server only.
// Pixels of the screen within a box that have a colour (within 12 of each channel).
async function screenPixels(box, rgb) {
  const png = await page.screenshot({ clip: box, encoding: 'base64' });
  return scratch.evaluate(async (data, lit) => {
    const img = new Image();
    img.src = `data:image/png;base64,${data}`;
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
  }, png, rgb);
}

// Pixels that differ between two screenshots of the same box.
function differingPixels(a, b) {
  return scratch.evaluate(async (pa, pb) => {
    const pixels = async (data) => {
      const img = new Image();
      img.src = `data:image/png;base64,${data}`;
      await img.decode();
      const c = document.createElement('canvas');
      c.width = img.naturalWidth;
      c.height = img.naturalHeight;
      c.getContext('2d').drawImage(img, 0, 0);
      return c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    };
    const da = await pixels(pa), db = await pixels(pb);
    let n = 0;
    for (let i = 0; i < da.length; i += 4)
      if (Math.abs(da[i] - db[i]) + Math.abs(da[i + 1] - db[i + 1]) + Math.abs(da[i + 2] - db[i + 2]) > 24) n++;
    return n;
  }, Buffer.from(a).toString('base64'), Buffer.from(b).toString('base64'));
}

// A scenario line typed into the page's console.
async function runConsole(line) {
  await page.type('#console-line', line);
  await page.keyboard.press('Enter');
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
  ({ server, port } = await startServer(path.join(here, 'on_the_ground.scn'), liveTrace));
  browser = await launchChromium(['--autoplay-policy=no-user-gesture-required']);
  scratch = await browser.newPage();
  page = await browser.newPage();
  await page.setViewport({ width: 1900, height: 1200 });
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.goto(`http://127.0.0.1:${port}/`);
  await waitFor('the first states', () => page.evaluate(() => window.cockpit && cockpit.polls > 2));
});

after(async () => {
  if (browser) await browser.close();
  await stopServer(server);
});

test('the engineer panel opens as the cockpit asks and its TR OFF lights are lit on the batteries', async () => {
  await waitFor('the engineer panel drawn', async () => (await drawn(FE_PANEL)).display !== 'none');
  await pictureAfter(DC_PANEL, await page.evaluate(() => cockpit.state.frame));
  const lit = await litPixels(DC_PANEL);
  assert.ok(lit >= LIT_PIXELS_AT_LEAST, `TR OFF lights lit on the batteries: ${lit} amber pixels`);
  // What the page draws: the lights lit on the screen too, at the scale the window is shown.
  const onScreen = await screenPixels(await gaugeBox(DC_PANEL), LIT_CAUTION);
  assert.ok(onScreen >= LIT_ON_SCREEN_AT_LEAST, `TR OFF lights lit on the screen: ${onScreen} amber pixels`);
});

test('the main panel fills the page, closed windows are not drawn and no picture is broken', async () => {
  const fit = await page.evaluate(() => {
    const panels = document.querySelector('#panels');
    const style = getComputedStyle(panels);
    const frame = document.querySelector('.window.main .frame');
    return { frame: frame.getBoundingClientRect().width,
             room: panels.clientWidth - parseFloat(style.paddingLeft) - parseFloat(style.paddingRight) };
  });
  assert.ok(Math.abs(fit.frame - fit.room) <= 4, `main panel ${fit.frame} px wide in ${fit.room} px`);
  // Only the engineer panel is open after the start-up setting; the others take no room and no clicks.
  for (const id of CLOSED_AFTER_START) {
    const d = await drawn(id);
    assert.equal(d.display, 'none', `window ${id} not drawn`);
    assert.equal(d.width, 0, `window ${id} takes no room`);
  }
  const broken = await page.evaluate(() => [...document.querySelectorAll('img.gauge')].filter((img) => {
    const shown = img.getClientRects().length > 0 && getComputedStyle(img).visibility !== 'hidden';
    return shown && !(img.complete && img.naturalWidth > 0);
  }).map((img) => img.dataset.gauge));
  assert.deepEqual(broken, []);
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

test('a window that closes disappears and a click where it was reaches nothing; a window can be moved', async () => {
  const box = await gaugeBox(BATTERIES);
  const area = await areaPoint(BATTERIES, 'batt_1.off');
  const before = await page.screenshot({ clip: box, encoding: 'binary' });
  assert.equal(await page.evaluate((p) => document.elementFromPoint(p.x, p.y)?.dataset.gauge, area), BATTERIES);

  await runConsole(`window ${FE_PANEL} closed`);
  await waitFor('the engineer panel gone', async () => (await drawn(FE_PANEL)).display === 'none');
  await new Promise((r) => setTimeout(r, 300));  // a poll or two: nothing draws it again
  assert.equal((await drawn(FE_PANEL)).display, 'none');
  const after = await page.screenshot({ clip: box, encoding: 'binary' });
  const changed = await differingPixels(before, after);
  assert.ok(changed > box.width * box.height / 4, `the battery panel is no longer on the screen: ${changed} of ${box.width * box.height} pixels changed`);
  assert.notEqual(await page.evaluate((p) => document.elementFromPoint(p.x, p.y)?.closest('.window')?.dataset.window,
                                      area), String(FE_PANEL));

  const clicks = [];
  const seen = (req) => { if (req.url().endsWith('/api/click')) clicks.push(JSON.parse(req.postData())); };
  page.on('request', seen);
  await page.mouse.click(area.x, area.y);
  await new Promise((r) => setTimeout(r, 500));
  page.off('request', seen);
  const index = await page.evaluate((g) => document.querySelector(`img.gauge[data-gauge="${g}"]`).dataset.index, BATTERIES);
  assert.deepEqual(clicks.filter((c) => String(c.gauge) === index), []);
  assert.equal(await watched('batt_1_sw'), 2, 'battery 1 still on');

  // Open again, where it was; its title bar moves it and the switches follow.
  await runConsole(`window ${FE_PANEL} open`);
  await waitFor('the engineer panel back', async () => (await drawn(FE_PANEL)).display !== 'none');
  const title = await page.evaluate((id) => {
    const r = document.querySelector(`.window[data-window="${id}"] h3`).getBoundingClientRect();
    return { x: r.left + 40, y: r.top + r.height / 2 };
  }, FE_PANEL);
  const from = await drawn(FE_PANEL);
  await page.mouse.move(title.x, title.y);
  await page.mouse.down();
  await page.mouse.move(title.x - 60, title.y + 40, { steps: 4 });
  await page.mouse.up();
  const to = await drawn(FE_PANEL);
  assert.deepEqual([to.left - from.left, to.top - from.top], [-60, 40]);
  const moved = await areaPoint(BATTERIES, 'batt_1.off');
  assert.deepEqual([Math.round(moved.x - area.x), Math.round(moved.y - area.y)], [-60, 40]);
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
  assert.equal(await stopServer(server), 0);

  assertReplaysTheLiveTrace(file, liveTrace, 'the run');
});
