// End to end in Debian's Chromium, headless, driven by playwright-core, on the
// web build (build/web, served here): the web screen's tests in a page;
// picture.html and sketch.html as tests/e2e checks them on Linux (the sketch's
// geometry is sketch.sh's), the focus being the page's. Prints "ok   ..." or
// "FAIL ..." per check, exits 1 when one failed.   node tests/web/browser_test.mjs
import { readFile } from 'node:fs/promises';
import { chromium } from 'playwright-core';
import { serve } from '../../tools/serve_web.mjs';

const ROOT = new URL('../../', import.meta.url).pathname;
const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';
const PAPER = 0x183048, EDGE = 0x60c0ff, INK = 0xffd020, POINTER = 0xffffff;
// As on Linux: a 640 x 480 client measured as an overlapped window is 648 x
// 507, its client area at (3, 22) in it; with the fixed frame it is 642 x 482.
const OUTER_W = 648, OUTER_H = 507;
let failed = 0;

function report(ok, name, detail = '') {
  console.log(`${ok ? 'ok  ' : 'FAIL'} web ${name}${detail ? `: ${detail}` : ''}`);
  if (!ok) failed = 1;
  return ok;
}
const hex = (c) => '0x' + c.toString(16).padStart(6, '0');

// What the page shows, as Chromium composited it: its screenshot, decoded by
// the browser into 0xRRGGBB pixels.
async function screen(page) {
  const png = (await page.screenshot()).toString('base64');
  const { width, height, data } = await page.evaluate(async (png) => {
    const bitmap = await createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d');
    context.drawImage(bitmap, 0, 0);
    return { width: bitmap.width, height: bitmap.height, data: context.getImageData(0, 0, bitmap.width, bitmap.height).data };
  }, png);
  return { width, height, at: (x, y) => (data[4 * (y * width + x)] << 16) | (data[4 * (y * width + x) + 1] << 8) | data[4 * (y * width + x) + 2] };
}

// Retries until every [X, Y, COLOUR] holds, for 20 s.
async function expectPixels(page, name, specs) {
  for (const deadline = Date.now() + 20000; ; await page.waitForTimeout(300)) {
    const shown = await screen(page), miss = specs.find(([x, y, want]) => shown.at(x, y) !== want);
    if (!miss) return report(true, name);
    if (Date.now() > deadline)
      return report(false, name, `(${miss[0]}, ${miss[1]}) shows ${hex(shown.at(miss[0], miss[1]))}, want ${hex(miss[2])}`);
  }
}

const frames = (page) => page.evaluate(() => window.program.frames);
const started = (page) => page.waitForFunction(() => window.program.frames > 0, null, { timeout: 30000 });

async function ended(page, name) {
  const status = await page.evaluate(() => Promise.race([window.program.ended, new Promise((r) => setTimeout(r, 10000))]));
  const shown = await page.locator('#ended').textContent();
  return report(status === 0 && shown.includes('status 0'), name, `status ${status}, the page says "${shown}"`);
}

async function hold(page, key, button) {  // as a person does: the programs poll once a frame
  await (button ? page.mouse.down({ button }) : page.keyboard.down(key));
  await page.waitForTimeout(400);
  await (button ? page.mouse.up({ button }) : page.keyboard.up(key));
}

async function bmp(path) {
  const b = await readFile(path);
  const offset = b.readUInt32LE(10), width = b.readInt32LE(18), height = b.readInt32LE(22);
  const stride = (width * 3 + 3) & ~3;
  return { width, height, at: (x, y) => { const i = offset + (height - 1 - y) * stride + 3 * x; return (b[i + 2] << 16) | (b[i + 1] << 8) | b[i]; } };
}

async function open(browser, url, width, height, lines = []) {
  const page = await browser.newPage({ viewport: { width, height } });
  page.on('pageerror', (e) => { if (e.message !== 'ExitStatus') console.log(`page error: ${e.message}`); });
  page.on('console', (m) => lines.push(m.text()));
  await page.goto(url);
  return page;
}

