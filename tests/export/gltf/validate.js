// Validates each .gltf / .glb named on the command line with the Khronos
// validator (external resources read from beside the file) and prints one
// JSON line per file: {"file", "errors", "warnings", "messages": [...]}.
// Exit status 0 when no file has an error.
'use strict';
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function check(file) {
  const bytes = new Uint8Array(fs.readFileSync(file));
  const dir = path.dirname(file);
  const report = await validator.validateBytes(bytes, {
    uri: path.basename(file),
    maxIssues: 0,
    externalResourceFunction: (uri) =>
      new Promise((resolve, reject) => {
        fs.readFile(path.join(dir, decodeURIComponent(uri)), (err, data) =>
          err ? reject(err.toString()) : resolve(new Uint8Array(data)));
      }),
  });
  const issues = report.issues;
  const messages = issues.messages
    .filter((m) => m.severity <= 1)
    .map((m) => `${m.severity === 0 ? 'error' : 'warning'} ${m.code} ${m.pointer || ''}: ${m.message}`);
  return { file, errors: issues.numErrors, warnings: issues.numWarnings, messages };
}

(async () => {
  let failed = false;
  for (const file of process.argv.slice(2)) {
    // A file that cannot be read or parsed at all counts -1 errors.
    const r = await check(file).catch((e) => ({ file, errors: -1, warnings: 0, messages: [String(e)] }));
    failed ||= r.errors !== 0;
    console.log(JSON.stringify(r));
  }
  process.exit(failed ? 1 : 0);
})();
