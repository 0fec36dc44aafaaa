// The page's link to the cockpit: every request gives up after a while (and the page says so, and
// keeps trying), and the page's place among the pages open on the cockpit is kept in the tab, so
// that a reload, or a wake-up in a background tab after the place was given up, takes it back.
'use strict';

const link = {
  timeoutMs: 5000,
  lostSince: null,   // when the last request went unanswered (null: all well)
};

// fetch, given up after timeoutMs.
async function fetchWithin(path, init) {
  const abort = new AbortController();
  const timer = setTimeout(() => abort.abort(), link.timeoutMs);
  try {
    const res = await fetch(path, { ...init, signal: abort.signal });
    link.lostSince = null;
    return res;
  } catch (err) {
    if (link.lostSince === null) link.lostSince = Date.now();
    if (err.name === 'AbortError') throw new Error(`no answer within ${link.timeoutMs / 1000} s`);
    throw err;
  } finally {
    clearTimeout(timer);
  }
}

// How long the cockpit has not answered, for the status line.
function linkLost(err) {
  const s = link.lostSince === null ? 0 : Math.round((Date.now() - link.lostSince) / 1000);
  return `no answer from the cockpit${s ? ` for ${s} s` : ''} (${err.message || err}): trying again`;
}

// Says hello with the place this tab had (if any); the place given is kept for the next time.
async function join(api) {
  const previous = sessionStorage.getItem('cockpit.client');
  const reply = await api('/api/hello', previous ? { client: previous } : {});
  sessionStorage.setItem('cockpit.client', reply.client);
  return reply;
}
