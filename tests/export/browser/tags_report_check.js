// node tags_report_check.js REPORT.html N: opens a tags report in Debian's
// Chromium (headless, through playwright-core, which downloads no browser)
// and reports as one JSON line: script errors, the background of table row
// tag_<N> before, while and after hovering the tree link of tag N, the
// link's colour while its row is hovered, and the sizes of the two pictures
// the style sheet names.
'use strict';
const path = require('path');
const { chromium } = require('playwright-core');

async function main() {
  const [file, tag] = process.argv.slice(2);
  const browser = await chromium.launch({
    executablePath: process.env.VANTOR_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  const result = { errors: [] };
  try {
    const page = await browser.newPage();
    page.on('pageerror', (e) => result.errors.push(String(e)));
    page.on('console', (m) => { if (m.type() === 'error') result.errors.push(m.text()); });
    await page.goto('file://' + path.resolve(file), { waitUntil: 'load' });

    const row = '#tag_' + tag, link = '#tag_' + tag + '_link';
    const background = () => page.$eval(row, (el) => getComputedStyle(el).backgroundColor);
    const colour = () => page.$eval(link, (el) => getComputedStyle(el).color);
    result.row_before = await background();
    await page.hover(link);
    result.row_hovered = await background();
    await page.mouse.move(1, 1);  // the page's corner: over neither
    result.row_after = await background();

    result.link_before = await colour();
    await page.hover(row + ' td:first-child');
    result.link_hovered = await colour();
    result.row_hovered_itself = await background();
    await page.mouse.move(1, 1);
    result.link_after = await colour();

    await page.click(link);  // a tree link goes nowhere and raises nothing
    result.pictures = await page.evaluate(async () => {
      const size = (src) => new Promise((done) => {
        const img = new Image();
        img.onload = () => done([img.naturalWidth, img.naturalHeight]);
        img.onerror = () => done(null);
        img.src = src;
      });
      return { dotted: await size('dotted.gif'), joint: await size('joint.png') };
    });
    await page.waitForTimeout(100);
  } finally {
    await browser.close();
  }
  console.log(JSON.stringify(result));
}

main().catch((e) => {
  console.log(JSON.stringify({ fatal: String(e) }));
  process.exit(1);
});
