// What the live cockpit's browser tests share: their own `cockpit-sim serve` on a free port, headless
// Chromium started as this machine allows it, and waiting for what the page shows.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const sim = process.env.COCKPIT_SIM;
export const work = process.env.WORK;
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
assert.ok(sim && work, 'COCKPIT_SIM and WORK must be given');

// Starts `cockpit-sim serve SCENARIO` on a port of the system's choosing with its trace in `trace`;
// resolves to the server process and its port once it says where it listens.
export function startServer(scenario, trace) {
  return new Promise((resolve, reject) => {
    const server = spawn(sim, ['serve', scenario, '--port', '0', '--trace', trace], { stdio: ['ignore', 'pipe', 'inherit'] });
    let out = '';
    server.stdout.on('data', (d) => {
      out += d;
      const m = out.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
      if (m) resolve({ server, port: Number(m[1]) });
    });
    server.on('exit', (code) => reject(new Error(`cockpit-sim serve ended (${code}): ${out}`)));
  });
}

// Stops the server as a user's SIGTERM would; resolves to its exit status.
export function stopServer(server) {
  return new Promise((resolve) => {
    if (!server || server.exitCode !== null) return resolve(server && server.exitCode);
    server.removeAllListeners('exit');
    server.on('exit', (code) => resolve(code));
    server.kill('SIGTERM');
  });
}

// Headless Chromium without the background connections this machine's closed network refuses.
export function launchChromium(extraArgs = []) {
  return puppeteer.launch({
    executablePath: chromium, headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', ...extraArgs],
  });
}

// Polls `check` until it gives something, or fails the test after timeoutMs.
export async function waitFor(what, check, timeoutMs = 20000) {
  const until = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > until) assert.fail(`timed out waiting for ${what}`);
    await new Promise((r) => setTimeout(r, 100));
  }
}

// Replays a scenario the page saved with `cockpit-sim run` and checks that its timeline is the live
// one, byte for byte.
export function assertReplaysTheLiveTrace(scenarioFile, liveTrace, what) {
  const replayTrace = path.join(work, 'replay.csv');
  execFileSync(sim, ['run', scenarioFile, '--quiet', '--trace', replayTrace], { stdio: 'inherit' });
  const live = readFileSync(liveTrace, 'utf8');
  const replay = readFileSync(replayTrace, 'utf8');
  assert.ok(live.split('\n').length > 100, `the live timeline has ${what} in it`);
  assert.equal(replay, live);
}
