// A WebSocket, HTTP and OSC client for the Windows program's remote: the feed comes about 40
// times a second with the tone's level, and commands over HTTP and OSC change what it says.
// Usage: node --experimental-websocket remote_probe.mjs PORT OSC_PORT
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';

const url = `127.0.0.1:${process.argv[2]}`;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const messages = [];
const socket = new WebSocket(`ws://${url}/feed`);
await new Promise((resolve, reject) => {
  socket.onopen = resolve;
  socket.onerror = () => reject(new Error('the feed did not open'));
});
socket.onmessage = (event) => messages.push(JSON.parse(event.data));

await sleep(500);
const start = messages.length;
await sleep(3000);
const rate = (messages.length - start) / 3;
const last = messages.at(-1);
console.log(`feed: ${rate.toFixed(1)} messages a second, the last ${JSON.stringify(last)}`);
// wine's timers are coarser than Linux's; the buffers still come about 40 times a second.
assert.ok(rate >= 35, `only ${rate} messages a second`);
assert.ok(last.level > 50 && last.readout !== '', 'the tone does not show in the feed');

const state = await fetch(`http://${url}/api/state`);
assert.equal(state.status, 200);
const overlay = await fetch(`http://${url}/overlay`);
assert.equal(overlay.status, 200);
const command = await fetch(`http://${url}/api/command`, {
  method: 'POST', headers: {'Content-Type': 'application/json'}, body: '{"cmd":"blank"}',
});
assert.equal(command.status, 200);
const wrong = await fetch(`http://${url}/api/command`, {
  method: 'POST', headers: {'Content-Type': 'application/json'}, body: '{"cmd":"dance"}',
});
assert.equal(wrong.status, 404);
await sleep(500);
assert.equal(messages.at(-1).blanked, true, 'the blank command did not reach the feed');

// The same commands over OSC (liblo's oscsend): hold on, and blank again, which unblanks.
const osc = (...args) => execFileSync('oscsend', ['127.0.0.1', process.argv[3], ...args]);
osc('/roarmark/hold', 'i', '1');
osc('/roarmark/blank');
await sleep(500);
assert.equal(messages.at(-1).hold, true, 'the OSC hold command did not reach the feed');
assert.equal(messages.at(-1).blanked, false, 'the OSC blank command did not reach the feed');
console.log('remote probe passed');
socket.close();
