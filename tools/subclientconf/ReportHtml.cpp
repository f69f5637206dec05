// The report as one page: the document's figures inline, drawn by a script
// of the page itself as a legend and a treemap of the folders down to the
// depth, every rectangle one owner's bytes, coloured by that owner. Nothing is
// fetched when the page is viewed.
#include "Report.h"

#include <cstdio>

namespace {

const char* const kHead = R"PAGE(<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>subclientconf report</title>
<style>
body{font:14px/1.4 sans-serif;margin:16px;color:#222}
h1{font-size:18px;margin:0 0 8px}
#legend{display:flex;flex-wrap:wrap;gap:6px 18px;margin:8px 0}
.row{display:flex;align-items:center;gap:6px}
.swatch{width:14px;height:14px;border:1px solid #555}
#map{border:1px solid #999}
#map text{font-size:11px;pointer-events:none}
#tip{position:fixed;display:none;background:#fffffe;border:1px solid #666;padding:4px 8px;font-size:12px;
white-space:pre;pointer-events:none}
#unreadable{color:#a00}
</style></head><body>
<h1>Where the bytes go</h1>
<div id="summary"></div><div id="legend"></div>
<svg id="map" width="1000" height="600" xmlns="http://www.w3.org/2000/svg"></svg>
<div id="unreadable"></div><div id="tip"></div>
<script type="application/json" id="report">)PAGE";

const char* const kTail = R"PAGE(</script>
<script>
"use strict";
const doc = JSON.parse(document.getElementById("report").textContent);
const palette = ["#4e79a7","#f28e2b","#59a14f","#e15759","#76b7b2","#edc948","#b07aa1","#ff9da7","#9c755f","#86bcb6"];
const colour = n => n === 0 ? "#d0d0d0" : palette[(n - 1) % palette.length];
const label = n => n === 0 ? "not backed up" : doc.subclients[n - 1].name;
const el = (tag, attrs, text) => {
  const e = document.createElementNS(tag === "div" || tag === "span" ? "http://www.w3.org/1999/xhtml"
                                                                     : "http://www.w3.org/2000/svg", tag);
  for (const k in attrs) e.setAttribute(k, attrs[k]);
  if (text !== undefined) e.textContent = text;
  return e;
};
const pct = share => (100 * share).toFixed(1) + "%";
document.getElementById("summary").textContent = doc.file + (doc.root ? " on " + doc.root : "") + ": " +
  doc.totals.files + " files, " + doc.totals.bytes + " bytes walked";
const legend = document.getElementById("legend");
const owners = doc.subclients.map(s => ({n: s.number, f: s})).concat([{n: 0, f: doc.notBackedUp}]);
for (const o of owners) {
  const row = el("div", {class: "row", "data-bytes": o.f.bytes});
  row.appendChild(el("span", {class: "swatch", style: "background:" + colour(o.n)}));
  row.appendChild(el("span", {}, label(o.n) + ": " + o.f.files + " files, " + o.f.bytes + " bytes, " + pct(o.f.share)));
  legend.appendChild(row);
}
if (doc.unreadable.length)
  document.getElementById("unreadable").textContent = "Unreadable, skipped by the walk: " +
    doc.unreadable.map(u => u.path + " (" + u.error + ")").join(", ");
// Each folder's items: the folders below it and, per owner, the bytes left for the folder itself.
const byPath = new Map(doc.folders.map(f => [f.path, {f: f, kids: []}]));
const tops = [];
for (const node of byPath.values())
  (node.f.parent !== null && byPath.has(node.f.parent) ? byPath.get(node.f.parent).kids : tops).push(node);
const bytesOf = (f, n) => { const o = f.owners.find(o => o.number === n); return o ? o.bytes : 0; };
const total = f => f.owners.reduce((sum, o) => sum + o.bytes, 0);
function items(node) {
  const list = node.kids.map(k => ({node: k, value: total(k.f)}));
  for (const o of node.f.owners) {
    const left = o.bytes - node.kids.reduce((sum, k) => sum + bytesOf(k.f, o.number), 0);
    list.push({piece: o, path: node.f.path, value: left});
  }
  return list.filter(i => i.value > 0).sort((a, b) => b.value - a.value);
}
// Squarified rows: each row is laid along the shorter side while that keeps the rectangles squarer.
function layout(list, x, y, w, h, draw) {
  let sum = list.reduce((s, i) => s + i.value, 0);
  while (list.length) {
    const side = Math.min(w, h), scale = w * h / sum;
    let row = [], rowSum = 0, worst = Infinity;
    for (const item of list) {
      const s = rowSum + item.value, thick = s * scale / side;
      const next = Math.max(...row.concat([item]).map(i => {
        const len = i.value * scale / thick; return Math.max(len / thick, thick / len); }));
      if (next > worst) break;
      worst = next; row.push(item); rowSum = s;
    }
    const thick = rowSum * scale / side;
    let offset = 0;
    for (const item of row) {
      const len = item.value * scale / thick;
      if (w >= h) draw(item, x, y + offset, thick, len); else draw(item, x + offset, y, len, thick);
      offset += len;
    }
    if (w >= h) { x += thick; w -= thick; } else { y += thick; h -= thick; }
    list = list.slice(row.length); sum -= rowSum;
  }
}
const svg = document.getElementById("map"), tip = document.getElementById("tip");
function draw(item, x, y, w, h) {
  if (w < 0.5 || h < 0.5) return;
  if (item.node) {
    const f = item.node.f;
    svg.appendChild(el("rect", {x: x, y: y, width: w, height: h, fill: "none", stroke: "#333"}));
    const pad = h > 24 && w > 24 ? 14 : 0;
    if (pad) svg.appendChild(el("text", {x: x + 3, y: y + 11}, f.path));
    layout(items(item.node), x + 1, y + pad, Math.max(w - 2, 0), Math.max(h - pad - 1, 0), draw);
    return;
  }
  const p = item.piece;
  const r = el("rect", {x: x, y: y, width: w, height: h, fill: colour(p.number), stroke: "#fff", "stroke-width": 0.5});
  const text = item.path + "\nsubclient: " + label(p.number) + "\ncontent: " + (p.content || "-") +
    "\nbytes: " + item.value + "\nfiles: " + p.files;
  r.appendChild(el("title", {}, text));
  r.addEventListener("mousemove", e => { tip.textContent = text; tip.style.display = "block";
    tip.style.left = (e.clientX + 12) + "px"; tip.style.top = (e.clientY + 12) + "px"; });
  r.addEventListener("mouseleave", () => { tip.style.display = "none"; });
  svg.appendChild(r);
}
layout(tops.map(t => ({node: t, value: total(t.f)})).filter(i => i.value > 0), 0, 0, 1000, 600, draw);
</script></body></html>
)PAGE";

// The document as the script's text: "</" would end the script element early.
std::string scriptText(const Json& document)
{
    std::string text = jsonText(document, -1);
    std::string safe;
    for (char c : text)
        safe += c == '<' ? std::string("\\u003c") : std::string(1, c);
    return safe;
}

}  // namespace

bool writeReportHtml(const Json& document, const std::string& path)
{
    FILE* out = fopen(path.c_str(), "w");
    if (!out)
        return false;
    fputs(kHead, out);
    fputs(scriptText(document).c_str(), out);
    fputs(kTail, out);
    bool written = !ferror(out);
    return fclose(out) == 0 && written;
}
