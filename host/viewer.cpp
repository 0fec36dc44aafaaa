// The viewer of a run: one self-contained HTML page (no server, no network) with every picture
// taken, the panel windows open at that moment as tabs, and beside them the timeline since the
// picture before (what changed, key events, sounds, windows). The arrow keys or buttons step
// through the pictures; the page's fragment names the picture shown (index.html#NAME), so a link
// or a headless browser can open it at a known frame.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "host/pictures.h"

namespace tarvenol::host {
namespace {

constexpr std::size_t kMaxRowsPerPicture = 400;

std::string base64(const std::string& in) {
    static const char* k = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((in.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8 | (unsigned char)in[i + 2];
        out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], k[v & 63]};
    }
    if (i + 1 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16;
        out += {k[v >> 18], k[(v >> 12) & 63], '=', '='};
    } else if (i + 2 == in.size()) {
        const unsigned v = (unsigned char)in[i] << 16 | (unsigned char)in[i + 1] << 8;
        out += {k[v >> 18], k[(v >> 12) & 63], k[(v >> 6) & 63], '='};
    }
    return out;
}

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
#bar{display:flex;gap:8px;align-items:center;padding:6px 10px;background:#2e3438}
#bar button{background:#4a5258;color:#f2f2ee;border:1px solid #6a747b;padding:3px 10px;font:inherit;cursor:pointer}
#bar button.on{background:#f2f2ee;color:#101214}
#label{font-weight:bold;min-width:260px}
#main{display:flex;align-items:flex-start}
#pics{flex:0 0 auto;padding:8px;overflow:auto;max-width:74vw}
#pics img{display:block;margin-bottom:8px}
#timeline{flex:1 1 auto;padding:8px;font:12px "DejaVu Sans Mono",monospace;overflow:auto;max-height:92vh}
#timeline td{padding:0 6px;white-space:nowrap}
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
  const img = el('img'); img.src = 'data:image/png;base64,' + p.windows[tab].png; img.alt = p.windows[tab].title; pics.appendChild(img);
  const t = document.getElementById('timeline'); t.replaceChildren();
  t.appendChild(el('div', 'since the picture before: ' + p.rows.length + ' entries' + (p.more ? ' (and ' + p.more + ' more)' : '')));
  const table = el('table');
  for (const r of p.rows) {
    const tr = el('tr', undefined, r[2]);
    for (const f of [r[0], r[2], r[3], r[4], r[5] === '' && r[6] === '' ? '' : r[5] + ' -> ' + r[6]]) tr.appendChild(el('td', f));
    table.appendChild(tr);
  }
  t.appendChild(table);
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

bool PictureBook::write_viewer(const std::string& title, std::FILE* trace, std::string& error) const {
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
    std::string data = "[";
    std::size_t r = 0;
    for (std::size_t i = 0; i < pictures_.size(); ++i) {
        const Picture& p = pictures_[i];
        data += i ? ",\n{" : "{";
        data += "\"name\":" + js(p.name) + ",\"frame\":" + std::to_string(p.frame) + ",\"windows\":[";
        for (std::size_t w = 0; w < p.windows.size(); ++w) {
            data += w ? "," : "";
            data += "{\"id\":" + std::to_string(p.windows[w].first) + ",\"title\":" + js(window_title(p.windows[w].first)) + ",\"png\":\"" + base64(p.windows[w].second) + "\"}";
        }
        data += "],\"rows\":[";
        std::size_t shown = 0, more = 0;
        for (; r < rows.size() && std::atol(rows[r][0].c_str()) <= p.frame; ++r) {
            if (shown == kMaxRowsPerPicture) {
                ++more;
                continue;
            }
            data += shown++ ? "," : "";
            data += "[";
            for (std::size_t f = 0; f < 7; ++f) data += (f ? "," : "") + js(f < rows[r].size() ? rows[r][f] : "");
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
