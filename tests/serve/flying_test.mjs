// The live cockpit flown by hand in headless Chromium: on a long final with the flight model on,
// the arrow keys pull the nose up and bank the aircraft (pitch and bank change as pressed, through
// the simulator's elevator and aileron key events), so does a gamepad, the page survives reloads and
// a lost place, it says when the cockpit stops answering and carries on when it answers again, and
// the session saved from the page replays to the same timeline.
//
// COCKPIT_SIM=path/to/cockpit-sim WORK=dir [CHROMIUM=/usr/bin/chromium] node --test flying_test.mjs
import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdirSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { sim, work, startServer, stopServer, launchChromium, waitFor, assertReplaysTheLiveTrace } from './harness.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));

const HELD_MS = 1500;         // how long a key is held
const PITCH_CHANGE_DEG = 1;   // at least, while the nose-up key is held (the manual pitch rate is 4 deg/s)
const BANK_CHANGE_DEG = 5;    // at least, while the bank key is held

let server, port, browser, page;
const liveTrace = path.join(work, 'live.csv');



// The attitude as the page last heard it (the simulator's signs: nose down, left wing down positive).
const attitude = () => page.evaluate(() => {
  const v = (n) => (cockpit.state?.watch || []).find((w) => w.name === n)?.value;
  return { frame: cockpit.state?.frame ?? -1, pitch: v('sim:pitch_deg'), bank: v('sim:bank_deg') };
});

// The attitude once the page has a state at least a few frames newer than now.
async function freshAttitude() {
  const from = (await attitude()).frame;
  await waitFor('a newer state', async () => (await attitude()).frame > from + 3);
  return attitude();
}

async function hold(key, ms) {
  await page.keyboard.down(key);
  await new Promise((r) => setTimeout(r, ms));
  await page.keyboard.up(key);
}

before(async () => {
  rmSync(work, { recursive: true, force: true });
  mkdirSync(work, { recursive: true });
  ({ server, port } = await startServer(path.join(here, 'hand_flying.scn'), liveTrace));
  browser = await launchChromium();
  page = await browser.newPage();
  await page.setViewport({ width: 1600, height: 1000 });
  page.on('pageerror', (e) => console.error('page error:', e.message));
  await page.goto(`http://127.0.0.1:${port}/`);
  await waitFor('the attitude on the page', async () => (await attitude()).bank !== undefined);
});

after(async () => {
  if (browser) await browser.close();
  await stopServer(server);
});

test('a page reloaded more often than the pages allowed, or whose place was lost, carries on', async () => {
  for (let i = 0; i < 6; i++) await page.reload();
  await waitFor('the page after its reloads', () => page.evaluate(() => window.cockpit && cockpit.polls > 2));
  const status = await page.evaluate(() => document.getElementById('status').textContent);
  assert.doesNotMatch(status, /too many pages/);
  // Its place forgotten by the server (as after a sleep in a background tab): it says hello again.
  const polls = await page.evaluate(() => {
    cockpit.client = '0123456789abcdef';
    sessionStorage.setItem('cockpit.client', 'fedcba9876543210');
    return cockpit.polls;
  });
  await waitFor('polls answered again', () => page.evaluate((n) => cockpit.polls > n + 3, polls));
  assert.equal(await page.evaluate(() => cockpit.client), 'fedcba9876543210');
  const icon = await page.evaluate(async () => (await fetch('/favicon.ico')).headers.get('Content-Type'));
  assert.equal(icon, 'image/svg+xml');
});

test('a cockpit that stops answering is said so, and the page carries on once it answers again', async () => {
  const statusText = () => page.evaluate(() => document.getElementById('status').textContent);
  server.kill('SIGSTOP');
  try {
    await waitFor('the page saying the cockpit does not answer', async () => /no answer from the cockpit/.test(await statusText()));
  } finally {
    server.kill('SIGCONT');
  }
  const polls = await page.evaluate(() => cockpit.polls);
  await waitFor('the page polling again', () => page.evaluate((n) => cockpit.polls > n + 3, polls));
  assert.doesNotMatch(await statusText(), /no answer/);
});

