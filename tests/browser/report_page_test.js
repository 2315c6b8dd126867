// The report page in headless Chromium (Debian's): no script error, no
// request beyond the file itself, every candidate in the table, the right
// names and residues in the first screen and after scrolling, sorting, zoom,
// and a DNA report's nucleotide colours.
// Saves a screenshot of each page and prints the time to first paint of the
// large report (median of several loads; printed, never asserted).
//   node report_page_test.js OUT_DIR SMALL_REPORT_DIR LARGE_REPORT_DIR DNA_REPORT_DIR [LOADS]
'use strict';
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const {chromium} = require('playwright-core');

const [outDir, smallDir, largeDir, dnaDir, loadsText] = process.argv.slice(2);
const loads = Number(loadsText || 5);
const results = {passed: 0, failed: 0};

async function check(name, body) {
  try {
    await body();
    results.passed++;
    console.log('ok   ' + name);
  } catch (error) {
    results.failed++;
    console.log('FAIL ' + name + '\n     ' + String(error.stack || error).split('\n').join('\n     '));
  }
}

function readFasta(file) {
  const names = [], rows = [];
  for (const line of fs.readFileSync(file, 'utf8').split('\n')) {
    if (line.startsWith('>')) {
      names.push(line.slice(1));
      rows.push('');
    } else if (line) {
      rows[rows.length - 1] += line;
    }
  }
  return {names, rows};
}

function median(values) {
  const s = values.slice().sort((a, b) => a - b);
  return s.length % 2 ? s[(s.length - 1) / 2] : (s[s.length / 2 - 1] + s[s.length / 2]) / 2;
}

const nextFrame = (page) =>
  page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));

async function open(browser, dir) {
  const page = await browser.newPage({viewport: {width: 1400, height: 900}});
  const problems = [], requests = [];
  page.on('pageerror', (e) => problems.push('page error: ' + e.message));
  page.on('console', (m) => {
    if (m.type() === 'error' || m.type() === 'warning') problems.push('console ' + m.type() + ': ' + m.text());
  });
  page.on('request', (r) => requests.push(r.url()));
  const url = 'file://' + path.resolve(dir, 'report.html');
  await page.goto(url, {waitUntil: 'load'});
  await page.waitForFunction(() => window.alnReport && window.alnReport.visibleCells(), null,
                             {timeout: 20000});
  return {page, problems, requests, url};
}

// What the viewer drew must be the alignment's own names and residues there.
function expectCells(seen, fasta) {
  assert.ok(seen.names.length > 0 && seen.rows.length === seen.names.length);
  assert.deepEqual(seen.names, fasta.names.slice(seen.firstRow, seen.firstRow + seen.names.length));
  const width = seen.rows[0].length;
  assert.deepEqual(seen.rows, fasta.rows.slice(seen.firstRow, seen.firstRow + seen.rows.length)
                                  .map((row) => row.slice(seen.firstColumn, seen.firstColumn + width)));
}

async function headerKeys(page) {
  return page.$$eval('#candidates thead th', (ths) => ths.map((th) => th.dataset.key));
}
async function column(page, key) {
  const index = (await headerKeys(page)).indexOf(key);
  assert.ok(index >= 0, 'no column ' + key);
  return page.$$eval('#candidates tbody tr', (trs, i) => trs.map((tr) => tr.cells[i].textContent), index);
}
async function sortBy(page, key) {
  await page.click('#candidates th[data-key="' + key + '"] button');
  return column(page, key);
}
function expectOrdered(values, compare) {
  const missing = values.map((v) => v === '\u2013');
  const firstMissing = missing.indexOf(true);
  if (firstMissing >= 0) assert.ok(missing.slice(firstMissing).every(Boolean), 'missing values last: ' + values);
  const present = values.filter((v, i) => !missing[i]);
  for (let i = 1; i < present.length; ++i) assert.ok(compare(present[i - 1], present[i]) <= 0, values.join(' | '));
}

