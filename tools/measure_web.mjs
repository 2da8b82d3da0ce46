// The web build's figures in headless Chromium (scripts/test installs the
// browser checks' playwright-core into tests/web/node_modules):
// - the time from the page's start to picture.html's first frame;
// - picture.html and sketch.html (in its window) against the minimal page
//   (bench/minimal_page.html: one putImageData of a 640 x 480 frame an
//   animation frame), 10 s each from 3 s after their first frame, alternated
//   three times with an empty page: their frames and the browser's processor
//   time (all its processes, from /proc), a frame above the empty page's, and
//   where a frame of each goes in the page's main thread (the DevTools
//   protocol's metrics, in a run of their own): our
//   WebAssembly and JavaScript (script), the browser's own work of showing the
//   canvas (style, layout, paint and the rest of its tasks), beside the native
//   program's processor time a frame (tools/measure_pacing);
// - the ways a page can show a frame (bench/web_present.html: putImageData, an
//   ImageBitmap, a VideoFrame, a WebGL texture), alternated twice: per frame, the script time,
//   the main thread's time and the browser's processor time in all its processes;
// - one frame's conversion in each format, in the browser
//   (bench/frame_convert_time.html) and natively (build/default's
//   frame_convert_time), alternated three times, the medians side by side.
//
//   node tools/measure_web.mjs      (after cmake --build --preset web, and the default preset)
import { execSync, execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { chromium } from '../tests/web/node_modules/playwright-core/index.mjs';
import { serve } from './serve_web.mjs';

const ROOT = new URL('../', import.meta.url).pathname;
const NATIVE = `${ROOT}build/default/bench/frame_convert_time`;
const ticks = () => Number(execSync("cat /proc/[0-9]*/stat 2>/dev/null | awk '$2 ~ /chrom/ {t += $14 + $15} END {print t}'"));

// Over 10 s: the page's animation frames, the frames the program showed (if
// any), the browser's processor time in seconds, and the main thread's time in
// script and in all its tasks (seconds).
// The DevTools protocol's metrics cost the page time of their own with every
// task, so the processor time is measured with them off (cdp null).
async function tenSeconds(page, cdp) {
  const metrics = async () => cdp ? Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value])) : {};
  const start = ticks(), before = await metrics();
  const counts = await page.evaluate(async () => {
    let animation = 0, on = true;
    const tick = () => { animation++; if (on) requestAnimationFrame(tick); };
    requestAnimationFrame(tick);
    const first = window.program?.frames ?? 0;
    await new Promise((r) => setTimeout(r, 10000));
    on = false;
    return { animation, shown: (window.program?.frames ?? 0) - first };
  });
  const after = await metrics();
  const spent = (name) => after[name] - before[name];
  return { ...counts, cpu: ((ticks() - start) / 100).toFixed(2), script: spent('ScriptDuration'), task: spent('TaskDuration'),
           paint: spent('LayoutDuration') + spent('RecalcStyleDuration') };
}

// One run of the conversion benchmark: microseconds a frame, by format.
function parse(lines) {
  return Object.fromEntries(lines.map((l) => l.match(/^(\w+): ([\d.]+) us a frame/)).filter(Boolean).map((m) => [m[1], Number(m[2])]));
}
async function browserConversion(page, url) {
  const lines = [];
  const take = (m) => { if (m.text().includes(' a frame')) lines.push(m.text()); };
  page.on('console', take);
  await page.goto(url + 'bench/frame_convert_time.html');
  while (lines.length < 8) await page.waitForTimeout(200);
  page.off('console', take);
  return parse(lines);
}
const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];

const { url, server } = await serve(`${ROOT}build/web`);
const browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
const page = await browser.newPage({ viewport: { width: 1024, height: 768 } });
const cdp = await page.context().newCDPSession(page);
await page.goto(url + 'pages/picture.html');
await page.waitForFunction(() => window.program.frames > 0, null, { timeout: 30000 });
console.log(`picture.html: first frame ${Math.round(await page.evaluate(() => window.program.firstFrameMs))} ms after the page's start`);

// Our pages against the minimal page (one putImageData of a 640 x 480 frame an
// animation frame), each 10 s at a time, alternated three times with an empty
// page: the browser's processor time a frame above the empty page's.
// Each page is measured from 3 s after its first frame: before that the
// browser is still compiling the program's hot WebAssembly in its optimising
// tier, once, on threads of its own.
const PAGES = { picture: 'pages/picture.html', sketch: 'pages/sketch.html', minimal: 'bench/minimal_page.html', empty: 'about:blank' };
const WARM_MS = 3000;
async function open(name, path) {
  await page.goto(path.startsWith('about:') ? path : url + path);
  if (name === 'sketch') {  // answered No: in its window
    await page.locator('#question').waitFor({ state: 'visible', timeout: 30000 });
    await page.locator('#question .no').click();
  }
  if (name !== 'empty') await page.waitForFunction(() => window.program.frames > 0, null, { timeout: 30000 });
  await page.waitForTimeout(WARM_MS);
}
const runs = {};
for (let round = 0; round < 3; round++)
  for (const [name, path] of Object.entries(PAGES)) {
    await open(name, path);
    (runs[name] ??= []).push(await tenSeconds(page, null));
  }