test('the keys fly the aircraft: the nose comes up and the wings bank as they are held', async () => {
  await page.click('#fly-keys');
  assert.equal(await page.evaluate(() => document.getElementById('fly-help').hidden), false);
  assert.match(await page.evaluate(() => document.getElementById('fly-help').innerText), /elevator/);
  await page.click('#fly-keys');
  await page.focus('body');

  const level = await freshAttitude();
  await hold('ArrowDown', HELD_MS);           // stick back: nose up (pitch more negative)
  const nose_up = await freshAttitude();
  assert.ok(level.pitch - nose_up.pitch >= PITCH_CHANGE_DEG,
            `nose up by at least ${PITCH_CHANGE_DEG} deg: ${level.pitch} -> ${nose_up.pitch}`);
  assert.ok(Math.abs(nose_up.bank - level.bank) < 1, `no bank from the elevator: ${level.bank} -> ${nose_up.bank}`);

  await hold('ArrowLeft', HELD_MS);           // stick left: left wing down (bank positive)
  const banked = await freshAttitude();
  console.log(`pitch ${level.pitch.toFixed(2)} -> ${nose_up.pitch.toFixed(2)} deg with the nose-up key held ${HELD_MS} ms; ` +
              `bank ${nose_up.bank.toFixed(2)} -> ${banked.bank.toFixed(2)} deg with the left key`);
  assert.ok(banked.bank - nose_up.bank >= BANK_CHANGE_DEG,
            `left bank by at least ${BANK_CHANGE_DEG} deg: ${nose_up.bank} -> ${banked.bank}`);

  await page.keyboard.press('F7');            // one step of flap
  await waitFor('the flap lever a step out', () => page.evaluate(() => flying.lines > 0));
  // Let go, the stick springs back to the centre (over a few of the page's frames).
  await waitFor('the stick centred when let go', () => page.evaluate(() => flying.sent.elevator === 0 && flying.sent.aileron === 0));
});

test('a gamepad flies too: its stick banks the aircraft, its A button lowers the gear', async () => {
  const before = await freshAttitude();
  // The browser's gamepad interface, as a pad held right with A pressed would answer it.
  await page.evaluate(() => {
    window.padNow = { axes: [1, 0, 0, 0], buttons: [{ pressed: true, value: 1 }] };
    navigator.getGamepads = () => (window.padNow ? [window.padNow] : []);
  });
  await new Promise((r) => setTimeout(r, HELD_MS));
  await page.evaluate(() => { window.padNow = null; });
  const after = await freshAttitude();
  assert.ok(before.bank - after.bank >= BANK_CHANGE_DEG,
            `right bank by at least ${BANK_CHANGE_DEG} deg: ${before.bank} -> ${after.bank}`);
  await waitFor('the gear handle down', () => page.evaluate(() =>
    (cockpit.state?.watch || []).find((w) => w.name === 'sim:gear_handle')?.value === 1));
});

test('the hand-flown session saved from the page replays to the same timeline', async () => {
  await page.click('#pause');
  await waitFor('the frames paused', () => page.evaluate(() => cockpit.state && !cockpit.state.running));
  const saved = await page.evaluate(() => cockpit.saveScenario());
  const file = path.join(work, 'flown.scn');
  writeFileSync(file, saved);
  assert.match(saved, /^key elevator_set -\d+$/m);
  assert.match(saved, /^key aileron_set \d+$/m);
  assert.match(saved, /^key flaps_extend_step$/m);
  assert.match(saved, /^key gear_down$/m);
  await browser.close();
  browser = null;
  assert.equal(await stopServer(server), 0);

  assertReplaysTheLiveTrace(file, liveTrace, 'the flight');
});
