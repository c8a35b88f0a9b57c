// The score page as a player sees it, in Debian's Chromium: a corpus replay
// sent with the real `kvr2013-scores submit` shows up in its stage's table
// with the verifier's score, and its replay link downloads the very bytes
// that were sent.
//   node score_page_test.mjs KVR2013_SCORES SOURCE_DIR WORK_DIR
// WORK_DIR is emptied first and keeps the database, the download and
// page.png for a look afterwards.
import assert from 'node:assert/strict';
import { execFile, spawn } from 'node:child_process';
import { mkdirSync, readFileSync, rmSync } from 'node:fs';
import { once } from 'node:events';
import { createInterface } from 'node:readline';
import { promisify } from 'node:util';

const [scores, sourceDir, work] = process.argv.slice(2);
const corpusName = 'stage1';
const player = 'PageAce';

let puppeteer;
try {
    puppeteer = (await import('puppeteer-core')).default;
} catch {
    console.error('puppeteer-core is not installed: run `npm ci` in tests/pages');
    process.exit(1);
}

// The corpus entry's stage and the score its verifier line gives.
function corpusEntry(name) {
    const line = readFileSync(`${sourceDir}/tests/corpus/expected.txt`, 'utf8')
        .split('\n').find(l => l.startsWith(`${name} `));
    assert.ok(line, `${name} is not in the corpus`);
    const score = / score=(\d+) /.exec(line);
    assert.ok(score, `no score in "${line}"`);
    return { stage: Number(line.split(' ')[1]), score: score[1], file: `${sourceDir}/tests/corpus/replays/${name}.bin` };
}

// Resolves with the server's address once it prints its "listening" line.
function startServer() {
    const server = spawn(scores, ['serve', '--listen', '127.0.0.1:0', '--database', `sqlite:${work}/s.db`],
                         { stdio: ['ignore', 'pipe', 'pipe'] });
    let errors = '';
    server.stderr.on('data', chunk => { errors += chunk; });
    const ready = new Promise((resolve, reject) => {
        createInterface({ input: server.stdout }).once('line', line => {
            const match = /^listening (http:\/\/127\.0\.0\.1:\d+)$/.exec(line);
            match ? resolve(match[1]) : reject(new Error(`the server said "${line}": ${errors}`));
        });
        server.once('exit', status => reject(new Error(`the server exited (${status}) before listening: ${errors}`)));
    });
    return { server, ready, errors: () => errors };
}

rmSync(work, { recursive: true, force: true });
mkdirSync(`${work}/downloads`, { recursive: true });
const entry = corpusEntry(corpusName);
const { server, ready, errors } = startServer();
let browser;
try {
    const url = await ready;
    await promisify(execFile)(scores, ['submit', '--server', url, '--key', `${work}/player.key`, '--name', player,
                                       '--stage', String(entry.stage), '--replay', entry.file]);

    browser = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                       args: ['--no-sandbox'] });
    const page = await browser.newPage();
    await page.setViewport({ width: 1100, height: 900 });
    const response = await page.goto(`${url}/`, { waitUntil: 'load' });
    assert.equal(response.status(), 200);
    await page.screenshot({ path: `${work}/page.png`, fullPage: true });

    // Every table row as its cells' text, by stage.
    const rows = await page.$$eval('section[id^="stage-"]', sections => sections.map(section => ({
        stage: Number(section.id.slice('stage-'.length)),
        cells: [...section.querySelectorAll('tbody tr')].map(tr => [...tr.cells].map(td => td.textContent)),
    })));
    assert.deepEqual(rows.map(s => s.stage), [0, 1, 2, 3]);
    const named = rows.flatMap(s => s.cells.filter(cells => cells[1] === player).map(cells => ({ stage: s.stage, cells })));
    assert.equal(named.length, 1, `one entry of ${player}: ${JSON.stringify(rows)}`);
    assert.equal(named[0].stage, entry.stage);
    assert.equal(named[0].cells[2], entry.score);

    // The link is clicked and the browser saves the file it names.
    const cdp = await browser.target().createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: `${work}/downloads`,
                                                   eventsEnabled: true });
    const begun = new Promise(resolve => cdp.once('Browser.downloadWillBegin', resolve));
    const finished = new Promise((resolve, reject) => cdp.on('Browser.downloadProgress', progress => {
        if (progress.state === 'completed') resolve();
        if (progress.state === 'canceled') reject(new Error('the download was canceled'));
    }));
    await page.click(`#stage-${entry.stage} tbody tr a`);
    const { suggestedFilename } = await begun;
    await finished;
    // The server's Content-Disposition names the file, over the link's download attribute.
    assert.match(suggestedFilename, new RegExp(`^kvr2013-stage${entry.stage}-run\\d+\\.bin$`));
    assert.ok(readFileSync(`${work}/downloads/${suggestedFilename}`).equals(readFileSync(entry.file)),
              'the downloaded replay differs from the one sent');
} catch (error) {
    console.error(`server errors: ${errors()}`);
    throw error;
} finally {
    await browser?.close();
    if (server.exitCode === null && server.signalCode === null) {
        const exited = once(server, 'exit');
        server.kill('SIGTERM');
        const [code, signal] = await exited;
        assert.deepEqual({ code, signal }, { code: 0, signal: null }, `the server's exit: ${errors()}`);
    }
}
console.log(`the entry of ${player} is on the page of stage ${entry.stage}; screenshot ${work}/page.png`);