const med = (name, key) => median(runs[name].map((r) => Number(r[key])));
const idle = med('empty', 'cpu');
const above = (name) => 1000 * (med(name, 'cpu') - idle) / med(name, 'shown');
console.log(`an empty page, 10 s: browser processor time ${idle.toFixed(2)} s (median of 3)`);
for (const name of ['picture', 'sketch', 'minimal'])
  console.log(`${name.padEnd(8)} 10 s: ${med(name, 'shown')} frames, browser processor time ${med(name, 'cpu').toFixed(2)} s; ` +
              `above the empty page ${above(name).toFixed(2)} ms a frame` +
              (name === 'minimal' ? '' : ` (${(above(name) / above('minimal')).toFixed(2)} x the minimal page's)`));
// Where a frame goes in the page's main thread, from a run of its own with the metrics on.
await cdp.send('Performance.enable');
for (const name of ['picture', 'sketch', 'minimal']) {
  await open(name, PAGES[name]);
  const run = await tenSeconds(page, cdp);
  const each = (s) => `${(1000 * s / run.shown).toFixed(2)} ms`;
  console.log(`${name}, a frame in the page's main thread: ${each(run.task)} in all, of which script (WebAssembly ` +
              `and JavaScript) ${each(run.script)}, style and layout ${each(run.paint)}, the browser's other work ` +
              `(painting the canvas, its tasks) ${each(run.task - run.script - run.paint)}`);
}
// The native program's processor time a frame, on a private 640 x 480 Xvfb (tools/measure_pacing).
if (existsSync(`${ROOT}build/default/src/picture`)) {
  const out = execFileSync(`${ROOT}tools/measure_pacing`, ['full-640'], { encoding: 'utf8', env: { ...process.env, RUN_SECONDS: '6', ROUNDS: '1' } });
  // The table's line: ours, the baseline, the ratio, both memories, our frames a second.
  const [, percent, rate] = out.match(/^full-640 +([\d.]+) +[\d.]+ +[\d.]+ +[\d.]+ +[\d.]+ +([\d.]+)/m).map(Number);
  console.log(`the native program, beside it: ${(10 * percent / rate).toFixed(2)} ms of processor time a frame ` +
              `(${percent} % of one core at ${rate} frames a second, on Xvfb)`);
}

// Each way of showing a frame, 5 s at a time, alternated twice.
const shown = {};
for (let round = 0; round < 2; round++)
  for (const way of ['putImageData', 'imageBitmap', 'videoFrame', 'webgl']) {
    const start = ticks();
    await page.goto(`${url}bench/web_present.html?way=${way}`);
    // Taken on the new page: a navigation starts the page's metrics again.
    const before = Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
    const r = await page.evaluate(() => window.result);
    const after = Object.fromEntries((await cdp.send('Performance.getMetrics')).metrics.map((m) => [m.name, m.value]));
    if (r.missing) { shown[way] = null; continue; }
    (shown[way] ??= []).push({ script: r.script / r.frames, task: 1000 * (after.TaskDuration - before.TaskDuration) / r.frames,
                               cpu: 10 * (ticks() - start) / r.frames, frames: r.frames });
  }
console.log('showing a 640 x 480 frame, ms a frame (median of 2 runs of 5 s): script, main thread, browser processor time');
for (const [way, rs] of Object.entries(shown)) {
  if (!rs) { console.log(`  ${way.padEnd(12)} not offered by this browser`); continue; }
  const m = (k) => median(rs.map((r) => r[k])).toFixed(2).padStart(6);
  console.log(`  ${way.padEnd(12)} ${m('script')} ${m('task')} ${m('cpu')}   (${rs.map((r) => r.frames).join(', ')} frames)`);
}

const conversions = { browser: [], native: [] };
for (let i = 0; i < 3; i++) {
  conversions.browser.push(await browserConversion(page, url));
  if (existsSync(NATIVE)) conversions.native.push(parse(execFileSync(NATIVE, { encoding: 'utf8' }).split('\n')));
}
console.log('one 640 x 480 frame converted, median of 3 runs alternated (us a frame): browser, native, browser / native');
for (const format of Object.keys(conversions.browser[0])) {
  const b = median(conversions.browser.map((r) => r[format]));
  const n = conversions.native.length ? median(conversions.native.map((r) => r[format])) : NaN;
  console.log(`  ${format.padEnd(9)} ${b.toFixed(1).padStart(6)} ${n.toFixed(1).padStart(6)} ${(b / n).toFixed(2).padStart(6)}`);
}
await browser.close();
server.close();