async function checkScreenTests(browser, url) {
  const lines = [];
  const page = await open(browser, url + 'tests/web/screen_web_tests.html', 640, 480, lines);
  const status = await page.evaluate(() => window.program.ended);
  const passed = lines.find((l) => /^\[  PASSED  \] [1-9][0-9]* tests?\./.test(l));
  if (!passed || status !== 0) console.log(lines.filter((l) => /Failure|FAILED|Which is|Expected|shows/.test(l)).join('\n'));
  report(status === 0 && passed && !lines.some((l) => l.startsWith('[  FAILED  ]')), 'screen tests in the page',
         `status ${status}, ${passed ?? 'GoogleTest reported no test passed'}`);
  await page.close();
}

async function checkPicture(browser, url) {
  const page = await open(browser, url + 'pages/picture.html', 640, 480);
  await started(page);
  const picture = await bmp(`${ROOT}assets/picture.bmp`);
  const shown = await screen(page);
  let wrong = 0, first = '';
  for (let y = 0; y < shown.height; ++y)
    for (let x = 0; x < shown.width; ++x) {
      const inside = x >= 101 && x < 101 + picture.width && y >= 80 && y < 80 + picture.height;
      const want = inside ? picture.at(x - 101, y - 80) : 0;
      if (shown.at(x, y) !== want && !wrong++) first = `first at (${x}, ${y}): ${hex(shown.at(x, y))}, want ${hex(want)}`;
    }
  report(wrong === 0 && shown.width === 640, 'picture: the picture pixel for pixel at (101, 80) on black',
         wrong ? `${wrong} pixels differ, ${first}` : `${shown.width} x ${shown.height}`);
  const { count, animation } = await page.evaluate(async () => {  // against the page's animation frames
    let animation = 0, on = true;
    const tick = () => { animation++; if (on) requestAnimationFrame(tick); };
    requestAnimationFrame(tick);
    const first = window.program.frames;
    await new Promise((r) => setTimeout(r, 3000));
    on = false;
    return { count: window.program.frames - first, animation };
  });
  report(Math.abs(count - animation) <= animation * 0.1, 'picture: one frame a page refresh',
         `${count} frames in 3 s, ${animation} animation frames`);
  await hold(page, 'Escape');
  await ended(page, 'picture: Escape ends it with status 0');
  await page.close();
}

// Frame pixel (X, Y), stretched into the 642 x 482 client area at LEFT, TOP.
const at = (left, top, x, y) => [left + Math.floor((x * 642 + 639) / 640), top + Math.floor((y * 482 + 479) / 480)];

async function answer(page, button) {
  const box = page.locator('#question');
  await box.waitFor({ state: 'visible', timeout: 30000 });
  const caption = await box.locator('.caption').textContent(), text = await box.locator('.text').textContent();
  await hold(page, 'Escape');
  await page.waitForTimeout(300);
  report(await box.isVisible() && caption === 'Sketch' && text === 'Fullscreen Mode ?',
         `sketch: the question "${text}" captioned "${caption}" stays through Escape`);
  await box.locator(button).click();
}

