// The viewer of a run: one HTML page beside the pictures' files (no server, no network) with every
// picture taken, the panel windows open at that moment as tabs, and beside them what the run printed
// for the stretch since the picture before (changes, key events, sounds, windows, expects), with
// the raw events of the trace on demand. The arrow keys or buttons step through the pictures; the
// page's fragment names the picture shown (index.html#NAME), so a link or a headless browser can
// open it at a known frame.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/pictures.h"

namespace tarvenol::host {
namespace {

constexpr std::size_t kMaxRowsPerPicture = 400;

// A JavaScript string literal, safe inside a script element.
std::string js(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': break;
            case '<': out += "\\u003c"; break;
            case '>': out += "\\u003e"; break;
            case '&': out += "\\u0026"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char esc[8];
                    std::snprintf(esc, sizeof esc, "\\u%04x", c);
                    out += esc;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

const char* kPage = R"(<!doctype html>
<html><head><meta charset="utf-8"><title>TITLE</title>
<style>
body{margin:0;background:#1b1e20;color:#e8e8e4;font:13px "DejaVu Sans",sans-serif}
#bar{display:flex;flex-wrap:wrap;gap:8px;align-items:center;padding:6px 10px;background:#2e3438}
#bar button{background:#4a5258;color:#f2f2ee;border:1px solid #6a747b;padding:3px 10px;font:inherit;cursor:pointer}
#bar button.on{background:#f2f2ee;color:#101214}
#label{font-weight:bold;min-width:260px}
#main{display:flex;align-items:flex-start;height:calc(100vh - 40px)}
#pics{flex:1 1 auto;min-width:0;padding:8px;overflow:auto;height:100%;box-sizing:border-box}
#pics img{display:block;margin-bottom:8px}
#timeline{flex:0 0 min(480px,34vw);padding:8px;overflow:auto;height:100%;box-sizing:border-box;border-left:1px solid #2e3438}
#timeline pre{margin:0 0 8px;font:12px "DejaVu Sans Mono",monospace;white-space:pre-wrap}
#timeline td{padding:0 6px;white-space:nowrap;font:11px "DejaVu Sans Mono",monospace}
#timeline summary{cursor:pointer;margin:6px 0}
.key{color:#4aa8ff}.sound{color:#35d05a}.window{color:#e8c070}
</style></head><body>
<div id="bar"><button id="prev">&#9664; previous</button><button id="next">next &#9654;</button>
<span id="label"></span><span id="tabs"></span></div>
<div id="main"><div id="pics"></div><div id="timeline"></div></div>
<script>
const pictures = PICTURES;
let current = 0, tab = 0;
function el(tag, text, cls) { const e = document.createElement(tag); if (text !== undefined) e.textContent = text; if (cls) e.className = cls; return e; }
function show(i) {
  current = Math.max(0, Math.min(pictures.length - 1, i));
  const p = pictures[current];
  if (!p) return;
  if (tab >= p.windows.length) tab = 0;
  document.getElementById('label').textContent = (current + 1) + '/' + pictures.length + '  ' + p.name + '  frame ' + p.frame + '  (' + (p.frame / 18).toFixed(1) + ' s)';
  const tabs = document.getElementById('tabs'); tabs.replaceChildren();
  p.windows.forEach((w, k) => { const b = el('button', w.title, k === tab ? 'on' : ''); b.onclick = () => { tab = k; show(current); }; tabs.appendChild(b); });
  const pics = document.getElementById('pics'); pics.replaceChildren();
  const img = el('img'); img.src = encodeURIComponent(p.name) + '/window_' + p.windows[tab].id + '.png'; img.alt = p.windows[tab].title; pics.appendChild(img);
  const t = document.getElementById('timeline'); t.replaceChildren();
  t.appendChild(el('div', current ? 'since the picture before:' : 'from the start:'));
  t.appendChild(el('pre', p.text || '(nothing changed)'));
  const raw = el('details'); raw.appendChild(el('summary', 'raw events: ' + p.rows.length + (p.more ? ' (and ' + p.more + ' more in the trace)' : '')));
  const table = el('table');
  raw.ontoggle = () => {
    if (!raw.open || table.childElementCount) return;
    for (const r of p.rows) {
      const tr = el('tr', undefined, r[2]);
      for (const f of [r[0], r[2], r[3], r[4], r[5] === '' && r[6] === '' ? '' : r[5] + ' -> ' + r[6]]) tr.appendChild(el('td', f));
      table.appendChild(tr);
    }
  };
  raw.appendChild(table);
  t.appendChild(raw);
  const hash = '#' + encodeURIComponent(p.name) + (tab ? '@' + p.windows[tab].id : '');
  if (location.hash !== hash) history.replaceState(null, '', hash);
}
// #NAME or #NAME@WINDOW (a panel window id) picks the picture and the window shown.
function fromHash() {
  const [want, win] = decodeURIComponent(location.hash.slice(1)).split('@');
  const p = pictures.find(q => q.name === want);
  if (p && win) tab = Math.max(0, p.windows.findIndex(w => String(w.id) === win));
  const i = pictures.findIndex(p => p.name === want);
  show(i >= 0 ? i : (/^[0-9]+$/.test(want) ? Number(want) : 0));
}
document.getElementById('prev').onclick = () => show(current - 1);
document.getElementById('next').onclick = () => show(current + 1);
document.addEventListener('keydown', e => { if (e.key === 'ArrowLeft') show(current - 1); if (e.key === 'ArrowRight') show(current + 1); });
window.addEventListener('hashchange', fromHash);
fromHash();
</script></body></html>
)";

}  // namespace

std::vector<std::string> csv_row(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                fields.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back() += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

bool PictureBook::write_viewer(const std::string& title, std::FILE* trace, std::FILE* timeline_text,
                               const std::vector<long>& text_offsets, std::string& error) const {
    // The timeline rows, by frame.
    std::vector<std::vector<std::string>> rows;
    if (trace) {
        std::rewind(trace);
        std::string line;
        char buf[4096];
        bool header = true;
        while (std::fgets(buf, sizeof buf, trace)) {
            line += buf;
            if (line.empty() || line.back() != '\n') continue;
            line.pop_back();
            if (!header) rows.push_back(csv_row(line));
            header = false;
            line.clear();
        }
    }
    // The printed timeline of each picture's stretch: from the picture before up to this one.
    std::vector<std::string> stretches(pictures_.size());
    if (timeline_text) {
        std::fflush(timeline_text);
        std::rewind(timeline_text);
        long at = 0;
        for (std::size_t i = 0; i < pictures_.size() && i < text_offsets.size(); ++i) {
            const long end = std::max(at, text_offsets[i]);
            std::string& text = stretches[i];
            text.resize(static_cast<std::size_t>(end - at));
            if (!text.empty() && std::fread(text.data(), 1, text.size(), timeline_text) != text.size()) text.clear();
            at = end;
        }
    }
    std::string data = "[";
    std::size_t r = 0;
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        const Picture& p = pictures_[i];
        data += i ? ",\n{" : "{";
        data += "\"name\":" + js(p.name) + ",\"frame\":" + std::to_string(p.frame) + ",\"windows\":[";
        for (std::size_t w = 0; w < p.windows.size(); ++w) {
            data += w ? "," : "";
            data += "{\"id\":" + std::to_string(p.windows[w].first) + ",\"title\":" + js(window_title(p.windows[w].first)) + "}";
        }
        data += "],\"text\":" + js(stretches[i]) + ",\"rows\":[";
        std::size_t shown = 0, more = 0;
        for (; r < rows.size() && std::atol(rows[r][0].c_str()) <= p.frame; ++r) {
            if (shown == kMaxRowsPerPicture) {
                ++more;
                continue;
            }
            data += shown++ ? "," : "";
            data += "[";
            for (std::size_t f = 0; f < 7; ++f) {
                if (f) data += ',';
                data += js(f < rows[r].size() ? rows[r][f] : "");
            }
            data += "]";
        }
        data += "],\"more\":" + std::to_string(more) + "}";
    }
    data += "]";
    std::string page = kPage;
    page.replace(page.find("TITLE"), 5, "cockpit-sim: " + title);
    page.replace(page.find("PICTURES"), 8, data);
    const std::string path = dir_ + "/index.html";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(page.data(), 1, page.size(), f) != page.size() || std::fclose(f) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace tarvenol::host