async function checkCommon(label, browser, dir) {
  const report = JSON.parse(fs.readFileSync(path.join(dir, 'report.json'), 'utf8'));
  const fasta = readFasta(path.join(dir, 'best.fasta'));
  const opened = await open(browser, dir);
  const {page} = opened;
  await check(label + ': the embedded data is report.json', async () => {
    const embedded = await page.$eval('#report-data', (e) => JSON.parse(e.textContent));
    assert.deepEqual(embedded, report);
  });
  await check(label + ': the table holds every candidate, each linked to its alignment', async () => {
    assert.equal(await page.$$eval('#candidates tbody tr', (trs) => trs.length), report.candidates.length);
    const links = await page.$$eval('#candidates tbody a', (as) => as.map((a) => a.getAttribute('href')));
    assert.deepEqual(links, report.candidates.filter((c) => c.file).map((c) => c.file));
  });
  await check(label + ': the first screen shows the first names and residues', async () => {
    const seen = await page.evaluate(() => window.alnReport.visibleCells());
    assert.equal(seen.firstRow, 0);
    assert.equal(seen.firstColumn, 0);
    assert.ok(seen.lettersShown);
    assert.ok(seen.names.length >= Math.min(fasta.names.length, 20), 'rows seen: ' + seen.names.length);
    assert.ok(seen.rows[0].length >= Math.min(fasta.rows[0].length, 60), 'columns seen: ' + seen.rows[0].length);
    expectCells(seen, fasta);
  });
  await check(label + ': the bars above the columns show the column confidence when known', async () => {
    const seen = await page.evaluate(() => window.alnReport.visibleCells());
    const legend = await page.$eval('#legend', (e) => e.textContent);
    if (!(report.confidence && report.confidence.known)) {
      assert.equal(seen.bars, 'conservation');
      return;
    }
    assert.equal(seen.bars, 'confidence');
    assert.match(legend, /column confidence/);
    assert.equal(await page.$eval('#bar-label', (e) => e.textContent), 'confidence');
    const expected = report.confidence.columns
        .slice(seen.firstColumn, seen.firstColumn + seen.barValues.length)
        .map((v) => (v === null ? 0 : v));
    assert.deepEqual(seen.barValues, expected);
  });
  await check(label + ': sorting by a column, either way, missing values last', async () => {
    const byNumber = (a, b) => Number(a) - Number(b);
    expectOrdered(await sortBy(page, 'seconds'), byNumber);
    expectOrdered(await sortBy(page, 'seconds'), (a, b) => byNumber(b, a));
    expectOrdered(await sortBy(page, 'aligner'), (a, b) => a.localeCompare(b));
    const score = report.mode === 'reference' ? 'Q' : 'agreement';
    expectOrdered(await sortBy(page, score), byNumber);
    const estimator = report.estimator && report.estimator.name;
    if (estimator === 'learned' || estimator === 'consensus') {
      expectOrdered(await sortBy(page, 'predictedQ'), byNumber);
      assert.match(await page.$eval('#summary', (e) => e.textContent),
                   estimator === 'learned' ? /learned estimator/ : /consensus Q/);
    }
    const ranks = await sortBy(page, 'rank');
    assert.deepEqual(ranks, report.candidates.map((c) => (c.rank === null ? '\u2013' : String(c.rank))));
  });
  const shot = path.join(outDir, label + '.png');
  await page.screenshot({path: shot, fullPage: true});
  console.log('     screenshot: ' + shot);
  return {opened, report, fasta};
}

// The wheel goes where the mouse is: the viewer is brought on screen first,
// as a longer summary above it may push its centre below the window.
function viewerCentre(page) {
  return page.$eval('#scroller', (e) => {
    e.scrollIntoView({block: 'center'});
    const r = e.getBoundingClientRect();
    return {x: r.left + r.width / 2, y: r.top + r.height / 2};
  });
}