async function checkSketchWindow(browser, url) {
  const page = await open(browser, url + 'pages/sketch.html', 1024, 768);
  await answer(page, '.no');
  const left = ((1024 - OUTER_W) >> 1) + 3, top = ((768 - OUTER_H) >> 1) + 22;
  await started(page);
  const box = await page.locator('#screen').boundingBox();
  report(box.x === left && box.y === top && box.width === 642 && box.height === 482, 'sketch: No gives a centred window',
         `client area ${box.width} x ${box.height} at (${box.x}, ${box.y}), want 642 x 482 at (${left}, ${top})`);
  const r = left + 641, b = top + 481, mx = left + 320, my = top + 240;
  await page.mouse.move(left + 450, top + 350);  // the pointer away from the pixels checked
  await expectPixels(page, 'sketch: the frame fills the client area, nothing outside', [
    [left, top, EDGE], [r, b, EDGE], [mx, top, EDGE], [left + 4, my, PAPER], [left - 1, my, 0], [r + 1, my, 0], [mx, b + 1, 0]]);
  const p = (x, y) => at(left, top, x, y);
  await page.mouse.move(left + 100, top + 120);
  await expectPixels(page, 'sketch: the pointer drawn at (100, 120)', [[...p(100, 120), POINTER]]);
  for (const x of [150, 200, 250, 300, 350]) {
    await page.mouse.move(left + x, top + 200);
    if (x === 150) await page.mouse.down();
    await page.waitForTimeout(150);
  }
  await page.mouse.up();
  await page.mouse.move(left + 250, top + 400);
  await expectPixels(page, 'sketch: a stroke from (150, 200) to (350, 200)', [
    [...p(160, 200), INK], [...p(250, 200), INK], [...p(340, 200), INK], [...p(250, 210), PAPER], [...p(400, 200), PAPER]]);
  await hold(page, null, 'right');
  await expectPixels(page, 'sketch: the right button clears', [[...p(250, 200), PAPER], [...p(160, 200), PAPER]]);
  // So does the key C held down in the page, after a dab.
  await page.mouse.move(left + 200, top + 250);
  await hold(page, null, 'left');
  await page.mouse.move(left + 250, top + 400);
  await expectPixels(page, 'sketch: a dab at (200, 250)', [[...p(200, 250), INK]]);
  await hold(page, 'c');
  await expectPixels(page, 'sketch: the key C held down clears', [[...p(200, 250), PAPER]]);
  // Let go outside the window, the button is up: coming back draws nothing.
  await page.mouse.down();
  await page.mouse.move(left + 700, top + 300, { steps: 5 });
  await page.mouse.up();
  await page.mouse.move(left + 500, top + 300, { steps: 5 });
  await expectPixels(page, 'sketch: a button let go outside the window is up', [[...p(520, 300), PAPER], [...p(500, 300), POINTER]]);

  // The page losing the focus deactivates the sketch: no fresh frames, until it comes back.
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await page.waitForTimeout(300);
  const before = await frames(page);
  await page.mouse.move(left + 50, top + 100);
  await page.waitForTimeout(1000);
  const during = (await frames(page)) - before;
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
  await page.waitForTimeout(1000);
  const after = (await frames(page)) - before - during;
  report(during === 0 && after > 30, 'sketch: focus lost stops fresh frames, focus back brings them',
         `${during} frames in 1 s without the focus, ${after} in 1 s with it`);
  await expectPixels(page, 'sketch: active again, the pointer where the mouse went', [[...p(50, 100), POINTER]]);
  await page.locator('#caption-close').click();
  await ended(page, 'sketch: the close box ends it with status 0');
  await page.close();
}

async function checkSketchFullScreen(browser, url) {
  const page = await open(browser, url + 'pages/sketch.html', 1280, 960);
  await answer(page, '.yes');
  await started(page);
  const box = await page.locator('#screen').boundingBox();
  report(box.x === 0 && box.y === 0 && box.width === 1280 && box.height === 960, 'sketch: Yes fills the page at scale 2',
         `${box.width} x ${box.height} at (${box.x}, ${box.y})`);
  // Inactive, a full-screen program polls without waiting: the page must still answer.
  await page.evaluate(() => window.dispatchEvent(new FocusEvent('blur')));
  await page.waitForTimeout(500);
  const answers = page.evaluate(() => window.dispatchEvent(new FocusEvent('focus')));
  report(await Promise.race([answers, new Promise((r) => setTimeout(() => r(false), 5000))]),
         'sketch: the page answers while it is inactive');
  await page.mouse.move(400, 300);
  await expectPixels(page, 'sketch: full screen, sharp pixels, the pointer at (200, 150)', [
    [0, 0, EDGE], [1, 1, EDGE], [1279, 959, EDGE], [2, 2, PAPER], [400, 300, POINTER], [401, 301, POINTER]]);
  await hold(page, 'Escape');
  await ended(page, 'sketch: Escape ends it with status 0');
  await page.close();
}

const { url, server } = await serve(`${ROOT}build/web`);
const browser = await chromium.launch({ executablePath: CHROMIUM, args: ['--no-sandbox'] });
try {
  for (const check of [checkScreenTests, checkPicture, checkSketchWindow, checkSketchFullScreen])
    await check(browser, url).catch((e) => report(false, check.name, e.message.split('\n')[0]));
} finally {
  await browser.close();
  server.close();
}
process.exit(failed);
