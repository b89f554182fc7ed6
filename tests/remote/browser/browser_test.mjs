// A real browser against the running program: the overlay's bar follows a tone that gets louder,
// and a tap on a preset of the phone remote changes the program's layout. Screenshots of the
// pages and of the program's screen are kept in SHOTS for a person to look at.
// Usage: node browser_test.mjs URL SHOTS
import {chromium} from 'playwright-core';
import {execFileSync, spawn} from 'node:child_process';
import assert from 'node:assert/strict';

const [url, shots] = process.argv.slice(2);
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The tone the program hears, at `gain` dB below full scale, until the next one.
let tone = null;
function play(gain) {
  if (tone) tone.kill();
  tone = spawn('sox', ['-n', '-t', 'pulseaudio', 'roar', 'synth', '120', 'sine', '1000',
                       'gain', String(gain)], {stdio: 'ignore'});
}

async function state() {
  const response = await fetch(url + '/api/state');
  assert.equal(response.status, 200);
  return response.json();
}

// Waits until `test` holds for the program's state (or fails after `ms`).
async function until(test, ms, what) {
  const end = Date.now() + ms;
  for (;;) {
    const s = await state();
    if (test(s)) return s;
    if (Date.now() > end) assert.fail(what + ': ' + JSON.stringify(s.feed));
    await sleep(200);
  }
}

// How high the drawn bar reaches, as a share of the canvas's height: the topmost row of the
// middle column in a lit colour (neither transparent, as the gaps between blocks are, nor the
// unlit blocks' background colour).
async function barHeight(page, background) {
  return page.evaluate((background) => {
    const canvas = document.getElementById('meter');
    const data = canvas.getContext('2d').getImageData(canvas.width / 2, 0, 1, canvas.height).data;
    const bg = [1, 3, 5].map((i) => parseInt(background.slice(i, i + 2), 16));
    for (let y = 0; y < canvas.height; y++) {
      const [r, g, b, a] = data.slice(y * 4, y * 4 + 4);
      const unlit = Math.abs(r - bg[0]) + Math.abs(g - bg[1]) + Math.abs(b - bg[2]) < 12;
      if (a > 200 && !unlit) return (100 * (canvas.height - y)) / canvas.height;
    }
    return 0;
  }, background);
}

const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
try {
  const look = (await state()).look;

  // The overlay, as streaming software loads it: a transparent page with the vertical bar.
  const overlay = await (await browser.newContext({viewport: {width: 160, height: 500}})).newPage();
  let frames = 0;
  overlay.on('websocket', (ws) => ws.on('framereceived', () => ++frames));
  await overlay.goto(url + '/overlay?style=bar');
  await overlay.waitForFunction(() => Roarmark.connected());
  const shares = [];
  for (const gain of [-30, -3]) {
    play(gain);
    // Wait for the meter to settle on the new tone, then compare the bar with the feed.
    await sleep(2500);
    const level = (await state()).feed.level;
    const share = await barHeight(overlay, look.background);
    await overlay.screenshot({path: `${shots}/overlay-${-gain}dB.png`, omitBackground: true});
    const drawn = await overlay.evaluate(() => window.roarmarkOverlay());
    console.log(`tone at ${gain} dBFS: feed level ${level} %, bar drawn over ${share.toFixed(1)} %` +
                ` (overlay at ${drawn.level} %, ${frames} feed messages so far)`);
    // Blocks are 2 % each and the peak block may stand one above: within 5 points.
    assert.ok(Math.abs(share - level) <= 5, `bar ${share} % for a level of ${level} %`);
    shares.push(share);
  }
  assert.ok(shares[1] > shares[0] + 20, `the bar did not rise with the louder tone: ${shares}`);

  // The phone remote: tap preset 2 and see the program switch to its layout.
  const phone = await browser.newContext({
    viewport: {width: 390, height: 844}, deviceScaleFactor: 2, isMobile: true, hasTouch: true,
  });
  const remote = await phone.newPage();
  await remote.goto(url + '/remote');
  await remote.waitForSelector('.preset[data-slot="2"]:not([disabled])');
  await remote.waitForSelector('#status:not(.offline)');
  await sleep(500);
  await remote.screenshot({path: `${shots}/remote-before.png`});
  execFileSync('import', ['-window', 'root', `${shots}/program-before.png`]);
  const before = (await state()).feed;
  assert.notEqual(before.style, 2);
  await remote.tap('.preset[data-slot="2"]');
  const after = await until((s) => s.feed.preset === 2 && s.feed.style === 2, 10000,
                            'the layout did not change');
  console.log(`tapped preset 2: style ${before.style} -> ${after.feed.style}`);
  await sleep(1000);
  await remote.screenshot({path: `${shots}/remote-after.png`});
  execFileSync('import', ['-window', 'root', `${shots}/program-after.png`]);
  // The program's own screen changed: its meter is drawn in the other layout.
  let differing = 0;
  try {
    execFileSync('compare', ['-metric', 'AE', `${shots}/program-before.png`,
                             `${shots}/program-after.png`, 'null:'], {stdio: 'pipe'});
  } catch (error) {
    differing = Number(String(error.stderr).trim().split(' ')[0]);
  }
  console.log(`program screen: ${differing} pixels changed`);
  assert.ok(differing > 10000, 'the program\'s screen did not change');
  console.log('browser test passed');
} finally {
  if (tone) tone.kill();
  await browser.close();
}
