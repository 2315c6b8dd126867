// The alnadvise report page. Its data are the two JSON elements the advisor
// embedded: report.json's own text and the winning alignment. Every text
// from the data reaches the page through textContent or a canvas, never as
// markup.
'use strict';
(function () {
  const report = JSON.parse(document.getElementById('report-data').textContent);
  const alignment = JSON.parse(document.getElementById('alignment-data').textContent);
  const byReference = report.mode === 'reference';

  // ---- small helpers ----
  function el(tag, text, className) {
    const e = document.createElement(tag);
    if (text !== undefined && text !== null) e.textContent = String(text);
    if (className) e.className = className;
    return e;
  }
  function fixed(value, decimals) {
    return typeof value === 'number' && isFinite(value) ? value.toFixed(decimals) : '';
  }
  function baseName(path) {
    return String(path || '').split('/').pop();
  }
  // Only the relative paths the advisor writes become links.
  function safeLink(path) {
    return typeof path === 'string' && /^[A-Za-z0-9._-][A-Za-z0-9._\/-]*$/.test(path) &&
        path.indexOf('..') < 0 ? path : null;
  }
  function configurationText(c) {
    return c.aligner + (c.options ? ' ' + c.options : ' (defaults)');
  }

  // ---- summary ----
  const candidates = report.candidates || [];
  const best = report.best ? candidates.find(function (c) { return c.id === report.best.id; }) || null
                            : null;
  const dataSet = report.dataSet || {};
  const nucleotide = dataSet.alphabet === 'dna' || dataSet.alphabet === 'rna';
  const estimator = report.estimator || {};
  const learned = estimator.name === 'learned';
  const byConsensus = estimator.name === 'consensus';  // Q against the other aligners'
  const predicting = learned || byConsensus;
  const predictedName = byConsensus ? 'consensus Q' : 'predicted Q';
  const crossValidation = estimator.crossValidation || {};
  document.title = baseName(dataSet.path) + ': alnadvise report';
  document.getElementById('title').textContent = baseName(dataSet.path);
  const summary = [
    dataSet.sequences + ' ' + (nucleotide ? dataSet.alphabet.toUpperCase() + ' ' : '') +
        'sequences (' + dataSet.distinctSequences + ' distinct), mean length ' +
        fixed(dataSet.meanLength, 1),
    byReference ? 'scored by Q and TC against ' + baseName(report.reference)
                : learned ? 'ranked by the learned estimator\'s predicted Q (no reference)'
                : byConsensus ? 'ranked by the consensus Q, against the other aligners\' ' +
                                  'alignments (no reference)'
                          : 'ranked by agreement (no reference)',
    best ? 'best: ' + configurationText(best) : 'no alignment was produced',
    candidates.filter(function (c) { return c.rank !== null; }).length + ' of ' +
        candidates.length + ' runs gave an alignment in ' +
        fixed(report.timing && report.timing.wallSeconds, 1) + ' s',
  ];
  document.getElementById('summary').textContent = summary.join(' \u00b7 ');
  // What the time budget allowed, and what it left out.
  const budget = report.budget || {};
  const leftOut = budget.leftOut || [];
  const choice = report.choice || {};
  const budgetText = [
    budget.seconds ? 'time budget ' + fixed(budget.seconds, 1) + ' s' +
        (budget.byDefault ? ' (effort ' + budget.effort + ', from MAFFT --auto\'s expected ' +
                            fixed(budget.mafftAutoExpectedSeconds, 1) + ' s)' : '')
                   : 'no time budget',
    'runs expected to take ' + fixed(budget.expectedWallSeconds, 1) + ' s',
    leftOut.length + ' candidate' + (leftOut.length === 1 ? '' : 's') + ' left out',
    budget.merge && budget.merge.why ? 'no merge: ' + budget.merge.why : null,
    budget.firstPick && budget.firstPick.note,
    choice.madeWithout && choice.madeWithout.length
        ? 'the choice was made without #' + choice.madeWithout.join(', #') +
              ', stopped at the hard deadline'
        : null,
    choice.note,
  ];
  const budgetLine = document.getElementById('budget');
  budgetLine.textContent = budgetText.filter(Boolean).join(' \u00b7 ');
  budgetLine.hidden = !budget.seconds && !leftOut.length && !choice.note;
  const leftOutList = document.getElementById('left-out');
  leftOutList.hidden = !leftOut.length;
  leftOut.forEach(function (c) {
    leftOutList.appendChild(el('li', configurationText(c) + ': ' + c.why));
  });
  const files = document.getElementById('files');
  ['best.fasta', 'report.json', 'report.tsv', 'advise.log'].forEach(function (name) {
    if (name === 'best.fasta' && !best) return;
    const a = el('a', name);
    a.href = name;
    files.appendChild(a);
  });
  const tables = report.tables || {};
  document.getElementById('footer').textContent = [report.program + ' ' + report.version,
      'data set ' + dataSet.path, tables.table && 'reference table ' + tables.table,
      tables.tools && 'aligners in ' + tables.tools,
      learned && 'estimator ' + estimator.model + ' (held out in training it chose mean Q ' +
          fixed(crossValidation.learnedQ, 3) + ', agreement ' + fixed(crossValidation.agreementQ, 3) +
          ')'].filter(Boolean).join(' \u00b7 ');

  // ---- the candidate table ----
  const columns = [
    {key: 'rank', label: 'rank', number: true, value: function (c) { return c.rank; }},
    {key: 'aligner', label: 'aligner', value: function (c) { return c.aligner; }},
    {key: 'options', label: 'options', className: 'options',
     value: function (c) { return c.options || ''; }},
    {key: 'reason', label: 'reason', value: function (c) { return (c.reasons || []).join('; '); }},
  ];
  if (byReference) {
    columns.push({key: 'Q', label: 'Q', number: true, decimals: 3,
                  value: function (c) { return c.Q; }});
    columns.push({key: 'TC', label: 'TC', number: true, decimals: 3,
                  value: function (c) { return c.TC; }});
  } else {
    columns.push({key: 'agreement', label: 'agreement', number: true, decimals: 3,
                  value: function (c) { return c.agreement; }});
    if (predicting) {
      columns.push({key: 'predictedQ', label: predictedName, number: true, decimals: 3,
                    value: function (c) { return c.predictedQ; }});
    }
  }
  columns.push({key: 'seconds', label: 'seconds', number: true, decimals: 2,
                value: function (c) { return c.seconds; }});
  columns.push({key: 'expectedSeconds', label: 'expected s', number: true, decimals: 2,
                value: function (c) { return c.expectedSeconds; }});
  columns.push({key: 'status', label: 'status', value: function (c) { return c.status; }});
  columns.push({key: 'file', label: 'alignment', value: function (c) { return c.file || ''; }});

  const table = document.getElementById('candidates');
  const headRow = table.tHead.rows[0];
  const tbody = table.tBodies[0];
  const sortState = {key: 'rank', ascending: true};

  function missing(v) {
    return v === null || v === undefined || v === '' || (typeof v === 'number' && !isFinite(v));
  }
  // Missing values sort last in either direction; ties keep the ranked order.
  function sortedCandidates() {
    const column = columns.find(function (c) { return c.key === sortState.key; });
    const order = candidates.map(function (c, i) { return i; });
    order.sort(function (a, b) {
      const va = column.value(candidates[a]), vb = column.value(candidates[b]);
      const ma = missing(va), mb = missing(vb);
      if (ma || mb) return ma === mb ? a - b : (ma ? 1 : -1);
      let d = column.number ? va - vb : String(va).localeCompare(String(vb));
      if (!sortState.ascending) d = -d;
      return d !== 0 ? d : a - b;
    });
    return order;
  }
  function renderRows() {
    tbody.textContent = '';
    sortedCandidates().forEach(function (i) {
      const c = candidates[i];
      const tr = el('tr');
      if (c === best) tr.className = 'best';
      columns.forEach(function (column) {
        const v = column.value(c);
        let td;
        if (column.key === 'file') {
          td = el('td');
          const href = safeLink(v);
          if (href) {
            const a = el('a', baseName(v));
            a.href = href;
            td.appendChild(a);
          } else {
            td.textContent = 'none';
          }
        } else if (column.number) {
          td = el('td', missing(v) ? '\u2013' : (column.decimals ? fixed(v, column.decimals) : v),
                  'number');
        } else {
          td = el('td', v, column.className);
        }
        if (column.key === 'status' && c.status !== 'done') td.className = 'failed';
        tr.appendChild(td);
      });
      tbody.appendChild(tr);
    });
    Array.prototype.forEach.call(headRow.cells, function (th, i) {
      th.setAttribute('aria-sort', columns[i].key === sortState.key
          ? (sortState.ascending ? 'ascending' : 'descending') : 'none');
    });
  }
  columns.forEach(function (column) {
    const th = el('th');
    th.dataset.key = column.key;
    const button = el('button', column.label);
    button.type = 'button';
    button.addEventListener('click', function () {
      sortState.ascending = sortState.key === column.key ? !sortState.ascending : true;
      sortState.key = column.key;
      renderRows();
    });
    th.appendChild(button);
    headRow.appendChild(th);
  });
  renderRows();

  // ---- charts (inline SVG) ----
  const SVG = 'http://www.w3.org/2000/svg';  // a namespace name, not fetched
  function svg(tag, attributes, text) {
    const e = document.createElementNS(SVG, tag);
    Object.keys(attributes || {}).forEach(function (k) { e.setAttribute(k, attributes[k]); });
    if (text !== undefined) e.textContent = text;
    return e;
  }
  function niceTicks(lo, hi, count) {
    const span = hi - lo || 1;
    const step0 = Math.pow(10, Math.floor(Math.log10(span / count)));
    const step = [1, 2, 5, 10].map(function (m) { return m * step0; })
        .find(function (s) { return span / s <= count; });
    const ticks = [];
    for (let t = Math.ceil(lo / step) * step; t <= hi + step * 1e-9; t += step) ticks.push(+t.toPrecision(6));
    return ticks;
  }
  // A scatter plot: points {x, y, label, title, hollow, ring}; x on a log
  // scale when the times span more than a factor 20.
  function scatter(container, points, xLabel, yLabel) {
    const W = 420, H = 250, left = 46, right = 14, top = 12, bottom = 40;
    const xs = points.map(function (p) { return p.x; }).filter(function (x) { return x > 0; });
    const ys = points.map(function (p) { return p.y; });
    let xMin = Math.min.apply(null, xs), xMax = Math.max.apply(null, xs);
    const log = xMax / xMin > 20;
    if (!log) { xMin = 0; xMax = xMax * 1.08 || 1; } else { xMin /= 1.5; xMax *= 1.5; }
    let yMin = Math.min.apply(null, ys), yMax = Math.max.apply(null, ys);
    const pad = Math.max(0.02, (yMax - yMin) * 0.12);
    yMin = Math.max(0, yMin - pad); yMax = Math.min(1, yMax + pad);
    if (yMax <= yMin) yMax = yMin + 0.1;
    const fx = function (x) {
      const t = log ? (Math.log(Math.max(x, xMin)) - Math.log(xMin)) / (Math.log(xMax) - Math.log(xMin))
                    : (x - xMin) / (xMax - xMin);
      return left + t * (W - left - right);
    };
    const fy = function (y) { return top + (1 - (y - yMin) / (yMax - yMin)) * (H - top - bottom); };
    const root = svg('svg', {width: W, height: H, viewBox: '0 0 ' + W + ' ' + H, role: 'img'});
    niceTicks(yMin, yMax, 5).forEach(function (t) {
      root.appendChild(svg('line', {x1: left, x2: W - right, y1: fy(t), y2: fy(t), class: 'grid'}));
      root.appendChild(svg('text', {x: left - 5, y: fy(t) + 4, 'text-anchor': 'end'}, t.toFixed(2)));
    });
    const xTicks = log ? [0.001, 0.01, 0.1, 1, 10, 100, 1000, 10000].filter(function (t) {
      return t >= xMin && t <= xMax;
    }) : niceTicks(xMin, xMax, 5);
    xTicks.forEach(function (t) {
      root.appendChild(svg('line', {x1: fx(t), x2: fx(t), y1: top, y2: H - bottom, class: 'grid'}));
      root.appendChild(svg('text', {x: fx(t), y: H - bottom + 14, 'text-anchor': 'middle'}, String(t)));
    });
    root.appendChild(svg('line', {x1: left, x2: W - right, y1: H - bottom, y2: H - bottom, class: 'axis'}));
    root.appendChild(svg('line', {x1: left, x2: left, y1: top, y2: H - bottom, class: 'axis'}));
    root.appendChild(svg('text', {x: (left + W - right) / 2, y: H - 6, 'text-anchor': 'middle'},
                         xLabel + (log ? ' (log scale)' : '')));
    root.appendChild(svg('text', {x: 12, y: (top + H - bottom) / 2, 'text-anchor': 'middle',
                                  transform: 'rotate(-90 12 ' + (top + H - bottom) / 2 + ')'}, yLabel));
    points.forEach(function (p) {
      const g = svg('g');
      g.appendChild(svg('title', {}, p.title));
      const x = fx(p.x), y = fy(p.y);
      if (p.ring) g.appendChild(svg('circle', {cx: x, cy: y, r: 9, fill: 'none', stroke: '#d08a00', 'stroke-width': 2}));
      g.appendChild(svg('circle', {cx: x, cy: y, r: 5, fill: p.hollow ? '#fff' : p.colour,
                                   stroke: p.colour, class: p.hollow ? 'hollow' : 'point'}));
      // Labels near the right edge go to the point's left.
      const leftward = x > W - right - 90;
      if (p.label) {
        g.appendChild(svg('text', {x: leftward ? x - 8 : x + 7, y: y - 7,
                                   'text-anchor': leftward ? 'end' : 'start'}, p.label));
      }
      root.appendChild(g);
    });
    container.appendChild(root);
  }
  const alignerColours = {CLUSTALW: '#d1495b', DIALIGNTX: '#8e6cc0', KALIGN: '#00798c',
                          MAFFT: '#2b5fb3', MUSCLE: '#e07a1f', PROBCONS: '#6a994e',
                          CLUSTALO: '#a6761d', MUSCLE5: '#b5179e', PROBALIGN: '#4d908e',
                          MERGE: '#3c3c3c'};
  function colourOf(aligner) { return alignerColours[aligner] || '#777'; }

  // The score the ranking used.
  function scoreOf(c) { return byReference ? c.Q : predicting ? c.predictedQ : c.agreement; }
  const scoreName = byReference ? 'Q' : predicting ? predictedName : 'agreement';
  const scored = candidates.filter(function (c) {
    return typeof c.seconds === 'number' && typeof scoreOf(c) === 'number';
  });
  const scorePoints = [];
  scored.forEach(function (c) {
    const title = '#' + c.rank + ' ' + configurationText(c) + ': ' +
        (byReference ? 'Q ' + fixed(c.Q, 3) + ', TC ' + fixed(c.TC, 3)
                     : scoreName + ' ' + fixed(scoreOf(c), 3)) + ', ' + fixed(c.seconds, 2) + ' s';
    scorePoints.push({x: c.seconds, y: scoreOf(c), label: String(c.rank),
                      title: title, colour: colourOf(c.aligner), ring: c === best});
    if (byReference) {
      scorePoints.push({x: c.seconds, y: c.TC, title: title, colour: colourOf(c.aligner), hollow: true});
    }
  });
  if (scorePoints.length) {
    scatter(document.getElementById('score-chart'), scorePoints, 'seconds',
            byReference ? 'Q (filled), TC (hollow)' : scoreName);
    document.getElementById('score-caption').textContent =
        'Each candidate by its rank in the table; the winner ringed. Colours by aligner:';
  } else {
    document.getElementById('score-caption').textContent = 'No candidate has a score.';
  }
  const front = report.front || {};
  const frontPoints = front.points || [];
  if (frontPoints.length) {
    const picks = front.entries || [];
    scatter(document.getElementById('front-chart'), frontPoints.map(function (p) {
      const roles = picks.filter(function (q) {
        return q.aligner === p.aligner && q.options === p.options;
      }).map(function (q) { return q.role; });
      return {x: p.objectives[2], y: 1 - p.objectives[0], colour: colourOf(p.aligner),
              ring: roles.length > 0, label: roles.join(', '),
              title: configurationText(p) + ': Q ' + fixed(1 - p.objectives[0], 3) + ', TC ' +
                     fixed(1 - p.objectives[1], 3) + ', ' + fixed(p.objectives[2], 2) + ' s' +
                     (roles.length ? ' (' + roles.join(', ') + ')' : '')};
    }), 'mean seconds', 'mean Q');
    document.getElementById('front-caption').textContent = 'The front of ' +
        baseName(front.path) + ': configurations no other beats on Q, TC and time at once ' +
        '(means over its benchmarks); the picks that became candidates ringed.';
    document.getElementById('front-figure').hidden = false;
  }
  const legendOfColours = el('span');
  Object.keys(alignerColours).forEach(function (name) {
    const swatch = el('span', '', 'swatch');
    swatch.style.background = alignerColours[name];
    legendOfColours.appendChild(swatch);
    legendOfColours.appendChild(document.createTextNode(name));
  });
  document.getElementById('score-caption').appendChild(legendOfColours);

  // ---- features beside the nearest references ----
  const featureNames = ['sequences', 'mean length', 'length s.d.', 'f3 (unused)', 'f4 (unused)',
                        'R H K per sequence', 'D E per sequence', 'S T N Q per sequence',
                        'C U G P per sequence', 'A V I L M F Y W per sequence'];
  const nearest = report.nearestReferences || [];
  const featureTable = document.getElementById('features');
  if (!nearest.length) document.getElementById('no-references').hidden = false;
  (function () {
    const head = el('tr');
    head.appendChild(el('th', 'feature'));
    head.appendChild(el('th', 'this data set'));
    nearest.forEach(function (n) {
      const th = el('th', '#' + n.rank + ' ' + n.name);
      th.title = configurationText(n) + '; normalised distance ' + fixed(n.distance, 3);
      th.appendChild(el('br'));
      th.appendChild(el('small', configurationText(n) + ', distance ' + fixed(n.distance, 3)));
      head.appendChild(th);
    });
    featureTable.appendChild(head);
    featureNames.forEach(function (name, k) {
      const values = [dataSet.features ? dataSet.features[k] : null]
          .concat(nearest.map(function (n) { return n.features[k]; }));
      const top = Math.max.apply(null, values.map(function (v) { return Math.abs(v) || 0; }));
      const tr = el('tr');
      tr.appendChild(el('td', name));
      values.forEach(function (v) {
        const td = el('td', typeof v === 'number' ? +v.toPrecision(6) : '\u2013', 'number bar');
        td.style.setProperty('--bar', (top > 0 ? 100 * Math.abs(v) / top : 0) + '%');
        tr.appendChild(td);
      });
      featureTable.appendChild(tr);
    });
  })();

  // ---- the alignment viewer ----
  // Clustal X colour classes for protein, one colour per base for DNA and
  // RNA; the strength of a residue's colour follows its column's
  // conservation (the share of all sequences holding the column's most
  // common residue), in LEVELS steps.
  const CLASSES = nucleotide ? [
    ['A', [64, 176, 64]], ['C', [64, 112, 224]], ['G', [240, 160, 32]], ['TU', [224, 48, 48]],
    ['NRYSWKMBDHV', [170, 170, 170]],
  ] : [
    ['AILMFWV', [128, 160, 240]], ['KR', [240, 21, 5]], ['DE', [192, 72, 192]],
    ['NQST', [21, 192, 21]], ['C', [240, 128, 128]], ['G', [240, 144, 72]],
    ['P', [192, 192, 0]], ['HY', [21, 164, 164]], ['BZXJOU', [170, 170, 170]],
  ];
  const LEVELS = 8;
  const classOf = new Uint8Array(128);  // 0: gap or other byte (white)
  CLASSES.forEach(function (entry, i) {
    for (const ch of entry[0]) {
      classOf[ch.charCodeAt(0)] = i + 1;
      classOf[ch.toLowerCase().charCodeAt(0)] = i + 1;
    }
  });
  const littleEndian = new Uint8Array(new Uint32Array([1]).buffer)[0] === 1;
  function pack(r, g, b) {
    return littleEndian ? (0xff000000 | (b << 16) | (g << 8) | r) >>> 0
                        : ((r << 24) | (g << 16) | (b << 8) | 0xff) >>> 0;
  }
  const WHITE = pack(255, 255, 255);
  const palette = new Uint32Array((CLASSES.length + 1) * LEVELS);
  const paletteCss = [];
  for (let c = 0; c <= CLASSES.length; ++c) {
    for (let level = 0; level < LEVELS; ++level) {
      const rgb = c === 0 ? [255, 255, 255] : CLASSES[c - 1][1];
      const w = 0.12 + 0.88 * level / (LEVELS - 1);
      const mix = rgb.map(function (v) { return Math.round(255 + (v - 255) * w); });
      palette[c * LEVELS + level] = pack(mix[0], mix[1], mix[2]);
      paletteCss[c * LEVELS + level] = 'rgb(' + mix.join(',') + ')';
    }
  }
  const knownConfidence = report.confidence && report.confidence.known
      ? report.confidence.columns : null;
  (function legend() {
    const p = document.getElementById('legend');
    p.appendChild(document.createTextNode((nucleotide ? 'Nucleotide colours' : 'Clustal X colour classes') +
        ', stronger where the column is more conserved (share of sequences holding its most common residue):'));
    CLASSES.forEach(function (entry, i) {
      const swatch = el('span', '', 'swatch');
      swatch.style.background = paletteCss[(i + 1) * LEVELS + LEVELS - 1];
      p.appendChild(swatch);
      p.appendChild(document.createTextNode(entry[0]));
    });
    const calibrated = knownConfidence && report.confidence.calibrated;
    p.appendChild(document.createTextNode(!knownConfidence ? '. Bars above the columns: that share.'
        : '. Bars above the columns: the column confidence, ' + (calibrated
            ? 'the expected share of the column\'s residue pairs that are right, calibrated from ' +
              'the share that '
            : 'the share of the column\'s residue pairs that ') +
          'the other aligners\' alignments align too (none without a pair; columns.tsv).'));
    p.appendChild(document.createTextNode(' Ctrl + wheel or pinch zooms; hover for a residue\'s position.'));
  })();

  const viewer = {frames: 0, lastFrameMs: 0, drawn: null};
  // Read-only view of what the last frame drew, for tests and curious users.
  window.alnReport = {
    visibleCells: function () { return viewer.drawn; },
    frameStats: function () { return {frames: viewer.frames, lastFrameMs: viewer.lastFrameMs}; },
  };
  if (!alignment || !alignment.rows || !alignment.rows.length) {
    document.getElementById('viewer').hidden = true;
    document.querySelector('#alignment .toolbar').hidden = true;
    document.getElementById('no-alignment').hidden = false;
    performance.mark('viewer-first-frame');
    return;
  }
  const names = alignment.names, rows = alignment.rows;
  const nRows = rows.length, nCols = rows[0].length;
  if (best) {
    const total = alignment.totalRows || nRows;
    document.getElementById('alignment-title').textContent = 'Winning alignment: ' +
        configurationText(best) + ' (' + (total > nRows ? 'the first ' + nRows + ' of ' + total
                                                         : nRows) +
        ' \u00d7 ' + nCols + ' columns)';
  }

  // Per column: conservation level, conservation share and consensus letter.
  const level = new Uint8Array(nCols), share = new Float32Array(nCols);
  const consensus = new Array(nCols);
  (function conservation() {
    const counts = new Int32Array(nCols * 26);
    for (let r = 0; r < nRows; ++r) {
      const row = rows[r];
      for (let c = 0; c < nCols; ++c) {
        const k = (row.charCodeAt(c) | 32) - 97;  // case folded
        if (k >= 0 && k < 26) counts[c * 26 + k]++;
      }
    }
    for (let c = 0; c < nCols; ++c) {
      let top = 0, topK = -1;
      for (let k = 0; k < 26; ++k) if (counts[c * 26 + k] > top) { top = counts[c * 26 + k]; topK = k; }
      share[c] = top / nRows;
      level[c] = Math.min(LEVELS - 1, Math.floor(share[c] * LEVELS));
      const letter = topK < 0 ? '-' : String.fromCharCode(65 + topK);
      consensus[c] = share[c] >= 0.5 ? letter : letter.toLowerCase();
    }
  })();

  // Per column, the bar above it: the column confidence when the advice has
  // one (the share of the column's residue pairs that the other alignments
  // align too; no bar without a pair), else the conservation share.
  const confidence = knownConfidence && knownConfidence.length === nCols ? knownConfidence : null;
  const bar = [];
  for (let c = 0; c < nCols; ++c) {
    bar.push(confidence ? (confidence[c] === null ? 0 : confidence[c]) : share[c]);
  }
  const barColour = confidence ? '#3b8a5a' : '#4a6fa8';
  if (confidence) document.getElementById('bar-label').textContent = 'confidence';

  const viewerBox = document.getElementById('viewer');
  const scroller = document.getElementById('scroller');
  const spacer = document.getElementById('spacer');
  const body = document.getElementById('body-canvas');
  const header = document.getElementById('header-canvas');
  const nameCanvas = document.getElementById('names-canvas');
  const bodyContext = body.getContext('2d', {alpha: false});
  const headerContext = header.getContext('2d');
  const nameContext = nameCanvas.getContext('2d');
  const SIZES = [1, 2, 3, 4, 5, 6, 8, 10, 12, 14, 16, 20, 24, 32];
  let sizeIndex = SIZES.indexOf(14);
  let cell = SIZES[sizeIndex];
  let dpr = 1, width = 0, height = 0, image = null, columnAt = new Int32Array(0);
  let hoverRow = -1, pending = false;

  // The name column fits the longest name, within bounds; longer ones are cut.
  const namesWidth = (function () {
    nameContext.font = '12px ui-monospace, monospace';
    let widest = 0;
    for (let i = 0; i < nRows; ++i) widest = Math.max(widest, nameContext.measureText(names[i]).width);
    return Math.round(Math.min(260, Math.max(80, widest + 14)));
  })();
  viewerBox.style.setProperty('--names-width', namesWidth + 'px');

  function sizeCanvas(canvas, context, w, h) {
    if (canvas.width !== Math.round(w * dpr) || canvas.height !== Math.round(h * dpr)) {
      canvas.width = Math.round(w * dpr);
      canvas.height = Math.round(h * dpr);
    }
    canvas.style.width = w + 'px';
    canvas.style.height = h + 'px';
    if (context) context.setTransform(dpr, 0, 0, dpr, 0, 0);
  }
  // The viewer is as tall as the alignment needs, up to most of the window.
  function layout() {
    dpr = window.devicePixelRatio || 1;
    spacer.style.width = nCols * cell + 'px';
    spacer.style.height = nRows * cell + 'px';
    const tallest = Math.max(260, Math.min(760, window.innerHeight * 0.72));
    viewerBox.style.height = Math.min(tallest, 52 + nRows * cell + 20) + 'px';
    width = scroller.clientWidth;
    height = scroller.clientHeight;
    sizeCanvas(body, null, width, height);
    sizeCanvas(header, headerContext, width, 52);
    sizeCanvas(nameCanvas, nameContext, namesWidth - 1, height);
    image = body.width > 0 && body.height > 0 ? bodyContext.createImageData(body.width, body.height) : null;
    columnAt = new Int32Array(body.width);
    document.getElementById('zoom-label').textContent = cell + ' px per residue';
    draw();
  }
  function schedule() {
    if (pending) return;
    pending = true;
    requestAnimationFrame(function () { pending = false; draw(); });
  }

  // Draws the visible rows and columns only: backgrounds as pixels, then
  // the letters when the cells are large enough to read.
  function draw() {
    if (!image) return;
    const started = performance.now();
    const left = scroller.scrollLeft, top = scroller.scrollTop;
    const W = body.width, H = body.height;
    const c0 = Math.floor(left / cell), c1 = Math.min(nCols, Math.ceil((left + width) / cell));
    const r0 = Math.floor(top / cell), r1 = Math.min(nRows, Math.ceil((top + height) / cell));
    const pixels = new Uint32Array(image.data.buffer);
    for (let x = 0; x < W; ++x) {
      const c = Math.floor((x / dpr + left) / cell);
      columnAt[x] = c < nCols ? c : -1;
    }
    let previous = -2, previousStart = 0;
    for (let y = 0; y < H; ++y) {
      const r = Math.floor((y / dpr + top) / cell), start = y * W;
      if (r === previous) { pixels.copyWithin(start, previousStart, previousStart + W); continue; }
      previous = r;
      previousStart = start;
      if (r >= nRows) { pixels.fill(WHITE, start, start + W); continue; }
      const row = rows[r];
      for (let x = 0; x < W; ++x) {
        const c = columnAt[x];
        pixels[start + x] = c < 0 ? WHITE : palette[classOf[row.charCodeAt(c) & 127] * LEVELS + level[c]];
      }
    }
    bodyContext.putImageData(image, 0, 0);
    bodyContext.setTransform(dpr, 0, 0, dpr, 0, 0);
    if (hoverRow >= r0 && hoverRow < r1) {
      bodyContext.fillStyle = 'rgba(43, 95, 179, 0.12)';
      bodyContext.fillRect(0, hoverRow * cell - top, width, cell);
    }
    if (cell >= 8) {
      bodyContext.font = Math.round(cell * 0.78) + 'px ui-monospace, monospace';
      bodyContext.textAlign = 'center';
      bodyContext.textBaseline = 'middle';
      for (let r = r0; r < r1; ++r) {
        const row = rows[r], y = r * cell - top + cell / 2 + 0.5;
        for (let c = c0; c < c1; ++c) {
          const ch = row[c];
          bodyContext.fillStyle = ch === '-' ? '#b8bec8' : '#111';
          bodyContext.fillText(ch, c * cell - left + cell / 2, y);
        }
      }
    }
    drawHeader(left, c0, c1);
    drawNames(top, r0, r1);
    viewer.drawn = {
      cellSize: cell, firstRow: r0, firstColumn: c0,
      names: names.slice(r0, r1),
      rows: rows.slice(r0, r1).map(function (row) { return row.slice(c0, c1); }),
      lettersShown: cell >= 8,
      bars: confidence ? 'confidence' : 'conservation',
      barValues: bar.slice(c0, c1),
    };
    viewer.frames++;
    viewer.lastFrameMs = performance.now() - started;
    if (viewer.frames === 1) performance.mark('viewer-first-frame');
  }

  function drawHeader(left, c0, c1) {
    const g = headerContext;
    g.clearRect(0, 0, width, 52);
    g.fillStyle = '#5d6675';
    g.font = '10px system-ui, sans-serif';
    g.textAlign = 'center';
    g.textBaseline = 'alphabetic';
    // Ruler: a tick every 10 columns, numbers where they fit.
    const labelStep = [10, 20, 50, 100, 200, 500, 1000, 2000, 5000].find(function (s) {
      return s * cell >= 44;
    }) || 10000;
    const tickStep = 10 * cell >= 4 ? 10 : labelStep;
    for (let c = Math.floor(c0 / tickStep) * tickStep; c <= c1; c += tickStep) {
      if (c === 0) continue;
      const x = (c - 1) * cell - left + cell / 2;
      g.fillRect(Math.round(x), 11, 1, 5);
      if (c % labelStep === 0) g.fillText(String(c), x, 9);
    }
    for (let c = c0; c < c1; ++c) {
      const x = c * cell - left;
      const letter = consensus[c];
      g.fillStyle = paletteCss[classOf[letter.charCodeAt(0)] * LEVELS + level[c]];
      g.fillRect(x, 17, cell, 14);
      const barHeight = Math.round(bar[c] * 18);
      g.fillStyle = barColour;
      g.fillRect(x, 51 - barHeight, Math.max(1, cell - (cell > 3 ? 1 : 0)), barHeight);
    }
    if (cell >= 8) {
      g.fillStyle = '#111';
      g.font = Math.min(12, Math.round(cell * 0.78)) + 'px ui-monospace, monospace';
      g.textBaseline = 'middle';
      for (let c = c0; c < c1; ++c) g.fillText(consensus[c], c * cell - left + cell / 2, 24.5);
    }
  }

  function drawNames(top, r0, r1) {
    const g = nameContext, w = nameCanvas.width / dpr;
    g.clearRect(0, 0, w, height);
    if (hoverRow >= r0 && hoverRow < r1) {
      g.fillStyle = 'rgba(43, 95, 179, 0.12)';
      g.fillRect(0, hoverRow * cell - top, w, cell);
    }
    if (cell < 6) return;
    g.fillStyle = '#1d2330';
    g.font = Math.min(12, cell - 2) + 'px ui-monospace, monospace';
    g.textAlign = 'left';
    g.textBaseline = 'middle';
    for (let r = r0; r < r1; ++r) g.fillText(fitted(names[r], w - 10), 5, r * cell - top + cell / 2 + 0.5);
  }
  const fittedCache = new Map();
  function fitted(name, room) {
    const key = room + '\u0000' + nameContext.font + '\u0000' + name;
    let text = fittedCache.get(key);
    if (text !== undefined) return text;
    text = name;
    if (nameContext.measureText(text).width > room) {
      let lo = 0, hi = name.length;
      while (lo < hi) {
        const mid = (lo + hi + 1) >> 1;
        if (nameContext.measureText(name.slice(0, mid) + '\u2026').width <= room) lo = mid; else hi = mid - 1;
      }
      text = name.slice(0, lo) + '\u2026';
    }
    fittedCache.set(key, text);
    return text;
  }

  // Zoom keeps the residue under the anchor (the pointer, or the centre) in place.
  function zoomTo(index, anchorX, anchorY) {
    index = Math.max(0, Math.min(SIZES.length - 1, index));
    if (index === sizeIndex) return;
    if (anchorX === undefined) { anchorX = width / 2; anchorY = height / 2; }
    const column = (scroller.scrollLeft + anchorX) / cell, row = (scroller.scrollTop + anchorY) / cell;
    sizeIndex = index;
    cell = SIZES[index];
    spacer.style.width = nCols * cell + 'px';
    spacer.style.height = nRows * cell + 'px';
    scroller.scrollLeft = column * cell - anchorX;
    scroller.scrollTop = row * cell - anchorY;
    layout();
  }
  document.getElementById('zoom-in').addEventListener('click', function () { zoomTo(sizeIndex + 1); });
  document.getElementById('zoom-out').addEventListener('click', function () { zoomTo(sizeIndex - 1); });
  let wheelSum = 0;
  scroller.addEventListener('wheel', function (event) {
    if (!event.ctrlKey) return;  // plain wheel scrolls; ctrl + wheel and pinch zoom
    event.preventDefault();
    wheelSum += event.deltaY;
    if (Math.abs(wheelSum) < 40) return;
    const box = scroller.getBoundingClientRect();
    zoomTo(sizeIndex + (wheelSum < 0 ? 1 : -1), event.clientX - box.left, event.clientY - box.top);
    wheelSum = 0;
  }, {passive: false});
  scroller.addEventListener('keydown', function (event) {
    if (event.key === '+' || event.key === '=') zoomTo(sizeIndex + 1);
    else if (event.key === '-') zoomTo(sizeIndex - 1);
  });
  scroller.addEventListener('scroll', schedule, {passive: true});
  const position = document.getElementById('position');
  scroller.addEventListener('mousemove', function (event) {
    const box = scroller.getBoundingClientRect();
    const x = event.clientX - box.left, y = event.clientY - box.top;
    const r = Math.floor((scroller.scrollTop + y) / cell), c = Math.floor((scroller.scrollLeft + x) / cell);
    if (x >= width || y >= height || r >= nRows || c >= nCols) return;
    if (r !== hoverRow) { hoverRow = r; schedule(); }
    const row = rows[r];
    let residue = 0;
    for (let k = 0; k <= c; ++k) if (row[k] !== '-') residue++;
    position.textContent = names[r] + ' \u00b7 column ' + (c + 1) + ' \u00b7 ' +
        (row[c] === '-' ? 'gap' : row[c] + ' ' + residue) + ' \u00b7 conservation ' +
        Math.round(share[c] * 100) + '%' + (confidence ? ' \u00b7 column confidence ' +
        (confidence[c] === null ? 'none' : Math.round(confidence[c] * 100) + '%') : '');
  });
  scroller.addEventListener('mouseleave', function () {
    hoverRow = -1;
    position.textContent = '';
    schedule();
  });
  window.addEventListener('resize', layout);
  layout();
})();
