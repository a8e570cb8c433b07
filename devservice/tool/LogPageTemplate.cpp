// The HTML page of `veltodev log --html`: one file with its style and script inline, which
// loads nothing, so that it opens from the disk (file://) on a machine without a network. It
// reads its data from the JSON script element and builds everything with DOM calls, so that
// a text of the log is only ever text.

#include <string>

#include "tool/LogPage.h"

namespace qz::devservice::tool {

namespace {

constexpr const char kHead[] = R"page(<!DOCTYPE html>
<html lang="en" data-errors="0">
<head>
<meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'">
<title>call log</title>
<script>
// First of all, so that a checker of the page finds every error it met.
(function () {
  var errors = [];
  function record(text) {
    errors.push(String(text));
    document.documentElement.setAttribute('data-errors', String(errors.length));
    document.documentElement.setAttribute('data-error-text', errors.join(' | '));
  }
  window.addEventListener('error', function (event) { record(event.message); });
  var original = console.error;
  console.error = function () {
    record(Array.prototype.join.call(arguments, ' '));
    original.apply(console, arguments);
  };
})();
</script>
<style>
body { font: 14px/1.4 sans-serif; margin: 1em 2em; color: #222; }
h1 { font-size: 1.3em; } h2 { font-size: 1.1em; margin-top: 2em; } h3 { font-size: 1em; }
table { border-collapse: collapse; margin: 0.3em 0 1em; }
th, td { border: 1px solid #ccc; padding: 2px 8px; text-align: left; vertical-align: top; }
th { background: #f2f2f2; }
fieldset { display: inline-block; border: 1px solid #ccc; }
label { margin-right: 1em; white-space: nowrap; }
.timeline { border: 1px solid #ccc; background: #fcfcfc; max-width: 100%; }
.bar { fill: #4a7fc1; }
.bar.failed { fill: #e09a2c; }
.bar.lost { fill: #d33; fill-opacity: 0.35; stroke: #d33; stroke-dasharray: 3 2; }
.fault { fill: #d33; }
.commit { fill: #2a2; }
.commit.discarded { fill: #d33; }
.lane-label, .tick { font-size: 11px; fill: #555; }
.grid { stroke: #e4e4e4; }
.hidden { display: none; }
.legend span { margin-right: 1.5em; }
</style>
</head>
<body>
<h1 id="title">call log</h1>
<ul id="notes"></ul>
<fieldset id="filters"><legend>kinds shown</legend></fieldset>
<p class="legend"><span>&#9644; answered</span><span style="color:#e09a2c">&#9644; failed</span>
<span style="color:#d33">&#9647; never answered</span><span style="color:#d33">&#9670; fault</span>
<span style="color:#2a2">&#9650; commit</span><span style="color:#d33">&#9650; commit discarded</span></p>
<div id="sessions"></div>
<script type="application/json" id="log-data">)page";

constexpr const char kTail[] = R"page(</script>
<svg id="svg-namespace" style="display:none"></svg>
<script>
(function () {
  // The parser gives an inline svg element its namespace: the page names no URL at all.
  var SVG = document.getElementById('svg-namespace').namespaceURI;
  var data = JSON.parse(document.getElementById('log-data').textContent);
  var width = 1000, left = 90, laneHeight = 14, markRow = 16;

  function element(name, text, className) {
    var node = document.createElement(name);
    if (text !== undefined) node.textContent = text;
    if (className) node.className = className;
    return node;
  }
  function shape(name, attributes, tip) {
    var node = document.createElementNS(SVG, name);
    for (var key in attributes) node.setAttribute(key, attributes[key]);
    if (tip) {
      var title = document.createElementNS(SVG, 'title');
      title.textContent = tip;
      node.appendChild(title);
    }
    return node;
  }
  function ms(microseconds) { return (microseconds / 1000).toFixed(3) + ' ms'; }

  function table(description) {
    var node = element('table');
    var head = element('tr');
    description.columns.forEach(function (column) { head.appendChild(element('th', column)); });
    node.appendChild(head);
    description.rows.forEach(function (row) {
      var line = element('tr');
      row.cells.forEach(function (cell) { line.appendChild(element('td', cell)); });
      node.appendChild(line);
    });
    return node;
  }

  // Requests of a kind share lanes: each goes into the first lane free at its call.
  function lanes(requests, end) {
    var byKind = {}, order = [];
    requests.forEach(function (request) {
      var stop = request.answer === null ? end : request.answer;
      var kind = byKind[request.kind];
      if (!kind) { kind = byKind[request.kind] = []; order.push(request.kind); }
      var lane = 0;
      while (lane < kind.length && kind[lane] > request.call) lane++;
      kind[lane] = Math.max(stop, request.call + 1);
      request.lane = lane;
      request.stop = stop;
    });
    var rows = [], first = {};
    order.forEach(function (kind) { first[kind] = rows.length; byKind[kind].forEach(function (_, i) { rows.push({ kind: kind, first: i === 0 }); }); });
    requests.forEach(function (request) { request.row = first[request.kind] + request.lane; });
    return rows;
  }

  function timeline(session) {
    var start = session.start, end = Math.max(session.end, session.start + 1);
    var rows = lanes(session.requests, end);
    var top = 18, marks = top + rows.length * laneHeight + 6;
    var height = marks + 2 * markRow + 4;
    var scale = (width - left - 10) / (end - start);
    function x(time) { return left + (time - start) * scale; }
    var svg = shape('svg', { 'class': 'timeline', width: width, height: height,
                             viewBox: '0 0 ' + width + ' ' + height });
    for (var i = 0; i <= 4; i++) {
      var time = start + (end - start) * i / 4, at = x(time);
      svg.appendChild(shape('line', { 'class': 'grid', x1: at, x2: at, y1: 12, y2: height }));
      var tick = shape('text', { 'class': 'tick', x: at, y: 10, 'text-anchor': i === 0 ? 'start' : i === 4 ? 'end' : 'middle' });
      tick.textContent = ms(time);
      svg.appendChild(tick);
    }
    rows.forEach(function (row, index) {
      if (!row.first) return;
      var label = shape('text', { 'class': 'lane-label', x: 4, y: top + index * laneHeight + 10, 'data-kind': row.kind });
      label.textContent = row.kind;
      svg.appendChild(label);
    });
    session.requests.forEach(function (request) {
      var from = x(request.call), to = x(request.stop);
      var classes = 'bar' + (request.answer === null ? ' lost' : request.failed ? ' failed' : '');
      var tip = 'request ' + request.id + ' (' + request.kind + ') at ' + ms(request.call) + ': ' +
          (request.answer === null ? request.result :
           ms(request.answer - request.call) + ', ' + request.updates + ' Update call(s), ' + request.result);
      svg.appendChild(shape('rect', { 'class': classes, 'data-kind': request.kind, x: from,
          y: top + request.row * laneHeight + 2, width: Math.max(to - from, 2), height: laneHeight - 4 }, tip));
    });
    var label = shape('text', { 'class': 'lane-label', x: 4, y: marks + 11 });
    label.textContent = 'faults';
    svg.appendChild(label);
    session.faults.forEach(function (fault) {
      var at = x(fault.time), y = marks + 7;
      svg.appendChild(shape('path', { 'class': 'fault', d: 'M' + at + ' ' + (y - 6) + 'l6 6l-6 6l-6 -6z' },
          'fault at ' + ms(fault.time) + ': ' + fault.operation + (fault.request === null ? '' : ' request ' + fault.request) +
          ', rule ' + fault.rule + ', answer ' + fault.answer));
    });
    label = shape('text', { 'class': 'lane-label', x: 4, y: marks + markRow + 11 });
    label.textContent = 'commits';
    svg.appendChild(label);
    session.commits.forEach(function (commit) {
      var at = x(commit.time), y = marks + markRow + 2;
      svg.appendChild(shape('path', { 'class': 'commit' + (commit.committed ? '' : ' discarded'),
          d: 'M' + at + ' ' + y + 'l6 11h-12z' },
          'commit at ' + ms(commit.time) + ' of savegame ' + commit.savegame + ' of product ' + commit.product +
          (commit.committed ? ': committed' : ': discarded, ' + commit.reason)));
    });
    return svg;
  }

  document.title = data.title;
  document.getElementById('title').textContent = data.title;
  var notes = document.getElementById('notes');
  data.notes.forEach(function (note) { notes.appendChild(element('li', note)); });

  var kinds = [];
  var sessions = document.getElementById('sessions');
  data.sessions.forEach(function (session) {
    session.requests.forEach(function (request) {
      if (kinds.indexOf(request.kind) < 0) kinds.push(request.kind);
    });
    sessions.appendChild(element('h2', session.headline));
    var sessionNotes = element('ul');
    session.notes.forEach(function (note) { sessionNotes.appendChild(element('li', note)); });
    sessions.appendChild(sessionNotes);
    [['requests', session.requests, session.requestCount], ['faults', session.faults, session.faultCount],
     ['commits', session.commits, session.commitCount]].forEach(function (list) {
      if (list[1].length < list[2]) {
        sessions.appendChild(element('p', 'The timeline draws the first ' + list[1].length + ' of ' +
            list[2] + ' ' + list[0] + '; the tables count them all.'));
      }
    });
    sessions.appendChild(timeline(session));
    session.tables.forEach(function (description) {
      sessions.appendChild(element('h3', description.title));
      sessions.appendChild(table(description));
      if (description.rows.length < description.rowCount) {
        sessions.appendChild(element('p', 'The first ' + description.rows.length + ' of ' + description.rowCount +
            ' rows; veltodev log shows them all.'));
      }
    });
  });

  var filters = document.getElementById('filters');
  kinds.forEach(function (kind) {
    var box = element('input');
    box.type = 'checkbox';
    box.checked = true;
    box.value = kind;
    box.addEventListener('change', function () {
      document.querySelectorAll('[data-kind="' + kind + '"]').forEach(function (node) {
        node.classList.toggle('hidden', !box.checked);
      });
    });
    var label = element('label');
    label.appendChild(box);
    label.appendChild(document.createTextNode(' ' + kind));
    filters.appendChild(label);
  });
  // "#hide=read,write" opens the page with those kinds hidden, for a link that shows a view.
  var hide = /^#hide=(.*)$/.exec(location.hash);
  if (hide) {
    filters.querySelectorAll('input').forEach(function (box) {
      if (hide[1].split(',').indexOf(box.value) >= 0) {
        box.checked = false;
        box.dispatchEvent(new Event('change'));
      }
    });
  }

  var root = document.documentElement;
  root.setAttribute('data-bars', String(document.querySelectorAll('.bar').length));
  root.setAttribute('data-lost', String(document.querySelectorAll('.bar.lost').length));
  root.setAttribute('data-faults', String(document.querySelectorAll('.fault').length));
  root.setAttribute('data-rendered', 'true');
})();
</script>
</body>
</html>
)page";

}  // namespace

std::string LogPageFromData(const std::string& json) {
    return kHead + json + kTail;
}

}  // namespace qz::devservice::tool