async function checkLarge(browser, {opened, fasta}) {
  const {page} = opened;
  await check('large: names are text, never markup', async () => {
    assert.equal(await page.evaluate(() => window.injected), undefined);
    assert.match(await page.title(), /generated-1000x2000\.fasta/);
  });
  const box = await viewerCentre(page);
  // Wheel scrolling frame by frame, timed inside the page (printed only).
  const frameMs = [];
  await page.mouse.move(box.x, box.y);
  for (let i = 0; i < 30; ++i) {
    await page.mouse.wheel(i % 2 ? 90 : 0, 120);
    await nextFrame(page);
    frameMs.push((await page.evaluate(() => window.alnReport.frameStats())).lastFrameMs);
  }
  await check('large: after scrolling the viewer still draws the right cells', async () => {
    const seen = await page.evaluate(() => window.alnReport.visibleCells());
    assert.ok(seen.firstRow > 0 && seen.firstColumn > 0, JSON.stringify([seen.firstRow, seen.firstColumn]));
    expectCells(seen, fasta);
  });
  await check('large: scrolled to the end it shows the last rows and columns', async () => {
    await page.$eval('#scroller', (e) => { e.scrollTop = e.scrollHeight; e.scrollLeft = e.scrollWidth; });
    await nextFrame(page);
    const seen = await page.evaluate(() => window.alnReport.visibleCells());
    assert.equal(seen.firstRow + seen.names.length, fasta.names.length);
    assert.equal(seen.firstColumn + seen.rows[0].length, fasta.rows[0].length);
    expectCells(seen, fasta);
  });
  const zoomedMs = [];
  await check('large: zooming out shows more cells without letters, ctrl + wheel zooms back', async () => {
    for (let i = 0; i < 7; ++i) await page.click('#zoom-out');
    await nextFrame(page);
    let seen = await page.evaluate(() => window.alnReport.visibleCells());
    assert.equal(seen.cellSize, 3);
    assert.equal(seen.lettersShown, false);
    assert.ok(seen.names.length > 150, 'rows seen: ' + seen.names.length);
    expectCells(seen, fasta);
    const here = await viewerCentre(page);
    await page.mouse.move(here.x, here.y);
    for (let i = 0; i < 10; ++i) {
      await page.mouse.wheel(0, -300);
      await nextFrame(page);
      zoomedMs.push((await page.evaluate(() => window.alnReport.frameStats())).lastFrameMs);
    }
    // Scrolled to its top, the wheel goes on to scroll the page: find the
    // viewer again.
    const back = await viewerCentre(page);
    await page.mouse.move(back.x, back.y);
    await page.keyboard.down('Control');
    await page.mouse.wheel(0, -100);
    await page.keyboard.up('Control');
    await nextFrame(page);
    seen = await page.evaluate(() => window.alnReport.visibleCells());
    assert.equal(seen.cellSize, 4);
    expectCells(seen, fasta);
  });
  console.log('     frame draw ms while scrolling: median ' + median(frameMs).toFixed(1) + ', max ' +
              Math.max(...frameMs).toFixed(1) + ' (14 px cells); median ' + median(zoomedMs).toFixed(1) +
              ', max ' + Math.max(...zoomedMs).toFixed(1) + ' (3 px cells)');

  // Time to first paint over fresh loads.
  const fcp = [], firstFrame = [];
  for (let i = 0; i < loads; ++i) {
    const context = await browser.newContext({viewport: {width: 1400, height: 900}});
    const p = await context.newPage();
    await p.goto(opened.url, {waitUntil: 'load'});
    await p.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0 &&
                                  performance.getEntriesByName('viewer-first-frame').length > 0);
    const t = await p.evaluate(() => [performance.getEntriesByName('first-contentful-paint')[0].startTime,
                                      performance.getEntriesByName('viewer-first-frame')[0].startTime]);
    fcp.push(t[0]);
    firstFrame.push(t[1]);
    await context.close();
  }
  const line = 'large report (' + fasta.names.length + ' x ' + fasta.rows[0].length + ', ' +
      (fs.statSync(path.join(largeDir, 'report.html')).size / 1e6).toFixed(1) + ' MB): first contentful paint ' +
      'median ' + median(fcp).toFixed(0) + ' ms, viewer first frame median ' + median(firstFrame).toFixed(0) +
      ' ms over ' + loads + ' loads (all: ' + fcp.map((v) => v.toFixed(0)).join(' ') + ')';
  console.log('     ' + line);
  fs.writeFileSync(path.join(outDir, 'first-paint.txt'), line + '\n');
}

function checkClean(label, opened) {
  return check(label + ': no script error and nothing requested but the page', async () => {
    assert.deepEqual(opened.problems, []);
    assert.deepEqual(opened.requests, [opened.url]);
  });
}

(async () => {
  const browser = await chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  try {
    const small = await checkCommon('BB11001', browser, smallDir);
    await checkClean('BB11001', small.opened);
    const large = await checkCommon('large', browser, largeDir);
    await checkLarge(browser, large);
    await large.opened.page.screenshot({path: path.join(outDir, 'large-zoomed-out.png')});
    console.log('     screenshot: ' + path.join(outDir, 'large-zoomed-out.png'));
    await checkClean('large', large.opened);
    const dna = await open(browser, dnaDir);
    await check('dna: one colour per base and the summary says DNA', async () => {
      const legend = await dna.page.$eval('#legend', (e) => e.textContent);
      assert.match(legend, /^Nucleotide colours/);
      const swatches = await dna.page.$$eval('#legend .swatch', (s) => s.map((e) => e.style.background));
      assert.equal(swatches.length, 5);
      assert.equal(new Set(swatches).size, 5);
      assert.match(await dna.page.$eval('#summary', (e) => e.textContent), /DNA sequences/);
    });
    await dna.page.screenshot({path: path.join(outDir, 'dna.png'), fullPage: true});
    await checkClean('dna', dna);
  } finally {
    await browser.close();
  }
  console.log(results.passed + ' passed, ' + results.failed + ' failed');
  process.exit(results.failed ? 1 : 0);
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
