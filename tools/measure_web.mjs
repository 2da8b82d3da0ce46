// The web build's figures in headless Chromium (scripts/test installs the
// browser checks' playwright-core into tests/web/node_modules): the time from
// the page's start to picture.html's first frame; its frames and the browser's
// processor time (all its processes, from /proc) over 10 s, against an empty
// page's animation frames as the baseline in the same run; then one frame's
// conversion in each format (bench/frame_convert_time.html).
//
//   node tools/measure_web.mjs      (after cmake --build --preset web)
import { execSync } from 'node:child_process';
import { chromium } from '../tests/web/node_modules/playwright-core/index.mjs';
import { serve } from './serve_web.mjs';

const ROOT = new URL('../', import.meta.url).pathname;
const ticks = () => Number(execSync("cat /proc/[0-9]*/stat 2>/dev/null | awk '$2 ~ /chrom/ {t += $14 + $15} END {print t}'"));

// Over 10 s: the page's animation frames, the frames the program showed (if
// any), and the browser's processor time in seconds.
async function tenSeconds(page) {
  const start = ticks();
  const counts = await page.evaluate(async () => {
    let animation = 0, on = true;
    const tick = () => { animation++; if (on) requestAnimationFrame(tick); };
    requestAnimationFrame(tick);
    const first = window.program?.frames ?? 0;
    await new Promise((r) => setTimeout(r, 10000));
    on = false;
    return { animation, shown: (window.program?.frames ?? 0) - first };
  });
  return { ...counts, cpu: ((ticks() - start) / 100).toFixed(2) };
}

const { url, server } = await serve(`${ROOT}build/web`);
const browser = await chromium.launch({ executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium', args: ['--no-sandbox'] });
const page = await browser.newPage({ viewport: { width: 640, height: 480 } });
await page.goto(url + 'pages/picture.html');
await page.waitForFunction(() => window.program.frames > 0, null, { timeout: 30000 });
console.log(`picture.html: first frame ${Math.round(await page.evaluate(() => window.program.firstFrameMs))} ms after the page's start`);
const run = await tenSeconds(page);
console.log(`picture.html, 10 s: ${run.shown} frames, ${run.animation} animation frames, browser processor time ${run.cpu} s`);
await page.goto('about:blank');
const idle = await tenSeconds(page);
console.log(`an empty page, 10 s: ${idle.animation} animation frames, browser processor time ${idle.cpu} s`);
const lines = [];
page.on('console', (m) => { if (m.text().includes(' a frame')) lines.push(m.text()); });
await page.goto(url + 'bench/frame_convert_time.html');
while (lines.length < 8) await page.waitForTimeout(200);
for (const line of lines) console.log(`in the browser, ${line}`);
await browser.close();
server.close();
